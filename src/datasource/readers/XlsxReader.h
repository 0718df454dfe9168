#pragma once

#include "datasource/readers/SpreadsheetRows.h"
#include "datasource/readers/SpreadsheetWorkbook.h"

// The .xlsx reader: a workbook's worksheets and the rows of one of them (see SpreadsheetWriter).
namespace spreadsheet {

SpreadsheetWorkbook readXlsxWorkbook(const QString &path);
// The first `rowLimit` rows of worksheet `sheetNumber`, every row for -1.
SpreadsheetRows readXlsxSheet(const QString &path, int sheetNumber, qsizetype rowLimit = -1);

} // namespace spreadsheet
