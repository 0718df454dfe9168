#include "datasource/readers/XlsxReader.h"

#include "core/MessageBoxes.h"
#include "datasource/readers/SpreadsheetDates.h"
#include "datasource/readers/SpreadsheetStreaming.h"
#include "datasource/readers/WorkbookEscapes.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <deque>
#include <limits>
#include <new>
#include <thread>
#include <vector>

using namespace spreadsheet;

namespace {

// What is read of a workbook's own parts, which are read only as far as they are needed. Its sheet
// list and relationships (a few hundred KB for thousands of sheets) are read to list the sheets,
// which must take a moment only; the defined names and the like that follow the list are not read.
// Its styles may swell with formats pasted from other workbooks (some 30 MB before the end of the
// cell formats where the common programs stop), and are read with a sheet.
constexpr qint64 kMaxListingPart = 4 * 1024 * 1024;
constexpr qint64 kMaxStylesPart = 64 * 1024 * 1024;
// Cell formats a styles part may define; the common spreadsheet programs allow 64,000.
constexpr qsizetype kMaxStyles = 65536;

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

bool isTrue(const std::string *flag)
{
    return flag && (*flag == "1" || *flag == "true");
}

// Reads a part token by token until `handle` says it has what it wants (false), within `maxRead`
// bytes: whether the part was read that far, the reason when not. A handler that stops on a fault
// gives its reason. A part the workbook lacks tells nothing.
template <typename Handler>
bool readOwnPart(ZipArchiveReader &zip, const QString &name, qint64 maxRead, QString *error, Handler &&handle)
{
    error->clear();
    if (!zip.contains(name))
        return true;
    bool done = false;
    const bool read = streamPart(
        zip, name, error,
        [&](const XmlPullReader &xml, XmlPullReader::Token token) {
            done = !handle(xml, token);
            return !done;
        },
        maxRead);
    return read || (done && error->isEmpty());
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

// What the workbook part tells: its sheets in its order, each by name and relationship id, and
// its date system.
struct WorkbookPart {
    struct Sheet {
        QString name, relationship;
    };
    QList<Sheet> sheets;
    bool date1904 = false;
};

// The workbook part up to the end of its sheet list, which comes before its long lists (defined
// names and the like); a list of more than `maxSheets` sheets is a fault. For 0 the read ends where
// the list begins.
bool readWorkbookPart(ZipArchiveReader &zip, WorkbookPart &workbook, qsizetype maxSheets, QString *error)
{
    bool inWorkbook = false, inSheets = false;
    return readOwnPart(zip, QStringLiteral("xl/workbook.xml"), kMaxListingPart, error, [&](const XmlPullReader &xml, XmlPullReader::Token token) {
        if (token == XmlPullReader::EndElement)
            return !(inSheets && xml.depth() == 1);
        if (token != XmlPullReader::StartElement)
            return true;
        if (xml.depth() == 1) {
            inWorkbook = xml.nameIs("workbook");
        } else if (inWorkbook && xml.depth() == 2 && xml.nameIs("workbookPr")) {
            workbook.date1904 = isTrue(xml.attribute("date1904"));
        } else if (inWorkbook && xml.depth() == 2 && xml.nameIs("sheets")) {
            inSheets = true;
            return maxSheets > 0;
        } else if (inSheets && xml.depth() == 3 && xml.nameIs("sheet")) {
            if (workbook.sheets.size() == maxSheets) {
                *error = QStringLiteral("The workbook lists more sheets than it has parts.");
                return false;
            }
            const std::string *name = xml.attribute("name"), *id = xml.attribute("id");
            workbook.sheets.append({name ? xmlText(QString::fromStdString(*name)) : QString(), id ? QString::fromStdString(*id) : QString()});
        }
        return true;
    });
}

// The worksheet parts a workbook's relationships name, by relationship id, among the `worksheets`
// the archive holds; a target is relative to the folder "xl" unless it starts with "/". Each sheet
// needs an entry of the archive, so no more ids than it has entries are kept.
bool readWorksheetRelationships(ZipArchiveReader &zip, const QList<int> &worksheets, QHash<QString, int> &parts, QString *error)
{
    bool inRelationships = false;
    return readOwnPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), kMaxListingPart, error,
                       [&](const XmlPullReader &xml, XmlPullReader::Token token) {
                           if (token != XmlPullReader::StartElement)
                               return true;
                           if (xml.depth() == 1) {
                               inRelationships = xml.nameIs("Relationships");
                           } else if (inRelationships && xml.depth() == 2 && xml.nameIs("Relationship")) {
                               const std::string *id = xml.attribute("Id"), *target = xml.attribute("Target");
                               const QString part = target ? QString::fromStdString(*target) : QString();
                               const int number = worksheetNumber(part.startsWith(u'/') ? part.mid(1) : QStringLiteral("xl/") + part);
                               if (id && worksheets.contains(number))
                                   parts.insert(QString::fromStdString(*id), number);
                               return parts.size() < zip.entryNames().size();
                           }
                           return true;
                       });
}

