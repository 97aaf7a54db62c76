// Ini files of any content: the settings file and the configuration files
// a user may hand the program.
#include <cstdint>
#include <string>

#include "fuzz/support/fuzz_input.h"
#include "platform/ini_file.h"

namespace {

// Names whose round trip through a file has no special case: printable,
// no blanks, no characters the file format gives meaning to.
bool Plain(const std::string& s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (uint8_t(c) <= ' ' || uint8_t(c) >= 0x7F || std::string(";[]=\"#").find(c) != std::string::npos)
            return false;
    return true;
}

// What reading gives back of a written value: the blanks at its ends and
// one pair of enclosing quotes, of either kind, are dropped.
std::string ReadBack(const std::string& value)
{
    const std::string t = Platform::TrimBlanks(value);
    if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front())
        return t.substr(1, t.size() - 2);
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const uint8_t control = in.byte();
    const std::string section = in.text();
    const std::string key = in.text();
    const std::string value = in.text();
    const std::string file = in.rest();

    // The file's text in memory: reading and writing parse and print
    // exactly as with a file on disk.
    Platform::TIniFile ini = Platform::TIniFile::InMemory(file);
    ini.SetWriteThrough(control & 1);
    const std::vector<std::string> sections = ini.ReadSections();
    for (const std::string& s : sections) {
        const std::vector<std::string> keys = ini.ReadSection(s);
        for (const std::string& k : keys) {
            ini.ReadString(s, k, "-");
            ini.ReadInteger(s, k, -1);
            ini.ReadBool(s, k, false);
            FUZZ_REQUIRE(ini.ValueExists(s, k));
        }
        ini.ReadSectionValues(s);
        FUZZ_REQUIRE(ini.SectionExists(s));
    }
    ini.ReadString(section, key, value);
    ini.ReadInteger(section, key, 7);
    ini.ReadBool(section, key, true);

    switch (control >> 1 & 3) {
    case 0:
        // Any value written reads back as written, blanks and one pair of
        // enclosing quotes aside.
        if (ini.WriteString(section, key, value) && Plain(section) && Plain(key))
            FUZZ_REQUIRE(ini.ReadString(section, key, "\x01") == ReadBack(value));
        break;
    case 1: ini.DeleteKey(section, key); break;
    case 2: ini.EraseSection(section); break;
    default: ini.WriteInteger(section, key, int(control) - 128); break;
    }
    ini.UpdateFile();
    ini.Reload();
    ini.ReadSections();
    return 0;
}
