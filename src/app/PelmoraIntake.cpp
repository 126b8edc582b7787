// The four ways a HEX file reaches the window: the open dialog, a drop, the command line and
// the file stored from the last run. Each runs its tests and steps in its own order.

#include "Pelmora.h"

#include "LoadErrors.h"
#include "PathText.h"
#include "TOpenDialog.h"

#include "LogView.h"
#include "StatusBar.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QUrl>

#include <climits>

namespace quorvel::app {

namespace {

// A file, not a folder, exists at the path.
bool FileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool PassesIntakeTests(const QString& path) {
    return FileExists(path) && HasHexExtension(path);
}

QString OpenedLine(const QString& path) {
    return QStringLiteral("Opened: ") + path;
}

void ShowChecksumWarning(QWidget* parent, const image::LoadResult& result) {
    QString text = QString::fromStdString(image::ChecksumWarningText(result.line, result.fileName));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

} // namespace

void TPelmora::ButtonOpenHexClick() {
    if (!OpenDialog1->Execute(this)) return;
    const QString path = OpenDialog1->FileName();
    if (!PassesIntakeTests(path)) {
        AppendHistory(QStringLiteral("File not found: ") + path);
        return;
    }
    ShowFileInStatusBar(path);
    LoadHexFile(path);
    AppendHistory(OpenedLine(path));
}

void TPelmora::HandleFileDrop(const QList<QUrl>& urls) {
    if (UploadRunning != 0) return;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        // A path the system could not open is skipped whole rather than cut to fit.
        if (QFile::encodeName(path).size() >= PATH_MAX) continue;
        if (!PassesIntakeTests(path)) continue;
        AppendHistory(OpenedLine(path));
        ShowFileInStatusBar(path);
        LoadHexFile(path);
        return;
    }
}

void TPelmora::CommandLineIntake() {
    if (arguments_.isEmpty()) return;
    const QString path = arguments_.constFirst();
    if (!PassesIntakeTests(path)) return;
    ShowFileInStatusBar(path);
    LoadHexFile(path);
    AppendHistory(OpenedLine(path));
}

void TPelmora::StoredFileIntake() {
    const QString path = OpenDialog1->FileName();
    if (!PassesIntakeTests(path)) return;
    ShowFileInStatusBar(path);
    AppendHistory(OpenedLine(path));
    LoadHexFile(path);
}

void TPelmora::ShowFileInStatusBar(const QString& path) {
    const QFontMetrics metrics(StatusBar1->CanvasFont());
    const int limit = StatusBar1->width() - metrics.horizontalAdvance(QLatin1Char('W'));
    const auto width = [&metrics](const QString& text) { return metrics.horizontalAdvance(text); };
    StatusBar1->SetPanelText(ShortenPath(QStringLiteral(": ") + path, width, limit));
}

void TPelmora::LoadHexFile(const QString& path) {
    image::LoadedImage loaded;
    loaded.FirmwareImage.swap(FirmwareImage);
    loaded.ImageTop = ImageTop;
    // Until the loader hands the image back, the window holds none: an error that escapes
    // the loader leaves it empty rather than half built.
    ImageTop = 0;
    const image::LoadResult result =
        image::LoadHexFile(QFile::encodeName(path).toStdString(), McuFamily(), loaded);
    FirmwareImage.swap(loaded.FirmwareImage);
    ImageTop = loaded.ImageTop;
    const std::string& message = result.message;
    switch (result.outcome) {
    case image::LoadResult::Outcome::Loaded:
    case image::LoadResult::Outcome::NoFile:
        return;
    case image::LoadResult::Outcome::ChecksumFailure:
        ShowChecksumWarning(this, result);
        return;
    case image::LoadResult::Outcome::ConversionError:
    case image::LoadResult::Outcome::RangeError:
    case image::LoadResult::Outcome::OutOfMemory:
    case image::LoadResult::Outcome::FileOpenError:
        throw HexLoadError(result.outcome, message);
    }
}

} // namespace quorvel::app
