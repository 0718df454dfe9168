#include "CorpusTables.h"
#include "PythonReader.h"
#include "fixtures/TestSupport.h"

#include "datasource/SSZipArchive.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/readers/ZipArchiveReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QString show(const SpreadsheetRows &read)
{
    if (!read.ok())
        return QStringLiteral("error");
    QStringList lines;
    for (const QStringList &row : read.rows)
        lines << QStringLiteral("[") + row.join(QStringLiteral("|")) + QStringLiteral("]");
    return lines.join(QLatin1Char('\n'));
}

QByteArray odsContent(const QByteArray &rows)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><office:document-content xmlns:office="o" xmlns:table="t" xmlns:text="x">)"
           R"(<office:body><office:spreadsheet><table:table table:name="First">)"
           + rows + R"(</table:table><table:table><table:table-row><table:table-cell><text:p>other</text:p></table:table-cell>)"
                    R"(</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>)";
}

QByteArray xml2003(const QByteArray &rows)
{
    return R"(<?xml version="1.0"?><Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">)"
           R"(<Worksheet ss:Name="One"><Table>)"
           + rows + R"(</Table></Worksheet><Worksheet><Table><Row><Cell><Data>other</Data></Cell></Row></Table></Worksheet></Workbook>)";
}

bool writeOds(const QString &path, const QByteArray &content)
{
    SSZipArchive zip(path);
    return zip.open() && zip.writeData("application/vnd.oasis.opendocument.spreadsheet", QStringLiteral("mimetype"), SSZipArchive::Method::Stored)
           && zip.writeData(content, QStringLiteral("content.xml")) && zip.close();
}


// The rows LibreOffice finds in `path`, through its CSV export; nothing when it is not installed.
std::optional<QList<QStringList>> libreOfficeRows(const QString &path, QTemporaryDir &dir)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty())
        return std::nullopt;
    const QString out = dir.filePath(QStringLiteral("csv-") + QFileInfo(path).suffix());
    QProcess convert;
    convert.start(office, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                           QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral("--outdir"), out, path});
    if (!convert.waitForFinished(180000))
        return QList<QStringList>();
    QFile csv(out + QLatin1Char('/') + QFileInfo(path).completeBaseName() + QStringLiteral(".csv"));
    if (!csv.open(QIODevice::ReadOnly))
        return QList<QStringList>();
    // LibreOffice ends records, and lines inside a value, with a line feed alone.
    const QString crlf = dir.filePath(QStringLiteral("crlf.csv"));
    writeFileBytes(crlf, csv.readAll().replace("\n", "\r\n"));
    QList<QStringList> rows = readCsv(crlf);
    for (QStringList &row : rows)
        for (QString &value : row)
            value.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return rows;
}

} // namespace

