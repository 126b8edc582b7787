#include "StoredProperty.h"

#include "IniFileStorage.h"

#include <QMetaEnum>

namespace quorvel::settings {

namespace {

QStringList EnumerationKeys(const QMetaProperty& property) {
    const QMetaEnum enumeration = property.enumerator();
    QStringList keys;
    for (int i = 0; i < enumeration.keyCount(); ++i)
        keys << QString::fromLatin1(enumeration.key(i));
    return keys;
}

// The stored ordinal is the position in the member list; the property takes the value.
QVariant EnumerationValue(const QMetaProperty& property, int ordinal) {
    QVariant value(property.enumerator().value(ordinal));
    value.convert(property.metaType());
    return value;
}

int OrdinalOf(const QMetaProperty& property, const QVariant& value) {
    const QMetaEnum enumeration = property.enumerator();
    const int raw = value.toInt();
    for (int i = 0; i < enumeration.keyCount(); ++i)
        if (enumeration.value(i) == raw) return i;
    return -1;
}

} // namespace

QObject* FindComponent(QObject* root, const QString& name) {
    if (root->objectName().compare(name, Qt::CaseInsensitive) == 0) return root;
    for (QObject* child : root->findChildren<QObject*>())
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
    return nullptr;
}

QMetaProperty FindProperty(const QObject* object, const QString& name) {
    // The most derived class first: a component's own declaration wins over a base class's
    // property that differs only in letter case (a check box's "Checked" over "checked").
    const QMetaObject* meta = object->metaObject();
    for (int i = meta->propertyCount() - 1; i >= 0; --i)
        if (QString::fromLatin1(meta->property(i).name()).compare(name, Qt::CaseInsensitive) == 0)
            return meta->property(i);
    return {};
}

StoredKind KindOf(const QMetaProperty& property) {
    if (property.isEnumType()) return StoredKind::Enumeration;
    const QMetaType type = property.metaType();
    if (type.flags().testFlag(QMetaType::PointerToQObject)) return StoredKind::SubObject;
    switch (type.id()) {
    case QMetaType::QString:
        return StoredKind::Text;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
        return StoredKind::Integer;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return StoredKind::Character;
    case QMetaType::Bool:
        return StoredKind::Boolean;
    default:
        return StoredKind::Unsupported;
    }
}

QList<QMetaProperty> FieldsOf(const QObject* group) {
    QList<QMetaProperty> fields;
    const QMetaObject* meta = group->metaObject();
    // Properties of QObject itself (objectName) are not settings.
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        if (meta->property(i).isWritable()) fields << meta->property(i);
    return fields;
}

void SaveProperty(IniFileStorage& storage, const QString& path, const QObject* object,
                  const QMetaProperty& property) {
    const QVariant value = property.read(object);
    switch (KindOf(property)) {
    case StoredKind::Text:
        storage.WriteText(path, value.toString());
        break;
    case StoredKind::Integer:
        storage.WriteInteger(path, value.toInt());
        break;
    case StoredKind::Character:
        storage.WriteCharacter(path, static_cast<unsigned char>(value.toInt() & 0xFF));
        break;
    case StoredKind::Boolean:
        storage.WriteBoolean(path, value.toBool());
        break;
    case StoredKind::Enumeration:
        storage.WriteEnumeration(path, OrdinalOf(property, value), EnumerationKeys(property));
        break;
    case StoredKind::SubObject:
    case StoredKind::Unsupported:
        break;
    }
}

bool RestoreProperty(const IniFileStorage& storage, const QString& path, QObject* object,
                     const QMetaProperty& property) {
    QVariant value;
    switch (KindOf(property)) {
    case StoredKind::Text: {
        const auto read = storage.ReadText(path);
        if (!read.HasValue()) return false;
        value = read.value;
        break;
    }
    case StoredKind::Integer: {
        const auto read = storage.ReadInteger(path);
        if (!read.HasValue()) return false;
        value = read.value;
        break;
    }
    case StoredKind::Character: {
        const auto read = storage.ReadCharacter(path);
        if (!read.HasValue()) return false;
        value = QVariant::fromValue(static_cast<char>(read.value));
        value.convert(property.metaType());
        break;
    }
    case StoredKind::Boolean: {
        const auto read = storage.ReadBoolean(path);
        if (!read.HasValue()) return false;
        value = read.value;
        break;
    }
    case StoredKind::Enumeration: {
        const auto read = storage.ReadEnumeration(path, EnumerationKeys(property));
        if (!read.HasValue()) return false;
        value = EnumerationValue(property, read.value);
        break;
    }
    case StoredKind::SubObject:
    case StoredKind::Unsupported:
        return false;
    }
    return property.write(object, value);
}

} // namespace quorvel::settings
