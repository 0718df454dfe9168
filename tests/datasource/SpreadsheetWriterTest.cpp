#include "CorpusTables.h"
#include "PeakMemory.h"
#include "PythonReader.h"
#include "fixtures/TestSupport.h"

#include "datasource/SSZipArchive.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/readers/ZipArchiveReader.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString show(const QList<QStringList> &rows)
{
    QStringList lines;
    for (const QStringList &row : rows)
        lines << QStringLiteral("[") + row.join(QStringLiteral("|")) + QStringLiteral("]");
    return lines.join(QLatin1Char('\n'));
}

} // namespace

// Workbooks written by LibreOffice and openpyxl, and the one table of LibreOffice's OpenDocument and
// XML 2003 files, read as the reference reader read them.
TEST(SpreadsheetWriter, ReadsEachSheetOfTheCorpusAsExpected)
{
    struct Case {
        QString workbook;
        int sheet;
        QString expected;
    };
    QList<Case> cases{{"lo-plain.xlsx", 1, "lo-plain.expected.csv"},
                      {"lo-features.xlsx", 1, "lo-features.sheet1.expected.csv"},
                      {"lo-features.xlsx", 2, "lo-features.sheet2.expected.csv"},
                      {"openpyxl-features.xlsx", 1, "openpyxl-features.sheet1.expected.csv"},
                      {"openpyxl-features.xlsx", 2, "openpyxl-features.sheet2.expected.csv"},
                      {"lo-repeated.ods", 1, "lo-repeated.expected.csv"},
                      {"lo-xml2003.xml", 1, "lo-xml2003.expected.csv"}};
    for (int sheet = 1; sheet <= 12; ++sheet)
        cases.append({"lo-twelve-sheets.xlsx", sheet, QStringLiteral("lo-twelve-sheets.sheet%1.expected.csv").arg(sheet)});

    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        const QList<QStringList> expected = readCsv(dataFile(c.expected));
        ASSERT_FALSE(expected.isEmpty());
        const SpreadsheetRows read = SpreadsheetWriter::ReadData(dataFile(c.workbook), c.sheet);
        ASSERT_TRUE(read.ok()) << read.error.toStdString();
        EXPECT_EQ(show(read.rows), show(expected));
        EXPECT_EQ(read.columnCount, expected.first().size());
        // The titles are the first row.
        EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(dataFile(c.workbook), c.sheet).rows, expected.mid(0, 1));
    }
}

