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

#include <algorithm>
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

// The dialog remembers what was picked, but only a file that loads becomes the last file.
void TPelmora::ButtonOpenHexClick() {
    const QString lastFile = OpenDialog1->FileName();
    if (!OpenDialog1->Execute(this)) return;
    const QString path = OpenDialog1->FileName();
    OpenDialog1->SetFileName(lastFile);
    if (!PassesIntakeTests(path)) {
        AppendHistory(QStringLiteral("File not found: ") + path);
        return;
    }
    ShowFileInStatusBar(path);
    LoadHexFile(path);
    AppendHistory(OpenedLine(path));
}

void TPelmora::HandleFileDrop(const QList<QUrl>& urls) {
    if (uploadRunning_ != 0) return;
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

// The file the user opened the program with is the file: the stored one no longer replaces it.
void TPelmora::CommandLineIntake() {
    if (arguments_.isEmpty()) return;
    const QString path = arguments_.constFirst();
    if (!PassesIntakeTests(path)) return;
    commandLineFileTaken_ = true;
    ShowFileInStatusBar(path);
    LoadHexFile(path);
    AppendHistory(OpenedLine(path));
}

void TPelmora::StoredFileIntake() {
    if (commandLineFileTaken_) {
        // The restore has just put the stored name back; a command-line file that loaded is
        // the last file all the same.
        if (!loadedFile_.isEmpty()) OpenDialog1->SetFileName(loadedFile_);
        return;
    }
    const QString path = OpenDialog1->FileName();
    if (!PassesIntakeTests(path)) return;
    ShowFileInStatusBar(path);
    AppendHistory(OpenedLine(path));
    LoadHexFile(path);
}

void TPelmora::ShowFileInStatusBar(const QString& path) {
    statusFileText_ = QStringLiteral(": ") + path;
    FitStatusText();
}

// Shortened afresh from the whole path for the part of the panel that can be seen, so that
// the file's name at its end is never cut off at an edge, whatever the window's width.
void TPelmora::FitStatusText() {
    if (statusFileText_.isEmpty()) return;
    const QFontMetrics metrics(StatusBar1->CanvasFont());
    const int visible = std::min(StatusBar1->width(), StatusBar1->PanelWidth());
    const int limit = visible - metrics.horizontalAdvance(QLatin1Char('W'));
    const auto width = [&metrics](const QString& text) { return metrics.horizontalAdvance(text); };
    StatusBar1->SetPanelText(ShortenPath(statusFileText_, width, limit));
}

// A file that loads becomes the last file: the one the settings keep and the completion
// dialog names, whichever way it came. A failed load leaves both as they were.
void TPelmora::LoadHexFile(const QString& path) {
    image::LoadedImage loaded;
    loaded.FirmwareImage.swap(firmwareImage_);
    loaded.ImageTop = imageTop_;
    // Until the loader hands the image back, the window holds none: an error that escapes
    // the loader leaves it empty rather than half built.
    imageTop_ = 0;
    const image::LoadResult result =
        image::LoadHexFile(QFile::encodeName(path).toStdString(), McuFamily(), loaded);
    firmwareImage_.swap(loaded.FirmwareImage);
    imageTop_ = loaded.ImageTop;
    if (result.outcome == image::LoadResult::Outcome::NoFile) return;
    loadedFile_ = result.ok() ? path : QString();
    if (result.ok()) OpenDialog1->SetFileName(path);
    ReportLoadFailure(result);
}

void TPelmora::ReportLoadFailure(const image::LoadResult& result) {
    switch (result.outcome) {
    case image::LoadResult::Outcome::Loaded:
    case image::LoadResult::Outcome::NoFile:
        return;
    case image::LoadResult::Outcome::ChecksumFailure:
        ShowChecksumWarning(this, result);
        return;
    case image::LoadResult::Outcome::ConversionError:
    case image::LoadResult::Outcome::RecordError:
    case image::LoadResult::Outcome::RangeError:
    case image::LoadResult::Outcome::OutOfMemory:
    case image::LoadResult::Outcome::FileOpenError:
        throw HexLoadError(result.outcome, result.message);
    }
}

} // namespace quorvel::app
