// The zip layer and the spreadsheet readers on arbitrary bytes: every sheet a workbook offers, and
// the one table of an OpenDocument or XML 2003 file, reads or fails with a reason, never crashes.

#include "FuzzSupport.h"

#include "datasource/SpreadsheetWriter.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startFuzzingApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The readers take a path: the input goes through one file, rewritten for each run.
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("input.xlsx"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(fuzzInput(data, size)) != qint64(size))
        abort();
    file.close();
    QList<SpreadsheetRows> tables{SpreadsheetWriter::ReadODS(path), SpreadsheetWriter::ReadWorksheetXML2004(path)};
    for (const SpreadsheetWriter::Sheet &sheet : SpreadsheetWriter::ReadWorkbook(path).sheets)
        tables << SpreadsheetWriter::ReadData(path, sheet.worksheet);
    for (const SpreadsheetRows &rows : std::as_const(tables))
        if (rows.ok())
            for (const QStringList &row : rows.rows)
                if (row.size() != rows.columnCount)
                    abort(); // every row is padded to the column count
    return 0;
}