// A read of the first rows gives what a whole read starts with, and stops there: a file broken past
// those rows, which a whole read refuses, still gives them, and opens with its sheet's name.
TEST(SpreadsheetWriter, ReadsOnlyTheFirstRowsWhenLimited)
{
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(QStringLiteral("broken.xlsx"));
    SSZipArchive zip(xlsx);
    ASSERT_TRUE(zip.open());
    ASSERT_TRUE(zip.writeData("<sst><si><t>Name</t></si><si><t>Ann</t></si><si><t>Bo</t></si>",
                              QStringLiteral("xl/sharedStrings.xml")));
    ASSERT_TRUE(zip.writeData("<worksheet><sheetData><row r=\"1\"><c t=\"s\"><v>0</v></c><c/></row>"
                              "<row r=\"2\"><c t=\"s\"><v>1</v></c></row><row r=\"3\"><c t=\"s\"><v>2</v></c></row><row><c",
                              QStringLiteral("xl/worksheets/sheet1.xml")));
    ASSERT_TRUE(zip.close());
    const QString xml = dir.filePath(QStringLiteral("broken.xml"));
    QFile file(xml);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<Workbook><Worksheet Name=\"Guests\"><Table><Row><Cell><Data>Name</Data></Cell><Cell/></Row><Row/>"
               "<Row><Cell><Data>Ann</Data></Cell></Row><Row><Cell><Data>Bo</Data></Cell></Row><Row><Cell>");
    file.close();
    const QString ods = dir.filePath(QStringLiteral("broken.ods"));
    SSZipArchive package(ods);
    ASSERT_TRUE(package.open());
    ASSERT_TRUE(package.writeData("<document-content><body><spreadsheet><table name=\"Guests\"><table-row><table-cell><p>Name</p>"
                                  "</table-cell></table-row><table-row><table-cell><p>Ann</p></table-cell></table-row><table-row>",
                                  QStringLiteral("content.xml")));
    ASSERT_TRUE(package.close());

    // The XML 2003 file's empty row counts only before a value, as in a whole read, and its empty
    // cell does not widen the table.
    const struct {
        QString path;
        QList<QStringList> firstRows, titles;
        QString sheet;
    } cases[] = {{xlsx, {{"Name", ""}, {"Ann", ""}}, {{"Name", "Untitled Column 2"}}, "sheet1"},
                 {xml, {{"Name"}, {""}}, {{"Name"}}, "Guests"},
                 {ods, {{"Name"}, {"Ann"}}, {{"Name"}}, "Guests"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_FALSE(SpreadsheetWriter::ReadData(c.path, 1).ok());
        EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(c.path).sheets, (QList<SpreadsheetWriter::Sheet>{{c.sheet, 1}}));
        const SpreadsheetRows first = SpreadsheetWriter::ReadData(c.path, 1, 2);
        ASSERT_TRUE(first.ok()) << first.error.toStdString();
        EXPECT_EQ(first.rows, c.firstRows);
        EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(c.path, 1).rows, c.titles);
    }
    for (const char *name : {"lo-features.xlsx", "lo-repeated.ods", "lo-xml2003.xml"}) {
        SCOPED_TRACE(name);
        const SpreadsheetRows whole = SpreadsheetWriter::ReadData(dataFile(name), 1);
        ASSERT_GT(whole.rows.size(), 2);
        EXPECT_EQ(SpreadsheetWriter::ReadData(dataFile(name), 1, 2).rows, whole.rows.mid(0, 2));
    }
}

TEST(SpreadsheetWriter, ListsWorksheetsInNumericOrderWithTheirNames)
{
    const SpreadsheetWriter::Workbook workbook = SpreadsheetWriter::ReadWorkbook(dataFile("lo-twelve-sheets.xlsx"));
    ASSERT_TRUE(workbook.ok()) << workbook.error.toStdString();
    EXPECT_EQ(workbook.worksheets, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(workbook.sheetNames.join(u' '), QStringLiteral("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec"));
    EXPECT_EQ(workbook.sheets.value(9), (SpreadsheetWriter::Sheet{QStringLiteral("Oct"), 10}));
}

// A sheet is the part its relationship names, whatever its place; a chart sheet is no worksheet.
TEST(SpreadsheetWriter, OffersTheSheetsInTheWorkbooksOrderByTheirRelationships)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("moved.xlsx"));
    const QByteArray rel = "<Relationship Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    SSZipArchive zip(path);
    ASSERT_TRUE(zip.open());
    for (const auto &[name, xml] : {
             std::pair{"xl/workbook.xml", QByteArray("<workbook xmlns:x=\"r\"><sheets><sheet name=\"Two\" x:id=\"rId7\"/>"
                                                   "<sheet name=\"Chart\" x:id=\"rId2\"/><sheet name=\"One\" x:id=\"rId3\"/>"
                                                   "</sheets></workbook>")},
             {"xl/_rels/workbook.xml.rels", "<Relationships>" + rel + "worksheet\" Id=\"rId7\" Target=\"worksheets/sheet2.xml\"/>" +
                                                rel + "chartsheet\" Id=\"rId2\" Target=\"chartsheets/sheet1.xml\"/>" + rel +
                                                "worksheet\" Id=\"rId3\" Target=\"/xl/worksheets/sheet1.xml\"/></Relationships>"},
             {"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>one</t></is></c></row></sheetData></worksheet>"},
             {"xl/worksheets/sheet2.xml", "<worksheet><sheetData><row><c><v>2</v></c></row></sheetData></worksheet>"}})
        ASSERT_TRUE(zip.writeData(xml, QString::fromLatin1(name)));
    ASSERT_TRUE(zip.close());
    const SpreadsheetWriter::Workbook workbook = SpreadsheetWriter::ReadWorkbook(path);
    EXPECT_EQ(workbook.sheets, (QList<SpreadsheetWriter::Sheet>{{"Two", 2}, {"One", 1}}));
    EXPECT_EQ(SpreadsheetWriter::ReadData(path, workbook.sheets[1].worksheet).rows, QList<QStringList>{{"one"}});
}

