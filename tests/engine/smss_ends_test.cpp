// How the SMS handler's waits end on a hand-fed device: a time-out frees
// the line for the others; a result that comes late, before the next
// request's prompt, is not taken for that request's; answers that leave a
// step's condition standing count as refusals; copies stored without an
// index stay apart and take their places from the listing; a memory that
// takes the switch and keeps the old one is left after three tries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/perif_active.h"
#include "engine/uniset.h"
#include "tests/engine/smss_rig.h"

using namespace SmssTest;

namespace {

std::string Line(const std::string& command)
{
    return command + "\r";
}

// The PDU the handler typed after the prompt, without its Ctrl-Z.
std::string Typed(const std::string& out)
{
    return out.empty() || out.back() != '\x1A' ? std::string() : out.substr(0, out.size() - 1);
}

}  // namespace

TEST(SmsEnds, TimeOutFreesTheLineThenThePauseThenTheSameCommand)
{
    TSmsRig rig;
    rig.ready();
    rig.line("\r\n+CMTI: \"SM\",4\r\n");
    ASSERT_EQ(rig.step(), Line("AT+CMGR=4"));
    // The link watcher holds everyone while the read awaits its result.
    EXPECT_EQ(rig.modem.active().getState(), VPerifActive::AwaitingResult);
    EXPECT_EQ(rig.stepUntilSent(VPerifSMSs::CommandTimeoutMs + 20), "");
    EXPECT_FALSE(rig.sms->isBusy());
    EXPECT_EQ(rig.modem.active().getState(), VPerifActive::Settled);
    const uint32_t freed = rig.now;
    ASSERT_EQ(rig.stepUntilSent(1000), Line("AT+CMGR=4"));
    EXPECT_GT(rig.now - freed, VPerifSMSs::ErrorPauseMs - 20);
}

TEST(SmsEnds, LateResultBeforeThePromptIsNotTheRequestsOwn)
{
    TSmsRig rig;
    rig.ready();
    // A send: an earlier command's late result comes before the prompt.
    VTixSMSRecord* draft = rig.draft("Ahoj");
    rig.sms->wantSendWrite(draft, true);
    ASSERT_EQ(rig.step(), Line("AT+CMGS=18"));
    rig.line("AT+CMGS=18\r\r\n");
    rig.line("\r\n+CMGS: 7\r\n\r\nOK\r\n");
    EXPECT_EQ(rig.sms->getPending(), VPerifSMSs::pdCmgs);
    EXPECT_EQ(rig.engine.getMode(), 2);
    EXPECT_EQ(draft->GetState(), VTixSMS_stateBeingSent);
    EXPECT_EQ(rig.step(), "");  // not issued again at the open prompt
    rig.line("\r\n> ");
    ASSERT_EQ(rig.step(), std::string(kAhoj) + "\x1A");
    rig.line("\r\n+CMGS: 8\r\n\r\nOK\r\n");
    EXPECT_EQ(rig.sms->getMySMS(), nullptr);
    ASSERT_EQ(rig.list.getSMSCount(), 1);
    EXPECT_EQ(rig.list.getSMS(0)->GetState(), VTixSMS_stateSIMSent);

    // A store: a late "+CMGW: 9" before the prompt does not place the copy.
    VTixSMSRecord* stored = rig.draft("Ahoj");
    rig.sms->wantWrite(stored);
    ASSERT_EQ(rig.step(), Line("AT+CMGW=18"));
    rig.line("AT+CMGW=18\r\r\n\r\n+CMGW: 9\r\n\r\nOK\r\n");
    EXPECT_EQ(rig.sms->getUserSMS()->GetIndex(), 0);
    rig.line("\r\n> ");
    ASSERT_EQ(rig.step(), std::string(kAhoj) + "\x1A");
    rig.line("\r\n+CMGW: 4\r\n\r\nOK\r\n");
    EXPECT_EQ(rig.at("SM", 9), nullptr);
    ASSERT_NE(rig.at("SM", 4), nullptr);
    EXPECT_EQ(rig.at("SM", 4)->GetState(), VTixSMS_stateSIMUnsent);
    // An error before the prompt is still the command's own.
    VTixSMSRecord* refused = rig.draft("Ahoj");
    rig.sms->wantSendWrite(refused, true);
    ASSERT_EQ(rig.stepUntilSent(1000), Line("AT+CMGS=18"));
    rig.answer("AT+CMGS=18", {}, "+CMS ERROR: 304");
    EXPECT_EQ(rig.engine.getMode(), 0);
    EXPECT_TRUE(rig.sms->getErrorPause());
}

TEST(SmsEnds, AnswersWithoutTheValuesAskedForCountAsRefusals)
{
    TSmsRig rig;
    const struct {
        const char* command;
        std::vector<std::string> info;  // the unusable answer
    } steps[] = {
        {"AT+CSCA?", {}},
        {"AT+CNMI=?", {}},
        {"AT+CPMS=?", {}},
        // Names without their counts.
        {"AT+CPMS?", {"+CPMS: \"SM\",\"SM\",\"SM\""}},
    };
    for (const auto& s : steps) {
        uint32_t answered = 0;
        for (int attempt = 0; attempt < VPerifSMSs::GiveUpAfter; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(1000), Line(s.command)) << attempt;
            if (attempt > 0) {
                EXPECT_GT(rig.now - answered, VPerifSMSs::ErrorPauseMs - 20) << s.command;
            }
            rig.answer(s.command, s.info);
            answered = rig.now;
            EXPECT_TRUE(rig.sms->getErrorPause()) << s.command;
        }
    }
    // Settled as far as the device let it: the memory it named is listed.
    EXPECT_EQ(rig.sms->getScaKnown(), 1);
    EXPECT_TRUE(rig.sms->isInitialised());
    EXPECT_TRUE(rig.sms->getStoragesListed());
    EXPECT_EQ(rig.sms->getMem(0), "SM");
    ASSERT_NE(rig.list.getStorageByName("SM"), nullptr);
    EXPECT_EQ(rig.stepUntilSent(11000), Line("AT+CMGL=4"));
}

