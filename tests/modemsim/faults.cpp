#include "tests/modemsim/faults.h"

#include <sstream>
#include <stdexcept>

namespace ModemSim {

namespace {

[[noreturn]] void Bad(const std::string& text, const std::string& why)
{
    throw std::invalid_argument("fault \"" + text + "\": " + why);
}

int Number(const std::string& token, const std::string& text)
{
    int v = 0;
    if (token.empty() || !ParseInt(token, v) || v < 0)
        Bad(text, "not a number: " + token);
    return v;
}

bool AllDigits(const std::string& s, size_t from, size_t to)
{
    if (from >= to)
        return false;
    for (size_t i = from; i < to; ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

TReply ParseFinal(const std::string& final, const std::string& text)
{
    TReply r;
    const std::string up = UpperAscii(final);
    auto code = [&] {
        const std::string n = final.substr(final.find(':') + 1);
        return Number(n.substr(n.find_first_not_of(' ') == std::string::npos ? 0 : n.find_first_not_of(' ')), text);
    };
    if (up.empty())
        Bad(text, "answer needs a final result");
    if (up == "OK")
        r.final = TReply::TFinal::Ok;
    else if (up == "ERROR")
        r.Error();
    else if (up.rfind("+CME ERROR:", 0) == 0)
        r.Cme(code());
    else if (up.rfind("+CMS ERROR:", 0) == 0)
        r.Cms(code());
    else {
        r.final = TReply::TFinal::Text;
        r.finalText = up;
    }
    return r;
}

// "<ms>" or "<ms>-<ms>" into the switch's range.
void ParseRange(TFaultSwitch& f, const std::string& rest)
{
    const size_t dash = rest.find('-');
    f.lateMs = Number(rest.substr(0, dash), f.text);
    f.lateMaxMs = dash == std::string::npos ? f.lateMs : Number(rest.substr(dash + 1), f.text);
    if (f.lateMaxMs < f.lateMs)
        Bad(f.text, "range ends before it starts");
}

void ParseLink(TFaultSwitch& f, const std::string& what, const std::string& rest, int afterMs)
{
    using K = TFaultSwitch::TKind;
    if (what == "DELAY") {
        f.kind = K::LinkDelay;
        ParseRange(f, rest);
    } else if (what == "LOSE") {
        f.kind = K::LinkLose;
        if (!rest.empty())
            Bad(f.text, "unexpected " + rest);
    } else if (what == "REORDER") {
        f.kind = K::LinkReorder;
        f.lateMs = f.lateMaxMs = Number(rest, f.text);
    } else if (what == "DROP") {
        f.kind = K::LinkDrop;
        if (afterMs < 0 || !rest.empty())
            Bad(f.text, "link drop after <ms> expected");
        f.lateMs = f.lateMaxMs = afterMs;
        return;
    } else {
        Bad(f.text, "unknown link fault " + what);
    }
    if (afterMs >= 0)
        Bad(f.text, "\"after\" belongs to answer and link drop");
}

}  // namespace

TFaultSwitch TFaultSwitch::Parse(const std::string& text)
{
    std::vector<std::string> tokens;
    {
        std::istringstream in(text);
        std::string t;
        while (in >> t)
            tokens.push_back(t);
    }
    if (tokens.size() < 2)
        Bad(text, "<commands> <what> expected");
    TFaultSwitch f;
    f.text = text;
    f.commands = UpperAscii(tokens[0]);
    if (f.commands.size() > 2 && f.commands.rfind("AT", 0) == 0)
        f.commands.erase(0, 2);
    // Modifiers from the end: x<count>, <percent>%, after <ms>.
    int afterMs = -1;
    while (tokens.size() > 2) {
        const std::string& t = tokens.back();
        if (t.size() > 1 && (t[0] == 'x' || t[0] == 'X') && AllDigits(t, 1, t.size())) {
            f.count = Number(t.substr(1), text);
        } else if (t.size() > 1 && t.back() == '%' && AllDigits(t, 0, t.size() - 1)) {
            f.percent = Number(t.substr(0, t.size() - 1), text);
            if (f.percent > 100)
                Bad(text, "a share above 100%");
        } else if (tokens.size() > 3 && UpperAscii(tokens[tokens.size() - 2]) == "AFTER") {
            afterMs = Number(t, text);
            tokens.pop_back();
        } else
            break;
        tokens.pop_back();
    }
    const std::string what = UpperAscii(tokens[1]);
    std::string rest;
    for (size_t i = 2; i < tokens.size(); ++i)
        rest += (rest.empty() ? "" : " ") + tokens[i];
    if (f.commands == "LINK") {
        ParseLink(f, what, rest, afterMs);
        return f;
    }
    if (what == "NOFINAL")
        f.kind = TKind::NoFinal;
    else if (what == "LATE") {
        f.kind = TKind::Late;
        ParseRange(f, rest);
        rest.clear();
    } else if (what == "BAREOK")
        f.kind = TKind::BareOk;
    else if (what == "NOCHANGE")
        f.kind = TKind::NoChange;
    else if (what == "NOINFO")
        f.kind = TKind::NoInfo;
    else if (what == "ANSWER") {
        f.kind = TKind::Answer;
        f.answer = ParseFinal(rest, text);
        f.lateMs = f.lateMaxMs = afterMs < 0 ? 0 : afterMs;
        rest.clear();
    } else
        Bad(text, "unknown fault " + tokens[1]);
    if (!rest.empty())
        Bad(text, "unexpected " + rest);
    if (afterMs >= 0 && f.kind != TKind::Answer)
        Bad(text, "\"after\" belongs to answer");
    return f;
}

bool TFaultSwitch::Names(const TAtCommand& cmd) const
{
    if (OfLink())
        return false;
    if (commands == "*")
        return true;
    if (cmd.name.empty())
        return commands == "AT";  // the bare "AT"
    if (commands.size() > 1 && commands.back() == '*')
        return UpperAscii(cmd.text).rfind(commands.substr(0, commands.size() - 1), 0) == 0;
    return commands == cmd.FormKey();
}

bool TFaultSwitch::Replaces(const TAtCommand& cmd) const
{
    return kind == TKind::BareOk || kind == TKind::Answer || (kind == TKind::NoChange && cmd.kind == TCmdKind::Set);
}

void TFaultShape::Apply(TReply& out) const
{
    if (replace)
        out = reply;
    if (noInfo)
        out.lines.clear();
    out.delayMs += lateMs;
}

std::optional<int> TFaults::FireLink(TFaultSwitch::TKind kind)
{
    for (TFaultSwitch& f : switches_) {
        if (f.kind != kind || f.count == 0)
            continue;
        if (f.percent < 100 && static_cast<int>(random_() % 100) >= f.percent)
            continue;
        if (f.count > 0)
            --f.count;
        const int span = f.lateMaxMs - f.lateMs;
        return f.lateMs + (span > 0 ? static_cast<int>(random_() % static_cast<uint32_t>(span + 1)) : 0);
    }
    return std::nullopt;
}

std::optional<TFaultShape> TFaults::Fire(const TAtCommand& cmd)
{
    for (auto it = switches_.begin(); it != switches_.end(); ++it) {
        TFaultSwitch& f = *it;
        if (f.count == 0 || !f.Names(cmd))
            continue;
        if (f.kind == TFaultSwitch::TKind::NoChange && cmd.kind != TCmdKind::Set)
            continue;
        if (f.percent < 100 && static_cast<int>(random_() % 100) >= f.percent)
            continue;
        if (f.count > 0)
            --f.count;
        TFaultShape s;
        s.note = "fault " + f.text + ": " + cmd.text;
        switch (f.kind) {
        case TFaultSwitch::TKind::NoFinal: s.noFinal = true; break;
        case TFaultSwitch::TKind::Late: {
            const int span = f.lateMaxMs - f.lateMs;
            s.lateMs = f.lateMs + (span > 0 ? static_cast<int>(random_() % static_cast<uint32_t>(span + 1)) : 0);
            break;
        }
        case TFaultSwitch::TKind::BareOk:
        case TFaultSwitch::TKind::NoChange: s.replace = true; break;
        case TFaultSwitch::TKind::NoInfo: s.noInfo = true; break;
        case TFaultSwitch::TKind::Answer:
            s.replace = true;
            s.reply = f.answer;
            s.lateMs = f.lateMs;
            break;
        case TFaultSwitch::TKind::LinkDelay:
        case TFaultSwitch::TKind::LinkLose:
        case TFaultSwitch::TKind::LinkReorder:
        case TFaultSwitch::TKind::LinkDrop: break;  // never named by a command (Names)
        }
        return s;
    }
    return std::nullopt;
}

}  // namespace ModemSim
