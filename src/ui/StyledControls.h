#pragma once
// The styled controls the main window is built from. Their looks are kept plain here: each
// control holds the texts, colours and states that the window gives it.

#include "Fonts.h"
#include "PaintCache.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <memory>

namespace quorvel::ui {

// A caption-less group box with a colour of its own and an optional single-line border. What
// shows inside it follows four switches, in this order of precedence: a transparent box or one
// that draws its parent's background shows the parent through; otherwise the box fills itself
// with its parent's colour when it takes that, else with its own.
class TGroupBox : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool ParentBackground READ ParentBackground WRITE SetParentBackground)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool Bordered READ Bordered WRITE SetBordered)
public:
    explicit TGroupBox(QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool ParentBackground() const { return parentBackground_; }
    void SetParentBackground(bool parentBackground);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parentColor);
    bool Bordered() const { return frameShape() != QFrame::NoFrame; }
    void SetBordered(bool bordered);

    // The colour the box fills itself with, or an invalid colour when it shows its parent.
    QColor FillColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
    bool transparent_ = true;
    bool parentBackground_ = true;
    bool parentColor_ = true;
};

// A label that paints from a picture of its last painting while its text, size, font, colours
// and state stay the same. The picture is painted by a hidden twin given the same properties:
// a widget cannot render itself from inside its own paint event.
class TCachedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    ~TCachedLabel() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintPicture(QPainter& painter);

    PaintCache cache_;
    std::unique_ptr<QLabel> twin_;
};

// A label that shows formatted text (a small subset of HTML).
class TFormattedLabel : public TCachedLabel {
    Q_OBJECT
public:
    explicit TFormattedLabel(const QString& html, QWidget* parent = nullptr);
};

// A label whose text reads upwards, turned by 90 degrees.
class TRotatedLabel : public QWidget {
    Q_OBJECT
public:
    explicit TRotatedLabel(const QString& text, QWidget* parent = nullptr);
    QString Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

// A button of the step column. Its caption wraps at blanks, as the narrow step buttons need;
// the glow look is left to the platform style.
class TGlowButton : public QPushButton {
    Q_OBJECT
public:
    explicit TGlowButton(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PaintCache cache_;
};

// One picture of a signal light: a round lamp, red when off, green when on.
class TLampImage : public QLabel {
    Q_OBJECT
public:
    enum class Look { Off, On };
    TLampImage(Look look, const QString& hint, QWidget* parent = nullptr);
    Look LampLook() const { return look_; }

private:
    Look look_;
};

// A drop-down list whose entries are formatted text, drawn as the formatting says.
class TFormattedComboBox : public QComboBox {
    Q_OBJECT
    // The selected entry under the name the settings file stores it by.
    Q_PROPERTY(int ItemIndex READ currentIndex WRITE setCurrentIndex)
public:
    explicit TFormattedComboBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PaintCache cache_;
};

// A check box whose state the settings file stores under "Checked".
class TCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
public:
    using QCheckBox::QCheckBox;
};

} // namespace quorvel::ui
