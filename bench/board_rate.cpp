// The virtual board against the quickest host there is: a bare loop on the slave end that
// answers every request at once. Prints bytes/s unpaced and paced at 115200 baud beside the
// line's limit (20 bit times a byte: one request character, one answer), so a slower upload
// elsewhere can be told apart from a slow board.

#include "BareResponder.h"
#include "BoardResult.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace quorvel::board;
using namespace std::chrono_literals;

// The same conversation with no board at all: plain read and write on both ends of a pair.
double BareLoop(std::size_t count) {
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) std::exit(1);
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(slave, TCSANOW, &settings);
    std::thread host([slave, count] {
        std::uint8_t byte = 0;
        for (std::size_t i = 0; i < count && ::read(slave, &byte, 1) == 1; ++i)
            (void)!::write(slave, &byte, 1);
    });
    const auto start = std::chrono::steady_clock::now();
    std::uint8_t byte = 0;
    for (std::size_t i = 0; i < count; ++i) {
        byte = i % 2 == 0 ? 'y' : 'x';
        if (::write(master, &byte, 1) != 1 || ::read(master, &byte, 1) != 1) break;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    host.join();
    ::close(master);
    ::close(slave);
    return static_cast<double>(count) / seconds;
}

void Report(const char* name, const BoardResult& result, double limit) {
    std::printf("%-28s %8zu bytes  %9.0f bytes/s", name, result.stream.size(),
                result.BytesPerSecond());
    if (limit > 0)
        std::printf("  (%.1f%% of the line's %.0f bytes/s)",
                    100.0 * result.BytesPerSecond() / limit, limit);
    std::printf("  tail %s, %zu unexpected\n", result.TailOk() ? "ok" : "BAD",
                result.unexpectedBytes);
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t unpacedLength = argc > 1 ? std::strtoul(argv[1], nullptr, 0) : 131072;
    const std::size_t pacedLength = argc > 2 ? std::strtoul(argv[2], nullptr, 0) : 16384;
    std::printf("%-28s %8zu bytes  %9.0f bytes/s\n", "bare read/write loop", unpacedLength,
                BareLoop(unpacedLength));
    Report("board, unpaced", quorvel::bench::UploadWithBareResponder(0, unpacedLength), 0);
    Report("board, paced at 115200 baud",
           quorvel::bench::UploadWithBareResponder(115200, pacedLength), 115200.0 / 20);
    return 0;
}
