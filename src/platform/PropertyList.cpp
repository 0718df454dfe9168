#include "platform/PropertyList.h"

#include "platform/ConcurrentFor.h"

#include <QDateTime>
#include <QHash>
#include <QXmlStreamReader>

#include <plist/plist.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <vector>

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

// What a value becomes in a property list, in either form.
enum class PlistKind { Uid, Dictionary, Array, String, Data, Boolean, Signed, Unsigned, Real, Date, None };

PlistKind plistKindOf(const QVariant &value)
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

QString hasNoPlistForm(const QVariant &value)
{
    return QStringLiteral("a value of type %1 has no property-list form").arg(QString::fromLatin1(value.typeName()));
}

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

// The binary form is written here: the library's writer builds a node tree with dictionaries of
// linear lookup, and orders shared objects by address, so that the same list gave other bytes.
// This one writes the objects in the order met, each text once, and the same list the same bytes.
class BinaryWriter {
public:
    QByteArray write(const QVariant &root, QString &error)
    {
        if (add(root, 0, error) < 0)
            return {};
        const quint64 count = m_objects.size();
        const int refSize = bytesFor(count);
        QByteArray out("bplist00");
        out.reserve(qsizetype(count) * 8 + m_payload);
        QList<quint64> offsets;
        offsets.reserve(qsizetype(count));
        for (const Object &object : m_objects) {
            offsets << quint64(out.size());
            writeObject(out, object, refSize);
        }
        const quint64 tableOffset = quint64(out.size());
        const int offsetSize = bytesFor(tableOffset);
        for (const quint64 offset : offsets)
            appendUnsigned(out, offset, offsetSize);
        out.append(6, '\0');
        out.append(char(offsetSize));
        out.append(char(refSize));
        appendUnsigned(out, count, 8);
        appendUnsigned(out, 0, 8); // the root is written first
        appendUnsigned(out, tableOffset, 8);
        return out;
    }

private:
    struct Object {
        QVariant value;       // a scalar, or invalid for a collection
        char collection = 0;  // 'a' array, 'd' dictionary (keys, then values)
        QList<quint64> refs;
    };

    static int bytesFor(quint64 value)
    {
        if (value <= 0xFF)
            return 1;
        if (value <= 0xFFFF)
            return 2;
        return value <= 0xFFFFFFFFu ? 4 : 8;
    }

    static void appendUnsigned(QByteArray &out, quint64 value, int width)
    {
        for (int i = width - 1; i >= 0; --i)
            out.append(char((value >> (8 * i)) & 0xFF));
    }

    static void appendMarkerAndLength(QByteArray &out, int type, quint64 length)
    {
        if (length < 15) {
            out.append(char((type << 4) | int(length)));
            return;
        }
        out.append(char((type << 4) | 0xF));
        const int width = bytesFor(length);
        out.append(char(0x10 | (width == 1 ? 0 : width == 2 ? 1 : width == 4 ? 2 : 3)));
        appendUnsigned(out, length, width);
    }

    qint64 reserve(Object object)
    {
        m_objects.push_back(std::move(object));
        return qint64(m_objects.size()) - 1;
    }

    qint64 addString(const QString &text)
    {
        if (const auto it = m_strings.constFind(text); it != m_strings.constEnd())
            return qint64(*it);
        const qint64 index = reserve({QVariant(text), 0, {}});
        m_strings.insert(text, quint64(index));
        m_payload += text.size() * 2 + 3;
        return index;
    }

