#include "ProgramFolder.h"

#include <QFileInfo>

namespace quorvel::i18n {

QString ProgramFolder() {
    const QFileInfo program(QStringLiteral("/proc/self/exe"));
    const QString target = program.symLinkTarget();
    return target.isEmpty() ? QString() : QFileInfo(target).absolutePath();
}

} // namespace quorvel::i18n
