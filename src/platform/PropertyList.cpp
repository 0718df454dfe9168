#include "platform/PropertyList.h"

#include "platform/ConcurrentFor.h"
#include "platform/XmlCharacters.h"

#include <QDateTime>
#include <QHash>
#include <QXmlStreamReader>

#include <plist/plist.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
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

// The XML form gives back every character of a text but these: NUL, at which the library's texts
// end, and U+FFFE, U+FFFF and an unpaired surrogate, which no XML document holds (UTF-8 has no
// unpaired surrogate at all). A text holding one is refused rather than written changed. Other
// control characters go in as they are and the reader takes them back; a carriage return goes in as
// a reference, which a parser does not make a line feed.
qsizetype uncarriedAt(QStringView text)
{
    return XmlCharacters::firstUncarried(text, XmlCharacters::Controls::Carried);
}

QString uncarriedInXml(QStringView text)
{
    if (const qsizetype i = uncarriedAt(text); i >= 0) {
        const char16_t c = text[i].unicode();
        const QString character = c == 0 ? QStringLiteral("NUL")
                                         : QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
        const QString shown = XmlCharacters::replaced(text.first(std::min<qsizetype>(text.size(), 40)).toString());
        return QStringLiteral("the text \"%1%2\" holds %3, a character an XML property list cannot carry")
            .arg(shown, text.size() > 40 ? QStringLiteral("\u2026") : QString(),
                 QChar::isSurrogate(c) ? QStringLiteral("an unpaired surrogate (%1)").arg(character) : character);
    }
    return {};
}

} // namespace

bool xmlFormCarries(QStringView text)
{
    return uncarriedAt(text) < 0;
}

namespace {

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

// The binary form is written here: the library's writer builds a node tree with dictionaries of
// linear lookup, and orders shared objects by address, so that the same list gave other bytes.
// This one writes the objects in the order met, each text once, and the same list the same bytes.
class BinaryWriter {
public:
    QByteArray write(const QVariant &root, QString &error)
    {
        if (add(root, 0, error) < 0)
            return {};
        return m_out.bytes();
    }

private:
    qint64 add(const QVariant &value, int depth, QString &error)
    {
        if (depth > kPropertyListMaxDepth) {
            error = QStringLiteral("property list nested too deeply");
            return -1;
        }
        switch (plistKindOf(value)) {
        case PlistKind::Uid:
            return qint64(m_out.uid(value.value<PlistUid>().value));
        case PlistKind::Boolean:
            return qint64(m_out.boolean(value.toBool()));
        case PlistKind::Real:
            return qint64(m_out.real(value.toDouble()));
        case PlistKind::Date:
            return qint64(m_out.date(double(referenceDate().msecsTo(value.toDateTime())) / 1000.0));
        case PlistKind::Dictionary: {
            const QVariantMap map = value.toMap();
            const quint64 index = m_out.reserve();
            std::vector<quint64> refs(size_t(map.size()) * 2);
            size_t i = 0;
            for (auto it = map.cbegin(); it != map.cend(); ++it, ++i) {
                refs[i] = m_out.text(it.key());
                const qint64 item = add(it.value(), depth + 1, error);
                if (item < 0)
                    return -1;
                refs[size_t(map.size()) + i] = quint64(item);
            }
            m_out.setDictionary(index, refs.data(), map.size());
            return qint64(index);
        }
        case PlistKind::Array: {
            const QVariantList list = value.toList();
            const quint64 index = m_out.reserve();
            std::vector<quint64> refs;
            refs.reserve(size_t(list.size()));
            for (const QVariant &element : list) {
                const qint64 item = add(element, depth + 1, error);
                if (item < 0)
                    return -1;
                refs.push_back(quint64(item));
            }
            m_out.setArray(index, refs.data(), qsizetype(refs.size()));
            return qint64(index);
        }
        case PlistKind::String:
            return qint64(m_out.text(value.toString()));
        case PlistKind::Data:
            return qint64(m_out.data(value.toByteArray()));
        case PlistKind::Signed:
            return qint64(m_out.integer(value.toLongLong()));
        case PlistKind::Unsigned:
            return qint64(m_out.unsignedInteger(value.toULongLong()));
        case PlistKind::None:
            break;
        }
        error = hasNoPlistForm(value);
        return -1;
    }

