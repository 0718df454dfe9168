#include "datasource/readers/Xml2003Reader.h"

#include "datasource/readers/SpreadsheetDates.h"
#include "datasource/readers/SpreadsheetStreaming.h"

#include <QFileInfo>

using namespace spreadsheet;

namespace {

// The rows of the first table of the first worksheet of an XML Spreadsheet 2003 file. Rows and
// cells stand where their "Index" puts them (from 1), a cell after a merged one after the merged
// columns, and a row with a "Span" stands for that many more; empty rows count only before a value.
class Xml2003Reader {
public:
    explicit Xml2003Reader(qsizetype rowLimit) : m_rows(SheetRowsBuilder::EmptyRows::UpToTheLastValue, rowLimit) {}
    // Whether the rows asked for are read: the read stops there.
    bool full() const { return m_rows.full(); }

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
                    sheetName = name ? xmlText(QString::fromStdString(*name)) : QString();
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
                    const std::string *type = xml.attribute("Type");
                    m_dateTime = type && *type == "DateTime";
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
            const QString date = m_dateTime ? dateOfIso(m_text.bytes()) : QString();
            QString value = date.isEmpty() ? m_text.toString() : date;
            if (!value.isEmpty() && !m_rows.setCell(m_column, std::move(value)))
                return rowsFailed(m_rows, error);
            m_column += 1 + m_merged;
        } else if (d == 4 && m_inRow) {
            m_inRow = false;
            if (!m_rows.endRow(m_rowRepeat))
                return rowsFailed(m_rows, error);
            m_nextRow += m_rowRepeat;
            return !m_rows.full();
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
        m_dataSeen = m_dateTime = false;
        m_text.clear();
        return true;
    }

    SheetRowsBuilder m_rows;
    bool m_inWorkbook = false, m_worksheetSeen = false, m_inWorksheet = false, m_tableSeen = false, m_inTable = false;
    bool m_inRow = false, m_inCell = false, m_dataSeen = false, m_dateTime = false;
    int m_dataDepth = 0;
    qint64 m_nextRow = 1, m_rowRepeat = 1, m_column = 1, m_merged = 0;
    CellText m_text;
};

} // namespace

namespace spreadsheet {

SpreadsheetRows readXml2003(const QString &path, QString *sheetName, qsizetype rowLimit)
{
    return guarded([&] {
        Xml2003Reader sheet(rowLimit);
        QString error;
        if (!streamFile(path, &error, [&](const XmlPullReader &xml, XmlPullReader::Token token) { return sheet.take(xml, token, &error); })
            && !sheet.full())
            return SpreadsheetRows::failure(error);
        if (sheetName)
            *sheetName = sheet.sheetName;
        return sheet.finish(QFileInfo(path).fileName());
    });
}

} // namespace spreadsheet
