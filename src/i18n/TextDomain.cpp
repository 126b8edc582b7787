#include "TextDomain.h"

#include "ProgramFoldersQt.h"

#include <QFile>

#include <libintl.h>

namespace quorvel::i18n {

void RegisterTextDomain(const char* domain) {
    // Without a folder of our own the system's catalogues are the ones.
    const QString catalogues = common::qt::LocaleFolder(common::qt::ProgramFolder());
    if (!catalogues.isEmpty()) bindtextdomain(domain, QFile::encodeName(catalogues).constData());
    bind_textdomain_codeset(domain, "UTF-8");
}

const char* Translate(const char* domain, const char* text) {
    return dgettext(domain, text);
}

} // namespace quorvel::i18n
