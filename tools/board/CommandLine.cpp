#include "CommandLine.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <functional>
#include <map>
#include <optional>

namespace quorvel::board {

namespace {

constexpr const char* kHelp =
    "Usage: quorvel-board [OPTIONS]\n"
    "\n"
    "Plays the Vantora board's UART bootloader on a pseudo-terminal, so Quorvel can upload to\n"
    "it without a board. The first line printed is the path of the pseudo-terminal's slave end\n"
    "(such as /dev/pts/3): point the serial port at it.\n"
    "\n"
    "Once a program opens that path, the board waits the start delay, sends its noise, then\n"
    "announces \"g\" until \"r\" arrives. It then requests the stream one byte at a time, \"y\"\n"
    "for even and \"x\" for odd positions, until a request goes unanswered for the silence time.\n"
    "The stream is the image followed by 63 bytes of 0xFF; the image is the stream less those\n"
    "63 bytes. Closing the path before the \"r\" and opening it again restarts the announcement.\n"
    "At the end, or on SIGINT or SIGTERM, it prints one summary line: bytes received, whether\n"
    "the tail is right, the rate and the elapsed time from the first request to the last byte.\n"
    "\n"
    "Options:\n"
    "  --baud RATE              pace the line at RATE baud, 10 bit times a character in\n"
    "                           each direction (default 115200)\n"
    "  --no-pacing              do not pace the line: as fast as the pseudo-terminal goes\n"
    "  --start-delay MS         wait MS milliseconds after the path is opened (default 0)\n"
    "  --announce once|repeat   one \"g\", or a \"g\" every interval until \"r\" (default repeat)\n"
    "                           (a port clears its queues when it opens: with once, give a\n"
    "                           start delay so the \"g\" comes after that)\n"
    "  --announce-interval MS   time between two \"g\"s when repeating (default 5)\n"
    "  --noise TEXT             send TEXT before the first \"g\"; \\xHH, \\n, \\r, \\t, \\0\n"
    "                           and \\\\ stand for one byte each\n"
    "  --silence MS             end when a request is not answered within MS (default 500)\n"
    "  --first-answer-wait MS   wait up to MS for the answer to the first request, while\n"
    "                           someone clicks \"Begin uploading\" (default: the silence)\n"
    "  --flash-pause MS         pause MS milliseconds (fractions allowed) after every 64\n"
    "                           received bytes, as a flash write takes (default 0)\n"
    "  --stop-after N           request no more after N bytes; end when the path is closed\n"
    "  --hang-up-after N        close the line after N bytes: the other end sees a hang-up\n"
    "  --stall-after N          after N bytes, make the next request wait the stall, once\n"
    "  --stall MS               how long a stall lasts (default 3000, longer than\n"
    "                           quorvel-cli's request timeout)\n"
    "  --faults SEED            pick one fault for the run from SEED (0 to 4294967295), the\n"
    "                           same fault for the same seed: none; stray characters before\n"
    "                           the \"g\" and between requests (never g, r, y, x, XON or\n"
    "                           XOFF); flash pauses of 1 to 20 ms; a stall at a random\n"
    "                           byte; or a hang-up at a random byte. The byte lies within\n"
    "                           the stream of the --compare file, without one within the\n"
    "                           first 64 bytes, which every stream has. A line \"fault:\"\n"
    "                           at the end says which and what it did\n"
    "  -o, --output FILE        write the received image to FILE at the end\n"
    "  --publish [NAME]         offer the board as the port NAME (default vboard0): a link\n"
    "                           in the ports folder, where Quorvel's port list finds it\n"
    "                           (beside this program, or $XDG_RUNTIME_DIR/quorvel/ports\n"
    "                           when installed); removed again when the board ends\n"
    "  --compare FILE.hex       compare the received image with FILE.hex's image and print\n"
    "                           \"match\" or where it first differs and how the lengths differ\n"
    "  -h, --help               show this text\n"
    "  --version                print the version\n"
    "\n"
    "Exit status: 0 the board ran; 1 the image differs from FILE.hex, FILE.hex or the output\n"
    "file failed, or the pseudo-terminal failed; 2 wrong usage.\n";

template <typename Number> std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::chrono::microseconds> ParseMilliseconds(std::string_view text) {
    const auto value = ParseNumber<double>(text);
    if (!value || !std::isfinite(*value) || *value < 0 || *value > 86'400'000.0)
        return std::nullopt;
    return std::chrono::microseconds(std::llround(*value * 1000.0));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsPortName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

using Setter = std::function<std::string(BoardOptions&, std::string_view)>;

// A setter that fails with the given text when the value is not a whole number in range.
template <typename Apply>
Setter WholeNumber(const char* what, unsigned long long least, Apply apply,
                   unsigned long long most = ULLONG_MAX) {
    return [what, least, most, apply](BoardOptions& options, std::string_view text) -> std::string {
        const auto value = ParseNumber<unsigned long long>(text);
        if (!value || *value < least || *value > most) return std::string(what);
        apply(options, *value);
        return {};
    };
}

template <typename Apply> Setter Duration(const char* what, bool allowZero, Apply apply) {
    return [what, allowZero, apply](BoardOptions& options, std::string_view text) -> std::string {
        const auto value = ParseMilliseconds(text);
        if (!value || (!allowZero && value->count() == 0)) return std::string(what);
        apply(options, *value);
        return {};
    };
}

Milliseconds WholeMilliseconds(std::chrono::microseconds value) {
    return std::chrono::ceil<Milliseconds>(value);
}

const std::map<std::string_view, Setter>& ValueOptions() {
    static const std::map<std::string_view, Setter> setters = {
        {"--baud", WholeNumber("a baud rate is a whole number above 0", 1,
                               [](BoardOptions& o, unsigned long long v) {
                                   o.baudRate = static_cast<unsigned>(std::min(v, 100'000'000ULL));
                               })},
        {"--start-delay",
         Duration("a delay is a number of milliseconds", true,
                  [](BoardOptions& o, auto v) { o.startDelay = WholeMilliseconds(v); })},
        {"--announce-interval",
         Duration("an interval is a number of milliseconds above 0", false,
                  [](BoardOptions& o, auto v) { o.announceInterval = WholeMilliseconds(v); })},
        {"--silence", Duration("a silence is a number of milliseconds above 0", false,
                               [](BoardOptions& o, auto v) { o.silence = WholeMilliseconds(v); })},
        {"--first-answer-wait",
         Duration("a wait is a number of milliseconds above 0", false,
                  [](BoardOptions& o, auto v) { o.firstAnswerWait = WholeMilliseconds(v); })},
        {"--flash-pause", Duration("a pause is a number of milliseconds", true,
                                   [](BoardOptions& o, auto v) { o.flashPause = v; })},
        {"--stop-after",
         WholeNumber("a byte count is a whole number", 0,
                     [](BoardOptions& o, unsigned long long v) { o.stopAfter = v; })},
        {"--hang-up-after",
         WholeNumber("a byte count is a whole number", 0,
                     [](BoardOptions& o, unsigned long long v) { o.hangUpAfter = v; })},
        {"--stall-after",
         WholeNumber("a byte count is a whole number", 0,
                     [](BoardOptions& o, unsigned long long v) { o.stallAfter = v; })},
        {"--stall",
         Duration("a stall is a number of milliseconds above 0", false,
                  [](BoardOptions& o, auto v) { o.stallLength = WholeMilliseconds(v); })},
        {"--faults", WholeNumber(
                         "a seed is a whole number below 2^32", 0,
                         [](BoardOptions& o, unsigned long long v) {
                             o.faultSeed = static_cast<std::uint32_t>(v);
                         },
                         UINT32_MAX)},
        {"--announce",
         [](BoardOptions& o, std::string_view text) -> std::string {
             if (text == "once")
                 o.announceMode = AnnounceMode::Once;
             else if (text == "repeat")
                 o.announceMode = AnnounceMode::Repeat;
             else
                 return "the announcement is 'once' or 'repeat'";
             return {};
         }},
        {"--noise",
         [](BoardOptions& o, std::string_view text) -> std::string {
             if (!DecodeEscapes(text, o.noise)) return "unknown escape in the noise text";
             return {};
         }},
        {"--output",
         [](BoardOptions& o, std::string_view text) -> std::string {
             if (text.empty()) return "the output needs a file name";
             o.imageOutputPath = text;
             return {};
         }},
        {"--publish",
         [](BoardOptions& o, std::string_view text) -> std::string {
             if (!IsPortName(text)) return "a port name is a file name without '/'";
             o.publishName = text;
             return {};
         }},
        {"--compare",
         [](BoardOptions& o, std::string_view text) -> std::string {
             if (text.empty()) return "the comparison needs a HEX file";
             o.expectedHexPath = text;
             return {};
         }},
    };
    return setters;
}

} // namespace

const char* HelpText() {
    return kHelp;
}

bool DecodeEscapes(std::string_view text, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes.push_back(static_cast<std::uint8_t>(text[i]));
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
        case '\\':
            bytes.push_back('\\');
            break;
        case 'n':
            bytes.push_back('\n');
            break;
        case 'r':
            bytes.push_back('\r');
            break;
        case 't':
            bytes.push_back('\t');
            break;
        case '0':
            bytes.push_back(0);
            break;
        case 'x': {
            const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0) return false;
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments) {
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
        std::string_view argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            line.help = true;
            continue;
        }
        if (argument == "--version") {
            line.version = true;
            continue;
        }
        if (argument == "--no-pacing") {
            line.options.baudRate = 0;
            continue;
        }
        if (argument == "--publish" &&
            (i + 1 == arguments.size() || arguments[i + 1].starts_with("-"))) {
            line.options.publishName = kDefaultPublishName;
            continue;
        }
        if (argument == "-o") argument = "--output";
        const auto setter = ValueOptions().find(argument);
        if (setter == ValueOptions().end()) {
            line.error = "unknown option '" + std::string(arguments[i]) + "'";
        } else if (i + 1 == arguments.size()) {
            line.error = "option " + std::string(arguments[i]) + " needs a value";
        } else {
            const std::string_view value = arguments[++i];
            const std::string problem = setter->second(line.options, value);
            if (!problem.empty())
                line.error =
                    std::string(arguments[i - 1]) + " " + std::string(value) + ": " + problem;
        }
    }
    return line;
}

} // namespace quorvel::board
