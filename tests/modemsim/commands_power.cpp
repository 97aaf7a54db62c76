// Power: +CFUN functionality levels (sleep, radio off, full, reset) and the
// Siemens power-down ^SMSO.
#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

namespace ModemSim {

void RegisterPowerCommands(TCommandRegistry& r)
{
    r.Add("+CFUN", [](TCommandContext& ctx) {
        TDevice& dev = ctx.device;
        const std::string& test = dev.Profile().cfunTest;
        if (AbsentOrTest(ctx, test))
            return;
        switch (ctx.cmd.kind) {
        case TCmdKind::Test: break;  // answered above
        case TCmdKind::Read: ctx.reply.Info("+CFUN: " + std::to_string(dev.fun)); break;
        case TCmdKind::Set: {
            std::vector<std::string> items;
            if (!Params(ctx, items))
                return;
            int fun = 0, rst = 0;
            if (items.empty() || items.size() > 2 || !ParseInt(items[0], fun) ||
                !ListContains(FirstNumberList(test), fun) ||
                (items.size() == 2 && (!ParseInt(items[1], rst) || rst < 0 || rst > 1))) {
                ctx.reply.Error();
                return;
            }
            TDevice* d = &dev;
            if (rst == 1)
                ctx.reply.onDelivered = [d] { d->PowerUp(true); };
            else if (dev.power == TPowerState::AlarmMode) {
                if (fun == 1)
                    ctx.reply.onDelivered = [d] { d->PowerUp(true); };
            } else
                ctx.reply.onDelivered = [d, fun] { d->SetFun(fun); };
            break;
        }
        case TCmdKind::Exec: ctx.reply.Error(); break;
        }
    });
    r.Add("^SMSO", [](TCommandContext& ctx) {
        TDevice& dev = ctx.device;
        if (AbsentOrTest(ctx, dev.Profile().smsoTest))
            return;
        if (ctx.cmd.kind != TCmdKind::Exec) {
            ctx.reply.Error();
            return;
        }
        if (dev.Profile().siemensUrcs)
            ctx.reply.Info("^SMSO: MS OFF");
        TDevice* d = &dev;
        ctx.reply.onDelivered = [d] { d->PowerOff(); };
    });
}

}  // namespace ModemSim
