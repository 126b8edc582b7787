#include "ProgramFoldersQt.h"

#include "ProgramFolders.h"

#include <QFile>

namespace quorvel::common::qt {

namespace {

// One of the places, from a folder in Qt's spelling to one in Qt's spelling.
template <typename Place> QString Through(Place place, const QString& programFolder) {
    const std::string folder = QFile::encodeName(programFolder).toStdString();
    return QFile::decodeName(place(folder).c_str());
}

} // namespace

QString ProgramFolder() {
    return QFile::decodeName(common::ProgramFolder().c_str());
}

QString SettingsFolder(const QString& programFolder) {
    return Through(common::SettingsFolder, programFolder);
}

QString PortsFolder(const QString& programFolder) {
    return Through(common::PortsFolder, programFolder);
}

QString LocaleFolder(const QString& programFolder) {
    return Through(common::LocaleFolder, programFolder);
}

} // namespace quorvel::common::qt