    BinaryPropertyListBuilder m_out;
};

// Bytes written through a pointer, into room made beforehand for the most they can take.
struct Out {
    char *begin;
    char *at;
    void push_back(char c) { *at++ = c; }
    void append(const char *bytes, size_t n)
    {
        std::memcpy(at, bytes, n);
        at += n;
    }
    void append(size_t n, char c)
    {
        std::memset(at, c, n);
        at += n;
    }
    size_t size() const { return size_t(at - begin); }
};

int bytesFor(quint64 value)
{
    if (value <= 0xFF)
        return 1;
    if (value <= 0xFFFF)
        return 2;
    return value <= 0xFFFFFFFFu ? 4 : 8;
}

void appendUnsigned(Out &out, quint64 value, int width)
{
    for (int i = width - 1; i >= 0; --i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

void appendMarkerAndLength(Out &out, int type, quint64 length)
{
    if (length < 15) {
        out.push_back(char((type << 4) | int(length)));
        return;
    }
    out.push_back(char((type << 4) | 0xF));
    const int width = bytesFor(length);
    out.push_back(char(0x10 | (width == 1 ? 0 : width == 2 ? 1 : width == 4 ? 2 : 3)));
    appendUnsigned(out, length, width);
}

void writeUnsigned(Out &out, quint64 number)
{
    if (number > quint64(std::numeric_limits<qint64>::max())) {
        // Beyond the signed range the binary form takes sixteen bytes.
        out.push_back(char(0x14));
        appendUnsigned(out, 0, 8);
        appendUnsigned(out, number, 8);
        return;
    }
    const int width = bytesFor(number);
    out.push_back(char(0x10 | (width == 1 ? 0 : width == 2 ? 1 : width == 4 ? 2 : 3)));
    appendUnsigned(out, number, width);
}

} // namespace

quint64 BinaryPropertyListBuilder::add(Kind kind, quint64 bits, const QString &text, const QByteArray &data)
{
    Object &object = m_objects.emplace_back();
    object.kind = kind;
    object.bits = bits;
    object.text = text;
    object.data = data;
    return quint64(m_objects.size() - 1);
}

quint64 BinaryPropertyListBuilder::text(const QString &text)
{
    // Texts are looked up for every key of every object written: a plain FNV hash of the
    // characters is enough for so few, and far cheaper than QString's seeded one.
    const auto hashOf = [](QStringView t) {
        quint32 hash = 2166136261u;
        for (const QChar c : t)
            hash = (hash ^ c.unicode()) * 16777619u;
        return hash;
    };
    if (qsizetype(m_texts.size()) < 2 * (m_textCount + 1)) {
        std::vector<quint32> table(std::max<size_t>(64, m_texts.size() * 2), 0);
        const size_t mask = table.size() - 1;
        for (const quint32 slot : m_texts)
            if (slot) {
                size_t at = hashOf(m_objects[slot - 1].text) & mask;
                while (table[at])
                    at = (at + 1) & mask;
                table[at] = slot;
            }
        m_texts = std::move(table);
    }
    const size_t mask = m_texts.size() - 1;
    size_t at = hashOf(text) & mask;
    for (; m_texts[at]; at = (at + 1) & mask)
        if (m_objects[m_texts[at] - 1].text == text)
            return m_texts[at] - 1;
    const quint64 index = add(Kind::Text, 0, text);
    m_texts[at] = quint32(index + 1);
    ++m_textCount;
    return index;
}

quint64 BinaryPropertyListBuilder::data(const QByteArray &bytes)
{
    // Data shared in memory (one picture listed many times) is written once.
    const auto key = std::make_pair(bytes.constData(), bytes.size());
    if (const auto it = m_data.constFind(key); it != m_data.constEnd())
        return *it;
    const quint64 index = add(Kind::Data, 0, {}, bytes);
    m_data.insert(key, index);
    return index;
}

quint64 BinaryPropertyListBuilder::integer(qint64 value)
{
    return add(Kind::Signed, quint64(value));
}

quint64 BinaryPropertyListBuilder::unsignedInteger(quint64 value)
{
    return add(Kind::Unsigned, value);
}

quint64 BinaryPropertyListBuilder::real(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, 8);
    return add(Kind::Real, bits);
}

quint64 BinaryPropertyListBuilder::date(double secondsSinceReference)
{
    quint64 bits;
    std::memcpy(&bits, &secondsSinceReference, 8);
    return add(Kind::Date, bits);
}

quint64 BinaryPropertyListBuilder::boolean(bool value)
{
    return add(Kind::Boolean, value ? 1u : 0u);
}

quint64 BinaryPropertyListBuilder::uid(quint64 value)
{
    return add(Kind::Uid, value);
}

quint64 BinaryPropertyListBuilder::reserve()
{
    return add(Kind::Array);
}

void BinaryPropertyListBuilder::setArray(quint64 index, const quint64 *refs, qsizetype count)
{
    Object &object = m_objects[size_t(index)];
    object.kind = Kind::Array;
    object.bits = m_refs.size();
    object.count = quint64(count);
    m_refs.insert(m_refs.end(), refs, refs + count);
}

void BinaryPropertyListBuilder::setDictionary(quint64 index, const quint64 *refs, qsizetype pairs)
{
    setArray(index, refs, pairs * 2);
    m_objects[size_t(index)].kind = Kind::Dictionary;
    m_objects[size_t(index)].count = quint64(pairs);
}

QByteArray BinaryPropertyListBuilder::bytes() const
{
    const quint64 count = m_objects.size();
    const int refSize = bytesFor(count);
    size_t most = 8 + 32 + size_t(count) * (18 + 8) + m_refs.size() * size_t(refSize);
    for (const Object &object : m_objects)
        most += size_t(object.text.size()) * 2 + size_t(object.data.size());
    QByteArray bytes(qsizetype(most), Qt::Uninitialized);
    Out out{bytes.data(), bytes.data()};
    out.append("bplist00", 8);
    std::vector<quint64> offsets;
    offsets.reserve(size_t(count));
    for (const Object &object : m_objects) {
        offsets.push_back(quint64(out.size()));
        switch (object.kind) {
        case Kind::Array:
        case Kind::Dictionary: {
            const bool dictionary = object.kind == Kind::Dictionary;
            appendMarkerAndLength(out, dictionary ? 0xD : 0xA, object.count);
            const quint64 *refs = m_refs.data() + object.bits;
            for (quint64 i = 0, n = dictionary ? object.count * 2 : object.count; i < n; ++i)
                appendUnsigned(out, refs[i], refSize);
            break;
        }
        case Kind::Uid: {
            const int width = bytesFor(object.bits);
            out.push_back(char(0x80 | (width - 1)));
            appendUnsigned(out, object.bits, width);
            break;
        }
        case Kind::Text: {
            const QString &text = object.text;
            const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() < 0x80; });
            appendMarkerAndLength(out, ascii ? 0x5 : 0x6, quint64(text.size()));
            if (ascii) {
                for (const QChar ch : text)
                    out.push_back(char(ch.unicode()));
            } else {
                for (const QChar ch : text)
                    appendUnsigned(out, ch.unicode(), 2);
            }
            break;
        }
        case Kind::Data:
            appendMarkerAndLength(out, 0x4, quint64(object.data.size()));
            out.append(object.data.constData(), size_t(object.data.size()));
            break;
        case Kind::Boolean:
            out.push_back(char(object.bits ? 0x09 : 0x08));
            break;
        case Kind::Signed:
            if (qint64(object.bits) < 0) {
                out.push_back(char(0x13));
                appendUnsigned(out, object.bits, 8);
            } else {
                writeUnsigned(out, object.bits);
            }
            break;
        case Kind::Unsigned:
            writeUnsigned(out, object.bits);
            break;
        case Kind::Real:
        case Kind::Date:
            out.push_back(char(object.kind == Kind::Real ? 0x23 : 0x33));
            appendUnsigned(out, object.bits, 8);
            break;
        }
    }
    const quint64 tableOffset = quint64(out.size());
    const int offsetSize = bytesFor(tableOffset);
    for (const quint64 offset : offsets)
        appendUnsigned(out, offset, offsetSize);
    out.append(6, '\0');
    out.push_back(char(offsetSize));
    out.push_back(char(refSize));
    appendUnsigned(out, count, 8);
    appendUnsigned(out, 0, 8); // the root is written first
    appendUnsigned(out, tableOffset, 8);
    bytes.truncate(qsizetype(out.size()));
    return bytes;
}

