#pragma once

#include "datasource/readers/SpreadsheetRows.h"
#include "datasource/readers/SpreadsheetWorkbook.h"

#include <QList>
#include <QString>
#include <QStringList>

// Reads the cells of one worksheet of an .xlsx workbook and writes a one-sheet .xlsx workbook from
// rows of values; likewise for OpenDocument and XML 2003 spreadsheets (below). The readers, one
// per form, are in readers/; this class picks one by the file's extension. Plain functions of
// their arguments: any thread may call them, nothing is kept between calls and nothing is unpacked to disk. A sheet and its shared strings are inflated and
// parsed piece by piece straight into rows (side by side, on two threads), so that memory follows
// the rows rather than the XML; the small parts are read whole. A workbook that cannot be read gives
// an error with its reason. Worksheet N is the part "xl/worksheets/sheetN.xml".
class SpreadsheetWriter {
public:
    using Sheet = SpreadsheetWorkbook::Sheet;
    using Workbook = SpreadsheetWorkbook;

    // Opens the workbook at `path`: which worksheets it has and what they are called. A package
    // without worksheets is an error.
    static Workbook ReadWorkbook(const QString &path);

    // Every row of worksheet `sheetNumber` (from 1) in the order the part writes them: a row the part
    // does not write is not returned, a written empty row is a row of empty strings. The column count
    // is the larger of the sheet's declared dimension and the last column that holds a cell. A shared
    // string gives the text of its item, runs included; an inline string likewise; any other cell
    // (number, formula, boolean) gives its stored value as written, "" when it has none.
    // With a `rowLimit`, only the first rows are read: the read stops once they are in, and the
    // column count is what they and the declared dimension give.
    static SpreadsheetRows ReadData(const QString &path, int sheetNumber, qsizetype rowLimit = -1);

    // The titles of worksheet `sheetNumber`: its first row, "Untitled Column %d" (from 1) where a cell
    // has no text; no row when the sheet has none. Only the first row is read.
    static SpreadsheetRows ReadData_only_column(const QString &path, int sheetNumber);

    // Writes `data` as the one sheet of a new workbook at `path`, whole and safely, from the shipped
    // "Template.xlsx" of Resource_Path: its sheet and shared strings replaced, every other part kept. A value that reads
    // back as the same number is a numeric cell, any other value a shared string, so that texts such
    // as "007" or long digit strings keep every character. `hasTitleRow` changes nothing: a title row
    // is simply the first row of the data. A character XML 1.0 cannot hold, a carriage return and
    // the "_" of a text that looks like one written so are kept as "_xHHHH_", as workbooks keep
    // them: every text reads back as written, but for those characters, which read back here as
    // U+FFFD as they do from any workbook.
    static bool WriteWorkbook(const QString &path, const QList<QStringList> &data, bool hasTitleRow,
                              QString *error = nullptr);

    // The other forms, each one table (the first of the file): OpenDocument spreadsheets (.ods)
    // and XML Spreadsheet 2003 files. Repeated cells and rows are expanded up to the last value
    // and padded like a worksheet's; cells and rows stand where the file's indexes put them.
    // ReadWorkbook and ReadData read them too, by the file's extension, as a workbook of one sheet.
    static SpreadsheetRows ReadODS(const QString &path);
    static SpreadsheetRows ReadWorksheetXML2004(const QString &path);
    // Writes `data` as the one sheet of an .ods package from the shipped "Template.ods" (its
    // content replaced, "mimetype" first and stored), or of an XML 2003 file; every value a string
    // cell (.ods) or a number only when it reads back as the same text (XML 2003). Nothing is
    // written, and the reason given, when a value holds a character XML 1.0 cannot hold; an .ods
    // cell holds no carriage return, which becomes a line break.
    static bool WriteODS(const QString &path, const QList<QStringList> &data, bool hasTitleRow, QString *error = nullptr);
    static bool WriteWorksheetXML2004(const QString &path, const QList<QStringList> &data, QString *error = nullptr);

    // Column letters of column `n` from 1: A … Z, AA … ZZ, AAA … (empty for n < 1).
    static QString ColumnIndexToName(int n);
};
