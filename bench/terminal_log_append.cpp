// The cost of appending to the terminal log while the event loop runs, as during an upload:
// one echo line per image byte, with pending events processed after every line.
// Prints the time and memory per line for 1,000,000 lines against the targets.

#include "LogView.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr int kLines = 1'000'000;
constexpr double kTargetMicroseconds = 2.0;
constexpr double kTargetBytes = 32.0;

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

template <class Body> double SecondsFor(Body&& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The echo lines of an upload: "yy: " and "xx: " lines alternate, each with the byte in hex.
std::string EchoLine(int index) {
    static const char digits[] = "0123456789ABCDEF";
    std::string line =
        index % 2 == 0 ? std::string(21, ' ') + "yy: " : std::string(9, ' ') + "xx: ";
    line += digits[(index >> 4) & 0xF];
    line += digits[index & 0xF];
    return line;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    quorvel::ui::TLogView log;
    log.resize(153, 281);
    log.show();
    QCoreApplication::processEvents();

    std::string lines[256];
    for (int i = 0; i < 256; ++i)
        lines[i] = EchoLine(i);

    const double eventsOnly = SecondsFor([] {
        for (int i = 0; i < kLines; ++i)
            QCoreApplication::processEvents();
    });
    const long residentBefore = ResidentKilobytes();
    const double withAppends = SecondsFor([&] {
        for (int i = 0; i < kLines; ++i) {
            log.AppendUtf8Line(lines[i & 0xFF]);
            QCoreApplication::processEvents();
        }
    });
    const long residentAfter = ResidentKilobytes();
    const double heldBytes = double(log.Lines().MemoryBytes()) / kLines;
    const double residentBytes = double(residentAfter - residentBefore) * 1024.0 / kLines;

    log.Clear();
    const double appendsAlone = SecondsFor([&] {
        for (int i = 0; i < kLines; ++i)
            log.AppendUtf8Line(lines[i & 0xFF]);
    });

    const double perLine = (withAppends - eventsOnly) / kLines * 1e6;
    std::printf("terminal log append, %d lines, event loop running (offscreen)\n", kLines);
    std::printf("  append + processEvents     %7.3f us/line\n", withAppends / kLines * 1e6);
    std::printf("  processEvents alone        %7.3f us/line\n", eventsOnly / kLines * 1e6);
    std::printf("  append cost (difference)   %7.3f us/line   target <= %.0f  %s\n", perLine,
                kTargetMicroseconds, perLine <= kTargetMicroseconds ? "met" : "MISSED");
    std::printf("  append alone, no events    %7.3f us/line\n", appendsAlone / kLines * 1e6);
    std::printf("  memory held by the log     %7.1f bytes/line target <= %.0f  %s\n", heldBytes,
                kTargetBytes, heldBytes <= kTargetBytes ? "met" : "MISSED");
    std::printf("  resident memory growth     %7.1f bytes/line\n", residentBytes);
    std::printf("  lines kept                 %d\n", log.LineCount());
    return 0;
}
