// How long one step of the sliding activity panel keeps the window busy: the width change, the
// relayout and the repaint it causes, measured offscreen over many open-and-shut slides, with
// the logs filled as they are in the middle of an upload.

#include "LogView.h"
#include "OffscreenBenchmark.h"
#include "Pelmora.h"
#include "StyledControls.h"

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;
using quorvel::app::TPelmora;

// One tick as Timer1 would deliver it, with the events (resize, paint) it leaves behind.
double TickSeconds(TPelmora& window) {
    const auto start = Clock::now();
    window.Timer1Timer();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    quorvel::bench::PrepareOffscreenBenchmark();
    QApplication application(argc, argv);
    QTemporaryDir folder;
    TPelmora window(QStringList{}, QString(), folder.path());
    window.SetSysfsTtyRoot(folder.path());
    window.show();
    for (const char* line : {"Connecting...", "Connected.", "Uploading..."})
        window.AppendHistory(QString::fromLatin1(line));
    char echo[32];
    for (int byte = 0; byte < 4096; ++byte) {
        std::snprintf(echo, sizeof echo,
                      byte % 2 ? "         xx: %02X" : "                     yy: %02X",
                      byte & 0xFF);
        window.MemoTerminalWindow->AppendUtf8Line(echo);
    }
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    constexpr int kSlides = 200;
    double busy = 0;
    int ticks = 0;
    for (int slide = 0; slide < kSlides; ++slide) {
        window.AdvGlowButton1Click();
        do {
            busy += TickSeconds(window);
            ++ticks;
        } while (window.Timer1->isActive());
    }
    std::printf("panel slide: %d ticks in %d slides, %.1f us of window time per tick\n", ticks,
                kSlides, busy * 1e6 / ticks);
    return 0;
}
