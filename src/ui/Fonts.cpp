#include "Fonts.h"

#include <QFontDatabase>

namespace quorvel::ui {

namespace {

// Debian's fonts-wine carries a Tahoma drawn to Tahoma's metrics, but installs it outside
// fontconfig's folders; the program takes it from there when the system has no Tahoma. Its
// bold face draws hardly heavier than the regular one at the window's sizes, so bold text
// takes the bold condensed DejaVu instead, whose widths are Tahoma Bold's within a pixel or two.
bool TahomaIsStandIn() {
    static const bool standIn = [] {
        if (QFontDatabase::families().contains(QStringLiteral("Tahoma"))) return false;
        return QFontDatabase::addApplicationFont(
                   QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")) >= 0;
    }();
    return standIn;
}

} // namespace

QStringList FacesFor(const QString& family, bool bold) {
    const QString condensed = QStringLiteral("DejaVu Sans Condensed");
    const QString sans = QStringLiteral("DejaVu Sans");
    // DejaVu Sans grew out of a face drawn to Verdana's wide proportions; Impact's heavy,
    // narrow letters are nearest to the bold condensed DejaVu.
    if (family == QLatin1String("Verdana")) return {family, sans, condensed};
    if (family == QLatin1String("Tahoma") && bold && TahomaIsStandIn())
        return {condensed, family, sans};
    return {family, condensed, sans};
}

QFont PixelFont(const QString& family, int pixels, bool bold) {
    QFont font;
    font.setFamilies(FacesFor(family, bold));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace quorvel::ui
