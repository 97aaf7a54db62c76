// The SMS handler in the engine against the simulated device, over the
// real serial component; pauses are passed by moving the tick clock.
#include <gtest/gtest.h>

#include <string>

#include "engine/perif_smss.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/engine/smss_rig.h"

using EngineTest::TEngineOnSim;
using ModemSim::TDirection;
using SmssTest::kAhoj;
using SmssTest::kCau;

namespace {

struct SmsOnSim : ::testing::Test {
    std::unique_ptr<TEngineOnSim> rig;

    void TearDown() override
    {
        rig.reset();
        Platform::SetTickOffset(0);
    }
    void boot(ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35"))
    {
        Platform::SetTickOffset(0);
        rig = std::make_unique<TEngineOnSim>(std::move(profile));
        std::string error;
        ASSERT_TRUE(rig->Boot(&error)) << error;
    }
    // Passes `ms` of the program's time at once.
    void jump(uint32_t ms) { Platform::SetTickOffset(Platform::GetTickOffset() + ms); }
    VPerifSMSs& sms() { return rig->Engine().getHandlers().smss(); }
    VTixSMSList& list() { return rig->window.smsListOwned; }
    VTixSMSRecord* at(const std::string& storage, int index) { return list().getSMSByIndex(storage, index); }
    bool until(const std::function<bool()>& cond, int ms = 20000) { return rig->RunUntil(cond, ms); }
    std::string dump() { return rig->Sim().Transcript().ToText(); }
    int count(const std::string& command)
    {
        int n = 0;
        for (const auto& c : rig->Sim().Transcript().Commands())
            n += c == command;
        return n;
    }
    VTixSMSRecord* draft(const std::string& text, const std::string& number = "+420777123456")
    {
        VTixSMSRecord* sms = list().smsDoesExist(VTixSMSList::ProgramStorage, 0);
        sms->SetState(VTixSMS_stateSIMUnsent);
        sms->SetMessageType(VTixSMS_smsTypeSUBMIT);
        sms->SetUserNumber(number);
        sms->SetText(text);
        return sms;
    }
    // Settled and memory 1 listed: the first listing's 10 s passed at once.
    void listed()
    {
        ASSERT_TRUE(until([&] { return sms().isInitialised() && sms().getLastListTick() != 0; }, 60000))
            << dump();
        jump(10000);
        ASSERT_TRUE(until([&] {
            const VTixSMSStorage* sm = list().getStorageByName("SM");
            return sm && sm->GetFirstRead() && !sms().isBusy();
        })) << dump();
    }
    int programRows()
    {
        int n = 0;
        for (int i = 0; i < list().getSMSCount(); ++i)
            n += list().getSMS(i)->GetStorage() == VTixSMSList::ProgramStorage;
        return n;
    }
};

}  // namespace

TEST_F(SmsOnSim, ListReadStoreSendDeleteAndTheFaults)
{
    ASSERT_NO_FATAL_FAILURE(boot());
    ASSERT_NO_FATAL_FAILURE(listed());
    EXPECT_EQ(count("AT+CNMI=2,1,2,1,0"), 1);
    ASSERT_EQ(list().getSMSCount(), 3);
    EXPECT_EQ(at("SM", 1)->GetState(), VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(at("SM", 1)->GetText(), "hello");
    EXPECT_EQ(at("SM", 2)->GetState(), VTixSMS_stateSIMRecvUnread);
    EXPECT_EQ(at("SM", 2)->GetUserNumber(), "Banka");
    EXPECT_EQ(at("SM", 3)->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(at("SM", 3)->GetText(), "Ahoj");

    // A message arrives: announced, then read.
    rig->Sim().RunScriptLine(std::string("at 0 deliver ") + kCau);
    ASSERT_TRUE(until([&] { return at("SM", 4) && at("SM", 4)->GetState() == VTixSMS_stateSIMRecvUnread; }))
        << dump();
    EXPECT_TRUE(rig->Sim().Transcript().WaitForSent("+CMTI: \"SM\",4", 0));
    EXPECT_EQ(count("AT+CMGR=4"), 1);
    EXPECT_EQ(VTixSMSList::GetRowCaption(at("SM", 4)), "4: SM");
    EXPECT_EQ(list().GetStateText(at("SM", 4)->GetState()), "P\xF8ijat\xE1");
    EXPECT_EQ(at("SM", 4)->GetText(), "Cau");
    EXPECT_EQ(at("SM", 4)->GetUserPhone(), "+420602123456");

    // Stored: the draft is replaced by the device's message 5.
    const size_t beforeStore = rig->Sim().Transcript().Size();
    sms().wantWrite(draft("Ahoj"));
    ASSERT_TRUE(until([&] { return at("SM", 5) && !sms().isBusy(); })) << dump();
    EXPECT_EQ(at("SM", 5)->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(programRows(), 0);
    std::string exchange;
    for (const auto& e : rig->Sim().Transcript().Entries())
        if (e.direction != TDirection::Event && e.direction != TDirection::Command)
            exchange += e.data;
    EXPECT_NE(exchange.find(std::string("AT+CMGW=18\r")), std::string::npos);
    EXPECT_NE(exchange.find(std::string("\r\n> ") + kAhoj + "\x1A"), std::string::npos) << dump();
    EXPECT_NE(exchange.find("+CMGW: 5"), std::string::npos);
    EXPECT_GT(rig->Sim().Transcript().Size(), beforeStore);
    rig->Sim().WithDevice([&](ModemSim::TDevice& d) {
        ASSERT_NE(d.sms.Find("SM", 5), nullptr);
        EXPECT_EQ(d.sms.Find("SM", 5)->pdu, kAhoj);
    });

    // Sent by its PDU, and the stored message 3 from memory.
    VTixSMSRecord* composed = draft("Ahoj");
    sms().wantSendWrite(composed, true);
    ASSERT_TRUE(until([&] { return sms().getMySMS() == nullptr && !sms().isBusy(); })) << dump();
    EXPECT_TRUE(rig->Sim().Transcript().WaitForSent("+CMGS: 1", 0));
    ASSERT_EQ(programRows(), 1);
    sms().wantSendWrite(at("SM", 3), true);
    ASSERT_TRUE(until([&] { return at("SM", 3)->GetState() == VTixSMS_stateSIMSent && !sms().isBusy(); }))
        << dump();
    EXPECT_EQ(count("AT+CMGS=18"), 1);
    EXPECT_EQ(count("AT+CMSS=3"), 1);
    rig->Sim().WithDevice([&](ModemSim::TDevice& d) {
        ASSERT_EQ(d.sms.sent.size(), 2u);
        EXPECT_EQ(d.sms.sent[0], kAhoj);
        EXPECT_EQ(d.sms.sent[1], kAhoj);
    });

    // Deleted on the device.
    list().wantDelete(at("SM", 2));
    ASSERT_TRUE(until([&] { return at("SM", 2) == nullptr && !sms().isBusy(); })) << dump();
    EXPECT_EQ(count("AT+CMGD=2"), 1);
    rig->Sim().WithDevice([&](ModemSim::TDevice& d) { EXPECT_EQ(d.sms.Find("SM", 2), nullptr); });

    // Three refusals: SendFailed, no fourth try, no empty row.
    const int programBefore = programRows();
    for (int i = 0; i < 3; ++i)
        rig->Sim().RunScriptLine("at 0 refuse +CMS ERROR: 500");
    VTixSMSRecord* refused = draft("Ahoj");
    sms().wantSendWrite(refused, true);
    ASSERT_TRUE(until([&] { return refused->GetState() == VTixSMS_stateSendFailed; })) << dump();
    EXPECT_EQ(count("AT+CMGS=18"), 4);
    rig->RunFor(1500);
    EXPECT_EQ(count("AT+CMGS=18"), 4);
    EXPECT_EQ(programRows(), programBefore + 1);

    // An empty index announced: three reads, ReadFailed, then the queued send.
    rig->Sim().InjectLine("+CMTI: \"SM\",9");
    ASSERT_TRUE(until([&] { return at("SM", 9) != nullptr; })) << dump();
    VTixSMSRecord* queued = draft("Ahoj");
    sms().wantSendWrite(queued, true);
    ASSERT_TRUE(until([&] { return sms().getMySMS() == nullptr && !sms().isBusy(); })) << dump();
    EXPECT_EQ(count("AT+CMGR=9"), 3);
    EXPECT_EQ(at("SM", 9)->GetState(), VTixSMS_state_ReadFailed);
    EXPECT_EQ(count("AT+CMGS=18"), 5);

    // No prompt: Esc once 40 s have passed, the send failed.
    rig->Sim().RunScriptLine("at 0 noprompt");
    VTixSMSRecord* waiting = draft("Ahoj");
    sms().wantSendWrite(waiting, true);
    ASSERT_TRUE(until([&] { return count("AT+CMGS=18") == 6; })) << dump();
    rig->RunFor(300);
    EXPECT_EQ(waiting->GetState(), VTixSMS_stateBeingSent);
    jump(40000);
    ASSERT_TRUE(until([&] { return waiting->GetState() == VTixSMS_stateSendFailed && !sms().isBusy(); }))
        << dump();
    const std::string received = rig->Sim().Transcript().Stream(TDirection::Received);
    EXPECT_EQ(received.substr(received.size() - 1), "\x1B");

    // A number the codec cannot build: refused without a command.
    auto smsSends = [&] {
        int n = 0;
        for (const auto& c : rig->Sim().Transcript().Commands())
            n += c.rfind("AT+CMGS", 0) == 0 || c.rfind("AT+CMGW", 0) == 0 || c.rfind("AT+CMSS", 0) == 0;
        return n;
    };
    const int sends = smsSends();
    VTixSMSRecord* tooLong = draft("Ahoj", "+420777123456789012345");
    sms().wantSendWrite(tooLong, true);
    ASSERT_TRUE(until([&] { return tooLong->GetState() == VTixSMS_stateSendFailed; })) << dump();
    rig->RunFor(200);
    EXPECT_EQ(smsSends(), sends);
}

TEST_F(SmsOnSim, DeliveredToTheProgramAndKeptOverAPortRestart)
{
    ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35");
    profile.cnmiTest = "+CNMI: (0-2),(0,2),(0),(0,1),(0,1)";
    ASSERT_NO_FATAL_FAILURE(boot(profile));
    ASSERT_NO_FATAL_FAILURE(listed());
    EXPECT_EQ(count("AT+CNMI=2,2,0,1,0"), 1);
    rig->Sim().RunScriptLine(std::string("at 0 deliver ") + kCau);
    ASSERT_TRUE(until([&] { return programRows() == 1; })) << dump();
    rig->RunFor(300);
    ASSERT_EQ(programRows(), 1);
    VTixSMSRecord* delivered = list().getSMSByIndex("PC", 1);
    ASSERT_NE(delivered, nullptr);
    EXPECT_EQ(delivered->GetState(), VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(delivered->GetText(), "Cau");
    EXPECT_EQ(list().getSMSCount(), 4);
    VTixSMSRecord* kept = draft("koncept");

    // The port closes and opens again: the device's memories are listed
    // anew, what only the program holds stays.
    rig->Engine().reopenPort(Platform::GetTickCount(), 200, false);
    ASSERT_TRUE(until([&] { return list().getSMSCount() == 2; })) << dump();
    EXPECT_EQ(list().getSMS(0), delivered);
    EXPECT_EQ(list().getSMS(1), kept);
    ASSERT_NO_FATAL_FAILURE(listed());
    EXPECT_EQ(list().getSMSCount(), 5);
    EXPECT_EQ(delivered->GetText(), "Cau");
    EXPECT_EQ(kept->GetText(), "koncept");
}
