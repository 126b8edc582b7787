// The activity panel: the window's width slides between CollapsedWidth, where the terminal log
// is cut off, and FullWidth, where it is in view, 20 pixels per 15 ms tick of Timer1.
//
// Every width here is the window's outer width, frame included. Qt sets only the client area
// and learns the frame from the desktop late (not before the window is first mapped), so the
// frame is measured at each change and FullWidth takes the frame once the desktop reports it.

#include "Pelmora.h"

#include "ErrorReport.h"
#include "StyledControls.h"

namespace quorvel::app {

namespace {
const QColor kStripClosed(0xFA, 0xFA, 0xFA);
const QColor kStripOpen(0xDC, 0xDC, 0xDC);
constexpr int kStep = 20;
constexpr int kMargin = 6;
} // namespace

void TPelmora::ConnectActivityPanel() {
    connect(AdvGlowButton1, &QPushButton::clicked, this,
            [this] { ui::Guarded([this] { AdvGlowButton1Click(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { ui::Guarded([this] { Timer1Timer(); }); });
}

int TPelmora::CollapsedWidth() const {
    return AdvGroupBox3->x() + AdvGroupBox3->width() + kMargin;
}

int TPelmora::FrameWidth() const {
    return frameGeometry().width() - width();
}

int TPelmora::OuterWidth() const {
    return width() + FrameWidth();
}

void TPelmora::SetOuterWidth(int outerWidth) {
    setFixedSize(outerWidth - FrameWidth(), height());
}

void TPelmora::NarrowAtCreation() {
    FullWidth = OuterWidth();
    knownFrame_ = FrameWidth();
    SetOuterWidth(CollapsedWidth());
    FitStatusBar(); // a hidden window gets its resize event only when shown
}

// The desktop has put a frame around the window (or changed it): the open state grows by as
// much, and the window keeps its outer width, so the closed window stays CollapsedWidth wide.
void TPelmora::AdoptFrame() {
    const int frame = FrameWidth();
    if (frame == knownFrame_) return;
    const int outer = width() + knownFrame_;
    const bool open = outer == FullWidth;
    FullWidth += frame - knownFrame_;
    knownFrame_ = frame;
    SetOuterWidth(open ? FullWidth : outer);
}

void TPelmora::AdvGlowButton1Click() {
    if (!ActivityShown) {
        AdvGroupBox8->SetColor(kStripOpen);
        AdvGlowButton1->setText(QStringLiteral("Hide Activity"));
        ActivityShown = true;
    } else {
        // The strip keeps the open colour until the window is fully closed.
        AdvGlowButton1->setText(QStringLiteral("Show Activity"));
        ActivityShown = false;
    }
    // Restarted, so that the first tick comes one full interval after the click.
    Timer1->stop();
    Timer1->start();
}

void TPelmora::Timer1Timer() {
    Timer1->stop();
    AdoptFrame();
    if (ActivityShown) {
        const int width = OuterWidth() + kStep;
        if (width >= FullWidth) {
            SetOuterWidth(FullWidth);
            return;
        }
        SetOuterWidth(width);
    } else {
        const int width = OuterWidth() - kStep;
        if (CollapsedWidth() >= width) {
            AdvGroupBox8->SetColor(kStripClosed);
            SetOuterWidth(CollapsedWidth());
            return;
        }
        SetOuterWidth(width);
    }
    Timer1->start();
}

} // namespace quorvel::app
