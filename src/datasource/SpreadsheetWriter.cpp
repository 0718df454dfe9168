#include "datasource/SpreadsheetWriter.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "datasource/SSZipArchive.h"
#include "datasource/SheetRowsBuilder.h"
#include "datasource/XmlPullReader.h"
#include "datasource/ZipArchiveReader.h"
#include "platform/RegularFile.h"
#include "platform/SafeFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>

#include <pugixml.hpp>

#include <algorithm>
#include <deque>
#include <cstring>
#include <new>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Elements a small part may hold before it is parsed as a document: a parsed node costs some fifty
// bytes, so the bytes of a part alone do not bound the memory its document takes.
constexpr qsizetype kMaxMarkup = 8 * 1024 * 1024;

const char kMainNamespace[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char kRelationshipsNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The column number from 1 of a reference's leading capital letters ("AB12" gives 28), within a
// sheet's width; 0 when there are none or too many.
int columnOf(std::string_view reference)
{
    int column = 0;
    for (const char c : reference) {
        if (c < 'A' || c > 'Z')
            break;
        column = column * 26 + (c - 'A' + 1);
        if (column > SheetRowsBuilder::kMaxColumns)
            return 0;
    }
    return column;
}

// The small parts (workbook, relationships) as documents.
bool parsePart(ZipArchiveReader &zip, const QString &name, pugi::xml_document &document, QString *error)
{
    std::optional<QByteArray> bytes = zip.read(name);
    if (!bytes) {
        *error = zip.errorString();
        return false;
    }
    if (bytes->count('<') > kMaxMarkup) {
        *error = QStringLiteral("The part \"%1\" holds too many elements.").arg(name);
        return false;
    }
    const pugi::xml_parse_result parsed =
        document.load_buffer(bytes->constData(), size_t(bytes->size()), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!parsed) {
        *error = QStringLiteral("The part \"%1\" cannot be read: %2 at byte %3.")
                     .arg(name, QString::fromUtf8(parsed.description()))
                     .arg(parsed.offset);
        return false;
    }
    return true;
}

QString worksheetPart(int sheetNumber)
{
    return QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheetNumber);
}

// N of the part name "xl/worksheets/sheetN.xml"; 0 for any other name.
int worksheetNumber(const QString &part)
{
    const QLatin1String prefix("xl/worksheets/sheet"), suffix(".xml");
    if (!part.startsWith(prefix) || !part.endsWith(suffix))
        return 0;
    const QStringView digits = QStringView(part).mid(prefix.size(), part.size() - prefix.size() - suffix.size());
    bool isNumber = false;
    const int number = digits.size() <= 7 && !digits.startsWith(u'0') ? digits.toInt(&isNumber) : 0;
    return isNumber && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }) ? number : 0;
}

// The worksheet parts a workbook's relationships name, by relationship id. A target is relative
// to the folder "xl" unless it starts with "/".
QMap<QString, int> worksheetRelationships(const pugi::xml_document &relationships)
{
    QMap<QString, int> parts;
    for (const pugi::xpath_node &relationship :
         relationships.select_nodes("/*[local-name()='Relationships'][1]/*[local-name()='Relationship']")) {
        const QString target = QString::fromUtf8(relationship.node().attribute("Target").value());
        const int number = worksheetNumber(target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target);
        if (number > 0)
            parts.insert(QString::fromUtf8(relationship.node().attribute("Id").value()), number);
    }
    return parts;
}

// The relationship id of a workbook's sheet: its attribute "id" of the relationships namespace,
// under whatever prefix.
QString relationshipId(const pugi::xml_node &sheet)
{
    for (const pugi::xml_attribute &attribute : sheet.attributes()) {
        const char *colon = std::strrchr(attribute.name(), ':');
        if (colon && std::strcmp(colon + 1, "id") == 0)
            return QString::fromUtf8(attribute.value());
    }
    return {};
}

// Reads a document token by token from `xml`; `handle` sees every start, end and text token and
// answers false to stop with the handler's own error. `sourceError` tells why the bytes stopped.
template <typename SourceError, typename Handler>
bool pumpTokens(XmlPullReader &xml, const QString &name, SourceError &&sourceError, QString *error, Handler &&handle)
{
    for (;;) {
        const XmlPullReader::Token token = xml.readNext();
        if (token == XmlPullReader::EndDocument)
            return true;
        if (token == XmlPullReader::Invalid) {
            *error = xml.errorString().isEmpty() ? sourceError()
                                                 : QStringLiteral("The part \"%1\" cannot be read. %2").arg(name, xml.errorString());
            return false;
        }
        if (!handle(xml, token))
            return false;
    }
}

// A large part of a package, inflated piece by piece as it is parsed.
template <typename Handler>
bool streamPart(ZipArchiveReader &zip, const QString &name, QString *error, Handler &&handle)
{
    if (!zip.openEntry(name, ZipArchiveReader::kMaxStreamedSize)) {
        *error = zip.errorString();
        return false;
    }
    XmlPullReader xml([&zip](char *buffer, std::size_t capacity) { return zip.readPiece(buffer, capacity); });
    return pumpTokens(xml, name, [&zip] { return zip.errorString(); }, error, handle);
}

// A document file, read piece by piece as it is parsed; a regular file only.
template <typename Handler>
bool streamFile(const QString &path, QString *error, Handler &&handle)
{
    QFile file(path);
    if (!platform::isRegularFile(path) || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("\"%1\" is not a file that can be read.").arg(QFileInfo(path).fileName());
        return false;
    }
    QString readError;
    qint64 total = 0;
    XmlPullReader xml([&](char *buffer, std::size_t capacity) -> std::ptrdiff_t {
        const qint64 got = file.read(buffer, qint64(capacity));
        total += std::max<qint64>(got, 0);
        if (got < 0)
            readError = file.errorString();
        else if (total > ZipArchiveReader::kMaxStreamedSize)
            readError = QStringLiteral("The file is larger than %1 MB.").arg(ZipArchiveReader::kMaxStreamedSize >> 20);
        return readError.isEmpty() ? std::ptrdiff_t(got) : -1;
    });
    return pumpTokens(xml, QFileInfo(path).fileName(), [&] { return readError; }, error, handle);
}

// A cell's text as a reader gathers it, in UTF-8. Past more bytes than the characters a cell keeps
// can take, the rest is dropped as it comes, so that a cell costs little whatever the file repeats
// in it; SheetRowsBuilder then cuts the text to its exact length.
class CellText {
public:
    static constexpr std::size_t kMaxBytes = 4 * std::size_t(SheetRowsBuilder::kMaxCellText);

