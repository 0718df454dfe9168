#include "datasource/SheetRowsBuilder.h"

#include <algorithm>

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
}

bool SheetRowsBuilder::setCell(qint64 column, const QString &value, qint64 repeat)
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
    if (m_row.size() < last)
        m_row.resize(last);
    for (int c = int(column); c <= last; ++c)
        m_row[c - 1] = value;
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
    if (!fits(rows, std::max(m_columns, 1)))
        return false;
    for (; m_pendingEmptyRows > 0; --m_pendingEmptyRows)
        m_rows.append(QStringList());
    for (qint64 i = 0; i < repeat; ++i)
        m_rows.append(m_row);
    m_row = QStringList();
    return true;
}

void SheetRowsBuilder::fill(qsizetype row, int column, const QString &value)
{
    if (row < 0 || row >= m_rows.size() || column < 1 || column > m_columns)
        return;
    QStringList &cells = m_rows[row];
    if (cells.size() < column)
        cells.resize(column);
    cells[column - 1] = value;
}

SpreadsheetRows SheetRowsBuilder::finish()
{
    if (failed())
        return SpreadsheetRows::failure(m_error);
    SpreadsheetRows result;
    result.columnCount = m_columns;
    for (QStringList &row : m_rows)
        if (row.size() != m_columns)
            row.resize(m_columns);
    result.rows = std::move(m_rows);
    return result;
}
