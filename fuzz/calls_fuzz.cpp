// The call handler and the remote party with all real handlers: call
// lines (RING, +CLIP, *ECAV, +CPAS, CONNECT, call ends, echoes of the own
// commands) with bytes of the input in them, exchange frames in a data
// call, the buttons of the call page and stations to dial, and time.
//
// Input: steps of one op byte and a text up to the next 0x01 byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/perif_calls.h"
#include "engine/perif_protikus.h"
#include "fuzz/support/engine_rig.h"
#include "fuzz/support/fuzz_input.h"
#include "fuzz/support/frames.h"

namespace {

const char* const Prefixes[] = {
    "+CLIP: ", "*ECAV: ", "+CPAS: ", "*ECAM: ", "CONNECT", "AT", "ATD", "+CLIP: \"", "*ECAV: 1,", "",
};

const char* const Lines[] = {
    "RING\r\n",        "NO CARRIER\r\n",    "BUSY\r\n",           "NO DIALTONE\r\n", "OK\r\n",
    "ERROR\r\n",       "+CME ERROR: 3\r\n", "CONNECT 9600\r\n",   "ATA\r\r\n",       "ATH\r\r\n",
    "AT+CPAS\r\r\n",   "AT+CHUP\r\r\n",     "AT*ECAM=1\r\r\n",    "AT+CLIP=1\r\r\n", "AT+CLIP?\r\r\n",
    "AT*ECAM?\r\r\n",  "+CPAS: 0\r\n",      "+CPAS: 3\r\n",       "+CPAS: 4\r\n",    "\r\nOK\r\n",
    "NO ANSWER\r\n",
};

const char* const Commands[] = {"AT+CPAS", "ATA", "ATH", "AT+CHUP", "AT*ECAM=1", "AT+CLIP=1", "AT+CLIP?",
                                "AT*ECAM?", "AT+CLIP=?", "ATD"};

void Require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "calls: %s\n", what);
        std::abort();
    }
}

void Check(VUniSET& engine)
{
    VPerifModem& m = engine.getHandlers();
    VPerifCalls& calls = m.calls();
    Require(calls.getTempRow() >= 0 && calls.getTempRow() < VPerifCalls::RowCount, "temporary row out of range");
    Require(calls.getPending() >= 0 && calls.getPending() <= VPerifCalls::cmdDial, "pending code out of range");
    bool partyOnARow = m.protikus().getCurrent() == nullptr;
    for (int i = 0; i < VPerifCalls::RowCount; ++i) {
        const VCall& row = calls.row(i);
        Require(row.state >= -1 && row.state <= 7, "row state out of range");
        Require(row.state != 0 || (row.number.empty() && !row.hangupMark), "a free row keeps a call");
        partyOnARow = partyOnARow || m.protikus().getCurrent() == &row.remote;
    }
    Require(partyOnARow, "the remote party belongs to no row");
    Require(m.protikus().getPending() >= 0 && m.protikus().getPending() <= 4, "exchange state out of range");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    Fuzz::TEngineRig rig(in.u32());
    VPerifModem& m = rig.engine->getHandlers();
    for (int steps = 0; !in.empty() && steps < 512; ++steps) {
        switch (in.byte() % 9) {
        case 0:  // a call line with bytes of the input
            rig.receive(std::string(Prefixes[in.below(std::size(Prefixes))]) + in.text() + "\r\n");
            break;
        case 1:
            rig.receive(Lines[in.below(std::size(Lines))]);
            break;
        case 2: {  // an own command, with the input after it
            const std::string cmd = std::string(Commands[in.below(std::size(Commands))]) + in.text();
            rig.engine->sendLine(rig.now, cmd.c_str(), int(cmd.size()));
            break;
        }
        case 3: {  // an exchange frame (the engine's data mode decides whether it is one)
            static const uint8_t Types[] = {0x00, 0x11, 0x12, 0x21};
            const uint8_t type = Types[in.below(std::size(Types))];
            rig.receive(Fuzz::Frame(type, in.text()));
            break;
        }
        case 4:  // time passes
            rig.tick(in.byte() == 0xFF ? in.u32() : uint32_t(in.byte()) * 37u);
            break;
        case 5:  // the page's buttons
            switch (in.below(5)) {
            case 0: m.calls().dial(rig.now, in.flag(), in.text()); break;
            case 1: m.calls().markForHangup(); break;
            case 2: m.calls().setAnswerPending(in.flag()); break;
            case 3: m.calls().refreshTexts(); break;
            default: m.protikus().showParty(); break;
            }
            break;
        case 6:  // stations to reach
            switch (in.below(3)) {
            case 0: m.protikus().addStation(in.text()); break;
            case 1: m.protikus().removeStation(in.text()); break;
            default: m.protikus().clearStations(); break;
            }
            break;
        case 7:  // the mode, a restart
            switch (in.below(3)) {
            case 0: rig.engine->setMode(int(in.below(4))); break;
            case 1: rig.engine->restart(rig.now); break;
            default: rig.engine->resetAll(rig.now); break;
            }
            break;
        default:  // the handlers' own ticks, whatever the mode
            m.calls().dataTick(rig.now);
            m.protikus().dataTick(rig.now);
            m.protikus().tick(rig.now);
            break;
        }
        rig.checkInvariants();
        Check(*rig.engine);
    }
    rig.tick(1000);
    return 0;
}