    void append(std::string_view text) { m_bytes.append(text.substr(0, room())); }
    void append(std::size_t count, char c) { m_bytes.append(std::min(count, room()), c); }
    void clear() { m_bytes.clear(); }
    std::size_t size() const { return m_bytes.size(); }
    bool empty() const { return m_bytes.empty(); }
    std::string_view bytes() const { return m_bytes; }
    QString toString() const { return QString::fromUtf8(m_bytes); }

private:
    std::size_t room() const { return kMaxBytes - m_bytes.size(); }
    std::string m_bytes;
};

// The text of a shared-string item or an inline string at `depth`: its <t> children and the <t>
// of its <r> runs, without the phonetic runs.
struct ItemText {
    int depth = 0; // of the item; 0 outside one
    int runDepth = 0, textDepth = 0;
    CellText text;

    void begin(int itemDepth)
    {
        depth = itemDepth;
        runDepth = textDepth = 0;
        text.clear();
    }
    // Whether the token was inside the item.
    bool take(const XmlPullReader &xml, XmlPullReader::Token token)
    {
        if (depth == 0)
            return false;
        const int d = token == XmlPullReader::EndElement ? xml.depth() + 1 : xml.depth();
        if (token == XmlPullReader::StartElement) {
            if (d == depth + 1 && xml.nameIs("t"))
                textDepth = d;
            else if (d == depth + 1 && xml.nameIs("r"))
                runDepth = d;
            else if (runDepth && d == runDepth + 1 && xml.nameIs("t"))
                textDepth = d;
        } else if (token == XmlPullReader::Characters) {
            if (d == textDepth)
                text.append(xml.text());
        } else if (d == textDepth) {
            textDepth = 0;
        } else if (d == runDepth) {
            runDepth = 0;
        } else if (d == depth) {
            depth = 0;
        }
        return true;
    }
};

// A shared-string table may name more strings than a sheet holds cells, but not without bound.
constexpr qsizetype kMaxSharedStrings = 2 * SheetRowsBuilder::kMaxCells;

bool readSharedStrings(ZipArchiveReader &zip, const QString &part, QStringList &strings, QString *error)
{
    bool inTable = false;
    ItemText item;
    return streamPart(zip, part, error, [&](const XmlPullReader &xml, XmlPullReader::Token token) {
        if (item.take(xml, token)) {
            if (item.depth == 0)
                strings << item.text.toString();
            return true;
        }
        if (token != XmlPullReader::StartElement)
            return true;
        if (xml.depth() == 1) {
            inTable = xml.nameIs("sst");
        } else if (inTable && xml.depth() == 2 && xml.nameIs("si")) {
            if (strings.size() >= kMaxSharedStrings) {
                *error = QStringLiteral("The workbook holds more than %1 shared strings.").arg(kMaxSharedStrings);
                return false;
            }
            item.begin(2);
        }
        return true;
    });
}

// The index a shared-string cell holds, as the number its text reads as once trimmed; -1 for none.
qint64 sharedIndex(std::string_view text)
{
    if (!text.empty() && text.size() <= 18 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        qint64 index = 0;
        for (const char c : text)
            index = index * 10 + (c - '0');
        return index;
    }
    bool isIndex = false;
    const qint64 index = QString::fromUtf8(text).trimmed().toLongLong(&isIndex);
    return isIndex ? index : -1;
}

// The sheet's rows as its part writes them, read straight from the archive into rows. The shared
// strings are read beside the sheet: a shared-string cell is noted and filled in at the end.
// Hands on why the rows passed a bound, stopping the read.
bool rowsFailed(const SheetRowsBuilder &rows, QString *error)
{
    *error = rows.error();
    return false;
}

class SheetReader {
public:
    // A cell whose index names no string of the table reads as "", said once for the sheet.
    void fillSharedStrings(const QStringList &strings, const QString &sheet)
    {
        const qsizetype count = strings.size();
        qsizetype unnamed = 0;
        for (const SharedCell &cell : m_sharedCells) {
            if (cell.index >= count) {
                ++unnamed;
                continue;
            }
            if (const QString &value = strings.at(cell.index); !value.isEmpty() && !m_rows.fill(cell.row, int(cell.column), value))
                break;
        }
        m_sharedCells.clear();
        if (unnamed > 0 && !m_rows.failed())
            Show_NSLog_Message(QStringLiteral("%1: %2 cell(s) name no string of the %3 shared strings and read as empty.")
                                   .arg(sheet)
                                   .arg(unnamed)
                                   .arg(count));
    }

    bool take(const XmlPullReader &xml, XmlPullReader::Token token, QString *error)
    {
        if (m_inline.take(xml, token))
            return true;
        const int d = token == XmlPullReader::EndElement ? xml.depth() + 1 : xml.depth();
        if (token == XmlPullReader::Characters) {
            if (d == m_valueDepth)
                m_value.append(xml.text());
            return true;
        }
        if (token == XmlPullReader::EndElement) {
            if (d == m_valueDepth)
                m_valueDepth = 0;
            else if (d == 4 && m_inCell)
                return endCell(error);
            else if (d == 3 && m_inRow) {
                m_inRow = false;
                return m_rows.endRow() || rowsFailed(m_rows, error);
            } else if (d == 2)
                m_inSheetData = false;
            return true;
        }
        switch (d) {
        case 1:
            m_inWorksheet = xml.nameIs("worksheet");
            break;
        case 2:
            if (!m_inWorksheet)
                break;
            if (xml.nameIs("dimension") && !m_dimensionSeen) {
                m_dimensionSeen = true;
                const std::string *ref = xml.attribute("ref");
                std::string_view range = ref ? std::string_view(*ref) : std::string_view();
                if (const std::size_t colon = range.find(':'); colon != std::string_view::npos)
                    range.remove_prefix(colon + 1);
                return m_rows.widen(columnOf(range)) || rowsFailed(m_rows, error);
            }
            if (xml.nameIs("sheetData") && !m_sheetDataSeen)
                m_sheetDataSeen = m_inSheetData = true;
            break;
        case 3:
            if (m_inSheetData && xml.nameIs("row")) {
                m_inRow = true;
                m_column = 0;
                m_rows.beginRow();
            }
            break;
        case 4:
            if (m_inRow && xml.nameIs("c"))
                return beginCell(xml, error);
            break;
        case 5:
            if (!m_inCell)
                break;
            if (xml.nameIs("v") && !m_valueSeen) {
                m_valueSeen = true;
                m_valueDepth = 5;
            } else if (xml.nameIs("is") && !m_inlineSeen) {
                m_inlineSeen = true;
                m_inline.begin(5);
            }
            break;
        default:
            break;
        }
        return true;
    }

