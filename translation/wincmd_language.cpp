// The authoring tool that turns another program's language file
// ("WCMD_<code>.LNG", numbered entries "n=text") into a language file of
// this component's format.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "foundation/tixutils_quote.h"
#include "translation/language_file_reader.h"
#include "translation/locale_table.h"
#include "translation/tixlanguage.h"

namespace {

// The shared words of [Common] and the entries of the other program's
// files that hold them (its message-box and copy-dialog buttons).
struct TWinCmdWord {
    const char* key;
    int entry;
};
constexpr TWinCmdWord WinCmdWords[] = {
    {"Yes", 1},  {"No", 2},    {"OK", 3},          {"Cancel", 4},
    {"Help", 5}, {"Apply", 6}, {"Background", 7}, {"Skip", 8},
};

bool StartsWithIC(const std::string& text, const char* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size())
            return false;
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if ((a >= 'a' && a <= 'z' ? a - 32 : a) != (b >= 'a' && b <= 'z' ? b - 32 : b))
            return false;
    }
    return true;
}

// Numbered entries "n=text" (blanks around both trimmed, one pair of
// double quotes around the text removed); other lines are skipped.
std::map<int, std::string> ReadEntries(const std::string& bytes)
{
    std::map<int, std::string> entries;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        auto trim = [](std::string s) {
            const size_t a = s.find_first_not_of(" \t\r");
            if (a == std::string::npos)
                return std::string();
            return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
        };
        const std::string key = trim(line.substr(0, eq));
        std::string value = trim(line.substr(eq + 1));
        if (key.empty() || key.size() > 9 || key.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        entries.emplace(std::stoi(key), value);
    }
    return entries;
}

std::string WithoutAccelerator(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            out += text[++i];  // "&&" stands for one "&"
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace

bool VTixLanguage::ConvertWinCmdLang(const std::string& FileName)
{
    namespace fs = std::filesystem;
    const fs::path source(FileName);
    const std::string name = source.stem().string();
    if (!StartsWithIC(name, "WCMD_") || name.size() == 5)
        return false;
    const std::string code = name.substr(5);
    const fs::path target = source.parent_path() / (code + ".lng");
    std::error_code error;
    if (fs::exists(target, error))
        return false;  // never over a language file that is there
    std::string bytes;
    if (!Tixlanguage::ReadWholeFile(FileName, bytes))
        return false;
    const std::map<int, std::string> entries = ReadEntries(bytes);

    std::string text = "[General]\r\n";
    const int id = Tixlanguage::LangIdOfCode(code);
    text += "LanguageName=" + Tixutils::AnsiQuotedStr(id ? GetLangName(id, code) : code) + "\r\n";
    text += "LanguageNameWC=" + Tixutils::AnsiQuotedStr(code) + "\r\n";
    if (id) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%04X", unsigned(id));
        text += std::string("LanguageId=") + hex + "\r\n";
    } else {
        text += "LanguageId=unknown, " + code + "\r\n";
    }
    // The words without their accelerator mark, and with it as shortcuts.
    for (const bool shortcuts : {false, true}) {
        text += shortcuts ? "\r\n[Common.Shortcuts]\r\n" : "\r\n[Common]\r\n";
        for (const TWinCmdWord& word : WinCmdWords) {
            const auto it = entries.find(word.entry);
            if (it == entries.end())
                continue;
            const std::string value = shortcuts ? it->second : WithoutAccelerator(it->second);
            text += std::string(word.key) + "=" + Tixutils::AnsiQuotedStr(value) + "\r\n";
        }
    }
    std::ofstream out(target, std::ios::binary);
    out << text;
    return bool(out.flush());
}
