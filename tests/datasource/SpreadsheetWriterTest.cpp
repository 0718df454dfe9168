#include "CorpusTables.h"
#include "PeakMemory.h"
#include "PythonReader.h"
#include "fixtures/TestSupport.h"

#include "datasource/SSZipArchive.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/readers/SheetRowsBuilder.h"
#include "datasource/readers/ZipArchiveReader.h"

#include <QDir>
#include "fixtures/HangGuard.h"
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

// A workbook's own parts are read bounded: whatever they hold, listing the sheets costs little
// memory and time. A part whose list does not end within the bound, or that lists more sheets than
// the archive has entries, leaves the sheets under their part names.
TEST(SpreadsheetWriter, ListsTheSheetsOfAnyWorkbookInBoundedMemoryAndTime)
{
    // Each part is its name, then its head, an item written `count` times, and its tail.
    const QString script = QStringLiteral(R"(
import sys, zipfile
args = sys.argv[2:]
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    z.writestr("xl/worksheets/sheet1.xml", "<worksheet/>")
    z.writestr("xl/worksheets/sheet2.xml", "<worksheet/>")
    for name, head, item, count, tail in zip(*[iter(args)] * 5):
        with z.open(name, "w", force_zip64=True) as part:
            part.write(head.encode())
            for done in range(0, int(count), 65536):
                part.write(item.encode() * min(65536, int(count) - done))
            part.write(tail.encode())
)");
    const QString rels = QStringLiteral("<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>");
    const QString sheets = QStringLiteral("<workbook><sheets><sheet name=\"One\" r:id=\"rId1\"/>");
    const QList<SpreadsheetWriter::Sheet> one{{"One", 1}}, byParts{{"sheet1", 1}, {"sheet2", 2}};
    const struct {
        const char *what;
        QStringList parts;
        QList<SpreadsheetWriter::Sheet> offered;
    } cases[] = {
        {"8 M empty elements in both parts",
         {"xl/workbook.xml", "<workbook>", "<a/>", "8000000", "</workbook>", "xl/_rels/workbook.xml.rels", "<Relationships>", "<a/>",
          "8000000", "</Relationships>"},
         byParts},
        {"both parts filled with elements and attributes to the bound",
         {"xl/_rels/workbook.xml.rels", rels, "<a " + QStringLiteral("b=\"\" ").repeated(1000) + "/>", "800", "</Relationships>",
          "xl/workbook.xml", sheets, "<a " + QStringLiteral("b=\"\" ").repeated(1000) + "/>", "800", "</sheets></workbook>"},
         one},
        {"one tag of three million attributes", {"xl/_rels/workbook.xml.rels", rels + "<a ", "b=\"\" ", "3000000", "/></Relationships>"}, byParts},
        {"2,000,000 sheets", {"xl/_rels/workbook.xml.rels", rels, "", "0", "</Relationships>", "xl/workbook.xml", sheets,
                              "<sheet name=\"S\" r:id=\"rId1\"/>", "2000000", "</sheets></workbook>"}, byParts},
        {"100,000 sheets within the bound", {"xl/_rels/workbook.xml.rels", rels, "", "0", "</Relationships>", "xl/workbook.xml", sheets,
                                             "<sheet name=\"S\" r:id=\"rId1\"/>", "100000", "</sheets></workbook>"},
         byParts},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("parts.xlsx"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<QString> made = runPython(script, QStringList{path} + c.parts);
        if (!made)
            GTEST_SKIP() << "/usr/bin/python3 is not installed";
        ASSERT_EQ(*made, QString());
        SpreadsheetWriter::Workbook workbook;
        qint64 used = 0;
        {
            const HangGuard guard(6000); // the relationships part is read to its 4 MB bound
            used = memoryTakenBy([&] { workbook = SpreadsheetWriter::ReadWorkbook(path); });
        }
        EXPECT_LT(used, 64 << 20);
        EXPECT_EQ(workbook.sheets, c.offered);
    }
}

// A workbook's own parts are read only as far as they are needed: a long tail after the sheet list,
// or styles swollen before their cell formats, cost neither the names nor the dates, nor does a
// long comment before a list that ends within the bound. Styles whose
// cell formats do not come within the bound refuse the sheet, whose dates would read as numbers. A
// sheet list that cannot be read leaves every sheet under its part name; a sheet listed many times
// is offered once.
TEST(SpreadsheetWriter, ReadsAWorkbooksOwnPartsAsFarAsTheyAreNeeded)
{
    const QString script = QStringLiteral(R"(
import datetime, io, sys, zipfile, openpyxl
out, form = sys.argv[1], sys.argv[2]
wb = openpyxl.Workbook()
wb.active.title = "Guests"
wb.active["A1"] = datetime.date(2023, 7, 15)
wb.create_sheet("Prices")["A1"] = 2
wb.create_sheet("Notes")["A1"] = "n"
b = io.BytesIO()
wb.save(b)
parts = {n: zipfile.ZipFile(b).read(n) for n in zipfile.ZipFile(b).namelist()}
book, styles = parts["xl/workbook.xml"], parts["xl/styles.xml"]
second = book.index(b"/>", book.index(b"<sheet ", book.index(b"<sheet ") + 1)) + 2
if form in ("names", "comment"):
    book = book.replace(b"<definedNames/>", b"<definedNames>" + b"".join(
        b"<definedName name=\"n%d\">Guests!$A$1</definedName>" % i for i in range(110000)) + b"</definedNames>")
elif form in ("styles", "huge styles"):
    styles = styles.replace(b"<cellStyleXfs count=\"1\">", b"<cellStyleXfs>" +
        b"<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>" * (400000 if form == "styles" else 1400000))
elif form == "damaged":
    book = book[:second] + b"<sheet name=\"Notes\" r:id=\"rId3\"<</workbook>"
elif form == "date system":
    book = book.replace(b"<workbookPr/>", b"<workbookPr<")
elif form == "unclosed":
    book = book.replace(b"</sheets>", b"")
elif form == "repeated":
    book = book[:second] + book[book.index(b"<sheet "):second] * 3 + book[second:]
if form == "comment":
    book = book.replace(b"<sheets>", b"<!--" + b"c" * 2100000 + b"-->" + b" " * 300000 + b"<sheets>")
parts["xl/workbook.xml"], parts["xl/styles.xml"] = book, styles
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    for name, data in parts.items():
        z.writestr(name, data)
)");
    const char *named = "Guests:1 Prices:2 Notes:3", *byParts = "sheet1:1 sheet2:2 sheet3:3";
    const char *date = "2023-07-15";
    const struct {
        const char *form, *offered;
        const char *firstCell; // or the reason of the refusal
    } cases[] = {
        {"plain", named, date},
        {"names", named, date},
        {"styles", named, date},
        {"huge styles", named,
         "The workbook's styles cannot be read, so its dates cannot be told from numbers. What is needed of the part "
         "\"xl/styles.xml\" does not come within its first 64 MB."},
        {"damaged", byParts, date},
        {"unclosed", byParts, date},
        {"date system", byParts, "The workbook's date system cannot be read. The part \"xl/workbook.xml\" cannot be read. It is not well-formed XML near byte 76."},
        {"repeated", named, date},
        {"comment", named, date},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.form);
        const QString path = dir.filePath(QLatin1String(c.form) + QStringLiteral(".xlsx"));
        const std::optional<QString> made = runPython(script, {path, QLatin1String(c.form)}, {QStringLiteral("openpyxl")});
        if (!made)
            GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not installed";
        ASSERT_EQ(*made, QString());
        QStringList offered;
        for (const SpreadsheetWriter::Sheet &sheet : SpreadsheetWriter::ReadWorkbook(path).sheets)
            offered << sheet.name + u':' + QString::number(sheet.worksheet);
        EXPECT_EQ(offered.join(u' ').toStdString(), c.offered);
        const SpreadsheetRows read = SpreadsheetWriter::ReadData(path, 1);
        EXPECT_EQ((read.ok() ? read.rows.value(0).value(0) : read.error).toStdString(), c.firstCell);
    }
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

// Texts that look like a workbook's "_xHHHH_" escapes and carriage returns read back as written in
// every form and in openpyxl's decoding of the .xlsx (an .ods cell turns "\r" into a line break). A
// character XML cannot hold is kept so in the .xlsx and reads here as U+FFFD; the other forms
// refuse it with its place and write no file.
TEST(SpreadsheetWriter, WrittenTextsReadBackAsWrittenInEveryForm)
{
    AppFixture app;
    const QString same, r(QChar::ReplacementCharacter);
    const QString refused = QStringLiteral("The value in row 1, column 1 holds a character a workbook cannot store.|0");
    const struct {
        QString text, xlsx, ods, xml;
    } cases[] = {
        {"SKU_x0041_", same, same, same},
        {"plain_x005F_text", same, same, same},
        {"_x000D_", same, same, same},
        {"_x00e9__X0041_ _x12_ __x0041__ _x004G_", same, same, same},
        {"a\rb\r\nc", same, "a\nb\nc", same},
        {"😀_xD83D__xDE00_", same, same, same},
        {"bell\x07", "bell" + r, refused, refused},
        {QString(QChar(0xFFFE)) + "_xFFFF_" + QChar(0xFFFF), r + "_xFFFF_" + r, refused, refused},
        {QString(QChar(0xD800)) + "x" + QChar(0xDE00), r + "x" + r, refused, refused},
        {QStringLiteral("nul") + QChar(0), "nul" + r, refused, refused},
    };
    const char *const forms[] = {"xlsx", "ods", "xml"};
    const auto write = [](int form, const QString &p, const QList<QStringList> &d, QString *e) {
        return form == 0   ? SpreadsheetWriter::WriteWorkbook(p, d, false, e)
               : form == 1 ? SpreadsheetWriter::WriteODS(p, d, false, e)
                           : SpreadsheetWriter::WriteWorksheetXML2004(p, d, e);
    };
    QTemporaryDir dir;
    QList<QStringList> all;
    for (const auto &c : cases) {
        all.append({c.text});
        const QString expected[] = {c.xlsx, c.ods, c.xml};
        for (int form = 0; form < 3; ++form) {
            SCOPED_TRACE((c.text + u' ' + forms[form]).toStdString());
            const QString path = dir.filePath(QString::number(all.size()) + u'.' + forms[form]);
            QString error;
            const QString read = write(form, path, {{c.text}}, &error)
                                     ? SpreadsheetWriter::ReadData(path, 1).rows.value(0).value(0)
                                     : error + u'|' + QString::number(QFileInfo::exists(path));
            EXPECT_EQ(read, expected[form].isNull() ? c.text : expected[form]);
        }
    }

    // openpyxl's loader drops "x005F_": its own decoder reads the shared strings, as UTF-16 units.
    const QString path = dir.filePath(QStringLiteral("all.xlsx"));
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, all, false));
    const std::optional<QString> openpyxl = runPython(QStringLiteral(R"(
import sys, zipfile, openpyxl
from openpyxl.cell.text import Text
from openpyxl.utils.escape import unescape
from openpyxl.xml.constants import SHEET_MAIN_NS
from openpyxl.xml.functions import fromstring
assert openpyxl.load_workbook(sys.argv[1]).active.max_row == int(sys.argv[2])
items = fromstring(zipfile.ZipFile(sys.argv[1]).read("xl/sharedStrings.xml")).iter("{%s}si" % SHEET_MAIN_NS)
print("\n".join(unescape(Text.from_tree(si).content).encode("utf-16-le", "surrogatepass").hex() for si in items))
)"),
                                                      {path, QString::number(all.size())}, {QStringLiteral("openpyxl")});
    if (!openpyxl)
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not installed";
    QStringList units;
    for (const QStringList &row : all)
        units << QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(row[0].utf16()), row[0].size() * 2).toHex());
    EXPECT_EQ(*openpyxl, units.join(u'\n'));
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
// formulas by their cached value, a cell without a reference after the one before, characters kept
// as "_xHHHH_" (openpyxl 3.0 leaves those as written). An index
// outside the table, the table's length included, reads as "" with one log line for the sheet.
// Malformed references, undefined entities and type declarations fail.
TEST(SpreadsheetWriter, ReadsSheetsAsOtherWritersMakeThem)
{
    const QByteArray strings =
        R"(<x:sst xmlns:x="m"><x:si><x:t>zero</x:t></x:si><x:si><x:r><x:t>a</x:t></x:r><x:r><x:t xml:space="preserve"> b </x:t></x:r>)"
        "<x:rPh><x:t>ph</x:t></x:rPh></x:si><x:si><x:t><![CDATA[<cd>]]>&amp;&#x41;&#128512;\r\nz</x:t></x:si>"
        "<x:si><x:t>12 High St_x000D_\nLeeds _x005F_x000D_ _x005f_ _xD83D__xDE00_ _x12_ _X000D_ _x00e9</x:t></x:si></x:sst>";
    const std::pair<QByteArray, const char *> cases[] = {
        {R"(<worksheet><dimension ref="A1:C1"/><sheetData><row><c t="s"><v> 1 </v></c></row></sheetData></worksheet>)", "[a b ||]"},
        {R"(<x:worksheet xmlns:x="m"><x:sheetData><x:row><x:c t="s"><x:v>2</x:v></x:c><x:c t="s"><x:v>5</x:v></x:c>)"
         R"(<x:c t="s"><x:v>4</x:v></x:c><x:c t="s"><x:v>-1</x:v></x:c></x:row></x:sheetData></x:worksheet>)",
         "[<cd>&A😀\nz|||]"},
        {R"(<worksheet><sheetData><row><c t="s"><v>3</v></c><c t="inlineStr"><is><t>Tab_x0009_here</t></is></c></row></sheetData></worksheet>)",
         "[12 High St\r\nLeeds _x000D_ _ 😀 _x12_ _X000D_ _x00e9|Tab\there]"},
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
        EXPECT_EQ(log.lines(), sheet.contains("<x:v>4") ? QStringList{"made.xlsx, worksheet 1: 3 cell(s) name no string of the 4 "
                                                                       "shared strings and read as empty."}
                                                        : QStringList());
    }
}

