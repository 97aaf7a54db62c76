#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/modemsim/at_command.h"

// The table of commands the simulated device knows. Each command family
// (identity, SIM, power, network, clock, battery; later SMS, phonebook,
// calls) registers its handlers here, so a new family is one more source
// file and one more Register call.
namespace ModemSim {

class TDevice;
class TAtCore;

// What a command answers: information lines, a final result and when.
struct TReply {
    enum class TFinal { Ok, Error, Cme, Cms, Text, None };

    std::vector<std::string> lines;  // information text lines, without CR LF
    TFinal final = TFinal::Ok;
    int code = 0;           // +CME / +CMS error number
    std::string finalText;  // TFinal::Text: e.g. "NO CARRIER"
    int delayMs = 0;        // the answer comes this long after the command
    // Runs when the answer has been delivered (state that changes only
    // once the device has finished, e.g. a manual network selection).
    std::function<void()> onDelivered;

    void Info(std::string line) { lines.push_back(std::move(line)); }
    void Error() { final = TFinal::Error; }
    void Cme(int err) { final = TFinal::Cme; code = err; }
    void Cms(int err) { final = TFinal::Cms; code = err; }
    bool Failed() const { return final == TFinal::Error || final == TFinal::Cme || final == TFinal::Cms; }
};

struct TCommandContext {
    TDevice& device;
    TAtCore& core;
    const TAtCommand& cmd;
    TReply& reply;
};

using TCommandHandler = std::function<void(TCommandContext&)>;

class TCommandRegistry {
public:
    // name as TAtCommand::name ("+CGMI", "E", "&F", "S", "D").
    void Add(const std::string& name, TCommandHandler handler);
    const TCommandHandler* Find(const std::string& name) const;
    bool Has(const std::string& name) const { return Find(name) != nullptr; }

private:
    std::map<std::string, TCommandHandler> handlers_;
};

// The command families. Each adds its commands to the registry.
void RegisterBasicCommands(TCommandRegistry& registry);     // V.25ter: E V Q Z &F I S +IPR +CMEE ...
void RegisterIdentityCommands(TCommandRegistry& registry);  // +CGMI +CGMM +CGMR +CGSN +CIMI +CSCS
void RegisterSimCommands(TCommandRegistry& registry);       // +CPIN ^SPIC
void RegisterPowerCommands(TCommandRegistry& registry);     // +CFUN ^SMSO
void RegisterNetworkCommands(TCommandRegistry& registry);   // +CREG +CGREG +CGATT +COPS +CSQ
void RegisterClockCommands(TCommandRegistry& registry);     // +CCLK +CALA
void RegisterBatteryCommands(TCommandRegistry& registry);   // +CBC ^SBC
void RegisterSmsCommands(TCommandRegistry& registry);       // +CPMS +CMGF +CMGL +CMGR +CMGW +CMGS +CMSS +CMGD +CSCA +CNMI
void RegisterPhonebookCommands(TCommandRegistry& registry); // +CPBS +CPBR +CPBW
// All of the above.
void RegisterAllCommands(TCommandRegistry& registry);

}  // namespace ModemSim
