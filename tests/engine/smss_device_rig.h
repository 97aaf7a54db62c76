#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/perif_smss.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/engine/smss_rig.h"

// The whole engine on a simulated device that misbehaves, on device time:
// a minute of the device passes in seconds, so a test can watch what the
// SMS handler sends over that minute, then check the records and that a
// message composed afterwards still goes out.
namespace SmssDevice {

using SmssTest::kCau;
using SmssTest::kHello;

struct TSmsOnDevice : ::testing::Test {
    std::unique_ptr<EngineTest::TEngineOnSim> rig;

    void TearDown() override;
    void boot(ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35"));
    // The tc35 with a second memory ME whose place 1 holds "Hello".
    static ModemSim::TProfile TwoMemories();

    VPerifSMSs& sms() { return rig->Engine().getHandlers().smss(); }
    VTixSMSList& list() { return rig->window.smsListOwned; }
    VTixSMSRecord* at(const std::string& storage, int index) { return list().getSMSByIndex(storage, index); }
    ModemSim::TTranscript& transcript() { return rig->Sim().Transcript(); }
    std::string dump() { return transcript().ToText(); }
    // Device time passes (skipped ahead while nothing is on its way).
    void run(int64_t deviceMs) { ASSERT_TRUE(rig->RunForDeviceTime(deviceMs)) << dump(); }
    bool until(const std::function<bool()>& cond, int hostMs = 60000) { return rig->RunUntil(cond, hostMs); }
    // How often the device executed this command line ("AT" included).
    int count(const std::string& command);
    // Commands whose line begins with this text.
    int countPrefix(const std::string& prefix);
    // A composed message to +420777123456 in "PC".
    VTixSMSRecord* draft(const std::string& text);
    int programRows();
    // The records of one storage as "index:state" texts, in list order.
    std::vector<std::string> rows(const std::string& storage);
    // What the device holds in one of its memories, by index.
    std::vector<int> deviceIndexes(const std::string& memory);
    std::vector<std::string> deviceSent();

    // The settings made and memory 1 (SM) listed.
    void listed();
    // No command but the status polls more often than 6 times in any 30 s.
    void expectNoFlood();
    // A message composed now is sent: the device takes its PDU, the draft
    // gives way to the device copy, sent, and the handler is free again.
    void expectSendGoesOut(const std::string& text = "Ahoj");
    // A message of the device marked for deletion is deleted there.
    void expectDeleteGoesOut(const std::string& storage, int index);
    // No record left waiting for the device: none being read, sent,
    // stored or deleted, and no request or copy in flight.
    void expectNothingInFlight();
};

}  // namespace SmssDevice
