// Draws the program's icon at build time: a board with a chip on it and an arrow pointing
// into the chip, the upload. Shapes only, so no fonts or display are needed.
//   quorvel-icon SIZE OUTPUT.png

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>

namespace {

void DrawIcon(QPainter& painter, double size) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    // The board: the window's red, rounded.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xD0, 0x10, 0x10));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    // The chip with its pins.
    painter.setBrush(QColor(0x30, 0x30, 0x30));
    painter.drawRect(QRectF(22, 18, 28, 34));
    painter.setBrush(QColor(0xFA, 0xFA, 0xFA));
    for (int pin = 0; pin < 5; ++pin) {
        painter.drawRect(QRectF(18, 21 + pin * 6.5, 4, 3));
        painter.drawRect(QRectF(50, 21 + pin * 6.5, 4, 3));
    }
    // The arrow from the left edge into the chip.
    QPainterPath arrow;
    arrow.moveTo(6, 31);
    arrow.lineTo(26, 31);
    arrow.lineTo(26, 25);
    arrow.lineTo(38, 35);
    arrow.lineTo(26, 45);
    arrow.lineTo(26, 39);
    arrow.lineTo(6, 39);
    arrow.closeSubpath();
    painter.setBrush(QColor(0x00, 0xE0, 0x00));
    painter.setPen(QPen(QColor(0xFA, 0xFA, 0xFA), 1.5));
    painter.drawPath(arrow);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvel-icon SIZE OUTPUT.png\n");
        return 2;
    }
    const int size = std::atoi(argv[1]);
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "quorvel-icon: size must be 16 to 1024\n");
        return 2;
    }
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        DrawIcon(painter, size);
    }
    if (!picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "quorvel-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
