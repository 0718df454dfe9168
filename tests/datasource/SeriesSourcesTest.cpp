#include "CorpusTables.h"

#include "fixtures/TestSupport.h"
#include "PeakMemory.h"

#include "core/StringHelpers.h"
#include "datasource/SeriesSources.h"
#include "datasource/SeriesStore.h"

#include <QDir>
#include "fixtures/HangGuard.h"
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {


void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// The import's values as the corpus describes them: the fields (or lines) of the expected table,
// "\", "{" and "}" removed, trimmed, blank ones left out; a line break inside a field is one blank.
QStringList expectedValues(const QList<QStringList> &rows)
{
    QStringList values;
    for (const QStringList &row : rows)
        for (QString field : row) {
            field = Trim_Str(field.remove(u'\\').remove(u'{').remove(u'}')).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            if (!field.isEmpty())
                values << field;
        }
    return values;
}

} // namespace

// Every CSV, text and RTF file of the corpus reads as its expected table says.
TEST(SeriesSources, CorpusFilesGiveTheirExpectedRowsAndValues)
{
    const QStringList files{"csv-crlf.csv",       "csv-lf.csv",       "csv-cr.csv",     "csv-one-column.csv",
                            "csv-utf8-bom.csv",   "csv-cp1252.csv",   "list-plain.txt", "list-styled.rtf"};
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dataFile(name);
        const QList<QStringList> expected = readCsv(dataFile(name.section(u'.', 0, 0) + QStringLiteral(".expected.csv")));
        ASSERT_FALSE(expected.isEmpty());
        if (name.endsWith(QLatin1String(".csv"))) {
            const std::optional<QString> text = Decode_Text(fileBytes(path));
            ASSERT_TRUE(text);
            EXPECT_EQ(Csv_Rows(*text), expected);
        }
        const SeriesSource source = Read_Text_Source(path);
        ASSERT_TRUE(source.ok()) << source.error.toStdString();
        EXPECT_EQ(source.values, expectedValues(expected));
    }
}

// Plain text is read whole, whatever its lines hold.
TEST(SeriesSources, TextLinesEndAtAnyLineBreakAndAreCleaned)
{
    EXPECT_EQ(Text_Values(QStringLiteral("one\rtwo\r\nNSFont = x\n a{b}\\c \n\n  \nlast")).values,
              (QStringList{"one", "two", "NSFont = x", "abc", "last"}));
    EXPECT_EQ(Pasted_Lines(QStringLiteral("\n  a \n\n b\r\nc  \n\n")), (QStringList{"a ", " b", "c"}));
}

// Typed (an import goes through the typed value), pasted or read from a series file, a value holds
// no character a design file could not keep: each becomes U+FFFD. (A lone surrogate or NUL cannot
// stand in a series file.)
TEST(SeriesSources, ValuesEnterWithReplacementsForWhatXmlCannotCarry)
{
    const QChar r(QChar::ReplacementCharacter);
    const QList<std::pair<QString, QString>> rows{
        {QStringLiteral("a\x01\x1f") + QChar(0xFFFE) + QChar(0xFFFF) + QStringLiteral("b"),
         QStringLiteral("a") + QString(4, r) + QStringLiteral("b")},
        {QChar(0xDE00) + QStringLiteral("c") + QChar(0) + QChar(0xD83D), r + QStringLiteral("c") + r + r},
    };
    for (const auto &[text, kept] : rows) {
        EXPECT_EQ(Series_Line_Value(text), kept);
        EXPECT_EQ(Pasted_Lines(text), QStringList{kept});
    }
    EXPECT_EQ(Series_Text(rows.first().first.toUtf8()), rows.first().second);
}

TEST(SeriesSources, RtfControlsGiveTheirCharacters)
{
    const struct {
        const char *rtf;
        const char *text;
    } cases[] = {
        {R"({\rtf1\ansi\ansicpg1251 \'c0\'e1 {\*\unknown hidden}x\~y\_z\-w})", "Аб x\u00A0y-zw"},
        {R"({\rtf1 \uc0\u8364 \u-10179\u-8704 {\uc2\u233 XYz}\bin3 {}}ok\tab!})", "€😀ézok\t!"},
        {R"({\rtf1 a\line b\
c{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}{\pict 0a0b}\ldblquote q\rdblquote})",
         "a\nb\nclink\u201Cq\u201D"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rtf);
        EXPECT_EQ(Rtf_Plain_Text(QByteArray(c.rtf)), QString::fromUtf8(c.text));
    }
}