// Hand-made OpenDocument and XML 2003 tables read as their form says: only the first table,
// repeats expanded up to the last value, cells and rows where their index puts them; what would
// take unbounded memory, or define entities, is refused.
TEST(SpreadsheetForms, ReadTheFirstTableOfEachForm)
{
    const struct {
        const char *what;
        bool ods;
        QByteArray rows;
        const char *expected;
    } cases[] = {
        {"repeats up to the last value", true,
         R"(<table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-repeated="2"><text:p>x</text:p></table:table-cell>)"
         R"(<table:table-cell table:number-columns-repeated="1000000000"/></table:table-row>)"
         R"(<table:table-row table:number-rows-repeated="3"/><table:table-row><table:table-cell/><table:covered-table-cell/><table:table-cell><text:p>y</text:p></table:table-cell></table:table-row>)"
         R"(<table:table-row table:number-rows-repeated="1000000000"><table:table-cell table:number-columns-repeated="1000000000"/></table:table-row>)",
         "[x|x|]\n[x|x|]\n[||]\n[||]\n[||]\n[||y]"},
        {"a value repeated 1,000,000,000 columns", true,
         R"(<table:table-row><table:table-cell table:number-columns-repeated="1000000000"><text:p>x</text:p></table:table-cell></table:table-row>)", "error"},
        {"a row of values repeated 1,000,000,000 times", true,
         R"(<table:table-row table:number-rows-repeated="1000000000"><table:table-cell><text:p>x</text:p></table:table-cell></table:table-row>)", "error"},
        {"header rows and row groups, paragraphs and blanks", true,
         R"(<table:table-header-rows><table:table-row><table:table-cell><text:p><text:s text:c="2"/>padded<text:s text:c="2"/></text:p></table:table-cell></table:table-row></table:table-header-rows>)"
         R"(<table:table-row-group><table:table-row><table:table-cell><text:p>line one</text:p><text:p>a <text:span>b</text:span><text:tab/>c<text:line-break/>d</text:p>)"
         R"(<office:annotation><text:p>note</text:p></office:annotation></table:table-cell></table:table-row></table:table-row-group>)"
         R"(<table:table-row><table:table-cell><text:p>  folded   blanks  </text:p></table:table-cell></table:table-row>)",
         "[  padded  ]\n[line one\na b\tc\nd]\n[folded blanks]"},
        {"cells placed by index, rows by index and span", false,
         R"(<Row><Cell><Data>a</Data></Cell><Cell ss:Index="3"><Data>c</Data></Cell></Row>)"
         R"(<Row ss:Index="4" ss:Span="1"><Cell ss:MergeAcross="1"><ss:Data><B>b</B>old</ss:Data></Cell><Cell><Data>z</Data></Cell></Row><Row ss:Span="5"/>)",
         "[a||c]\n[||]\n[||]\n[bold||z]\n[bold||z]"},
        {"a cell placed before the one written before it", false, R"(<Row><Cell ss:Index="3"/><Cell ss:Index="2"/></Row>)", "error"},
        {"a billion laughs", false, QByteArray(), "error"},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SpreadsheetRows read;
        if (c.ods) {
            const QString path = dir.filePath(QStringLiteral("case.ods"));
            ASSERT_TRUE(writeOds(path, odsContent(c.rows)));
            read = SpreadsheetWriter::ReadODS(path);
        } else {
            QByteArray document = xml2003(c.rows);
            if (c.rows.isEmpty()) {
                QByteArray entities = "<!DOCTYPE Workbook [<!ENTITY lol0 \"lol\">";
                for (int i = 1; i < 10; ++i)
                    entities += QStringLiteral("<!ENTITY lol%1 \"%2\">").arg(i).arg(QStringLiteral("&lol%1;").arg(i - 1).repeated(10)).toUtf8();
                document = "<?xml version=\"1.0\"?>" + entities + "]>" + xml2003("<Row><Cell><Data>&lol9;</Data></Cell></Row>").mid(21);
            }
            const QString path = dir.filePath(QStringLiteral("case.xml"));
            ASSERT_TRUE(writeFileBytes(path, document));
            read = SpreadsheetWriter::ReadWorksheetXML2004(path);
        }
        EXPECT_EQ(show(read), QString::fromUtf8(c.expected)) << read.error.toStdString();
    }
}

