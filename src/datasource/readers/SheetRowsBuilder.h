#pragma once

#include "datasource/readers/SpreadsheetRows.h"

// Gathers the cells a spreadsheet reader finds, row by row, into the padded rows of
// SpreadsheetRows, holding the table to the readers' bounds before memory is taken: a file that
// asks for more rows, columns or cells than a sheet may have fails with the reason. Cells are
// placed by column, so gaps stay gaps. Repeats (a cell or row standing for several) are expanded
// only up to the last value: repeated empty cells at the end of a row and empty rows at the end of
// the table take no memory and are not returned.
class SheetRowsBuilder {
public:
    // Bounds for what a sheet may make this program allocate (the largest sheet the common
    // spreadsheet programs make, and cells after padding every row to the column count).
    static constexpr int kMaxColumns = 16384;
    static constexpr int kMaxRows = 1048576;
    static constexpr qint64 kMaxCells = 4000000;
    // A cell keeps at most this many characters, as spreadsheets do; a longer text is cut. A sheet
    // holds at most kMaxText characters in all its cells, each repeat counted, or it is refused.
    static constexpr qsizetype kMaxCellText = 32767;
    static constexpr qint64 kMaxText = 64LL * 1024 * 1024;

    enum class EmptyRows {
        Kept,            // every row the file writes is a row, empty or not (.xlsx)
        UpToTheLastValue // empty rows count only before a row that holds a value
    };
    // `rowLimit` rows at most are returned, and a reader may stop once full(); none for -1.
    explicit SheetRowsBuilder(EmptyRows emptyRows, qsizetype rowLimit = -1) : m_emptyRows(emptyRows), m_rowLimit(rowLimit) {}

    // The table is at least `columns` wide: a dimension the file declares, an empty cell it writes.
    bool widen(int columns);
    void beginRow();
    // `value` in `column` (from 1) and in the `repeat` - 1 columns after it.
    bool setCell(qint64 column, QString value, qint64 repeat = 1);
    // The row ends, standing for `repeat` rows.
    bool endRow(qint64 repeat = 1);
    // Rows ended so far.
    qsizetype rowCount() const { return m_rows.size() + m_pendingEmptyRows; }
    // Whether the rows of the limit are all in: the rest of the sheet cannot change them.
    bool full() const { return m_rowLimit >= 0 && m_rows.size() >= m_rowLimit; }
    // Puts `value` into the ended row `row` (from 0) at a `column` (from 1) that setCell has already
    // taken into the width: for values known only once the whole sheet has been read. `wasCut` says
    // that `value` was already cut to what a cell keeps, to be counted as such.
    bool fill(qsizetype row, int column, QString value, bool wasCut = false);
    // How many characters of `value` a cell keeps: kMaxCellText at most, never half a surrogate pair.
    static qsizetype keptLength(QStringView value);
    // The rows, each padded to the column count; the error when a bound was passed. Cells that were
    // cut are logged in one line that names the `sheet`.
    SpreadsheetRows finish(const QString &sheet);

    bool failed() const { return !m_error.isEmpty(); }
    // Why a bound was passed; empty while none was.
    const QString &error() const { return m_error; }

private:
    bool fail(const QString &reason);
    bool fits(qint64 rows, qint64 columns);
    // `value` cut to what a cell keeps, counted.
    void keep(QString &value);
    bool textFits(qint64 more);

    EmptyRows m_emptyRows;
    qsizetype m_rowLimit;
    QList<QStringList> m_rows;
    QStringList m_row;
    bool m_rowHasValue = false;
    qint64 m_pendingEmptyRows = 0;
    int m_columns = 0;
    qint64 m_text = 0, m_rowText = 0; // characters in the ended rows, in the row under way
    qint64 m_cutCells = 0;
    QString m_error;
};
