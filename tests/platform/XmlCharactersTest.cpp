#include "platform/XmlCharacters.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>

namespace {

struct Row {
    const char *name;
    QString text;
    QString replaced;
};

// Whether an XML parser takes `text` back as an element's content. A lone surrogate cannot reach a
// parser as UTF-8 at all, so those rows check the replacement only.
bool parsesBack(const QString &text)
{
    QString escaped = text.toHtmlEscaped();
    QXmlStreamReader reader(QStringLiteral("<a>%1</a>").arg(escaped).toUtf8());
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

TEST(XmlCharactersTest, ReplacesWhatAParserRefusesAndKeepsTheRest)
{
    const QChar fffd(QChar::ReplacementCharacter);
    const QString pair = QString::fromUcs4(U"\U0001F600");
    const QList<Row> rows = {
        {"plain", QStringLiteral("12 High St\r\n\tLeeds"), QStringLiteral("12 High St\r\n\tLeeds")},
        {"a surrogate pair", QStringLiteral("a") + pair, QStringLiteral("a") + pair},
        {"NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), QStringLiteral("a") + fffd + QStringLiteral("b")},
        {"C0 control", QStringLiteral("x\x01\x1F"), QStringLiteral("x") + fffd + fffd},
        {"U+FFFE and U+FFFF", QStringLiteral("c") + QChar(0xFFFE) + QChar(0xFFFF), QStringLiteral("c") + fffd + fffd},
        {"lone high surrogate at the end", QStringLiteral("d") + QChar(0xD83D), QStringLiteral("d") + fffd},
        {"lone low surrogate", QString(QChar(0xDE00)) + QStringLiteral("e"), QString(fffd) + QStringLiteral("e")},
        {"high surrogate before a letter", QString(QChar(0xD83D)) + QStringLiteral("f"), QString(fffd) + QStringLiteral("f")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(XmlCharacters::isXmlText(row.text), row.text == row.replaced);
        if (!QString::fromLatin1(row.name).contains(QStringLiteral("surrogate"))) {
            EXPECT_EQ(XmlCharacters::isXmlText(row.text), parsesBack(row.text));
        }
        EXPECT_EQ(XmlCharacters::replaced(row.text), row.replaced);
        EXPECT_TRUE(parsesBack(XmlCharacters::replaced(row.text)));
    }
}

} // namespace
