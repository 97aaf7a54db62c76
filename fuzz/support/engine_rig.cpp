#include "fuzz/support/engine_rig.h"

#include <cstdio>
#include <cstdlib>

#include "engine/perif_smss.h"

namespace Fuzz {

namespace {

void Require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "engine rig: %s\n", what);
        std::abort();
    }
}

}  // namespace

TEngineRig::TEngineRig(uint32_t start) : now(start)
{
    engine = std::make_unique<VUniSET>(nullptr, &window);
    engine->start();
    // The rig never replaces a handler, so the SMS handler stays where it is.
    smsHandler = &engine->getHandlers().smss();
    checkInvariants();
}

TEngineRig::~TEngineRig() = default;

void TEngineRig::receive(uint8_t byte)
{
    engine->receivedByte(now, byte);
    checkInvariants();
}

void TEngineRig::receive(const std::string& bytes)
{
    for (char c : bytes)
        receive(uint8_t(c));
}

void TEngineRig::tick(uint32_t elapsed)
{
    now += elapsed;
    engine->tick(now);
    checkInvariants();
}

void TEngineRig::checkInvariants()
{
    const int mode = engine->getMode();
    Require(mode >= 0 && mode <= 3, "mode out of range");
    const int state = engine->getState();
    Require(state >= 0 && state <= 6, "state out of range");
    // A line that grows without end is dropped; a frame is bounded too.
    Require(engine->getRxBuffer().length() <= VUniSET::MaxLineLength + 8, "receive buffer grows without bound");
    checkSmsRecords();
}

void TEngineRig::checkSmsRecords()
{
    const VTixSMSList& list = window.smsListOwned;
    const TSmsSeen seen{list.getSMSCount(), list.GetChangeCount(), smsHandler->getMySMS(),
                        smsHandler->getUserSMS()};
    if (seen == smsSeen)
        return;
    // The SMS handler points only at records the list still holds.
    for (const VTixSMSRecord* held : {smsHandler->getMySMS(), smsHandler->getUserSMS()}) {
        if (!held)
            continue;
        bool found = false;
        for (int i = 0, n = list.getSMSCount(); !found && i < n; ++i)
            found = list.getSMS(i) == held;
        Require(found, "SMS handler holds a record the list does not");
    }
    smsSeen = seen;
}

}  // namespace Fuzz