// What the cell formats of a workbook show of a number, by their index among its cell formats.
bool readDateStyles(ZipArchiveReader &zip, std::vector<NumberFormat> &dateStyles, QString *error)
{
    QHash<int, NumberFormat> customFormats;
    std::vector<int> formats;
    int inList = 0; // 1 in numFmts, 2 in cellXfs
    const auto tooMany = [&] {
        *error = QStringLiteral("The workbook's styles define more than %1 formats.").arg(kMaxStyles);
        return false;
    };
    const auto take = [&](const XmlPullReader &xml, XmlPullReader::Token token) {
        if (token == XmlPullReader::EndElement) {
            if (xml.depth() == 1 && inList == 2)
                return false;
            if (xml.depth() == 1)
                inList = 0;
            return true;
        }
        if (token != XmlPullReader::StartElement)
            return true;
        if (xml.depth() == 2)
            inList = xml.nameIs("numFmts") ? 1 : xml.nameIs("cellXfs") ? 2 : 0;
        else if (xml.depth() == 3 && inList == 1 && xml.nameIs("numFmt")) {
            if (customFormats.size() == kMaxStyles)
                return tooMany();
            const std::string *code = xml.attribute("formatCode");
            if (const int id = int(countOf(xml.attribute("numFmtId"), -1)); id >= 0)
                customFormats.insert(id, code ? numberFormatOf(*code) : NumberFormat::Number);
        } else if (xml.depth() == 3 && inList == 2 && xml.nameIs("xf")) {
            if (formats.size() == std::size_t(kMaxStyles))
                return tooMany();
            formats.push_back(int(countOf(xml.attribute("numFmtId"), -1)));
        }
        return true;
    };
    const bool read = readOwnPart(zip, QStringLiteral("xl/styles.xml"), kMaxStylesPart, error, take);
    dateStyles.clear();
    for (const int id : formats)
        dateStyles.push_back(customFormats.contains(id) ? customFormats.value(id) : numberFormatOf(id));
    return read;
}

// The text of UTF-8 `bytes` that keep characters as "_xHHHH_".
QString unescaped(std::string_view bytes)
{
    QString text = QString::fromUtf8(bytes);
    const TextBytes look(bytes);
    if (look.underscore)
        text.truncate(WorkbookEscapes::unescaped(text.data(), text.data() + text.size()) - text.constData());
    if (look.underscore || look.unusual)
        return xmlText(std::move(text));
    return text;
}

// The text of a shared-string item or an inline string at `depth`: its <t> children and the <t>
// of its <r> runs, without the phonetic runs, as the file writes it.
struct ItemText {
    int depth = 0; // of the item; 0 outside one
    int runDepth = 0, textDepth = 0;
    // Seven bytes ("_xHHHH_") for a character at most: past eight for each that a cell keeps, the
    // text is sure to be cut.
    CellText text{8};

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

// A workbook's shared strings, held as a sheet holds its text: one text of them all and where each
// ends, so that the table costs its characters whether or not the sheet names them. A string is cut
// to what a cell keeps as it comes; the table holds no more characters than a sheet's cells may,
// and no more strings than a sheet may have cells.
class SharedStrings {
public:
    qsizetype size() const { return qsizetype(m_ends.size()); }
    QString at(qsizetype index) const
    {
        const qsizetype start = index > 0 ? m_ends[std::size_t(index - 1)] : 0;
        return QString(m_text.constData() + start, m_ends[std::size_t(index)] - start);
    }
    bool wasCut(qsizetype index) const { return m_cut[std::size_t(index)]; }

