#pragma once
// The places of ProgramFolders.h in Qt's spelling of paths, for the layers built on Qt.

#include <QString>

namespace quorvel::common::qt {

QString ProgramFolder();
QString PortsFolder(const QString& programFolder);

} // namespace quorvel::common::qt
