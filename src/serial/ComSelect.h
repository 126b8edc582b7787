#pragma once
// What a bound combo box knows besides its items: the port property it stands for, the port,
// and the value chosen for each property, written to the port only when applied.

#include "ComVocabulary.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

namespace quorvel::serial {

class TCustomComPort;

// The port property a combo box is bound to.
enum TComProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

// Where the system's serial ports are listed; the system's own by default. Tests and the main
// window name their own folders.
struct SerialPortSource {
    QString sysfsTtyRoot = QStringLiteral("/sys/class/tty");
    QString programFolder; // empty: the folder of the program file

    QStringList List() const; // EComPort code 23 when the list cannot be read
};

class TComSelect {
public:
    // The items a list of `property` shows, in ordinal order; the port names come from `ports`.
    static QStringList ItemsOf(TComProperty property, const SerialPortSource& ports);

    // The text of the port's current value of the bound property; empty without a port.
    QString CurrentText() const;
    // Takes `text` as the chosen value: a port name as it is, an enumeration through its
    // text-to-value conversion with that conversion's fallback.
    void Choose(const QString& text);
    // Writes the chosen value of the bound property to the bound port, if there is one.
    void Apply() const;

    TComProperty comProperty = cpNone;
    TCustomComPort* comPort = nullptr;
    bool autoApply = false;

    QString port;
    TBaudRate baudRate = brCustom;
    TDataBits dataBits = dbFive;
    TStopBits stopBits = sbOneStopBit;
    TParityBits parity = prNone;
    TFlowControl flowControl = fcHardware;
};

} // namespace quorvel::serial

Q_DECLARE_METATYPE(quorvel::serial::TComProperty)