    // The item's text as the file writes it, in UTF-8, decoded straight into the table.
    bool append(std::string_view written, QString *error)
    {
        if (size() >= SheetRowsBuilder::kMaxCells) {
            *error = QStringLiteral("The workbook holds more than %1 shared strings.").arg(SheetRowsBuilder::kMaxCells);
            return false;
        }
        const qsizetype start = m_used;
        // No more UTF-16 units than UTF-8 bytes. The text doubles as a string does, so that what
        // it leaves behind growing comes to its own size at most, and never grows past what the
        // bound lets it hold: a table refused at the bound takes no more. It is sized to all it
        // has room for, and m_used tells how much of that holds strings.
        if (const qsizetype needed = start + qsizetype(written.size()); needed > m_text.size()) {
            const qsizetype grown = std::min(2 * m_text.capacity(), SheetRowsBuilder::kMaxText + 1);
            m_text.reserve(std::max(needed, grown));
            m_text.resize(m_text.capacity());
        }
        QChar *const begin = m_text.data() + start;
        const TextBytes met(written);
        QChar *end = decoded(written, begin, met);
        if (met.underscore || met.unusual) {
            end = met.underscore ? WorkbookEscapes::unescaped(begin, end) : end;
            makeXmlText(begin, end);
        }
        const qsizetype kept = SheetRowsBuilder::keptLength(QStringView(begin, end));
        m_used = start + kept;
        if (m_used > SheetRowsBuilder::kMaxText) {
            *error = QStringLiteral("The workbook's shared strings hold more than %1 MB of text.").arg(SheetRowsBuilder::kMaxText >> 20);
            return false;
        }
        m_ends.push_back(quint32(m_used));
        m_cut.push_back(kept < end - begin);
        return true;
    }

private:
    // The decoder's general path costs twice Qt's own for plain text, which most shared strings
    // are: all of it is widened here as if it were ASCII, and only what follows the first
    // non-ASCII byte goes through the decoder (a UTF-8 sequence never starts with an ASCII byte,
    // so the cut splits none).
    QChar *decoded(std::string_view written, QChar *out, const TextBytes &met)
    {
        const auto *in = reinterpret_cast<const unsigned char *>(written.data());
        const std::size_t size = written.size();
        auto *units = reinterpret_cast<char16_t *>(out);
        for (std::size_t i = 0; i < size; ++i)
            units[i] = in[i];
        const std::size_t ascii = met.unusual ? std::size_t(std::find_if(in, in + size, [](unsigned char c) { return c >= 0x80; }) - in) : size;
        return ascii == size ? out + size : m_decoder.appendToBuffer(out + ascii, QByteArrayView(written.data() + ascii, qsizetype(size - ascii)));
    }

    QString m_text;
    qsizetype m_used = 0;
    std::vector<quint32> m_ends;
    std::vector<bool> m_cut;
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom};
};

