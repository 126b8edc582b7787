#include "TaskDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel::ui {

TTaskDialog::TTaskDialog(QWidget* owner) : QObject(owner), owner_(owner) {}

namespace {

QLabel* TextLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

void TTaskDialog::Execute() {
    QDialog dialog(owner_);
    dialog.setObjectName(objectName());
    dialog.setWindowTitle(Title);
    dialog.setMinimumWidth(360);
    auto* layout = new QVBoxLayout(&dialog);

    auto* instruction = TextLabel(Instruction, &dialog);
    instruction->setObjectName("Instruction");
    QFont larger = instruction->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.3);
    larger.setBold(true);
    instruction->setFont(larger);
    layout->addWidget(instruction);

    auto* content = TextLabel(Content, &dialog);
    content->setObjectName("Content");
    layout->addWidget(content);

    auto* expander = new QPushButton(ExpandControlText, &dialog);
    expander->setObjectName("Expander");
    expander->setFlat(true);
    expander->setCheckable(true);
    layout->addWidget(expander, 0, Qt::AlignLeft);

    auto* details = TextLabel(ExpandedText, &dialog);
    details->setObjectName("Details");
    details->setVisible(false);
    layout->addWidget(details);

    QObject::connect(expander, &QPushButton::toggled, &dialog, [=, this](bool expanded) {
        details->setVisible(expanded);
        expander->setText(expanded ? CollapseControlText : ExpandControlText);
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    // Enter dismisses the dialog: the expander must not take the first focus.
    expander->setAutoDefault(false);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true);
    ok->setFocus();
    layout->addWidget(buttons);

    dialog.exec();
}

} // namespace quorvel::ui
