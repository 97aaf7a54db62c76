// The SIM card: +CPIN (state, PIN, PUK and new PIN) and the Siemens
// attempt counter ^SPIC.
#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

namespace ModemSim {

void RegisterSimCommands(TCommandRegistry& r)
{
    r.Add("+CPIN", [](TCommandContext& ctx) {
        TDevice& dev = ctx.device;
        if (AbsentOrTest(ctx, dev.Profile().cpinTest))
            return;
        switch (ctx.cmd.kind) {
        case TCmdKind::Test: break;  // answered above
        case TCmdKind::Read: {
            const std::string value = dev.CpinValue();
            if (value.empty())
                ctx.reply.Cme(dev.SimError() ? dev.SimError() : Cme::SimFailure);
            else
                ctx.reply.Info("+CPIN: " + value);
            break;
        }
        case TCmdKind::Set: {
            std::vector<std::string> items;
            if (!Params(ctx, items))
                return;
            if (items.empty() || items.size() > 2 || items[0].empty()) {
                ctx.reply.Error();
                return;
            }
            const std::string* newPin = items.size() == 2 ? &items[1] : nullptr;
            if (const int err = dev.EnterPin(items[0], newPin))
                ctx.reply.Cme(err);
            break;
        }
        case TCmdKind::Exec: ctx.reply.Error(); break;
        }
    });
    r.Add("^SPIC", [](TCommandContext& ctx) {
        TDevice& dev = ctx.device;
        if (dev.Profile().manufacturer != "SIEMENS") {
            ctx.reply.Error();
            return;
        }
        if (ctx.cmd.kind == TCmdKind::Test)
            return;
        if (ctx.cmd.kind != TCmdKind::Exec) {
            ctx.reply.Error();
            return;
        }
        if (dev.sim == TSimCard::NoCard) {
            ctx.reply.Cme(Cme::SimNotInserted);
            return;
        }
        const int left = dev.sim == TSimCard::Puk || dev.sim == TSimCard::Blocked ? dev.pukAttempts : dev.pinAttempts;
        ctx.reply.Info("^SPIC: " + std::to_string(left));
    });
}

}  // namespace ModemSim