namespace {

constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

QByteArray fromBase64(QByteArrayView text, bool *plain)
{
    static constexpr std::array<qint8, 256> kValues = [] {
        std::array<qint8, 256> values{};
        values.fill(-2);
        for (const char c : {'=', ' ', '\t', '\n', '\r'})
            values[uchar(c)] = -1;
        for (int i = 0; i < 64; ++i)
            values[uchar(kBase64Digits[i])] = qint8(i);
        return values;
    }();
    int worst = 0;
    QByteArray out(text.size() / 4 * 3 + 3, Qt::Uninitialized);
    char *to = out.data();
    const auto *at = reinterpret_cast<const uchar *>(text.data());
    const uchar *const end = at + text.size();
    quint32 bits = 0;
    int count = 0;
    while (at < end) {
        if (count == 0 && end - at >= 4) {
            const int a = kValues[at[0]], b = kValues[at[1]], c = kValues[at[2]], d = kValues[at[3]];
            if ((a | b | c | d) >= 0) {
                const quint32 v = quint32(a) << 18 | quint32(b) << 12 | quint32(c) << 6 | quint32(d);
                *to++ = char(v >> 16);
                *to++ = char(v >> 8);
                *to++ = char(v);
                at += 4;
                continue;
            }
        }
        const int value = kValues[*at++];
        if (value < 0) {
            worst = std::min(worst, value);
            continue;
        }
        bits = bits << 6 | quint32(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            *to++ = char(bits >> count);
            bits &= (1u << count) - 1;
        }
    }
    out.truncate(to - out.data());
    if (plain)
        *plain = worst > -2;
    return out;
}

namespace {

// How far work has come through its passes over something of a known length, each pass counting
// the same; word goes to the caller at each further 1/256 of a pass, and once all is done.
class PassMeter {
public:
    static constexpr qsizetype kSteps = 256;

    PassMeter(const PropertyListProgress &progress, int passes) : m_progress(progress), m_total(passes * kSteps) {}

    void begin(int pass, qsizetype length)
    {
        m_pass = pass;
        m_length = std::max<qsizetype>(length, 1);
        m_stepLength = std::max<qsizetype>(m_length / kSteps, 1);
        m_next = m_progress ? 0 : std::numeric_limits<qsizetype>::max();
    }
    // Cheap enough for every step of a scan.
    void at(qsizetype position)
    {
        if (position >= m_next)
            tell(position);
    }
    void finished()
    {
        if (m_progress && m_done < m_total) {
            m_done = m_total;
            m_progress(m_total, m_total);
        }
    }

private:
    void tell(qsizetype position)
    {
        const qsizetype step = std::min(position, m_length) / m_stepLength;
        m_next = (step + 1) * m_stepLength;
        // The whole is told by finished() alone.
        const qsizetype done = std::min(m_pass * kSteps + std::min(step, kSteps), m_total - 1);
        if (done > m_done) {
            m_done = done;
            m_progress(done, m_total);
        }
    }

