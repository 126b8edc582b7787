#include "PathText.h"

namespace quorvel::app {

namespace {

const QChar kDriveMark = QLatin1Char(':');

QString Marker(QChar separator) {
    return QStringLiteral("...") + separator;
}

// Position just after the last separator or ":", 0 when there is neither.
qsizetype FolderEnd(const QString& path, QChar separator) {
    for (qsizetype i = path.size(); i > 0; --i)
        if (path[i - 1] == separator || path[i - 1] == kDriveMark) return i;
    return 0;
}

} // namespace

bool HasHexExtension(const QString& path, QChar separator) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < FolderEnd(path, separator)) return false;
    const QString extension = path.mid(dot);
    if (extension.size() != 4) return false;
    // ASCII letter case only: no other character folds onto these letters.
    const char16_t wanted[] = u".hex";
    for (int i = 0; i < 4; ++i) {
        char16_t c = extension[i].unicode();
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != wanted[i]) return false;
    }
    return true;
}

void CutFirstFolder(QString& folder, QChar separator) {
    if (folder == separator) {
        folder.clear();
        return;
    }
    const bool rooted = folder.startsWith(separator);
    if (rooted) folder.remove(0, 1);
    // A leading "." is the marker an earlier cut left.
    if (folder.startsWith(QLatin1Char('.'))) folder.remove(0, 4);
    const qsizetype first = folder.indexOf(separator);
    if (first >= 0)
        folder = Marker(separator) + folder.mid(first + 1);
    else
        folder.clear();
    if (rooted) folder.prepend(separator);
}

QString ShortenPath(const QString& text, const TextWidth& width, int limit, QChar separator) {
    QString result = text;
    const qsizetype split = FolderEnd(text, separator);
    QString folder = text.left(split);
    const QString name = text.mid(split);
    QString drive;
    if (folder.size() >= 2 && folder[1] == kDriveMark) {
        drive = folder.left(2);
        folder.remove(0, 2);
    }
    const QString rootedMarker = separator + Marker(separator);
    while ((!folder.isEmpty() || !drive.isEmpty()) && width(result) > limit) {
        if (folder == rootedMarker) {
            drive.clear();
            folder = Marker(separator);
        } else if (folder.isEmpty()) {
            drive.clear();
        } else {
            CutFirstFolder(folder, separator);
        }
        result = drive + folder + name;
    }
    return result;
}

} // namespace quorvel::app
