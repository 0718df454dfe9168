#include "datasource/readers/XlsxReader.h"

#include "core/MessageBoxes.h"
#include "datasource/readers/SpreadsheetStreaming.h"

#include <QFileInfo>
#include <QMap>

#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <new>
#include <thread>

using namespace spreadsheet;

namespace {

// Elements a small part may hold before it is parsed as a document: a parsed node costs some fifty
// bytes, so the bytes of a part alone do not bound the memory its document takes.
constexpr qsizetype kMaxMarkup = 8 * 1024 * 1024;

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

// A shared-string table is held in memory to what a sheet's text may take, whether or not the
// sheet names its strings: each string counts its characters and, in characters, what keeping it
// costs besides (its place in the list, its header, the allocator's share), so that many short
// strings are bounded as a few long ones are.
constexpr qint64 kSharedStringCost = 32;
constexpr qsizetype kMaxSharedStrings = SheetRowsBuilder::kMaxText / kSharedStringCost;

// `needed` (-1 while unknown) is how many strings the sheet's cells name: the read ends once
// those are in.
bool readSharedStrings(ZipArchiveReader &zip, const QString &part, QStringList &strings, QString *error,
                       const std::atomic<qint64> &needed)
{
    bool inTable = false;
    ItemText item;
    qint64 held = 0;
    return streamPart(zip, part, error, [&](const XmlPullReader &xml, XmlPullReader::Token token) {
        if (item.take(xml, token)) {
            if (item.depth != 0)
                return true;
            QString text = item.text.toString();
            held += text.size() + kSharedStringCost;
            if (held > SheetRowsBuilder::kMaxText) {
                *error = QStringLiteral("The workbook's shared strings hold more than %1 MB of text.")
                             .arg(SheetRowsBuilder::kMaxText >> 20);
                return false;
            }
            strings << std::move(text);
            return true;
        }
        if (token != XmlPullReader::StartElement)
            return true;
        if (xml.depth() == 1) {
            inTable = xml.nameIs("sst");
        } else if (inTable && xml.depth() == 2 && xml.nameIs("si")) {
            if (const qint64 enough = needed.load(); enough >= 0 && strings.size() >= enough)
                return false;
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
class SheetReader {
public:
    explicit SheetReader(qsizetype rowLimit) : m_rows(SheetRowsBuilder::EmptyRows::Kept, rowLimit) {}

    // Whether the rows asked for are read: the read stops there.
    bool full() const { return m_rows.full(); }
    // How many shared strings the cells read so far need: one past the largest index they name.
    qint64 sharedStringsNeeded() const
    {
        qint64 needed = 0;
        for (const SharedCell &cell : m_sharedCells)
            needed = std::max<qint64>(needed, qint64(cell.index) + 1);
        return needed;
    }

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
                return m_rows.endRow() ? !m_rows.full() : rowsFailed(m_rows, error);
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
            // No table holds kMaxSharedStrings strings: that index, like any outside the table,
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
    SheetRowsBuilder m_rows;
    bool m_inWorksheet = false, m_dimensionSeen = false, m_sheetDataSeen = false, m_inSheetData = false;
    bool m_inRow = false, m_inCell = false, m_valueSeen = false, m_inlineSeen = false;
    int m_column = 0, m_valueDepth = 0;
    Type m_type = Type::Other;
    CellText m_value;
    ItemText m_inline;
};

} // namespace

namespace spreadsheet {

SpreadsheetWorkbook readXlsxWorkbook(const QString &path)
{
    SpreadsheetWorkbook workbook;
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

SpreadsheetRows readXlsxSheet(const QString &path, int sheetNumber, qsizetype rowLimit)
{
    try {
        ZipArchiveReader zip(path);
        if (!zip.isOpen())
            return SpreadsheetRows::failure(zip.errorString());
        if (sheetNumber < 1 || !zip.contains(worksheetPart(sheetNumber)))
            return SpreadsheetRows::failure(QStringLiteral("The workbook has no worksheet %1.").arg(sheetNumber));

        // The shared strings are read on a thread of their own, through an archive handle of its own.
        QStringList sharedStrings;
        QString sharedError;
        std::atomic<qint64> sharedNeeded{-1};
        const QString sharedPart = QStringLiteral("xl/sharedStrings.xml");
        std::jthread sharedReader;
        if (zip.contains(sharedPart))
            sharedReader = std::jthread([&] {
                try {
                    ZipArchiveReader own(path);
                    if (!own.isOpen())
                        sharedError = own.errorString();
                    else
                        readSharedStrings(own, sharedPart, sharedStrings, &sharedError, sharedNeeded);
                } catch (const std::bad_alloc &) {
                    sharedError = QStringLiteral("There is not enough memory to read the workbook.");
                }
            });

        QString error;
        SheetReader sheet(rowLimit);
        const bool read = streamPart(zip, worksheetPart(sheetNumber), &error,
                                     [&](const XmlPullReader &xml, XmlPullReader::Token token) { return sheet.take(xml, token, &error); });
        // Only a read of the first rows knows its strings before the table ends.
        if (rowLimit >= 0)
            sharedNeeded = sheet.sharedStringsNeeded();
        if (sharedReader.joinable())
            sharedReader.join();
        // The table may have ended in a fault before it learned how many strings were enough;
        // a read of the first rows minds only a fault among the strings it names.
        if (!sharedError.isEmpty() && (rowLimit < 0 || sharedStrings.size() < sharedNeeded.load()))
            return SpreadsheetRows::failure(sharedError);
        if (!read && !sheet.full())
            return SpreadsheetRows::failure(error);
        const QString name = QStringLiteral("%1, worksheet %2").arg(QFileInfo(path).fileName()).arg(sheetNumber);
        sheet.fillSharedStrings(sharedStrings, name);
        return sheet.finish(name);
    } catch (const std::bad_alloc &) {
        return SpreadsheetRows::failure(QStringLiteral("There is not enough memory to read the workbook."));
    }
}

} // namespace spreadsheet
