#include "TaskDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel::ui {

namespace {
QLabel* TextLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}
} // namespace

TTaskDialog::TTaskDialog(QWidget* parent)
    : QDialog(parent), instruction_(TextLabel(this)), content_(TextLabel(this)),
      details_(TextLabel(this)), expander_(new QPushButton(this)),
      okButton_(new QPushButton(QStringLiteral("OK"), this)) {
    setModal(true);
    QFont heading = instruction_->font();
    heading.setBold(true);
    heading.setPixelSize(heading.pixelSize() > 0 ? heading.pixelSize() + 4 : 16);
    instruction_->setFont(heading);
    QPalette blue = instruction_->palette();
    blue.setColor(QPalette::WindowText, QColor(0x00, 0x33, 0x99));
    instruction_->setPalette(blue);
    expander_->setFlat(true);
    okButton_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(expander_);
    buttons->addStretch();
    buttons->addWidget(okButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction_);
    layout->addWidget(content_);
    layout->addLayout(buttons);
    layout->addWidget(details_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(320);

    connect(expander_, &QPushButton::clicked, this, [this] { ShowDetails(!DetailsShown()); });
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    ShowDetails(false);
}

QString TTaskDialog::Instruction() const {
    return instruction_->text();
}

void TTaskDialog::SetInstruction(const QString& text) {
    instruction_->setText(text);
}

QString TTaskDialog::Content() const {
    return content_->text();
}

void TTaskDialog::SetContent(const QString& text) {
    content_->setText(text);
}

QString TTaskDialog::ExpandedText() const {
    return details_->text();
}

void TTaskDialog::SetExpandedText(const QString& text) {
    details_->setText(text);
    expander_->setVisible(!text.isEmpty());
}

void TTaskDialog::SetExpandedCaption(const QString& text) {
    expandedCaption_ = text;
    ShowDetails(DetailsShown());
}

void TTaskDialog::SetCollapsedCaption(const QString& text) {
    collapsedCaption_ = text;
    ShowDetails(DetailsShown());
}

bool TTaskDialog::DetailsShown() const {
    return !details_->isHidden();
}

void TTaskDialog::ShowDetails(bool shown) {
    details_->setVisible(shown);
    expander_->setText(shown ? expandedCaption_ : collapsedCaption_);
}

int TTaskDialog::Execute() {
    ShowDetails(false);
    return exec();
}

} // namespace quorvel::ui
