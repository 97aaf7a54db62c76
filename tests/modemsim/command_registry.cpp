#include "tests/modemsim/command_registry.h"

namespace ModemSim {

void TCommandRegistry::Add(const std::string& name, TCommandHandler handler)
{
    handlers_[UpperAscii(name)] = std::move(handler);
}

const TCommandHandler* TCommandRegistry::Find(const std::string& name) const
{
    const auto it = handlers_.find(name);
    return it == handlers_.end() ? nullptr : &it->second;
}

void RegisterAllCommands(TCommandRegistry& registry)
{
    RegisterBasicCommands(registry);
    RegisterIdentityCommands(registry);
    RegisterSimCommands(registry);
    RegisterPowerCommands(registry);
    RegisterNetworkCommands(registry);
    RegisterClockCommands(registry);
    RegisterBatteryCommands(registry);
    RegisterSmsCommands(registry);
    RegisterPhonebookCommands(registry);
}

}  // namespace ModemSim
