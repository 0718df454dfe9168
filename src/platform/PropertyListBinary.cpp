#include "platform/PropertyList.h"

#include "platform/PropertyListForms.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

namespace platform {

using namespace plistforms;

namespace {

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

QByteArray plistforms::binaryData(const QVariant &root, QString &error)
{
    return BinaryWriter().write(root, error);
}

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

} // namespace platform