    qint64 add(const QVariant &value, int depth, QString &error)
    {
        if (depth > kPropertyListMaxDepth) {
            error = QStringLiteral("property list nested too deeply");
            return -1;
        }
        switch (plistKindOf(value)) {
        case PlistKind::Uid:
        case PlistKind::Boolean:
        case PlistKind::Real:
        case PlistKind::Date:
            return reserve({value, 0, {}});
        case PlistKind::Dictionary: {
            const QVariantMap map = value.toMap();
            const qint64 index = reserve({QVariant(), 'd', {}});
            QList<quint64> refs(map.size() * 2);
            qsizetype i = 0;
            for (auto it = map.cbegin(); it != map.cend(); ++it, ++i) {
                refs[i] = quint64(addString(it.key()));
                const qint64 item = add(it.value(), depth + 1, error);
                if (item < 0)
                    return -1;
                refs[map.size() + i] = quint64(item);
            }
            m_objects[size_t(index)].refs = std::move(refs);
            return index;
        }
        case PlistKind::Array: {
            const QVariantList list = value.toList();
            const qint64 index = reserve({QVariant(), 'a', {}});
            QList<quint64> refs;
            refs.reserve(list.size());
            for (const QVariant &element : list) {
                const qint64 item = add(element, depth + 1, error);
                if (item < 0)
                    return -1;
                refs << quint64(item);
            }
            m_objects[size_t(index)].refs = std::move(refs);
            return index;
        }
        case PlistKind::String:
            return addString(value.toString());
        case PlistKind::Data: {
            // Data shared in memory (one picture listed many times) is written once.
            const QByteArray bytes = value.toByteArray();
            const auto key = std::make_pair(bytes.constData(), bytes.size());
            if (const auto it = m_data.find(key); it != m_data.end())
                return qint64(it->second);
            m_payload += bytes.size() + 10;
            const qint64 index = reserve({value, 0, {}});
            m_data.emplace(key, quint64(index));
            return index;
        }
        case PlistKind::Signed:
            return reserve({QVariant(value.toLongLong()), 0, {}});
        case PlistKind::Unsigned:
            return reserve({QVariant(value.toULongLong()), 0, {}});
        case PlistKind::None:
            break;
        }
        error = hasNoPlistForm(value);
        return -1;
    }

    void writeObject(QByteArray &out, const Object &object, int refSize) const
    {
        if (object.collection) {
            const bool dictionary = object.collection == 'd';
            appendMarkerAndLength(out, dictionary ? 0xD : 0xA, quint64(object.refs.size()) / (dictionary ? 2 : 1));
            for (const quint64 ref : object.refs)
                appendUnsigned(out, ref, refSize);
            return;
        }
        const QVariant &value = object.value;
        if (value.metaType() == QMetaType::fromType<PlistUid>()) {
            const quint64 uid = value.value<PlistUid>().value;
            const int width = bytesFor(uid);
            out.append(char(0x80 | (width - 1)));
            appendUnsigned(out, uid, width);
            return;
        }
        switch (value.metaType().id()) {
        case QMetaType::QString: {
            const QString text = value.toString();
            const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() < 0x80; });
            appendMarkerAndLength(out, ascii ? 0x5 : 0x6, quint64(text.size()));
            if (ascii) {
                out.append(text.toLatin1());
            } else {
                for (const QChar ch : text)
                    appendUnsigned(out, ch.unicode(), 2);
            }
            return;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            appendMarkerAndLength(out, 0x4, quint64(bytes.size()));
            out.append(bytes);
            return;
        }
        case QMetaType::Bool:
            out.append(char(value.toBool() ? 0x09 : 0x08));
            return;
        case QMetaType::LongLong: {
            const qint64 number = value.toLongLong();
            if (number < 0) {
                out.append(char(0x13));
                appendUnsigned(out, quint64(number), 8);
                return;
            }
            writeUnsigned(out, quint64(number));
            return;
        }
        case QMetaType::ULongLong:
            writeUnsigned(out, value.toULongLong());
            return;
        case QMetaType::QDateTime: {
            const qint64 ms = referenceDate().msecsTo(value.toDateTime());
            writeDouble(out, 0x33, double(ms) / 1000.0);
            return;
        }
        default: // double and float
            writeDouble(out, 0x23, value.toDouble());
            return;
        }
    }

    static void writeUnsigned(QByteArray &out, quint64 number)
    {
        if (number > quint64(std::numeric_limits<qint64>::max())) {
            // Beyond the signed range the binary form takes sixteen bytes.
            out.append(char(0x14));
            appendUnsigned(out, 0, 8);
            appendUnsigned(out, number, 8);
            return;
        }
        const int width = bytesFor(number);
        out.append(char(0x10 | (width == 1 ? 0 : width == 2 ? 1 : width == 4 ? 2 : 3)));
        appendUnsigned(out, number, width);
    }

    static void writeDouble(QByteArray &out, int marker, double number)
    {
        quint64 bits;
        std::memcpy(&bits, &number, 8);
        out.append(char(marker));
        appendUnsigned(out, bits, 8);
    }

    std::vector<Object> m_objects;
    QHash<QString, quint64> m_strings;
    std::map<std::pair<const char *, qsizetype>, quint64> m_data;
    qint64 m_payload = 0;
};

