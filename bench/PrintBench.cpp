#include "output/SheetPrinting.h"

#include "BenchSupport.h"
#include "BoundCard.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "core/FontNames.h"
#include "document/SKTBarcode.h"
#include "document/SKTText.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <atomic>
#include <fstream>
#include <sys/resource.h>

// Bound records printed to a PDF file on A4 sheets of two columns and five rows of 85.6 × 54 mm
// cards, each card with two texts, a Code 128 and a QR code taking the record's values: the time,
// the peak memory (against the 1,000-record run's) and the file's size.

namespace {

const DesignSnapshot &design()
{
    static const DesignSnapshot card = [] {
        DesignSnapshot made;
        made.front.graphics = {boundText(QStringLiteral("Name"), QRectF(10, 8, 150, 22), 14),
                               boundText(QStringLiteral("Title"), QRectF(10, 32, 150, 16), 9),
                               boundBarcode(QStringLiteral("Code 128"), QStringLiteral("Code"), QRectF(10, 60, 140, 70)),
                               boundBarcode(QStringLiteral("QR Code"), QStringLiteral("Link"), QRectF(170, 70, 60, 60))};
        made.frame = kCard;
        return made;
    }();
    return card;
}

RecordOutcome applyRecord(int record, GraphicList &objects)
{
    for (const SKTGraphicPtr &object : objects) {
        const QString series = object->batch_list_name;
        if (series == QLatin1String("Name") || series == QLatin1String("Title")) {
            auto *graphic = static_cast<SKTText *>(object.get());
            graphic->Text_Value = QStringLiteral("%1 %2").arg(series).arg(record + 1);
            graphic->contents_val.reset();
        } else if (series == QLatin1String("Code")) {
            // As the record binding gives a barcode its value.
            Set_Record_Barcode(*object, QStringLiteral("TICKET-%1").arg(record + 100000));
        } else if (series == QLatin1String("Link")) {
            Set_Record_Barcode(*object, QStringLiteral("https://example.org/guest/%1").arg(record + 1));
        }
    }
    return {};
}

Print_Sheet_Layout twoByFive(int records)
{
    Print_Sheet_Layout layout;
    layout.Set_values_From_Printer(QSizeF(595.28, 841.89), QMarginsF());
    layout.Print_Card_Side = QStringLiteral("F");
    layout.Check_Max_Cell_Value(PrintCellFields{85.6f, 54.0f, 0, 0, 5, 2}, true);
    layout.label_align_val = 5;
    layout.Total_Label = records;
    return layout;
}

double loadAverage()
{
    std::ifstream file("/proc/loadavg");
    double load = 0;
    file >> load;
    return load;
}

// CPU seconds of the whole process: what the run costs whatever else the machine is doing.
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_PrintToPdf(benchmark::State &state)
{
    const int records = int(state.range(0));
    design();
    double seconds = 0, peak = 0, before = 0, bytes = 0, cpu = 0, load = loadAverage();
    for (auto _ : state) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("sheets.pdf"));
        std::atomic<int> total{0};
        std::atomic<double> current{0};
        std::atomic<bool> stop{false};
        before = peakMiB(true);
        QElapsedTimer timer;
        timer.start();
        const double cpuBefore = processCpuSeconds();
        RunReport report;
        {
            QPdfWriter writer(path);
            writer.setResolution(1200); // a printer's high resolution
            writer.setPageLayout(sheetPageLayout(twoByFive(records).paper));
            PagedDeviceTarget target(writer);
            report = printSheets(design(), SheetRun{twoByFive(records), records}, applyRecord, target,
                                 RunCounters{&total, &current, &stop});
        }
        seconds = timer.nsecsElapsed() / 1e9;
        cpu = processCpuSeconds() - cpuBefore;
        peak = peakMiB(false);
        bytes = double(QFileInfo(path).size());
        if (!report.succeeded())
            state.SkipWithError(report.closing({}, {}, {}, false).text().toUtf8().constData());
    }
    state.counters["seconds"] = seconds;
    state.counters["cpu_seconds"] = cpu;
    state.counters["records_per_s"] = records / seconds;
    state.counters["peak_MiB"] = peak;
    state.counters["resident_before_MiB"] = before;
    state.counters["file_MiB"] = bytes / (1024.0 * 1024.0);
    state.counters["load_avg"] = load;
}
BENCHMARK(BM_PrintToPdf)->Arg(1000)->Arg(5000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
