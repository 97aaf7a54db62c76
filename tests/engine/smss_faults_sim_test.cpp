// The SMS handler on devices that answer otherwise than the simulator's
// defaults: a memory that takes the switch and keeps the old one, an
// empty slot answered by a bare OK, a send or store whose result is lost
// or late, announced messages a listing does not give, a delete behind a
// listing, messages gone from the device, a store without its index. Each
// over a minute of device time: no command floods the line, the records
// end in a clear state, and a message sent afterwards goes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/main_window_link.h"
#include "engine/perif_calls.h"
#include "engine/perif_modem.h"
#include "engine/perif_phonebook.h"
#include "platform/tick.h"
#include "tests/engine/smss_device_rig.h"

using namespace SmssDevice;

namespace {

std::string Row(int index, VTixSMS_textSMSstates state)
{
    return std::to_string(index) + ":" + std::to_string(int(state));
}

// The tc35's three messages as listed first, and as listed again (the
// unread one is read since).
const std::vector<std::string> kListed = {Row(1, VTixSMS_stateSIMRecvRead), Row(2, VTixSMS_stateSIMRecvUnread),
                                          Row(3, VTixSMS_stateSIMUnsent)};
const std::vector<std::string> kRelisted = {Row(1, VTixSMS_stateSIMRecvRead), Row(2, VTixSMS_stateSIMRecvRead),
                                            Row(3, VTixSMS_stateSIMUnsent)};

struct SmsFaults : TSmsOnDevice {
    // Where the first entry of that command line is in the transcript (-1 none).
    int64_t firstAt(const std::string& command, int64_t fromMs = 0)
    {
        for (const auto& e : transcript().Entries())
            if (e.direction == ModemSim::TDirection::Command && e.data == command && e.ms >= fromMs)
                return e.ms;
        return -1;
    }
    bool free() { return !sms().getMySMS() && !sms().isBusy(); }
};

ModemSim::TProfile WithFault(const std::string& fault, ModemSim::TProfile p = ModemSim::TProfile::Builtin("tc35"))
{
    p.faults.push_back(fault);
    return p;
}

}  // namespace

TEST_F(SmsFaults, MemoryThatDoesNotSwitchIsLeftAndTheOthersGoOn)
{
    ASSERT_NO_FATAL_FAILURE(boot(WithFault("+CPMS=\"ME\"* nochange", TwoMemories())));
    // The signal is polled every 15 s.
    rig->window.checked[VMainWindowLink::CheckTestSignal] = true;
    // A message arrives while the handler tries to switch.
    rig->Sim().RunScriptLine(std::string("on AT+CPMS=\"ME\" deliver ") + kCau);
    ASSERT_NO_FATAL_FAILURE(run(65000));

    EXPECT_EQ(count("AT+CPMS=\"ME\""), VPerifSMSs::GiveUpAfter);
    expectNoFlood();
    // Memory 1 stays what the device reports; ME counts as done.
    EXPECT_EQ(sms().getMem(0), "SM");
    EXPECT_TRUE(list().getStorageByName("SM")->GetFirstRead());
    EXPECT_TRUE(list().getStorageByName("ME")->GetFirstRead());
    EXPECT_TRUE(sms().isInitialised());
    // The announced message was read, once.
    ASSERT_NE(at("SM", 4), nullptr) << dump();
    EXPECT_EQ(at("SM", 4)->GetState(), VTixSMS_stateSIMRecvUnread);
    EXPECT_EQ(at("SM", 4)->GetText(), "Cau");
    EXPECT_EQ(count("AT+CMGR=4"), 1);
    // The phonebook was read whole in the same run.
    EXPECT_TRUE(rig->Engine().getHandlers().phonebook().isReady()) << dump();
    EXPECT_EQ(count("AT+CPBR=1,250"), 1);
    EXPECT_EQ(count("AT+CPBR=1,100"), 1);
    // The status polls went on after the switches.
    const int64_t switched = firstAt("AT+CPMS=\"ME\"");
    const int64_t polled = firstAt("AT+CSQ", switched + 1);
    EXPECT_GT(polled, switched) << dump();
    EXPECT_GT(firstAt("AT+CSQ", polled + 1), polled) << dump();
    expectNothingInFlight();
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());

    // A new connection tries the memory again; now it switches and is listed.
    rig->Sim().ClearFaults();
    rig->Engine().reopenPort(Platform::GetTickCount(), 200, false);
    ASSERT_TRUE(until([&] {
        const VTixSMSRecord* hello = at("ME", 1);
        return hello && hello->GetState() == VTixSMS_stateSIMRecvRead && sms().isInitialised() && !sms().isBusy();
    })) << dump();
    EXPECT_EQ(count("AT+CPMS=\"ME\""), VPerifSMSs::GiveUpAfter + 1);
    EXPECT_EQ(at("ME", 1)->GetText(), "hello");
}

