#include "PseudoTerminal.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <pty.h>
#include <system_error>
#include <termios.h>

namespace quorvel::board {

namespace {

[[noreturn]] void Fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

PseudoTerminal::PseudoTerminal() {
    int master = -1;
    int slave = -1;
    char name[PATH_MAX] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) Fail("openpty");
    master_ = common::UniqueDescriptor(master);
    // Closing our slave descriptor at once marks the pair "other end closed": the master then
    // reports a hang-up until a program opens the slave, which is how the board sees a peer.
    common::UniqueDescriptor slaveEnd(slave);
    slavePath_ = name;

    // The slave's line settings are set through the master. Raw mode keeps binary bytes as they
    // are: no echo, no CR/LF translation, no XON/XOFF taken out of the data.
    termios settings{};
    if (::tcgetattr(master, &settings) != 0) Fail("tcgetattr");
    ::cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(master, TCSANOW, &settings) != 0) Fail("tcsetattr");

    const int flags = ::fcntl(master, F_GETFL);
    if (flags < 0 || ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) Fail("fcntl");
    if (::fcntl(master, F_SETFD, FD_CLOEXEC) != 0) Fail("fcntl");
}

} // namespace quorvel::board
