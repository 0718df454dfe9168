#include "platform/XmlCharacters.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include <algorithm>

namespace {

// Whether an XML parser takes `text` back as an element's content.
bool parsesBack(const QString &text)
{
    QXmlStreamReader reader(QStringLiteral("<a>%1</a>").arg(text.toHtmlEscaped()).toUtf8());
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

} // namespace

TEST(XmlCharactersTest, ReplacesWhatAParserRefusesAndKeepsTheRest)
{
    const QChar r(QChar::ReplacementCharacter);
    const std::pair<QString, QString> rows[] = {
        {"12 High St\r\n\tLeeds", "12 High St\r\n\tLeeds"},
        {"a\U0001F600", "a\U0001F600"},
        {QStringLiteral("a") + QChar(0) + "b", QStringLiteral("a") + r + "b"},
        {"x\x01\x1F", QStringLiteral("x") + r + r},
        {QStringLiteral("c") + QChar(0xFFFE) + QChar(0xFFFF), QStringLiteral("c") + r + r},
        {QStringLiteral("d") + QChar(0xD83D), QStringLiteral("d") + r},
        {QChar(0xDE00) + QStringLiteral("e"), r + QStringLiteral("e")},
        {QChar(0xD83D) + QStringLiteral("f"), r + QStringLiteral("f")},
    };
    for (const auto &[text, replaced] : rows) {
        SCOPED_TRACE(text.toUtf8().toPercentEncoding().toStdString());
        EXPECT_EQ(XmlCharacters::isXmlText(text), text == replaced);
        // A lone surrogate cannot reach a parser as UTF-8 at all: those rows check the replacement only.
        if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); }) || text == replaced) {
            EXPECT_EQ(XmlCharacters::isXmlText(text), parsesBack(text));
        }
        EXPECT_EQ(XmlCharacters::replaced(text), replaced);
        EXPECT_TRUE(parsesBack(XmlCharacters::replaced(text)));
    }
}
