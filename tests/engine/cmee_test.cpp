// The error-report mode handler.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/perif_cmee.h"
#include "engine/perif_power.h"
#include "tests/engine/handler_rig.h"
#include "tests/engine/settled_handlers.h"

namespace {

class LowPower : public VPerifPower {
public:
    using VPerifPower::VPerifPower;
    void tick(uint32_t) override {}
    bool isFullPower() const override { return false; }
};

struct Cmee : ::testing::Test {
    THandlerRig rig;
    VPerifCMEE& cmee = rig.modem.cmee();

    Cmee() { InstallSettledStartup(rig.engine, VPerifModem::hCMEE); }
    std::string turn(uint32_t advanceMs = 10) { return rig.turn(advanceMs, cmee); }
};

}  // namespace

TEST_F(Cmee, OkToTheCommandIsKnownForGood)
{
    EXPECT_FALSE(cmee.isKnown());
    ASSERT_EQ(turn(), "AT+CMEE=2\r");
    EXPECT_TRUE(cmee.isBusy());
    rig.line("AT+CMEE=2\r\r\n");
    rig.line("OK\r\n");
    EXPECT_TRUE(cmee.isKnown());
    EXPECT_EQ(cmee.getMode(), 2);
    EXPECT_FALSE(cmee.isBusy());
    EXPECT_EQ(turn(60000), "");
    // A restart forgets it.
    cmee.restart(rig.now);
    EXPECT_EQ(turn(), "AT+CMEE=2\r");
}

TEST_F(Cmee, FourErrorsThenSilence)
{
    for (int attempt = 1; attempt <= 4; ++attempt) {
        ASSERT_EQ(turn(attempt == 1 ? 10 : 710), "AT+CMEE=2\r") << attempt;
        rig.line("ERROR\r\n");
        EXPECT_EQ(cmee.getMode(), -1 - attempt);
        EXPECT_EQ(turn(690), "") << attempt;  // 700 ms between attempts
    }
    EXPECT_EQ(turn(60000), "");
    EXPECT_EQ(cmee.getMode(), -5);
}

TEST_F(Cmee, QueryFromTheTerminalSetsTheKnownMode)
{
    rig.engine.sendLine(rig.now, "AT+CMEE?", -1);
    EXPECT_TRUE(cmee.isBusy());
    rig.line("+CMEE: 1\r\n");
    rig.line("OK\r\n");
    EXPECT_EQ(cmee.getMode(), 1);
    rig.sent();
    EXPECT_EQ(turn(5000), "");
}

TEST_F(Cmee, BadValuesMakeTheModeUnknown)
{
    rig.engine.sendLine(rig.now, "AT+CMEE?", -1);
    rig.line("+CMEE: x\r\n");
    EXPECT_FALSE(cmee.isBusy());
    EXPECT_EQ(cmee.getMode(), -1);
    rig.line("OK\r\n");
    EXPECT_EQ(cmee.getMode(), -1);
    // The test form awaits nothing.
    rig.engine.sendLine(rig.now, "AT+CMEE=?", -1);
    EXPECT_FALSE(cmee.isBusy());
    rig.line("+CMEE: (0-2)\r\n");
    EXPECT_EQ(cmee.getMode(), -1);
    // Then the handler sets its own again.
    rig.sent();
    EXPECT_EQ(turn(), "AT+CMEE=2\r");
}

TEST_F(Cmee, ASettingTypedByTheUserIsKept)
{
    rig.engine.sendLine(rig.now, "AT+CMEE=1", -1);
    rig.line("OK\r\n");
    EXPECT_EQ(cmee.getMode(), 1);
    rig.sent();
    EXPECT_EQ(turn(5000), "");
}

TEST_F(Cmee, LostAnswerRepeatedAfter700ms)
{
    ASSERT_EQ(turn(), "AT+CMEE=2\r");
    EXPECT_EQ(turn(690), "");
    EXPECT_EQ(turn(20), "AT+CMEE=2\r");
}

TEST_F(Cmee, NothingWithoutFullPower)
{
    rig.modem.replaceHandler(VPerifModem::hPower, std::make_unique<LowPower>(&rig.engine));
    EXPECT_EQ(turn(5000), "");
}