TEST_F(SmsFaults, EmptySlotAnsweredByABareOkIsDropped)
{
    ASSERT_NO_FATAL_FAILURE(boot(WithFault("+CMGR= bareok")));
    ASSERT_NO_FATAL_FAILURE(listed());
    rig->Sim().InjectLine("+CMTI: \"SM\",9");
    ASSERT_NO_FATAL_FAILURE(run(60000));

    EXPECT_EQ(count("AT+CMGR=9"), 1);
    EXPECT_EQ(at("SM", 9), nullptr);
    EXPECT_EQ(rows("SM"), kListed);
    expectNoFlood();
    expectNothingInFlight();
    ASSERT_NO_FATAL_FAILURE(expectDeleteGoesOut("SM", 1));
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());
}

TEST_F(SmsFaults, SendWhoseResultIsLostEndsUnsentAndSendsAgain)
{
    ASSERT_NO_FATAL_FAILURE(boot(WithFault("+CMGS= nofinal x1")));
    rig->window.checked[VMainWindowLink::CheckTestSignal] = true;
    ASSERT_NO_FATAL_FAILURE(listed());
    VTixSMSRecord* lost = draft("Ahoj");
    sms().wantSendWrite(lost, true);
    ASSERT_TRUE(until([&] { return deviceSent().size() == 1; })) << dump();
    const int64_t sentAt = rig->Sim().NowMs();
    ASSERT_NO_FATAL_FAILURE(run(VPerifSMSs::SendTimeoutMs - 5000));
    EXPECT_EQ(lost->GetState(), VTixSMS_stateBeingSent);
    ASSERT_NO_FATAL_FAILURE(run(60000));
    // The line was free again after the time-out: the signal was polled.
    EXPECT_GT(firstAt("AT+CSQ", sentAt + VPerifSMSs::SendTimeoutMs), 0) << dump();

    // Ended without a result: failed, the copy in flight gone, not sent twice.
    EXPECT_EQ(lost->GetState(), VTixSMS_stateSendFailed);
    EXPECT_EQ(programRows(), 1);
    EXPECT_EQ(count("AT+CMGS=18"), 1);
    EXPECT_EQ(rows("SM"), kListed);
    expectNoFlood();
    expectNothingInFlight();
    // Sent again it goes, and so does the next one.
    sms().wantSendWrite(lost, true);
    ASSERT_TRUE(until([&] { return deviceSent().size() == 2 && free(); })) << dump();
    ASSERT_EQ(programRows(), 1);
    EXPECT_EQ(list().getSMS(list().getSMSCount() - 1)->GetState(), VTixSMS_stateSIMSent);
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut("Nazdar"));
}

