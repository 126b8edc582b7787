#pragma once
// A progress bar whose position changes at once but whose pixels follow at the display's pace:
// the upload steps it hundreds of thousands of times, and a repaint per step would cost more
// than the serial line itself.

#include <QColor>
#include <QTimer>
#include <QWidget>

namespace quorvel::ui {

class TProgressBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
public:
    explicit TProgressBar(QWidget* parent = nullptr);

    int Min() const { return min_; }
    void SetMin(int min);
    int Max() const { return max_; }
    void SetMax(int max);
    int Position() const { return position_; }
    void SetPosition(int position);
    void StepBy(int delta) { SetPosition(position_ + delta); }

    static const QColor kBorder;
    static const QColor kGroove;
    static const QColor kChunk;
    static const QColor kChunkDisabled;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void MarkDirty();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    QTimer repaintTimer_;
};

} // namespace quorvel::ui
