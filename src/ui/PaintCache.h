#pragma once
// A picture of a control's last painting, shown again while nothing it depends on has changed.
// Laying out and shaping text costs far more than copying its pixels, and the window repaints
// every control whenever its width changes: at each step of the sliding activity panel, while
// an upload waits on the same thread.

#include <QByteArray>
#include <QPixmap>
#include <QString>

#include <functional>

class QPainter;
class QWidget;

namespace quorvel::ui {

// What a painting depends on, as bytes to compare: a control's size, pixel ratio, font,
// palette, enabled and active state and reading direction, plus what the control adds.
class PaintKey {
public:
    explicit PaintKey(const QWidget& widget);
    PaintKey& operator<<(qint64 value);
    PaintKey& operator<<(const QString& text);
    const QByteArray& Bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

class PaintCache {
public:
    // Paints `widget` from the picture made for `key`. When the key differs from the last one,
    // `paint` first paints a fresh transparent picture the widget's size, through a painter
    // that starts with the widget's font and text colour, as a painter on the widget would.
    void Paint(QWidget& widget, const PaintKey& key,
               const std::function<void(QPainter& painter)>& paint);

private:
    QByteArray key_;
    QPixmap picture_;
};

} // namespace quorvel::ui
