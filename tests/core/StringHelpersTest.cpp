#include "core/StringHelpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const QString abcdef = QStringLiteral("abcdef");

// Taken as written: QString::fromUtf16 would drop a leading byte-order mark itself.
QString u(const char16_t *text)
{
    return QStringView(text).toString();
}

// Null and empty differ for callers, so results are compared with both in mind.
void expectEmptyNotNull(const QString &s)
{
    EXPECT_TRUE(s.isEmpty());
    EXPECT_FALSE(s.isNull());
}

TEST(StringHelpers, LeftAndRightClampTheirCount)
{
    EXPECT_EQ(Left_Str_substringToIndex(abcdef, 2), "ab");
    EXPECT_EQ(Left_Str_substringToIndex(abcdef, 6), abcdef);
    EXPECT_EQ(Left_Str_substringToIndex(abcdef, 10), abcdef);
    expectEmptyNotNull(Left_Str_substringToIndex(abcdef, -3));
    expectEmptyNotNull(Left_Str_substringToIndex(abcdef, 0));

    EXPECT_EQ(Right_Str_substringFromIndex(abcdef, 2), "ef");
    EXPECT_EQ(Right_Str_substringFromIndex(abcdef, 6), abcdef);
    EXPECT_EQ(Right_Str_substringFromIndex(abcdef, 99), abcdef);
    expectEmptyNotNull(Right_Str_substringFromIndex(abcdef, -1));
}

TEST(StringHelpers, ReadFromAndUptoIndexGiveEmptyOutsideTheText)
{
    EXPECT_EQ(Read_Str_FromIndex(abcdef, 2), "cdef");
    EXPECT_EQ(Read_Str_FromIndex(abcdef, 0), abcdef);
    expectEmptyNotNull(Read_Str_FromIndex(abcdef, 6));
    expectEmptyNotNull(Read_Str_FromIndex(abcdef, 7));
    expectEmptyNotNull(Read_Str_FromIndex(abcdef, -1));
    expectEmptyNotNull(Read_Str_FromIndex(abcdef, INT_MIN));

    EXPECT_EQ(Read_Str_Upto_Index(abcdef, 6), abcdef);
    EXPECT_EQ(Read_Str_Upto_Index(abcdef, 3), "abc");
    expectEmptyNotNull(Read_Str_Upto_Index(abcdef, 7));
    expectEmptyNotNull(Read_Str_Upto_Index(abcdef, -1));
    expectEmptyNotNull(Read_Str_Upto_Index(abcdef, 0));
}

TEST(StringHelpers, SubstringsCountUtf16Units)
{
    const QString clef = u(u"a\U0001D11Eb"); // a, surrogate pair, b
    ASSERT_EQ(clef.size(), 4);
    EXPECT_EQ(Right_Str_substringFromIndex(clef, 1), "b");
    EXPECT_EQ(Read_Str_FromIndex(clef, 3), "b");
    EXPECT_EQ(Read_Str_Upto_Index(clef, 3), u(u"a\U0001D11E"));
}

TEST(StringHelpers, NullInputGivesNull)
{
    EXPECT_TRUE(Trim_Str(QString()).isNull());
    EXPECT_TRUE(Replace_Char_For_valid(QString()).isNull());
    EXPECT_TRUE(Remove_Reserve_Char_In_File_Name(QString()).isNull());
    EXPECT_TRUE(Left_Str_substringToIndex(QString(), 3).isNull());
    EXPECT_TRUE(Read_Str_FromIndex(QString(), 0).isNull());
    expectEmptyNotNull(Trim_Str(QStringLiteral("")));
    expectEmptyNotNull(Trim_Str(QStringLiteral(" \n\t ")));
}

TEST(StringHelpers, FindStr)
{
    const QString abc = QStringLiteral("abc");
    EXPECT_TRUE(Find_Str(abc, QStringLiteral("bc")));
    EXPECT_FALSE(Find_Str(abc, QStringLiteral("")));
    EXPECT_FALSE(Find_Str(abc, QString()));
    EXPECT_FALSE(Find_Str(abc, QStringLiteral("B")));
    EXPECT_FALSE(Find_Str(QString(), QStringLiteral("a")));
    EXPECT_FALSE(Find_Str(abc, QStringLiteral("abcd")));

    EXPECT_TRUE(Find_Str_Case_Insensitive(abc, QStringLiteral("B")));
    EXPECT_TRUE(Find_Str_Case_Insensitive(u(u"STRASSE \u00C9T\u00C9"), u(u"\u00e9t\u00e9")));
    EXPECT_FALSE(Find_Str_Case_Insensitive(QString(), QStringLiteral("B")));
    EXPECT_FALSE(Find_Str_Case_Insensitive(abc, QString()));
    EXPECT_FALSE(Find_Str_Case_Insensitive(abc, QStringLiteral("")));
}