    SpreadsheetRows finish(const QString &sheet) { return m_rows.finish(sheet); }

private:
    bool beginCell(const XmlPullReader &xml, QString *error)
    {
        const std::string *reference = xml.attribute("r");
        // A cell without a reference follows the one before it.
        m_column = reference ? columnOf(*reference) : m_column + 1;
        if (m_column < 1 || m_column > SheetRowsBuilder::kMaxColumns) {
            *error = QStringLiteral("The worksheet has a cell with the malformed reference \"%1\".")
                         .arg(reference ? QString::fromStdString(*reference) : QString());
            return false;
        }
        const std::string *type = xml.attribute("t");
        m_type = !type ? Type::Other : *type == "s" ? Type::Shared : *type == "inlineStr" ? Type::Inline : Type::Other;
        m_inCell = true;
        m_valueSeen = m_inlineSeen = false;
        m_value.clear();
        m_inline.text.clear();
        return true;
    }

    bool endCell(QString *error)
    {
        m_inCell = false;
        QString value;
        if (m_type == Type::Shared) {
            // No table holds more than kMaxSharedStrings: that index, like any outside the table,
            // names nothing.
            const qint64 index = sharedIndex(m_value.bytes());
            if (!m_value.empty())
                m_sharedCells.push_back({quint32(m_rows.rowCount()), quint32(m_column),
                                         quint32(index >= 0 && index < kMaxSharedStrings ? index : kMaxSharedStrings)});
        } else if (m_type == Type::Inline) {
            value = m_inline.text.toString();
        } else if (!m_value.empty()) {
            value = m_value.toString();
        }
        return m_rows.setCell(m_column, value) || rowsFailed(m_rows, error);
    }

    enum class Type { Other, Shared, Inline };
    struct SharedCell {
        quint32 row, column, index;
    };
    std::deque<SharedCell> m_sharedCells; // grows without copying itself
    SheetRowsBuilder m_rows{SheetRowsBuilder::EmptyRows::Kept};
    bool m_inWorksheet = false, m_dimensionSeen = false, m_sheetDataSeen = false, m_inSheetData = false;
    bool m_inRow = false, m_inCell = false, m_valueSeen = false, m_inlineSeen = false;
    int m_column = 0, m_valueDepth = 0;
    Type m_type = Type::Other;
    CellText m_value;
    ItemText m_inline;
};

SpreadsheetRows readSheet(const QString &path, int sheetNumber)
{
    ZipArchiveReader zip(path);
    if (!zip.isOpen())
        return SpreadsheetRows::failure(zip.errorString());
    if (sheetNumber < 1 || !zip.contains(worksheetPart(sheetNumber)))
        return SpreadsheetRows::failure(QStringLiteral("The workbook has no worksheet %1.").arg(sheetNumber));

    // The shared strings are read on a thread of their own, through an archive handle of its own.
    QStringList sharedStrings;
    QString sharedError;
    const QString sharedPart = QStringLiteral("xl/sharedStrings.xml");
    std::jthread sharedReader;
    if (zip.contains(sharedPart))
        sharedReader = std::jthread([&] {
            try {
                ZipArchiveReader own(path);
                if (!own.isOpen())
                    sharedError = own.errorString();
                else
                    readSharedStrings(own, sharedPart, sharedStrings, &sharedError);
            } catch (const std::bad_alloc &) {
                sharedError = QStringLiteral("There is not enough memory to read the workbook.");
            }
        });

    QString error;
    SheetReader sheet;
    const bool read = streamPart(zip, worksheetPart(sheetNumber), &error,
                                 [&](const XmlPullReader &xml, XmlPullReader::Token token) { return sheet.take(xml, token, &error); });
    if (sharedReader.joinable())
        sharedReader.join();
    if (!sharedError.isEmpty())
        return SpreadsheetRows::failure(sharedError);
    if (!read)
        return SpreadsheetRows::failure(error);
    const QString name = QStringLiteral("%1, worksheet %2").arg(QFileInfo(path).fileName()).arg(sheetNumber);
    sheet.fillSharedStrings(sharedStrings, name);
    return sheet.finish(name);
}

// The other spreadsheet forms.

// A repeat count of an attribute ("number-columns-repeated", a row's "Span" plus one), within what
// a sheet may hold: 1 where it is missing or malformed.
qint64 countOf(const std::string *attribute, qint64 fallback = 1)
{
    if (!attribute || attribute->empty() || attribute->size() > 10
        || !std::all_of(attribute->begin(), attribute->end(), [](char c) { return c >= '0' && c <= '9'; }))
        return fallback;
    return std::min<qint64>(std::stoll(*attribute), SheetRowsBuilder::kMaxRows + 1);
}

// The text of an OpenDocument cell: its paragraphs joined by line breaks. Within a paragraph a run
// of blanks in the XML is one space and blanks at its ends go, while <text:s/>, <text:tab/> and
// <text:line-break/> give their characters; notes and annotations are not the cell's text.
class OdsCellText {
public:
    void begin(int cellDepth)
    {
        m_cellDepth = cellDepth;
        m_paragraphDepth = m_skipDepth = 0;
        m_text.clear();
        m_paragraphs = 0;
    }
    void take(const XmlPullReader &xml, XmlPullReader::Token token)
    {
        const int d = token == XmlPullReader::EndElement ? xml.depth() + 1 : xml.depth();
        if (m_skipDepth) {
            if (token == XmlPullReader::EndElement && d == m_skipDepth)
                m_skipDepth = 0;
            return;
        }
        if (token == XmlPullReader::StartElement) {
            if (d == m_cellDepth + 1 && (xml.nameIs("p") || xml.nameIs("h"))) {
                if (m_paragraphs++ > 0)
                    m_text.append(1, '\n');
                m_paragraphDepth = d;
                m_paragraphStart = m_text.size();
                m_blank = false;
            } else if (m_paragraphDepth && (xml.nameIs("note") || xml.nameIs("annotation"))) {
                m_skipDepth = d;
            } else if (m_paragraphDepth && xml.nameIs("s")) {
                append(std::size_t(countOf(xml.attribute("c"))), ' ');
            } else if (m_paragraphDepth && xml.nameIs("tab")) {
                append(1, '\t');
            } else if (m_paragraphDepth && xml.nameIs("line-break")) {
                append(1, '\n');
            }
        } else if (token == XmlPullReader::Characters && m_paragraphDepth) {
            for (const char c : xml.text()) {
                if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                    m_blank = m_text.size() > m_paragraphStart;
                } else {
                    append(1, c);
                }
            }
        } else if (token == XmlPullReader::EndElement && d == m_paragraphDepth) {
            m_paragraphDepth = 0;
        }
    }
    QString text() const { return m_text.toString(); }

