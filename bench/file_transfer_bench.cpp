// A 64 KiB file between two stations of this program on the frame link
// (tests/engine/frame_link.h): the handler rig's engines, one simulated
// clock, 10 ms a turn, a one-way delay of 0, 100 or 300 ms (GSM data
// calls have round trips of 200-500 ms) and 0, 3 or 5 % of the frames
// lost each way. Reports the simulated seconds the file took, the Blocks
// sent, the bytes carried per simulated second against the 200 B/s that
// 8 bytes per 40 ms give (the 32 ms the station announces, rounded up to
// the 10 ms tick), and checks that the file arrived byte for byte. Both
// stations run the current file sender and receiver ("release" 1), or both
// the previous release's (0, tests/engine/previous_transfer.h): before and
// after in one table.
// Run by hand: build-dir/bench/file_transfer_bench
#include <benchmark/benchmark.h>

#include <string>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "tests/engine/frame_link.h"

namespace {

constexpr int FileSize = 64 * 1024;

// Args: the release, one-way delay in ms, loss in percent both ways.
void BM_Transfer(benchmark::State& state)
{
    const bool previous = state.range(0) == 0;
    const auto delay = uint32_t(state.range(1));
    const int loss = int(state.range(2));
    const std::string bytes = SeededBytes(FileSize, 5);
    double simulatedSeconds = 0;
    int blocks = 0;
    bool whole = true;
    for (auto _ : state) {
        state.PauseTiming();
        TFrameLink link;
        if (previous) {
            link.caller.usePreviousRelease();
            link.callee.usePreviousRelease();
        }
        VListItemFile* row = link.caller.queue(link.caller.file("big.bin", bytes), TFrameLink::CalleeNumber);
        if (!link.connect()) {
            state.SkipWithError("no data call");
            return;
        }
        link.toCallee.delayMs = link.toCaller.delayMs = delay;
        link.toCallee.lossPercent = link.toCaller.lossPercent = loss;
        const uint32_t begin = link.elapsed();
        state.ResumeTiming();
        const bool done = link.runUntil(
            [&] {
                return row->getState() == 3 && link.callee.receivedCount() == 1 &&
                       link.callee.received(0)->getState() == 7;
            },
            3600 * 1000);
        state.PauseTiming();
        if (!done) {
            state.SkipWithError("the file did not arrive");
            return;
        }
        simulatedSeconds += (link.elapsed() - begin) / 1000.0;
        blocks += link.toCallee.seen[0x42];
        const std::string target = link.callee.dir.File("saved.bin");
        whole = whole && link.callee.received(0)->save(target) && TestSupport::ReadFile(target) == bytes;
        state.ResumeTiming();
    }
    if (!whole)
        state.SkipWithError("the file arrived damaged");
    const double iterations = double(state.iterations());
    state.counters["sim_s"] = simulatedSeconds / iterations;
    state.counters["B_per_sim_s"] = FileSize * iterations / simulatedSeconds;
    state.counters["pct_of_200"] = FileSize * iterations / simulatedSeconds / 200.0 * 100.0;
    state.counters["blocks"] = double(blocks) / iterations;
    state.counters["identical"] = whole ? 1 : 0;
}

}  // namespace

BENCHMARK(BM_Transfer)
    ->ArgNames({"release", "delay_ms", "loss_pct"})
    ->ArgsProduct({{0, 1}, {0, 100, 300}, {0, 3, 5}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
