#pragma once
// The faces the window asks for (Tahoma, Verdana, Impact) and what stands in for them on a
// desktop that lacks them.

#include <QFont>
#include <QString>
#include <QStringList>

namespace quorvel::ui {

// The faces tried for `family` in that weight: the family itself, then free faces of close
// metrics, best first.
QStringList FacesFor(const QString& family, bool bold);

// A font of `pixels` height in `family` or the nearest stand-in the machine has, so that
// captions sized for the named face still fit their controls.
QFont PixelFont(const QString& family, int pixels, bool bold = false);

} // namespace quorvel::ui
