#pragma once
// A list of serial ports of a test's own: an empty sysfs tree (no hardware) and a program
// folder whose "ports" links stand for the ports the system offers.

#include "ComSelect.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quorvel::serial::testing {

class PortFolders {
public:
    // Offers a port of that name; it leads to a character device, as a real one does.
    void Offer(const QString& name) {
        QDir(program.path()).mkpath(QStringLiteral("ports"));
        QFile::link(QStringLiteral("/dev/null"), program.filePath("ports/" + name));
    }
    void Withdraw(const QString& name) { QFile::remove(program.filePath("ports/" + name)); }

    SerialPortSource Source() const { return {sysfs.path(), program.path()}; }
    // A list that cannot be read: its sysfs tree is missing.
    SerialPortSource Unreadable() const { return {sysfs.filePath("missing"), program.path()}; }

    QTemporaryDir sysfs, program;
};

} // namespace quorvel::serial::testing
