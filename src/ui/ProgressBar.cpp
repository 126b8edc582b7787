#include "ProgressBar.h"

#include <QPainter>

#include <algorithm>

namespace quorvel::ui {

const QColor TProgressBar::kBorder(0xBC, 0xBC, 0xBC);
const QColor TProgressBar::kGroove(0xE6, 0xE6, 0xE6);
const QColor TProgressBar::kChunk(0x06, 0xB0, 0x25);
const QColor TProgressBar::kChunkDisabled(0xA0, 0xA0, 0xA0);

TProgressBar::TProgressBar(QWidget* parent) : QWidget(parent) {
    repaintTimer_.setSingleShot(true);
    repaintTimer_.setInterval(16);
    connect(&repaintTimer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void TProgressBar::SetMin(int min) {
    min_ = min;
    MarkDirty();
}

// A maximum below the position lowers the position to it.
void TProgressBar::SetMax(int max) {
    max_ = max;
    position_ = std::clamp(position_, min_, std::max(min_, max_));
    MarkDirty();
}

// The position is kept between the limits, so a step past the end shows a full bar.
void TProgressBar::SetPosition(int position) {
    position_ = std::clamp(position, min_, std::max(min_, max_));
    MarkDirty();
}

void TProgressBar::MarkDirty() {
    if (!repaintTimer_.isActive()) repaintTimer_.start();
}

// Plain fills only: the style's bar is shaded with gradients, which cost several times as much
// and the window repaints this bar at every step of the sliding activity panel.
void TProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBorder);
    const QRect groove = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(groove, kGroove);
    const int max = std::max(min_, max_);
    if (max == min_ || groove.width() <= 0) return;
    const auto filled = static_cast<int>(static_cast<long long>(groove.width()) *
                                         (position_ - min_) / (max - min_));
    painter.fillRect(QRect(groove.topLeft(), QSize(filled, groove.height())),
                     isEnabled() ? kChunk : kChunkDisabled);
}

} // namespace quorvel::ui
