// Received lines through the engine: receivedByte and the broadcast to the
// 18 handlers. Run by hand:
//   build/bench/engine_lines_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <string>

#include "engine/main_window_link.h"
#include "engine/uniset.h"

namespace {

// A window that takes everything and shows nothing.
class TQuietWindow : public VMainWindowLink {
public:
    std::string getLangText(const std::string&, const std::string&, const std::string& Default,
                            int) override
    {
        return Default;
    }
    int messageBox2(const std::string&, int) override { return IDNO; }
    int messageBox(const std::string&, const std::string&, int) override { return IDOK; }
    std::string dateTimeText(double) override { return {}; }
    void terminalAddLine(const char*, int, bool) override {}
    bool terminalFocused() override { return false; }
    void flushTerminalLine() override {}
    void VTSComm321StateChange(TCommState) override {}
    void setStatusPanel(int, const std::string&) override {}
    void setEnabled(TControl, bool) override {}
    bool isEnabled(TControl) override { return true; }
    void setVisible(TControl, bool) override {}
    void setEditText(TControl, const std::string&) override {}
    std::string editText(TControl) override { return {}; }
    void setHint(TControl, const std::string&) override {}
    void setFontColor(TControl, TColor) override {}
    void setParentFont(TControl) override {}
    void invalidate(TControl) override {}
    bool isChecked(TControl) override { return false; }
    TColor progressShapeColor() override { return 0; }
    void setProgressShapeColor(TColor) override {}
    void setGaugeProgress(TControl, int) override {}
    void setGaugeMaxValue(TControl, int) override {}
    void setImageIndex(TControl, int) override {}
    void setPowerItem(int, bool, bool, TColor) override {}
    void operatorComboClear() override {}
    void operatorComboAddItem(const std::string&, int) override {}
    int operatorComboCount() override { return 0; }
    void operatorComboSetItemText(int, const std::string&) override {}
    void operatorComboSetItemObject(int, int) override {}
    void operatorComboSetItemIndex(int) override {}
    void operatorComboSetText(const std::string&) override {}
    void operatorComboRepaint() override {}
    int optionAutomation() override { return 0; }
    int userLevel() override { return 0; }
    bool optionsDialogExists() override { return false; }
    bool optionsDialogVisible() override { return false; }
    void showOptionsDialog() override {}
    void setFlashCount(int) override {}
    void setRinging(bool) override {}
    void EditCALAtextChange() override {}
};

// "AT+CPBR=1,10000" answered: echo, 10,000 entries, OK.
std::string PhonebookListing(int entries)
{
    std::string s = "AT+CPBR=1," + std::to_string(entries) + "\r\r\n";
    for (int i = 1; i <= entries; ++i)
        s += "+CPBR: " + std::to_string(i) + ",\"+42060" + std::to_string(1000000 + i) +
             "\",145,\"Kontakt " + std::to_string(i) + "\"\r\n";
    s += "\r\nOK\r\n";
    return s;
}

void BM_PhonebookListing(benchmark::State& state)
{
    const int entries = int(state.range(0));
    const std::string bytes = PhonebookListing(entries);
    TQuietWindow window;
    VUniSET engine(nullptr, &window);
    int64_t lines = 0;
    for (auto _ : state) {
        for (char c : bytes)
            lines += engine.receivedByte(1000, uint8_t(c));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["lines/s"] = benchmark::Counter(double(lines), benchmark::Counter::kIsRate);
    state.counters["s/line"] = benchmark::Counter(
        double(lines), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PhonebookListing)->Arg(10000)->Unit(benchmark::kMillisecond);

// File data in a data call: frames of 1024 bytes (the recogniser runs on
// every byte too).
void BM_DataFrames(benchmark::State& state)
{
    TQuietWindow window;
    VUniSET engine(nullptr, &window);
    engine.setMode(3);
    std::string frame;
    const int n = 1024;
    frame += char(0x80 + ((n >> 8) & 0x0F));
    frame += char(n & 0xFF);
    frame += "\xB0\xA0\x42";
    for (int i = 0; i < n; ++i)
        frame += char(i * 31);
    unsigned sum = 1;
    for (unsigned char c : frame)
        sum += c;
    frame += char(sum & 0xFF);
    int64_t frames = 0;
    for (auto _ : state) {
        for (char c : frame)
            frames += engine.receivedByte(1000, uint8_t(c));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frame.size()));
    state.counters["frames/s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DataFrames);

// Command lines written and announced to the 18 handlers.
void BM_SendLine(benchmark::State& state)
{
    TQuietWindow window;
    VUniSET engine(nullptr, &window);
    uint32_t now = 0;
    for (auto _ : state)
        engine.sendLine(++now, "AT+CPBR=1,10000", -1);
    state.counters["lines/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SendLine);

}  // namespace

BENCHMARK_MAIN();
