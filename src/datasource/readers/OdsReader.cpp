#include "datasource/readers/OdsReader.h"

#include "core/MessageBoxes.h"
#include "datasource/readers/SpreadsheetDates.h"
#include "datasource/readers/SpreadsheetStreaming.h"

#include <QFileInfo>

#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

using namespace spreadsheet;

namespace {

// Styles swell with those pasted from other documents; a part of more is not read for them.
constexpr qint64 kMaxStylesPart = 16 * 1024 * 1024;

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

// Which cell styles show a time as a length of time: those whose number format, their own or a
// parent's, is a time style whose hours run past a day (number:truncate-on-overflow="false").
// A time cell in any other style that holds more than a day is a date-time shown as a clock.
class OdsTimeStyles {
public:
    // Takes the styles from either part, styles.xml or the content's automatic styles.
    void take(const XmlPullReader &xml, XmlPullReader::Token token)
    {
        if (token == XmlPullReader::EndElement) {
            if (xml.depth() + 1 == m_timeStyleDepth)
                m_timeStyleDepth = 0;
            return;
        }
        if (token != XmlPullReader::StartElement || m_cellStyles.size() + m_elapsedFormats.size() >= kMaxStyles)
            return;
        const std::string *overflow = xml.attribute("truncate-on-overflow");
        if (xml.nameIs("time-style")) {
            const std::string *name = xml.attribute("name");
            m_timeStyleDepth = name ? xml.depth() : 0;
            m_timeStyle = name ? *name : std::string();
        } else if (xml.nameIs("style")) {
            const std::string *family = xml.attribute("family"), *name = xml.attribute("name");
            const std::string *format = xml.attribute("data-style-name"), *parent = xml.attribute("parent-style-name");
            if (family && *family == "table-cell" && name)
                m_cellStyles[*name] = {format ? *format : std::string(), parent ? *parent : std::string()};
        }
        if (m_timeStyleDepth && overflow && *overflow == "false")
            m_elapsedFormats.insert(m_timeStyle);
    }
    NumberFormat formatOf(const std::string &cellStyle) const
    {
        std::string style = cellStyle;
        for (int i = 0; i < kMaxDepth && !style.empty(); ++i) {
            const auto found = m_cellStyles.find(style);
            if (found == m_cellStyles.end())
                break;
            if (!found->second.first.empty())
                return m_elapsedFormats.count(found->second.first) ? NumberFormat::Elapsed : NumberFormat::Date;
            style = found->second.second;
        }
        return NumberFormat::Date;
    }

private:
    static constexpr std::size_t kMaxStyles = 65536;
    static constexpr int kMaxDepth = 16;
    std::unordered_map<std::string, std::pair<std::string, std::string>> m_cellStyles; // its format and parent
    std::unordered_set<std::string> m_elapsedFormats;
    int m_timeStyleDepth = 0;
    std::string m_timeStyle;
};

// The rows of the first table of an OpenDocument spreadsheet's content, row groups and header rows
// included; repeated cells and rows are expanded up to the last value.
class OdsReader {
public:
    OdsReader(qsizetype rowLimit, OdsTimeStyles styles)
        : m_rows(SheetRowsBuilder::EmptyRows::UpToTheLastValue, rowLimit), m_styles(std::move(styles))
    {
    }
    // Whether the rows asked for are read: the read stops there.
    bool full() const { return m_rows.full(); }

    QString tableName;

