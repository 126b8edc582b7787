#include "StyledControls.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QTextDocument>

namespace quorvel::ui {

namespace {

// Lays out formatted text the width of `rect` and draws it there, centred vertically.
void DrawFormattedText(QPainter& painter, const QRect& rect, const QString& html, const QFont& font,
                       const QColor& color) {
    QTextDocument document;
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setDefaultStyleSheet(QStringLiteral("body { color: %1; }").arg(color.name()));
    document.setHtml(html);
    document.setTextWidth(rect.width());
    const int top = rect.top() + (rect.height() - static_cast<int>(document.size().height())) / 2;
    painter.save();
    painter.translate(rect.left(), top);
    document.drawContents(&painter, QRectF(0, 0, rect.width(), rect.height()));
    painter.restore();
}

class FormattedItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        const QString html = plain.text;
        plain.text.clear();
        plain.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
        const bool selected = option.state & QStyle::State_Selected;
        DrawFormattedText(
            *painter, option.rect, html, option.font,
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    }
};

// The lamp as the window shows it: 13 by 13, grey rim, white highlight upper left.
QPixmap LampPicture(TLampImage::Look look) {
    QPixmap picture(13, 13);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    painter.setBrush(look == TLampImage::Look::On ? QColor(0x00, 0xFF, 0x00)
                                                  : QColor(0xFF, 0x00, 0x00));
    painter.drawEllipse(QRectF(0.5, 0.5, 12, 12));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(3, 3, 3, 3));
    return picture;
}

} // namespace

TGroupBox::TGroupBox(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
}

void TGroupBox::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void TGroupBox::SetTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

void TGroupBox::SetParentBackground(bool parentBackground) {
    parentBackground_ = parentBackground;
    update();
}

void TGroupBox::SetParentColor(bool parentColor) {
    parentColor_ = parentColor;
    update();
}

void TGroupBox::SetBordered(bool bordered) {
    setFrameShape(bordered ? QFrame::Box : QFrame::NoFrame);
}

QColor TGroupBox::FillColor() const {
    if (transparent_ || parentBackground_) return {};
    if (!parentColor_) return color_;
    // The parent's colour is the fill of the box it sits in, or the parent's window colour.
    if (const auto* box = qobject_cast<const TGroupBox*>(parentWidget())) return box->FillColor();
    return parentWidget() ? parentWidget()->palette().color(QPalette::Window) : QColor();
}

void TGroupBox::paintEvent(QPaintEvent* event) {
    const QColor fill = FillColor();
    if (fill.isValid()) {
        QPainter painter(this);
        painter.fillRect(rect(), fill);
    }
    QFrame::paintEvent(event);
}

TCachedLabel::~TCachedLabel() = default;

void TCachedLabel::paintEvent(QPaintEvent*) {
    PaintKey key(*this);
    key << text() << textFormat() << static_cast<qint64>(alignment()) << wordWrap() << margin()
        << indent() << frameStyle() << static_cast<qint64>(foregroundRole()) << pixmap().cacheKey();
    cache_.Paint(*this, key, [this](QPainter& painter) { PaintPicture(painter); });
}

void TCachedLabel::PaintPicture(QPainter& painter) {
    if (!twin_) twin_ = std::make_unique<QLabel>();
    QLabel& twin = *twin_;
    twin.setTextFormat(textFormat());
    twin.setText(text());
    if (!pixmap().isNull()) twin.setPixmap(pixmap());
    twin.setAlignment(alignment());
    twin.setWordWrap(wordWrap());
    twin.setMargin(margin());
    twin.setIndent(indent());
    twin.setFrameStyle(frameStyle());
    twin.setContentsMargins(contentsMargins());
    // Inherited colours and font attributes are not marked as set, and a twin without a parent
    // would take the program's instead: everything is marked as set.
    QFont explicitFont = font();
    explicitFont.setResolveMask(QFont::AllPropertiesResolved);
    twin.setFont(explicitFont);
    QPalette explicitPalette = palette();
    explicitPalette.setResolveMask(~QPalette::ResolveMask(0));
    twin.setPalette(explicitPalette);
    twin.setForegroundRole(foregroundRole());
    twin.setEnabled(isEnabled());
    twin.setLayoutDirection(layoutDirection());
    twin.resize(size());
    twin.render(&painter, QPoint(), QRegion(), QWidget::RenderFlags());
}

TFormattedLabel::TFormattedLabel(const QString& html, QWidget* parent) : TCachedLabel(parent) {
    setTextFormat(Qt::RichText);
    setText(html);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
}

TRotatedLabel::TRotatedLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {}

void TRotatedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().windowText().color());
    painter.translate(0, height());
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, height(), width()), Qt::AlignCenter, text_);
}

TGlowButton::TGlowButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setFocusPolicy(Qt::TabFocus);
}

void TGlowButton::paintEvent(QPaintEvent*) {
    QStyleOptionButton option;
    initStyleOption(&option);
    PaintKey key(*this);
    key << static_cast<qint64>(option.state) << static_cast<qint64>(option.features) << option.text
        << option.icon.cacheKey();
    cache_.Paint(*this, key, [&](QPainter& painter) {
        const QString caption = option.text;
        option.text.clear();
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
        const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::ButtonText));
        painter.drawText(inside, Qt::AlignCenter | Qt::TextWordWrap, caption);
    });
}

TLampImage::TLampImage(Look look, const QString& hint, QWidget* parent)
    : QLabel(parent), look_(look) {
    setPixmap(LampPicture(look));
    setToolTip(hint);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

TFormattedComboBox::TFormattedComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new FormattedItemDelegate(this));
}

void TFormattedComboBox::paintEvent(QPaintEvent*) {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    PaintKey key(*this);
    key << static_cast<qint64>(option.state) << static_cast<qint64>(option.subControls)
        << static_cast<qint64>(option.activeSubControls) << option.currentText
        << option.currentIcon.cacheKey() << option.editable << option.frame;
    cache_.Paint(*this, key, [&](QPainter& painter) {
        const QString html = option.currentText;
        option.currentText.clear();
        style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, this);
        style()->drawControl(QStyle::CE_ComboBoxLabel, &option, &painter, this);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, this);
        DrawFormattedText(painter, field, html, font(), palette().color(QPalette::Text));
    });
}

} // namespace quorvel::ui