private:
    void append(std::size_t count, char c)
    {
        if (m_blank)
            m_text.append(1, ' ');
        m_blank = false;
        m_text.append(count, c);
    }

    int m_cellDepth = 0, m_paragraphDepth = 0, m_skipDepth = 0, m_paragraphs = 0;
    std::size_t m_paragraphStart = 0;
    bool m_blank = false;
    CellText m_text;
};

// The rows of the first table of an OpenDocument spreadsheet's content, row groups and header rows
// included; repeated cells and rows are expanded up to the last value.
class OdsReader {
public:
    QString tableName;

    bool take(const XmlPullReader &xml, XmlPullReader::Token token, QString *error)
    {
        const int d = token == XmlPullReader::EndElement ? xml.depth() + 1 : xml.depth();
        if (m_cellDepth && !(token == XmlPullReader::EndElement && d == m_cellDepth)) {
            m_cell.take(xml, token);
            return true;
        }
        if (token == XmlPullReader::StartElement) {
            if (d <= 3) {
                static constexpr std::string_view kPath[] = {"document-content", "body", "spreadsheet"};
                m_pathDepth = m_pathDepth == d - 1 && xml.nameIs(kPath[d - 1]) ? d : std::min(m_pathDepth, d - 1);
            } else if (d == 4 && m_pathDepth == 3 && !m_tableDone && !m_tableDepth && xml.nameIs("table")) {
                m_tableDepth = m_chainDepth = 4;
                const std::string *name = xml.attribute("name");
                tableName = name ? QString::fromStdString(*name) : QString();
            } else if (m_tableDepth && !m_rowDepth && d == m_chainDepth + 1) {
                if (xml.nameIs("table-header-rows") || xml.nameIs("table-row-group") || xml.nameIs("table-rows")) {
                    m_chainDepth = d;
                } else if (xml.nameIs("table-row")) {
                    m_rowDepth = d;
                    m_rowRepeat = countOf(xml.attribute("number-rows-repeated"));
                    m_column = 1;
                    m_rows.beginRow();
                }
            } else if (m_rowDepth && d == m_rowDepth + 1 && (xml.nameIs("table-cell") || xml.nameIs("covered-table-cell"))) {
                m_cellDepth = d;
                m_cellRepeat = countOf(xml.attribute("number-columns-repeated"));
                m_cell.begin(d);
            }
            return true;
        }
        if (token != XmlPullReader::EndElement)
            return true;
        if (d == m_cellDepth) {
            m_cellDepth = 0;
            const QString value = m_cell.text();
            if (!value.isEmpty() && !m_rows.setCell(m_column, value, m_cellRepeat))
                return rowsFailed(m_rows, error);
            m_column += m_cellRepeat;
        } else if (d == m_rowDepth) {
            m_rowDepth = 0;
            if (!m_rows.endRow(m_rowRepeat))
                return rowsFailed(m_rows, error);
        } else if (m_tableDepth && d == m_chainDepth && d > m_tableDepth) {
            --m_chainDepth;
        } else if (d == m_tableDepth) {
            m_tableDepth = 0;
            m_tableDone = true;
        }
        return true;
    }

    SpreadsheetRows finish(const QString &sheet)
    {
        if (!m_tableDone)
            return SpreadsheetRows::failure(QStringLiteral("The spreadsheet holds no table."));
        return m_rows.finish(sheet);
    }

private:
    SheetRowsBuilder m_rows{SheetRowsBuilder::EmptyRows::UpToTheLastValue};
    int m_pathDepth = 0, m_tableDepth = 0, m_chainDepth = 0, m_rowDepth = 0, m_cellDepth = 0;
    bool m_tableDone = false;
    qint64 m_rowRepeat = 1, m_cellRepeat = 1, m_column = 1;
    OdsCellText m_cell;
};

// The rows of the first table of the first worksheet of an XML Spreadsheet 2003 file. Rows and
// cells stand where their "Index" puts them (from 1), a cell after a merged one after the merged
// columns, and a row with a "Span" stands for that many more; empty rows count only before a value.
class Xml2003Reader {
public:
    QString sheetName;

    bool take(const XmlPullReader &xml, XmlPullReader::Token token, QString *error)
    {
        const int d = token == XmlPullReader::EndElement ? xml.depth() + 1 : xml.depth();
        if (token == XmlPullReader::Characters) {
            if (m_dataDepth && d >= m_dataDepth)
                m_text.append(xml.text());
            return true;
        }
        if (token == XmlPullReader::StartElement) {
            switch (d) {
            case 1:
                m_inWorkbook = xml.nameIs("Workbook");
                break;
            case 2:
                if (m_inWorkbook && !m_worksheetSeen && xml.nameIs("Worksheet")) {
                    m_worksheetSeen = m_inWorksheet = true;
                    const std::string *name = xml.attribute("Name");
                    sheetName = name ? QString::fromStdString(*name) : QString();
                }
                break;
            case 3:
                if (m_inWorksheet && !m_tableSeen && xml.nameIs("Table"))
                    m_tableSeen = m_inTable = true;
                break;
            case 4:
                if (m_inTable && xml.nameIs("Row"))
                    return beginRow(xml, error);
                break;
            case 5:
                if (m_inRow && xml.nameIs("Cell"))
                    return beginCell(xml, error);
                break;
            case 6:
                if (m_inCell && !m_dataSeen && xml.nameIs("Data")) {
                    m_dataSeen = true;
                    m_dataDepth = 6;
                }
                break;
            default:
                break;
            }
            return true;
        }
        if (d == m_dataDepth) {
            m_dataDepth = 0;
        } else if (d == 5 && m_inCell) {
            m_inCell = false;
            const QString value = m_text.toString();
            if (!value.isEmpty() && !m_rows.setCell(m_column, value))
                return rowsFailed(m_rows, error);
            m_column += 1 + m_merged;
        } else if (d == 4 && m_inRow) {
            m_inRow = false;
            if (!m_rows.endRow(m_rowRepeat))
                return rowsFailed(m_rows, error);
            m_nextRow += m_rowRepeat;
        } else if (d == 3 && m_inTable) {
            m_inTable = false;
        } else if (d == 2 && m_inWorksheet) {
            m_inWorksheet = false;
        }
        return true;
    }

