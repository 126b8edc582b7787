#pragma once
// "Settings.ini" beside the program file: read once when the window has been built, held in
// memory, written back whole once, when the storage is destroyed at the end of the run. A
// storage that never read the file (or found none) never writes it: its document does not
// hold what the user stored.

#include "IniDocument.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace quorvel::settings {

// The file exists but could not be read: "Cannot open file "<full path>". <reason>".
class FileOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The three answers of a typed read.
enum class ReadState { Absent, Value, Invalid };

template <class T> struct IniRead {
    ReadState state = ReadState::Absent;
    T value{};
    bool HasValue() const { return state == ReadState::Value; }
};

class IniFileStorage : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString BooleanStringTrueValues READ BooleanStringTrueValues WRITE
                   SetBooleanStringTrueValues)
    Q_PROPERTY(QString BooleanStringFalseValues READ BooleanStringFalseValues WRITE
                   SetBooleanStringFalseValues)

public:
    static constexpr const char* kFileName = "Settings.ini";

    // The file is `programFolder` + "Settings.ini"; the working directory plays no part.
    explicit IniFileStorage(const QString& programFolder, QObject* owner = nullptr);
    ~IniFileStorage() override; // writes the file

    QString FullFileName() const { return fullFileName_; }
    bool IsReadOnly() const { return readOnly_; }

    // Replaces the document by the file's content (empty when there is no file) and notes
    // whether the file is read-only. Throws FileOpenError when it exists but cannot be read.
    void LoadFromDisk();
    // Writes the whole document unless read-only or not loaded; a failure leaves the old file
    // as it was and is not reported.
    void WriteToDisk() const;

    bool HasKey(const QString& path) const;
    bool HasSection(const QString& path) const;
    QString GetKeyText(const QString& path, const QString& defaultText) const;
    void SetKeyText(const QString& path, const QString& text);

    IniRead<QString> ReadText(const QString& path) const;
    IniRead<int> ReadInteger(const QString& path) const;
    IniRead<unsigned char> ReadCharacter(const QString& path) const;
    IniRead<bool> ReadBoolean(const QString& path) const;
    IniRead<int> ReadEnumeration(const QString& path, const QStringList& identifiers) const;

    void WriteText(const QString& path, const QString& text) { SetKeyText(path, text); }
    void WriteInteger(const QString& path, int value);
    void WriteCharacter(const QString& path, unsigned char code);
    void WriteBoolean(const QString& path, bool value);
    void WriteEnumeration(const QString& path, int ordinal, const QStringList& identifiers);

    QString BooleanStringTrueValues() const { return trueValues_; }
    void SetBooleanStringTrueValues(const QString& list);
    QString BooleanStringFalseValues() const { return falseValues_; }
    void SetBooleanStringFalseValues(const QString& list);

    // The whole document as it would be written.
    QByteArray Text() const;

private:
    const std::string* FindValue(const QString& path) const;

    QString fullFileName_;
    bool readOnly_ = false;
    bool loaded_ = false;
    IniDocument document_;
    QString trueValues_ = "TRUE, YES, Y";
    QString falseValues_ = "FALSE, NO, N";
    std::vector<std::string> trueWords_;
    std::vector<std::string> falseWords_;
};

} // namespace quorvel::settings