TEST_F(SmsFaults, LateResultsOfSendAndStoreComeToNothingAfterTheTimeOut)
{
    ModemSim::TProfile p = WithFault("+CMGS= late 45000 x1");
    p.faults.push_back("+CMGW= late 45000 x1");
    ASSERT_NO_FATAL_FAILURE(boot(p));
    ASSERT_NO_FATAL_FAILURE(listed());

    VTixSMSRecord* sent = draft("Ahoj");
    sms().wantSendWrite(sent, true);
    ASSERT_NO_FATAL_FAILURE(run(60000));
    EXPECT_TRUE(transcript().WaitForSent("+CMGS: 1", 0)) << "the late result came";
    EXPECT_EQ(sent->GetState(), VTixSMS_stateSendFailed);
    EXPECT_EQ(programRows(), 1);
    expectNothingInFlight();

    VTixSMSRecord* stored = draft("Nazdar");
    sms().wantWrite(stored);
    ASSERT_NO_FATAL_FAILURE(run(60000));
    EXPECT_TRUE(transcript().WaitForSent("+CMGW: 4", 0)) << "the late result came";
    // The draft is unsent again; the copy the device kept shows from the
    // listing that followed, once.
    EXPECT_EQ(stored->GetState(), VTixSMS_stateSIMUnsent);
    ASSERT_NE(at("SM", 4), nullptr) << dump();
    EXPECT_EQ(at("SM", 4)->GetText(), "Nazdar");
    EXPECT_EQ(at("SM", 4)->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(rows("SM").size(), 4u);
    EXPECT_EQ(programRows(), 2);
    EXPECT_EQ(countPrefix("AT+CMGW="), 1);
    expectNoFlood();
    expectNothingInFlight();
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());
    sms().wantWrite(stored);
    ASSERT_TRUE(until([&] { return at("SM", 5) && free(); })) << dump();
    EXPECT_EQ(at("SM", 5)->GetText(), "Nazdar");
}

TEST_F(SmsFaults, AnnouncedMessagesTheListingDoesNotGiveAreDropped)
{
    ASSERT_NO_FATAL_FAILURE(boot());
    ASSERT_NO_FATAL_FAILURE(listed());
    rig->Sim().InjectLine("+CMTI: \"SM\",7");
    rig->Sim().InjectLine("+CMTI: \"SM\",8");
    ASSERT_NO_FATAL_FAILURE(run(60000));

    EXPECT_EQ(count("AT+CMGL=4"), 2);
    EXPECT_EQ(at("SM", 7), nullptr);
    EXPECT_EQ(at("SM", 8), nullptr);
    EXPECT_EQ(rows("SM"), kRelisted);
    expectNoFlood();
    expectNothingInFlight();
    ASSERT_NO_FATAL_FAILURE(expectDeleteGoesOut("SM", 2));
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());
}

TEST_F(SmsFaults, DeleteBehindAListingStaysMarkedAndGoes)
{
    ASSERT_NO_FATAL_FAILURE(boot());
    ASSERT_NO_FATAL_FAILURE(listed());
    const int64_t marked = rig->Sim().NowMs();
    list().invalidateStorage("SM");
    list().wantDelete(at("SM", 2));
    ASSERT_NO_FATAL_FAILURE(run(60000));

    // Listed first, then deleted.
    const int64_t listing = firstAt("AT+CMGL=4", marked);
    const int64_t deleting = firstAt("AT+CMGD=2", marked);
    ASSERT_GE(listing, 0) << dump();
    EXPECT_GT(deleting, listing) << dump();
    EXPECT_EQ(count("AT+CMGD=2"), 1);
    EXPECT_EQ(at("SM", 2), nullptr);
    EXPECT_EQ(deviceIndexes("SM"), (std::vector<int>{1, 3}));
    EXPECT_EQ(rows("SM"), (std::vector<std::string>{kListed[0], kListed[2]}));
    expectNoFlood();
    expectNothingInFlight();
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());
}

TEST_F(SmsFaults, MessagesGoneFromTheDeviceLeaveTheListWithTheNextListing)
{
    ModemSim::TProfile p = ModemSim::TProfile::Builtin("tc35");
    // Mode 1, no indications: the receive memory is listed again by time.
    p.cnmiTest = "+CNMI: (0,1),(0),(0),(0,1),(0,1)";
    ASSERT_NO_FATAL_FAILURE(boot(p));
    rig->window.checked[VMainWindowLink::CheckTestSignal] = true;
    ASSERT_NO_FATAL_FAILURE(listed());
    VTixSMSRecord* kept = draft("koncept");
    rig->Sim().WithDevice([](ModemSim::TDevice& d) {
        d.sms.memories[0].messages.erase(1);
        d.sms.memories[0].messages.erase(3);
    });
    ASSERT_NO_FATAL_FAILURE(run(60000));

    EXPECT_GE(count("AT+CMGL=4"), 3);
    EXPECT_EQ(rows("SM"), (std::vector<std::string>{kRelisted[1]}));
    // The program's own draft stays.
    ASSERT_EQ(programRows(), 1);
    EXPECT_EQ(list().getSMS(list().getSMSCount() - 1), kept);
    EXPECT_EQ(kept->GetText(), "koncept");
    expectNoFlood();
    expectNothingInFlight();
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());
}

