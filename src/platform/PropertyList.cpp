#include "platform/PropertyList.h"

#include <QDateTime>

#include <plist/plist.h>

#include <cstdlib>
#include <memory>

namespace platform {

namespace {

// Property-list dates count seconds from 2001-01-01 UTC.
const QDateTime &referenceDate()
{
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return date;
}

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

// Strings that libplist hands out are the caller's to free.
QString takeString(char *text)
{
    const QString s = text ? QString::fromUtf8(text) : QString();
    std::free(text);
    return s;
}

plist_t toNode(const QVariant &value, int depth, QString &error)
{
    if (depth > kPropertyListMaxDepth) {
        error = QStringLiteral("property list nested too deeply");
        return nullptr;
    }
    if (value.canConvert<PlistUid>() && value.metaType() == QMetaType::fromType<PlistUid>())
        return plist_new_uid(value.value<PlistUid>().value);
    switch (value.metaType().id()) {
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            plist_t item = toNode(it.value(), depth + 1, error);
            if (!item) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, it.key().toUtf8().constData(), item);
        }
        return dict;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant &element : value.toList()) {
            plist_t item = toNode(element, depth + 1, error);
            if (!item) {
                plist_free(array);
                return nullptr;
            }
            plist_array_append_item(array, item);
        }
        return array;
    }
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
    }
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        // Negative values travel as their two's complement, which is how the binary form stores them.
        return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QDateTime: {
        const qint64 ms = referenceDate().msecsTo(value.toDateTime());
        const qint64 seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
        return plist_new_date(static_cast<int32_t>(seconds), static_cast<int32_t>((ms - seconds * 1000) * 1000));
    }
    default:
        error = QStringLiteral("a value of type %1 has no property-list form").arg(QString::fromLatin1(value.typeName()));
        return nullptr;
    }
}

std::optional<QVariant> fromNode(plist_t node, int depth, QString &error)
{
    if (!node) {
        error = QStringLiteral("missing property-list node");
        return std::nullopt;
    }
    if (depth > kPropertyListMaxDepth) {
        error = QStringLiteral("property list nested too deeply");
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        const uint32_t count = plist_dict_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            char *key = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, it, &key, &item);
            const QString name = takeString(key);
            if (!item)
                break;
            std::optional<QVariant> value = fromNode(item, depth + 1, error);
            if (!value) {
                std::free(it);
                return std::nullopt;
            }
            map.insert(name, *value);
        }
        std::free(it);
        // XML has no UID element; libplist reads one back as this dictionary.
        if (map.size() == 1) {
            const QVariant uid = map.value(QStringLiteral("CF$UID"));
            if (uid.metaType().id() == QMetaType::LongLong && uid.toLongLong() >= 0)
                return QVariant::fromValue(PlistUid{static_cast<quint64>(uid.toLongLong())});
        }
        return QVariant(map);
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        list.reserve(static_cast<qsizetype>(std::min<uint32_t>(count, 1u << 20)));
        for (uint32_t i = 0; i < count; ++i) {
            std::optional<QVariant> value = fromNode(plist_array_get_item(node, i), depth + 1, error);
            if (!value)
                return std::nullopt;
            list << *value;
        }
        return QVariant(list);
    }
    case PLIST_STRING: {
        char *text = nullptr;
        plist_get_string_val(node, &text);
        return QVariant(takeString(text));
    }
    case PLIST_KEY: {
        char *text = nullptr;
        plist_get_key_val(node, &text);
        return QVariant(takeString(text));
    }
    case PLIST_DATA: {
        char *bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        QByteArray data(bytes, static_cast<qsizetype>(length));
        std::free(bytes);
        return QVariant(data);
    }
    case PLIST_BOOLEAN: {
        uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return QVariant(flag != 0);
    }
    case PLIST_UINT: {
        uint64_t number = 0;
        plist_get_uint_val(node, &number);
        return QVariant(static_cast<qint64>(number));
    }
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return QVariant(number);
    }
    case PLIST_DATE: {
        int32_t seconds = 0, micro = 0;
        plist_get_date_val(node, &seconds, &micro);
        return QVariant(referenceDate().addMSecs(qint64(seconds) * 1000 + micro / 1000));
    }
    case PLIST_UID: {
        uint64_t uid = 0;
        plist_get_uid_val(node, &uid);
        return QVariant::fromValue(PlistUid{uid});
    }
    default:
        error = QStringLiteral("unknown property-list node");
        return std::nullopt;
    }
}

} // namespace

QByteArray propertyListData(const QVariant &root, PropertyListFormat format, QString *error)
{
    QString reason;
    PlistPtr node(toNode(root, 0, reason));
    if (!node) {
        if (error)
            *error = reason;
        return {};
    }
    char *bytes = nullptr;
    uint32_t length = 0;
    QByteArray data;
    if (format == PropertyListFormat::Binary) {
        plist_to_bin(node.get(), &bytes, &length);
        data = QByteArray(bytes, static_cast<qsizetype>(length));
        plist_to_bin_free(bytes);
    } else {
        plist_to_xml(node.get(), &bytes, &length);
        data = QByteArray(bytes, static_cast<qsizetype>(length));
        plist_to_xml_free(bytes);
    }
    if (data.isEmpty() && error)
        *error = QStringLiteral("the property list could not be written");
    return data;
}

std::optional<QVariant> propertyListFromData(const QByteArray &data, QString *error, PropertyListFormat *format)
{
    QString reason;
    const auto fail = [&](const QString &why) -> std::optional<QVariant> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (data.size() < 8)
        return fail(QStringLiteral("not a property list"));
    if (data.size() > kPropertyListMaxBytes)
        return fail(QStringLiteral("property list too large"));
    const auto length = static_cast<uint32_t>(data.size());
    const bool binary = plist_is_binary(data.constData(), length) != 0;
    plist_t raw = nullptr;
    if (binary)
        plist_from_bin(data.constData(), length, &raw);
    else
        plist_from_xml(data.constData(), length, &raw);
    PlistPtr node(raw);
    if (!node)
        return fail(QStringLiteral("not a property list"));
    std::optional<QVariant> value = fromNode(node.get(), 0, reason);
    if (!value)
        return fail(reason);
    if (format)
        *format = binary ? PropertyListFormat::Binary : PropertyListFormat::Xml;
    return value;
}

} // namespace platform
