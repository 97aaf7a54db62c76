// The phonebook memories: +CPBS (list, selection), +CPBR (range, entries)
// and +CPBW (write limits, write, delete), as 3GPP TS 27.007 has them.
// Texts are shown in the character set of +CSCS: "UCS2" as four hex digits
// per UTF-16 unit, "8859-1" as Latin-1, the others as ASCII ("?" for what
// a set lacks). The command line takes 7-bit characters only, so a text
// written in another set than UCS2 is ASCII. Numbers are plain digits in
// every character set.
#include <cstdio>

#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

namespace ModemSim {

namespace {

// +CME ERROR numbers of the phonebook commands.
constexpr int SimPin2Required = 17, MemoryFull = 20, InvalidIndex = 21, TextTooLong = 24, BadText = 25,
              NumberTooLong = 26, BadNumber = 27;

bool Ucs2(const TDevice& dev)
{
    return UpperAscii(dev.charset) == "UCS2";
}

std::string EncodeText(const TDevice& dev, const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (Ucs2(dev)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "%04X", unsigned(c));
            out += buf;
        } else {
            const char16_t top = UpperAscii(dev.charset) == "8859-1" ? 0xFF : 0x7F;
            out += c <= top ? char(c) : '?';
        }
    }
    return out;
}

// False for text the character set cannot hold (UCS2 that is not hex in
// groups of four).
bool DecodeText(const TDevice& dev, const std::string& text, std::u16string& out)
{
    out.clear();
    if (!Ucs2(dev)) {
        for (char c : text)
            out += char16_t(static_cast<unsigned char>(c));
        return true;
    }
    if (text.size() % 4 != 0)
        return false;
    for (size_t i = 0; i < text.size(); i += 4) {
        unsigned v = 0;
        for (size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (d < 0)
                return false;
            v = v * 16 + unsigned(d);
        }
        out += char16_t(v);
    }
    return true;
}

std::string Range(const TPhonebookMemory& m)
{
    return "(" + std::to_string(m.first) + "-" + std::to_string(m.last) + ")";
}

// The parameters of a write, strictly: an item is either plain or one
// quoted string without a quote inside. False for anything else.
bool StrictArgs(const std::string& args, std::vector<std::string>& items, std::vector<bool>& quoted)
{
    items.assign(1, std::string());
    quoted.assign(1, false);
    enum { Before, Plain, InQuote, AfterQuote } state = Before;
    for (char c : args) {
        switch (state) {
        case Before:
        case Plain:
            if (c == ',') {
                items.emplace_back();
                quoted.push_back(false);
                state = Before;
            } else if (c == '"') {
                if (state == Plain)
                    return false;
                quoted.back() = true;
                state = InQuote;
            } else if (c != ' ') {
                items.back() += c;
                state = Plain;
            }
            break;
        case InQuote:
            if (c == '"')
                state = AfterQuote;
            else
                items.back() += c;
            break;
        case AfterQuote:
            if (c == ',') {
                items.emplace_back();
                quoted.push_back(false);
                state = Before;
            } else if (c != ' ') {
                return false;  // a quote inside a string
            }
            break;
        }
    }
    return state != InQuote;
}

bool DialCharacters(const std::string& number)
{
    for (size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (!((c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0)))
            return false;
    }
    return true;
}

