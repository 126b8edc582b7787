#pragma once
// A list of serial ports of a test's own: an empty sysfs tree (no hardware) and a program
// folder whose "ports" links stand for the ports the system offers.

#include "ComSelect.h"
#include "ProgramFoldersQt.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quorvel::serial::testing {

class PortFolders {
public:
    // Offers a port of that name; it leads to a character device, as a real one does.
    void Offer(const QString& name) {
        QDir().mkpath(Ports());
        QFile::link(QStringLiteral("/dev/null"), Ports() + QLatin1Char('/') + name);
    }
    void Withdraw(const QString& name) { QFile::remove(Ports() + QLatin1Char('/') + name); }

    SerialPortSource Source() const { return {sysfs.path(), program.path()}; }
    // A list that cannot be read: its sysfs tree is missing.
    SerialPortSource Unreadable() const { return {sysfs.filePath("missing"), program.path()}; }

    QTemporaryDir sysfs, program;

private:
    QString Ports() const { return common::qt::PortsFolder(program.path()); }
};

} // namespace quorvel::serial::testing
