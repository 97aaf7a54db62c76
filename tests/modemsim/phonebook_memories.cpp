#include "tests/modemsim/phonebook_memories.h"

#include <stdexcept>

#include "platform/codepage.h"
#include "tests/modemsim/at_command.h"

namespace ModemSim {

namespace {

TPhonebookMemory Memory(const std::string& code, int last, int numberLength, int textLength,
                        TPhonebookAccess access)
{
    TPhonebookMemory m;
    m.code = code;
    m.last = last;
    m.numberLength = numberLength;
    m.textLength = textLength;
    m.access = access;
    return m;
}

TPhonebookEntry Entry(const std::string& number, const std::string& utf8Text)
{
    TPhonebookEntry e;
    e.digits = number;
    if (!e.digits.empty() && e.digits[0] == '+') {
        e.digits.erase(0, 1);
        e.type = 145;
    }
    e.text = Utf8ToUtf16(utf8Text);
    return e;
}

[[noreturn]] void Bad(const std::string& what)
{
    throw std::invalid_argument(what);
}

int Int(const std::string& text, const std::string& what)
{
    int v = 0;
    if (!ParseInt(text, v))
        Bad(what + " expected: " + text);
    return v;
}

}  // namespace

TPhonebookMemories TPhonebookMemories::Default()
{
    TPhonebookMemories p;
    TPhonebookMemory sm = Memory("SM", 250, 20, 18, TPhonebookAccess::Writable);
    sm.entries[1] = Entry("+420602123456", "Jan Nov\xC3\xA1k");
    sm.entries[2] = Entry("603555111", "Petr");
    sm.entries[250] = Entry("+420777000250", "Posledni");
    TPhonebookMemory me = Memory("ME", 100, 40, 16, TPhonebookAccess::Writable);
    me.entries[3] = Entry("+420212345678", "Kancelar");
    TPhonebookMemory fd = Memory("FD", 10, 20, 18, TPhonebookAccess::Pin2);
    fd.entries[1] = Entry("112", "Tisnove volani");
    TPhonebookMemory ld = Memory("LD", 10, 20, 18, TPhonebookAccess::ReadOnly);
    ld.entries[1] = Entry("603555111", "");
    p.memories = {sm, me, fd, ld};
    p.selected = "SM";
    return p;
}

TPhonebookMemory* TPhonebookMemories::Find(const std::string& code)
{
    const std::string up = UpperAscii(code);
    for (auto& m : memories)
        if (m.code == up)
            return &m;
    return nullptr;
}

bool TPhonebookMemories::TakeProfileLine(const std::string& key, const std::string& value)
{
    if (key == "phonebook_pin2") {
        const std::string v = UpperAscii(value);
        if (v != "REQUIRED" && v != "INCORRECT")
            Bad("phonebook_pin2: required or incorrect expected");
        pin2IncorrectPassword = v == "INCORRECT";
        return true;
    }
    if (key != "phonebook" && key != "phonebook_entry")
        return false;
    std::vector<std::string> items;
    std::vector<bool> quoted;
    if (!SplitArgs(value, items, &quoted))
        Bad(key + ": unterminated quote");
    if (key == "phonebook") {
        if (items.size() != 4 && items.size() != 5)
            Bad("phonebook: CODE,first-last,number length,text length[,readonly|pin2] expected");
        TPhonebookMemory m;
        m.code = UpperAscii(items[0]);
        const size_t dash = items[1].find('-');
        if (m.code.empty() || dash == std::string::npos)
            Bad("phonebook: a code and a range first-last expected");
        m.first = Int(items[1].substr(0, dash), "first position");
        m.last = Int(items[1].substr(dash + 1), "last position");
        m.numberLength = Int(items[2], "number length");
        m.textLength = Int(items[3], "text length");
        if (items.size() == 5) {
            if (items[4] == "READONLY")
                m.access = TPhonebookAccess::ReadOnly;
            else if (items[4] == "PIN2")
                m.access = TPhonebookAccess::Pin2;
            else
                Bad("phonebook: readonly or pin2 expected: " + items[4]);
        }
        if (!replaced_)
            memories.clear();
        replaced_ = true;
        if (Find(m.code))
            Bad("phonebook: " + m.code + " given twice");
        memories.push_back(m);
        if (memories.size() == 1)
            selected = m.code;
        return true;
    }
    if (items.size() != 4)
        Bad("phonebook_entry: CODE,position,\"number\",\"text\" expected");
    TPhonebookMemory* m = Find(items[0]);
    if (!m)
        Bad("phonebook_entry: no memory " + items[0]);
    const int index = Int(items[1], "position");
    if (!m->Contains(index))
        Bad("phonebook_entry: position outside the memory");
    m->entries[index] = Entry(items[2], items[3]);
    return true;
}

std::u16string Utf8ToUtf16(const std::string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        if (!Platform::DecodeUtf8At(text, i, cp)) {
            const auto b = static_cast<unsigned char>(text[i++]);
            cp = b < 0x80 ? b : 0xFFFD;
        }
        if (cp >= 0x10000) {
            out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();)
        Platform::AppendUtf8(out, Platform::NextUtf16(text, i));
    return out;
}

}  // namespace ModemSim
