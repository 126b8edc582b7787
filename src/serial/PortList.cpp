#include "PortList.h"

#include "ComErrors.h"
#include "ProgramFolders.h"
#include "ProgramFoldersQt.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace quorvel::serial {

namespace {

// A tty with a device behind it. The legacy ports that every PC kernel registers have one
// too, but their "type" reads 0 when no UART answered.
bool BackedByHardware(const QDir& entry) {
    if (!QFileInfo(entry.filePath(QStringLiteral("device"))).exists()) return false;
    QFile type(entry.filePath(QStringLiteral("type")));
    if (!type.open(QIODevice::ReadOnly)) return true;
    return type.readAll().trimmed() != "0";
}

bool IsCharacterDevice(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

QStringList HardwarePorts(const QString& sysfsTtyRoot) {
    const QDir root(sysfsTtyRoot);
    if (!root.exists()) throw EComPort(CError_RegError, ENOENT);
    if (!root.isReadable()) throw EComPort(CError_RegError, EACCES);
    QStringList names;
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System))
        if (BackedByHardware(QDir(root.filePath(name)))) names << name;
    return names;
}

QStringList OfferedPorts(const QString& programFolder) {
    QStringList names;
    const QString folder = common::qt::PortsFolder(programFolder);
    if (folder.isEmpty() || !common::PortsFolderTrusted(QFile::encodeName(folder).toStdString()))
        return names;
    for (const QFileInfo& link : QDir(folder).entryInfoList(QDir::System | QDir::NoDotAndDotDot))
        if (link.isSymLink() && IsCharacterDevice(link.absoluteFilePath()))
            names << link.fileName();
    return names;
}

} // namespace

QStringList ListSerialPorts(const QString& sysfsTtyRoot, const QString& programFolder) {
    const QString folder = programFolder.isEmpty() ? common::qt::ProgramFolder() : programFolder;
    QStringList names = HardwarePorts(sysfsTtyRoot) + OfferedPorts(folder);
    names.removeDuplicates();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return names;
}

} // namespace quorvel::serial
