#include "datasource/readers/XmlPullReader.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr std::size_t kMinBuffer = 256 * 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}

bool isNameChar(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Whether `text` holds '&' or a character XML rewrites (a line end; in attribute values any blank
// but the space); a loop, as libstdc++'s find_first_of calls memchr once per character.
bool needsDecoding(std::string_view text, bool attributeValue)
{
    for (const char c : text)
        if (c == '&' || c == '\r' || (attributeValue && (c == '\n' || c == '\t')))
            return true;
    return false;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

std::string_view localPart(std::string_view qualified)
{
    const std::size_t colon = qualified.rfind(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

void appendUtf8(std::string &out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// The character a reference between '&' and ';' names; 0 for none.
char32_t referenced(std::string_view name)
{
    static constexpr std::pair<std::string_view, char32_t> kPredefined[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto &[entity, code] : kPredefined)
        if (name == entity)
            return code;
    if (name.size() < 2 || name[0] != '#')
        return 0;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8)
        return 0;
    char32_t code = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return 0;
        code = code * (hex ? 16 : 10) + char32_t(digit);
    }
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return code;
}

} // namespace

XmlPullReader::XmlPullReader(Source source)
    : m_source(std::move(source))
{
}

XmlPullReader::Token XmlPullReader::fail(const QString &reason)
{
    m_failed = true;
    if (m_error.isEmpty())
        m_error = reason;
    return Invalid;
}

// Makes at least `needed` bytes available from the current position, or as many as the source has.
bool XmlPullReader::fill(std::size_t needed)
{
    if (m_pos > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_discarded += m_pos;
        m_end -= m_pos;
        m_pos = 0;
    }
    if (m_buffer.size() < std::max(needed, kMinBuffer))
        m_buffer.resize(std::max({needed, kMinBuffer, m_buffer.size() * 2}));
    const std::size_t before = m_end;
    while (!m_sourceDone && m_end < needed) {
        const std::ptrdiff_t got = m_source(m_buffer.data() + m_end, m_buffer.size() - m_end);
        // Bytes had before the source failed are read first: they may hold all that is wanted.
        if (got < 0)
            return m_end > before;
        if (got == 0)
            m_sourceDone = true;
        m_end += std::size_t(got);
    }
    return true;
}

std::string_view XmlPullReader::openName() const
{
    const std::size_t start = m_openStarts.back();
    return std::string_view(m_openNames).substr(start, m_openNames.size() - start - 1);
}

// Decodes references (none in a CDATA section) and line ends of `raw` into `out`; false on a
// reference that names nothing.
bool XmlPullReader::decode(std::string_view raw, std::string &out, Mode mode)
{
    const bool attributeValue = mode == Mode::Attribute;
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '&' && mode != Mode::Cdata) {
            const std::size_t semicolon = raw.find(';', i + 1);
            const char32_t code =
                semicolon == std::string_view::npos ? 0 : referenced(raw.substr(i + 1, semicolon - i - 1));
            if (code == 0) {
                fail(QStringLiteral("It holds a reference to an entity that is not defined: \"%1\".")
                         .arg(QString::fromUtf8(raw.substr(i, std::min<std::size_t>(raw.size() - i, 20)))));
                return false;
            }
            appendUtf8(out, code);
            i = semicolon;
        } else if (c == '\r') {
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
            out += attributeValue ? ' ' : '\n';
        } else if (attributeValue && (c == '\n' || c == '\t')) {
            out += ' ';
        } else {
            out += c;
        }
    }
    return true;
}

const std::string *XmlPullReader::attribute(std::string_view localName) const
{
    for (std::size_t i = 0; i < m_attributeCount; ++i)
        if (sameName(m_attributes[i].localName, localName))
            return &m_attributes[i].value;
    return nullptr;
}

XmlPullReader::Token XmlPullReader::readNext()
{
    if (m_failed)
        return Invalid;
    m_attributeCount = 0;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        const std::size_t start = m_openStarts.back();
        m_closingName.assign(localPart(openName()));
        m_localName = m_closingName;
        m_openNames.resize(start);
        m_openStarts.pop_back();
        if (m_openStarts.empty())
            m_rootClosed = true;
        return EndElement;
    }
    for (;;) {
        if (m_pos == m_end && !fill(1))
            return fail(QString());
        if (m_pos == m_end) {
            if (!m_rootSeen)
                return fail(QStringLiteral("It holds no element."));
            if (!m_rootClosed)
                return fail(QStringLiteral("It ends inside the element \"%1\".")
                                .arg(QString::fromUtf8(m_openNames.data() + m_openStarts.back())));
            return EndDocument;
        }
        if (!m_started && !fill(4))
            return fail(QString());
        if (!m_started && m_end - m_pos >= 2) {
            const auto b0 = (unsigned char)m_buffer[0], b1 = (unsigned char)m_buffer[1];
            if ((b0 == 0xFE && b1 == 0xFF) || (b0 == 0xFF && b1 == 0xFE) || b0 == 0 || b1 == 0)
                return fail(QStringLiteral("It is not written in UTF-8."));
            if (m_end >= 3 && b0 == 0xEF && b1 == 0xBB && (unsigned char)m_buffer[2] == 0xBF)
                m_pos = 3;
        }
        m_started = true;
        if (m_pos == m_end)
            continue;
        const Token token = m_buffer[m_pos] == '<' ? readTag() : readText();
        if (token != EndDocument) // EndDocument stands for "nothing to give yet" here
            return token;
    }
}

