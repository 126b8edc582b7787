#pragma once
// The path rules of the file intake: the ".hex" test and the ellipsis shortening of the status
// text. They are written once for any folder separator: the program uses "/", and the same
// rules hold with "\" for paths written the other way.

#include <QString>

#include <functional>

namespace quorvel::app {

inline constexpr QChar kFolderSeparator = QLatin1Char('/');

// True when the text after the last "." that follows the last separator or ":" is ".hex",
// in any letter case.
bool HasHexExtension(const QString& path, QChar separator = kFolderSeparator);

// Drops the first folder of `folder` and marks the cut with "..." and a separator.
void CutFirstFolder(QString& folder, QChar separator = kFolderSeparator);

using TextWidth = std::function<int(const QString&)>;

// Cuts leading folders off `text` until `width` of it is at most `limit`; the file name
// itself is never shortened.
QString ShortenPath(const QString& text, const TextWidth& width, int limit,
                    QChar separator = kFolderSeparator);

} // namespace quorvel::app
