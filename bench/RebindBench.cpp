// A sheet taken again in place of a bound one of N columns (1,000, 4,000, 16,384), each column bound
// to one field, the new sheet holding the same titles in the opposite order: the matching of the
// titles, the fields' gathering and every field finding its new column, as the GUI thread does them
// before the sheet is shown.

#include "datasource/Data_From_Excel.h"
#include "datasource/ExcelSheetPicker.h"

#include <benchmark/benchmark.h>

namespace {

void BM_TakeSheetAgain(benchmark::State &state)
{
    const int columns = int(state.range(0));
    QStringList titles, reversed;
    for (int c = 1; c <= columns; ++c)
        titles << QStringLiteral("Title %1").arg(c);
    for (auto it = titles.crbegin(); it != titles.crend(); ++it)
        reversed << *it;
    for (auto _ : state) {
        state.PauseTiming();
        Data_From_Excel store;
        store.bind(titles, {titles});
        QList<DataBinding> fields;
        for (int c = 1; c <= columns; ++c)
            fields << DataBinding{DataBinding::Excel, {}, 0, true, c, titles.at(c - 1)};
        const platform::Subscription listing = store.listBoundFields.subscribe([&fields](QList<Data_From_Excel::BoundField> &listed) {
            for (const DataBinding &field : fields)
                listed << Data_From_Excel::BoundField{QStringLiteral("Front: Text %1").arg(field.excel_col_indx), field.excel_col_indx};
        });
        state.ResumeTiming();
        QString told;
        const std::optional<QHash<int, int>> moves = ExcelSheetPicker::rebinding(store, reversed, &told);
        store.bind(reversed, {reversed});
        for (DataBinding &field : fields)
            store.findColumn(field, *moves);
        benchmark::DoNotOptimize(fields);
        if (fields.first().excel_col_indx != columns)
            state.SkipWithError("the first field did not follow its title");
    }
}
BENCHMARK(BM_TakeSheetAgain)->Arg(1000)->Arg(4000)->Arg(16384)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
