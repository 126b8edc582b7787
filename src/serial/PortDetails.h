#pragma once
// What the system says about a port beyond its name: the file it opens, and for a USB adapter
// the ids, maker, product and serial number that sysfs shows, and its stable name in
// /dev/serial/by-id, which stays the same whichever ttyUSB number the adapter gets.

#include <QString>

#include <optional>

namespace quorvel::serial {

struct UsbDetails {
    QString vendorId;  // four hex digits, as sysfs writes them
    QString productId; // four hex digits
    QString manufacturer;
    QString product;
    QString serialNumber;
};

struct PortDetails {
    QString name;
    QString devicePath; // what opening the port opens
    QString linkTarget; // where the device path leads when it is a link (a published board)
    std::optional<UsbDetails> usb;
    QString byIdPath; // empty when no stable name leads to the device
};

struct PortDetailFolders {
    QString sysfsTtyRoot = QStringLiteral("/sys/class/tty");
    QString programFolder; // the program's own when empty
    QString byIdFolder = QStringLiteral("/dev/serial/by-id");
};

PortDetails DescribePort(const QString& name, const PortDetailFolders& folders = {});

} // namespace quorvel::serial