    SpreadsheetRows finish(const QString &sheet)
    {
        if (!m_tableSeen)
            return SpreadsheetRows::failure(QStringLiteral("The file holds no worksheet table."));
        return m_rows.finish(sheet);
    }

private:
    // An "Index" that goes back would put two cells or rows in one place.
    static bool placeAt(const std::string *index, qint64 &next, const char *what, QString *error)
    {
        const qint64 at = countOf(index, next);
        if (at < next) {
            *error = QStringLiteral("The sheet places a %1 at %2, before the one written before it.")
                         .arg(QLatin1String(what))
                         .arg(at);
            return false;
        }
        next = at;
        return true;
    }

    bool beginRow(const XmlPullReader &xml, QString *error)
    {
        const qint64 before = m_nextRow;
        if (!placeAt(xml.attribute("Index"), m_nextRow, "row", error))
            return false;
        if (m_nextRow > before) {
            m_rows.beginRow();
            if (!m_rows.endRow(m_nextRow - before))
                return rowsFailed(m_rows, error);
        }
        m_rowRepeat = countOf(xml.attribute("Span"), 0) + 1;
        m_inRow = true;
        m_column = 1;
        m_rows.beginRow();
        return true;
    }

    bool beginCell(const XmlPullReader &xml, QString *error)
    {
        if (!placeAt(xml.attribute("Index"), m_column, "cell", error))
            return false;
        m_merged = countOf(xml.attribute("MergeAcross"), 0);
        m_inCell = true;
        m_dataSeen = false;
        m_text.clear();
        return true;
    }

    SheetRowsBuilder m_rows{SheetRowsBuilder::EmptyRows::UpToTheLastValue};
    bool m_inWorkbook = false, m_worksheetSeen = false, m_inWorksheet = false, m_tableSeen = false, m_inTable = false;
    bool m_inRow = false, m_inCell = false, m_dataSeen = false;
    int m_dataDepth = 0;
    qint64 m_nextRow = 1, m_rowRepeat = 1, m_column = 1, m_merged = 0;
    CellText m_text;
};

SpreadsheetRows readOds(const QString &path, QString *tableName)
{
    ZipArchiveReader zip(path);
    if (!zip.isOpen())
        return SpreadsheetRows::failure(zip.errorString());
    OdsReader ods;
    QString error;
    if (!streamPart(zip, QStringLiteral("content.xml"), &error,
                    [&](const XmlPullReader &xml, XmlPullReader::Token token) { return ods.take(xml, token, &error); }))
        return SpreadsheetRows::failure(error);
    if (tableName)
        *tableName = ods.tableName;
    return ods.finish(QFileInfo(path).fileName());
}

SpreadsheetRows readXml2003(const QString &path, QString *sheetName)
{
    Xml2003Reader sheet;
    QString error;
    if (!streamFile(path, &error, [&](const XmlPullReader &xml, XmlPullReader::Token token) { return sheet.take(xml, token, &error); }))
        return SpreadsheetRows::failure(error);
    if (sheetName)
        *sheetName = sheet.sheetName;
    return sheet.finish(QFileInfo(path).fileName());
}

// The form of a spreadsheet file, by its name's extension.
enum class Form { Xlsx, Ods, Xml2003 };

Form formOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("ods"), Qt::CaseInsensitive) == 0)
        return Form::Ods;
    if (suffix.compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0)
        return Form::Xml2003;
    return Form::Xlsx;
}

template <typename Read>
SpreadsheetRows guarded(Read &&read)
{
    try {
        return read();
    } catch (const std::bad_alloc &) {
        return SpreadsheetRows::failure(QStringLiteral("There is not enough memory to read the spreadsheet."));
    }
}

// The one table of the other forms, with its name.
SpreadsheetRows readOtherForm(const QString &path, QString *name = nullptr)
{
    return guarded([&] { return formOf(path) == Form::Ods ? readOds(path, name) : readXml2003(path, name); });
}

// Writing.

struct ByteWriter : pugi::xml_writer {
    QByteArray bytes;
    void write(const void *data, size_t size) override { bytes.append(static_cast<const char *>(data), qsizetype(size)); }
};

pugi::xml_document newPart()
{
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    return document;
}

QByteArray bytesOf(const pugi::xml_document &document)
{
    ByteWriter writer;
    document.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
    return writer.bytes;
}

// Whether every character is one XML 1.0 allows: no control character but tab, line feed and
// carriage return, no unpaired surrogate, neither U+FFFE nor U+FFFF.
bool isXmlText(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
        if (c == 0xFFFE || c == 0xFFFF || QChar::isLowSurrogate(c))
            return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 == text.size() || !QChar::isLowSurrogate(text[i + 1].unicode()))
                return false;
            ++i;
        }
    }
    return true;
}

QString cellReference(int column, int row)
{
    return SpreadsheetWriter::ColumnIndexToName(column) + QString::number(row);
}

// Only a text that comes back unchanged from the number it names is stored as a number: "007",
// "1.50", "1e3" or a 20-digit code would otherwise come back altered.
bool isPlainNumber(const QString &value)
{
    bool isNumber = false;
    const double number = QLocale::c().toDouble(value, &isNumber);
    return isNumber && qIsFinite(number) && QString::number(number, 'g', 15) == value;
}

