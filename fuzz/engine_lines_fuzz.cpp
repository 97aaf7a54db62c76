// Whole answer lines through the engine and all its real handlers: each
// step is a command the engine writes (so the handlers expect its answer),
// an echo, an answer line made of a known prefix and bytes of the input,
// a final result code, or time passing. This reaches the parsers of the
// status answers with far fewer tries than single bytes would.
//
// Input: steps of one op byte and a text up to the next 0x01 byte.
#include <cstdint>
#include <string>

#include "engine/perif_smss.h"
#include "fuzz/support/engine_rig.h"
#include "fuzz/support/fuzzer_flags.h"
#include "fuzz/support/fuzz_input.h"

namespace {

// The commands the handlers write and whose answers they read.
const char* const Commands[] = {
    "AT",          "AT+CMEE=2",   "AT+CMEE?",     "AT+CGMI",      "AT+CGMM",     "AT+CPIN?",
    "AT+CPIN=?",   "AT+CPIN=\"1234\"", "AT+COPS?", "AT+COPS=?",   "AT+COPS=3,0", "AT+COPS=3,1",
    "AT+COPS=3,2", "AT+COPS=0,2", "AT+CREG?",     "AT+CREG=2",    "AT+CREG=?",   "AT+CSQ",
    "AT+CCLK?",    "AT+CCLK=?",   "AT+CALA?",     "AT+CALA=?",    "AT+CBC",      "AT+CBC=?",
    "AT^SBC?",     "AT^SBC=?",    "AT+CFUN?",     "AT+CFUN=?",    "AT+CFUN=1",   "AT+CFUN=0",
    "AT+CFUN=5",   "AT^SMSO",     "AT^SMSO=?",    "\033AT",
    // SMS
    "AT+CSCA?",    "AT+CNMI=?",   "AT+CNMI=2,1,2,1,0", "AT+CPMS=?", "AT+CPMS?",   "AT+CPMS=\"ME\"",
    "AT+CMGL=4",   "AT+CMGR=3",   "AT+CMGD=2",    "AT+CMGW=18",   "AT+CMGS=18",  "AT+CMSS=3",
};

// The answers' prefixes.
const char* const Prefixes[] = {
    "+CMEE: ", "+CGMI: ", "+CGMM: ", "+CPIN: ", "+COPS: ", "+CREG: ", "+CSQ: ", "+CCLK: ",
    "+CALA: ", "+CBC: ",  "^SBC: ",  "+CFUN: ", "+CME ERROR: ", "+CMS ERROR: ", "CONNECT", "",
    "+COPS: (", "+CREG: 2,", "+CCLK: \"", "+CALA: \"", "+CPIN: SIM ", "^SMSO: ",
    // SMS
    "+CSCA: ", "+CNMI: ", "+CPMS: ", "+CPMS: (", "+CMTI: ", "+CMT: ", "+CMGL: ", "+CMGR: ",
    "+CMGW: ", "+CMGS: ", "0791246030500200",
};

const char* const Finals[] = {"OK\r\n", "ERROR\r\n", "RING\r\n", "NO CARRIER\r\n", "BUSY\r\n",
                              "NO DIALTONE\r\n", "NO ANSWER\r\n", "+CME ERROR: SIM BUSY\r\n",
                              "+CME ERROR: 10\r\n", "\r\n", "> "};

}  // namespace

// The engine targets run thousands of code edges per input. libFuzzer's
// default schedule (entropic) keeps a frequency per edge and updates it on
// every run: a third of the time from the seeds, a tenth to a fifth with a
// grown corpus. The plain schedule leaves the checks as they are.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::DefaultFlags(argc, argv, {"-entropic=0"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    Fuzz::TEngineRig rig(in.u32());
    rig.window.automation = in.below(3);
    rig.window.level = in.below(2);
    for (int steps = 0; !in.empty() && steps < 512; ++steps) {
        const uint8_t op = in.byte();
        switch (op % 10) {
        case 0:  // the engine writes a command
        {
            const std::string cmd = Commands[in.below(std::size(Commands))];
            rig.engine->sendLine(rig.now, cmd.c_str(), int(cmd.size()));
            rig.checkInvariants();
            break;
        }
        case 1:  // a command with parameters of the input
        {
            const std::string cmd = std::string(Commands[in.below(std::size(Commands))]) + in.text();
            rig.engine->sendLine(rig.now, cmd.c_str(), int(cmd.size()));
            rig.checkInvariants();
            break;
        }
        case 2:  // the echo of the last command
        {
            const auto tx = rig.engine->getTxBuffer().view();
            rig.receive(std::string(tx) + "\r\n");
            break;
        }
        case 3:
        case 4:
        case 5:  // an answer line
            rig.receive(std::string(Prefixes[in.below(std::size(Prefixes))]) + in.text() + "\r\n");
            break;
        case 6:  // a final result code
            rig.receive(Finals[in.below(std::size(Finals))]);
            break;
        case 7:  // time passes
        {
            const uint8_t t = in.byte();
            rig.tick(t == 0xFF ? in.u32() : uint32_t(t) * 53u);
            break;
        }
        case 8:  // raw bytes
            rig.receive(in.text());
            break;
        default:  // the user or the window
            switch (in.below(10)) {
            case 0: rig.window.answer = VMainWindowLink::IDYES; break;
            case 1: rig.window.answer = VMainWindowLink::IDNO; break;
            case 2: rig.engine->setPIN(in.text()); break;
            case 3: rig.engine->resetAll(rig.now); break;
            case 4: rig.engine->restart(rig.now); break;
            case 5: rig.window.automation = in.below(3); break;
            case 6: rig.engine->setMode(int(in.below(4))); break;
            case 8:  // the SMS page asks for a send or store, or a delete
            {
                VTixSMSList& list = rig.window.smsListOwned;
                VTixSMSRecord* sms = list.getSMS(int(in.below(unsigned(list.getSMSCount()) + 1)));
                if (!sms) {
                    sms = list.smsDoesExist(VTixSMSList::ProgramStorage, 0);
                    sms->SetState(VTixSMS_stateSIMUnsent);
                    sms->SetUserNumber(in.text());
                    sms->SetText(in.text());
                }
                if (in.flag())
                    list.wantDelete(sms);
                else
                    rig.engine->getHandlers().smss().wantSendWrite(sms, in.flag());
                break;
            }
            case 9: rig.engine->getHandlers().smss().setWantedSCA(in.text()); break;
            default: rig.window.setEditText(VMainWindowLink::TControl(in.below(VMainWindowLink::ControlCount)), in.text()); break;
            }
            rig.checkInvariants();
            break;
        }
    }
    rig.tick(1000);
    return 0;
}
