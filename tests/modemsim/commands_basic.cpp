// V.25ter commands: echo, result code forms, resets, S-registers, the
// identification of ATI, the fixed rate +IPR and the error mode +CMEE.
#include "tests/modemsim/at_core.h"
#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

#include <cstdio>
#include <limits>

namespace ModemSim {

namespace {

// A basic command with a 0/1 value (empty = 0).
void Switch(TCommandContext& ctx, bool& field)
{
    if (ctx.cmd.kind != TCmdKind::Exec) {
        ctx.reply.Error();
        return;
    }
    int v = 0;
    if (!OptionalInt(ctx, 0, 1, v))
        return;
    field = v == 1;
}

void Accept(TCommandContext&) {}

const int kRates[] = {300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400, 57600, 115200};

}  // namespace

void RegisterBasicCommands(TCommandRegistry& r)
{
    r.Add("E", [](TCommandContext& ctx) { Switch(ctx, ctx.device.echo); });
    r.Add("V", [](TCommandContext& ctx) { Switch(ctx, ctx.device.verbose); });
    r.Add("Q", [](TCommandContext& ctx) { Switch(ctx, ctx.device.quiet); });
    auto reset = [](TCommandContext& ctx) {
        if (ctx.cmd.kind != TCmdKind::Exec) {
            ctx.reply.Error();
            return;
        }
        ctx.device.ResetSettings();
    };
    r.Add("Z", reset);
    r.Add("&F", reset);
    for (const char* name : {"&W", "&C", "&D", "&K", "&S", "X", "L", "M", "\\Q", "H"})
        r.Add(name, Accept);
    r.Add("I", [](TCommandContext& ctx) {
        const TProfile& p = ctx.device.Profile();
        ctx.reply.Info(p.manufacturer);
        ctx.reply.Info(p.model);
        ctx.reply.Info(p.revision);
    });
    r.Add("S", [](TCommandContext& ctx) {
        const int reg = ctx.cmd.sreg;
        if (reg < 0 || reg >= static_cast<int>(sizeof ctx.device.sreg / sizeof ctx.device.sreg[0])) {
            ctx.reply.Error();
            return;
        }
        if (ctx.cmd.kind == TCmdKind::Read) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "%03d", ctx.device.sreg[reg]);
            ctx.reply.Info(buf);
        } else if (ctx.cmd.kind == TCmdKind::Set) {
            int v = 0;
            if (!OptionalInt(ctx, std::numeric_limits<int>::min(), 255, v))
                return;
            ctx.device.sreg[reg] = v;
        } else
            ctx.reply.Error();
    });
    r.Add("+IPR", [](TCommandContext& ctx) {
        switch (ctx.cmd.kind) {
        case TCmdKind::Test: {
            std::string list = "+IPR: (0";
            for (int rate : kRates)
                list += "," + std::to_string(rate);
            ctx.reply.Info(list + "),()");
            break;
        }
        case TCmdKind::Read: ctx.reply.Info("+IPR: " + std::to_string(ctx.device.baud)); break;
        case TCmdKind::Set: {
            int rate = 0;
            bool known = ParseInt(ctx.cmd.args, rate) && rate == 0;
            for (int r : kRates)
                known = known || r == rate;
            if (!known) {
                ctx.reply.Error();
                return;
            }
            // The OK still goes out at the old rate.
            TDevice* dev = &ctx.device;
            ctx.reply.onDelivered = [dev, rate] { dev->baud = rate; };
            break;
        }
        default: ctx.reply.Error();
        }
    });
    r.Add("+CMEE", [](TCommandContext& ctx) {
        switch (ctx.cmd.kind) {
        case TCmdKind::Test: ctx.reply.Info("+CMEE: (0-2)"); break;
        case TCmdKind::Read: ctx.reply.Info("+CMEE: " + std::to_string(ctx.device.cmee)); break;
        case TCmdKind::Set: {
            int v = 0;
            if (!OptionalInt(ctx, 0, 2, v))
                return;
            ctx.device.cmee = v;
            break;
        }
        case TCmdKind::Exec: ctx.device.cmee = 0; break;
        }
    });
}

}  // namespace ModemSim
