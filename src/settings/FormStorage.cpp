#include "FormStorage.h"

#include "IniFileStorage.h"
#include "StoredProperty.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace quorvel::settings {

namespace {

// Words of a position text, split at blanks and commas; a missing or non-numeric word
// gives `fallback`.
int PositionWord(const QStringList& words, int index, int fallback) {
    if (index >= words.size()) return fallback;
    bool ok = false;
    const int value = words[index].toInt(&ok);
    return ok ? value : fallback;
}

QStringList PositionWords(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[ ,]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

QString FourNumbers(int a, int b, int c, int d) {
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

} // namespace

FormStorage::FormStorage(QWidget* form, IniFileStorage& storage, const QString& appStoragePath,
                         QObject* owner)
    : QObject(owner), AppStoragePath(appStoragePath), form_(form), storage_(storage) {
    setObjectName(QStringLiteral("FormStorage"));
}

QString FormStorage::ScreenSuffix() const {
    const QSize size = QGuiApplication::primaryScreen()->size();
    return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
}

int FormStorage::ScreenPixelsPerInch() const {
    const QScreen* screen = form_->screen() ? form_->screen() : QGuiApplication::primaryScreen();
    return qRound(screen->logicalDotsPerInch());
}

int FormStorage::RequireInteger(const QString& key, int absent) const {
    const IniRead<int> read = storage_.ReadInteger(Path(key));
    if (read.state == ReadState::Absent) return absent;
    if (read.state == ReadState::Invalid)
        throw ConversionError("'" + storage_.GetKeyText(Path(key), {}).toStdString() +
                              "' is not a valid integer value");
    return read.value;
}

// The key for the current screen size when the file has it, else the plain key.
QString FormStorage::PositionText(const QString& key) const {
    const QString sized = Path(key + ScreenSuffix());
    return storage_.GetKeyText(storage_.HasKey(sized) ? sized : Path(key), {});
}

void FormStorage::OnFirstShow() {
    if (!restored_) RestoreState();
}

void FormStorage::OnCloseAccepted() {
    SaveState();
}

void FormStorage::OnDestroy() {
    if (!saved_) SaveState();
}

void FormStorage::SaveState() {
    storage_.WriteInteger(Path("FormVersion"), 0);
    SavePlacement();
    SaveEntries();
    saved_ = true;
}

void FormStorage::SavePlacement() {
    const int showCommand = form_->isMinimized() ? 2 : form_->isMaximized() ? 3 : 1;
    storage_.WriteInteger(Path("ShowCmd"), showCommand);
    storage_.WriteInteger(Path("Flags"), flags_);
    storage_.WriteInteger(Path("PixelsPerInch"), ScreenPixelsPerInch());
    const QString minMax = FourNumbers(minimizedPosition_.x(), minimizedPosition_.y(),
                                       maximizedPosition_.x(), maximizedPosition_.y());
    storage_.WriteText(Path("MinMaxPos" + ScreenSuffix()), minMax);
    storage_.WriteText(Path("MinMaxPos"), minMax);
    // The normal frame, also while the window is minimised or maximised.
    QRect frame = form_->frameGeometry();
    if (form_->isMinimized() || form_->isMaximized()) {
        const QRect normal = form_->normalGeometry();
        frame.moveTopLeft(normal.topLeft() - (form_->geometry().topLeft() - frame.topLeft()));
    }
    const QString normal = FourNumbers(frame.left(), frame.top(), frame.left() + frame.width(),
                                       frame.top() + frame.height());
    storage_.WriteText(Path("NormPos" + ScreenSuffix()), normal);
    storage_.WriteText(Path("NormPos"), normal);
}

// "ComPort1.BaudRate": the component and property of that name, and their key
// "frmPelmora\ComPort1_BaudRate" spelt as the objects declare them. False when either is
// missing.
bool FormStorage::ResolveEntry(const QString& entry, StoredEntry& resolved) const {
    resolved.component = FindComponent(form_, entry.section('.', 0, 0));
    if (!resolved.component) return false;
    resolved.property = FindProperty(resolved.component, entry.section('.', 1));
    if (!resolved.property.isValid()) return false;
    resolved.path = Path(resolved.component->objectName() + "_" +
                         QString::fromLatin1(resolved.property.name()));
    return true;
}

void FormStorage::SaveEntries() {
    StoredEntry e;
    for (const QString& entry : StoredProps) {
        if (!ResolveEntry(entry, e)) continue;
        if (KindOf(e.property) != StoredKind::SubObject) {
            SaveProperty(storage_, e.path, e.component, e.property);
            continue;
        }
        const QObject* group = e.property.read(e.component).value<QObject*>();
        if (!group) continue;
        for (const QMetaProperty& field : FieldsOf(group))
            SaveProperty(storage_, e.path + "\\" + QString::fromLatin1(field.name()), group, field);
    }
}

// A placement value that is not a number loses only the placement: the window opens at its
// design place, every stored entry is still applied, and the error is raised at the end.
void FormStorage::RestoreState() {
    saved_ = false;
    std::optional<StoredPlacement> placement;
    std::optional<ConversionError> placementError;
    try {
        if (RequireInteger("FormVersion", 0) < 0) {
            FinishRestore();
            return;
        }
        placement = ReadPlacement();
    } catch (const ConversionError& error) {
        placementError = error;
    }
    if (placement) ApplyPlacement(*placement);
    RestoreEntries();
    FinishRestore();
    if (placementError) throw *placementError;
}

void FormStorage::FinishRestore() {
    restored_ = true;
    // The window has a fixed single frame, whose maximised place is minus its border.
    maximizedPosition_ = QPoint(-1, -1);
}

// Everything the placement keys say, read before any of it is applied, so that a value that
// cannot be converted leaves the window where it is.
FormStorage::StoredPlacement FormStorage::ReadPlacement() const {
    StoredPlacement placement;
    placement.flags = RequireInteger("Flags", flags_);
    bool positionFound = false;
    const QString minMax = PositionText("MinMaxPos");
    if (!minMax.isEmpty()) {
        positionFound = true;
        const QStringList words = PositionWords(minMax);
        placement.minimizedPosition = QPoint(PositionWord(words, 0, 0), PositionWord(words, 1, 0));
    }
    QPoint topLeft = form_->pos();
    const QString normal = PositionText("NormPos");
    if (!normal.isEmpty()) {
        positionFound = true;
        const QStringList words = PositionWords(normal);
        topLeft = {PositionWord(words, 0, topLeft.x()), PositionWord(words, 1, topLeft.y())};
    }
    if (positionFound) {
        const int current = ScreenPixelsPerInch();
        if (RequireInteger("PixelsPerInch", current) == current) placement.topLeft = topLeft;
    }
    placement.showCommand = RequireInteger("ShowCmd", 0);
    return placement;
}

void FormStorage::ApplyPlacement(const StoredPlacement& placement) {
    flags_ = placement.flags;
    if (placement.minimizedPosition) minimizedPosition_ = *placement.minimizedPosition;
    if (placement.topLeft) form_->move(*placement.topLeft);
    switch (placement.showCommand) {
    case 2:
    case 6:
    case 7:
        form_->setWindowState(Qt::WindowNoState);
        QTimer::singleShot(0, form_, [form = form_] { form->showMinimized(); });
        break;
    case 3:
        form_->setWindowState(Qt::WindowMaximized);
        break;
    default:
        form_->setWindowState(Qt::WindowNoState);
        break;
    }
}

void FormStorage::RestoreEntries() {
    StoredEntry e;
    for (const QString& entry : StoredProps) {
        if (!ResolveEntry(entry, e)) continue;
        if (KindOf(e.property) == StoredKind::SubObject) {
            if (QObject* group = e.property.read(e.component).value<QObject*>())
                RestoreSubObject(group, e.path);
        } else if (storage_.HasKey(e.path)) {
            RestoreProperty(storage_, e.path, e.component, e.property);
        }
    }
}

// The fields in their order; a field that cannot be converted ends the group's reading.
void FormStorage::RestoreSubObject(QObject* group, const QString& section) {
    if (!storage_.HasSection(section)) return;
    for (const QMetaProperty& field : FieldsOf(group)) {
        const QString path = section + "\\" + QString::fromLatin1(field.name());
        if (!storage_.HasKey(path)) continue;
        if (!RestoreProperty(storage_, path, group, field)) return;
    }
}

} // namespace quorvel::settings
