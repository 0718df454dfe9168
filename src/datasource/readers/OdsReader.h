#pragma once

#include "datasource/readers/SpreadsheetRows.h"

// The OpenDocument spreadsheet (.ods) reader: the rows of the first table (see SpreadsheetWriter).
namespace spreadsheet {

// The first `rowLimit` rows, every row for -1; the table's name into `tableName` when given.
SpreadsheetRows readOds(const QString &path, QString *tableName = nullptr, qsizetype rowLimit = -1);

} // namespace spreadsheet