// A shared-string table is held as its sheet holds text: it costs its characters, each string cut to
// what a cell keeps as it is read and shared by every cell that names it. A table holding more text
// or more strings than a sheet may is refused, saying why, in a fraction of what it asks, though
// the sheet names one string; its titles, which need only that one, read. A member list of
// distinct texts reads.
TEST(SpreadsheetWriter, SharedStringsAreHeldAsASheetHoldsItsText)
{
    // `cells` cells in rows of `columns`, cell k naming string k % count; string k starts with k.
    const QString script = QStringLiteral(R"(
import sys, zipfile
path, count, length, cells, columns = sys.argv[1], *map(int, sys.argv[2:])
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=1) as z:
    with z.open("xl/worksheets/sheet1.xml", "w") as part:
        part.write(b"<worksheet><sheetData>")
        for first in range(0, cells, columns):
            part.write(b"<row>" + b"".join(b'<c t="s"><v>%d</v></c>' % (k % count) for k in range(first, min(first + columns, cells))) + b"</row>")
        part.write(b"</sheetData></worksheet>")
    with z.open("xl/sharedStrings.xml", "w") as part:
        part.write(b"<sst>")
        for first in range(0, count, 10000):
            part.write(b"".join(b"<si><t>%s</t></si>" % (b"%d" % k + b"x" * length)[:length] for k in range(first, min(first + 10000, count))))
        part.write(b"</sst>")
)");
    const struct {
        const char *what;
        int count, length, cells, columns;
        QString error;
        qint64 maxMemory;
    } cases[] = {
        {"8,000 texts of 32,767 characters", 8000, 32767, 1, 1, "The workbook's shared strings hold more than 64 MB of text.", 200},
        {"one string past the strings a sheet may have", 4000001, 1, 1, 1, "The workbook holds more than 4000000 shared strings.", 100},
        {"a member list of 100,000 rows of 30 distinct texts", 3000000, 12, 3000000, 30, "", 600},
        {"480 long texts named by alternate cells", 480, 131000, 1920, 2, "", 150},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("strings.xlsx"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<QString> made =
            runPython(script, {path, QString::number(c.count), QString::number(c.length), QString::number(c.cells), QString::number(c.columns)});
        if (!made)
            GTEST_SKIP() << "/usr/bin/python3 is not installed";
        ASSERT_EQ(*made, QString());
        SpreadsheetRows read;
        const qint64 used = memoryTakenBy([&] { read = SpreadsheetWriter::ReadData(path, 1); });
        EXPECT_LT(used, (c.maxMemory << 20) + kQuarantine);
        EXPECT_EQ(read.error, c.error);
        const int kept = std::min<int>(c.length, SheetRowsBuilder::kMaxCellText);
        if (read.ok()) {
            ASSERT_EQ(read.rows.size(), c.cells / c.columns);
            const qsizetype last = c.cells - 1;
            EXPECT_EQ(read.rows.last().last(), QString(QString::number(last % c.count) + QString(c.length, u'x')).left(kept));
        }
        EXPECT_EQ(SpreadsheetWriter::ReadData_only_column(path, 1).rows.value(0).value(0).size(), kept);
    }
}
