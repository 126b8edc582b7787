#include "ComComboBox.h"

namespace quorvel::serial {

TComComboBox::TComComboBox(QWidget* parent)
    : QComboBox(parent), select_(std::make_unique<TComSelect>()) {
    setEditable(false); // a choice among the items only, never typed text
    // Only a choice the user makes counts; a selection the program makes changes nothing.
    connect(this, &QComboBox::activated, this, &TComComboBox::UserChose);
}

void TComComboBox::SetComPort(TCustomComPort* port) {
    if (port == select_->comPort) return;
    disconnect(portWatch_);
    select_->comPort = port;
    if (port == nullptr) return;
    portWatch_ = connect(port, &QObject::destroyed, this, &TComComboBox::PortDestroyed);
    ShowCurrentValue();
}

void TComComboBox::SetComProperty(TComProperty property) {
    const QStringList items = TComSelect::ItemsOf(property, portSource_);
    select_->comProperty = property;
    clear();
    addItems(items);
    if (count() == 0) return;
    if (select_->comPort == nullptr)
        setCurrentIndex(0);
    else
        ShowCurrentValue();
}

QString TComComboBox::Text() const {
    return currentIndex() < 0 ? QString() : itemText(currentIndex());
}

void TComComboBox::SetText(const QString& text) {
    const int index = findText(text, Qt::MatchFixedString);
    if (index < 0) return;
    setCurrentIndex(index);
    select_->Choose(itemText(index));
}

void TComComboBox::ShowCurrentValue() {
    if (select_->comPort == nullptr) return;
    const int index = findText(select_->CurrentText(), Qt::MatchFixedString);
    if (index >= 0) select_->Choose(itemText(index));
    setCurrentIndex(index);
}

void TComComboBox::ApplySettings() {
    select_->Apply();
}

void TComComboBox::UserChose(int index) {
    select_->Choose(index < 0 ? QString() : itemText(index));
    if (select_->autoApply) ApplySettings();
}

void TComComboBox::PortDestroyed() {
    select_->comPort = nullptr;
    if (count() > 0) setCurrentIndex(0);
}

} // namespace quorvel::serial
