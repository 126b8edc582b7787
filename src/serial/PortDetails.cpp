#include "PortDetails.h"

#include "ProgramFoldersQt.h"
#include "posix/PosixSerialDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvel::serial {

namespace {

QString Attribute(const QDir& folder, const char* name) {
    QFile file(folder.filePath(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

// The USB device is the nearest folder above the tty's device that carries a vendor id: the
// tty hangs off one of the device's interfaces.
std::optional<UsbDetails> UsbDetailsOf(const QString& ttyFolder) {
    QString path = QFileInfo(ttyFolder + QStringLiteral("/device")).canonicalFilePath();
    for (; !path.isEmpty() && path != QStringLiteral("/"); path = QFileInfo(path).path()) {
        const QDir folder(path);
        if (!folder.exists(QStringLiteral("idVendor"))) continue;
        return UsbDetails{Attribute(folder, "idVendor"), Attribute(folder, "idProduct"),
                          Attribute(folder, "manufacturer"), Attribute(folder, "product"),
                          Attribute(folder, "serial")};
    }
    return std::nullopt;
}

QString StableName(const QString& byIdFolder, const QString& device) {
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty()) return {};
    for (const QFileInfo& link :
         QDir(byIdFolder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        if (link.isSymLink() && link.canonicalFilePath() == target) return link.filePath();
    return {};
}

} // namespace

PortDetails DescribePort(const QString& name, const PortDetailFolders& folders) {
    const QString programFolder =
        folders.programFolder.isEmpty() ? common::qt::ProgramFolder() : folders.programFolder;
    PortDetails details;
    details.name = name;
    details.devicePath = posix::DevicePath(name, programFolder);
    const QFileInfo device(details.devicePath);
    if (device.isSymLink()) details.linkTarget = device.canonicalFilePath();
    details.usb = UsbDetailsOf(folders.sysfsTtyRoot + QLatin1Char('/') + name);
    details.byIdPath = StableName(folders.byIdFolder, details.devicePath);
    return details;
}

} // namespace quorvel::serial
