#include "PaintCache.h"

#include <QPainter>
#include <QWidget>

namespace quorvel::ui {

PaintKey::PaintKey(const QWidget& widget) {
    *this << widget.width() << widget.height() << qRound64(widget.devicePixelRatioF() * 1000)
          << widget.font().key() << widget.palette().cacheKey() << widget.isEnabled()
          << widget.isActiveWindow() << static_cast<qint64>(widget.layoutDirection());
}

PaintKey& PaintKey::operator<<(qint64 value) {
    bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
    return *this;
}

// The length goes first, so that two texts can never run together into the same bytes.
PaintKey& PaintKey::operator<<(const QString& text) {
    *this << text.size();
    bytes_.append(reinterpret_cast<const char*>(text.constData()),
                  text.size() * qsizetype(sizeof(QChar)));
    return *this;
}

void PaintCache::Paint(QWidget& widget, const PaintKey& key,
                       const std::function<void(QPainter& painter)>& paint) {
    if (widget.width() <= 0 || widget.height() <= 0) return;
    if (key.Bytes() != key_) {
        const qreal ratio = widget.devicePixelRatioF();
        QPixmap picture(widget.size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            painter.setFont(widget.font());
            painter.setPen(widget.palette().color(widget.foregroundRole()));
            paint(painter);
        }
        picture_ = std::move(picture);
        key_ = key.Bytes();
    }
    QPainter(&widget).drawPixmap(0, 0, picture_);
}

} // namespace quorvel::ui
