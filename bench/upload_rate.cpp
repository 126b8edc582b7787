// Uploads a 128 KiB image through the real window (offscreen) to the virtual board, unpaced,
// paced at 115200 baud, and paced while the activity panel slides open and shut every 0.4 s,
// and reports bytes/s; also how long a handshake poll that gets no "g" lasts, which is the
// time a user has to bring the board into its bootloader.
//
// On a small machine one paced run differs from the next by a few per cent, as much as the
// sliding panel may cost; so still and sliding runs alternate, in pairs, and the median of the
// pairs' slowdowns is the figure.

#include "CPort.h"
#include "OffscreenBenchmark.h"
#include "Pelmora.h"
#include "StyledControls.h"
#include "WindowUpload.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <pty.h>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using quorvel::app::TPelmora;

std::size_t kImageLength = 128 * 1024; // --largest: the largest P18 image, 1.9 MB

QString WriteHexFile(const QTemporaryDir& folder) {
    QFile file(folder.filePath("image.hex"));
    file.open(QIODevice::WriteOnly);
    for (std::size_t at = 0; at < kImageLength; at += 16) {
        if (at % 0x10000 == 0)
            file.write(
                QStringLiteral(":02000004%1%2\r\n")
                    .arg(at >> 16, 4, 16, QLatin1Char('0'))
                    .arg((0x100 - ((2 + 4 + (at >> 24) + ((at >> 16) & 0xFF)) & 0xFF)) & 0xFF, 2,
                         16, QLatin1Char('0'))
                    .toUpper()
                    .toLatin1());
        QByteArray line =
            QStringLiteral(":10%1").arg(at & 0xFFFF, 4, 16, QLatin1Char('0')).toLatin1() + "00";
        unsigned sum = 0x10 + ((at >> 8) & 0xFF) + (at & 0xFF);
        for (int i = 0; i < 16; ++i) {
            const unsigned byte = (at + i) * 13 & 0xFF;
            sum += byte;
            line += QByteArray::number(byte, 16).rightJustified(2, '0');
        }
        line += QByteArray::number((0x100 - (sum & 0xFF)) & 0xFF, 16).rightJustified(2, '0');
        file.write(line.toUpper() + "\r\n");
    }
    file.write(":00000001FF\r\n");
    return file.fileName();
}

std::unique_ptr<TPelmora> Window(const QTemporaryDir& folder, const QString& hexFile) {
    auto window = std::make_unique<TPelmora>(QStringList{hexFile}, QString(), folder.path());
    window->SetSysfsTtyRoot(folder.path());
    window->show();
    return window;
}

// Returns the rate through the window in bytes/s.
double Upload(const char* label, unsigned baudRate, const QTemporaryDir& folder, const QString& hex,
              bool slidePanel = false) {
    const auto measured =
        quorvel::bench::UploadThroughWindow(baudRate, folder, hex, kImageLength + 63, slidePanel);
    std::printf("  %-22s %8.0f bytes/s through the window (%s, board measured %.0f bytes/s)\n",
                label, measured.bytesPerSecond, measured.whole ? "byte-exact" : "INCOMPLETE",
                measured.boardBytesPerSecond);
    return measured.bytesPerSecond;
}

// Still and sliding paced runs by turns; prints the median slowdown of the pairs.
void SlidingPanelCost(const QTemporaryDir& folder, const QString& hex) {
    constexpr int kPairs = 5;
    std::vector<double> slowdowns;
    for (int pair = 0; pair < kPairs; ++pair) {
        const double still = Upload("paced at 115200 baud", 115200, folder, hex);
        const double sliding = Upload("paced, panel sliding", 115200, folder, hex, true);
        slowdowns.push_back(100.0 * (still - sliding) / still);
    }
    std::sort(slowdowns.begin(), slowdowns.end());
    std::printf("  panel sliding: slowdown per pair");
    for (const double slowdown : slowdowns)
        std::printf(" %.1f%%", slowdown);
    std::printf(", median %.1f%%\n", slowdowns[kPairs / 2]);
}

void SilentHandshake(const QTemporaryDir& folder, const QString& hex) {
    int master = -1, slave = -1;
    char name[128];
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
    auto window = Window(folder, hex);
    window->ComPort1->SetPort(QString::fromLatin1(name));
    const auto start = Clock::now();
    window->ButtonConnect->click(); // nobody says "g"
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("  handshake poll without a \"g\": %.2f s for 327,680 attempts (%.2f us each)\n",
                seconds, seconds * 1e6 / 327680);
    ::close(slave);
    ::close(master);
}

} // namespace

int main(int argc, char** argv) {
    quorvel::bench::PrepareOffscreenBenchmark();
    QApplication application(argc, argv);
    QTemporaryDir folder;
    quorvel::bench::AnswerDialogsAtOnce();
    const bool largest = argc > 1 && std::string_view(argv[1]) == "--largest";
    if (largest) kImageLength = 0x1D0000;
    const QString hexFile = WriteHexFile(folder);
    std::printf("upload of a %zu-byte image through the window to the virtual board\n",
                kImageLength);
    if (largest) {
        Upload("unpaced", 0, folder, hexFile);
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        std::printf("  peak memory %ld KB\n", usage.ru_maxrss);
        return 0;
    }
    Upload("unpaced", 0, folder, hexFile);
    SlidingPanelCost(folder, hexFile);
    std::printf("  line limit at 115200 baud: 5760 bytes/s (20 bit times a byte)\n");
    SilentHandshake(folder, hexFile);
    return 0;
}
