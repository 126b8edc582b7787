#pragma once
// A stored property found by name through the meta-object system: "ComPort1.BaudRate" is the
// property BaudRate of the object named ComPort1 among the window's children, both matched
// in any letter case. Its kind says how the settings file spells it.

#include <QMetaProperty>
#include <QObject>
#include <QStringList>

namespace quorvel::settings {

class IniFileStorage;

enum class StoredKind { Text, Integer, Character, Boolean, Enumeration, SubObject, Unsupported };

// The object of that name (the root included), or nullptr.
QObject* FindComponent(QObject* root, const QString& name);
// The property of that name, or an invalid one.
QMetaProperty FindProperty(const QObject* object, const QString& name);

StoredKind KindOf(const QMetaProperty& property);

// The fields of a settings group, in the order the group declares them.
QList<QMetaProperty> FieldsOf(const QObject* group);

// Writes the property's value under `path` as its kind says.
void SaveProperty(IniFileStorage& storage, const QString& path, const QObject* object,
                  const QMetaProperty& property);

// Reads `path` and sets the property through its setter. False when the key is absent or
// its text cannot be converted; the property then keeps its value.
bool RestoreProperty(const IniFileStorage& storage, const QString& path, QObject* object,
                     const QMetaProperty& property);

} // namespace quorvel::settings
