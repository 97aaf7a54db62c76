// Identification (+CGMI, +CGMM, +CGMR, +CGSN, +CIMI and the V.25ter +GMx
// twins) and the character set +CSCS.
#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

namespace ModemSim {

namespace {

void Identity(TCommandContext& ctx, const std::string& value)
{
    if (ctx.cmd.kind == TCmdKind::Exec)
        ctx.reply.Info(value);
    else if (ctx.cmd.kind != TCmdKind::Test)
        ctx.reply.Error();
}

std::vector<std::string> QuotedNames(const std::string& text)
{
    std::vector<std::string> names;
    size_t pos = 0;
    while ((pos = text.find('"', pos)) != std::string::npos) {
        const size_t end = text.find('"', pos + 1);
        if (end == std::string::npos)
            break;
        names.push_back(text.substr(pos + 1, end - pos - 1));
        pos = end + 1;
    }
    return names;
}

}  // namespace

void RegisterIdentityCommands(TCommandRegistry& r)
{
    auto maker = [](TCommandContext& ctx) { Identity(ctx, ctx.device.Profile().manufacturer); };
    auto model = [](TCommandContext& ctx) { Identity(ctx, ctx.device.Profile().model); };
    auto revision = [](TCommandContext& ctx) { Identity(ctx, ctx.device.Profile().revision); };
    auto serial = [](TCommandContext& ctx) { Identity(ctx, ctx.device.Profile().imei); };
    r.Add("+CGMI", maker);
    r.Add("+GMI", maker);
    r.Add("+CGMM", model);
    r.Add("+GMM", model);
    r.Add("+CGMR", revision);
    r.Add("+GMR", revision);
    r.Add("+CGSN", serial);
    r.Add("+GSN", serial);
    r.Add("+CIMI", [](TCommandContext& ctx) {
        if (ctx.cmd.kind == TCmdKind::Test)
            return;
        if (ctx.cmd.kind != TCmdKind::Exec) {
            ctx.reply.Error();
            return;
        }
        if (const int err = ctx.device.SimError())
            ctx.reply.Cme(err);
        else
            ctx.reply.Info(ctx.device.Profile().imsi);
    });
    r.Add("+CSCS", [](TCommandContext& ctx) {
        const std::string& test = ctx.device.Profile().cscsTest;
        if (AbsentOrTest(ctx, test))
            return;
        switch (ctx.cmd.kind) {
        case TCmdKind::Test: break;  // answered above
        case TCmdKind::Read: ctx.reply.Info("+CSCS: " + Quote(ctx.device.charset)); break;
        case TCmdKind::Set: {
            std::vector<std::string> items;
            if (!Params(ctx, items))
                return;
            for (const std::string& name : QuotedNames(test))
                if (UpperAscii(name) == UpperAscii(items[0]) && items.size() == 1) {
                    ctx.device.charset = name;
                    return;
                }
            ctx.reply.Error();
            break;
        }
        case TCmdKind::Exec: ctx.reply.Error(); break;
        }
    });
}

}  // namespace ModemSim