QByteArray WriteWorksheetData(const QList<QStringList> &data, QStringList &sharedStrings)
{
    qsizetype width = 0;
    for (const QStringList &row : data)
        width = std::max(width, row.size());
    const int columns = int(std::max<qsizetype>(width, 1));
    const QString last = cellReference(columns, int(std::max<qsizetype>(data.size(), 1)));
    const QByteArray spans = "1:" + QByteArray::number(columns);

    pugi::xml_document document = newPart();
    pugi::xml_node worksheet = document.append_child("worksheet");
    worksheet.append_attribute("xmlns") = kMainNamespace;
    worksheet.append_attribute("xmlns:r") = kRelationshipsNamespace;
    worksheet.append_attribute("xmlns:mc") = "http://schemas.openxmlformats.org/markup-compatibility/2006";
    worksheet.append_attribute("xmlns:x14ac") = "http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac";
    worksheet.append_attribute("mc:Ignorable") = "x14ac";
    worksheet.append_child("dimension").append_attribute("ref") = ("A1:" + last).toUtf8().constData();
    pugi::xml_node view = worksheet.append_child("sheetViews").append_child("sheetView");
    view.append_attribute("tabSelected") = "1";
    view.append_attribute("workbookViewId") = "0";
    pugi::xml_node selection = view.append_child("selection");
    selection.append_attribute("activeCell") = last.toUtf8().constData();
    selection.append_attribute("sqref") = last.toUtf8().constData();
    pugi::xml_node format = worksheet.append_child("sheetFormatPr");
    format.append_attribute("baseColWidth") = "10";
    format.append_attribute("defaultRowHeight") = "15";
    format.append_attribute("x14ac:dyDescent") = "0";

    pugi::xml_node sheetData = worksheet.append_child("sheetData");
    for (qsizetype i = 0; i < data.size(); ++i) {
        pugi::xml_node row = sheetData.append_child("row");
        row.append_attribute("r") = qint64(i + 1);
        row.append_attribute("spans") = spans.constData();
        for (qsizetype j = 0; j < data[i].size(); ++j) {
            const QString &value = data[i][j];
            pugi::xml_node cell = row.append_child("c");
            cell.append_attribute("r") = cellReference(int(j + 1), int(i + 1)).toUtf8().constData();
            pugi::xml_node v = cell.append_child("v");
            if (isPlainNumber(value)) {
                v.text() = value.toUtf8().constData();
            } else {
                cell.append_attribute("t") = "s";
                v.text() = qint64(sharedStrings.size());
                sharedStrings << value;
            }
        }
    }

    pugi::xml_node margins = worksheet.append_child("pageMargins");
    for (const auto &[name, value] : {std::pair{"left", "0.75"}, {"right", "0.75"}, {"top", "1"}, {"bottom", "0.5"},
                                      {"header", "0.5"}, {"footer", "0.5"}})
        margins.append_attribute(name) = value;
    pugi::xml_node ext = worksheet.append_child("extLst").append_child("ext");
    ext.append_attribute("xmlns:mx") = "http://schemas.microsoft.com/office/mac/excel/2008/main";
    ext.append_attribute("uri") = "{64002731-A6B0-56B0-2670-7721B7C09600}";
    pugi::xml_node plv = ext.append_child("mx:PLV");
    plv.append_attribute("Mode") = "0";
    plv.append_attribute("OnePage") = "0";
    plv.append_attribute("WScale") = "0";
    return bytesOf(document);
}

QByteArray WriteSharedStringsXML(const QStringList &sharedStrings)
{
    pugi::xml_document document = newPart();
    pugi::xml_node sst = document.append_child("sst");
    sst.append_attribute("xmlns") = kMainNamespace;
    if (!sharedStrings.isEmpty()) {
        sst.append_attribute("count") = qint64(sharedStrings.size());
        sst.append_attribute("uniqueCount") = qint64(sharedStrings.size());
    }
    for (const QString &text : sharedStrings) {
        pugi::xml_node t = sst.append_child("si").append_child("t");
        if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
            t.append_attribute("xml:space") = "preserve";
        t.text() = text.toUtf8().constData();
    }
    return bytesOf(document);
}

