#include "platform/PropertyList.h"

#include "platform/PropertyListForms.h"

#include <plist/plist.h>

#include <memory>

// The XML form as the library writes it, which the program's own writer matches byte for byte.

namespace platform {

using namespace plistforms;

namespace {

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

plist_t toNode(const QVariant &value, int depth, QString &error)
{
    if (depth > kPropertyListMaxDepth) {
        error = QStringLiteral("property list nested too deeply");
        return nullptr;
    }
    switch (plistKindOf(value)) {
    case PlistKind::Uid:
        return plist_new_uid(value.value<PlistUid>().value);
    case PlistKind::Dictionary: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (error = uncarriedInXml(it.key()); !error.isEmpty()) {
                plist_free(dict);
                return nullptr;
            }
            plist_t item = toNode(it.value(), depth + 1, error);
            if (!item) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, it.key().toUtf8().constData(), item);
        }
        return dict;
    }
    case PlistKind::Array: {
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
    case PlistKind::String:
        if (error = uncarriedInXml(value.toString()); !error.isEmpty())
            return nullptr;
        return plist_new_string(value.toString().toUtf8().constData());
    case PlistKind::Data: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
    }
    case PlistKind::Boolean:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case PlistKind::Signed:
        // Negative values travel as their two's complement, which is how the binary form stores them.
        return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case PlistKind::Unsigned:
        return plist_new_uint(value.toULongLong());
    case PlistKind::Real:
        return plist_new_real(value.toDouble());
    case PlistKind::Date: {
        const qint64 ms = referenceDate().msecsTo(value.toDateTime());
        const qint64 seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
        return plist_new_date(static_cast<int32_t>(seconds), static_cast<int32_t>((ms - seconds * 1000) * 1000));
    }
    case PlistKind::None:
        break;
    }
    error = hasNoPlistForm(value);
    return nullptr;
}

} // namespace

QByteArray libraryXmlData(const QVariant &root, QString *error)
{
    QString reason;
    QByteArray data;
    PlistPtr node(toNode(root, 0, reason));
    if (!node) {
        if (error)
            *error = reason;
        return {};
    }
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_xml(node.get(), &bytes, &length);
    data = QByteArray(bytes, static_cast<qsizetype>(length));
    plist_to_xml_free(bytes);
    // The library puts a carriage return in as it is, which a parser reads as a line feed; only a
    // text holds one.
    data.replace('\r', "&#13;");
    if (data.isEmpty() && error)
        *error = QStringLiteral("the property list could not be written");
    return data;
}

} // namespace platform