// Reading is done here rather than by the library, which aborts the process on some malformed
// input; property lists arrive from the pasteboard and from files of unknown origin.

QVariant uidOrMap(QVariantMap map)
{
    // XML has no UID element; writers spell one as this dictionary.
    if (map.size() == 1) {
        const QVariant uid = map.value(QStringLiteral("CF$UID"));
        if (uid.metaType().id() == QMetaType::LongLong && uid.toLongLong() >= 0)
            return QVariant::fromValue(PlistUid{static_cast<quint64>(uid.toLongLong())});
    }
    return QVariant(map);
}

class BinaryReader {
public:
    explicit BinaryReader(const QByteArray &data) : m_data(data) {}

    std::optional<QVariant> read(QString &error)
    {
        const qsizetype size = m_data.size();
        if (size < 8 + 32 || !m_data.startsWith("bplist00"))
            return fail(error, QStringLiteral("not a binary property list"));
        const qsizetype trailer = size - 32;
        m_offsetSize = byteAt(trailer + 6);
        m_refSize = byteAt(trailer + 7);
        const quint64 count = unsignedAt(trailer + 8, 8);
        const quint64 top = unsignedAt(trailer + 16, 8);
        const quint64 tableOffset = unsignedAt(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 || count == 0 ||
            top >= count || tableOffset < 8 || tableOffset >= quint64(trailer) ||
            count > quint64(trailer - qsizetype(tableOffset)) / m_offsetSize)
            return fail(error, QStringLiteral("damaged binary property list"));
        m_count = count;
        m_tableOffset = qsizetype(tableOffset);
        m_end = qsizetype(tableOffset);
        std::optional<QVariant> value = object(top, 0);
        if (!value)
            return fail(error, m_error);
        return value;
    }

private:
    static std::optional<QVariant> fail(QString &error, const QString &why)
    {
        error = why;
        return std::nullopt;
    }
    int byteAt(qsizetype at) const { return static_cast<unsigned char>(m_data.at(at)); }
    quint64 unsignedAt(qsizetype at, int width) const
    {
        quint64 value = 0;
        for (int i = 0; i < width; ++i)
            value = (value << 8) | quint64(byteAt(at + i));
        return value;
    }
    bool has(qsizetype at, quint64 length) const { return at >= 8 && at <= m_end && length <= quint64(m_end - at); }

    std::optional<QVariant> bad(const char *why)
    {
        m_error = QString::fromLatin1(why);
        return std::nullopt;
    }

