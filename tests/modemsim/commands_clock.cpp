// The real-time clock +CCLK and the alarm +CALA.
#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

namespace ModemSim {

namespace {

void Cclk(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    if (AbsentOrTest(ctx, dev.Profile().cclkTest))
        return;
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: break;  // answered above
    case TCmdKind::Read:
        ctx.reply.Info("+CCLK: " + Quote(FormatGsmTime(dev.Clock().Now()) + dev.clockZone));
        break;
    case TCmdKind::Set: {
        std::vector<std::string> items;
        std::vector<bool> quoted;
        if (!Params(ctx, items, &quoted))
            return;
        TDateTime dt;
        std::string zone;
        if (items.size() != 1 || !quoted[0] || !ParseGsmTime(items[0], dt, &zone) ||
            (!zone.empty() && dev.Profile().clockZone.empty())) {
            ctx.reply.Error();
            return;
        }
        dev.Clock().Set(dt);
        if (!zone.empty())
            dev.clockZone = zone;
        dev.Host().Note("clock set to " + items[0]);
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

void Cala(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    if (AbsentOrTest(ctx, dev.Profile().calaTest))
        return;
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: break;  // answered above
    case TCmdKind::Read:
        if (dev.alarmSet)
            ctx.reply.Info("+CALA: " + Quote(FormatGsmTime(MsToDateTime(dev.alarmMs))) + ",0,0," +
                           Quote(dev.alarmText));
        else
            ctx.reply.Info("+CALA: \"00/00/00,00:00:00\",0,0,\"\"");
        break;
    case TCmdKind::Set: {
        std::vector<std::string> items;
        std::vector<bool> quoted;
        if (!Params(ctx, items, &quoted))
            return;
        TDateTime dt;
        int n = 0, type = 0;
        if (items.empty() || items.size() > 4 || !quoted[0] || !ParseGsmTime(items[0], dt) ||
            (items.size() >= 2 && !items[1].empty() && !ParseInt(items[1], n)) ||
            (items.size() >= 3 && !items[2].empty() && !ParseInt(items[2], type))) {
            ctx.reply.Error();
            return;
        }
        if (items.size() == 4 && items[3].size() > 16) {
            ctx.reply.Cme(24);
            return;
        }
        const int64_t at = DateTimeToMs(dt);
        if (at <= dev.Clock().NowMs()) {
            // A time already past clears the alarm: that is how it is cancelled.
            dev.alarmSet = false;
            dev.alarmText.clear();
            dev.Host().Note("alarm cleared");
            return;
        }
        dev.alarmSet = true;
        dev.alarmMs = at;
        dev.alarmText = items.size() == 4 ? items[3] : "";
        dev.Host().Note("alarm set to " + items[0]);
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

}  // namespace

void RegisterClockCommands(TCommandRegistry& r)
{
    r.Add("+CCLK", Cclk);
    r.Add("+CALA", Cala);
}

}  // namespace ModemSim
