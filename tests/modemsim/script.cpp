#include "tests/modemsim/script.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

#include "tests/modemsim/at_command.h"
#include "tests/modemsim/faults.h"
#include "tests/modemsim/sms_state.h"

namespace ModemSim {

namespace {

[[noreturn]] void Bad(const std::string& line, const std::string& why)
{
    throw std::invalid_argument("script line \"" + line + "\": " + why);
}

int Int(const std::string& token, const std::string& line, int base = 10)
{
    try {
        size_t used = 0;
        const long v = std::stol(token, &used, base);
        if (used == token.size())
            return static_cast<int>(v);
    } catch (const std::exception&) {
    }
    Bad(line, "not a number: " + token);
}

}  // namespace

TScriptStep ParseScriptLine(const std::string& line)
{
    std::istringstream in(line);
    std::string trigger, when, verb;
    TScriptStep step;
    in >> trigger >> when >> verb;
    trigger = UpperAscii(trigger);
    if (trigger == "AT") {
        step.atMs = Int(when, line);
        if (step.atMs < 0)
            Bad(line, "negative time");
    } else if (trigger == "ON") {
        step.onCommand = true;
        step.command = CommandKey(when);
    } else
        Bad(line, "\"at <ms>\" or \"on <command>\" expected");
    verb = UpperAscii(verb);
    std::string rest;
    std::getline(in, rest);
    const size_t first = rest.find_first_not_of(' ');
    rest = first == std::string::npos ? "" : rest.substr(first);
    std::istringstream args(rest);
    TScriptAction& a = step.action;
    using K = TScriptAction::TKind;
    if (verb == "LINE") {
        a.kind = K::Line;
        a.text = rest;
    } else if (verb == "BYTES") {
        a.kind = K::Bytes;
        std::string hex;
        while (args >> hex) {
            if (hex.size() != 2)
                Bad(line, "two hex digits a byte expected");
            a.text += static_cast<char>(Int(hex, line, 16));
        }
        if (a.text.empty())
            Bad(line, "no bytes");
    } else if (verb == "GARBAGE") {
        a.kind = K::Garbage;
        std::string n;
        args >> n;
        a.a = Int(n, line);
        if (a.a <= 0 || a.a > 65536)
            Bad(line, "garbage count out of range");
    } else if (verb == "NOFINAL") {
        a.kind = K::NoFinal;
    } else if (verb == "RESET") {
        a.kind = K::Reset;
        std::string ms;
        args >> ms;
        a.a = ms.empty() ? 0 : Int(ms, line);
    } else if (verb == "DISAPPEAR") {
        a.kind = K::Disappear;
    } else if (verb == "POWEROFF") {
        a.kind = K::PowerOff;
    } else if (verb == "RING") {
        // Calls
        a.kind = K::Ring;
        std::string kind;
        args >> a.text >> kind;
        kind = UpperAscii(kind);
        if (a.text.empty() || (kind != "VOICE" && kind != "DATA"))
            Bad(line, "ring <number> voice|data expected");
        a.a = kind == "DATA" ? 1 : 0;
    } else if (verb == "HANGUP") {
        a.kind = K::Hangup;
    } else if (verb == "CREG") {
        a.kind = K::Creg;
        std::string s, l, c;
        args >> s >> l >> c;
        a.a = Int(s, line);
        if (!l.empty()) {
            if (c.empty())
                Bad(line, "creg needs both location and cell");
            a.b = Int(l, line, 16);
            a.c = Int(c, line, 16);
        }
    } else if (verb == "CSQ") {
        a.kind = K::Csq;
        std::string r, b;
        args >> r >> b;
        a.a = Int(r, line);
        a.b = b.empty() ? 99 : Int(b, line);
    } else if (verb == "DELIVER") {
        // SMS actions.
        a.kind = K::Deliver;
        args >> a.text;
        if (SmsTpduLength(a.text) < 1)
            Bad(line, "deliver needs a PDU in hex");
    } else if (verb == "REFUSE") {
        a.kind = K::Refuse;
        a.text = rest;
        const std::string final = UpperAscii(rest);
        const bool cms = final.rfind("+CMS ERROR:", 0) == 0, cme = final.rfind("+CME ERROR:", 0) == 0;
        a.a = cms ? 1 : cme ? 2 : 0;
        std::string code;
        if (cms || cme) {
            std::istringstream(rest.substr(rest.find(':') + 1)) >> code;
            a.b = Int(code, line);
        } else if (final != "ERROR")
            Bad(line, "refuse: ERROR, +CMS ERROR: <n> or +CME ERROR: <n> expected");
    } else if (verb == "NOPROMPT") {
        a.kind = K::NoPrompt;
    } else if (verb == "FAULT") {
        a.kind = K::Fault;
        a.text = rest;
        try {
            TFaultSwitch::Parse(rest);
        } catch (const std::invalid_argument& e) {
            Bad(line, e.what());
        }
    } else if (verb == "NOFAULTS") {
        a.kind = K::NoFaults;
    } else
        Bad(line, "unknown action " + verb);
    return step;
}

}  // namespace ModemSim