// Characters XML cannot carry, however a file holds them (raw bytes, references, "_xHHHH_" in
// shared and inline strings), read as U+FFFD in the sheet names and cells of every form, so that a
// design bound to them always saves.
TEST(SpreadsheetForms, CharactersXmlCannotCarryReadAsReplacements)
{
    QTemporaryDir dir;
    const QString xlsx = dir.filePath("case.xlsx"), ods = dir.filePath("case.ods"), xml = dir.filePath("case.xml");
    SSZipArchive zip(xlsx);
    ASSERT_TRUE(zip.open());
    for (const auto &[name, bytes] : {
             std::pair{"xl/workbook.xml", QByteArray(R"(<workbook xmlns:r="r"><sheets><sheet name="S&#1;" r:id="rId1"/></sheets></workbook>)")},
             {"xl/_rels/workbook.xml.rels", R"(<Relationships><Relationship Id="rId1" Target="worksheets/sheet1.xml"/></Relationships>)"},
             {"xl/sharedStrings.xml", "<sst><si><t>c_xFFFE_d</t></si><si><t>_xFFFF__x0000_</t></si><si><r><t>_xD800_x</t></r></si></sst>"},
             {"xl/worksheets/sheet1.xml", R"(<worksheet><sheetData><row><c t="s"><v>0</v></c><c t="s"><v>1</v></c><c t="s"><v>2</v></c>)"
                                          R"(<c t="inlineStr"><is><t>&#1;_x001F__xDC00_</t></is></c><c t="str"><v>)" "\x02&#xFFFE;</v></c></row>"
                                          "</sheetData></worksheet>"}})
        ASSERT_TRUE(zip.writeData(bytes, QString::fromLatin1(name)));
    ASSERT_TRUE(zip.close());
    ASSERT_TRUE(writeOds(ods, odsContent("<table:table-row><table:table-cell><text:p>a&#xFFFF;b\x01</text:p></table:table-cell></table:table-row>")
                                  .replace("\"First\"", "\"F&#x1F;\"")));
    ASSERT_TRUE(writeFileBytes(xml, xml2003("<Row><Cell><Data>&#xFFFE;\x03_xFFFE_</Data></Cell></Row>").replace("\"One\"", "\"O\x01\"")));
    const QString r(QChar::ReplacementCharacter);
    const std::pair<QString, QString> cases[] = {{xlsx, "S" + r + "|[c" + r + "d|" + r + r + "|" + r + "x|" + r + r + r + "|" + r + r + "]"},
                                                 {ods, "F" + r + "|[a" + r + "b" + r + "]"},
                                                 {xml, "O" + r + "|[" + r + r + "_xFFFE_]"}};
    for (const auto &[path, expected] : cases)
        EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(path).sheets.value(0).name + u'|' + show(SpreadsheetWriter::ReadData(path, 1)), expected);
}

// Both forms written here read back the same here and in LibreOffice; the package keeps the
// template's parts, "mimetype" first and stored, for Python's zip reader too.
TEST(SpreadsheetForms, WrittenFilesReadBackHereAndInLibreOffice)
{
    AppFixture app;
    const QList<QStringList> written{{"Name", "Code", "Amount"},
                                     {"  padded  ", "007", "12.5"},
                                     {"A&B <tag> \"q\"", "", "-2"},
                                     {"tab", "line one\nline two", "1,5"},
                                     {"Zoë 東京 😀", "a  b", "1e3", "wider"}};
    QList<QStringList> expected = written;
    for (QStringList &row : expected)
        row.resize(4);
    QTemporaryDir dir;
    const QString ods = dir.filePath(QStringLiteral("series.ods")), xml = dir.filePath(QStringLiteral("series.xml"));
    QString error;
    ASSERT_TRUE(SpreadsheetWriter::WriteODS(ods, written, true, &error)) << error.toStdString();
    ASSERT_TRUE(SpreadsheetWriter::WriteWorksheetXML2004(xml, written, &error)) << error.toStdString();
    EXPECT_EQ(SpreadsheetWriter::ReadODS(ods).rows, expected);
    EXPECT_EQ(SpreadsheetWriter::ReadWorksheetXML2004(xml).rows, expected);
    // LibreOffice drops tabs in cells: they are read back here only.
    const QString tabs = dir.filePath(QStringLiteral("tabs.ods"));
    ASSERT_TRUE(SpreadsheetWriter::WriteODS(tabs, {{"\ta\t\tb\t"}}, false));
    EXPECT_EQ(SpreadsheetWriter::ReadODS(tabs).rows, QList<QStringList>{{"\ta\t\tb\t"}});
    // The picker opens both through the workbook interface, as one sheet.
    EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(ods).sheets, (QList<SpreadsheetWriter::Sheet>{{"Sheet1", 1}}));
    EXPECT_EQ(SpreadsheetWriter::ReadData(xml, 1).rows, expected);
    EXPECT_FALSE(SpreadsheetWriter::WriteODS(ods, {{QStringLiteral("bell\x07")}}, true, &error));
    EXPECT_EQ(SpreadsheetWriter::ReadODS(ods).rows, expected);

    // Readers sniff the type from the file's first bytes: the first local header, its name and its
    // data, with no extra field or data descriptor between them; none in its central entry either.
    const std::optional<QString> entries = runPython(QStringLiteral(R"(
import struct, sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
print(' '.join('%s:%d' % (i.filename, i.compress_type) for i in z.infolist()))
head, first = open(sys.argv[1], 'rb').read(200), z.infolist()[0]
flags, extra = struct.unpack('<H', head[6:8])[0], struct.unpack('<H', head[28:30])[0]
print(head[:4].hex(), flags & 8, extra, len(first.extra), head[30:30 + first.file_size + 8].decode())
)"),
                                                     {ods});
    if (entries) {
        EXPECT_EQ(*entries, QStringLiteral("mimetype:0 META-INF/manifest.xml:8 content.xml:8 styles.xml:8 meta.xml:8\n"
                                           "504b0304 0 0 0 mimetypeapplication/vnd.oasis.opendocument.spreadsheet"));
    }

    for (const QString &path : {ods, xml}) {
        SCOPED_TRACE(path.toStdString());
        const std::optional<QList<QStringList>> converted = libreOfficeRows(path, dir);
        if (!converted)
            GTEST_SKIP() << "libreoffice is not installed";
        EXPECT_EQ(*converted, expected);
    }
}

