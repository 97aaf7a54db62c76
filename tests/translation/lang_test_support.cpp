#include "tests/translation/lang_test_support.h"

#include <filesystem>

#include "platform/codepage.h"
#include "translation/tixlanguage.h"

namespace LangTest {

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

std::string We(const std::string& utf8) { return Platform::Utf8ToAnsi(utf8, Platform::CP_WESTERN); }

std::string Crlf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

std::unique_ptr<VTixLanguage> MakeLanguage(const std::vector<std::string>& languages,
                                           const std::vector<std::string>& anyLanguages,
                                           const std::string& cfgDir)
{
    auto lang = std::make_unique<VTixLanguage>();
    // Without a folder of the test's own, one that holds no files at all.
    lang->SetCfgDirectory(cfgDir.empty() ? (std::filesystem::temp_directory_path() /
                                             "zelvitor-no-such-folder").string()
                                         : cfgDir);
    lang->SetStartupLanguages(languages);
    lang->SetStartupAnyLanguages(anyLanguages);
    lang->Loaded();
    return lang;
}

std::unique_ptr<VTixLanguage> MakeBuiltInLanguage(const std::string& cfgDir)
{
    return MakeLanguage(VTixLanguage::BuiltInLanguages(), VTixLanguage::BuiltInAnyLanguages(), cfgDir);
}

}  // namespace LangTest
