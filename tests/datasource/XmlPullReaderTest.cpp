#include "datasource/readers/XmlPullReader.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// The tokens as one line each, adjacent texts joined; "error" when the document is refused.
QStringList pullTokens(const QByteArray &document, std::size_t piece)
{
    qsizetype at = 0;
    XmlPullReader xml([&](char *buffer, std::size_t capacity) {
        const std::size_t n = std::min({capacity, piece, std::size_t(document.size() - at)});
        std::memcpy(buffer, document.constData() + at, n);
        at += qsizetype(n);
        return std::ptrdiff_t(n);
    });
    QStringList tokens;
    for (;;) {
        switch (xml.readNext()) {
        case XmlPullReader::StartElement: {
            QString line = QStringLiteral("<") + QString::fromUtf8(xml.name());
            if (const std::string *id = xml.attribute("id"))
                line += QStringLiteral(" id=") + QString::fromStdString(*id);
            tokens << line;
            break;
        }
        case XmlPullReader::EndElement:
            tokens << QStringLiteral("/") + QString::fromUtf8(xml.name());
            break;
        case XmlPullReader::Characters:
            if (!tokens.isEmpty() && tokens.last().startsWith(u'"'))
                tokens.last().chop(1), tokens.last() += QString::fromUtf8(xml.text()) + u'"';
            else
                tokens << u'"' + QString::fromUtf8(xml.text()) + u'"';
            break;
        case XmlPullReader::EndDocument:
            return tokens;
        case XmlPullReader::Invalid:
            return {QStringLiteral("error")};
        }
    }
}

// The same through Qt's reader, as the reference.
QStringList referenceTokens(const QByteArray &document)
{
    QXmlStreamReader xml(document);
    QStringList tokens;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            QString line = QStringLiteral("<") + xml.name().toString();
            for (const QXmlStreamAttribute &attribute : xml.attributes())
                if (attribute.name() == u"id")
                    line += QStringLiteral(" id=") + attribute.value().toString();
            tokens << line;
            break;
        }
        case QXmlStreamReader::EndElement:
            tokens << QStringLiteral("/") + xml.name().toString();
            break;
        case QXmlStreamReader::Characters:
            if (!tokens.isEmpty() && tokens.last().startsWith(u'"'))
                tokens.last().chop(1), tokens.last() += xml.text().toString() + u'"';
            else
                tokens << u'"' + xml.text().toString() + u'"';
            break;
        default:
            break;
        }
    }
    return xml.hasError() ? QStringList{QStringLiteral("error")} : tokens;
}

} // namespace

// Whole or a byte at a time, documents read as Qt's reader reads them; what it refuses, or what
// would make this reader define or fetch entities, is refused.
TEST(XmlPullReader, ReadsAsTheReferenceReaderInAnyPiecesAndRefusesWhatItMust)
{
    const struct {
        const char *document;
        bool refusedOnlyHere;
    } cases[] = {
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a><b id='1'/>x</a>", false},
        {"\xEF\xBB\xBF<x:a xmlns:x=\"u\"><x:b x:id=\"q&amp;&#x41;&#66;&lt;\">t</x:b></x:a>", false},
        {"<a>one &amp; two &#128512; &quot;&apos;&gt;<![CDATA[<raw & text>]]></a>", false},
        {"<a id=\"l1\r\nl2\tx\">a\r\nb\rc</a>", false},
        {"<!-- note --><a><?pi data?><b></b  ><!-- -- --></a>\n", false},
        {"<a><b>unclosed</a>", false},
        {"<a></b>", false},
        {"<a>", false},
        {"", false},
        {"<a b=c/>", false},
        {"<a b=\"1\"c=\"2\"/>", false},
        {"<a/><b/>", false},
        {"text<a/>", false},
        {"<a>&undefined;</a>", false},
        {"<a>&#xD800;</a>", false},
        {"<!DOCTYPE a [<!ENTITY e \"boom\">]><a>&e;</a>", true},
        {"<!DOCTYPE a SYSTEM \"file:///etc/passwd\"><a/>", true},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.document);
        const QByteArray document(c.document);
        const QStringList expected = c.refusedOnlyHere ? QStringList{QStringLiteral("error")} : referenceTokens(document);
        for (const std::size_t piece : {std::size_t(1), std::size_t(5), std::size_t(1) << 20})
            EXPECT_EQ(pullTokens(document, piece), expected) << "in pieces of " << piece;
    }
}

// Nesting and tokens are bounded whatever the document's size.
TEST(XmlPullReader, BoundsNestingTokenLengthAndAttributes)
{
    QByteArray deep;
    for (int i = 0; i <= XmlPullReader::kMaxDepth; ++i)
        deep += "<a>";
    const QByteArray longText = "<a>" + QByteArray(qsizetype(XmlPullReader::kMaxToken) + 10, 'x') + "</a>";
    const QByteArray manyAttributes = "<a " + QByteArray("b='' ").repeated(qsizetype(XmlPullReader::kMaxAttributes) + 1) + "/>";
    for (const QByteArray &document : {deep, longText, manyAttributes})
        EXPECT_EQ(pullTokens(document, 1 << 16), QStringList{QStringLiteral("error")});
}
