#include "datasource/readers/OdsReader.h"

#include "datasource/readers/SpreadsheetDates.h"
#include "datasource/readers/SpreadsheetStreaming.h"

#include <QFileInfo>

using namespace spreadsheet;

namespace {

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
    explicit OdsReader(qsizetype rowLimit) : m_rows(SheetRowsBuilder::EmptyRows::UpToTheLastValue, rowLimit) {}
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
                // A date or time reads as its value, whatever its style shows.
                const std::string *type = xml.attribute("value-type");
                const std::string *value = !type                ? nullptr
                                           : *type == "date" ? xml.attribute("date-value")
                                           : *type == "time" ? xml.attribute("time-value")
                                                             : nullptr;
                m_dateValue = !value ? QString() : *type == "date" ? dateOfIso(*value) : timeOfDuration(*value);
            }
            return true;
        }
        if (token != XmlPullReader::EndElement)
            return true;
        if (d == m_cellDepth) {
            m_cellDepth = 0;
            const QString value = m_dateValue.isEmpty() ? m_cell.text() : m_dateValue;
            if (!value.isEmpty() && !m_rows.setCell(m_column, value, m_cellRepeat))
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
    SheetRowsBuilder m_rows;
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
        OdsReader ods(rowLimit);
        QString error;
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
