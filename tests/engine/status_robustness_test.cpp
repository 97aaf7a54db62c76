// Random and hostile lines through the operator, signal, clock, alarm and
// battery handlers: nothing may crash, hang or read out of bounds (run
// under the sanitizers too), and the values stay in their ranges.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/perif_cala.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cops.h"
#include "engine/perif_csq.h"
#include "tests/engine/status_stubs.h"

namespace {

const char* const Prefixes[] = {
    "+COPS: ", "+CSQ: ", "+CCLK: ", "+CALA: ", "+CBC: ", "^SBC: ", "AT+COPS", "AT+CCLK",
    "AT+CALA", "AT^SBC",  "AT+CBC", "AT+CSQ",  "OK",      "ERROR",  "+CME ERROR: ", "",
};
const char Alphabet[] = "0123456789,,,\"\"()-+/:. ?=abcXYZ\r\n\t\x1A\x80\xFF";

std::string RandomText(std::mt19937& rng, size_t maxLength)
{
    std::uniform_int_distribution<size_t> len(0, maxLength);
    std::uniform_int_distribution<size_t> pick(0, sizeof Alphabet - 2);
    std::uniform_int_distribution<int> anyByte(1, 255);
    std::uniform_int_distribution<int> coin(0, 9);
    std::string s;
    const size_t n = len(rng);
    for (size_t i = 0; i < n; ++i)
        s += coin(rng) == 0 ? char(anyByte(rng)) : Alphabet[pick(rng)];
    return s;
}

}  // namespace

TEST(StatusRobustness, RandomLinesAndCommands)
{
    TStatusRig rig{{VPerifModem::hCOPS, VPerifModem::hCSQ, VPerifModem::hCCLK, VPerifModem::hCALA,
                    VPerifModem::hCBC}};
    VPerifModem& m = rig.modem;
    std::mt19937 rng(20021208);
    std::uniform_int_distribution<size_t> prefix(0, std::size(Prefixes) - 1);
    std::uniform_int_distribution<int> what(0, 9);
    uint32_t t = rig.t0;
    std::set<std::string> typed;
    for (int i = 0; i < 30000; ++i) {
        t += 37;
        const std::string text = Prefixes[prefix(rng)] + RandomText(rng, 60);
        switch (what(rng)) {
        case 0:
            // A command typed in the terminal.
            rig.engine.sendLine(t, text.c_str(), int(text.size()));
            typed.insert(text + "\r");
            break;
        case 1:
            rig.tick(t);
            break;
        case 2:
            m.cops().requestSelect(int(rng() % 5) - 1);
            m.cala().setRelative(int(rng() % 200000) - 100000, (rng() & 1) != 0);
            m.cala().requestWrite();
            break;
        default:
            rig.line(t, text + ((rng() & 3) ? "\r\n" : "\r\r\n"));
            break;
        }
        if (i % 5000 == 0)
            rig.engine.resetAll(t);
        rig.sent();
        const int index = m.cops().getCurrentIndex();
        ASSERT_GE(index, -2);
        ASSERT_LT(index, m.cops().operatorCount());
        ASSERT_GE(m.cbc().getChargerState(), 0);
        ASSERT_LE(m.cbc().getChargerState(), 6);
        ASSERT_LE(m.cbc().getCharge(), 100);
        ASSERT_EQ(m.cclk().getZoneSuffix().find('"'), std::string::npos);
    }
    // Every line the handlers wrote was one line, with nothing that ends a
    // quoted parameter early.
    int written = 0;
    for (const auto& line : rig.window.terminal) {
        if (typed.count(line.bytes))
            continue;
        ++written;
        ASSERT_FALSE(line.bytes.empty());
        ASSERT_EQ(line.bytes.find('\r'), line.bytes.size() - 1) << line.bytes;
        const size_t quotes = std::count(line.bytes.begin(), line.bytes.end(), '"');
        ASSERT_EQ(quotes % 2, 0u) << line.bytes;
    }
    EXPECT_GT(written, 100);
}

TEST(StatusRobustness, LongAndUnbalancedNetworkLists)
{
    TStatusRig rig{{VPerifModem::hCOPS}};
    const uint32_t t = rig.t0 + 10;
    rig.engine.sendLine(t, "AT+COPS=?", -1);
    std::string list = "+COPS: ";
    for (int i = 0; i < 300; ++i)
        list += "(1,\"Op " + std::to_string(i) + "\",\"O" + std::to_string(i) + "\",\"" +
                std::to_string(23000 + i) + "\"),";
    list += "(2,\"unclosed \\\")\",,(((((\r\n";
    rig.line(t, list);
    EXPECT_EQ(rig.modem.cops().operatorCount(), 300);
    rig.engine.sendLine(t, "AT+COPS=?", -1);
    rig.line(t, "+COPS: " + std::string(5000, '(') + "\r\n");
    rig.line(t, "+COPS: " + std::string(5000, '"') + "\r\n");
    rig.line(t, "+COPS: ()" + std::string(5000, ',') + "\r\n");
    EXPECT_EQ(rig.modem.cops().operatorCount(), 300);
}
