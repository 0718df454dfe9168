#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a workbook reader gives on opening: which worksheets the workbook has and what they are
// called; or, when it cannot be read, why not.
struct SpreadsheetWorkbook {
    // A sheet as the workbook lists it: its name and the number of the worksheet part that the
    // workbook's relationships give it.
    struct Sheet {
        QString name;
        int worksheet = 0;
        bool operator==(const Sheet &) const = default;
    };

    QList<int> worksheets; // the numbers of the worksheet parts, in numeric order
    QStringList sheetNames; // the sheets' names as the workbook lists them, in its order
    // The worksheets to offer, in the workbook's order; "sheetN" for each worksheet part, in
    // numeric order, when the workbook does not say which of its sheets is which part.
    QList<Sheet> sheets;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
