#include "ProgressBar.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>

#include <algorithm>

namespace quorvel::ui {

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

void TProgressBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    option.initFrom(this);
    option.minimum = min_;
    option.maximum = std::max(min_, max_);
    option.progress = position_;
    option.textVisible = false;
    option.state |= QStyle::State_Horizontal;
    painter.drawControl(QStyle::CE_ProgressBar, option);
}

} // namespace quorvel::ui
