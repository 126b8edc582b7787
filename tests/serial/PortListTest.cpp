#include "PortList.h"
#include "ComErrors.h"
#include "ProgramFoldersQt.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quorvel::serial {
namespace {

// A /sys/class/tty of our own and a program folder with its "ports" links.
class PortList : public ::testing::Test {
protected:
    void Tty(const QString& name, bool withDevice, const char* type = nullptr) {
        QDir(sysfs.path()).mkpath(name);
        if (withDevice) QFile::link(sysfs.path(), sysfs.filePath(name + "/device"));
        if (type) {
            QFile file(sysfs.filePath(name + "/type"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(type);
        }
    }

    void Offer(const QString& name, const QString& target) {
        const QString ports = common::qt::PortsFolder(program.path());
        QDir().mkpath(ports);
        QFile::link(target, ports + "/" + name);
    }

    QStringList List() { return ListSerialPorts(sysfs.path(), program.path()); }

    QTemporaryDir sysfs, program;
};

TEST_F(PortList, RealDevicesAndOfferedLinksSortedWithoutRegardToCase) {
    Tty("ttyUSB0", true);
    Tty("ttyACM0", true);
    Tty("ttyS0", true, "4\n");
    Tty("ttyS1", true, "0\n"); // registered, but no UART answered
    Tty("tty0", false);        // a console, not a serial device
    Offer("board", "/dev/null");
    Offer("Vantora", "/dev/zero");
    Offer("gone", program.filePath("no-such-device"));
    QFile regular(program.filePath("plain"));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    Offer("notadevice", regular.fileName());
    EXPECT_EQ(List(), (QStringList{"board", "ttyACM0", "ttyS0", "ttyUSB0", "Vantora"}));
}

TEST_F(PortList, NamesSortAsTextNotAsNumbers) {
    for (const char* name : {"ttyS2", "ttyS10", "TTYS3"})
        Tty(name, true, "4");
    EXPECT_EQ(List(), (QStringList{"ttyS10", "ttyS2", "TTYS3"}));
}

TEST_F(PortList, NoPortsIsAnEmptyList) {
    EXPECT_TRUE(List().isEmpty());
}

TEST_F(PortList, AListThatCannotBeReadIsRegistryErrorWithTheSystemError) {
    try {
        ListSerialPorts(sysfs.filePath("missing"), program.path());
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.ErrorCode(), 23);
        EXPECT_EQ(error.SystemError(), ENOENT);
    }
}

} // namespace
} // namespace quorvel::serial
