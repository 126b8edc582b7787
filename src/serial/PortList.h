#pragma once
// The system's serial ports: the devices that /sys/class/tty shows backed by real hardware,
// and the links in the folder "ports" beside the program file (how a virtual board is
// offered). Every name opens as a port's Port.

#include <QString>
#include <QStringList>

namespace quorvel::serial {

// Sorted case-insensitively in the user's locale. Throws EComPort code 23 when the system's
// list cannot be read. Tests give their own sysfs tree and program folder.
QStringList ListSerialPorts(const QString& sysfsTtyRoot = QStringLiteral("/sys/class/tty"),
                            const QString& programFolder = QString());

} // namespace quorvel::serial