// What is written reads back unchanged here and in openpyxl: texts that look like numbers keep
// their characters, real numbers are numeric cells, short rows are padded.
TEST(SpreadsheetWriter, WrittenWorkbookReadsBackHereAndInAnIndependentReader)
{
    AppFixture app;
    QStringList wide;
    for (int i = 1; i <= 28; ++i)
        wide << QString::number(i * 10);
    const QList<QStringList> written{{"Batch Value", "", "City"},
                                     {"007", "12.5", "-2"},
                                     {"123456789012345678", "1,5", "1e3"},
                                     {"  padded  ", "A&B <tag> \"q\"", "line one\nline two"},
                                     {"Zoë Ångström", "東京 Tōkyō", "Ελληνικά 😀"},
                                     wide};
    QList<QStringList> expected = written;
    for (QStringList &row : expected)
        row.resize(28);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("series.xlsx"));
    QString error;
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, written, false, &error)) << error.toStdString();

    const SpreadsheetRows read = SpreadsheetWriter::ReadData(path, 1);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(show(read.rows), show(expected));
    EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(path, 1).rows.value(0).mid(0, 3),
              QStringList({"Batch Value", "Untitled Column 2", "City"}));
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(path).sheetNames, QStringList{"Sheet1"});

    const std::optional<QString> openpyxl = runPython(QStringLiteral(R"(
import json, sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
rows = [["" if v is None else repr(v) if isinstance(v, float) else str(v) for v in r] for r in ws.iter_rows(values_only=True)]
print(json.dumps([rows, ws["A2"].data_type + ws["B2"].data_type + ws["C2"].data_type + ws["AB6"].data_type]))
)"),
                                                      {path}, {QStringLiteral("openpyxl")});
    if (!openpyxl)
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not installed";
    const QJsonArray answer = QJsonDocument::fromJson(openpyxl->toUtf8()).array();
    ASSERT_EQ(answer.size(), 2) << openpyxl->toStdString();
    QList<QStringList> independent;
    for (const QJsonValue &row : answer.at(0).toArray())
        independent << row.toVariant().toStringList();
    EXPECT_EQ(show(independent), show(expected));
    EXPECT_EQ(answer.at(1).toString(), QStringLiteral("snnn"));
}

// The template's parts stay, in its order; without a template nothing is written.
TEST(SpreadsheetWriter, SheetPartDeclaresItsSizeAndSharedStringsTheirCount)
{
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("three.xlsx"));
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, {{"title"}, {"5"}, {"x"}}, true));
    ZipArchiveReader zip(path);
    EXPECT_EQ(zip.entryNames(), ZipArchiveReader(app.resourcePath() + QStringLiteral("Template.xlsx")).entryNames());
    QString error;
    QFile::remove(app.resourcePath() + QStringLiteral("Template.xlsx"));
    EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(dir.filePath(QStringLiteral("none.xlsx")), {{"x"}}, true, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Template.xlsx"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("none.xlsx"))));
    // The parts are indented: compared without the blanks between elements.
    const auto part = [&](const char *name) {
        return zip.read(QString::fromLatin1(name)).value_or(QByteArray()).simplified().replace("> <", "><");
    };
    const QByteArray sheet = part("xl/worksheets/sheet1.xml"), strings = part("xl/sharedStrings.xml");
    EXPECT_TRUE(sheet.contains(R"(<dimension ref="A1:A3" />)")) << sheet.constData();
    EXPECT_TRUE(sheet.contains(R"(<c r="A2"><v>5</v></c>)")) << sheet.constData();
    EXPECT_TRUE(strings.contains(R"(count="2" uniqueCount="2")")) << strings.constData();
}