void Cpbs(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    TPhonebookMemories& pb = dev.phonebook;
    if (pb.memories.empty()) {
        ctx.reply.Error();
        return;
    }
    if (const int err = dev.SimError()) {
        ctx.reply.Cme(err);
        return;
    }
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: {
        std::string list;
        for (const auto& m : pb.memories)
            list += (list.empty() ? "" : ",") + Quote(m.code);
        ctx.reply.Info("+CPBS: (" + list + ")");
        break;
    }
    case TCmdKind::Read: {
        const TPhonebookMemory* m = pb.Selected();
        if (!m) {
            ctx.reply.Cme(Cme::PhoneFailure);
            return;
        }
        ctx.reply.Info("+CPBS: " + Quote(m->code) + "," + std::to_string(m->entries.size()) + "," +
                       std::to_string(m->Total()));
        break;
    }
    case TCmdKind::Set: {
        std::vector<std::string> items;
        std::vector<bool> quoted;
        if (!Params(ctx, items, &quoted))
            return;
        if (items.size() != 1 || !quoted[0]) {
            ctx.reply.Error();
            return;
        }
        TPhonebookMemory* m = pb.Find(items[0]);
        if (!m) {
            ctx.reply.Cme(Cme::NotSupported);
            return;
        }
        if (m->access == TPhonebookAccess::Pin2) {
            ctx.reply.Cme(pb.pin2IncorrectPassword ? Cme::IncorrectPassword : SimPin2Required);
            return;
        }
        pb.selected = m->code;
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

// The selected memory, when the card lets the command at it; none (and
// the reply set) otherwise.
TPhonebookMemory* SelectedMemory(TCommandContext& ctx)
{
    TPhonebookMemory* m = ctx.device.phonebook.Selected();
    if (!m)
        ctx.reply.Error();
    else if (const int err = ctx.device.SimError()) {
        ctx.reply.Cme(err);
        return nullptr;
    }
    return m;
}

void Cpbr(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    TPhonebookMemory* m = SelectedMemory(ctx);
    if (!m)
        return;
    switch (ctx.cmd.kind) {
    case TCmdKind::Test:
        ctx.reply.Info("+CPBR: " + Range(*m) + "," + std::to_string(m->numberLength) + "," +
                       std::to_string(m->textLength));
        break;
    case TCmdKind::Set: {
        std::vector<std::string> items;
        if (!Params(ctx, items))
            return;
        int from = 0, to = 0;
        if (items.empty() || items.size() > 2 || !ParseInt(items[0], from) ||
            (items.size() == 2 && !ParseInt(items[1], to))) {
            ctx.reply.Error();
            return;
        }
        if (items.size() == 1)
            to = from;
        if (!m->Contains(from) || !m->Contains(to) || to < from) {
            ctx.reply.Cme(InvalidIndex);
            return;
        }
        for (auto it = m->entries.lower_bound(from); it != m->entries.end() && it->first <= to; ++it)
            ctx.reply.Info("+CPBR: " + std::to_string(it->first) + "," + Quote(it->second.digits) + "," +
                           std::to_string(it->second.type) + "," + Quote(EncodeText(dev, it->second.text)));
        break;
    }
    default: ctx.reply.Error(); break;
    }
}

void Cpbw(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    TPhonebookMemory* m = SelectedMemory(ctx);
    if (!m)
        return;
    if (ctx.cmd.kind != TCmdKind::Test && ctx.cmd.kind != TCmdKind::Set) {
        ctx.reply.Error();
        return;
    }
    if (m->access != TPhonebookAccess::Writable) {
        ctx.reply.Cme(Cme::NotAllowed);
        return;
    }
    if (ctx.cmd.kind == TCmdKind::Test) {
        ctx.reply.Info("+CPBW: " + Range(*m) + "," + std::to_string(m->numberLength) + ",(129,145)," +
                       std::to_string(m->textLength));
        return;
    }
    std::vector<std::string> items;
    std::vector<bool> quoted;
    if (!StrictArgs(ctx.cmd.args, items, quoted) || items.size() > 4 || (items.size() >= 2 && !quoted[1]) ||
        (items.size() == 4 && !quoted[3])) {
        ctx.reply.Error();
        return;
    }
    int index = 0;
    if (items[0].empty()) {
        // No position: the first free one.
        if (items.size() == 1) {
            ctx.reply.Error();
            return;
        }
        index = m->first;
        while (index <= m->last && m->entries.count(index))
            ++index;
        if (index > m->last) {
            ctx.reply.Cme(MemoryFull);
            return;
        }
    } else if (!ParseInt(items[0], index)) {
        ctx.reply.Error();
        return;
    }
    if (!m->Contains(index)) {
        ctx.reply.Cme(InvalidIndex);
        return;
    }
    if (items.size() == 1) {
        m->entries.erase(index);
        return;
    }
    TPhonebookEntry entry;
    std::string number = items[1];
    if (!DialCharacters(number)) {
        ctx.reply.Cme(BadNumber);
        return;
    }
    if (!number.empty() && number[0] == '+') {
        number.erase(0, 1);
        entry.type = 145;
    }
    if (number.size() > size_t(m->numberLength)) {
        ctx.reply.Cme(NumberTooLong);
        return;
    }
    if (items.size() >= 3 && !items[2].empty()) {
        int type = 0;
        if (!ParseInt(items[2], type) || (type != 129 && type != 145)) {
            ctx.reply.Error();
            return;
        }
        entry.type = type;
    }
    entry.digits = number;
    if (items.size() == 4) {
        if (!DecodeText(dev, items[3], entry.text)) {
            ctx.reply.Cme(BadText);
            return;
        }
        if (entry.text.size() > size_t(m->textLength)) {
            ctx.reply.Cme(TextTooLong);
            return;
        }
    }
    m->entries[index] = entry;
}

}  // namespace

void RegisterPhonebookCommands(TCommandRegistry& r)
{
    r.Add("+CPBS", Cpbs);
    r.Add("+CPBR", Cpbr);
    r.Add("+CPBW", Cpbw);
}

}  // namespace ModemSim