// `needed` (-1 while unknown) is how many strings the sheet's cells name: the read ends once
// those are in.
bool readSharedStrings(ZipArchiveReader &zip, const QString &part, SharedStrings &strings, QString *error,
                       const std::atomic<qint64> &needed)
{
    bool inTable = false;
    ItemText item;
    return streamPart(zip, part, error, [&](const XmlPullReader &xml, XmlPullReader::Token token) {
        if (item.take(xml, token))
            return item.depth != 0 || strings.append(item.text.bytes(), error);
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
    qint64 digits = 0;
    bool plain = !text.empty() && text.size() <= 18;
    for (std::size_t i = 0; plain && i < text.size(); ++i) {
        const unsigned digit = unsigned(text[i] - '0');
        plain = digit <= 9;
        digits = digits * 10 + digit;
    }
    if (plain)
        return digits;
    bool isIndex = false;
    const qint64 index = QString::fromUtf8(text).trimmed().toLongLong(&isIndex);
    return isIndex ? index : -1;
}

// The sheet's rows as its part writes them, read straight from the archive into rows. The shared
// strings are read beside the sheet: a shared-string cell is noted and filled in at the end.
class SheetReader {
public:
    // `dateStyles` tells which cell formats show dates or times, in the date system `date1904` says.
    SheetReader(qsizetype rowLimit, std::vector<NumberFormat> dateStyles, bool date1904)
        : m_rows(SheetRowsBuilder::EmptyRows::Kept, rowLimit), m_dateStyles(std::move(dateStyles)), m_date1904(date1904)
    {
    }

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

    // A cell whose index names no string of the table reads as "", said once for the sheet. Cells
    // that name one string share it. They are filled in their order, row by row: a string is taken
    // from the table when a cell names it, and kept aside only when a second cell names it too.
    void fillSharedStrings(const SharedStrings &strings, const QString &sheet)
    {
        const qsizetype count = strings.size();
        std::vector<quint8> named(static_cast<std::size_t>(count)); // by no cell, one, or more
        for (const SharedCell &cell : m_sharedCells)
            if (cell.index < count && named[cell.index] < 2)
                ++named[cell.index];
        QHash<quint32, QString> shared;
        qsizetype unnamed = 0;
        for (const SharedCell &cell : m_sharedCells) {
            if (cell.index >= count) {
                ++unnamed;
                continue;
            }
            QString value;
            if (named[cell.index] == 1)
                value = strings.at(cell.index);
            else if (const auto kept = shared.constFind(cell.index); kept != shared.cend())
                value = *kept;
            else
                value = *shared.insert(cell.index, strings.at(cell.index));
            if (!value.isEmpty() && !m_rows.fill(cell.row, int(cell.column), std::move(value), strings.wasCut(cell.index)))
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
        if (m_inline.depth != 0 && m_inline.take(xml, token))
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
        // A cell's attributes, each named by a letter, are taken in one pass: looked up one by
        // one, they cost more than the rest of the cell.
        const std::string *reference = nullptr, *type = nullptr, *style = nullptr;
        for (std::size_t i = 0; i < xml.attributeCount(); ++i) {
            const std::string_view name = xml.attributeName(i);
            const std::string **found = name.size() != 1 ? nullptr
                                        : name[0] == 'r' ? &reference
                                        : name[0] == 't' ? &type
                                        : name[0] == 's' ? &style
                                                         : nullptr;
            if (found && !*found)
                *found = &xml.attributeValue(i);
        }
        // A cell without a reference follows the one before it.
        m_column = reference ? columnOf(*reference) : m_column + 1;
        if (m_column < 1 || m_column > SheetRowsBuilder::kMaxColumns) {
            *error = QStringLiteral("The worksheet has a cell with the malformed reference \"%1\".")
                         .arg(reference ? QString::fromStdString(*reference) : QString());
            return false;
        }
        const std::string_view t = type ? std::string_view(*type) : std::string_view("n");
        m_type = t == "n" ? Type::Number : t == "s" ? Type::Shared : t == "inlineStr" ? Type::Inline : t == "d" ? Type::Date : Type::Other;
        m_format = style ? formatOf(*style) : NumberFormat::Number;
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
            // No table holds kMaxCells strings: that index, like any outside the table, names nothing.
            const qint64 index = sharedIndex(m_value.bytes());
            if (!m_value.empty())
                m_sharedCells.push_back({quint32(m_rows.rowCount()), quint32(m_column),
                                         quint32(index >= 0 && index < SheetRowsBuilder::kMaxCells ? index : SheetRowsBuilder::kMaxCells)});
        } else if (m_type == Type::Inline) {
            value = unescaped(m_inline.text.bytes());
        } else if (!m_value.empty()) {
            if (m_type == Type::Date)
                value = dateOfIso(m_value.bytes());
            else if (m_type == Type::Number && m_format != NumberFormat::Number)
                value = dateOfSerial(numberOf(m_value.bytes()), m_format, m_date1904);
            if (value.isEmpty())
                value = m_value.toString();
        }
        return m_rows.setCell(m_column, std::move(value)) || rowsFailed(m_rows, error);
    }

    // What the cell format `style` shows; cells mostly share the style of the cell before them.
    NumberFormat formatOf(const std::string &style)
    {
        if (style != m_lastStyle) {
            const qint64 index = countOf(&style, -1);
            m_lastFormat = index >= 0 && std::size_t(index) < m_dateStyles.size() ? m_dateStyles[std::size_t(index)] : NumberFormat::Number;
            m_lastStyle = style;
        }
        return m_lastFormat;
    }

    // A number's value as stored; not a number (which no date shows) when it is none.
    static double numberOf(std::string_view text)
    {
        double number = std::numeric_limits<double>::quiet_NaN();
        const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), number);
        return failed == std::errc() && end == text.data() + text.size() ? number : std::numeric_limits<double>::quiet_NaN();
    }

    enum class Type { Number, Shared, Inline, Date, Other };
    struct SharedCell {
        quint32 row, column, index;
    };
    std::deque<SharedCell> m_sharedCells; // grows without copying itself
    SheetRowsBuilder m_rows;
    const std::vector<NumberFormat> m_dateStyles;
    const bool m_date1904;
    NumberFormat m_format = NumberFormat::Number, m_lastFormat = NumberFormat::Number;
    std::string m_lastStyle; // "" names no format
    bool m_inWorksheet = false, m_dimensionSeen = false, m_sheetDataSeen = false, m_inSheetData = false;
    bool m_inRow = false, m_inCell = false, m_valueSeen = false, m_inlineSeen = false;
    int m_column = 0, m_valueDepth = 0;
    Type m_type = Type::Number;
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
        // The names are a help to the eye only: a workbook part that cannot be read whole up to the
        // end of its list leaves them out, for the sheets it names may be any of those it has.
        // Each sheet needs an entry of its own, so no workbook lists more sheets than entries.
        QHash<QString, int> parts;
        WorkbookPart listed;
        QString reason;
        if (!readWorksheetRelationships(zip, workbook.worksheets, parts, &reason)
            || !readWorkbookPart(zip, listed, zip.entryNames().size(), &reason)) {
            Show_NSLog_Message(QStringLiteral("%1: the sheets go by their part names: %2").arg(QFileInfo(path).fileName(), reason));
            listed.sheets.clear();
        }
        // A worksheet is offered once, under the first name the list gives it.
        QSet<int> offered;
        for (const WorkbookPart::Sheet &sheet : std::as_const(listed.sheets)) {
            workbook.sheetNames << sheet.name;
            if (const int number = parts.value(sheet.relationship); number > 0 && !offered.contains(number)) {
                offered.insert(number);
                workbook.sheets.append({sheet.name, number});
            }
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

        // Dates are told by their cells' formats, in the workbook's date system. Without its styles a
        // date would read as the number it is kept as, and without its date system as another
        // date: a workbook that does not tell them is refused rather than read wrong.
        WorkbookPart workbook;
        std::vector<NumberFormat> dateStyles;
        QString reason;
        if (!readDateStyles(zip, dateStyles, &reason))
            return SpreadsheetRows::failure(
                QStringLiteral("The workbook's styles cannot be read, so its dates cannot be told from numbers. %1").arg(reason));
        if (!readWorkbookPart(zip, workbook, 0, &reason)
            && std::any_of(dateStyles.begin(), dateStyles.end(), [](NumberFormat format) { return format != NumberFormat::Number; }))
            return SpreadsheetRows::failure(QStringLiteral("The workbook's date system cannot be read. %1").arg(reason));

        // The shared strings are read on a thread of their own, through an archive handle of its own.
        SharedStrings sharedStrings;
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
        SheetReader sheet(rowLimit, std::move(dateStyles), workbook.date1904);
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
