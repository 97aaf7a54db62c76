#pragma once
#include <map>
#include <string>
#include <vector>

// The phonebook memories of a simulated device: each with its positions,
// the lengths it takes, how it may be used and its entries. Texts are
// kept as UTF-16 and shown in the character set the program chose with
// +CSCS; numbers are digits with a type byte.
namespace ModemSim {

enum class TPhonebookAccess {
    Writable,
    ReadOnly,  // readable; +CPBW answers "operation not allowed"
    Pin2       // selecting it asks for PIN2, which the device never has
};

struct TPhonebookEntry {
    std::string digits;  // without "+"
    int type = 129;      // 145 international
    std::u16string text;
};

struct TPhonebookMemory {
    std::string code;  // "SM"
    int first = 1, last = 0;
    int numberLength = 20, textLength = 18;
    TPhonebookAccess access = TPhonebookAccess::Writable;
    std::map<int, TPhonebookEntry> entries;

    bool Contains(int index) const { return index >= first && index <= last; }
    int Total() const { return last >= first ? last - first + 1 : 0; }
};

struct TPhonebookMemories {
    std::vector<TPhonebookMemory> memories;
    std::string selected;  // code of the selected memory
    // Selecting a PIN2 memory answers "incorrect password" instead of
    // "SIM PIN2 required".
    bool pin2IncorrectPassword = false;

    // SM (1-250, 20, 18, three entries, one at 250), ME (1-100, 40, 16, one
    // entry), FD (1-10, PIN2), LD (1-10, read-only, one entry); SM selected.
    static TPhonebookMemories Default();

    TPhonebookMemory* Find(const std::string& code);
    TPhonebookMemory* Selected() { return Find(selected); }

    // A profile line of the phonebook keys; false for another key. Throws
    // std::invalid_argument for a bad value. The first "phonebook" line
    // replaces the default memories.
    //   phonebook = SM,1-250,20,18            (optionally ,readonly or ,pin2)
    //   phonebook_entry = SM,7,"+420602123456","Jan Novák"   (text in UTF-8)
    //   phonebook_pin2 = required | incorrect
    bool TakeProfileLine(const std::string& key, const std::string& value);

private:
    bool replaced_ = false;
};

// UTF-8 to UTF-16 and back (malformed bytes become U+FFFD).
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace ModemSim
