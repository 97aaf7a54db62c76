// The SMS handler listing a full memory: 250 DELIVERs of 160 characters
// in SM, sent by the simulated device paced at 115200 baud (about 88.6 KB,
// so about 7.7 s on the line), through the serial component, the engine
// and the SMS handler into the SMS list. Reports the time from the
// listing command to its end and the main thread's CPU time. The start-up
// before it is not measured; the first listing's 10 s are passed by the
// tick clock. Run by hand: build-dir/bench/sms_listing_bench
#include <benchmark/benchmark.h>

#include <QElapsedTimer>

#include <ctime>
#include <string>

#include "engine/perif_smss.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"

namespace {

constexpr int Messages = 250;

double ThreadCpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// A DELIVER from +420777123456 with 160 characters of 7-bit text.
std::string Deliver(int n)
{
    std::string text = "Zprava " + std::to_string(n) + " ";
    while (text.size() < 160)
        text += char('a' + text.size() % 26);
    std::string octets;
    int bits = 0, acc = 0;
    for (char c : text) {
        acc |= (c & 0x7F) << bits;
        bits += 7;
        while (bits >= 8) {
            octets += char(acc & 0xFF);
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        octets += char(acc & 0xFF);
    static const char hex[] = "0123456789ABCDEF";
    std::string ud;
    for (char o : octets) {
        ud += hex[(o >> 4) & 0xF];
        ud += hex[o & 0xF];
    }
    return "07912460305002000" "40C912470772143650000" "42305131540340" "A0" + ud;
}

void BM_ListFullMemory(benchmark::State& state)
{
    ModemSim::TSimOptions options;
    options.profile = ModemSim::TProfile::Builtin("tc35");
    options.profile.smsMemories = {{"SM", Messages}};
    options.profile.smsMessages.clear();
    for (int i = 1; i <= Messages; ++i)
        options.profile.smsMessages.push_back({"SM", i, 1, Deliver(i)});
    options.paceBaud = 115200;
    for (auto _ : state) {
        Platform::SetTickOffset(0);
        EngineTest::TEngineOnSim rig(options);
        if (!rig.Boot()) {
            state.SkipWithError("the simulator did not start");
            return;
        }
        VPerifSMSs& sms = rig.Engine().getHandlers().smss();
        if (!rig.RunUntil([&] { return sms.isInitialised() && sms.getLastListTick() != 0; }, 120000)) {
            state.SkipWithError("the SMS settings were not made");
            return;
        }
        Platform::SetTickOffset(10000);
        const size_t before = rig.received.size();
        QElapsedTimer timer;
        timer.start();
        const double cpu = ThreadCpuSeconds();
        const bool listed = rig.RunUntil([&] { return rig.window.smsListOwned.getSMSCount() == Messages && !sms.isBusy(); },
                                         60000);
        state.SetIterationTime(timer.elapsed() / 1000.0);
        state.counters["cpu_s"] = ThreadCpuSeconds() - cpu;
        state.counters["bytes"] = double(rig.received.size() - before);
        state.counters["rows"] = rig.window.smsListOwned.getSMSCount();
        if (!listed)
            state.SkipWithError("the listing did not end");
        Platform::SetTickOffset(0);
    }
}
BENCHMARK(BM_ListFullMemory)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
