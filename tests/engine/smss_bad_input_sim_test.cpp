// Bad input to the SMS handler: PDU lines that are empty, not hex or too
// long; listing headers whose length is wrong; a new-message indication
// naming a memory the device does not have; and a "+CMS ERROR" to each of
// its commands in turn. Each ends in a clear state: nothing lost, no
// command repeated without end, nothing left waiting, and a message sent
// afterwards goes out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/smss_device_rig.h"
#include "tests/engine/smss_rig.h"

using namespace SmssDevice;

namespace {

struct SmsBadInput : TSmsOnDevice {};

// Longer than a PDU can be, and longer than the engine keeps a line.
const std::string kLong(1000, '4');
const std::string kHuge(70000, '4');

}  // namespace

TEST_F(SmsBadInput, PduLinesThatAreNoPduShowAsUnreadable)
{
    const struct {
        int index;
        std::string pdu;
    } bad[] = {{5, ""}, {6, "ZZ11000C91GG"}, {7, kLong}, {8, "0"}, {9, kHuge}};
    ModemSim::TProfile p = ModemSim::TProfile::Builtin("tc35");
    for (const auto& b : bad)
        p.smsMessages.push_back({"SM", b.index, 1, b.pdu});
    ASSERT_NO_FATAL_FAILURE(boot(p));
    ASSERT_NO_FATAL_FAILURE(listed());
    // Listed: the good ones read, each bad one there and unreadable.
    for (const auto& b : bad) {
        ASSERT_NE(at("SM", b.index), nullptr) << b.index << "\n" << dump();
        EXPECT_EQ(at("SM", b.index)->GetState(), VTixSMS_state_ReadFailed) << b.index;
    }
    EXPECT_EQ(at("SM", 1)->GetText(), "hello");
    EXPECT_EQ(at("SM", 3)->GetText(), "Ahoj");
    // Read one by one when announced: once each.
    for (const auto& b : bad) {
        const std::string read = "AT+CMGR=" + std::to_string(b.index);
        rig->Sim().InjectLine("+CMTI: \"SM\"," + std::to_string(b.index));
        ASSERT_TRUE(until([&] { return count(read) == 1 && !sms().isBusy(); })) << read;
        ASSERT_NO_FATAL_FAILURE(run(5000));
        ASSERT_NE(at("SM", b.index), nullptr) << b.index;
        EXPECT_EQ(at("SM", b.index)->GetState(), VTixSMS_state_ReadFailed) << b.index;
    }
    ASSERT_NO_FATAL_FAILURE(run(60000));
    for (const auto& b : bad)
        EXPECT_EQ(count("AT+CMGR=" + std::to_string(b.index)), 1) << b.index;
    EXPECT_EQ(list().getSMSCount(), 3 + int(std::size(bad)));
    EXPECT_EQ(count("AT+CMGL=4"), 1);
    expectNoFlood();
    expectNothingInFlight();
    // The device still holds every one.
    EXPECT_EQ(deviceIndexes("SM"), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9}));
    ASSERT_NO_FATAL_FAILURE(expectDeleteGoesOut("SM", 6));
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());
}

TEST(SmsBadHeaders, ListingHeadersWithAWrongLengthStillGiveTheirMessages)
{
    using namespace SmssTest;
    TSmsRig rig;
    rig.settle();
    ASSERT_EQ(rig.stepUntilSent(11000), "AT+CMGL=4\r");
    rig.answer("AT+CMGL=4", {"+CMGL: 1,1,,99", kHello, "+CMGL: 2,0,,1", kBanka, "+CMGL: 3,2,,-5", kAhoj,
                             "+CMGL: 4,1,,x", kCau});
    ASSERT_EQ(rig.list.getSMSCount(), 4);
    EXPECT_EQ(rig.at("SM", 1)->GetText(), "hello");
    EXPECT_EQ(rig.at("SM", 2)->GetState(), VTixSMS_stateSIMRecvUnread);
    EXPECT_EQ(rig.at("SM", 3)->GetText(), "Ahoj");
    EXPECT_EQ(rig.at("SM", 4)->GetText(), "Cau");
    EXPECT_TRUE(rig.list.getStorageByName("SM")->GetFirstRead());
    EXPECT_EQ(rig.stepUntilSent(30000), "");
    // Read alone, the same.
    rig.line("\r\n+CMTI: \"SM\",5\r\n");
    ASSERT_EQ(rig.stepUntilSent(1000), "AT+CMGR=5\r");
    rig.answer("AT+CMGR=5", {"+CMGR: 0,,250", kCau});
    EXPECT_EQ(rig.at("SM", 5)->GetText(), "Cau");
    EXPECT_EQ(rig.stepUntilSent(30000), "");
}

