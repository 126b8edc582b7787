#pragma once
// A status bar with one panel that its owner draws, as the window's file display needs.

#include <QFont>
#include <QWidget>

#include <functional>

namespace quorvel::ui {

class TStatusBar : public QWidget {
    Q_OBJECT
public:
    using DrawPanelHandler = std::function<void(TStatusBar&, QPainter&, const QRect&)>;

    explicit TStatusBar(QWidget* parent = nullptr);

    QString PanelText() const { return panelText_; }
    void SetPanelText(const QString& text);
    int PanelWidth() const { return panelWidth_; }
    void SetPanelWidth(int width);
    QRect PanelRect() const;

    // The drawing surface's font: the panel drawing gives it the bar's colour and face.
    QFont& CanvasFont() { return canvasFont_; }
    QColor& CanvasFontColor() { return canvasFontColor_; }
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& color);

    void SetOnDrawPanel(DrawPanelHandler handler) { onDrawPanel_ = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString panelText_;
    int panelWidth_ = 0;
    QFont canvasFont_;
    QColor canvasFontColor_;
    QColor fontColor_;
    DrawPanelHandler onDrawPanel_;
};

} // namespace quorvel::ui
