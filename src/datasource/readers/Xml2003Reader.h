#pragma once

#include "datasource/readers/SpreadsheetRows.h"

// The XML Spreadsheet 2003 reader: the rows of the first table of the first worksheet (see
// SpreadsheetWriter).
namespace spreadsheet {

// The first `rowLimit` rows, every row for -1; the worksheet's name into `sheetName` when given.
SpreadsheetRows readXml2003(const QString &path, QString *sheetName = nullptr, qsizetype rowLimit = -1);

} // namespace spreadsheet