// Every form cuts a cell at 32767 characters, never inside a surrogate pair, nor before what a
// workbook writes as "_xHHHH_" is read as one character, with one log line for
// the sheet, and refuses a sheet of more than 64 MB of text however the file repeats it: 2048 full
// cells fit, 2049 do not. The fuzz seed that asks 536,870,912 blanks of one cell gives 32767.
TEST(SpreadsheetForms, CutLongCellsAndRefuseSheetsOfTooMuchText)
{
    const QByteArray x40k(40000, 'x'), cell = "<table:table-row><table:table-cell", p = "<text:p>", endP = "</text:p>";
    const QString tooMuch = QStringLiteral("The sheet holds more than 64 MB of text.");
    const struct {
        const char *file;
        QByteArray content, sharedStrings;
        QString expected;
    } cases[] = {
        {"", {}, {}, "32767"},
        {"case.ods", odsContent(cell + ">" + p + x40k + endP + "</table:table-cell><table:table-cell>" + p + "<text:s text:c=\"20000\"/>a"
                                + endP + p + x40k + endP + "</table:table-cell></table:table-row>"), {}, "32767|32767"},
        {"case.ods", odsContent(cell + " table:number-columns-repeated=\"2049\">" + p + "<text:s text:c=\"32767\"/>" + endP
                                + "</table:table-cell></table:table-row>"), {}, tooMuch},
        {"case.xml", xml2003("<Row ss:Span=\"2047\"><Cell><Data>" + x40k + "</Data></Cell></Row>"), {}, "32767"},
        {"case.xml", xml2003("<Row ss:Span=\"2048\"><Cell><Data>" + x40k + "</Data></Cell></Row>"), {}, tooMuch},
        {"case.xlsx", "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>" + QByteArray(32766, 'y') + "😀</t></is></c></row></sheetData></worksheet>",
         {}, "32766"},
        {"case.xlsx", "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>" + QByteArray("_x000D_").repeated(32768)
                          + "</t></is></c><c t=\"s\"><v>0</v></c></row></sheetData></worksheet>",
         "<sst><si><t>" + QByteArray("_x000D_").repeated(40000) + "</t></si></sst>", "32767|32767"},
        {"case.xlsx", "<worksheet><sheetData><row>" + QByteArray(R"(<c t="s"><v>0</v></c>)").repeated(2049) + "</row></sheetData></worksheet>",
         "<sst><si><t>" + x40k + "</t></si></sst>", tooMuch},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.content.left(200).constData());
        const QString path = *c.file ? dir.filePath(QString::fromLatin1(c.file)) : dataFile(QStringLiteral("evil-blanks.ods"));
        SSZipArchive zip(path);
        const QString suffix = QFileInfo(path).suffix();
        ASSERT_TRUE(!*c.file || (suffix == QLatin1String("ods") && writeOds(path, c.content))
                    || (suffix == QLatin1String("xml") && writeFileBytes(path, c.content))
                    || (zip.open() && zip.writeData(c.content, QStringLiteral("xl/worksheets/sheet1.xml"))
                        && (c.sharedStrings.isEmpty() || zip.writeData(c.sharedStrings, QStringLiteral("xl/sharedStrings.xml"))) && zip.close()));
        LogCapture log;
        const SpreadsheetRows read = SpreadsheetWriter::ReadData(path, 1);
        QStringList lengths;
        for (const QString &value : read.rows.value(0))
            lengths << QString::number(value.size());
        EXPECT_EQ(read.ok() ? lengths.join(u'|') : read.error, c.expected);
        EXPECT_EQ(log.lines().size(), read.ok() ? 1 : 0) << log.lines().join(u'\n').toStdString();
    }
}

