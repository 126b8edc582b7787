#include "IniFileStorage.h"

#include "AtomicFileWriter.h"

#include "IniPath.h"
#include "IniValues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvel::settings {

namespace {

std::string Bytes(const QString& text) {
    return text.toUtf8().toStdString();
}

QString ToText(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::vector<std::string> Identifiers(const QStringList& list) {
    std::vector<std::string> identifiers;
    identifiers.reserve(static_cast<std::size_t>(list.size()));
    for (const auto& identifier : list)
        identifiers.push_back(Bytes(identifier));
    return identifiers;
}

// A line end inside a value would end its line in the file and turn the rest into lines
// of their own; such a value cannot be kept faithfully, so it is not stored.
bool FitsOnOneLine(const std::string& value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

template <class T> IniRead<T> Converted(const std::optional<T>& value) {
    if (!value) return {ReadState::Invalid, {}};
    return {ReadState::Value, *value};
}

} // namespace

IniFileStorage::IniFileStorage(const QString& programFolder, QObject* owner)
    : QObject(owner), fullFileName_(QDir(programFolder).absoluteFilePath(kFileName)),
      trueWords_(SplitWords(Bytes(trueValues_))), falseWords_(SplitWords(Bytes(falseValues_))) {
    setObjectName("IniFileStorage");
}

IniFileStorage::~IniFileStorage() {
    WriteToDisk();
}

void IniFileStorage::LoadFromDisk() {
    document_.Clear();
    readOnly_ = false;
    loaded_ = false;
    const QFileInfo info(fullFileName_);
    if (!info.isFile()) {
        loaded_ = true;
        return;
    }
    // Write permission for nobody is what marks the file read-only (root could still write).
    readOnly_ =
        (info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)) == 0;
    QFile file(fullFileName_);
    QByteArray content;
    if (file.open(QIODevice::ReadOnly)) content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileOpenError(
            Bytes("Cannot open file \"" + fullFileName_ + "\". " + file.errorString()));
    document_.Parse(
        std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
    loaded_ = true;
}

void IniFileStorage::WriteToDisk() const {
    if (readOnly_ || !loaded_) return;
    QDir().mkpath(QFileInfo(fullFileName_).absolutePath());
    // The new text replaces the old file only once it has been written whole, so a full
    // disk or a killed program never leaves half a file behind. Failures are not reported.
    const std::string text = document_.Text();
    common::WriteFileAtomically(Bytes(fullFileName_), text.data(), text.size(),
                                common::Durability::SyncFirst);
}

QByteArray IniFileStorage::Text() const {
    const std::string text = document_.Text();
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

const std::string* IniFileStorage::FindValue(const QString& path) const {
    const IniPath split = SplitIniPath(Bytes(path));
    return document_.FindValue(split.section, split.key);
}

bool IniFileStorage::HasKey(const QString& path) const {
    return FindValue(path) != nullptr;
}

bool IniFileStorage::HasSection(const QString& path) const {
    return document_.HasSection(SplitIniPath(Bytes(path)).whole);
}

QString IniFileStorage::GetKeyText(const QString& path, const QString& defaultText) const {
    const std::string* value = FindValue(path);
    return value ? ToText(*value) : defaultText;
}

void IniFileStorage::SetKeyText(const QString& path, const QString& text) {
    if (readOnly_) return;
    const IniPath split = SplitIniPath(Bytes(path));
    const std::string value = Bytes(text);
    if (split.key.empty() || !FitsOnOneLine(value)) return;
    document_.SetValue(split.section, split.key, value);
}

IniRead<QString> IniFileStorage::ReadText(const QString& path) const {
    const std::string* value = FindValue(path);
    if (!value) return {};
    return {ReadState::Value, ToText(*value)};
}

IniRead<int> IniFileStorage::ReadInteger(const QString& path) const {
    const std::string* value = FindValue(path);
    if (!value) return {};
    return Converted(ParseInteger(*value));
}

IniRead<unsigned char> IniFileStorage::ReadCharacter(const QString& path) const {
    const IniRead<int> number = ReadInteger(path);
    return {number.state, static_cast<unsigned char>(number.value & 0xFF)};
}

IniRead<bool> IniFileStorage::ReadBoolean(const QString& path) const {
    const std::string* value = FindValue(path);
    if (!value) return {};
    return Converted(ParseBoolean(*value, trueWords_, falseWords_));
}

IniRead<int> IniFileStorage::ReadEnumeration(const QString& path,
                                             const QStringList& identifiers) const {
    const std::string* value = FindValue(path);
    if (!value) return {};
    return Converted(ParseEnumeration(*value, Identifiers(identifiers)));
}

void IniFileStorage::WriteInteger(const QString& path, int value) {
    SetKeyText(path, QString::number(value));
}

void IniFileStorage::WriteCharacter(const QString& path, unsigned char code) {
    SetKeyText(path, QString::number(code));
}

void IniFileStorage::WriteBoolean(const QString& path, bool value) {
    const auto& words = value ? trueWords_ : falseWords_;
    SetKeyText(path, words.empty() ? QString(value ? "1" : "0") : ToText(words.front()));
}

void IniFileStorage::WriteEnumeration(const QString& path, int ordinal,
                                      const QStringList& identifiers) {
    if (ordinal >= 0 && ordinal < identifiers.size())
        SetKeyText(path, identifiers[ordinal]);
    else
        WriteInteger(path, ordinal);
}

void IniFileStorage::SetBooleanStringTrueValues(const QString& list) {
    trueValues_ = list;
    trueWords_ = SplitWords(Bytes(list));
}

void IniFileStorage::SetBooleanStringFalseValues(const QString& list) {
    falseValues_ = list;
    falseWords_ = SplitWords(Bytes(list));
}

} // namespace quorvel::settings
