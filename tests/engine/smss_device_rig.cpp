#include "tests/engine/smss_device_rig.h"

#include <algorithm>

#include "platform/tick.h"

using ModemSim::TTranscript;

namespace SmssDevice {

void TSmsOnDevice::TearDown()
{
    rig.reset();
    Platform::SetTickOffset(0);
}

void TSmsOnDevice::boot(ModemSim::TProfile profile)
{
    Platform::SetTickOffset(0);
    rig = std::make_unique<EngineTest::TEngineOnSim>(EngineTest::TEngineOnSim::OnDeviceTime(std::move(profile)));
    rig->skipIdleTime = true;
    std::string error;
    ASSERT_TRUE(rig->Boot(&error)) << error;
}

ModemSim::TProfile TSmsOnDevice::TwoMemories()
{
    ModemSim::TProfile p = ModemSim::TProfile::Builtin("tc35");
    p.smsMemories = {{"SM", 30}, {"ME", 100}};
    p.smsMessages.push_back({"ME", 1, 1, kHello});
    return p;
}

int TSmsOnDevice::count(const std::string& command)
{
    int n = 0;
    for (const auto& c : transcript().Commands())
        n += c == command;
    return n;
}

int TSmsOnDevice::countPrefix(const std::string& prefix)
{
    int n = 0;
    for (const auto& c : transcript().Commands())
        n += c.rfind(prefix, 0) == 0;
    return n;
}

VTixSMSRecord* TSmsOnDevice::draft(const std::string& text)
{
    VTixSMSRecord* sms = list().smsDoesExist(VTixSMSList::ProgramStorage, 0);
    sms->SetState(VTixSMS_stateSIMUnsent);
    sms->SetMessageType(VTixSMS_smsTypeSUBMIT);
    sms->SetUserNumber("+420777123456");
    sms->SetText(text);
    return sms;
}

int TSmsOnDevice::programRows()
{
    int n = 0;
    for (int i = 0; i < list().getSMSCount(); ++i)
        n += list().getSMS(i)->GetStorage() == VTixSMSList::ProgramStorage;
    return n;
}

std::vector<std::string> TSmsOnDevice::rows(const std::string& storage)
{
    std::vector<std::string> out;
    for (int i = 0; i < list().getSMSCount(); ++i) {
        VTixSMSRecord* sms = list().getSMS(i);
        if (sms->GetStorage() == storage)
            out.push_back(std::to_string(sms->GetIndex()) + ":" + std::to_string(int(sms->GetState())));
    }
    return out;
}

std::vector<int> TSmsOnDevice::deviceIndexes(const std::string& memory)
{
    std::vector<int> indexes;
    rig->Sim().WithDevice([&](ModemSim::TDevice& d) {
        const int m = d.sms.MemoryIndex(memory);
        if (m >= 0)
            for (const auto& entry : d.sms.memories[size_t(m)].messages)
                indexes.push_back(entry.first);
    });
    return indexes;
}

std::vector<std::string> TSmsOnDevice::deviceSent()
{
    std::vector<std::string> sent;
    rig->Sim().WithDevice([&](ModemSim::TDevice& d) { sent = d.sms.sent; });
    return sent;
}

void TSmsOnDevice::listed()
{
    ASSERT_TRUE(until([&] {
        const VTixSMSStorage* sm = list().getStorageByName("SM");
        return sms().isInitialised() && sm && sm->GetFirstRead() && !sms().isBusy();
    })) << dump();
}

void TSmsOnDevice::expectNoFlood()
{
    const TTranscript::TBurst burst = transcript().MostRepeated(30000, TTranscript::NotStatusPoll);
    EXPECT_LE(burst.count, 6) << burst.command << " " << burst.count << " times from " << burst.atMs << " ms\n"
                              << dump();
}

void TSmsOnDevice::expectSendGoesOut(const std::string& text)
{
    const size_t sentBefore = deviceSent().size();
    VTixSMSRecord* composed = draft(text);
    const int programBefore = programRows();
    sms().wantSendWrite(composed, true);
    ASSERT_EQ(composed->GetState(), VTixSMS_stateBeingSent) << "the request was not taken";
    ASSERT_TRUE(until([&] { return deviceSent().size() > sentBefore && !sms().getMySMS() && !sms().isBusy(); }))
        << dump();
    // The draft gave way to the device copy, sent.
    EXPECT_EQ(programRows(), programBefore);
    VTixSMSRecord* copy = list().getSMS(list().getSMSCount() - 1);
    EXPECT_EQ(copy->GetStorage(), VTixSMSList::ProgramStorage);
    EXPECT_EQ(copy->GetState(), VTixSMS_stateSIMSent);
    EXPECT_EQ(copy->GetText(), text);
}

void TSmsOnDevice::expectDeleteGoesOut(const std::string& storage, int index)
{
    VTixSMSRecord* gone = at(storage, index);
    ASSERT_NE(gone, nullptr) << storage << " " << index;
    list().wantDelete(gone);
    ASSERT_TRUE(until([&] { return !at(storage, index) && !sms().isBusy(); })) << dump();
    const std::vector<int> held = deviceIndexes(storage);
    EXPECT_EQ(std::find(held.begin(), held.end(), index), held.end()) << "still on the device";
}

void TSmsOnDevice::expectNothingInFlight()
{
    EXPECT_EQ(sms().getMySMS(), nullptr);
    EXPECT_EQ(sms().getUserSMS(), nullptr);
    EXPECT_FALSE(sms().getSendInProgress());
    for (int i = 0; i < list().getSMSCount(); ++i) {
        VTixSMSRecord* sms = list().getSMS(i);
        const int state = sms->GetState();
        EXPECT_TRUE(state != VTixSMS_state_Unknown && state != VTixSMS_stateBeingSent &&
                    state != VTixSMS_stateBeingStored && state != VTixSMS_state_Deleting)
            << VTixSMSList::GetRowCaption(sms) << " is left in state " << state;
    }
}

}  // namespace SmssDevice