    PropertyListProgress m_progress;
    qsizetype m_total;
    int m_pass = 0;
    qsizetype m_length = 1, m_stepLength = 1, m_done = 0;
    qsizetype m_next = std::numeric_limits<qsizetype>::max();
};

// The XML form as the library writes it, byte for byte, for the values a design file holds
// (arrays, dictionaries, text and data) without building the library's tree of nodes; nothing for
// any other value, which the library then writes.
class XmlWriter {
public:
    explicit XmlWriter(const PropertyListProgress &progress = {}) : m_meter(progress, 1), m_telling(bool(progress)) {}

    std::optional<QByteArray> write(const QVariant &root)
    {
        if (m_telling)
            m_meter.begin(0, partsOf(root));
        m_out.reserve(4096);
        m_out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                     "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n");
        if (!add(root, 0))
            return std::nullopt;
        m_out.append("</plist>\n");
        m_meter.finished();
        return m_out;
    }

    // Why the list was not written, when one of its texts could not be given back.
    const QString &refused() const { return m_refused; }

private:
    bool element(const char *tag, const QString &string, int depth)
    {
        if (m_refused = uncarriedInXml(string); !m_refused.isEmpty())
            return false;
        const QByteArray text = string.toUtf8();
        m_out.append(depth, '\t').append('<').append(tag).append('>');
        qsizetype from = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = text.at(i);
            const char *entity = c == '<'    ? "&lt;"
                                 : c == '>'  ? "&gt;"
                                 : c == '&'  ? "&amp;"
                                 : c == '\r' ? "&#13;"
                                              : nullptr;
            if (entity) {
                m_out.append(text.constData() + from, i - from).append(entity);
                from = i + 1;
            }
        }
        m_out.append(text.constData() + from, text.size() - from).append("</").append(tag).append(">\n");
        return true;
    }

    void data(const QByteArray &bytes, int depth)
    {
        const int indent = std::min(depth, 8);
        const qsizetype perLine = ((76 - (indent << 3)) >> 2) * 3;
        m_out.append(depth, '\t').append("<data>\n");
        const qsizetype needed = m_out.size() + bytes.size() / 3 * 4 + (bytes.size() / perLine + 2) * (indent + 6) + 16;
        if (m_out.capacity() < needed)
            m_out.reserve(std::max(needed, m_out.capacity() * 2));
        const auto *in = reinterpret_cast<const uchar *>(bytes.constData());
        for (qsizetype at = 0; at < bytes.size(); at += perLine) {
            m_out.append(indent, '\t');
            const qsizetype n = std::min(perLine, bytes.size() - at);
            const qsizetype start = m_out.size();
            m_out.resize(start + (n + 2) / 3 * 4);
            char *out = m_out.data() + start;
            const uchar *p = in + at, *end = p + n;
            for (; end - p >= 3; p += 3) {
                const quint32 v = quint32(p[0]) << 16 | quint32(p[1]) << 8 | p[2];
                *out++ = kBase64Digits[v >> 18];
                *out++ = kBase64Digits[(v >> 12) & 63];
                *out++ = kBase64Digits[(v >> 6) & 63];
                *out++ = kBase64Digits[v & 63];
            }
            if (end - p > 0) {
                const quint32 v = quint32(p[0]) << 16 | (end - p > 1 ? quint32(p[1]) << 8 : 0);
                *out++ = kBase64Digits[v >> 18];
                *out++ = kBase64Digits[(v >> 12) & 63];
                *out++ = end - p > 1 ? kBase64Digits[(v >> 6) & 63] : '=';
                *out++ = '=';
            }
            m_out.append('\n');
        }
        m_out.append(depth, '\t').append("</data>\n");
    }

    // The parts whose writing is told: the root's elements and theirs (a design's rows, say).
    static qsizetype partsOf(const QVariant &root)
    {
        const auto size = [](const QVariant &value) -> qsizetype {
            switch (plistKindOf(value)) {
            case PlistKind::Array: return value.toList().size();
            case PlistKind::Dictionary: return value.toMap().size();
            default: return 0;
            }
        };
        qsizetype parts = size(root);
        if (plistKindOf(root) == PlistKind::Array)
            for (const QVariant &element : root.toList())
                parts += size(element);
        else if (plistKindOf(root) == PlistKind::Dictionary)
            for (const QVariant &element : root.toMap())
                parts += size(element);
        return parts;
    }

    bool add(const QVariant &value, int depth)
    {
        if (!addValue(value, depth))
            return false;
        if (m_telling && (depth == 1 || depth == 2))
            m_meter.at(++m_done);
        return true;
    }

