// The shared clock of program and device that runs ahead while nothing is
// on its way: a minute of device time passes in seconds, the device's
// delays and the program's time-outs keep their order, and a behaving
// device sees no command but the status polls repeat.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "engine/perif_modem.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"

using EngineTest::TEngineOnSim;
using ModemSim::TTranscript;

namespace {

struct DeviceTime : ::testing::Test {
    std::unique_ptr<TEngineOnSim> rig;
    void TearDown() override
    {
        rig.reset();
        Platform::SetTickOffset(0);
    }
    void boot(ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35"))
    {
        Platform::SetTickOffset(0);
        rig = std::make_unique<TEngineOnSim>(TEngineOnSim::OnDeviceTime(std::move(profile)));
        rig->skipIdleTime = true;
        std::string error;
        ASSERT_TRUE(rig->Boot(&error)) << error;
    }
};

}  // namespace

TEST_F(DeviceTime, AMinuteOfABehavingDevicePassesInSecondsWithOnlyThePollsRepeating)
{
    boot();
    QElapsedTimer host;
    host.start();
    const uint32_t tick0 = Platform::GetTickCount();
    ASSERT_TRUE(rig->RunForDeviceTime(90000)) << rig->Sim().Transcript().ToText();
    EXPECT_LT(host.elapsed(), 30000);
    // The program's clock moved with the device's.
    EXPECT_GE(Platform::GetTickCount() - tick0, 90000u);
    const auto& t = rig->Sim().Transcript();
    const TTranscript::TBurst burst = t.MostRepeated(30000, TTranscript::NotStatusPoll);
    EXPECT_LE(burst.count, 6) << burst.command << " at " << burst.atMs << "\n" << t.ToText();
    // The start-up went through to the phonebook's last memory.
    EXPECT_GE(t.WaitForCommand("AT+CPBR=1,250", 0), 0) << t.ToText();
}

TEST_F(DeviceTime, ALateAnswerComesAfterItsDelayInDeviceTimeAndTheProgramGoesOn)
{
    ModemSim::TProfile p = ModemSim::TProfile::Builtin("tc35");
    p.faults.push_back("+CGMI late 20000 x1");
    boot(p);
    auto& t = rig->Sim().Transcript();
    auto firstAt = [&](ModemSim::TDirection d, const std::string& text) -> int64_t {
        for (const auto& e : t.Entries())
            if (e.direction == d && e.data.find(text) != std::string::npos)
                return e.ms;
        return -1;
    };
    ASSERT_TRUE(rig->RunUntil([&] { return firstAt(ModemSim::TDirection::Sent, "SIEMENS") >= 0; }, 30000))
        << t.ToText();
    const int64_t asked = firstAt(ModemSim::TDirection::Command, "AT+CGMI");
    const int64_t answered = firstAt(ModemSim::TDirection::Sent, "SIEMENS");
    EXPECT_GE(answered - asked, 20000);
    EXPECT_LT(answered - asked, 21000);
    // The program's own time-out ended its wait first, and it went on to
    // its next questions once the device took commands again.
    const size_t later = t.Size();
    EXPECT_TRUE(rig->RunUntil([&] { return t.WaitForCommand("AT+CPIN?", 0, later) >= 0 || t.WaitForCommand("AT+CGMM", 0, later) >= 0; }, 30000))
        << t.ToText();
}