    // The length of a data, string or collection object, which may follow as an integer object.
    bool length(qsizetype &at, int info, quint64 &count)
    {
        if (info != 0xF) {
            count = quint64(info);
            return true;
        }
        if (!has(at, 1))
            return false;
        const int marker = byteAt(at);
        if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3)
            return false;
        const int width = 1 << (marker & 0x0F);
        if (!has(at + 1, quint64(width)))
            return false;
        count = unsignedAt(at + 1, width);
        at += 1 + width;
        return true;
    }

    // An object referred to many times is read once and shared: copying it for every reference
    // would let a small list (a large data object listed thousands of times) fill the memory. A
    // shared object still counts its own height, so sharing never makes a list deeper than the limit.
    std::optional<QVariant> object(quint64 ref, int depth)
    {
        if (depth > kPropertyListMaxDepth)
            return bad("property list nested too deeply");
        if (ref >= m_count)
            return bad("reference out of range");
        if (--m_budget < 0)
            return bad("property list too large");
        if (const auto done = m_decoded.constFind(ref); done != m_decoded.constEnd()) {
            if (depth + done->height - 1 > kPropertyListMaxDepth)
                return bad("property list nested too deeply");
            m_height = done->height;
            return done->value;
        }
        int height = 1;
        std::optional<QVariant> value = decode(ref, depth, height);
        if (value) {
            m_decoded.insert(ref, {*value, height});
            m_height = height;
        }
        return value;
    }

    // Reads the object itself; a collection sets `height` to one more than its highest element.
    std::optional<QVariant> decode(quint64 ref, int depth, int &height)
    {
        const quint64 offset = unsignedAt(m_tableOffset + qsizetype(ref) * m_offsetSize, m_offsetSize);
        qsizetype at = qsizetype(offset);
        if (!has(at, 1) || quint64(at) != offset)
            return bad("object offset out of range");
        const int marker = byteAt(at++);
        const int type = marker >> 4, info = marker & 0x0F;
        switch (type) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09)
                return QVariant(marker == 0x09);
            return bad("unsupported object");
        case 0x1: {
            if (info > 4)
                return bad("integer too wide");
            const int width = 1 << info;
            if (!has(at, quint64(width)))
                return bad("integer out of range");
            // Sixteen-byte integers hold the value in their low eight bytes.
            const quint64 value = unsignedAt(at + (width == 16 ? 8 : 0), width == 16 ? 8 : width);
            return QVariant(static_cast<qint64>(value));
        }
        case 0x2: {
            if (info != 2 && info != 3)
                return bad("unsupported real");
            const int width = 1 << info;
            if (!has(at, quint64(width)))
                return bad("real out of range");
            const quint64 bits = unsignedAt(at, width);
            if (width == 4) {
                const auto narrow = static_cast<quint32>(bits);
                float f;
                std::memcpy(&f, &narrow, 4);
                return QVariant(double(f));
            }
            double d;
            std::memcpy(&d, &bits, 8);
            return QVariant(d);
        }
        case 0x3: {
            if (marker != 0x33 || !has(at, 8))
                return bad("damaged date");
            const quint64 bits = unsignedAt(at, 8);
            double seconds;
            std::memcpy(&seconds, &bits, 8);
            if (!std::isfinite(seconds) || std::abs(seconds) > 1e11)
                return bad("date out of range");
            return QVariant(referenceDate().addMSecs(qint64(std::llround(seconds * 1000))));
        }
        case 0x4:
        case 0x5:
        case 0x6: {
            quint64 count = 0;
            if (!length(at, info, count))
                return bad("damaged length");
            const quint64 bytes = type == 0x6 ? count * 2 : count;
            if (count > quint64(m_end) || !has(at, bytes))
                return bad("object runs past the end");
            if (type == 0x4)
                return QVariant(m_data.mid(at, qsizetype(bytes)));
            if (type == 0x5)
                return QVariant(QString::fromLatin1(m_data.constData() + at, qsizetype(count)));
            QString text(qsizetype(count), Qt::Uninitialized);
            for (quint64 i = 0; i < count; ++i)
                text[qsizetype(i)] = QChar(char16_t(unsignedAt(at + qsizetype(i) * 2, 2)));
            return QVariant(text);
        }
        case 0x8:
            if (!has(at, quint64(info + 1)) || info > 7)
                return bad("damaged reference");
            return QVariant::fromValue(PlistUid{unsignedAt(at, info + 1)});
        case 0xA:
        case 0xD: {
            quint64 count = 0;
            if (!length(at, info, count))
                return bad("damaged length");
            const quint64 refs = type == 0xD ? count * 2 : count;
            if (count > quint64(m_end) || !has(at, refs * quint64(m_refSize)))
                return bad("collection runs past the end");
            const auto refAt = [&](quint64 i) { return unsignedAt(at + qsizetype(i) * m_refSize, m_refSize); };
            if (type == 0xA) {
                QVariantList list;
                for (quint64 i = 0; i < count; ++i) {
                    std::optional<QVariant> element = object(refAt(i), depth + 1);
                    if (!element)
                        return std::nullopt;
                    height = std::max(height, m_height + 1);
                    list << *element;
                }
                return QVariant(list);
            }
            QVariantMap map;
            for (quint64 i = 0; i < count; ++i) {
                std::optional<QVariant> key = object(refAt(i), depth + 1);
                if (!key)
                    return std::nullopt;
                if (key->metaType() != QMetaType::fromType<QString>())
                    return bad("dictionary key is not text");
                std::optional<QVariant> value = object(refAt(count + i), depth + 1);
                if (!value)
                    return std::nullopt;
                height = std::max(height, m_height + 1);
                map.insert(key->toString(), *value);
            }
            return uidOrMap(map);
        }
        default:
            return bad("unknown object type");
        }
    }

    const QByteArray &m_data;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_count = 0;
    qsizetype m_tableOffset = 0;
    qsizetype m_end = 0;
    qint64 m_budget = 4'000'000;
    QString m_error;
    struct Decoded {
        QVariant value;
        int height = 1;
    };
    QHash<quint64, Decoded> m_decoded;
    int m_height = 1; // the height of the object object() answered last
};