    bool take(const XmlPullReader &xml, XmlPullReader::Token token, QString *error)
    {
        const int d = token == XmlPullReader::EndElement ? xml.depth() + 1 : xml.depth();
        if (m_cellDepth && !(token == XmlPullReader::EndElement && d == m_cellDepth)) {
            m_cell.take(xml, token);
            return true;
        }
        if (m_pathDepth < 2) // the automatic styles, before the body
            m_styles.take(xml, token);
        if (token == XmlPullReader::StartElement) {
            if (d <= 3) {
                static constexpr std::string_view kPath[] = {"document-content", "body", "spreadsheet"};
                m_pathDepth = m_pathDepth == d - 1 && xml.nameIs(kPath[d - 1]) ? d : std::min(m_pathDepth, d - 1);
            } else if (d == 5 && m_pathDepth == 3 && !m_tableDepth && xml.nameIs("null-date")) {
                const std::string *date = xml.attribute("date-value");
                if (const QDate dayZero = date ? QDate::fromString(QString::fromStdString(*date), Qt::ISODate) : QDate(); dayZero.isValid())
                    m_dayZero = dayZero;
            } else if (d == 4 && m_pathDepth == 3 && !m_tableDone && !m_tableDepth && xml.nameIs("table")) {
                m_tableDepth = m_chainDepth = 4;
                const std::string *name = xml.attribute("name");
                tableName = name ? xmlText(QString::fromStdString(*name)) : QString();
            } else if (m_tableDepth && !m_rowDepth && xml.nameIs("table-column") && m_columnsDeclared < SheetRowsBuilder::kMaxColumns) {
                // Cells without a style of their own take their column's.
                // A column repeated no times is none: kept, such columns would fill memory without end.
                const std::string *style = xml.attribute("default-cell-style-name");
                if (const qint64 columns = countOf(xml.attribute("number-columns-repeated")); columns > 0)
                    m_columnStyles.push_back({m_columnsDeclared += columns, style ? *style : std::string()});
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
                // A date or time reads as its value, whatever its style shows.
                const std::string *type = xml.attribute("value-type");
                const std::string *value = !type                ? nullptr
                                           : *type == "date" ? xml.attribute("date-value")
                                           : *type == "time" ? xml.attribute("time-value")
                                                             : nullptr;
                m_dateValue = !value           ? QString()
                              : *type == "date" ? dateOfIso(*value)
                                                : timeOfDuration(*value, m_styles.formatOf(cellStyle(xml.attribute("style-name"))), m_dayZero);
            }
            return true;
        }
        if (token != XmlPullReader::EndElement)
            return true;
        if (d == m_cellDepth) {
            m_cellDepth = 0;
            QString value = m_dateValue.isEmpty() ? m_cell.text() : m_dateValue;
            if (!value.isEmpty() && !m_rows.setCell(m_column, std::move(value), m_cellRepeat))
                return rowsFailed(m_rows, error);
            m_column += m_cellRepeat;
        } else if (d == m_rowDepth) {
            m_rowDepth = 0;
            if (!m_rows.endRow(m_rowRepeat))
                return rowsFailed(m_rows, error);
            return !m_rows.full();
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
        if (!m_tableDone && !m_rows.full())
            return SpreadsheetRows::failure(QStringLiteral("The spreadsheet holds no table."));
        return m_rows.finish(sheet);
    }

private:
    const std::string &cellStyle(const std::string *own) const
    {
        static const std::string none;
        if (own)
            return *own;
        const auto column = std::upper_bound(m_columnStyles.begin(), m_columnStyles.end(), m_column,
                                             [](qint64 c, const std::pair<qint64, std::string> &style) { return c <= style.first; });
        return column != m_columnStyles.end() ? column->second : none;
    }

    SheetRowsBuilder m_rows;
    OdsTimeStyles m_styles;
    QDate m_dayZero{1899, 12, 30};
    std::vector<std::pair<qint64, std::string>> m_columnStyles; // the last column of each declaration, its style
    qint64 m_columnsDeclared = 0;
    int m_pathDepth = 0, m_tableDepth = 0, m_chainDepth = 0, m_rowDepth = 0, m_cellDepth = 0;
    bool m_tableDone = false;
    qint64 m_rowRepeat = 1, m_cellRepeat = 1, m_column = 1;
    OdsCellText m_cell;
    QString m_dateValue;
};

} // namespace

namespace spreadsheet {

SpreadsheetRows readOds(const QString &path, QString *tableName, qsizetype rowLimit)
{
    return guarded([&] {
        ZipArchiveReader zip(path);
        if (!zip.isOpen())
            return SpreadsheetRows::failure(zip.errorString());
        // The common styles may tell which times are lengths of time; without them every time that
        // holds more than a day reads as a date-time.
        OdsTimeStyles styles;
        QString error;
        if (zip.contains(QStringLiteral("styles.xml"))
            && !streamPart(
                zip, QStringLiteral("styles.xml"), &error,
                [&](const XmlPullReader &xml, XmlPullReader::Token token) {
                    styles.take(xml, token);
                    return true;
                },
                kMaxStylesPart))
            Show_NSLog_Message(QStringLiteral("%1: times of more than a day read as dates: %2").arg(QFileInfo(path).fileName(), error));
        OdsReader ods(rowLimit, std::move(styles));
        if (!streamPart(zip, QStringLiteral("content.xml"), &error,
                        [&](const XmlPullReader &xml, XmlPullReader::Token token) { return ods.take(xml, token, &error); })
            && !ods.full())
            return SpreadsheetRows::failure(error);
        if (tableName)
            *tableName = ods.tableName;
        return ods.finish(QFileInfo(path).fileName());
    });
}

} // namespace spreadsheet
