#include "PrintCard.h"

#include "BenchSupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <atomic>
#include <fstream>
#include <sys/resource.h>

// The print card's records printed to a PDF file: the time, the peak memory (against the 1,000-record
// run's) and the file's size.

namespace {

using namespace print_card;

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
        const RunReport report = printToPdf(path, records, RunCounters{&total, &current, &stop});
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