// The namespaces of an OpenDocument content part, as spreadsheets of the OpenOffice family declare
// them.
const std::pair<const char *, const char *> kOdsNamespaces[] = {
    {"xmlns:office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
    {"xmlns:style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
    {"xmlns:text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
    {"xmlns:table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
    {"xmlns:draw", "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"},
    {"xmlns:fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
    {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
    {"xmlns:dc", "http://purl.org/dc/elements/1.1/"},
    {"xmlns:meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
    {"xmlns:number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"},
    {"xmlns:presentation", "urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"},
    {"xmlns:svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
    {"xmlns:chart", "urn:oasis:names:tc:opendocument:xmlns:chart:1.0"},
    {"xmlns:dr3d", "urn:oasis:names:tc:opendocument:xmlns:dr3d:1.0"},
    {"xmlns:math", "http://www.w3.org/1998/Math/MathML"},
    {"xmlns:form", "urn:oasis:names:tc:opendocument:xmlns:form:1.0"},
    {"xmlns:script", "urn:oasis:names:tc:opendocument:xmlns:script:1.0"},
    {"xmlns:ooo", "http://openoffice.org/2004/office"},
    {"xmlns:ooow", "http://openoffice.org/2004/writer"},
    {"xmlns:oooc", "http://openoffice.org/2004/calc"},
    {"xmlns:dom", "http://www.w3.org/2001/xml-events"},
    {"xmlns:xforms", "http://www.w3.org/2002/xforms"},
    {"xmlns:xsd", "http://www.w3.org/2001/XMLSchema"},
    {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
    {"xmlns:rpt", "http://openoffice.org/2005/report"},
    {"xmlns:of", "urn:oasis:names:tc:opendocument:xmlns:of:1.2"},
    {"xmlns:html", "http://www.w3.org/1999/xhtml"},
    {"xmlns:grddl", "http://www.w3.org/2003/g/data-view#"},
    {"xmlns:tableooo", "http://openoffice.org/2009/table"},
    {"xmlns:field", "urn:openoffice:names:experimental:ooo-ms-interop:xmlns:field:1.0"},
    {"xmlns:formx", "urn:openoffice:names:experimental:ooxml-odf-interop:xmlns:form:1.00"},
    {"xmlns:css3t", "http://www.w3.org/TR/css3-text/"},
};

void appendChildWith(pugi::xml_node parent, const char *name, std::initializer_list<std::pair<const char *, const char *>> attributes)
{
    pugi::xml_node node = parent.append_child(name);
    for (const auto &[attribute, value] : attributes)
        node.append_attribute(attribute) = value;
}

// A value as the paragraphs of a cell: one per line; blanks that readers would otherwise fold (at
// the ends of a line, and all but one in a run) as <text:s/>, tabs as <text:tab/>.
void appendParagraphs(pugi::xml_node cell, const QString &value)
{
    const QStringList lines = QString(value).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n').split(u'\n');
    for (const QString &line : lines) {
        pugi::xml_node paragraph = cell.append_child("text:p");
        QString run;
        const auto flush = [&] {
            if (!run.isEmpty())
                paragraph.append_child(pugi::node_pcdata).set_value(run.toUtf8().constData());
            run.clear();
        };
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == u'\t') {
                flush();
                paragraph.append_child("text:tab");
            } else if (line[i] != u' ') {
                run += line[i];
            } else {
                qsizetype end = i;
                while (end < line.size() && line[end] == u' ')
                    ++end;
                qsizetype blanks = end - i;
                if (i > 0 && end < line.size()) {
                    run += u' ';
                    --blanks;
                }
                if (blanks > 0) {
                    flush();
                    pugi::xml_node s = paragraph.append_child("text:s");
                    if (blanks > 1)
                        s.append_attribute("text:c") = qint64(blanks);
                }
                i = end - 1;
            }
        }
        flush();
    }
}

qsizetype widestRow(const QList<QStringList> &data)
{
    qsizetype width = 0;
    for (const QStringList &row : data)
        width = std::max(width, row.size());
    return width;
}

QByteArray WriteODSData(const QList<QStringList> &data)
{
    pugi::xml_document document = newPart();
    pugi::xml_node root = document.append_child("office:document-content");
    for (const auto &[prefix, name] : kOdsNamespaces)
        root.append_attribute(prefix) = name;
    root.append_attribute("office:version") = "1.2";
    root.append_child("office:scripts");
    pugi::xml_node fonts = root.append_child("office:font-face-decls");
    for (const auto &[name, generic] : {std::pair{"Arial", "swiss"}, {"Arial Unicode MS", "system"}, {"Tahoma", "system"}})
        appendChildWith(fonts, "style:font-face",
                        {{"style:name", name}, {"svg:font-family", name}, {"style:font-family-generic", generic},
                         {"style:font-pitch", "variable"}});
    pugi::xml_node styles = root.append_child("office:automatic-styles");
    pugi::xml_node column = styles.append_child("style:style");
    column.append_attribute("style:name") = "co1";
    column.append_attribute("style:family") = "table-column";
    appendChildWith(column, "style:table-column-properties", {{"fo:break-before", "auto"}, {"style:column-width", "2.258cm"}});
    pugi::xml_node row = styles.append_child("style:style");
    row.append_attribute("style:name") = "ro1";
    row.append_attribute("style:family") = "table-row";
    appendChildWith(row, "style:table-row-properties",
                    {{"style:row-height", "0.427cm"}, {"fo:break-before", "auto"}, {"style:use-optimal-row-height", "true"}});
    pugi::xml_node tableStyle = styles.append_child("style:style");
    tableStyle.append_attribute("style:name") = "ta1";
    tableStyle.append_attribute("style:family") = "table";
    tableStyle.append_attribute("style:master-page-name") = "Default";
    appendChildWith(tableStyle, "style:table-properties", {{"table:display", "true"}, {"style:writing-mode", "lr-tb"}});

    pugi::xml_node table = root.append_child("office:body").append_child("office:spreadsheet").append_child("table:table");
    table.append_attribute("table:name") = "Sheet1";
    table.append_attribute("table:style-name") = "ta1";
    pugi::xml_node columns = table.append_child("table:table-column");
    columns.append_attribute("table:style-name") = "co1";
    columns.append_attribute("table:number-columns-repeated") = qint64(std::max<qsizetype>(widestRow(data), 1));
    columns.append_attribute("table:default-cell-style-name") = "Default";
    for (const QStringList &values : data) {
        pugi::xml_node tableRow = table.append_child("table:table-row");
        tableRow.append_attribute("table:style-name") = "ro1";
        for (const QString &value : values) {
            pugi::xml_node cell = tableRow.append_child("table:table-cell");
            cell.append_attribute("office:value-type") = "string";
            appendParagraphs(cell, value);
        }
    }
    // Indenting would put blanks between a paragraph's elements, which readers keep as text.
    ByteWriter writer;
    document.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.bytes;
}

QByteArray WriteXml2003Data(const QList<QStringList> &data)
{
    pugi::xml_document document = newPart();
    pugi::xml_node workbook = document.append_child("Workbook");
    for (const auto &[prefix, name] : {std::pair{"xmlns", "urn:schemas-microsoft-com:office:spreadsheet"},
                                       {"xmlns:o", "urn:schemas-microsoft-com:office:office"},
                                       {"xmlns:x", "urn:schemas-microsoft-com:office:excel"},
                                       {"xmlns:ss", "urn:schemas-microsoft-com:office:spreadsheet"},
                                       {"xmlns:html", "http://www.w3.org/TR/REC-html40"}})
        workbook.append_attribute(prefix) = name;
    pugi::xml_node worksheet = workbook.append_child("Worksheet");
    worksheet.append_attribute("ss:Name") = "Notes";
    pugi::xml_node table = worksheet.append_child("Table");
    // Readers refuse a table whose rows hold more cells than it declares: the widest row counts.
    table.append_attribute("ss:ExpandedColumnCount") = qint64(widestRow(data));
    table.append_attribute("ss:ExpandedRowCount") = qint64(data.size());
    for (const QStringList &values : data) {
        pugi::xml_node row = table.append_child("Row");
        for (const QString &value : values) {
            pugi::xml_node cell = row.append_child("Cell").append_child("Data");
            cell.append_attribute("ss:Type") = isPlainNumber(value) ? "Number" : "String";
            cell.text() = value.toUtf8().constData();
        }
    }
    return bytesOf(document);
}

// Whether every value can be written: false, with the first that cannot and why, otherwise. A
// character XML cannot hold would make the file unreadable, and leaving it out would change the
// value.
bool storable(const QList<QStringList> &data, QString *error)
{
    for (qsizetype i = 0; i < data.size(); ++i)
        for (qsizetype j = 0; j < data[i].size(); ++j)
            if (!isXmlText(data[i][j])) {
                if (error)
                    *error = QStringLiteral("The value in row %1, column %2 holds a character a workbook cannot store.")
                                 .arg(i + 1)
                                 .arg(j + 1);
                return false;
            }
    return true;
}

// The package written from the shipped template `templateName`: the template's entries in its
// order, those of `replaced` with their new bytes, "mimetype" first and stored (OpenDocument
// readers tell the type from it). Nothing but the template and these parts goes in.
bool writeFromTemplate(const QString &path, const QString &templateName, const QMap<QString, QByteArray> &replaced,
                       QString *error)
{
    const auto failed = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Error when writing file %1: %2").arg(path, reason);
        return false;
    };
    const QString templateFile = App().Resource_Path + templateName;
    ZipArchiveReader source(templateFile);
    if (!source.isOpen())
        return failed(QStringLiteral("the template \"%1\" cannot be read (%2).").arg(templateFile, source.errorString()));
    QStringList names = source.entryNames();
    for (auto part = replaced.keyBegin(); part != replaced.keyEnd(); ++part)
        if (!names.contains(*part))
            return failed(QStringLiteral("the template \"%1\" has no part \"%2\".").arg(templateFile, *part));
    const QString mimetype = QStringLiteral("mimetype");
    if (names.removeAll(mimetype) > 0)
        names.prepend(mimetype);

    SSZipArchive archive(path);
    if (!archive.open())
        return failed(archive.errorString());
    for (const QString &name : std::as_const(names)) {
        if (name.endsWith(u'/'))
            continue;
        std::optional<QByteArray> bytes = replaced.contains(name) ? replaced.value(name) : source.read(name);
        if (!bytes)
            return failed(source.errorString());
        if (!archive.writeData(*bytes, name, name == mimetype ? SSZipArchive::Method::Stored : SSZipArchive::Method::Deflated))
            return failed(archive.errorString());
    }
    return archive.close() || failed(archive.errorString());
}

} // namespace

SpreadsheetWriter::Workbook SpreadsheetWriter::ReadWorkbook(const QString &path)
{
    Workbook workbook;
    if (formOf(path) != Form::Xlsx) {
        QString name;
        const SpreadsheetRows table = readOtherForm(path, &name);
        if (!table.ok()) {
            workbook.error = table.error;
        } else {
            workbook.worksheets = {1};
            workbook.sheetNames = {name};
            workbook.sheets = {{name.isEmpty() ? QStringLiteral("Sheet1") : name, 1}};
        }
        return workbook;
    }
    try {
        ZipArchiveReader zip(path);
        if (!zip.isOpen()) {
            workbook.error = zip.errorString();
            return workbook;
        }
        for (const QString &name : zip.entryNames())
            if (const int number = worksheetNumber(name); number > 0)
                workbook.worksheets << number;
        std::sort(workbook.worksheets.begin(), workbook.worksheets.end());
        if (workbook.worksheets.isEmpty()) {
            workbook.error = QStringLiteral("The file holds no worksheet.");
            return workbook;
        }
        // The names are a help to the eye only: a workbook part that cannot be read leaves them out.
        pugi::xml_document document, relationships;
        QString ignored;
        const QMap<QString, int> parts =
            zip.contains(QStringLiteral("xl/_rels/workbook.xml.rels"))
                    && parsePart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), relationships, &ignored)
                ? worksheetRelationships(relationships)
                : QMap<QString, int>();
        if (zip.contains(QStringLiteral("xl/workbook.xml"))
            && parsePart(zip, QStringLiteral("xl/workbook.xml"), document, &ignored))
            for (const pugi::xpath_node &sheet : document.select_nodes(
                     "/*[local-name()='workbook'][1]/*[local-name()='sheets'][1]/*[local-name()='sheet']")) {
                const QString name = QString::fromUtf8(sheet.node().attribute("name").value());
                workbook.sheetNames << name;
                const int number = parts.value(relationshipId(sheet.node()));
                if (workbook.worksheets.contains(number))
                    workbook.sheets.append({name, number});
            }
        if (workbook.sheets.isEmpty())
            for (const int number : std::as_const(workbook.worksheets))
                workbook.sheets.append({QStringLiteral("sheet%1").arg(number), number});
    } catch (const std::bad_alloc &) {
        workbook = {};
        workbook.error = QStringLiteral("There is not enough memory to read the workbook.");
    }
    return workbook;
}

SpreadsheetRows SpreadsheetWriter::ReadData(const QString &path, int sheetNumber)
{
    if (formOf(path) != Form::Xlsx)
        return sheetNumber == 1 ? readOtherForm(path)
                                : SpreadsheetRows::failure(QStringLiteral("The workbook has no worksheet %1.").arg(sheetNumber));
    try {
        return readSheet(path, sheetNumber);
    } catch (const std::bad_alloc &) {
        return SpreadsheetRows::failure(QStringLiteral("There is not enough memory to read the workbook."));
    }
}

SpreadsheetRows SpreadsheetWriter::ReadData_only_column(const QString &path, int sheetNumber)
{
    SpreadsheetRows sheet = ReadData(path, sheetNumber);
    if (sheet.rows.size() > 1)
        sheet.rows.resize(1);
    if (!sheet.rows.isEmpty())
        for (int i = 0; i < sheet.columnCount; ++i)
            if (sheet.rows[0][i].isEmpty())
                sheet.rows[0][i] = QStringLiteral("Untitled Column %1").arg(i + 1);
    return sheet;
}

bool SpreadsheetWriter::WriteWorkbook(const QString &path, const QList<QStringList> &data, bool hasTitleRow,
                                      QString *error)
{
    Q_UNUSED(hasTitleRow)
    if (!storable(data, error))
        return false;
    QStringList sharedStrings;
    const QByteArray worksheet = WriteWorksheetData(data, sharedStrings);
    return writeFromTemplate(path, QStringLiteral("Template.xlsx"),
                             {{QStringLiteral("xl/worksheets/sheet1.xml"), worksheet},
                              {QStringLiteral("xl/sharedStrings.xml"), WriteSharedStringsXML(sharedStrings)}},
                             error);
}

QString SpreadsheetWriter::ColumnIndexToName(int n)
{
    QString name;
    for (; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

SpreadsheetRows SpreadsheetWriter::ReadODS(const QString &path)
{
    return guarded([&] { return readOds(path, nullptr); });
}

SpreadsheetRows SpreadsheetWriter::ReadWorksheetXML2004(const QString &path)
{
    return guarded([&] { return readXml2003(path, nullptr); });
}

bool SpreadsheetWriter::WriteODS(const QString &path, const QList<QStringList> &data, bool hasTitleRow, QString *error)
{
    Q_UNUSED(hasTitleRow)
    return storable(data, error)
           && writeFromTemplate(path, QStringLiteral("Template.ods"), {{QStringLiteral("content.xml"), WriteODSData(data)}}, error);
}

bool SpreadsheetWriter::WriteWorksheetXML2004(const QString &path, const QList<QStringList> &data, QString *error)
{
    if (!storable(data, error))
        return false;
    QString reason;
    if (platform::writeFileSafely(path, WriteXml2003Data(data), &reason))
        return true;
    if (error)
        *error = QStringLiteral("Error when writing file %1: %2").arg(path, reason);
    return false;
}