    bool addValue(const QVariant &value, int depth)
    {
        if (depth > kPropertyListMaxDepth)
            return false;
        switch (plistKindOf(value)) {
        case PlistKind::String:
            return element("string", value.toString(), depth);
        case PlistKind::Data:
            data(value.toByteArray(), depth);
            return true;
        case PlistKind::Array: {
            const QVariantList list = value.toList();
            if (list.isEmpty()) {
                m_out.append(depth, '\t').append("<array/>\n");
                return true;
            }
            m_out.append(depth, '\t').append("<array>\n");
            for (const QVariant &element : list)
                if (!add(element, depth + 1))
                    return false;
            m_out.append(depth, '\t').append("</array>\n");
            return true;
        }
        case PlistKind::Dictionary: {
            const QVariantMap map = value.toMap();
            if (map.isEmpty()) {
                m_out.append(depth, '\t').append("<dict/>\n");
                return true;
            }
            m_out.append(depth, '\t').append("<dict>\n");
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                if (!element("key", it.key(), depth + 1) || !add(it.value(), depth + 1))
                    return false;
            }
            m_out.append(depth, '\t').append("</dict>\n");
            return true;
        }
        default:
            return false;
        }
    }

    QByteArray m_out;
    QString m_refused;
    PassMeter m_meter;
    bool m_telling;
    qsizetype m_done = 0; // parts written
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

} // namespace

class BinaryListReader {
public:
    using Kind = BinaryPropertyList::Kind;
    using Node = BinaryPropertyList::Node;

    explicit BinaryListReader(BinaryPropertyList &list) : m_list(list), m_data(list.m_data) {}

    bool read(QString &error)
    {
        const qsizetype size = m_data.size();
        if (size < 8 + 32 || !m_data.startsWith("bplist00"))
            return fail(error, QStringLiteral("not a binary property list"));
        const qsizetype trailer = size - 32;
        m_offsetSize = byteAt(trailer + 6);
        m_list.m_refSize = byteAt(trailer + 7);
        const quint64 count = unsignedAt(trailer + 8, 8);
        const quint64 top = unsignedAt(trailer + 16, 8);
        const quint64 tableOffset = unsignedAt(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_list.m_refSize < 1 || m_list.m_refSize > 8 || count == 0 ||
            top >= count || tableOffset < 8 || tableOffset >= quint64(trailer) ||
            count > quint64(trailer - qsizetype(tableOffset)) / m_offsetSize)
            return fail(error, QStringLiteral("damaged binary property list"));
        m_count = count;
        m_tableOffset = qsizetype(tableOffset);
        m_end = qsizetype(tableOffset);
        if (count <= kDenseObjects) {
            m_list.m_nodes.resize(size_t(count));
            m_heights.resize(size_t(count), 0);
        }
        m_list.m_top = top;
        if (!object(top, 0))
            return fail(error, m_error);
        return true;
    }

private:
    // Lists of up to this many objects keep them by reference, larger ones those read.
    static constexpr quint64 kDenseObjects = 1 << 16;

