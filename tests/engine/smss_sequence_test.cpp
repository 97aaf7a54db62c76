// The SMS handler's command sequence with a hand-fed device: the settings
// of a fresh connection, the listings of two memories with their pauses
// and the way back, the +CNMI choices, time-outs, the error pause, the
// periodic re-listing, the SMS centre wanted, and the send or store of a
// request (one at a time, from memory or by PDU).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/main_window_link.h"
#include "tests/engine/smss_rig.h"

using namespace SmssTest;
using W = VMainWindowLink;

namespace {

std::string Line(const std::string& command)
{
    return command + "\r";
}

}  // namespace

TEST(SmsSequence, FreshConnectionListsBothMemoriesAndReturnsHome)
{
    TSmsRig rig;
    EXPECT_FALSE(rig.sms->isInitialised());

    ASSERT_EQ(rig.step(), Line("AT+CSCA?"));
    EXPECT_TRUE(rig.sms->isBusy());
    EXPECT_EQ(rig.step(), "");  // nothing while the answer is awaited
    rig.answer("AT+CSCA?", {"+CSCA: \"+420603052000\",145"});
    EXPECT_EQ(rig.sms->getDeviceSCA(), "420603052000");
    EXPECT_EQ(rig.sms->getDeviceSCAType(), 145);
    EXPECT_EQ(rig.sms->getWantedSCA(), "420603052000");
    EXPECT_EQ(rig.combo.text(), "+420603052000");

    ASSERT_EQ(rig.step(), Line("AT+CNMI=?"));
    rig.answer("AT+CNMI=?", {"+CNMI: (0-3),(0-3),(0,2),(0,1),(0,1)"});
    ASSERT_EQ(rig.step(), Line("AT+CNMI=2,1,2,1,0"));
    rig.answer("AT+CNMI=2,1,2,1,0", {});
    EXPECT_TRUE(rig.sms->isInitialised());

    ASSERT_EQ(rig.step(), Line("AT+CPMS=?"));
    rig.answer("AT+CPMS=?", {"+CPMS: (\"SM\",\"ME\"),(\"SM\",\"ME\"),(\"SM\")"});
    ASSERT_EQ(rig.list.getStorageCount(), 2);
    EXPECT_EQ(rig.list.getStorage(0)->GetName(), "SM");
    EXPECT_EQ(rig.list.getStorage(1)->GetName(), "ME");
    ASSERT_EQ(rig.step(), Line("AT+CPMS?"));
    rig.answer("AT+CPMS?", {"+CPMS: \"SM\",2,30,\"SM\",2,30,\"SM\",2,30"});
    EXPECT_EQ(rig.sms->getMem(0), "SM");
    EXPECT_EQ(rig.list.getStorage(0)->GetCapacity(), 30);

    // The first listing 10 s after it was first wanted.
    const uint32_t wanted = rig.now + 10;
    EXPECT_EQ(rig.step(), "");
    EXPECT_EQ(rig.sms->getLastListTick(), wanted);
    EXPECT_EQ(rig.stepUntilSent(9980), "");
    ASSERT_EQ(rig.stepUntilSent(100), Line("AT+CMGL=4"));
    EXPECT_GT(rig.now - wanted, 10000u);
    rig.answer("AT+CMGL=4", {"+CMGL: 1,1,,24", kHello, "+CMGL: 2,0,,23", kBanka});
    ASSERT_NE(rig.at("SM", 1), nullptr);
    EXPECT_EQ(rig.at("SM", 1)->GetState(), VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(rig.at("SM", 1)->GetText(), "hello");
    EXPECT_EQ(rig.at("SM", 2)->GetState(), VTixSMS_stateSIMRecvUnread);
    const uint32_t firstDone = rig.now;
    EXPECT_TRUE(rig.list.getStorageByName("SM")->GetFirstRead());

    // ME: memory 1 switches, its listing waits 10 s after the first ended.
    ASSERT_EQ(rig.step(), Line("AT+CPMS=\"ME\""));
    EXPECT_EQ(rig.sms->getHomeStorage(), "SM");
    EXPECT_FALSE(rig.sms->isInitialised());
    rig.answer("AT+CPMS=\"ME\"", {"+CPMS: 0,100,2,30,2,30"});
    ASSERT_EQ(rig.step(), Line("AT+CPMS?"));
    rig.answer("AT+CPMS?", {"+CPMS: \"ME\",0,100,\"SM\",2,30,\"SM\",2,30"});
    EXPECT_EQ(rig.sms->getMem(0), "ME");
    ASSERT_EQ(rig.stepUntilSent(11000), Line("AT+CMGL=4"));
    EXPECT_GT(rig.now - firstDone, 10000u);
    EXPECT_LE(rig.now - firstDone, 10020u);
    rig.answer("AT+CMGL=4", {});

    ASSERT_EQ(rig.step(), Line("AT+CPMS=\"SM\""));
    rig.answer("AT+CPMS=\"SM\"", {"+CPMS: 2,30,2,30,2,30"});
    ASSERT_EQ(rig.step(), Line("AT+CPMS?"));
    rig.answer("AT+CPMS?", {"+CPMS: \"SM\",2,30,\"SM\",2,30,\"SM\",2,30"});
    EXPECT_EQ(rig.step(), "");
    EXPECT_TRUE(rig.sms->isInitialised());
    EXPECT_EQ(rig.sms->getHomeStorage(), "");
    EXPECT_FALSE(rig.list.GetPendingSomeOperations());
    // Then nothing, however long.
    EXPECT_EQ(rig.stepUntilSent(60000), "");
}

TEST(SmsSequence, IndicationsTakeThePreferredValuesTheDeviceOffers)
{
    struct TCase {
        const char* test;
        const char* set;
    };
    const TCase cases[] = {
        {"(0-3),(0-3),(0,2),(0,1),(0,1)", "AT+CNMI=2,1,2,1,0"},
        {"(0-3),(0-3),(0,2,3),(0-2),(0,1)", "AT+CNMI=2,1,3,1,0"},
        {"(0-2),(0,2),(0),(0,1),(0,1)", "AT+CNMI=2,2,0,1,0"},
        // Four groups: the form without bfr.
        {"(0-3),(0-3),(0,2),(0,1)", "AT+CNMI=2,1,2,1"},
        // Nothing preferred offered: the first value written.
        {"(5),(7-9),(0),(2),(1)", "AT+CNMI=5,7,0,2,1"},
        // A group without a number: that parameter is left to the device.
        {"(0-3),(),(0,2),(0,1),(0,1)", "AT+CNMI=2,,2,1,0"},
        // Values no parameter can take count as none offered (the last
        // one so the form without bfr).
        {"(-2147483648),(999),(998),(0,1),(5000)", "AT+CNMI=,,,1"},
    };
    for (const TCase& c : cases) {
        TSmsRig rig;
        rig.settle(false, 1);
        ASSERT_EQ(rig.step(), Line("AT+CNMI=?"));
        rig.answer("AT+CNMI=?", {std::string("+CNMI: ") + c.test});
        EXPECT_EQ(rig.step(), Line(c.set)) << c.test;
        rig.answer(c.set, {});
        EXPECT_TRUE(rig.sms->isInitialised()) << c.test;
        EXPECT_EQ(rig.step(), Line("AT+CPMS=?")) << c.test;
    }
}

TEST(SmsSequence, UnansweredCommandsAreRepeatedAfterTheirTimeOutAlone)
{
    TSmsRig rig;
    ASSERT_EQ(rig.step(), Line("AT+CSCA?"));
    const uint32_t sent = rig.now;
    // Nothing else goes out while the centre is awaited, nor in the pause
    // after the time-out that gives the other handlers the line.
    EXPECT_EQ(rig.stepUntilSent(9990), "");
    EXPECT_EQ(rig.stepUntilSent(100), "");
    EXPECT_FALSE(rig.sms->isBusy());
    EXPECT_EQ(rig.sms->getFailures(), 1);
    ASSERT_EQ(rig.stepUntilSent(1000), Line("AT+CSCA?"));
    EXPECT_GT(rig.now - sent, 10000u + VPerifSMSs::ErrorPauseMs);
    EXPECT_LE(rig.now - sent, 10020u + VPerifSMSs::ErrorPauseMs);
    EXPECT_EQ(rig.sms->getFailures(), 1);
    // An error result: the same command after the 700 ms pause.
    rig.answer("AT+CSCA?", {}, "+CMS ERROR: 310");
    EXPECT_TRUE(rig.sms->getErrorPause());
    const uint32_t refused = rig.now;
    ASSERT_EQ(rig.stepUntilSent(1000), Line("AT+CSCA?"));
    EXPECT_GT(rig.now - refused, 700u);
    EXPECT_LE(rig.now - refused, 710u);
    EXPECT_EQ(rig.sms->getFailures(), 2);
    rig.answer("AT+CSCA?", {"+CSCA: \"+420603052000\",145"});
    EXPECT_EQ(rig.sms->getFailures(), 0);
    EXPECT_EQ(rig.step(), Line("AT+CNMI=?"));
}

TEST(SmsSequence, TimingsHoldAcrossTheWrapOfTheTick)
{
    TSmsRig rig(0xFFFFF000u);
    rig.settle();
    const uint32_t wanted = rig.now + 10;
    EXPECT_EQ(rig.step(), "");
    ASSERT_EQ(rig.stepUntilSent(12000), Line("AT+CMGL=4"));
    EXPECT_LT(rig.now, 0x10000u);  // the tick wrapped meanwhile
    EXPECT_GT(uint32_t(rig.now - wanted), 10000u);
    EXPECT_LE(uint32_t(rig.now - wanted), 10020u);
}

TEST(SmsSequence, RelistingByTimeOnlyWhileTheDeviceReportsNothing)
{
    struct TCase {
        const char* set;      // the indications the device takes
        bool relisted;
    };
    for (const TCase& c : {TCase{"1,1,0,0,0", true}, TCase{"2,0,0,0,0", true}, TCase{"2,1,0,0,0", false}}) {
        TSmsRig rig;
        rig.window.checked[W::CheckTestSignal] = true;
        rig.window.texts[W::EditOftenCSQ] = "20";
        rig.settle(false, 1);
        rig.step();
        rig.answer("AT+CNMI=?", {std::string("+CNMI: (") + c.set[0] + "),(" + c.set[2] + "),(0),(0),(0)"});
        ASSERT_EQ(rig.step(), Line(std::string("AT+CNMI=") + c.set)) << c.set;
        rig.answer(std::string("AT+CNMI=") + c.set, {});
        rig.step();
        rig.answer("AT+CPMS=?", {"+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"});
        rig.step();
        rig.answer("AT+CPMS?", {"+CPMS: \"SM\",0,30,\"SM\",0,30,\"SM\",0,30"});
        ASSERT_EQ(rig.stepUntilSent(11000), Line("AT+CMGL=4"));
        rig.answer("AT+CMGL=4", {});
        const uint32_t listed = rig.now;
        const std::string next = rig.stepUntilSent(25000);
        if (!c.relisted) {
            EXPECT_EQ(next, "") << c.set;
            continue;
        }
        EXPECT_EQ(next, Line("AT+CMGL=4")) << c.set;
        // Marked after 20 s, listed once 10 s have passed as well.
        EXPECT_GT(rig.now - listed, 20000u);
        EXPECT_LE(rig.now - listed, 20020u);
        // The interval's text is read once a second, not every tick.
        EXPECT_LE(rig.window.textReads[W::EditOftenCSQ], 22) << c.set;
    }
}

TEST(SmsSequence, CentreWantedIsWrittenUnlessTheDeviceHoldsIt)
{
    TSmsRig rig;
    rig.settle();
    rig.sms->setWantedSCA("+420603052000");  // what the device holds
    EXPECT_EQ(rig.step(), "");
    rig.sms->setWantedSCA("+420602909909");
    EXPECT_EQ(rig.sms->getWantedSCA(), "420602909909");
    EXPECT_EQ(rig.sms->getWantedSCAType(), 145);
    ASSERT_EQ(rig.step(), Line("AT+CSCA=\"420602909909\",145"));
    rig.answer("AT+CSCA=\"420602909909\",145", {});
    EXPECT_EQ(rig.sms->getDeviceSCA(), "420602909909");
    EXPECT_EQ(rig.sms->getDeviceSCAType(), 145);
    rig.sms->setWantedSCA("420602909909");
    EXPECT_EQ(rig.sms->getWantedSCAType(), 129);
    EXPECT_EQ(rig.step(), Line("AT+CSCA=\"420602909909\",129"));
}

TEST(SmsSequence, RequestsOneAtATimeFromMemoryOrByPdu)
{
    TSmsRig rig;
    rig.settle();
    ASSERT_EQ(rig.stepUntilSent(11000), Line("AT+CMGL=4"));
    rig.answer("AT+CMGL=4", {});
    rig.line("\r\n+CMTI: \"SM\",3\r\n");
    ASSERT_EQ(rig.step(), Line("AT+CMGR=3"));
    rig.answer("AT+CMGR=3", {"+CMGR: 2,,18", kAhoj});
    VTixSMSRecord* stored = rig.at("SM", 3);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->GetState(), VTixSMS_stateSIMUnsent);
    VTixSMSRecord* second = rig.draft("druha");

    // Two records in a row: only the first is taken.
    rig.sms->wantSendWrite(stored, true);
    rig.sms->wantSendWrite(second, true);
    EXPECT_EQ(stored->GetState(), VTixSMS_stateBeingSent);
    EXPECT_EQ(second->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(rig.sms->getMySMS(), stored);

    // In memory 2: sent from memory with its index.
    ASSERT_EQ(rig.step(), Line("AT+CMSS=3"));
    rig.answer("AT+CMSS=3", {"+CMSS: 7"});
    EXPECT_EQ(stored->GetState(), VTixSMS_stateSIMSent);
    EXPECT_EQ(rig.sms->getMySMS(), nullptr);

    // Memory 2 changes: the same record goes with its PDU.
    rig.line("AT+CPMS=\"SM\",\"ME\"\r\r\n\r\n+CPMS: 3,30,0,100,3,30\r\n\r\nOK\r\n");
    ASSERT_EQ(rig.step(), Line("AT+CPMS?"));
    rig.answer("AT+CPMS?", {"+CPMS: \"SM\",3,30,\"ME\",0,100,\"SM\",3,30"});
    ASSERT_NE(rig.list.getStorageByName("ME"), nullptr);
    rig.list.getStorageByName("ME")->SetFirstRead(true);  // its listing is not this test's
    rig.sms->wantSendWrite(stored, true);
    ASSERT_EQ(rig.step(), Line("AT+CMGS=18"));
    EXPECT_EQ(rig.engine.getMode(), 2);
}

TEST(SmsSequence, DevicesWithoutTheCentrePartGetPdusWithoutIt)
{
    TSmsRig rig(100000, VPerifSMSs::ModelWithoutSCA);
    rig.settle();
    VTixSMSRecord* sms = rig.draft("Ahoj");
    rig.sms->wantSendWrite(sms, false);
    EXPECT_EQ(sms->GetPDUFormat(), VTixSMS_pduFmtWoutSCA);
    ASSERT_EQ(rig.step(), Line("AT+CMGW=18"));
    rig.line("AT+CMGW=18\r\r\n\r\n> ");
    EXPECT_EQ(rig.step(), "11000C912470772143650000A90441F45B0D\x1A");
}
