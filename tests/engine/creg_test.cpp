// The registration handler: the report setting, read answers and reports
// of every shape, the Ericsson byte order and the signal read request.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/perif_cgmi.h"
#include "engine/perif_cops.h"
#include "engine/perif_creg.h"
#include "engine/perif_csq.h"
#include "tests/engine/handler_rig.h"
#include "tests/engine/settled_handlers.h"

namespace {

class CountingCSQ : public VPerifCSQ {
public:
    using VPerifCSQ::VPerifCSQ;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    void requestRead() override { ++requests; }
    int requests = 0;
};

// The operator handler has settled: registration may start.
class SettledCOPS : public VPerifCOPS {
public:
    using VPerifCOPS::VPerifCOPS;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isSettled() const override { return true; }
};

struct Creg : ::testing::Test {
    THandlerRig rig;
    VPerifCREG& creg = rig.modem.creg();
    CountingCSQ* csq = nullptr;

    Creg()
    {
        InstallSettledStartup(rig.engine, VPerifModem::hCREG);
        auto counting = std::make_unique<CountingCSQ>(&rig.engine);
        csq = counting.get();
        rig.modem.replaceHandler(VPerifModem::hCSQ, std::move(counting));
        rig.modem.replaceHandler(VPerifModem::hCOPS, std::make_unique<SettledCOPS>(&rig.engine));
    }
    std::string turn(uint32_t advanceMs = 10) { return rig.turn(advanceMs, creg); }
    // Setting established and state read.
    void registered(int n, const std::string& readValue)
    {
        ASSERT_EQ(turn(), "AT+CREG=" + std::to_string(n) + "\r");
        rig.reply("", "OK");
        ASSERT_EQ(turn(), "AT+CREG?\r");
        rig.reply("+CREG: " + readValue, "OK");
    }
    void values(int mode, int stat, int lac, int cell)
    {
        EXPECT_EQ(creg.getMode(), mode);
        EXPECT_EQ(creg.getStat(), stat);
        EXPECT_EQ(creg.getLac(), lac);
        EXPECT_EQ(creg.getCell(), cell);
    }
};

}  // namespace

TEST_F(Creg, StartUpForAnyDeviceButEricsson)
{
    EXPECT_FALSE(creg.isRegistered());
    ASSERT_EQ(turn(), "AT+CREG=1\r");
    EXPECT_TRUE(creg.isBusy());
    rig.line("AT+CREG=1\r\r\n");
    rig.reply("", "OK");
    values(1, -1, -1, -1);
    EXPECT_FALSE(creg.isRegistered());
    // The state is unknown: read at once.
    ASSERT_EQ(turn(), "AT+CREG?\r");
    rig.reply("+CREG: 1,1", "OK");
    values(1, 1, -1, -1);
    EXPECT_TRUE(creg.isRegistered());
    EXPECT_EQ(csq->requests, 0);  // a read answer, not a report
    EXPECT_EQ(turn(60000), "");   // reports keep it current
    EXPECT_EQ(rig.window.statusPanels[2].find("?"), std::string::npos);
}

TEST_F(Creg, EricssonLocationIsByteSwapped)
{
    rig.modem.cgmi().setValue("ERICSSON", 2);
    registered(2, "2,1,\"2B1A\",\"4D3C\"");
    values(2, 1, 0x1A2B, 0x3C4D);
    EXPECT_EQ(rig.window.statusPanels[2].substr(rig.window.statusPanels[2].size() - 13), " (1A2B, 3C4D)");
    rig.line("+CREG: 5,\"1A2B\",\"3C4D\"\r\n");
    values(2, 5, 0x2B1A, 0x4D3C);
    // Only the low 16 bits are swapped.
    rig.line("+CREG: 1,\"01A2B3C4\",\"12345678\"\r\n");
    values(2, 1, 0x01A2C4B3, 0x12347856);
}

TEST_F(Creg, OtherDevicesKeepTheOrder)
{
    registered(1, "1,1");
    rig.line("+CREG: 1,\"1A2B\",\"3C4D\"\r\n");
    values(1, 1, 0x1A2B, 0x3C4D);
}

TEST_F(Creg, ReportsAskForASignalReadingWithoutSendingIt)
{
    registered(1, "1,1");
    rig.line("+CREG: 5\r\n");
    values(1, 5, -1, -1);
    EXPECT_EQ(csq->requests, 1);
    EXPECT_EQ(rig.sent(), "");  // no line of its own while others may wait
    EXPECT_TRUE(creg.isRegistered());
    rig.window.clearCalls();
    rig.line("+CREG: 5\r\n");  // the same again: no redraw, but a new reading
    EXPECT_EQ(rig.window.countCalls("setStatusPanel 2"), 0);
    EXPECT_EQ(csq->requests, 2);
}

