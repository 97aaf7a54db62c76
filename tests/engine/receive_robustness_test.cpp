// Random and adversarial bytes through the receive path in every mode; run
// under the sanitizer build as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "engine/perif.h"
#include "engine/uniset.h"
#include "tests/engine/probe_handlers.h"
#include "tests/engine/recording_window.h"

namespace {

const std::string Tokens[] = {"\r\n", "\r", "\n", "OK", "NO CARRIER", "NO DIALTONE", "0", "3", "6",
                              "+++", "+", "> ", "+CSQ: 15,99", "+CSQ: 99999999999,-5", "+CME ERROR: ",
                              "\x1A", "\x1B", std::string(1, '\0'), std::string("\x80\x00\xB0\xA0", 4),
                              "\x8F\xFF", "\x85", "\xB0", "\xA0"};

std::string RandomChunk(std::mt19937& rng)
{
    std::string s;
    const int parts = int(rng() % 8) + 1;
    for (int i = 0; i < parts; ++i) {
        switch (rng() % 4) {
        case 0: {
            const int n = int(rng() % 16);
            for (int k = 0; k < n; ++k)
                s += char(rng() & 0xFF);
            break;
        }
        case 1:
            s += char(0x80 | (rng() & 0x0F));
            s += char(rng() & 0xFF);
            break;
        default:
            s += Tokens[rng() % (sizeof Tokens / sizeof Tokens[0])];
            break;
        }
    }
    return s;
}

bool SumIsRight(const std::string& frame)
{
    if (frame.size() < 6)
        return false;
    unsigned sum = 1;
    for (size_t i = 0; i + 1 < frame.size(); ++i)
        sum += uint8_t(frame[i]);
    return uint8_t(sum) == uint8_t(frame.back());
}

}  // namespace

TEST(ReceiveRobustness, RandomBytesInEveryMode)
{
    std::mt19937 rng(20240611u);
    for (int startMode = 0; startMode <= 3; ++startMode) {
        TRecordingWindow window;
        VUniSET engine(nullptr, &window);
        std::vector<std::string> log;
        InstallProbes(engine, log);
        uint32_t now = 0xFFF00000u;  // crosses the wrap of the tick on the way
        for (int round = 0; round < 50000; ++round) {
            // Keep to the mode under test most of the time.
            if (engine.getMode() != startMode && rng() % 4 == 0) {
                if (startMode == 1) {
                    engine.expectPduLine();
                } else if (startMode == 2) {
                    engine.beginSmsText();
                } else {
                    engine.setMode(startMode);
                }
            }
            const std::string chunk = RandomChunk(rng);
            for (char c : chunk) {
                engine.receivedByte(now, uint8_t(c));
                ASSERT_GE(engine.getMode(), 0);
                ASSERT_LE(engine.getMode(), 3);
                ASSERT_GE(engine.getRecogniser(), 0);
                ASSERT_LE(engine.getRecogniser(), 28);
                ASSERT_LE(engine.getRxBuffer().length(), VUniSET::MaxLineLength);
                if (engine.getMode() == 3) {
                    ASSERT_LE(engine.getRxBuffer().length(), 4101u);
                }
            }
            now += rng() % 1500;
            switch (rng() % 16) {
            case 0:
                engine.tick(now);
                break;
            case 1:
                engine.sendData("+++", 3, now);
                break;
            case 2: {
                const std::string data = RandomChunk(rng);
                engine.sendFrame(now, uint8_t(rng()), data.data(), int(data.size()));
                break;
            }
            case 3:
                engine.sendData(chunk.data(), int(chunk.size()), now);
                break;
            default:
                break;
            }
            for (const auto& e : LogOf(log, "onFrame"))
                ASSERT_TRUE(SumIsRight(e.substr(e.find(':', e.find(':') + 1) + 1)));
            log.clear();
        }
        // Whatever came before, the engine takes the next clean line.
        engine.setMode(0);
        log.clear();
        for (char c : std::string("\r\n\r\nOK\r\n"))
            engine.receivedByte(now, uint8_t(c));
        auto lines = LogOf(log, "onResponse");
        ASSERT_FALSE(lines.empty()) << startMode;
        EXPECT_EQ(lines.back(), "17:onResponse:OK\r\n") << startMode;
    }
}

TEST(ReceiveRobustness, LongStreamsWithoutLineEnds)
{
    TRecordingWindow window;
    VUniSET engine(nullptr, &window);
    std::mt19937 rng(7u);
    for (int i = 0; i < 3 * int(VUniSET::MaxLineLength); ++i) {
        uint8_t b = uint8_t(rng() & 0xFF);
        if (b == '\n')
            b = 'n';
        engine.receivedByte(1, b);
        ASSERT_LE(engine.getRxBuffer().length(), VUniSET::MaxLineLength);
    }
}

TEST(ReceiveRobustness, RangeChooserOnRandomTexts)
{
    class Plain : public VPerif {
    public:
        using VPerif::VPerif;
        bool isBusy() const override { return false; }
    } h(nullptr);
    std::mt19937 rng(99u);
    const char alphabet[] = "()-,0123456789 \"+-x";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int n = int(rng() % 40);
        for (int k = 0; k < n; ++k)
            text += alphabet[rng() % (sizeof alphabet - 1)];
        std::vector<int> prefs;
        const int np = int(rng() % 8);
        for (int k = 0; k < np; ++k)
            prefs.push_back(int(rng() % 5) - 1);
        const size_t size = rng() % 6;
        const int groups = int(rng() % 8) - 1;
        // Nothing is written past the array given.
        std::vector<int> chosen(size + 2, -99);
        h.chooseSupported(text, prefs, std::span<int>(chosen.data(), size), groups);
        for (size_t k = size; k < chosen.size(); ++k)
            ASSERT_EQ(chosen[k], -99) << text;
    }
}