// Writers put the control characters of a string into XML as they are, though XML 1.0 has no place
// for them, and the XML reader would refuse the whole list. They pass through it as characters of a
// private-use plane and are put back in the text read.
constexpr char32_t kControlStandIn = 0x10FF00;

bool isControlOutsideXml(char c)
{
    const auto byte = static_cast<uchar>(c);
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

// The data with stand-ins, or nothing when it needs none. Data holding a NUL byte is not UTF-8
// (the writers' encoding, in which these bytes are always characters) and is left as it is.
std::optional<QByteArray> withControlStandIns(const QByteArray &data)
{
    if (data.contains('\0') || std::none_of(data.cbegin(), data.cend(), isControlOutsideXml))
        return std::nullopt;
    QByteArray out;
    out.reserve(data.size() + 64);
    for (const char c : data) {
        if (isControlOutsideXml(c)) {
            const char32_t standIn = kControlStandIn + static_cast<uchar>(c);
            out += QString::fromUcs4(&standIn, 1).toUtf8();
        } else {
            out += c;
        }
    }
    return out;
}

QString withoutControlStandIns(QString text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (!text.at(i).isHighSurrogate() || !text.at(i + 1).isLowSurrogate())
            continue;
        const char32_t code = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
        if (code >= kControlStandIn && code < kControlStandIn + 0x20)
            text.replace(i, 2, QChar(static_cast<char16_t>(code - kControlStandIn)));
    }
    return text;
}

// The Base64 text of every <data> element taken out of the XML and decoded side by side, so that
// the XML reader never scans the bulk of a design (its archives and pictures). Only for XML in
// which "<data" can mean nothing but a data element: no comments, CDATA sections, processing
// instructions past the declaration or declarations of a document type's own; every data element
// written plainly as <data>, holding Base64 and white space alone. Anything else is read as it is.
// Each element taken out is left holding "#" and its number, which no Base64 text holds, so that
// data elements the reader skips (inside <true>, say) leave the others their own payloads.
struct LiftedData {
    QByteArray xml;
    std::vector<QByteArray> payloads; // decoded, in document order

    std::optional<QByteArray> payloadFor(const QString &text) const
    {
        if (!text.startsWith(QLatin1Char('#')))
            return std::nullopt;
        bool ok = false;
        const qulonglong index = QStringView(text).sliced(1).toULongLong(&ok);
        if (!ok || index >= payloads.size())
            return std::nullopt;
        return payloads[index];
    }
};

