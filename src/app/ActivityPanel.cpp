#include "ActivityPanel.h"

#include "StyledControls.h"

#include <QTimer>
#include <QWidget>

namespace quorvel::app {

namespace {
const QColor kStripClosed(0xFA, 0xFA, 0xFA);
const QColor kStripOpen(0xDC, 0xDC, 0xDC);
constexpr int kStep = 20;
constexpr int kMargin = 6;
} // namespace

int TActivityPanel::CollapsedWidth() const {
    return parts_.lastColumn.x() + parts_.lastColumn.width() + kMargin;
}

int TActivityPanel::OuterWidth() const {
    return parts_.window.width() + parts_.frameWidth();
}

void TActivityPanel::SetOuterWidth(int outerWidth) {
    parts_.window.setFixedSize(outerWidth - parts_.frameWidth(), parts_.window.height());
}

void TActivityPanel::NarrowAtCreation() {
    fullWidth_ = OuterWidth();
    knownFrame_ = parts_.frameWidth();
    SetOuterWidth(CollapsedWidth());
}

// The open state grows by as much as the frame, and the window keeps its outer width, so the
// closed window stays at the collapsed width.
void TActivityPanel::AdoptFrame() {
    const int frame = parts_.frameWidth();
    if (frame == knownFrame_) return;
    const int outer = parts_.window.width() + knownFrame_;
    const bool open = outer == fullWidth_;
    fullWidth_ += frame - knownFrame_;
    knownFrame_ = frame;
    SetOuterWidth(open ? fullWidth_ : outer);
}

void TActivityPanel::Toggle() {
    if (!shown_) {
        parts_.strip.SetColor(kStripOpen);
        parts_.button.setText(QStringLiteral("Hide Activity"));
        shown_ = true;
    } else {
        // The strip keeps the open colour until the window is fully closed.
        parts_.button.setText(QStringLiteral("Show Activity"));
        shown_ = false;
    }
    // Restarted, so that the first tick comes one full interval after the click.
    parts_.timer.stop();
    parts_.timer.start();
}

void TActivityPanel::Tick() {
    parts_.timer.stop();
    AdoptFrame();
    if (shown_) {
        const int width = OuterWidth() + kStep;
        if (width >= fullWidth_) {
            SetOuterWidth(fullWidth_);
            return;
        }
        SetOuterWidth(width);
    } else {
        const int width = OuterWidth() - kStep;
        if (CollapsedWidth() >= width) {
            parts_.strip.SetColor(kStripClosed);
            SetOuterWidth(CollapsedWidth());
            return;
        }
        SetOuterWidth(width);
    }
    parts_.timer.start();
}

} // namespace quorvel::app