TEST_F(SmsBadInput, AnnouncedInAMemoryTheDeviceDoesNotHave)
{
    ASSERT_NO_FATAL_FAILURE(boot());
    ASSERT_NO_FATAL_FAILURE(listed());
    rig->Sim().InjectLine("+CMTI: \"XX\",3");
    // Names that could not be sent are not asked for at all.
    rig->Sim().InjectLine("+CMTI: \"S\"M\",3");
    rig->Sim().InjectBytes("\r\n+CMTI: \"S\x01M\",4\r\n");
    ASSERT_NO_FATAL_FAILURE(run(30000));
    rig->Sim().InjectLine("+CMTI: \"XX\",4");
    ASSERT_NO_FATAL_FAILURE(run(30000));

    EXPECT_EQ(count("AT+CPMS=\"XX\""), VPerifSMSs::GiveUpAfter);
    ASSERT_NE(at("XX", 3), nullptr);
    EXPECT_EQ(at("XX", 3)->GetState(), VTixSMS_state_ReadFailed);
    ASSERT_NE(at("XX", 4), nullptr);
    EXPECT_EQ(at("XX", 4)->GetState(), VTixSMS_state_ReadFailed);
    EXPECT_EQ(sms().getMem(0), "SM");
    EXPECT_TRUE(sms().isInitialised());
    expectNoFlood();
    expectNothingInFlight();
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());
}

namespace {

struct SmsRefused : TSmsOnDevice, ::testing::WithParamInterface<const char*> {
    // Waits (bounded) until the handler has no request.
    void settleRequest() { until([&] { return !sms().getMySMS(); }, 30000); }
    bool hasText(const std::string& text)
    {
        for (int i = 0; i < list().getSMSCount(); ++i)
            if (list().getSMS(i)->GetText() == text)
                return true;
        return false;
    }
};

}  // namespace

TEST_P(SmsRefused, EachCommandRefusedForEverEndsClear)
{
    ModemSim::TProfile p = TwoMemories();
    p.faults.push_back(std::string(GetParam()) + " answer +CMS ERROR: 500");
    ASSERT_NO_FATAL_FAILURE(boot(p));
    ASSERT_NO_FATAL_FAILURE(run(40000));
    // Every kind of work: a centre, a delete, an announced message, a
    // store, a send and a send from memory.
    sms().setWantedSCA("+420111222333");
    if (at("SM", 1))
        list().wantDelete(at("SM", 1));
    rig->Sim().InjectLine("+CMTI: \"SM\",2");
    VTixSMSRecord* stored = draft("Ulozit");
    sms().wantWrite(stored);
    settleRequest();
    VTixSMSRecord* sent = draft("Poslat");
    sms().wantSendWrite(sent, true);
    settleRequest();
    if (VTixSMSRecord* fromMemory = at("SM", 3)) {
        sms().wantSendWrite(fromMemory, true);
        settleRequest();
    }
    ASSERT_NO_FATAL_FAILURE(run(60000));

    EXPECT_TRUE(transcript().WaitForEvent(std::string("fault ") + GetParam() + " answer", 0)) << "never refused";
    expectNoFlood();
    expectNothingInFlight();
    EXPECT_TRUE(sms().isInitialised());
    // Nothing lost: the drafts are there, as drafts or as the device's copies.
    EXPECT_TRUE(hasText("Ulozit"));
    EXPECT_TRUE(hasText("Poslat"));
    const std::vector<int> held = deviceIndexes("SM");
    for (int index : {2, 3})
        EXPECT_NE(std::find(held.begin(), held.end(), index), held.end()) << index;
    EXPECT_EQ(deviceIndexes("ME"), std::vector<int>{1});
    rig->Sim().ClearFaults();
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, SmsRefused,
                         ::testing::Values("+CSCA?", "+CSCA=", "+CNMI=?", "+CNMI=", "+CPMS=?", "+CPMS?", "+CPMS=",
                                           "+CMGL=", "+CMGR=", "+CMGD=", "+CMGW=", "+CMGS=", "+CMSS="),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name;
                             for (const char* c = info.param; *c; ++c)
                                 if ((*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z'))
                                     name += *c;
                             const std::string form(info.param);
                             return name + (form.find("=?") != std::string::npos ? "Test"
                                            : form.back() == '?'                  ? "Read"
                                                                                  : "Set");
                         });
