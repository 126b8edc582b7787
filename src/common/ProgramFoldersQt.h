#pragma once
// The places of ProgramFolders.h in Qt's spelling of paths, for the layers built on Qt.

#include <QString>

namespace quorvel::common::qt {

QString ProgramFolder();
QString SettingsFolder(const QString& programFolder);
QString PortsFolder(const QString& programFolder);
QString LocaleFolder(const QString& programFolder);

} // namespace quorvel::common::qt