XmlPullReader::Token XmlPullReader::readText()
{
    for (;;) {
        const char *begin = m_buffer.data() + m_pos, *end = m_buffer.data() + m_end;
        // Most texts are a few bytes: a plain loop beats a call.
        const char *lt = begin;
        while (lt != end && *lt != '<')
            ++lt;
        if (lt == end)
            lt = nullptr;
        if (!lt && !m_sourceDone) {
            if (m_end - m_pos > kMaxToken)
                return fail(QStringLiteral("It holds a text longer than %1 MB.").arg(kMaxToken >> 20));
            if (!fill((m_end - m_pos) * 2 + 1))
                return fail(QString());
            continue;
        }
        const std::size_t length = lt ? std::size_t(lt - begin) : m_end - m_pos;
        if (length > kMaxToken)
            return fail(QStringLiteral("It holds a text longer than %1 MB.").arg(kMaxToken >> 20));
        const std::string_view raw(begin, length);
        m_pos += length;
        if (m_openStarts.empty()) {
            if (!std::all_of(raw.begin(), raw.end(), isSpace))
                return fail(QStringLiteral("It holds text outside its root element."));
            return EndDocument;
        }
        if (!needsDecoding(raw, false))
            m_textView = raw;
        else if (decode(raw, m_text, Mode::Text))
            m_textView = m_text;
        else
            return Invalid;
        return Characters;
    }
}

// What a scan of the tag at the read position found: its length and token once Done; Failed once
// fail() has given the reason.
struct XmlPullReader::TagScan {
    enum Outcome { Done, NeedMore, Bad, Failed } outcome = NeedMore;
    std::size_t length = 0;
    Token token = EndDocument;

    static TagScan failed() { return {Failed}; }
};

namespace {

// The tag from its start in `rest` up to `terminator`, searched from `from`.
XmlPullReader::TagScan skipPast(std::string_view rest, std::string_view terminator, std::size_t from)
{
    const std::size_t at = rest.find(terminator, from);
    if (at == std::string_view::npos)
        return {};
    return {XmlPullReader::TagScan::Done, at + terminator.size()};
}

} // namespace

