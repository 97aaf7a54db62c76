// Battery and charger: the standard +CBC and the Siemens ^SBC with the
// current consumption.
#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

namespace ModemSim {

void RegisterBatteryCommands(TCommandRegistry& r)
{
    r.Add("+CBC", [](TCommandContext& ctx) {
        TDevice& dev = ctx.device;
        if (AbsentOrTest(ctx, dev.Profile().cbcTest))
            return;
        if (ctx.cmd.kind == TCmdKind::Exec || ctx.cmd.kind == TCmdKind::Read)
            ctx.reply.Info("+CBC: " + std::to_string(dev.chargerStatus) + "," + std::to_string(dev.batteryLevel));
        else
            ctx.reply.Error();
    });
    r.Add("^SBC", [](TCommandContext& ctx) {
        TDevice& dev = ctx.device;
        if (AbsentOrTest(ctx, dev.Profile().sbcTest))
            return;
        if (ctx.cmd.kind == TCmdKind::Read)
            ctx.reply.Info("^SBC: " + std::to_string(dev.chargerStatus) + "," + std::to_string(dev.batteryLevel) +
                           "," + std::to_string(dev.consumption));
        else
            ctx.reply.Error();
    });
}

}  // namespace ModemSim
