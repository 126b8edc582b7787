#pragma once
// A scroll bar drawn with plain solid fills: a light track, an arrow at each end and a grey
// thumb that darkens under the mouse and while dragged. The style's own scroll bar shades its
// parts with gradients, and a tall gradient is filled in slices on worker threads: a log's bar
// then costs a third of a millisecond per repaint, which the window pays at every step of the
// sliding activity panel, in the middle of an upload. Geometry and mouse handling stay the
// style's, so the bar behaves exactly as before.

#include <QScrollBar>

namespace quorvel::ui {

class TFlatScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit TFlatScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    static const QColor kTrack;
    static const QColor kArrow;
    static const QColor kArrowDisabled;
    static const QColor kThumb;
    static const QColor kThumbHovered;
    static const QColor kThumbDragged;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawArrow(QPainter& painter, const QRect& button, bool towardsEnd, bool usable) const;
};

} // namespace quorvel::ui
