#include "FlatScrollBar.h"

#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace quorvel::ui {

const QColor TFlatScrollBar::kTrack(0xF0, 0xF0, 0xF0);
const QColor TFlatScrollBar::kArrow(0x60, 0x60, 0x60);
const QColor TFlatScrollBar::kArrowDisabled(0xBF, 0xBF, 0xBF);
const QColor TFlatScrollBar::kThumb(0xCD, 0xCD, 0xCD);
const QColor TFlatScrollBar::kThumbHovered(0xA6, 0xA6, 0xA6);
const QColor TFlatScrollBar::kThumbDragged(0x60, 0x60, 0x60);

TFlatScrollBar::TFlatScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFlatScrollBar::paintEvent(QPaintEvent*) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const auto part = [&](QStyle::SubControl control) {
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, control, this);
    };
    QPainter painter(this);
    painter.fillRect(rect(), kTrack);
    const bool usable = isEnabled() && maximum() > minimum();
    DrawArrow(painter, part(QStyle::SC_ScrollBarSubLine), false, usable);
    DrawArrow(painter, part(QStyle::SC_ScrollBarAddLine), true, usable);
    if (!usable) return;
    const bool onThumb = option.activeSubControls & QStyle::SC_ScrollBarSlider;
    const QColor thumb = isSliderDown()                                      ? kThumbDragged
                         : onThumb && option.state & QStyle::State_MouseOver ? kThumbHovered
                                                                             : kThumb;
    // The thumb keeps a 2-pixel margin from the bar's long edges.
    const QRect slider = part(QStyle::SC_ScrollBarSlider);
    painter.fillRect(orientation() == Qt::Vertical ? slider.adjusted(2, 0, -2, 0)
                                                   : slider.adjusted(0, 2, 0, -2),
                     thumb);
}

// A small solid triangle centred in the button, pointing to the bar's start or end, grey when
// there is nothing to scroll.
void TFlatScrollBar::DrawArrow(QPainter& painter, const QRect& button, bool towardsEnd,
                               bool usable) const {
    if (button.isEmpty()) return;
    const int half = std::max(1, std::min(button.width(), button.height()) / 4);
    const QPoint centre = button.center();
    const int tip = towardsEnd ? half / 2 + 1 : -(half / 2 + 1);
    QPolygon triangle;
    if (orientation() == Qt::Vertical)
        triangle << QPoint(centre.x() - half, centre.y() - tip)
                 << QPoint(centre.x() + half, centre.y() - tip)
                 << QPoint(centre.x(), centre.y() + tip);
    else
        triangle << QPoint(centre.x() - tip, centre.y() - half)
                 << QPoint(centre.x() - tip, centre.y() + half)
                 << QPoint(centre.x() + tip, centre.y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(usable ? kArrow : kArrowDisabled);
    painter.drawPolygon(triangle);
}

} // namespace quorvel::ui
