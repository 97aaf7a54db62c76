// One pass of a file list: 10,000 rows, one of them changed since the last
// pass (a received block moved its progress), with the marks of a view
// bound. Run by hand:
//   build/bench/file_list_pass_bench
#include <benchmark/benchmark.h>

#include <QItemSelectionModel>
#include <memory>
#include <string>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "calls/list_view_model.h"

namespace {

void BM_PassWithOneChangedRow(benchmark::State& state)
{
    const int rows = int(state.range(0));
    VListViewFile list(false);
    QItemSelectionModel marks(&list.getModel());
    list.bindListView(&marks);
    for (int i = 0; i < rows; ++i) {
        auto item = std::make_unique<VListItemFile>(i + 1);
        VListItemFile* row = item.get();
        list.addItem(std::move(item));
        row->setRemoteName("file" + std::to_string(i) + ".bin");
        row->setSize(1000000);
        row->setState(5);
    }
    list.tick();
    marks.setCurrentIndex(list.getModel().index(rows / 2, 0), QItemSelectionModel::ClearAndSelect);
    VListItemFile* changing = list.getItem(rows / 3);
    int64_t progress = 0;
    for (auto _ : state) {
        progress = (progress + 4096) % 1000000;
        changing->setProgress(progress);
        list.tick();
    }
    if (list.getModel().rowCount() != rows)
        state.SkipWithError("rows lost");
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_PassWithOneChangedRow)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A tick of the same list when nothing changed: no pass at all.
void BM_IdleTick(benchmark::State& state)
{
    VListViewFile list(false);
    for (int i = 0; i < 10000; ++i)
        list.addItem(list.createItem(i + 1));
    list.tick();
    for (auto _ : state)
        list.tick();
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
