// The network: registration reports +CREG, operator selection +COPS and
// the signal quality +CSQ.
#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

namespace ModemSim {

namespace {

void Creg(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    const std::string& modes = dev.Profile().cregModes;
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: ctx.reply.Info("+CREG: (" + modes + ")"); break;
    case TCmdKind::Read: ctx.reply.Info("+CREG: " + dev.CregValue(true)); break;
    case TCmdKind::Set: {
        int n = 0;
        if (!ctx.cmd.args.empty() && (!ParseInt(ctx.cmd.args, n) || !ListContains(FirstNumberList(modes), n))) {
            ctx.reply.Error();
            return;
        }
        dev.cregN = n;
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

// GPRS registration: on these devices it follows the GSM registration.
void Cgreg(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    if (!dev.Profile().gprs) {
        ctx.reply.Error();
        return;
    }
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: ctx.reply.Info("+CGREG: (0-2)"); break;
    case TCmdKind::Read: ctx.reply.Info("+CGREG: " + dev.CgregValue(true)); break;
    case TCmdKind::Set: {
        int n = 0;
        if (!OptionalInt(ctx, 0, 2, n))
            return;
        dev.cgregN = n;
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

// GPRS attach: attached while registered.
void Cgatt(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    if (!dev.Profile().gprs) {
        ctx.reply.Error();
        return;
    }
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: ctx.reply.Info("+CGATT: (0,1)"); break;
    case TCmdKind::Read:
        ctx.reply.Info(std::string("+CGATT: ") + (dev.stat == 1 || dev.stat == 5 ? "1" : "0"));
        break;
    case TCmdKind::Set: {
        int v = 0;
        if (!ParseInt(ctx.cmd.args, v) || v < 0 || v > 1)
            ctx.reply.Error();
        else if (v == 1 && dev.stat != 1 && dev.stat != 5)
            ctx.reply.Cme(Cme::NoNetwork);
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

std::string NetworkList(const TDevice& dev)
{
    std::string list;
    for (const TOperatorInfo& op : dev.Profile().operators) {
        if (!list.empty())
            list += ",";
        list += "(" + std::to_string(dev.OperatorStatus(op)) + "," + Quote(op.longName) + ",";
        if (dev.Profile().copsShortNames)
            list += Quote(op.shortName) + ",";
        list += Quote(op.numeric) + ")";
    }
    return "+COPS: " + list + ",,(0,1,2,3,4),(0,1,2)";
}

// The operator that `name` names in `format`; nullptr when none.
const TOperatorInfo* FindByName(const TDevice& dev, const std::string& name, int format)
{
    for (const TOperatorInfo& op : dev.Profile().operators) {
        const std::string& field = format == 0 ? op.longName : format == 1 ? op.shortName : op.numeric;
        if (field == name)
            return &op;
    }
    return nullptr;
}

void Cops(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    TDevice* d = &dev;
    switch (ctx.cmd.kind) {
    case TCmdKind::Test:
        if (const int err = dev.SimError()) {
            ctx.reply.Cme(err);
            return;
        }
        ctx.reply.delayMs = dev.Profile().searchMs;
        if (dev.fun != 1) {
            ctx.reply.Cme(Cme::NoNetwork);
            return;
        }
        ctx.reply.Info(NetworkList(dev));
        break;
    case TCmdKind::Read:
        if (dev.currentOperator.empty())
            ctx.reply.Info("+COPS: " + std::to_string(dev.copsMode));
        else
            ctx.reply.Info("+COPS: " + std::to_string(dev.copsMode) + "," + std::to_string(dev.copsFormat) + "," +
                           Quote(dev.OperatorName(dev.currentOperator, dev.copsFormat)));
        break;
    case TCmdKind::Set: {
        std::vector<std::string> items;
        if (!Params(ctx, items))
            return;
        int mode = 0, format = dev.copsFormat;
        if (items.size() > 3 || !ParseInt(items[0], mode) || mode < 0 || mode > 4 ||
            (items.size() >= 2 && !items[1].empty() && (!ParseInt(items[1], format) || format < 0 || format > 2))) {
            ctx.reply.Error();
            return;
        }
        if (mode == 3) {
            if (items.size() < 2) {
                ctx.reply.Error();
                return;
            }
            dev.copsFormat = format;
            return;
        }
        if (mode == 2) {
            ctx.reply.onDelivered = [d] {
                d->copsMode = 2;
                d->Deregister();
            };
            return;
        }
        if (const int err = dev.SimError()) {
            ctx.reply.Cme(err);
            return;
        }
        if (dev.fun != 1) {
            ctx.reply.Cme(Cme::NoNetwork);
            return;
        }
        if (mode == 0) {
            dev.copsFormat = format;
            if (dev.copsMode != 0 || (dev.stat != 1 && dev.stat != 5)) {
                ctx.reply.delayMs = dev.Profile().selectMs;
                ctx.reply.onDelivered = [d] { d->SelectOperator(0, ""); };
            }
            dev.copsMode = 0;
            return;
        }
        ctx.reply.delayMs = dev.Profile().selectMs;
        // Manual (1) or manual with automatic fall-back (4).
        if (items.size() < 3 || items[2].empty()) {
            ctx.reply.Error();
            return;
        }
        dev.copsFormat = format;
        const TOperatorInfo* op = FindByName(dev, items[2], format);
        if (!op || op->status == 3) {
            if (mode == 4) {
                ctx.reply.onDelivered = [d] { d->SelectOperator(0, ""); };
                return;
            }
            ctx.reply.Cme(op ? Cme::EmergencyOnly : Cme::NoNetwork);
            return;
        }
        const std::string numeric = op->numeric;
        ctx.reply.onDelivered = [d, mode, numeric] { d->SelectOperator(mode, numeric); };
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

void Csq(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    if (ctx.cmd.kind == TCmdKind::Test) {
        ctx.reply.Info("+CSQ: (0-31,99),(0-7,99)");
        return;
    }
    if (ctx.cmd.kind != TCmdKind::Exec) {
        ctx.reply.Error();
        return;
    }
    const bool radio = dev.fun == 1 && dev.power == TPowerState::On;
    ctx.reply.Info("+CSQ: " + std::to_string(radio ? dev.rssi : 99) + "," + std::to_string(radio ? dev.ber : 99));
}

}  // namespace

void RegisterNetworkCommands(TCommandRegistry& r)
{
    r.Add("+CREG", Creg);
    r.Add("+CGREG", Cgreg);
    r.Add("+CGATT", Cgatt);
    r.Add("+COPS", Cops);
    r.Add("+CSQ", Csq);
}

}  // namespace ModemSim