TEST(StringHelpers, TrimRemovesWhiteSpaceThenControlAndFormatCharacters)
{
    EXPECT_EQ(Trim_Str(QStringLiteral("  a b \r\n")), "a b");
    // Unicode white space beyond ASCII: NBSP, NEL, line and paragraph separators, ideographic space.
    EXPECT_EQ(Trim_Str(u(u"\u00A0\u0085\u2028x\u2029\u3000")), "x");
    // A byte-order mark and a zero-width space are format characters; QString::trimmed keeps them.
    EXPECT_EQ(Trim_Str(u(u"\uFEFFName\u200B")), "Name");
    EXPECT_EQ(Trim_Str(u(u"\u0001\u0007x\u007F")), "x");
    // A format character outside the BMP (a language tag) is a surrogate pair.
    EXPECT_EQ(Trim_Str(u(u"x\U000E0001")), "x");
    // Characters inside stay.
    EXPECT_EQ(Trim_Str(u(u"a\u200B \u0001b")), u(u"a\u200B \u0001b"));
}

TEST(StringHelpers, TrimPassesRunInOrder)
{
    // Blanks that sit inside a format character survive: the white-space pass meets the format
    // character first, and the second pass removes only format and control characters.
    EXPECT_EQ(Trim_Str(u(u"\uFEFF  x  \u200B")), u(u"  x  "));
    EXPECT_EQ(Trim_Str(u(u"  \uFEFFx")), "x");
    EXPECT_EQ(Replace_Char_For_valid(u(u"\uFEFF  x")), Trim_Str(u(u"\uFEFF  x")));
}

TEST(StringHelpers, ReservedCharactersAreTrimmedOnlyAtTheEnds)
{
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("<a/b>")), "a/b");
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("/\\?%*|\"<>name/\\?%*|\"<>")), "name");
    // Blanks outside the signs stop the reserved pass; only then are the blanks trimmed.
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("  <a/b>  ")), "<a/b>");
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("<  a  >")), "a");
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("a:b.txt")), "a:b.txt");
    expectEmptyNotNull(Remove_Reserve_Char_In_File_Name(QStringLiteral("***")));
}

TEST(StringHelpers, ReplaceIsLiteralAndCaseSensitive)
{
    EXPECT_EQ(Replace_char_in_string(QStringLiteral("a.b.c"), QStringLiteral("."), QStringLiteral("\\.")), "a\\.b\\.c");
    EXPECT_EQ(Replace_char_in_string(QStringLiteral("aAa"), QStringLiteral("a"), QStringLiteral("x")), "xAx");
    EXPECT_EQ(Replace_char_in_string(QStringLiteral("aaaa"), QStringLiteral("aa"), QStringLiteral("a")), "aa");
    EXPECT_EQ(Replace_char_in_string(QStringLiteral("abc"), QStringLiteral(""), QStringLiteral("x")), "abc");
    EXPECT_EQ(Replace_char_in_string(QStringLiteral("abc"), QStringLiteral("b"), QString()), "ac");
}

// A list in a message box takes a screenful whatever it holds: long items are cut in their middle,
// line breaks inside one become blanks, and what does not fit is counted.
TEST(StringHelpers, AMessageListTakesAScreenfulAndCountsTheRest)
{
    const auto names = [](qsizetype count, const QString &unit, int repeat) {
        QStringList items;
        for (qsizetype i = 0; i < count; ++i)
            items << QString::number(i) + unit.repeated(repeat);
        return items;
    };
    const struct {
        const char *what;
        QStringList items;
        qsizetype shown, counted; // items named, and counted on the last line
    } rows[] = {
        {"a screenful", names(20, QStringLiteral("name"), 1), 20, 0},
        {"one more", names(21, QStringLiteral("name"), 1), 19, 2},
        {"10,000 of 250 characters", names(10'000, QStringLiteral("x"), 250), 19, 9981},
        {"pairs of surrogates", names(2, u(u"\U0001F600"), 150), 2, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const QStringList lines = messageList(row.items).split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), row.shown + (row.counted ? 1 : 0));
        for (qsizetype i = 0; i < row.shown; ++i) {
            const QString &item = row.items.at(i), &line = lines.at(i);
            const qsizetype cut = line.indexOf(QChar(0x2026));
            EXPECT_TRUE(item.size() <= kMessageLineCharacters ? line == item : cut > 0 && line.isValidUtf16());
            EXPECT_LE(line.size(), kMessageLineCharacters);
            EXPECT_TRUE(item.startsWith(line.left(cut)) && item.endsWith(line.mid(cut + 1)));
        }
        EXPECT_EQ(lines.last() == QStringLiteral("… and %1 more").arg(row.counted), row.counted > 0);
    }
    EXPECT_EQ(messageList({u(u"one\ntwo\u2028three\rfour")}), QStringLiteral("one two three four"));
}

} // namespace
