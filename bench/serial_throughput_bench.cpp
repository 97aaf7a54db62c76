// Throughput of the serial port component over a pseudo-terminal whose far
// end echoes everything back: bytes per second through the whole path, and
// the main thread's CPU time per MiB (queueing writes and raising receive
// events). Run by hand: build-dir/bench/serial_throughput_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "serial/vtscomm32.h"

namespace {

double ThreadCpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// The master side of a pseudo-terminal, echoing on its own thread.
class EchoPeer {
public:
    EchoPeer()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        grantpt(master_);
        unlockpt(master_);
        char name[128] = {};
        ptsname_r(master_, name, sizeof name);
        path_ = name;
        thread_ = std::thread([this] {
            char buffer[8192];
            while (!stop_) {
                pollfd p {master_, POLLIN, 0};
                if (::poll(&p, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n <= 0)
                    continue;
                for (ssize_t done = 0; done < n;) {
                    const ssize_t w = ::write(master_, buffer + done, static_cast<size_t>(n - done));
                    if (w > 0)
                        done += w;
                    else if (errno != EINTR && errno != EAGAIN)
                        return;
                }
            }
        });
    }
    ~EchoPeer()
    {
        stop_ = true;
        thread_.join();
        ::close(master_);
    }
    const std::string& Path() const { return path_; }

private:
    int master_;
    std::string path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void BM_EchoThroughComponent(benchmark::State& state)
{
    const size_t total = static_cast<size_t>(state.range(0));
    const size_t piece = static_cast<size_t>(state.range(1));
    EchoPeer peer;
    size_t received = 0;
    TVTSComm32 comm;
    comm.SetReceiveDataEvent([&](VTixCommunicationComponent*, const char*, uint16_t n) { received += n; });
    comm.SetCommPort(peer.Path());
    if (!comm.Connected()) {
        state.SkipWithError("the pseudo-terminal did not open");
        return;
    }
    const std::string data(piece, 'U');
    double mainCpu = 0;
    for (auto _ : state) {
        received = 0;
        const double cpu0 = ThreadCpuSeconds();
        for (size_t sent = 0; sent < total; sent += piece)
            comm.WriteCommData(data.data(), static_cast<int32_t>(std::min(piece, total - sent)));
        while (received < total)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        mainCpu += ThreadCpuSeconds() - cpu0;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(total));
    const double mib = static_cast<double>(state.iterations()) * static_cast<double>(total) / (1 << 20);
    state.counters["main_cpu_ms_per_MiB"] = mainCpu * 1000 / mib;
}

BENCHMARK(BM_EchoThroughComponent)
    ->Args({1 << 20, 1 << 20})
    ->Args({1 << 20, 4096})
    ->Args({1 << 20, 64})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