TEST_F(Creg, ReadAnswerWithTwoItemsLeavesTheLocationUnknown)
{
    rig.modem.cgmi().setValue("ERICSSON", 2);
    registered(2, "2,1");
    values(2, 1, -1, -1);
}

TEST_F(Creg, AccessTechnologyOfNewerDevices)
{
    registered(1, "1,1");
    // A report with location and access technology.
    rig.line("+CREG: 5,\"0001\",\"0002\",2\r\n");
    values(1, 5, 0x0001, 0x0002);
    EXPECT_EQ(csq->requests, 1);
    // A read answer with them (the setting typed in the terminal).
    rig.engine.sendLine(rig.now, "AT+CREG?", -1);
    rig.reply("+CREG: 2,1,\"1A2B\",\"3C4D\",7", "OK");
    values(2, 1, 0x1A2B, 0x3C4D);
    EXPECT_EQ(csq->requests, 1);
    rig.line("+CREG: 1,\"1A2C\",\"3C4E\"\r\n");
    values(2, 1, 0x1A2C, 0x3C4E);
}

TEST_F(Creg, ShapesOfValues)
{
    struct Case {
        const char* value;
        bool ok, read;
        int mode, stat, lac, cell;
    } cases[] = {
        {"1", true, false, -1, 1, -1, -1},
        {"0,2", true, true, 0, 2, -1, -1},
        {"2,1,\"1A2B\",\"3C4D\"", true, true, 2, 1, 0x1A2B, 0x3C4D},
        {"2,1,\"1A2B\",\"3C4D\",7", true, true, 2, 1, 0x1A2B, 0x3C4D},
        {"1,\"1A2B\",\"3C4D\"", true, false, -1, 1, 0x1A2B, 0x3C4D},
        {"1,\"1A2B\",\"3C4D\",7", true, false, -1, 1, 0x1A2B, 0x3C4D},
        {" 1 , \"1a2b\" , \"3c4d\" ", true, false, -1, 1, 0x1A2B, 0x3C4D},
        {"1,1A2B,3C4D", true, false, -1, 1, 0x1A2B, 0x3C4D},  // unquoted hex location
        {"2,1,\"XYZ\",\"\"", true, true, 2, 1, -1, -1},
        {"x", true, false, -1, -1, -1, -1},
        {"2,1,\"1A2B\"", false, true, -1, -1, -1, -1},
        {"1,\"1A2B\"", false, false, -1, -1, -1, -1},
        {"2,1,\"1A2B\",\"3C4D\",7,9", false, true, -1, -1, -1, -1},
        {"1,\"1A2B\",\"3C4D\",7,9", false, false, -1, -1, -1, -1},
        {"", false, false, -1, -1, -1, -1},
        {"\"", true, false, -1, -1, -1, -1},
        {"2,1,\"123456789\",\"FFFFFFFF\"", true, true, 2, 1, -1, -1},
    };
    for (const Case& c : cases) {
        bool read = !c.read;
        int mode = 9, stat = 9, lac = 9, cell = 9;
        EXPECT_EQ(VPerifCREG::ParseValue(c.value, read, mode, stat, lac, cell), c.ok) << c.value;
        if (!c.ok)
            continue;
        EXPECT_EQ(read, c.read) << c.value;
        EXPECT_EQ(mode, c.mode) << c.value;
        EXPECT_EQ(stat, c.stat) << c.value;
        EXPECT_EQ(lac, c.lac) << c.value;
        EXPECT_EQ(cell, c.cell) << c.value;
    }
}

TEST_F(Creg, FiveItemsOrMoreClearAllValues)
{
    rig.modem.cgmi().setValue("ERICSSON", 2);
    registered(2, "2,1,\"1A2B\",\"3C4D\"");
    rig.line("+CREG: 1,\"1A2B\",\"3C4D\",7,9\r\n");
    values(-1, -1, -1, -1);
}

TEST_F(Creg, WantedSettingFirst)
{
    // Registered by a report before the setting was confirmed: not yet.
    rig.line("+CREG: 1\r\n");
    EXPECT_EQ(creg.getStat(), 1);
    EXPECT_FALSE(creg.isRegistered());
    EXPECT_EQ(turn(), "AT+CREG=1\r");
}

