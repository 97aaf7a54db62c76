#pragma once
#include <string>

#include "engine/perif_calls.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/modemsim/profile.h"

// Helpers for two engines on two linked simulated devices.
namespace EngineTest {

// A built-in device profile with its own phone number.
inline ModemSim::TProfile Numbered(const char* base, const char* number)
{
    ModemSim::TProfile p = ModemSim::TProfile::Builtin(base);
    p.ownNumber = number;
    return p;
}

// Every call row of the station is free.
inline bool RowsFree(TEngineOnSim& station)
{
    const VPerifCalls& calls = station.Engine().getHandlers().calls();
    for (int i = 0; i < VPerifCalls::RowCount; ++i)
        if (calls.row(i).state != 0)
            return false;
    return true;
}

// Both devices' transcripts, for a failure message.
inline std::string Both(TEngineOnSim& caller, TEngineOnSim& callee)
{
    return "caller:\n" + caller.Sim().Transcript().ToText() + "\ncallee:\n" + callee.Sim().Transcript().ToText();
}

}  // namespace EngineTest
