#include "datasource/readers/SheetRowsBuilder.h"

#include "core/MessageBoxes.h"

#include <algorithm>
#include <utility>

bool SheetRowsBuilder::fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = reason;
    return false;
}

bool SheetRowsBuilder::fits(qint64 rows, qint64 columns)
{
    if (rows > kMaxRows)
        return fail(QStringLiteral("The sheet has more than %1 rows.").arg(kMaxRows));
    if (columns > kMaxColumns)
        return fail(QStringLiteral("The sheet has more than %1 columns.").arg(kMaxColumns));
    if (rows * columns > kMaxCells)
        return fail(QStringLiteral("The sheet is too large: %1 rows of %2 columns.").arg(rows).arg(columns));
    return true;
}

qsizetype SheetRowsBuilder::keptLength(QStringView value)
{
    if (value.size() <= kMaxCellText)
        return value.size();
    return value.at(kMaxCellText - 1).isHighSurrogate() ? kMaxCellText - 1 : kMaxCellText;
}

void SheetRowsBuilder::keep(QString &value)
{
    if (value.size() <= kMaxCellText)
        return;
    ++m_cutCells;
    value.truncate(keptLength(value));
}

bool SheetRowsBuilder::textFits(qint64 more)
{
    if (m_text + more > kMaxText)
        return fail(QStringLiteral("The sheet holds more than %1 MB of text.").arg(kMaxText >> 20));
    return true;
}

bool SheetRowsBuilder::widen(int columns)
{
    if (columns <= m_columns)
        return true;
    if (!fits(m_rows.size() + 1, columns))
        return false;
    m_columns = columns;
    return true;
}

void SheetRowsBuilder::beginRow()
{
    m_row = m_emptyRows == EmptyRows::Kept ? QStringList(m_columns) : QStringList();
    m_rowHasValue = false;
    m_rowText = 0;
}

bool SheetRowsBuilder::setCell(qint64 column, QString value, qint64 repeat)
{
    if (column < 1 || repeat < 1 || column + repeat - 1 > kMaxColumns)
        return fail(QStringLiteral("The sheet has more than %1 columns.").arg(kMaxColumns));
    const int last = int(column + repeat - 1);
    if (m_emptyRows == EmptyRows::Kept && !widen(last))
        return false;
    if (value.isEmpty())
        return true;
    if (!widen(last))
        return false;
    keep(value);
    m_rowText += value.size() * repeat;
    if (!textFits(m_rowText))
        return false;
    if (m_row.size() < last)
        m_row.resize(last);
    for (int c = int(column); c < last; ++c)
        m_row[c - 1] = value;
    m_row[last - 1] = std::move(value);
    m_rowHasValue = true;
    return true;
}

bool SheetRowsBuilder::endRow(qint64 repeat)
{
    repeat = std::clamp<qint64>(repeat, 1, kMaxRows + 1);
    if (m_emptyRows == EmptyRows::UpToTheLastValue && !m_rowHasValue) {
        m_pendingEmptyRows = std::min<qint64>(m_pendingEmptyRows + repeat, kMaxRows + 1);
        return true;
    }
    const qint64 rows = m_rows.size() + m_pendingEmptyRows + repeat;
    if (!fits(rows, std::max(m_columns, 1)) || !textFits(m_rowText * repeat))
        return false;
    m_text += m_rowText * repeat;
    for (; m_pendingEmptyRows > 0; --m_pendingEmptyRows)
        m_rows.append(QStringList());
    for (qint64 i = 0; i < repeat; ++i)
        m_rows.append(m_row);
    m_row = QStringList();
    return true;
}

bool SheetRowsBuilder::fill(qsizetype row, int column, QString value, bool wasCut)
{
    if (row < 0 || row >= m_rows.size() || column < 1 || column > m_columns)
        return true;
    m_cutCells += wasCut ? 1 : 0;
    keep(value);
    if (!textFits(value.size()))
        return false;
    m_text += value.size();
    QStringList &cells = m_rows[row];
    if (cells.size() < column)
        cells.resize(column);
    cells[column - 1] = std::move(value);
    return true;
}

SpreadsheetRows SheetRowsBuilder::finish(const QString &sheet)
{
    if (failed())
        return SpreadsheetRows::failure(m_error);
    if (m_cutCells > 0)
        Show_NSLog_Message(QStringLiteral("%1: the text of %2 cell(s) was cut to its first %3 characters.")
                               .arg(sheet)
                               .arg(m_cutCells)
                               .arg(kMaxCellText));
    if (m_rowLimit >= 0 && m_rows.size() > m_rowLimit)
        m_rows.resize(m_rowLimit);
    SpreadsheetRows result;
    result.columnCount = m_columns;
    for (QStringList &row : m_rows)
        if (row.size() != m_columns)
            row.resize(m_columns);
    result.rows = std::move(m_rows);
    return result;
}
