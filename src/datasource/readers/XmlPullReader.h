#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Reads an XML document token by token as its bytes arrive, holding one token at a time: large
// spreadsheet parts are read straight into rows without a document tree. UTF-8 only. It refuses
// rather than guesses: a document type declaration (so no entity is ever defined or expanded), an
// undeclared entity, mismatched or unclosed tags, text outside the root element, nesting deeper
// than kMaxDepth, a tag of more than kMaxAttributes attributes and a single token longer than
// kMaxToken are errors. Line ends are normalized as
// XML asks; a start tag written as "<a/>" gives a start and an end token.
class XmlPullReader {
public:
    static constexpr int kMaxDepth = 256;
    static constexpr std::size_t kMaxToken = 16 * 1024 * 1024;
    // Each attribute held costs some fifty bytes: a long tag of short attributes would cost more
    // than its bytes.
    static constexpr std::size_t kMaxAttributes = 4096;

    // Fills up to `capacity` bytes at `buffer`; gives the count, 0 at the end of the document, or
    // a negative number when the bytes cannot be had (the source keeps its reason), and again at
    // every call after that; the bytes given before are read first.
    using Source = std::function<std::ptrdiff_t(char *buffer, std::size_t capacity)>;

    enum Token { StartElement, EndElement, Characters, EndDocument, Invalid };

    explicit XmlPullReader(Source source);

    Token readNext();

    // The name of the current element without its prefix ("c" for "x:c").
    std::string_view name() const { return m_localName; }
    // Whether name() is `localName`; cheap for a literal.
    bool nameIs(std::string_view localName) const
    {
        return m_localName.size() == localName.size()
               && std::char_traits<char>::compare(m_localName.data(), localName.data(), localName.size()) == 0;
    }
    // Open elements, the current one included (1 inside the root element).
    int depth() const { return int(m_openStarts.size()); }
    // The value of the current start element's attribute of that local name, any prefix; nullptr
    // when it has none. Valid until the next token.
    const std::string *attribute(std::string_view localName) const;
    // The current start element's attributes in their order, for a reader that wants several.
    std::size_t attributeCount() const { return m_attributeCount; }
    std::string_view attributeName(std::size_t i) const { return m_attributes[i].localName; }
    const std::string &attributeValue(std::size_t i) const { return m_attributes[i].value; }
    // The text of the current Characters token, references replaced (CDATA sections included).
    std::string_view text() const { return m_textView; }

    // Why the document was refused, when a token was Invalid; "" when the source failed.
    QString errorString() const { return m_error; }

    struct TagScan; // what a scan of one tag found

private:
    struct Attribute {
        std::string_view localName;
        std::string value;
    };

    bool fill(std::size_t needed);
    Token fail(const QString &reason);
    Token readTag();
    // The tag at the read position, by its kind; `rest` is the buffer from there.
    TagScan scanProcessingInstruction(std::string_view rest);
    TagScan scanDeclaration(std::string_view rest);
    TagScan scanComment(std::string_view rest);
    TagScan scanCdata(std::string_view rest);
    TagScan scanEndTag(std::string_view rest);
    TagScan scanStartTag(std::string_view rest);
    Token readText();
    enum class Mode { Text, Attribute, Cdata };
    bool decode(std::string_view raw, std::string &out, Mode mode);
    std::string_view openName() const; // the qualified name of the innermost open element

    Source m_source;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0, m_end = 0;
    std::uint64_t m_discarded = 0; // bytes of the document before the buffer's start
    bool m_sourceDone = false, m_started = false;

    std::string m_openNames; // the qualified names of the open elements, each followed by '\0'
    std::vector<std::size_t> m_openStarts;
    bool m_rootSeen = false, m_rootClosed = false;
    bool m_pendingEnd = false; // "<a/>": the end token still to give
    bool m_failed = false;

    std::string_view m_localName;
    std::string m_closingName; // an end token's name outlives its pop
    std::vector<Attribute> m_attributes;
    std::size_t m_attributeCount = 0;
    std::string m_text; // the text when references or line ends had to be replaced
    std::string_view m_textView;
    QString m_error;
};
