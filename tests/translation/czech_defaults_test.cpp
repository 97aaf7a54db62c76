// Every Czech default text that the program's code gives a lookup is the
// text the built-in Czech language file has for that key: the sources are
// read for the calls of the lookups (literal texts, and tables of texts
// indexed by the item), and each default is compared with Czech.lng.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "tests/support/language_sections.h"

namespace {

struct TToken {
    enum Kind { Word, Text, Mark } kind;
    std::string value;  // a text literal decoded (cp1250 bytes)
};

// C++ source as tokens: words, string literals (adjacent ones joined,
// escapes decoded) and single marks; comments, character literals and
// preprocessor lines dropped.
std::vector<TToken> Tokens(const std::string& s)
{
    std::vector<TToken> out;
    size_t i = 0;
    auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    while (i < s.size()) {
        const char c = s[i];
        if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') {
            i = s.find('\n', i);
            i = i == std::string::npos ? s.size() : i;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            i = s.find("*/", i + 2);
            i = i == std::string::npos ? s.size() : i + 2;
        } else if (c == '#' && (out.empty() || i == 0 || s[i - 1] == '\n')) {
            i = s.find('\n', i);
            i = i == std::string::npos ? s.size() : i;
        } else if (c == '\'') {
            for (++i; i < s.size() && s[i] != '\''; ++i)
                if (s[i] == '\\')
                    ++i;
            ++i;
        } else if (c == '"') {
            std::string text;
            for (++i; i < s.size() && s[i] != '"'; ++i) {
                if (s[i] != '\\') {
                    text += s[i];
                    continue;
                }
                const char e = s[++i];
                if (e == 'x') {
                    std::string digits;
                    while (i + 1 < s.size() && hex(s[i + 1]))
                        digits += s[++i];
                    text += char(std::stoi(digits, nullptr, 16));
                } else {
                    text += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e == '0' ? '\0' : e;
                }
            }
            ++i;
            if (!out.empty() && out.back().kind == TToken::Text)
                out.back().value += text;
            else
                out.push_back({TToken::Text, text});
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
            size_t j = i;
            while (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_'))
                ++j;
            out.push_back({TToken::Word, s.substr(i, j - i)});
            i = j;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else {
            out.push_back({TToken::Mark, std::string(1, c)});
            ++i;
        }
    }
    return out;
}

using TArgs = std::vector<std::vector<TToken>>;

// The arguments of the call whose "(" is at `open`, split at top-level
// commas.
TArgs Arguments(const std::vector<TToken>& t, size_t open)
{
    TArgs args(1);
    int depth = 0;
    for (size_t i = open; i < t.size(); ++i) {
        const std::string& v = t[i].value;
        if (t[i].kind == TToken::Mark && (v == "(" || v == "[" || v == "{")) {
            if (depth++ == 0)
                continue;
        } else if (t[i].kind == TToken::Mark && (v == ")" || v == "]" || v == "}")) {
            if (--depth == 0)
                return args;
        } else if (t[i].kind == TToken::Mark && v == "," && depth == 1) {
            args.emplace_back();
            continue;
        }
        args.back().push_back(t[i]);
    }
    return {};
}

bool Literal(const std::vector<TToken>& arg, std::string& text)
{
    if (arg.size() != 1 || arg[0].kind != TToken::Text)
        return false;
    text = arg[0].value;
    return true;
}

// The texts of a table "name[] = { ... }" (or "name[n] = ...") of the same
// source: its literals, or the first literal of each of its records; a
// named text "name = "..."" is a table of one. Empty when there is none.
std::vector<std::string> Table(const std::vector<TToken>& t, const std::string& name)
{
    for (size_t i = 0; i + 3 < t.size(); ++i) {
        if (t[i].kind != TToken::Word || t[i].value != name)
            continue;
        size_t j = i + 1;
        if (t[j].value == "[")
            while (j < t.size() && t[j].value != "]")
                ++j;
        else
            --j;
        if (j + 2 >= t.size() || t[j + 1].value != "=")
            continue;
        if (t[j + 2].kind == TToken::Text)
            return {t[j + 2].value};
        if (t[j + 2].value != "{")
            continue;
        std::vector<std::string> texts;
        TArgs items = Arguments(t, j + 2);
        if (!items.empty() && items.back().empty())
            items.pop_back();  // a comma after the last
        for (const auto& arg : items) {
            std::string text;
            if (Literal(arg, text))
                texts.push_back(text);
            else if (arg.size() > 1 && arg[0].value == "{" && arg[1].kind == TToken::Text)
                texts.push_back(arg[1].value);
            else
                return {};
        }
        return texts;
    }
    return {};
}

// The table a variable is taken from: "name = ... Table[...] ...;".
std::string TableOfVariable(const std::vector<TToken>& t, const std::string& name)
{
    for (size_t i = 0; i + 3 < t.size(); ++i) {
        if (t[i].kind != TToken::Word || t[i].value != name || t[i + 1].value != "=")
            continue;
        for (size_t j = i + 2; j + 1 < t.size() && t[j].value != ";"; ++j)
            if (t[j].kind == TToken::Word && t[j + 1].value == "[" && !Table(t, t[j].value).empty())
                return t[j].value;
    }
    return {};
}

// One default the code gives: where, section, key and the text.
struct TDefault {
    std::string where, section, key, text;
};

// The lookups of a source: each function with the section it serves when
// the call names none (empty: the call names it first).
std::vector<TDefault> Defaults(const std::string& file, const std::string& source)
{
    // Each lookup with the section it serves when the call names none
    // (empty: the call always names it) and its first text argument.
    struct TCall {
        std::string section;
        size_t first;
    };
    static const std::map<std::string, TCall> calls = {
        {"getLangText", {"", 0}}, {"GetLangText", {"", 0}},   {"GetLangTextCP", {"", 0}},
        {"text", {"Texts", 0}},   {"getText", {"Phonebook", 0}}, {"langText", {"SMSList", 0}},
        {"Bracketed", {"Texts", 1}}};
    const std::vector<TToken> t = Tokens(source);
    std::vector<TDefault> out;
    for (size_t i = 0; i + 1 < t.size(); ++i) {
        const auto call = calls.find(t[i].value);
        if (t[i].kind != TToken::Word || call == calls.end() || t[i + 1].value != "(")
            continue;
        const TArgs args = Arguments(t, i + 1);
        std::string section = call->second.section;
        if (file.find("form_about") != std::string::npos && t[i].value == "text")
            section = "FormAbout";
        size_t at = call->second.first;
        std::string first, second;
        // A call naming its section: a section and a key, then the default.
        if (args.size() >= at + 3 && Literal(args[at], first) && Literal(args[at + 1], second)) {
            section = first;
            ++at;
        }
        std::string key;
        if (section.empty() || args.size() < at + 2 || !Literal(args[at], key))
            continue;
        const std::vector<TToken>& def = args[at + 1];
        const std::string where = file + ": " + section + "." + key;
        std::string text;
        if (Literal(def, text)) {
            out.push_back({where, section, key, text});
        } else if (!def.empty() && def[0].kind == TToken::Word) {
            // A table of the item's texts (of texts, or of records with
            // the text first), or one named text.
            const bool record = def.size() == 3 && def[1].value == ".";
            if (!(def.size() == 1 || def[1].value == "[" || record))
                continue;
            std::vector<std::string> table = Table(t, record ? TableOfVariable(t, def[0].value) : def[0].value);
            bool indexed = record || def.size() > 1;
            if (table.empty() && def.size() == 1) {
                table = Table(t, TableOfVariable(t, def[0].value));
                indexed = true;
            }
            for (size_t k = 0; k < table.size(); ++k)
                if (!table[k].empty())  // an item that is never shown
                    out.push_back({where + "_" + std::to_string(k), section,
                                   indexed ? key + "_" + std::to_string(k) : key, table[k]});
        }
    }
    return out;
}

}  // namespace

TEST(CzechDefaults, EveryDefaultInTheCodeIsTheTextOfTheCzechFile)
{
    const auto czech = TestSupport::BuiltInLanguage("0x0405");
    ASSERT_GT(czech.size(), 5u);
    std::vector<TDefault> all;
    for (const char* folder : {"app", "engine", "sms", "calls", "phonebook", "widgets", "serial"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(std::string(ZELVITOR_SOURCE_DIR) + "/" + folder)) {
            if (entry.path().extension() != ".cpp")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            const std::string name = entry.path().lexically_relative(ZELVITOR_SOURCE_DIR).string();
            for (TDefault& d : Defaults(name, text.str()))
                all.push_back(std::move(d));
        }
    }
    // Enough of them read to mean something: the handlers', the pages',
    // the models' and the indexed tables.
    EXPECT_GT(all.size(), 75u);
    int indexed = 0;
    for (const TDefault& d : all) {
        indexed += d.where.find("_", d.where.find(": ")) != std::string::npos && d.key.back() >= '0' &&
                   d.key.back() <= '9';
        const auto section = czech.find(d.section);
        ASSERT_NE(section, czech.end()) << d.where;
        const auto key = section->second.find(d.key);
        if (key == section->second.end()) {
            ADD_FAILURE() << d.where << ": no text in Czech.lng";
            continue;
        }
        EXPECT_EQ(Platform::AnsiToUtf8(d.text, Platform::CP_CZECH), key->second) << d.where;
    }
    EXPECT_GT(indexed, 20);
}

// The reader itself: what it takes from a source.
TEST(CzechDefaults, TheSourceReaderFindsLiteralsTablesAndTheSections)
{
    const std::string source = R"(
        // text("Commented", "out")
        const char* const States[3] = {"Jedna", "Dv" "\xEC", "T\x9A",};
        void f() {
            x = text("Key", "Hodnota \"v\" uvozovk\xE1" "ch");
            y = w.getLangText("Sec", "Idx", States[n], n);
            z = getLangText("Texts", "Split",
                            "Dlouh\xFD " "text");
            q = getLangText(section, key, def);
            c = 'a';
            p = getText("Common", "FileNotFound", "Nenalezen %1");
            const TState& s = Records[k];
            r = window.getLangText("Texts", "Rec", s.text, k);
            u = Bracketed(window, "Named", Named);
            const std::string def = k < 2 ? Named2[k] : "";
            v = langText("Var", def, k);
        }
        const char* const Named2[] = {"A", "B"};
        const TState Records[2] = {{"Prvn\xED", 1}, {"Druh\xFD", 2}};
        const char* const Named = "Jm\xE9no";
    )";
    const std::vector<TDefault> d = Defaults("app/x.cpp", source);
    ASSERT_EQ(d.size(), 11u);
    EXPECT_EQ(d[9].section + "." + d[9].key + "=" + d[9].text, "SMSList.Var_0=A");
    EXPECT_EQ(d[10].key + "=" + d[10].text, "Var_1=B");
    EXPECT_EQ(d[6].key + "=" + d[6].text, "Rec_0=Prvn\xED");
    EXPECT_EQ(d[7].key + "=" + d[7].text, "Rec_1=Druh\xFD");
    EXPECT_EQ(d[8].section + "." + d[8].key + "=" + d[8].text, "Texts.Named=Jm\xE9no");
    EXPECT_EQ(d[0].section + "." + d[0].key + "=" + d[0].text, "Texts.Key=Hodnota \"v\" uvozovk\xE1" "ch");
    EXPECT_EQ(d[1].key + "=" + d[1].text, "Idx_0=Jedna");
    EXPECT_EQ(d[2].key + "=" + d[2].text, "Idx_1=Dv\xEC");
    EXPECT_EQ(d[3].key + "=" + d[3].text, "Idx_2=T\x9A");
    EXPECT_EQ(d[4].section + "." + d[4].key + "=" + d[4].text, "Texts.Split=Dlouh\xFD text");
    EXPECT_EQ(d[5].section + "." + d[5].key, "Common.FileNotFound");
}