TEST(SeriesSources, EncodingComesFromTheMarkThenUtf8ThenWindows1252)
{
    EXPECT_EQ(Decode_Text("\xEF\xBB\xBFZo\xC3\xAB"), QStringLiteral("Zoë"));
    EXPECT_EQ(Decode_Text(QByteArray("\xFF\xFEZ\0o\0\xEB\0", 8)), QStringLiteral("Zoë"));
    EXPECT_EQ(Decode_Text(QByteArray("\xFE\xFF\0Z\0o\0\xEB", 8)), QStringLiteral("Zoë"));
    EXPECT_EQ(Decode_Text("Zo\xEB \x80"), QStringLiteral("Zoë €"));
    EXPECT_EQ(Decode_Text(QByteArray("PK\3\4\0\0", 6)), std::nullopt);
}

// Hostile files are refused quickly with a reason, whatever their size or nesting.
TEST(SeriesSources, HostileSourcesAreRefusedInBoundedTime)
{
    QTemporaryDir dir;
    const QString huge = dir.filePath(QStringLiteral("huge.csv"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(200LL * 1024 * 1024));
    }
    writeFile(dir.filePath(QStringLiteral("binary.csv")), QByteArray("PK\3\4\x14\0\0\0\x08\0a,b\n", 14));
    writeFile(dir.filePath(QStringLiteral("deep.rtf")),
              "{\\rtf1 " + QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + "}");
    writeFile(dir.filePath(QStringLiteral("plain.rtf")), "Alpha\nBeta\n");
    writeFile(dir.filePath(QStringLiteral("empty.txt")), "");
    writeFile(dir.filePath(QStringLiteral("empty.csv")), "\xEF\xBB\xBF");
    writeFile(dir.filePath(QStringLiteral("separators.csv")), ",,\r\n\r\n , ,\n");
    writeFile(dir.filePath(QStringLiteral("open.csv")), "a,b\r\n\"c,d\"\"\n\re,f\n");
    writeFile(dir.filePath(QStringLiteral("open-cr.csv")), "a\r\rb,\"c\r\"\"\"\r\"d");
    const struct {
        const char *name;
        const char *error;
    } cases[] = {
        {"huge.csv", "Please select a valid file.\n\nThe file is larger than 64 MB."},
        {"binary.csv", "Either file is corrupted or selected file contains invalid characters."},
        {"deep.rtf", "Either file is corrupted or selected file contains invalid characters.\n\n"
                     "The RTF file cannot be read: its groups nest more than 1000 deep."},
        {"plain.rtf", "Either file is corrupted or selected file contains invalid characters.\n\n"
                      "The RTF file cannot be read: it is not an RTF document."},
        {"empty.txt", "The file holds no values: it is empty."},
        {"empty.csv", "The file holds no values: it is empty."},
        {"separators.csv", "The file holds no values: every field is empty."},
        {"missing.txt", "Please select a valid file.\n\nThere is no such file."},
        {"open.csv", "The quote opened on line 2 is never closed."},
        {"open-cr.csv", "The quote opened on line 5 is never closed."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const HangGuard guard(500);
        const SeriesSource source = Read_Text_Source(dir.filePath(QLatin1String(c.name)));
        EXPECT_EQ(source.error, QString::fromUtf8(c.error));
        EXPECT_TRUE(source.values.isEmpty());
    }
    EXPECT_EQ(Text_Values(QStringList(5000, QString(4000, u'x')).join(u'\n')).error,
              QStringLiteral("The source cannot become one series: it is larger than 16 MB, the most a series may be."));
}

// The pictures of a folder by name, in any letter case; sub-folders and other files are not taken.
TEST(SeriesSources, FolderGivesItsPictureFilesSortedByName)
{
    QTemporaryDir dir;
    for (const char *name : {"b.Png", "A.JPG", "c.txt", "photo.tiff.bak", "e.jfif"})
        writeFile(dir.filePath(QLatin1String(name)), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("d.jpg")));
    const SeriesSource source = Picture_Files(dir.path());
    EXPECT_EQ(source.values, (QStringList{dir.filePath("A.JPG"), dir.filePath("b.Png"), dir.filePath("e.jfif")}));
    EXPECT_EQ(Picture_Files(dir.filePath(QStringLiteral("c.txt"))).error, QStringLiteral("Please select valid file path."));
}

// Empty lines take no memory as they are passed over: a file of line breaks alone reads as no
// values (the empty series) within a few times its size (a list of them took twenty times).
TEST(SeriesSources, AFileOfLineBreaksReadsAsNoValuesInMemoryOfItsSize)
{
    QTemporaryDir dir;
    const qint64 size = 16 << 20;
    writeFile(dir.filePath(QStringLiteral("breaks.txt")), QByteArray(size, '\n'));
    SeriesSource source;
    EXPECT_LT(memoryTakenBy([&] { source = Read_Text_Source(dir.filePath(QStringLiteral("breaks.txt"))); }), 6 * size);
    EXPECT_TRUE(source.ok() && source.values.isEmpty()) << source.error.toStdString();
}
