#pragma once
// A drop-down list bound to one property of a serial port: it lists that property's values,
// shows the port's current one, and writes the user's choice back when applied (at once with
// AutoApply).

#include "ComPort.h"
#include "ComSelect.h"

#include <QComboBox>
#include <QMetaObject>

#include <memory>

namespace quorvel::serial {

class TComComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(quorvel::serial::TCustomComPort* ComPort READ ComPort WRITE SetComPort)
    Q_PROPERTY(quorvel::serial::TComProperty ComProperty READ ComProperty WRITE SetComProperty)
    Q_PROPERTY(bool AutoApply READ AutoApply WRITE SetAutoApply)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
public:
    explicit TComComboBox(QWidget* parent = nullptr);

    TCustomComPort* ComPort() const { return select_->comPort; }
    // Binds the port and shows its current value; a destroyed port is forgotten.
    void SetComPort(TCustomComPort* port);
    TComProperty ComProperty() const { return select_->comProperty; }
    // Refills the items (for cpPort from the system's list: EComPort code 23 when it cannot
    // be read), then selects the port's value, or the first item without a port.
    void SetComProperty(TComProperty property);
    bool AutoApply() const { return select_->autoApply; }
    void SetAutoApply(bool value) { select_->autoApply = value; }
    // The selected item, empty when none. Writing selects the item equal to the text without
    // regard to letter case, and takes it as the chosen value; an unknown text does nothing.
    QString Text() const;
    void SetText(const QString& text);

    // Where cpPort lists the ports; takes effect when ComProperty is next set.
    void SetPortSource(const SerialPortSource& source) { portSource_ = source; }

    // Selects the item equal to the port's current value and takes it as the chosen value;
    // when there is none, nothing is selected and the chosen value stays.
    void ShowCurrentValue();
    // Writes the chosen value to the bound port.
    void ApplySettings();

    const TComSelect& Select() const { return *select_; }

private:
    void UserChose(int index);
    void PortDestroyed();

    std::unique_ptr<TComSelect> select_;
    SerialPortSource portSource_;
    QMetaObject::Connection portWatch_;
};

} // namespace quorvel::serial
