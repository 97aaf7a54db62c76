#include "tests/modemsim/command_helpers.h"

#include <algorithm>

namespace ModemSim {

bool Absent(TCommandContext& ctx, const std::string& testAnswer)
{
    if (testAnswer != "ERROR")
        return false;
    ctx.reply.Error();
    return true;
}

void AnswerTest(TCommandContext& ctx, const std::string& testAnswer)
{
    if (!testAnswer.empty())
        ctx.reply.Info(testAnswer);
}

bool AbsentOrTest(TCommandContext& ctx, const std::string& testAnswer)
{
    if (Absent(ctx, testAnswer))
        return true;
    if (ctx.cmd.kind != TCmdKind::Test)
        return false;
    AnswerTest(ctx, testAnswer);
    return true;
}

bool OptionalInt(TCommandContext& ctx, int lo, int hi, int& value)
{
    value = 0;
    if (ctx.cmd.args.empty() || (ParseInt(ctx.cmd.args, value) && value >= lo && value <= hi))
        return true;
    ctx.reply.Error();
    return false;
}

std::vector<int> FirstNumberList(const std::string& testAnswer)
{
    std::string list;
    const size_t open = testAnswer.find('(');
    if (open != std::string::npos) {
        const size_t close = testAnswer.find(')', open);
        list = testAnswer.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    } else
        list = testAnswer;
    std::vector<int> out;
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t comma = list.find(',', pos);
        if (comma == std::string::npos)
            comma = list.size();
        const std::string item = list.substr(pos, comma - pos);
        const size_t dash = item.find('-');
        int lo, hi;
        if (dash != std::string::npos && ParseInt(item.substr(0, dash), lo) && ParseInt(item.substr(dash + 1), hi)) {
            for (int v = lo; v <= hi && v - lo < 1000; ++v)
                out.push_back(v);
        } else if (ParseInt(item, lo))
            out.push_back(lo);
        pos = comma + 1;
    }
    return out;
}

bool ListContains(const std::vector<int>& list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool Params(TCommandContext& ctx, std::vector<std::string>& items, std::vector<bool>* quoted)
{
    if (!SplitArgs(ctx.cmd.args, items, quoted)) {
        ctx.reply.Error();
        return false;
    }
    return true;
}

std::string Quote(const std::string& s)
{
    return "\"" + s + "\"";
}

}  // namespace ModemSim
