// Series of 1,000,000 values: opening one in the viewer (read, split, trim, lay out and paint the
// window once), and generating and writing one.

#include "core/AppState.h"
#include "datasource/SeriesGenerator.h"
#include "datasource/SeriesStore.h"
#include "datasource/ui/View_Data_Series.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

constexpr int kValues = 1000000;

void BM_ViewMillionValueSeries(benchmark::State &state)
{
    QTemporaryDir resources;
    App().Data_Folder_Path = resources.path();
    QByteArray bytes;
    for (int n = 1; n <= kValues; ++n)
        bytes += "GUEST-" + QByteArray::number(n) + '\n';
    QFile file(QDir(resources.path()).filePath(QStringLiteral("Million.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        state.SkipWithError("cannot write the series");
    file.close();
    View_Data_Series *viewer = View_Data_Series::defaultInstance();
    for (auto _ : state) {
        int rows = 0;
        QTimer::singleShot(0, viewer, [&] {
            viewer->repaint();
            rows = viewer->List->model()->rowCount();
            viewer->OK_Btn_Clicked();
        });
        View_Data_Series::Open_Series(QStringLiteral("Million"));
        if (rows != kValues)
            state.SkipWithError("the viewer did not show every value");
    }
    App().Data_Folder_Path.clear();
}
BENCHMARK(BM_ViewMillionValueSeries)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

namespace {

// Generating 1,000,000 numbered values and writing them as a series file.
void BM_GenerateMillionValueSeries(benchmark::State &state)
{
    QTemporaryDir resources;
    App().Data_Folder_Path = resources.path();
    SeriesGenerator::Fields fields;
    fields.prefix = QStringLiteral("INV-");
    fields.from = QStringLiteral("1");
    fields.to = QStringLiteral("1000000");
    fields.manage_digit = true;
    for (auto _ : state) {
        const std::optional<QByteArray> lines = SeriesGenerator::generate(fields, kMostSeriesBytes);
        if (!lines || !Write_Series_Lines(QStringLiteral("Generated"), *lines))
            state.SkipWithError("the series was not written");
    }
    App().Data_Folder_Path.clear();
}
BENCHMARK(BM_GenerateMillionValueSeries)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
