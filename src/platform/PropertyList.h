#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <optional>

namespace platform {

// A reference from one object of a keyed archive to another, by index into its object table.
struct PlistUid {
    quint64 value = 0;
    bool operator==(const PlistUid &) const = default;
};

enum class PropertyListFormat { Binary, Xml };

// Property lists as QVariant trees: QVariantMap (dictionary), QVariantList (array), QString,
// QByteArray (data), bool, integers (read back as qint64), double, QDateTime and PlistUid.
// Anything else cannot be written and makes the whole write fail.
QByteArray propertyListData(const QVariant &root, PropertyListFormat format, QString *error = nullptr);

// Reads either form. Data from outside is untrusted: a malformed list, one nested deeper than the
// limit or larger than the limit gives nothing and a reason. A UID that XML brought back as the
// dictionary {CF$UID: n} becomes a PlistUid again.
std::optional<QVariant> propertyListFromData(const QByteArray &data, QString *error = nullptr,
                                             PropertyListFormat *format = nullptr);

constexpr int kPropertyListMaxDepth = 64;
constexpr qsizetype kPropertyListMaxBytes = 512 * 1024 * 1024;

} // namespace platform

Q_DECLARE_METATYPE(platform::PlistUid)