    static bool fail(QString &error, const QString &why)
    {
        error = why;
        return false;
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

    bool bad(const char *why)
    {
        m_error = QString::fromLatin1(why);
        return false;
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

    int &heightOf(quint64 ref) { return m_list.m_nodes.empty() ? m_sparseHeights[ref] : m_heights[size_t(ref)]; }

    // An object referred to many times is read once and shared: copying it for every reference
    // would let a small list (a large data object listed thousands of times) fill the memory. A
    // shared object still counts its own height, so sharing never makes a list deeper than the limit.
    bool object(quint64 ref, int depth)
    {
        if (depth > kPropertyListMaxDepth)
            return bad("property list nested too deeply");
        if (ref >= m_count)
            return bad("reference out of range");
        if (--m_budget < 0)
            return bad("property list too large");
        if (const int done = heightOf(ref); done > 0) {
            if (depth + done - 1 > kPropertyListMaxDepth)
                return bad("property list nested too deeply");
            m_height = done;
            return true;
        }
        int height = 1;
        Node node;
        if (!decode(ref, depth, height, node))
            return false;
        if (m_list.m_nodes.empty())
            m_list.m_sparse.insert(ref, node);
        else
            m_list.m_nodes[size_t(ref)] = node;
        heightOf(ref) = height;
        m_height = height;
        return true;
    }

    // Reads the object itself; a collection sets `height` to one more than its highest element.
    bool decode(quint64 ref, int depth, int &height, Node &node)
    {
        const quint64 offset = unsignedAt(m_tableOffset + qsizetype(ref) * m_offsetSize, m_offsetSize);
        qsizetype at = qsizetype(offset);
        if (!has(at, 1) || quint64(at) != offset)
            return bad("object offset out of range");
        const int marker = byteAt(at++);
        const int type = marker >> 4, info = marker & 0x0F;
        switch (type) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09) {
                node = {Kind::Boolean, false, at, 0, marker == 0x09 ? 1u : 0u};
                return true;
            }
            return bad("unsupported object");
        case 0x1: {
            if (info > 4)
                return bad("integer too wide");
            const int width = 1 << info;
            if (!has(at, quint64(width)))
                return bad("integer out of range");
            // Sixteen-byte integers hold the value in their low eight bytes.
            node = {Kind::Integer, false, at, 0, unsignedAt(at + (width == 16 ? 8 : 0), width == 16 ? 8 : width)};
            return true;
        }
        case 0x2: {
            if (info != 2 && info != 3)
                return bad("unsupported real");
            const int width = 1 << info;
            if (!has(at, quint64(width)))
                return bad("real out of range");
            const quint64 bits = unsignedAt(at, width);
            double d;
            if (width == 4) {
                const auto narrow = static_cast<quint32>(bits);
                float f;
                std::memcpy(&f, &narrow, 4);
                d = double(f);
            } else {
                std::memcpy(&d, &bits, 8);
            }
            node = {Kind::Real, false, at, 0, 0};
            std::memcpy(&node.bits, &d, 8);
            return true;
        }
        case 0x3: {
            if (marker != 0x33 || !has(at, 8))
                return bad("damaged date");
            const quint64 bits = unsignedAt(at, 8);
            double seconds;
            std::memcpy(&seconds, &bits, 8);
            if (!std::isfinite(seconds) || std::abs(seconds) > 1e11)
                return bad("date out of range");
            node = {Kind::Date, false, at, 0, bits};
            return true;
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
            node = {type == 0x4 ? Kind::Data : Kind::Text, type == 0x6, at, count, 0};
            return true;
        }
        case 0x8:
            if (!has(at, quint64(info + 1)) || info > 7)
                return bad("damaged reference");
            node = {Kind::Uid, false, at, 0, unsignedAt(at, info + 1)};
            return true;
        case 0xA:
        case 0xD: {
            quint64 count = 0;
            if (!length(at, info, count))
                return bad("damaged length");
            const int refSize = m_list.m_refSize;
            const quint64 refs = type == 0xD ? count * 2 : count;
            if (count > quint64(m_end) || !has(at, refs * quint64(refSize)))
                return bad("collection runs past the end");
            const auto refAt = [&](quint64 i) { return unsignedAt(at + qsizetype(i) * refSize, refSize); };
            node = {type == 0xA ? Kind::Array : Kind::Dictionary, false, at, count, 0};
            if (type == 0xA) {
                for (quint64 i = 0; i < count; ++i) {
                    if (!object(refAt(i), depth + 1))
                        return false;
                    height = std::max(height, m_height + 1);
                }
                return true;
            }
            bool allUidKeys = count > 0;
            for (quint64 i = 0; i < count; ++i) {
                const quint64 key = refAt(i);
                if (!object(key, depth + 1))
                    return false;
                if (m_list.node(key).kind != Kind::Text)
                    return bad("dictionary key is not text");
                allUidKeys = allUidKeys && m_list.compareText(key, u"CF$UID") == 0;
                if (!object(refAt(count + i), depth + 1))
                    return false;
                height = std::max(height, m_height + 1);
            }
            // XML has no UID element; writers spell one as this dictionary.
            if (allUidKeys) {
                const Node &uid = m_list.node(refAt(2 * count - 1));
                if (uid.kind == Kind::Integer && qint64(uid.bits) >= 0)
                    node = {Kind::Uid, false, at, 0, uid.bits};
            }
            return true;
        }
        default:
            return bad("unknown object type");
        }
    }

    BinaryPropertyList &m_list;
    const QByteArray &m_data;
    int m_offsetSize = 0;
    quint64 m_count = 0;
    qsizetype m_tableOffset = 0;
    qsizetype m_end = 0;
    qint64 m_budget = 4'000'000;
    QString m_error;
    std::vector<int> m_heights;
    QHash<quint64, int> m_sparseHeights;
    int m_height = 1; // the height of the object object() answered last
};

std::optional<BinaryPropertyList> BinaryPropertyList::read(const QByteArray &data, QString *error)
{
    BinaryPropertyList list;
    list.m_data = data;
    QString reason;
    if (!BinaryListReader(list).read(reason)) {
        if (error)
            *error = reason;
        return std::nullopt;
    }
    return list;
}

const BinaryPropertyList::Node &BinaryPropertyList::node(quint64 ref) const
{
    static const Node none;
    if (!m_nodes.empty())
        return ref < m_nodes.size() ? m_nodes[size_t(ref)] : none;
    const auto it = m_sparse.constFind(ref);
    return it == m_sparse.constEnd() ? none : *it;
}

quint64 BinaryPropertyList::refAt(qsizetype at, quint64 i) const
{
    const auto *bytes = reinterpret_cast<const uchar *>(m_data.constData()) + at + qsizetype(i) * m_refSize;
    quint64 value = 0;
    for (int k = 0; k < m_refSize; ++k)
        value = value << 8 | bytes[k];
    return value;
}

double BinaryPropertyList::real(quint64 ref) const
{
    double value;
    const quint64 bits = node(ref).bits;
    std::memcpy(&value, &bits, 8);
    return value;
}

int BinaryPropertyList::compareText(quint64 ref, QStringView text) const
{
    const Node &n = node(ref);
    const char *at = m_data.constData() + n.at;
    if (!n.utf16)
        return -QtPrivate::compareStrings(text, QLatin1StringView(at, qsizetype(n.count)));
    const auto *bytes = reinterpret_cast<const uchar *>(at);
    const qsizetype common = std::min(qsizetype(n.count), text.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t c = char16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        if (c != text[i].unicode())
            return c < text[i].unicode() ? -1 : 1;
    }
    return qsizetype(n.count) < text.size() ? -1 : qsizetype(n.count) > text.size() ? 1 : 0;
}

