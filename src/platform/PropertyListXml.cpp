#include "platform/PropertyList.h"

#include "platform/ConcurrentFor.h"
#include "platform/PropertyListForms.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <vector>

namespace platform {

using namespace plistforms;

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

namespace {

// Earlier writers put the control characters of a string into XML as they are, though XML 1.0 has no place
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
    // One pass over 64 KB at a time without an early exit, which the compiler makes vector code,
    // finds the controls and the byte the non-characters begin with. That byte begins other
    // characters too (U+F000 to U+FFFD) and few texts hold one: only a chunk that does is searched
    // for the two.
    constexpr qsizetype kChunk = 1 << 16;
    meter.begin(ControlCharacters, data.size());
    bool any = false;
    for (qsizetype at = 0; at < data.size(); at += kChunk) {
        meter.at(at);
        const QByteArrayView chunk = QByteArrayView(data).sliced(at, std::min(kChunk, data.size() - at));
        uchar controls = 0, leads = 0;
        for (const char c : chunk) {
            controls |= uchar(isControlOutsideXml(c));
            leads |= uchar(c == '\xEF');
        }
        any = any || controls;
        for (qsizetype i = leads ? chunk.indexOf('\xEF') : -1; i >= 0 && !any; i = chunk.indexOf('\xEF', i + 1))
            any = startsNonCharacter(QByteArrayView(data).sliced(at + i));
    }
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

std::optional<QByteArray> plistforms::xmlData(const QVariant &root, const PropertyListProgress &progress, QString &refused)
{
    XmlWriter writer(progress);
    std::optional<QByteArray> xml = writer.write(root);
    refused = writer.refused();
    return xml;
}

std::optional<QVariant> plistforms::fromXml(const QByteArray &data, const PropertyListProgress &progress, QString &error)
{
    return XmlReader(data, progress).read(error);
}

} // namespace platform
