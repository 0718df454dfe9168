// Reading every value of a workbook of 100,000 rows of 10 columns, half texts and half numbers, as
// written by this program. The workbook is made once and kept in the temporary folder, so that a
// second run's peak memory is the reading's alone; peak_MiB is the process's, start_MiB its peak
// before the first read (the program's own size), sheet_xml_MiB the size of the inflated sheet the
// reading is set against. BM_ReadSerials reads 100,000 rows of 10 serial numbers, as plain numbers
// (0) and with every other column in a date-time format (1): what a date costs beyond its number.

#include "core/AppState.h"
#include "datasource/SSZipArchive.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/readers/ZipArchiveReader.h"

#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 10;

QString workbookFile()
{
    App().Resource_Path = QStringLiteral(CARD_RESOURCES_DIR "/");
    const QString path = QDir::temp().filePath(QStringLiteral("card-bench-workbook-%1x%2.xlsx").arg(kRows).arg(kColumns));
    if (QFileInfo::exists(path))
        return path;
    QList<QStringList> rows;
    rows.reserve(kRows);
    for (int r = 0; r < kRows; ++r) {
        QStringList row;
        for (int c = 0; c < kColumns; ++c)
            row << (c % 2 ? QString::number(r * 10 + c) : QStringLiteral("Guest %1 %2").arg(r).arg(c));
        rows << row;
    }
    QString error;
    if (!SpreadsheetWriter::WriteWorkbook(path, rows, true, &error))
        qFatal("%s", qPrintable(error));
    return path;
}

// The serials of `kRows` × `kColumns` cells, every other column in the date-time format "m/d/yy h:mm"
// when `dates`.
QString serialsFile(bool dates)
{
    const QString path = QDir::temp().filePath(QStringLiteral("card-bench-serials-%1x%2-%3.xlsx").arg(kRows).arg(kColumns).arg(dates));
    if (QFileInfo::exists(path))
        return path;
    QByteArray sheet = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    for (int r = 1; r <= kRows; ++r) {
        sheet += "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 0; c < kColumns; ++c)
            sheet += "<c r=\"" + QByteArray(1, char('A' + c)) + QByteArray::number(r) + (dates && c % 2 ? "\" s=\"1\"><v>" : "\"><v>")
                     + QByteArray::number(36526 + (r * 7 + c) % 30000 + double(r % 96) / 96, 'g', 15) + "</v></c>";
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    const QByteArray styles = R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
                              R"(<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="22" applyNumberFormat="1"/></cellXfs></styleSheet>)";
    SSZipArchive zip(path);
    if (!zip.open() || !zip.writeData(sheet, QStringLiteral("xl/worksheets/sheet1.xml")) || !zip.writeData(styles, QStringLiteral("xl/styles.xml"))
        || !zip.close())
        qFatal("%s", qPrintable(zip.errorString()));
    return path;
}

void readWorkbook(benchmark::State &state, const QString &path)
{
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    qsizetype cells = 0;
    for (auto _ : state) {
        const SpreadsheetRows sheet = SpreadsheetWriter::ReadData(path, 1);
        if (!sheet.ok())
            state.SkipWithError(qPrintable(sheet.error));
        cells = sheet.rows.size() * sheet.columnCount;
        benchmark::DoNotOptimize(sheet);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["cells"] = double(cells);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024;
    state.counters["start_MiB"] = double(before.ru_maxrss) / 1024;
    ZipArchiveReader zip(path);
    state.counters["sheet_xml_MiB"] =
        double(zip.read(QStringLiteral("xl/worksheets/sheet1.xml")).value_or(QByteArray()).size()) / (1 << 20);
}

void BM_ReadWorkbook(benchmark::State &state)
{
    readWorkbook(state, workbookFile());
}

void BM_ReadSerials(benchmark::State &state)
{
    readWorkbook(state, serialsFile(state.range(0) != 0));
}

} // namespace

BENCHMARK(BM_ReadWorkbook)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ReadSerials)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