// Whether "<data" can mean nothing but a data element the scan takes: no comments, CDATA sections,
// processing instructions past the declaration, declarations of a document type's own, or data
// elements in a namespace of their own ("<p:data"). Goes from one "<" to the next, so the Base64 in
// between is passed over at the speed of memchr.
bool liftable(QByteArrayView xml)
{
    bool doctype = false;
    for (qsizetype at = xml.indexOf('<'); at >= 0; at = xml.indexOf('<', at + 1)) {
        const QByteArrayView rest = xml.sliced(at + 1);
        if (rest.startsWith('?')) {
            if (at > 0)
                return false;
        } else if (rest.startsWith('!')) {
            if (doctype || !rest.startsWith("!DOCTYPE"))
                return false;
            doctype = true;
            const qsizetype end = rest.indexOf('>');
            if (end < 0 || rest.first(end).contains('['))
                return false;
        } else {
            qsizetype end = rest.startsWith('/') ? 1 : 0;
            while (end < rest.size() && !std::isspace(static_cast<uchar>(rest.at(end))) && rest.at(end) != '>' &&
                   rest.at(end) != '/')
                ++end;
            if (rest.first(end).endsWith(":data"))
                return false;
        }
    }
    return true;
}

std::optional<LiftedData> liftedData(const QByteArray &xml)
{
    static const QByteArrayView open("<data"), close("</data>");
    if (!liftable(xml))
        return std::nullopt;
    const auto isBase64Text = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/' ||
               c == '=' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
    };
    LiftedData lifted;
    std::vector<QByteArrayView> texts;
    lifted.xml.reserve(xml.size() / 8);
    qsizetype done = 0;
    for (qsizetype at = xml.indexOf('<'); at >= 0; at = xml.indexOf('<', std::max(at + 1, done))) {
        if (!QByteArrayView(xml).sliced(at).startsWith(open))
            continue;
        const qsizetype textStart = at + open.size() + 1;
        if (textStart > xml.size() || xml.at(textStart - 1) != '>')
            return std::nullopt;
        const qsizetype textEnd = xml.indexOf('<', textStart);
        if (textEnd < 0 || !QByteArrayView(xml).sliced(textEnd).startsWith(close))
            return std::nullopt;
        const QByteArrayView text = QByteArrayView(xml).sliced(textStart, textEnd - textStart);
        if (!std::all_of(text.begin(), text.end(), isBase64Text))
            return std::nullopt;
        lifted.xml.append(QByteArrayView(xml).sliced(done, textStart - done));
        lifted.xml.append('#').append(QByteArray::number(qulonglong(texts.size())));
        texts.push_back(text);
        done = textEnd;
    }
    lifted.xml.append(QByteArrayView(xml).sliced(done));
    lifted.payloads.resize(texts.size());
    const auto decode = [&](qsizetype i) {
        lifted.payloads[size_t(i)] = QByteArray::fromBase64(texts[size_t(i)].toByteArray());
    };
    // Side by side only when there is much to decode: waking helpers costs more than a little.
    if (xml.size() - lifted.xml.size() < 256 * 1024) {
        for (qsizetype i = 0; i < qsizetype(texts.size()); ++i)
            decode(i);
    } else {
        concurrentFor(qsizetype(texts.size()), decode);
    }
    return lifted;
}

class XmlReader {
public:
    explicit XmlReader(const QByteArray &data)
        : m_standIns(withControlStandIns(data)), m_lifted(liftedData(m_standIns.value_or(data))),
          m_xml(m_lifted ? m_lifted->xml : m_standIns.value_or(data))
    {
    }

    std::optional<QVariant> read(QString &error)
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("plist"))
                break;
            if (!m_xml.readNextStartElement())
                break;
            std::optional<QVariant> value = element(0);
            if (value && !m_xml.hasError()) {
                return value;
            }
            break;
        }
        error = m_error.isEmpty() ? (m_xml.hasError() ? m_xml.errorString() : QStringLiteral("not a property list"))
                                  : m_error;
        return std::nullopt;
    }

