#pragma once
// The ports a test's program folder offers: links in its ports folder, where a virtual board
// publishes itself, each leading to a character device as a real port does.

#include "ProgramFoldersQt.h"

#include <QDir>
#include <QFile>
#include <QString>

namespace quorvel::testing {

inline void OfferPort(const QString& programFolder, const QString& name) {
    const QString ports = common::qt::PortsFolder(programFolder);
    QDir().mkpath(ports);
    QFile::link(QStringLiteral("/dev/null"), ports + QLatin1Char('/') + name);
}

inline void WithdrawPort(const QString& programFolder, const QString& name) {
    QFile::remove(common::qt::PortsFolder(programFolder) + QLatin1Char('/') + name);
}

} // namespace quorvel::testing