int BinaryPropertyList::compareTexts(quint64 a, quint64 b) const
{
    const Node &x = node(a), &y = node(b);
    if (x.utf16 || y.utf16)
        return compareText(a, text(b));
    const int order = std::memcmp(m_data.constData() + x.at, m_data.constData() + y.at, size_t(std::min(x.count, y.count)));
    return order != 0 ? order : x.count < y.count ? -1 : x.count > y.count ? 1 : 0;
}

QString BinaryPropertyList::text(quint64 ref) const
{
    const Node &n = node(ref);
    if (!n.utf16)
        return QString::fromLatin1(m_data.constData() + n.at, qsizetype(n.count));
    QString text(qsizetype(n.count), Qt::Uninitialized);
    const auto *bytes = reinterpret_cast<const uchar *>(m_data.constData() + n.at);
    for (qsizetype i = 0; i < qsizetype(n.count); ++i)
        text[i] = QChar(char16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]));
    return text;
}

QByteArray BinaryPropertyList::data(quint64 ref) const
{
    const Node &n = node(ref);
    return m_data.mid(n.at, qsizetype(n.count));
}

QVariant BinaryPropertyList::variant(quint64 ref) const
{
    // Texts and data alone need no sharing (inline values of archives are read one by one).
    if (kind(ref) == Kind::Text)
        return text(ref);
    if (kind(ref) == Kind::Data)
        return data(ref);
    // Objects met again are shared, as the list shares them.
    QHash<quint64, QVariant> made;
    const std::function<QVariant(quint64)> make = [&](quint64 r) -> QVariant {
        const Node &n = node(r);
        switch (n.kind) {
        case Kind::None:
            return {};
        case Kind::Boolean:
            return QVariant(n.bits != 0);
        case Kind::Integer:
            return QVariant(qint64(n.bits));
        case Kind::Real:
            return QVariant(real(r));
        case Kind::Uid:
            return QVariant::fromValue(PlistUid{n.bits});
        default:
            break;
        }
        if (const auto it = made.constFind(r); it != made.constEnd())
            return *it;
        QVariant value;
        if (n.kind == Kind::Date) {
            value = referenceDate().addMSecs(qint64(std::llround(real(r) * 1000)));
        } else if (n.kind == Kind::Data) {
            value = data(r);
        } else if (n.kind == Kind::Text) {
            value = text(r);
        } else if (n.kind == Kind::Array) {
            QVariantList list;
            list.reserve(qsizetype(n.count));
            for (quint64 i = 0; i < n.count; ++i)
                list << make(element(r, i));
            value = list;
        } else {
            QVariantMap map;
            for (quint64 i = 0; i < n.count; ++i)
                map.insert(text(key(r, i)), make(this->value(r, i)));
            value = map;
        }
        made.insert(r, value);
        return value;
    };
    return make(ref);
}

