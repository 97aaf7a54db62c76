// Language files of any content: read from the language folder (held in
// memory: quick key reading, whole loading, merging over a built-in text,
// writing a text) and as a startup text, then every kind of lookup through
// them: sections that serve sub-sections, wildcard keys, indexes,
// redirections, code pages.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_input.h"
#include "fuzz/support/fuzzer_flags.h"
#include "fuzz/support/qt_core_app.h"
#include "translation/language_text.h"
#include "translation/memory_language_files.h"
#include "translation/tixlanguage.h"

namespace {

// A small language text to merge over or redirect into.
const char BaseText[] =
    "[General]\r\nLanguageId=0x0405\r\nLanguageName=\"Base\"\r\n"
    "[Texts]\r\nHello=\"Ahoj\"\r\nList_0=\"a\"\r\nList_1=\"b\"\r\nPtr=@Other,Key\r\n"
    "[Other]\r\nKey=\"x\"#13#10\"y\"\r\nWild*=\"w\"\r\n";

// Sections and keys to look up: the input's own and well-known ones (made
// once: the grid is looked up hundreds of times per input).
const std::string Sections[] = {"Texts", "General", "Other", "FormMain", "FormMain.Panel1", "FormMain_X", ""};
const std::string Keys[] = {"Hello", "List", "Ptr", "Key", "Wildcard", "LanguageId", "LanguageName",
                            "FileName", "IconString", "LanguageCharset", "LOCALE_SDECIMAL", ""};
const std::string ListKey = "List";

}  // namespace

// Every input looks up a grid of sections and keys in every language it
// loads: thousands of code edges per input, whose per-edge frequencies
// libFuzzer's default schedule (entropic) updates on every run. The plain
// schedule leaves the checks as they are and saves that time.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::DefaultFlags(argc, argv, {"-entropic=0"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::EnsureCoreApp();
    Fuzz::SettlePostedEvents();
    Fuzz::TInput in(data, size);
    const uint8_t control = in.byte();
    const std::string section = in.text();
    const std::string key = in.text();
    const std::string startup = in.text();
    const std::string file = in.rest();

    // The pure text functions first.
    {
        bool utf8 = false;
        std::vector<std::string> lines = Tixlanguage::SplitLanguageText(file, utf8);
        FUZZ_REQUIRE(lines.size() <= file.size() + 1);
        Tixlanguage::JoinContinuationLines(lines);
        Tixlanguage::TLangCache cache;
        cache.SetLines(lines);
        Tixlanguage::IndexAndSortCache(cache);
        FUZZ_REQUIRE(cache.Lines().size() == lines.size() && cache.Index.size() == cache.Lines().size());
        bool found = false;
        std::string rest;
        Tixlanguage::TixFindInIni(section, key, "-", found, rest, cache);
        for (const std::string& s : Sections)
            for (const std::string& k : Keys)
                Tixlanguage::TixFindInIni(s, k, "-", found, rest, cache);
        Tixlanguage::ParseLangNumber(key, -2);
        Tixlanguage::ParseLangNumber(startup, -2);
        for (const std::string& l : lines) {
            Tixlanguage::ClassifyLine(l);
            std::string name;
            Tixlanguage::IsSectionHeader(Tixlanguage::TrimLine(l), &name);
        }
    }

    // The file in a language folder held in memory: the component reads
    // and writes it there as it would on disk, without a system call.
    static Tixlanguage::TMemoryLanguageFiles files;
    static const std::string folder = "/lng";
    static const std::string path = folder + "/fuzz.lng";
    files.Clear();
    files.Put(path, file);
    {
        std::string buffer;
        const int n = Tixlanguage::QuickReadKeyInText(section.empty() ? "General" : section,
                                                      key.empty() ? "LanguageId" : key, "-", file,
                                                      int(control % 64) + 1, buffer);
        FUZZ_REQUIRE(n >= 0 && n < int(control % 64) + 1);
    }

    VTixLanguage lang;
    lang.SetLanguageFiles(&files);
    lang.SetCfgDirectory(folder);
    std::vector<std::string> startups;
    if (control & 1)
        startups.push_back(BaseText);
    if (control & 2)
        startups.push_back(startup);
    lang.SetStartupLanguages(startups);
    if (control & 4)
        lang.SetStartupAnyLanguages({std::string("[General]\r\nLanguageId=0\r\n") + startup});
    if (control & 8)
        lang.SetAllFormsSuffix(key);
    lang.Loaded2();

    const int count = int(lang.GetLanguages().size());
    const int firstActive = lang.GetActiveIndex();
    for (int round = 0; round < count + 1 && round < 4; ++round) {
        // Selecting the first language while it is still the one active
        // after loading changes nothing: round 0 looked through it already.
        if (round == 1 && firstActive == 0)
            continue;
        if (round > 0)
            lang.SelectLanguageIndex(round - 1);
        lang.GetCurrLanguage();
        lang.GetCurrentUTF8();
        lang.GetConfigFile();
        lang.GetLangText(section, key, "default");
        lang.GetLangText(section, key, "default", int(control % 4) - 1);
        lang.GetLangTextSuff(section, key, "default");
        lang.GetLangTextW(section, key, u"default");
        lang.GetLangTextUtf8(section, key, "default");
        lang.GetSimpleText(key);
        for (const std::string& s : Sections) {
            for (const std::string& k : Keys)
                lang.GetLangText(s, k, "d");
            // An indexed lookup is the plain one of "<key>_<index>": the
            // list key takes that path in every section (the input's own
            // key takes it with an index of its choice).
            lang.GetLangText(s, ListKey, "d", 1);
        }
    }
    lang.SetCurrLanguage(key);
    for (const auto& r : lang.GetLanguages())
        lang.CodePageOf(r.get());
    if (control & 16) {
        // Writing a text into the language's file and reading it again.
        lang.SetLangText("Texts", "Fuzz", section, -1, -1);
        lang.updateLanguages(false);
        lang.GetLangText("Texts", "Fuzz", "d");
    }
    return 0;
}
