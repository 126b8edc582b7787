#pragma once
// A list of serial ports of a test's own: an empty sysfs tree (no hardware) and a program
// folder whose "ports" links stand for the ports the system offers.

#include "ComSelect.h"
#include "OfferedPorts.h"

#include <QTemporaryDir>

namespace quorvel::serial::testing {

class PortFolders {
public:
    void Offer(const QString& name) { quorvel::testing::OfferPort(program.path(), name); }
    void Withdraw(const QString& name) { quorvel::testing::WithdrawPort(program.path(), name); }

    SerialPortSource Source() const { return {sysfs.path(), program.path()}; }
    // A list that cannot be read: its sysfs tree is missing.
    SerialPortSource Unreadable() const { return {sysfs.filePath("missing"), program.path()}; }

    QTemporaryDir sysfs, program;
};

} // namespace quorvel::serial::testing