XmlPullReader::TagScan XmlPullReader::scanProcessingInstruction(std::string_view rest)
{
    const TagScan scan = skipPast(rest, "?>", 2);
    if (scan.outcome != TagScan::Done)
        return scan;
    const std::string_view pi = rest.substr(0, scan.length);
    if (pi.substr(2, 4) == "xml ") {
        const std::size_t at = pi.find("encoding");
        if (at != std::string_view::npos) {
            const std::size_t quote = pi.find_first_of("\"'", at);
            const std::size_t close = quote == std::string_view::npos ? quote : pi.find(pi[quote], quote + 1);
            std::string name(pi.substr(quote + 1, close == std::string_view::npos ? 0 : close - quote - 1));
            std::transform(name.begin(), name.end(), name.begin(), [](char c) { return char(std::tolower(c)); });
            if (name != "utf-8" && name != "utf8" && name != "us-ascii") {
                fail(QStringLiteral("It is written in the encoding \"%1\", not in UTF-8.").arg(QString::fromUtf8(name)));
                return TagScan::failed();
            }
        }
    }
    return scan;
}

// "<!": a comment, a CDATA section or a document type declaration, which is refused.
XmlPullReader::TagScan XmlPullReader::scanDeclaration(std::string_view rest)
{
    if (rest.size() < 9)
        return {m_sourceDone ? TagScan::Bad : TagScan::NeedMore};
    if (rest.substr(0, 4) == "<!--")
        return scanComment(rest);
    if (rest.substr(0, 9) == "<![CDATA[")
        return scanCdata(rest);
    if (rest.substr(0, 9) == "<!DOCTYPE") {
        fail(QStringLiteral("It holds a document type declaration, which is not read."));
        return TagScan::failed();
    }
    return {TagScan::Bad};
}

XmlPullReader::TagScan XmlPullReader::scanComment(std::string_view rest)
{
    TagScan scan = skipPast(rest, "-->", 4);
    if (scan.outcome == TagScan::Done && rest.substr(4, scan.length - 7).find("--") != std::string_view::npos)
        scan.outcome = TagScan::Bad;
    return scan;
}

XmlPullReader::TagScan XmlPullReader::scanCdata(std::string_view rest)
{
    TagScan scan = skipPast(rest, "]]>", 9);
    if (scan.outcome != TagScan::Done)
        return scan;
    if (m_openStarts.empty()) {
        fail(QStringLiteral("It holds text outside its root element."));
        return TagScan::failed();
    }
    decode(rest.substr(9, scan.length - 12), m_text, Mode::Cdata);
    m_textView = m_text;
    scan.token = Characters;
    return scan;
}

XmlPullReader::TagScan XmlPullReader::scanEndTag(std::string_view rest)
{
    const std::size_t available = rest.size();
    const char *p = rest.data();
    std::size_t i = 2;
    while (i < available && isNameChar((unsigned char)p[i]))
        ++i;
    const std::string_view name = rest.substr(2, i - 2);
    while (i < available && isSpace(p[i]))
        ++i;
    if (i >= available)
        return {};
    if (p[i] != '>' || name.empty())
        return {TagScan::Bad};
    if (m_openStarts.empty() || !sameName(openName(), name)) {
        fail(QStringLiteral("The end tag \"%1\" does not close the open element.").arg(QString::fromUtf8(name)));
        return TagScan::failed();
    }
    m_closingName.assign(localPart(name));
    m_localName = m_closingName;
    m_openNames.resize(m_openStarts.back());
    m_openStarts.pop_back();
    if (m_openStarts.empty())
        m_rootClosed = true;
    return {TagScan::Done, i + 1, EndElement};
}