TEST(SmsEnds, CopiesStoredWithoutAnIndexStayApartAndTakeTheirPlacesFromTheListing)
{
    TSmsRig rig;
    rig.ready();
    auto store = [&](const std::string& text) {
        VTixSMSRecord* draft = rig.draft(text);
        rig.sms->wantWrite(draft);
        const std::string command = rig.stepUntilSent(1000);
        EXPECT_EQ(command.rfind("AT+CMGW=", 0), 0u) << command;
        rig.prompt(command.substr(0, command.size() - 1));
        const std::string pdu = Typed(rig.step());
        EXPECT_FALSE(pdu.empty());
        rig.line("\r\nOK\r\n");
        return pdu;
    };
    const std::string ahoj = store("Ahoj");
    ASSERT_EQ(rig.list.getSMSCount(), 1);
    VTixSMSRecord* first = rig.list.getSMS(0);
    EXPECT_LT(first->GetIndex(), 1);
    EXPECT_EQ(first->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_FALSE(rig.list.getStorageByName("SM")->GetFirstRead());
    // The listing each store asks for is refused until it is given up, so
    // that the next store comes before any listing.
    auto refuseListing = [&] {
        for (int attempt = 0; attempt < VPerifSMSs::GiveUpAfter; ++attempt) {
            ASSERT_EQ(rig.stepUntilSent(11000), Line("AT+CMGL=4"));
            rig.answer("AT+CMGL=4", {}, "+CMS ERROR: 500");
        }
    };
    refuseListing();
    const std::string nazdar = store("Nazdar");
    ASSERT_EQ(rig.list.getSMSCount(), 2);
    VTixSMSRecord* second = rig.list.getSMS(1);
    EXPECT_LT(second->GetIndex(), 1);
    EXPECT_NE(second->GetIndex(), first->GetIndex());
    EXPECT_EQ(first->GetText(), "Ahoj");
    EXPECT_EQ(second->GetText(), "Nazdar");
    EXPECT_EQ(VTixSMSList::GetRowCaption(second), "SM: ?");

    // The listing gives both places (and a third copy the device did not
    // keep goes).
    refuseListing();
    store("Cau");
    ASSERT_EQ(rig.list.getSMSCount(), 3);
    ASSERT_EQ(rig.stepUntilSent(11000), Line("AT+CMGL=4"));
    rig.answer("AT+CMGL=4", {"+CMGL: 4,2,,18", ahoj, "+CMGL: 5,2,,20", nazdar});
    ASSERT_EQ(rig.list.getSMSCount(), 2);
    EXPECT_EQ(rig.at("SM", 4), first);
    EXPECT_EQ(rig.at("SM", 5), second);
    EXPECT_EQ(VTixSMSList::GetRowCaption(second), "5: SM");
    EXPECT_EQ(rig.stepUntilSent(12000), "");
}

TEST(SmsEnds, MemoryThatTakesTheSwitchButStaysIsLeftAfterThreeTries)
{
    TSmsRig rig;
    rig.ready(true);
    for (int attempt = 0; attempt < VPerifSMSs::GiveUpAfter; ++attempt) {
        ASSERT_EQ(rig.stepUntilSent(1000), Line("AT+CPMS=\"ME\"")) << attempt;
        rig.answer("AT+CPMS=\"ME\"", {});
        ASSERT_EQ(rig.stepUntilSent(1000), Line("AT+CPMS?"));
        rig.answer("AT+CPMS?", {"+CPMS: \"SM\",3,30,\"SM\",3,30,\"SM\",3,30"});
    }
    EXPECT_TRUE(rig.list.getStorageByName("ME")->GetFirstRead());
    EXPECT_EQ(rig.stepUntilSent(12000), "");
    EXPECT_TRUE(rig.sms->isInitialised());
    // A message announced there later is not asked for: unreadable at once.
    rig.line("\r\n+CMTI: \"ME\",2\r\n");
    EXPECT_EQ(rig.stepUntilSent(3000), "");
    EXPECT_EQ(rig.at("ME", 2)->GetState(), VTixSMS_state_ReadFailed);
    // One that does switch is not counted against: two misses, then a switch.
    TSmsRig other;
    other.ready(true);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_EQ(other.stepUntilSent(1000), Line("AT+CPMS=\"ME\""));
        other.answer("AT+CPMS=\"ME\"", {});
        ASSERT_EQ(other.stepUntilSent(1000), Line("AT+CPMS?"));
        other.answer("AT+CPMS?", {"+CPMS: \"SM\",3,30,\"SM\",3,30,\"SM\",3,30"});
    }
    ASSERT_EQ(other.stepUntilSent(1000), Line("AT+CPMS=\"ME\""));
    other.answer("AT+CPMS=\"ME\"", {});
    ASSERT_EQ(other.stepUntilSent(1000), Line("AT+CPMS?"));
    other.answer("AT+CPMS?", {"+CPMS: \"ME\",0,100,\"SM\",3,30,\"SM\",3,30"});
    EXPECT_EQ(other.stepUntilSent(11000), Line("AT+CMGL=4"));
}