// A number whose format shows a date or time reads as openpyxl reads it, in ISO form, in either date
// system, and a length of time in hours; every other number reads as stored. LibreOffice wrote lo-dates (from one flat OpenDocument
// source; lo-dates-1904 with its null date in 1904) as .xlsx, .ods and XML 2003, and lo-times (and
// lo-times-1904) as .xlsx and .ods: every form reads
// its dates alike. openpyxl writes the other workbooks here.
TEST(SpreadsheetForms, DatesReadAsDatesInEveryForm)
{
    const QString script = QStringLiteral(R"(
import datetime as dt, json, sys, openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904
def clock(t): return "%02d:%02d" % (t.hour, t.minute) + (":%02d" % t.second if t.second else "")
def show(v):
    if v is None: return ""
    if isinstance(v, dt.datetime): return v.date().isoformat() + ("" if v.time() == dt.time() else " " + clock(v.time()))
    if isinstance(v, dt.time): return clock(v)
    if isinstance(v, dt.timedelta):
        s = round(v.total_seconds())
        return "%02d:%02d" % (s // 3600, s // 60 % 60) + (":%02d" % (s % 60) if s % 60 else "")
    return repr(v) if isinstance(v, float) else str(v)
for path in sys.argv[1:]:
    if "openpyxl" in path:
        wb = openpyxl.Workbook()
        if "1904" in path: wb.epoch = CALENDAR_MAC_1904
        ws = wb.active
        for value, form in ((dt.datetime(2023, 7, 15), "yyyy-mm-dd"), (dt.datetime(2023, 7, 15, 14, 30), "m/d/yy h:mm"),
                            (dt.time(14, 30, 5), "h:mm:ss"), (dt.datetime(1999, 12, 31), "d\\.mmmm\\ yyyy"), (dt.datetime(2023, 7, 15), 14),
                            (dt.datetime(2000, 2, 29, 23, 59, 59), '[$-409]dddd, "the" d'), (45122, "General"), (12.5, '#,##0.00\\ "€"'),
                            (0.25, "0%"), (45122, '"day" 0'), (7, "[Red]0.00"), ("2023-07-15", "@"),
                            (dt.timedelta(hours=36, minutes=5), "[h]:mm"), (dt.timedelta(hours=50), 46)):
            ws.append([value])
            cell = ws.cell(ws.max_row, 1)
            if isinstance(form, int): cell.number_format = openpyxl.styles.numbers.BUILTIN_FORMATS[form]
            else: cell.number_format = form
        wb.save(path)
    print(json.dumps([[show(v) for v in row] for row in openpyxl.load_workbook(path, data_only=True).active.iter_rows(values_only=True)], ensure_ascii=False, separators=(",", ":")))
)");
    QTemporaryDir dir;
    const QStringList workbooks{dataFile(QStringLiteral("lo-dates.xlsx")), dataFile(QStringLiteral("lo-dates-1904.xlsx")),
                                dataFile(QStringLiteral("lo-times.xlsx")), dataFile(QStringLiteral("lo-times-1904.xlsx")),
                                dir.filePath(QStringLiteral("openpyxl.xlsx")), dir.filePath(QStringLiteral("openpyxl-1904.xlsx"))};
    const std::optional<QString> openpyxl = runPython(script, workbooks, {QStringLiteral("openpyxl")});
    if (!openpyxl)
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not installed";
    const QStringList expected = openpyxl->split(u'\n');
    ASSERT_EQ(expected.size(), workbooks.size()) << openpyxl->toStdString();
    for (qsizetype i = 0; i < workbooks.size(); ++i) {
        SCOPED_TRACE(workbooks[i].toStdString());
        QJsonArray rows;
        for (const QStringList &row : SpreadsheetWriter::ReadData(workbooks[i], 1).rows)
            rows.append(QJsonArray::fromStringList(row));
        EXPECT_EQ(QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact)), expected[i]);
    }
    EXPECT_TRUE(expected[0].contains(QStringLiteral("[\"Zoë\",\"2023-07-15\",\"2023-07-15 14:30\",\"14:30\",\"45122\"]")));

    // Where the other forms keep a date, they read it as the workbook does; .ods cells that are no
    // dates read as they are shown. LibreOffice keeps a date-time in a clock-only format as a time
    // of so many hours after its null date, a length of time in hours as hours.
    const struct {
        const char *form;
        qsizetype workbook, columns;
    } forms[] = {{"lo-dates.ods", 0, 4}, {"lo-dates.xml", 0, 4}, {"lo-times.ods", 2, 6}, {"lo-times-1904.ods", 3, 6}};
    for (const auto &[form, workbook, columns] : forms) {
        SCOPED_TRACE(form);
        const QList<QStringList> dates = SpreadsheetWriter::ReadData(workbooks[workbook], 1).rows;
        QList<QStringList> read = SpreadsheetWriter::ReadData(dataFile(QString::fromLatin1(form)), 1).rows;
        ASSERT_EQ(read.size(), dates.size());
        for (qsizetype r = 0; r < read.size(); ++r)
            EXPECT_EQ(read[r].mid(0, columns), dates[r].mid(0, columns));
    }
}
