// quorvel-test-close-window WINDOW: asks the X window WINDOW to close as a window manager does
// when its close button is clicked (a WM_DELETE_WINDOW message), so that the program ends the
// way a user ends it. Under Xvfb there is no window manager to send it, and xdotool cannot.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

int main(int argc, char** argv) {
    char* end = nullptr;
    const unsigned long window = argc == 2 ? std::strtoul(argv[1], &end, 0) : 0;
    if (window == 0 || *end != '\0') {
        std::fputs("usage: quorvel-test-close-window WINDOW\n", stderr);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("quorvel-test-close-window: cannot open the display\n", stderr);
        xcb_disconnect(connection);
        return 1;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window);
    message.type = Atom(connection, "WM_PROTOCOLS");
    message.data.data32[0] = Atom(connection, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    const xcb_void_cookie_t sent =
        xcb_send_event_checked(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&message));
    xcb_generic_error_t* error = xcb_request_check(connection, sent);
    const bool failed = error != nullptr;
    if (failed) std::fprintf(stderr, "quorvel-test-close-window: X error %d\n", error->error_code);
    std::free(error);
    xcb_disconnect(connection);
    return failed ? 1 : 0;
}
