#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What every spreadsheet reader gives: the rows of one table, each an array of cell strings in
// column order padded to the column count; or, when the file cannot be read, why not.
struct SpreadsheetRows {
    QList<QStringList> rows;
    int columnCount = 0;
    QString error; // empty when the file was read

    bool ok() const { return error.isEmpty(); }
    static SpreadsheetRows failure(const QString &reason)
    {
        SpreadsheetRows failed;
        failed.error = reason;
        return failed;
    }
};