XmlPullReader::TagScan XmlPullReader::scanStartTag(std::string_view rest)
{
    const std::size_t available = rest.size();
    const char *p = rest.data();
    if (!isNameStart((unsigned char)p[1]))
        return {TagScan::Bad};
    std::size_t i = 1;
    while (i < available && isNameChar((unsigned char)p[i]))
        ++i;
    const std::size_t nameEnd = i;
    std::size_t count = 0;
    TagScan scan;
    for (;;) {
        const std::size_t spaceStart = i;
        while (i < available && isSpace(p[i]))
            ++i;
        if (i >= available)
            break;
        if (p[i] == '>' || p[i] == '/') {
            if (p[i] == '/' && (i + 1 >= available || p[i + 1] != '>')) {
                scan.outcome = i + 1 >= available ? TagScan::NeedMore : TagScan::Bad;
                break;
            }
            scan.length = i + (p[i] == '/' ? 2 : 1);
            m_pendingEnd = p[i] == '/';
            scan.outcome = TagScan::Done;
            break;
        }
        if (i == spaceStart || !isNameStart((unsigned char)p[i])) {
            scan.outcome = TagScan::Bad;
            break;
        }
        const std::size_t attributeName = i;
        while (i < available && isNameChar((unsigned char)p[i]))
            ++i;
        const std::size_t attributeNameEnd = i;
        while (i < available && isSpace(p[i]))
            ++i;
        if (i < available && p[i] != '=') {
            scan.outcome = TagScan::Bad;
            break;
        }
        ++i;
        while (i < available && isSpace(p[i]))
            ++i;
        if (i >= available)
            break;
        if (p[i] != '"' && p[i] != '\'') {
            scan.outcome = TagScan::Bad;
            break;
        }
        std::size_t closeAt = i + 1;
        while (closeAt < available && p[closeAt] != p[i])
            ++closeAt;
        if (closeAt == available)
            break;
        const char *close = p + closeAt;
        const std::string_view raw(p + i + 1, std::size_t(close - p) - i - 1);
        if (count == kMaxAttributes) {
            fail(QStringLiteral("It holds a tag of more than %1 attributes.").arg(kMaxAttributes));
            return TagScan::failed();
        }
        if (m_attributes.size() <= count)
            m_attributes.resize(count + 1);
        Attribute &attribute = m_attributes[count++];
        attribute.localName = localPart(rest.substr(attributeName, attributeNameEnd - attributeName));
        if (!needsDecoding(raw, true))
            attribute.value.assign(raw);
        else if (!decode(raw, attribute.value, Mode::Attribute))
            return TagScan::failed();
        i = std::size_t(close - p) + 1;
    }
    if (scan.outcome != TagScan::Done)
        return scan;
    if (m_rootClosed) {
        fail(QStringLiteral("It holds a second root element."));
        return TagScan::failed();
    }
    if (int(m_openStarts.size()) >= kMaxDepth) {
        fail(QStringLiteral("Its elements are nested more than %1 deep.").arg(kMaxDepth));
        return TagScan::failed();
    }
    m_rootSeen = true;
    m_openStarts.push_back(m_openNames.size());
    m_openNames.append(p + 1, nameEnd - 1);
    m_openNames += '\0';
    m_localName = localPart(std::string_view(m_openNames).substr(m_openStarts.back(), nameEnd - 1));
    m_attributeCount = count;
    scan.token = StartElement;
    return scan;
}

XmlPullReader::Token XmlPullReader::readTag()
{
    for (;;) {
        const std::size_t available = m_end - m_pos;
        const std::string_view rest(m_buffer.data() + m_pos, available);
        TagScan scan;
        if (available < 2)
            scan.outcome = TagScan::NeedMore;
        else if (rest[1] == '?')
            scan = scanProcessingInstruction(rest);
        else if (rest[1] == '!')
            scan = scanDeclaration(rest);
        else if (rest[1] == '/')
            scan = scanEndTag(rest);
        else
            scan = scanStartTag(rest);

        if (scan.outcome == TagScan::Failed)
            return Invalid;
        if (scan.outcome == TagScan::Bad)
            return fail(QStringLiteral("It is not well-formed XML near byte %1.").arg(m_discarded + m_pos));
        if (scan.outcome == TagScan::Done) {
            if (scan.length > kMaxToken)
                return fail(QStringLiteral("It holds a tag longer than %1 MB.").arg(kMaxToken >> 20));
            m_pos += scan.length;
            return scan.token;
        }
        // The tag goes on past the bytes read so far.
        if (m_sourceDone)
            return fail(QStringLiteral("It ends inside a tag."));
        if (available > kMaxToken)
            return fail(QStringLiteral("It holds a tag longer than %1 MB.").arg(kMaxToken >> 20));
        m_attributeCount = 0;
        m_pendingEnd = false;
        if (!fill(available * 2 + 16))
            return fail(QString());
    }
}