// A value XML cannot hold fails the write with its place and leaves the file that was there.
TEST(SpreadsheetWriter, RefusesCharactersXmlCannotHold)
{
    AppFixture app;
    const QList<std::pair<QString, bool>> cases{
        {QStringLiteral("tab\there"), true},          {QStringLiteral("Ελληνικά 😀"), true},
        {QStringLiteral("bell\x07"), false},          {QStringLiteral("nul") + QChar(0), false},
        {QString(QChar(0xD83D)) + u'x', false},       {QString(QChar(0xDE00)), false},
        {QString(QChar(0xFFFE)), false},              {QString(QChar(0xD83D)), false},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.xlsx"));
    for (const auto &[value, storable] : cases) {
        SCOPED_TRACE(value.toStdString());
        QFile empty(path);
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
        empty.close();
        QString error;
        EXPECT_EQ(SpreadsheetWriter::WriteWorkbook(path, {{"title", "x"}, {"a", value}}, true, &error), storable);
        if (storable) {
            EXPECT_EQ(SpreadsheetWriter::ReadData(path, 1).rows.value(1), QStringList({"a", value}));
        } else {
            EXPECT_EQ(error, QStringLiteral("The value in row 2, column 2 holds a character a workbook cannot store."));
            EXPECT_EQ(QFileInfo(path).size(), 0);
        }
    }
}

// LibreOffice, converting what is written to CSV, finds the same table.
TEST(SpreadsheetWriter, WrittenWorkbookConvertsInLibreOffice)
{
    AppFixture app;
    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "libreoffice is not installed";
    const QList<QStringList> written{{"Name", "Code", "Amount"}, {"Zoë Ångström", "007", "12.5"},
                                     {"A&B <tag> \"q\"", "", "-2"}, {"東京", "1,5", "1e3"}};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("series.xlsx"));
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, written, true));
    QProcess convert;
    convert.setWorkingDirectory(dir.path());
    convert.start(office, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                           QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral("--outdir"),
                           dir.path(), path});
    ASSERT_TRUE(convert.waitForFinished(180000));
    QFile csv(dir.filePath(QStringLiteral("series.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << convert.readAllStandardError().constData();
    // LibreOffice ends records with a line feed alone; no value here holds one.
    QFile crlf(dir.filePath(QStringLiteral("crlf.csv")));
    ASSERT_TRUE(crlf.open(QIODevice::WriteOnly) && crlf.write(csv.readAll().replace("\n", "\r\n")) > 0);
    crlf.close();
    const QList<QStringList> converted = readCsv(crlf.fileName());
    EXPECT_EQ(show(converted), show(written));
}

// Sheets as other writers may make them read as the document reader read them: prefixed names,
// CDATA, references and line ends, runs without their phonetic text, a shared index trimmed,
// formulas by their cached value, a cell without a reference after the one before. An index
// outside the table, the table's length included, reads as "" with one log line for the sheet.
// Malformed references, undefined entities and type declarations fail.
TEST(SpreadsheetWriter, ReadsSheetsAsOtherWritersMakeThem)
{
    const QByteArray strings =
        R"(<x:sst xmlns:x="m"><x:si><x:t>zero</x:t></x:si><x:si><x:r><x:t>a</x:t></x:r><x:r><x:t xml:space="preserve"> b </x:t></x:r>)"
        "<x:rPh><x:t>ph</x:t></x:rPh></x:si><x:si><x:t><![CDATA[<cd>]]>&amp;&#x41;&#128512;\r\nz</x:t></x:si></x:sst>";
    const std::pair<QByteArray, const char *> cases[] = {
        {R"(<worksheet><dimension ref="A1:C1"/><sheetData><row><c t="s"><v> 1 </v></c></row></sheetData></worksheet>)", "[a b ||]"},
        {R"(<x:worksheet xmlns:x="m"><x:sheetData><x:row><x:c t="s"><x:v>2</x:v></x:c><x:c t="s"><x:v>3</x:v></x:c>)"
         R"(<x:c t="s"><x:v>4</x:v></x:c><x:c t="s"><x:v>-1</x:v></x:c></x:row></x:sheetData></x:worksheet>)",
         "[<cd>&A😀\nz|||]"},
        {R"(<worksheet><sheetData><row/><row><c r="B2"><f>1+1</f><v>2</v></c><c t="inlineStr"><is><t>in</t><r><t>line</t></r>)"
         R"(<rPh><t>no</t></rPh></is></c><c><v>  </v></c></row></sheetData></worksheet>)",
         "[|||]\n[|2|inline|  ]"},
        {R"(<worksheet><sheetData><row><c r="a1"><v>1</v></c></row></sheetData></worksheet>)", "error"},
        {R"(<worksheet><sheetData><row><c><v>&foo;</v></c></row></sheetData></worksheet>)", "error"},
        {R"(<!DOCTYPE worksheet [<!ENTITY a "b">]><worksheet><sheetData><row><c><v>&a;</v></c></row></sheetData></worksheet>)", "error"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("made.xlsx"));
    for (const auto &[sheet, expected] : cases) {
        SCOPED_TRACE(sheet.constData());
        SSZipArchive zip(path);
        ASSERT_TRUE(zip.open() && zip.writeData(sheet, QStringLiteral("xl/worksheets/sheet1.xml"))
                    && zip.writeData(strings, QStringLiteral("xl/sharedStrings.xml")) && zip.close());
        LogCapture log;
        const SpreadsheetRows read = SpreadsheetWriter::ReadData(path, 1);
        EXPECT_EQ(read.ok() ? show(read.rows) : QStringLiteral("error"), QString::fromUtf8(expected)) << read.error.toStdString();
        EXPECT_EQ(log.lines(), sheet.contains("<x:v>4") ? QStringList{"made.xlsx, worksheet 1: 3 cell(s) name no string of the 3 "
                                                                       "shared strings and read as empty."}
                                                        : QStringList());
    }
}

// A shared-string table is held to 64 MB, each string counted by its characters and what keeping it
// costs: workbooks of a few hundred KB whose tables took 459 to 666 MB are refused, saying why, in a
// fraction of that, though the sheet names one string; their titles, which need only that one, read.
TEST(SpreadsheetWriter, SharedStringsAreHeldToTheBoundOfASheetsText)
{
    const QString script = QStringLiteral(R"(
import sys, zipfile
path, count, length = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
item = b"<si><t>" + b"x" * length + b"</t></si>"
batch = max(1, (1 << 20) // len(item))
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    z.writestr("xl/worksheets/sheet1.xml", '<worksheet><sheetData><row><c t="s"><v>0</v></c></row></sheetData></worksheet>')
    with z.open("xl/sharedStrings.xml", "w") as part:
        part.write(b"<sst>")
        for done in range(0, count, batch):
            part.write(item * min(batch, count - done))
        part.write(b"</sst>")
)");
    const struct {
        int count, length;
    } cases[] = {{8000, 32767}, {7500000, 17}, {8000000, 1}};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("strings.xlsx"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.count);
        const std::optional<QString> made = runPython(script, {path, QString::number(c.count), QString::number(c.length)});
        if (!made)
            GTEST_SKIP() << "/usr/bin/python3 is not installed";
        ASSERT_EQ(*made, QString());
        const qint64 before = peakMemory(true);
        if (before < 0)
            GTEST_SKIP() << "the system does not tell the peak memory";
        const SpreadsheetRows read = SpreadsheetWriter::ReadData(path, 1);
        EXPECT_LT(peakMemory(false) - before, 256 << 20);
        EXPECT_EQ(read.error, QStringLiteral("The workbook's shared strings hold more than 64 MB of text."));
        EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(path, 1).rows.value(0).value(0).size(), c.length);
    }
}