namespace {

// Writers put the control characters of a string into XML as they are, though XML 1.0 has no place
// for them, and the XML reader would refuse the whole list. They pass through it as characters of a
// private-use plane and are put back in the text read.
constexpr char32_t kControlStandIn = 0x10FF00;

bool isControlOutsideXml(char c)
{
    const auto byte = static_cast<uchar>(c);
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

// Earlier writers also put in U+FFFE and U+FFFF (EF BF BE, EF BF BF), which no XML reader takes:
// the list is read with U+FFFD in their place, rather than not at all.
bool startsNonCharacter(QByteArrayView rest)
{
    return rest.size() >= 3 && rest[0] == '\xEF' && rest[1] == '\xBF' && (rest[2] == '\xBE' || rest[2] == '\xBF');
}

// A read's passes over the text, each told as a pass of the meter.
enum ReadPass { ControlCharacters, DataCheck, DataLifted, Parse, ReadPasses };

// The data with stand-ins (and U+FFFD for the non-characters), or nothing when it needs none. Data
// holding a NUL byte is not UTF-8 (the writers' encoding, in which these bytes are always
// characters) and is left as it is.
std::optional<QByteArray> withControlStandIns(const QByteArray &data, PassMeter &meter)
{
    // Passes over 64 KB without an early exit, which the compiler makes vector code.
    constexpr qsizetype kChunk = 1 << 16;
    meter.begin(ControlCharacters, data.size());
    bool any = false;
    for (qsizetype at = 0; at < data.size(); at += kChunk) {
        meter.at(at);
        for (const char c : QByteArrayView(data).sliced(at, std::min(kChunk, data.size() - at)))
            any |= isControlOutsideXml(c);
    }
    // EF BF begins other characters too (U+FFC0 to U+FFFD): only the two non-characters count.
    any = any || data.contains("\xEF\xBF\xBE") || data.contains("\xEF\xBF\xBF");
    if (!any || data.contains('\0'))
        return std::nullopt;
    QByteArray out;
    qsizetype from = 0; // the bytes from here on are to be copied as they are
    const auto copyTo = [&](qsizetype end) {
        if (out.isNull())
            out.reserve(data.size() + 64);
        out.append(data.constData() + from, end - from);
    };
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (isControlOutsideXml(c)) {
            copyTo(i);
            const char32_t standIn = kControlStandIn + static_cast<uchar>(c);
            out += QString::fromUcs4(&standIn, 1).toUtf8();
            from = i + 1;
        } else if (c == '\xEF' && startsNonCharacter(QByteArrayView(data).sliced(i))) {
            copyTo(i);
            out.append("\xEF\xBF\xBD");
            i += 2;
            from = i + 1;
        }
    }
    if (from == 0)
        return std::nullopt;
    out.append(data.constData() + from, data.size() - from);
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
bool liftable(QByteArrayView xml, PassMeter &meter)
{
    meter.begin(DataCheck, xml.size());
    bool doctype = false;
    for (qsizetype at = xml.indexOf('<'); at >= 0; at = xml.indexOf('<', at + 1)) {
        meter.at(at);
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

std::optional<LiftedData> liftedData(const QByteArray &xml, PassMeter &meter)
{
    static const QByteArrayView open("<data"), close("</data>");
    if (!liftable(xml, meter))
        return std::nullopt;
    meter.begin(DataLifted, xml.size());
    LiftedData lifted;
    std::vector<QByteArrayView> texts;
    lifted.xml.reserve(xml.size() / 8);
    qsizetype done = 0;
    for (qsizetype at = xml.indexOf('<'); at >= 0; at = xml.indexOf('<', std::max(at + 1, done))) {
        meter.at(at);
        if (!QByteArrayView(xml).sliced(at).startsWith(open))
            continue;
        const qsizetype textStart = at + open.size() + 1;
        if (textStart > xml.size() || xml.at(textStart - 1) != '>')
            return std::nullopt;
        const qsizetype textEnd = xml.indexOf('<', textStart);
        if (textEnd < 0 || !QByteArrayView(xml).sliced(textEnd).startsWith(close))
            return std::nullopt;
        const QByteArrayView text = QByteArrayView(xml).sliced(textStart, textEnd - textStart);
        lifted.xml.append(QByteArrayView(xml).sliced(done, textStart - done));
        lifted.xml.append('#').append(QByteArray::number(qulonglong(texts.size())));
        texts.push_back(text);
        done = textEnd;
    }
    lifted.xml.append(QByteArrayView(xml).sliced(done));
    lifted.payloads.resize(texts.size());
    // Texts are checked as they are decoded: one holding anything but Base64 and white space
    // sends the whole list to the XML reader.
    std::vector<char> plain(texts.size(), 0);
    const auto decode = [&](qsizetype i) {
        bool clean = false;
        lifted.payloads[size_t(i)] = fromBase64(texts[size_t(i)], &clean);
        plain[size_t(i)] = clean;
    };
    // Side by side only when there is much to decode: waking helpers costs more than a little.
    if (xml.size() - lifted.xml.size() < 256 * 1024) {
        for (qsizetype i = 0; i < qsizetype(texts.size()); ++i)
            decode(i);
    } else {
        concurrentFor(qsizetype(texts.size()), decode);
    }
    if (std::find(plain.begin(), plain.end(), 0) != plain.end())
        return std::nullopt;
    return lifted;
}

class XmlReader {
public:
    XmlReader(const QByteArray &data, const PropertyListProgress &progress)
        : m_meter(progress, ReadPasses), m_standIns(withControlStandIns(data, m_meter)),
          m_lifted(liftedData(m_standIns.value_or(data), m_meter)),
          m_xml(m_lifted ? m_lifted->xml : m_standIns.value_or(data))
    {
        m_meter.begin(Parse, m_lifted ? m_lifted->xml.size() : m_standIns.value_or(data).size());
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
                m_meter.finished();
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
        // Characters, not bytes: text beyond ASCII is told a little late.
        m_meter.at(m_xml.characterOffset());
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
            return QVariant(fromBase64(text.toLatin1()));
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

    PassMeter m_meter;
    const std::optional<QByteArray> m_standIns;
    std::optional<LiftedData> m_lifted;
    QXmlStreamReader m_xml;
    qint64 m_budget = 4'000'000;
    QString m_error;
};

} // namespace

QByteArray propertyListData(const QVariant &root, PropertyListFormat format, QString *error,
                            const PropertyListProgress &progress)
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
    XmlWriter writer(progress);
    if (std::optional<QByteArray> xml = writer.write(root))
        return *xml;
    if (!writer.refused().isEmpty()) {
        if (error)
            *error = writer.refused();
        return {};
    }
    return libraryXmlData(root, error);
}

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

std::optional<QVariant> propertyListFromData(const QByteArray &data, QString *error, PropertyListFormat *format,
                                             const PropertyListProgress &progress)
{
    QString reason;
    std::optional<QVariant> value;
    const bool binary = data.startsWith("bplist");
    if (data.size() > kPropertyListMaxBytes)
        reason = QStringLiteral("property list too large");
    else if (!binary)
        value = XmlReader(data, progress).read(reason);
    else if (const std::optional<BinaryPropertyList> list = BinaryPropertyList::read(data, &reason))
        value = list->variant(list->top());
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
