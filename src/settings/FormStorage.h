#pragma once
// What the settings file keeps of the window: its place on the screen and a list of its
// components' properties ("ComPort1.BaudRate", ...), under AppStoragePath. Restored on the
// first show, just before the window's own show handler; saved when a close is accepted, or
// when the window is destroyed without one.

#include <QMetaProperty>
#include <QObject>
#include <QPoint>
#include <QStringList>

#include <optional>
#include <stdexcept>

class QWidget;

namespace quorvel::settings {

class IniFileStorage;

// A placement key that does not hold a decimal integer: "'<text>' is not a valid integer value".
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FormStorage : public QObject {
    Q_OBJECT

public:
    // The window's values go under `appStoragePath`, a section path ending in a backslash.
    FormStorage(QWidget* form, IniFileStorage& storage, const QString& appStoragePath,
                QObject* owner = nullptr);

    QString AppStoragePath;
    QStringList StoredProps;

    // Throws ConversionError when a placement key is not a number, after the stored entries
    // have been applied and the state marked restored; none of the placement is applied.
    void RestoreState();
    void SaveState();

    bool Restored() const { return restored_; }
    bool Saved() const { return saved_; }

    // The window's notifications; errors travel to the window's guard.
    void OnFirstShow();     // restore unless already done
    void OnCloseAccepted(); // save
    void OnDestroy();       // save unless already done

private:
    // What the placement keys hold; an empty position is one that is not applied.
    struct StoredPlacement {
        int flags = 0;
        std::optional<QPoint> minimizedPosition;
        std::optional<QPoint> topLeft;
        int showCommand = 0;
    };
    struct StoredEntry {
        QObject* component = nullptr;
        QMetaProperty property;
        QString path;
    };

    QString Path(const QString& key) const { return AppStoragePath + key; }
    bool ResolveEntry(const QString& entry, StoredEntry& resolved) const;
    QString ScreenSuffix() const;
    int ScreenPixelsPerInch() const;
    int RequireInteger(const QString& key, int absent) const;
    QString PositionText(const QString& key) const;

    void SavePlacement();
    void SaveEntries();
    StoredPlacement ReadPlacement() const;
    void ApplyPlacement(const StoredPlacement& placement);
    void RestoreEntries();
    void FinishRestore();
    void RestoreSubObject(QObject* group, const QString& section);

    QWidget* form_;
    IniFileStorage& storage_;
    bool restored_ = false;
    bool saved_ = false;
    int flags_ = 0;
    QPoint minimizedPosition_{-1, -1};
    QPoint maximizedPosition_{-1, -1};
};

} // namespace quorvel::settings
