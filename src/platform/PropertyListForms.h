#pragma once

// What the forms of a property list share, and each form's own writer and reader; PropertyList.h is
// the face the rest of the program sees.

#include "platform/PropertyList.h"

#include <QDateTime>

#include <optional>

namespace platform::plistforms {

// Property-list dates count seconds from 2001-01-01 UTC.
inline const QDateTime &referenceDate()
{
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return date;
}

// What a value becomes in a property list, in either form.
enum class PlistKind { Uid, Dictionary, Array, String, Data, Boolean, Signed, Unsigned, Real, Date, None };

inline PlistKind plistKindOf(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<PlistUid>())
        return PlistKind::Uid;
    switch (value.metaType().id()) {
    case QMetaType::QVariantMap:
        return PlistKind::Dictionary;
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return PlistKind::Array;
    case QMetaType::QString:
        return PlistKind::String;
    case QMetaType::QByteArray:
        return PlistKind::Data;
    case QMetaType::Bool:
        return PlistKind::Boolean;
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return PlistKind::Signed;
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return PlistKind::Unsigned;
    case QMetaType::Double:
    case QMetaType::Float:
        return PlistKind::Real;
    case QMetaType::QDateTime:
        return PlistKind::Date;
    default:
        return PlistKind::None;
    }
}

QString hasNoPlistForm(const QVariant &value);

// Why `text` cannot go into the XML form, or nothing when it can.
QString uncarriedInXml(QStringView text);

// The binary form of `root`; nothing, with the reason, for a value it has no form for.
QByteArray binaryData(const QVariant &root, QString &error);

// The XML form, byte for byte as the library writes it, of a list of arrays, dictionaries, texts and
// data; nothing for any other value (`refused` empty) or for a text it cannot carry (`refused` says why).
std::optional<QByteArray> xmlData(const QVariant &root, const PropertyListProgress &progress, QString &refused);

std::optional<QVariant> fromXml(const QByteArray &data, const PropertyListProgress &progress, QString &error);

} // namespace platform::plistforms