TEST_F(SmsFaults, StoresWithoutTheirIndexAreTakenFromTheNextListingOnce)
{
    ASSERT_NO_FATAL_FAILURE(boot(WithFault("+CMGW= noinfo")));
    ASSERT_NO_FATAL_FAILURE(listed());
    VTixSMSRecord* first = draft("Ahoj");
    sms().wantWrite(first);
    ASSERT_TRUE(until([&] { return free(); })) << dump();
    // The copy stands for the draft until its place is known.
    EXPECT_EQ(programRows(), 0);
    ASSERT_EQ(rows("SM").size(), 4u);
    VTixSMSRecord* copy = list().getSMS(list().getSMSCount() - 1);
    EXPECT_LT(copy->GetIndex(), 1);
    EXPECT_EQ(VTixSMSList::GetRowCaption(copy), "SM: ?");
    EXPECT_EQ(copy->GetState(), VTixSMS_stateSIMUnsent);
    VTixSMSRecord* second = draft("Nazdar");
    sms().wantWrite(second);
    ASSERT_NO_FATAL_FAILURE(run(60000));

    EXPECT_EQ(deviceIndexes("SM"), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(rows("SM"), (std::vector<std::string>{kRelisted[0], kRelisted[1], kRelisted[2],
                                                    Row(4, VTixSMS_stateSIMUnsent), Row(5, VTixSMS_stateSIMUnsent)}));
    // The first copy took its place: the same record, not a second one.
    ASSERT_EQ(at("SM", 4), copy);
    ASSERT_NE(at("SM", 5), nullptr);
    EXPECT_EQ(at("SM", 4)->GetText(), "Ahoj");
    EXPECT_EQ(at("SM", 5)->GetText(), "Nazdar");
    EXPECT_EQ(programRows(), 0);
    EXPECT_EQ(countPrefix("AT+CMGW="), 2);
    expectNoFlood();
    expectNothingInFlight();
    ASSERT_NO_FATAL_FAILURE(expectDeleteGoesOut("SM", 4));
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut());
}

// A call dialled while a send waits for its lost result: the call's
// answers are not the send's, the send still ends, and the next one goes.
TEST_F(SmsFaults, ACallDialledWhileASendWaitsLeavesTheSendToEnd)
{
    ModemSim::TProfile p = WithFault("+CMGS= nofinal x1");
    p.faults.push_back("D answer NO ANSWER after 6000 x1");
    ASSERT_NO_FATAL_FAILURE(boot(p));
    ASSERT_NO_FATAL_FAILURE(listed());
    VTixSMSRecord* lost = draft("Ahoj");
    sms().wantSendWrite(lost, true);
    ASSERT_TRUE(until([&] { return deviceSent().size() == 1; })) << dump();
    ASSERT_NO_FATAL_FAILURE(run(20000));
    rig->Engine().getHandlers().calls().dial(Platform::GetTickCount(), true, "+420601000002");
    ASSERT_NO_FATAL_FAILURE(run(80000));
    EXPECT_TRUE(free()) << dump();
    EXPECT_EQ(lost->GetState(), VTixSMS_stateSendFailed);
    EXPECT_EQ(count("AT+CMGS=18"), 1);
    for (int i = 0; i < list().getSMSCount(); ++i)
        EXPECT_NE(list().getSMS(i)->GetState(), VTixSMS_stateBeingSent) << i << "\n" << dump();
    expectNoFlood();
    ASSERT_NO_FATAL_FAILURE(expectSendGoesOut("Nazdar"));
}