TEST_F(Creg, ErrorToSettingTwoFallsBackToOne)
{
    rig.modem.cgmi().setValue("ERICSSON", 2);
    ASSERT_EQ(turn(), "AT+CREG=2\r");
    rig.reply("", "+CME ERROR: operation not supported");
    EXPECT_EQ(creg.getWantedMode(), 1);
    EXPECT_EQ(turn(1990), "");  // held after an error
    EXPECT_EQ(turn(20), "AT+CREG=1\r");
    rig.reply("", "ERROR");
    EXPECT_EQ(creg.getMode(), -1);
    // Without reports the state is polled.
    EXPECT_EQ(turn(2010), "AT+CREG?\r");
    rig.reply("+CREG: 0,1", "OK");
    values(0, 1, -1, -1);
    EXPECT_TRUE(creg.isRegistered());
    EXPECT_EQ(turn(9980), "");  // a settled state: every 10 s
    EXPECT_EQ(turn(30), "AT+CREG?\r");
    rig.reply("+CREG: 0,2", "OK");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(turn(1980), "");  // searching: every 2 s
        EXPECT_EQ(turn(30), "AT+CREG?\r");
        rig.reply("+CREG: 0,2", "OK");
    }
}

TEST_F(Creg, WithoutReportsEveryStateKeepsItsPollingPace)
{
    // The device answers the setting but keeps its reports off: the state
    // is read every 10 s while it is settled (not searching, registered,
    // denied), every 2 s otherwise.
    ASSERT_EQ(turn(), "AT+CREG=1\r");
    rig.reply("", "OK");
    ASSERT_EQ(turn(), "AT+CREG?\r");
    const struct {
        const char* value;
        int stat;
        uint32_t pace;
    } states[] = {
        {"0,0", 0, 10000}, {"0,1", 1, 10000}, {"0,3", 3, 10000}, {"0,2", 2, 2000}, {"0,4", 4, 2000},
        {"0,5", 5, 2000},  {"0,3", 3, 10000}, {"0,7", 7, 2000},  {"0,0", 0, 10000},
    };
    for (const auto& s : states) {
        rig.reply(std::string("+CREG: ") + s.value, "OK");
        EXPECT_EQ(creg.getMode(), 0) << s.value;
        EXPECT_EQ(creg.getStat(), s.stat) << s.value;
        EXPECT_EQ(turn(s.pace - 20), "") << s.value;
        EXPECT_EQ(turn(30), "AT+CREG?\r") << s.value;
    }
}

TEST_F(Creg, LostAnswersAndOtherLines)
{
    // A lost answer to the setting: repeated after 700 ms.
    ASSERT_EQ(turn(), "AT+CREG=1\r");
    EXPECT_EQ(turn(690), "");
    EXPECT_EQ(turn(20), "AT+CREG=1\r");
    rig.reply("", "OK");
    ASSERT_EQ(turn(), "AT+CREG?\r");
    rig.reply("+CREG: 1,1", "OK");
    // Another line while a query waits: the setting is not sure any more,
    // so the state is polled.
    rig.engine.sendLine(rig.now, "AT+CREG?", -1);
    EXPECT_TRUE(creg.isBusy());
    rig.engine.sendLine(rig.now, "AT+CSQ", -1);
    EXPECT_FALSE(creg.isBusy());
    EXPECT_EQ(creg.getMode(), -1);
    rig.sent();
    EXPECT_EQ(turn(9980), "");
    EXPECT_EQ(turn(30), "AT+CREG?\r");
    EXPECT_EQ(turn(9980), "");  // a lost read waits as long as a poll
    EXPECT_EQ(turn(30), "AT+CREG?\r");
    rig.reply("+CREG: 1,1", "OK");
    EXPECT_EQ(creg.getMode(), 1);
    EXPECT_TRUE(creg.isRegistered());
    EXPECT_EQ(turn(30000), "");
}

TEST_F(Creg, AnyValueIsSurvived)
{
    // Random values from the characters that matter to the splitter.
    const std::string alphabet = "0123456789ABCDEFxyz,\"\" \t-";
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < 20000; ++i) {
        std::string value;
        const size_t n = next() % 40;
        for (size_t k = 0; k < n; ++k)
            value += alphabet[(next() >> 8) % alphabet.size()];
        bool read = false;
        int mode = 0, stat = 0, lac = 0, cell = 0;
        if (VPerifCREG::ParseValue(value, read, mode, stat, lac, cell)) {
            EXPECT_GE(lac, -1) << value;
            EXPECT_GE(cell, -1) << value;
        }
        rig.line("+CREG: " + value + "\r\n");
        rig.engine.sendLine(rig.now, ("AT+CREG" + value).c_str(), -1);
    }
}
