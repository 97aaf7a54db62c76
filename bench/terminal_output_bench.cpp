// 1 MiB of modem output through the AT terminal, fed as the receive path
// feeds it: each receive event's bytes are cut at line ends, each complete
// line appended and closed, the rest left open; the event loop runs after
// every event so the pane repaints as it would on screen. The pane is full
// after the first 64 KiB, so trimming by MaxChars runs on nearly every
// append from then on.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPlainTextEdit>
#include <cstdlib>
#include <string>

#include "app/terminal.h"

namespace {

std::string modemOutput(size_t size)
{
    static const char* const lines[] = {
        "AT+CMGL=4\r\r\n",
        "+CMGL: 1,1,,23\r\n",
        "0791246030000010040C912460123456780000902011712345800AD4F29C0E6A97E7F3F0B90C\r\n",
        "+CSQ: 17,0\r\n",
        "OK\r\n",
        "\r\n",
        "+CREG: 0,1\r\n",
        "+CCLK: \"26/12/09,05:06:07+04\"\r\n",
        "RING\r\n",
        "+CLIP: \"+420123456789\",145\r\n",
    };
    std::string out;
    for (size_t i = 0; out.size() < size; ++i)
        out += lines[i % (sizeof lines / sizeof *lines)];
    out.resize(size);
    return out;
}

// Counts what the pane's viewport paints.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void feed(VTixTerminal& t, const std::string& data, size_t chunk)
{
    for (size_t pos = 0; pos < data.size(); pos += chunk) {
        const size_t end = std::min(data.size(), pos + chunk);
        size_t lineStart = pos;
        for (size_t i = pos; i < end; ++i) {
            if (data[i] == '\n' && i > pos && data[i - 1] == '\r') {
                t.addChars(data.data() + lineStart, int(i + 1 - lineStart), VTixTerminal_ltInLine);
                t.breakLine();
                lineStart = i + 1;
            }
        }
        if (lineStart < end)
            t.addChars(data.data() + lineStart, int(end - lineStart), VTixTerminal_ltInLine);
        QCoreApplication::processEvents();  // the next receive event comes through the loop
    }
}

void BM_TerminalReceive1MiB(benchmark::State& state)
{
    const size_t chunk = size_t(state.range(0));
    const std::string data = modemOutput(1 << 20);
    int paints = 0;
    double seconds = 0;
    for (auto _ : state) {
        VTixTerminal t;
        t.SetDocked(false);
        t.SetVisible(true);
        t.Loaded();
        PaintCounter counter;
        t.Form()->findChild<QPlainTextEdit*>()->viewport()->installEventFilter(&counter);
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        feed(t, data, chunk);
        seconds += double(timer.nsecsElapsed()) / 1e9;
        paints += counter.paints;
    }
    const double runs = double(state.iterations());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    state.counters["events"] = double((data.size() + chunk - 1) / chunk);
    state.counters["repaints"] = paints / runs;
    // How many times faster than a 115200 baud line delivers the same bytes.
    state.counters["x_115200"] = (double(data.size()) / 11520.0) / (seconds / runs);
}
BENCHMARK(BM_TerminalReceive1MiB)->Arg(32)->Arg(256)->Arg(4096)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
