#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A fault script: timed or command-triggered steps that inject unsolicited
// lines, garbage and faults into a running simulator. One step a line:
//
//   at <ms> <action>        <ms> after the simulator started
//   on <command> <action>   when the program's next line equals <command>
//                           (ignoring case; "AT" optional), before it runs
//
// Actions:
//   line <text>             an unsolicited result line (framed CR LF)
//   bytes <hex> [<hex>...]  raw bytes, e.g. "bytes 0D 0A 52 49 4E 47"
//   garbage <n>             n bytes of line noise
//   nofinal                 the next command line gets no final result code
//   reset <ms>              the device resets and answers ERROR for <ms>
//   disappear               the pseudo-terminal closes for good
//   creg <stat> [<lac> <cell>]   registration changes (lac, cell in hex)
//   csq <rssi> <ber>        signal quality changes
//   poweroff                the device switches itself off
//   deliver <PDU>           an SMS arrives (hex, SMS-centre part included):
//                           stored with "+CMTI" or routed as "+CMT" per +CNMI
//   refuse <final>          the next SMS command answers ERROR, "+CMS ERROR: n"
//                           or "+CME ERROR: n" and does nothing
//   noprompt                the next +CMGS/+CMGW waits for its PDU without "> "
//   ring <num> voice|data   a call from <num> comes in
//   hangup                  the other party of the call hangs up
//   fault <switch>          a fault switch is set (faults.h), e.g.
//                           "at 5000 fault +CMGR= bareok x2"
//   nofaults                every fault switch is cleared
namespace ModemSim {

struct TScriptAction {
    enum class TKind { Line, Bytes, Garbage, NoFinal, Reset, Disappear, Creg, Csq, PowerOff,
                       Deliver, Refuse, NoPrompt,  // SMS
                       Ring, Hangup,               // Calls
                       Fault, NoFaults };
    TKind kind = TKind::Line;
    // Line: the line; Bytes: the bytes; Deliver: the PDU; Refuse: the final;
    // Ring: the caller's number; Fault: the switch
    std::string text;
    int a = 0, b = -1, c = -1;
};

struct TScriptStep {
    bool onCommand = false;
    int64_t atMs = 0;
    std::string command;  // upper case, without "AT"
    TScriptAction action;
};

// Parses one script line; throws std::invalid_argument on a bad line.
TScriptStep ParseScriptLine(const std::string& line);

}  // namespace ModemSim
