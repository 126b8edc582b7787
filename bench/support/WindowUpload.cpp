#include "WindowUpload.h"

#include "BackgroundBoard.h"
#include "CPort.h"
#include "Pelmora.h"
#include "StyledControls.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <ctime>

namespace quorvel::bench {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double ThreadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

void AnswerDialogsAtOnce() {
    static QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            QMetaObject::invokeMethod(modal, "accept");
    });
    timer.start(20);
}

WindowUploadResult UploadThroughWindow(unsigned baudRate, const QTemporaryDir& folder,
                                       const QString& hexFile, std::size_t streamLength,
                                       bool slidePanel) {
    board::BoardOptions options;
    options.baudRate = baudRate;
    options.silence = 1000ms;
    board::BackgroundBoard board(options);
    app::TPelmora window(QStringList{hexFile}, QString(), folder.path());
    window.SetSysfsTtyRoot(folder.path());
    window.show();
    window.ComPort1->SetPort(QString::fromStdString(board.SlavePath()));
    window.ButtonConnect->click();
    QTimer slider;
    if (slidePanel) {
        QObject::connect(&slider, &QTimer::timeout, [&] { window.AdvGlowButton1->click(); });
        slider.start(400);
    }
    const auto start = Clock::now();
    const double cpuBefore = ThreadCpuSeconds();
    window.ButtonStartBootloader->click();
    WindowUploadResult measured;
    measured.cpuSeconds = ThreadCpuSeconds() - cpuBefore;
    slider.stop();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const auto result = board.WaitFor(5s);
    measured.whole = result && result->stream.size() == streamLength && result->TailOk();
    measured.bytesPerSecond = static_cast<double>(streamLength) / seconds;
    measured.boardBytesPerSecond = result ? result->BytesPerSecond() : 0.0;
    return measured;
}

} // namespace quorvel::bench
