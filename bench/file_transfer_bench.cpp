// A 64 KiB file between two stations of this program on the frame link
// (tests/engine/frame_link.h): the handler rig's engines, one simulated
// clock, 10 ms a turn. Reports the bytes carried per simulated second
// against the 200 B/s that 8 bytes per 40 ms give (250 B/s is the nominal
// 8 bytes per 32 ms the station announces, which the 10 ms tick rounds up
// to 40 ms), lossless and at 5 % loss both ways, and with a peer that asks
// for no pause at all (one Block a tick: 800 B/s); and the wall time per
// Block. Run by hand: build-dir/bench/file_transfer_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <string>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_protikus.h"
#include "engine/protikus.h"
#include "tests/engine/frame_link.h"

namespace {

constexpr int FileSize = 64 * 1024;

// Args: loss in percent both ways; the peer's block interval in ms (-1:
// as the station announces it).
void BM_Transfer(benchmark::State& state)
{
    const int loss = int(state.range(0));
    const int interval = int(state.range(1));
    std::string bytes(FileSize, '\0');
    std::mt19937 random(5);
    for (char& c : bytes)
        c = char(random() & 0xFF);
    double simulatedSeconds = 0;
    double wallSeconds = 0;
    int blocks = 0;
    bool whole = true;
    for (auto _ : state) {
        state.PauseTiming();
        TFrameLink link;
        VListItemFile* row = link.caller.queue(link.caller.file("big.bin", bytes), TFrameLink::CalleeNumber);
        if (!link.connect()) {
            state.SkipWithError("no data call");
            return;
        }
        if (interval >= 0)
            link.caller.protikus().getCurrent()->blockInterval = uint32_t(interval);
        link.toCallee.lossPercent = link.toCaller.lossPercent = loss;
        const uint32_t begin = link.elapsed();
        state.ResumeTiming();
        const auto wallBegin = std::chrono::steady_clock::now();
        const bool done = link.runUntil(
            [&] {
                return row->getState() == 3 && link.callee.receivedCount() == 1 &&
                       link.callee.received(0)->getState() == 7;
            },
            3600 * 1000);
        wallSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBegin).count();
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
    const double rate = FileSize * double(state.iterations()) / simulatedSeconds;
    state.counters["B_per_sim_s"] = rate;
    state.counters["pct_of_200"] = rate / 200.0 * 100.0;
    state.counters["blocks"] = double(blocks) / double(state.iterations());
    state.counters["wall_us_per_block"] = wallSeconds * 1e6 / blocks;
}

}  // namespace

BENCHMARK(BM_Transfer)
    ->ArgNames({"loss", "interval"})
    ->Args({0, -1})
    ->Args({5, -1})
    ->Args({0, 0})
    ->Args({5, 0})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