private:
    std::optional<QVariant> bad(const QString &why)
    {
        m_error = why;
        return std::nullopt;
    }

    // Called at a start element; leaves the reader at its end element.
    std::optional<QVariant> element(int depth)
    {
        if (depth > kPropertyListMaxDepth)
            return bad(QStringLiteral("property list nested too deeply"));
        if (--m_budget < 0)
            return bad(QStringLiteral("property list too large"));
        const QStringView name = m_xml.name();
        if (name == QLatin1String("dict")) {
            QVariantMap map;
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() != QLatin1String("key"))
                    return bad(QStringLiteral("dictionary entry without a key"));
                const QString key = restored(m_xml.readElementText());
                if (!m_xml.readNextStartElement())
                    return bad(QStringLiteral("dictionary key without a value"));
                std::optional<QVariant> value = element(depth + 1);
                if (!value)
                    return std::nullopt;
                map.insert(key, *value);
            }
            return uidOrMap(map);
        }
        if (name == QLatin1String("array")) {
            QVariantList list;
            while (m_xml.readNextStartElement()) {
                std::optional<QVariant> value = element(depth + 1);
                if (!value)
                    return std::nullopt;
                list << *value;
            }
            return QVariant(list);
        }
        if (name == QLatin1String("true") || name == QLatin1String("false")) {
            const bool value = name == QLatin1String("true");
            m_xml.skipCurrentElement();
            return QVariant(value);
        }
        const QString tag = name.toString();
        const QString text = m_xml.readElementText();
        if (m_xml.hasError())
            return std::nullopt;
        if (tag == QLatin1String("string") || tag == QLatin1String("key"))
            return QVariant(restored(text));
        if (tag == QLatin1String("data")) {
            if (m_lifted)
                if (std::optional<QByteArray> payload = m_lifted->payloadFor(text))
                    return QVariant(*payload);
            return QVariant(QByteArray::fromBase64(text.toLatin1()));
        }
        if (tag == QLatin1String("integer")) {
            bool ok = false;
            const qint64 value = text.trimmed().toLongLong(&ok);
            if (!ok) {
                const quint64 large = text.trimmed().toULongLong(&ok);
                if (!ok)
                    return bad(QStringLiteral("damaged integer"));
                return QVariant(static_cast<qint64>(large));
            }
            return QVariant(value);
        }
        if (tag == QLatin1String("real")) {
            bool ok = false;
            const double value = text.trimmed().toDouble(&ok);
            if (!ok)
                return bad(QStringLiteral("damaged real"));
            return QVariant(value);
        }
        if (tag == QLatin1String("date")) {
            QDateTime date = QDateTime::fromString(text.trimmed(), Qt::ISODate);
            if (!date.isValid())
                return bad(QStringLiteral("damaged date"));
            return QVariant(date.toUTC());
        }
        return bad(QStringLiteral("unknown element <%1>").arg(tag));
    }

    QString restored(const QString &read) const { return m_standIns ? withoutControlStandIns(read) : read; }

    const std::optional<QByteArray> m_standIns;
    std::optional<LiftedData> m_lifted;
    QXmlStreamReader m_xml;
    qint64 m_budget = 4'000'000;
    QString m_error;
};

} // namespace

QByteArray propertyListData(const QVariant &root, PropertyListFormat format, QString *error)
{
    QString reason;
    QByteArray data;
    if (format == PropertyListFormat::Binary) {
        data = BinaryWriter().write(root, reason);
        if (data.isEmpty()) {
            if (error)
                *error = reason;
            return {};
        }
        return data;
    }
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
    if (data.isEmpty() && error)
        *error = QStringLiteral("the property list could not be written");
    return data;
}

std::optional<QVariant> propertyListFromData(const QByteArray &data, QString *error, PropertyListFormat *format)
{
    QString reason;
    std::optional<QVariant> value;
    const bool binary = data.startsWith("bplist");
    if (data.size() > kPropertyListMaxBytes)
        reason = QStringLiteral("property list too large");
    else if (binary)
        value = BinaryReader(data).read(reason);
    else
        value = XmlReader(data).read(reason);
    if (!value) {
        if (error)
            *error = reason;
        return std::nullopt;
    }
    if (format)
        *format = binary ? PropertyListFormat::Binary : PropertyListFormat::Xml;
    return value;
}

} // namespace platform
