#include "TextDomain.h"

#include "ProgramFoldersQt.h"

#include <QDir>

#include <libintl.h>

namespace quorvel::i18n {

void RegisterTextDomain(const char* domain) {
    const QString folder = common::qt::ProgramFolder();
    const QString catalogues = folder + QStringLiteral("/locale");
    if (!folder.isEmpty() && QDir(catalogues).exists())
        bindtextdomain(domain, QFile::encodeName(catalogues).constData());
    bind_textdomain_codeset(domain, "UTF-8");
}

const char* Translate(const char* domain, const char* text) {
    return dgettext(domain, text);
}

} // namespace quorvel::i18n
