#include "ProgramFoldersQt.h"

#include "ProgramFolders.h"

#include <QFile>

namespace quorvel::common::qt {

QString ProgramFolder() {
    return QFile::decodeName(common::ProgramFolder().c_str());
}

QString PortsFolder(const QString& programFolder) {
    const std::string folder = QFile::encodeName(programFolder).toStdString();
    return QFile::decodeName(common::PortsFolder(folder).c_str());
}

} // namespace quorvel::common::qt
