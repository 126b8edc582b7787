#include "StatusBar.h"

#include <QPainter>

namespace quorvel::ui {

namespace {
const QColor kShadeTop(0xFF, 0xFF, 0xFF);
const QColor kShadeBottom(0xD5, 0xD1, 0xC9);
} // namespace

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent), canvasFont_(font()) {
    fontColor_ = palette().windowText().color();
    canvasFontColor_ = fontColor_;
}

void TStatusBar::SetPanelText(const QString& text) {
    if (text == panelText_) return;
    panelText_ = text;
    update(PanelRect());
}

void TStatusBar::SetPanelWidth(int width) {
    panelWidth_ = width;
    update();
}

void TStatusBar::SetFontColor(const QColor& color) {
    fontColor_ = color;
    update();
}

QRect TStatusBar::PanelRect() const {
    return QRect(0, 0, panelWidth_, height()).adjusted(1, 1, -1, -1);
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, kShadeTop);
    shade.setColorAt(1, kShadeBottom);
    painter.fillRect(rect(), shade);
    painter.setPen(kShadeBottom);
    painter.drawLine(0, 0, width(), 0);
    painter.drawLine(panelWidth_, 2, panelWidth_, height() - 3);
    if (!onDrawPanel_) return;
    const QRect panel = PanelRect();
    painter.setBrush(shade);
    painter.setClipRect(panel);
    onDrawPanel_(*this, painter, panel);
}

} // namespace quorvel::ui
