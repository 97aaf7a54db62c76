// Languages of the translation component: records from the built-in texts
// and the ".lng" files on disk, their order, the choice of the active
// language and what a change of language does.

#include <QFile>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

#include "foundation/tixutils_quote.h"
#include "platform/codepage.h"
#include "platform/qt/registry.h"
#include "translation/form_translator.h"
#include "translation/locale_formats.h"
#include "translation/locale_table.h"
#include "translation/tixlanguage.h"

// Resources of a static library must be registered by name, outside any
// namespace.
static void InitBuiltInTextResources() { Q_INIT_RESOURCE(builtin_texts); }

namespace {

std::string Resource(const char* path)
{
    InitBuiltInTextResources();
    QFile f(QString::fromLatin1(path));
    if (!f.open(QIODevice::ReadOnly))
        return std::string();
    const QByteArray bytes = f.readAll();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

// The built-in texts are UTF-8; the mark says so to the loader even when an
// editor dropped it.
std::string BuiltInText(const char* path)
{
    std::string text = Resource(path);
    if (text.compare(0, 3, "\xEF\xBB\xBF") != 0)
        text.insert(0, "\xEF\xBB\xBF");
    return text;
}

std::vector<std::string> SplitDirs(const std::string& entry)
{
    std::vector<std::string> dirs;
    size_t start = 0;
    while (start <= entry.size()) {
        const size_t semi = entry.find(';', start);
        std::string d = Tixlanguage::TrimLine(
            entry.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
        if (!d.empty())
            dirs.push_back(std::move(d));
        if (semi == std::string::npos)
            break;
        start = semi + 1;
    }
    return dirs;
}

}  // namespace

void VTixLanguage::loadBuiltInImages()
{
    // The resources never change: read once per process.
    static const std::vector<std::string> builtIn = {Resource(":/translation/LANG_WHITEBOARD.png"),
                                                     Resource(":/translation/LANG_TWOFLAGS.png")};
    images_ = builtIn;
    imageNames_ = {"LANG_WHITEBOARD", "LANG_TWOFLAGS"};
}

std::vector<std::string> VTixLanguage::BuiltInLanguages()
{
    return {BuiltInText(":/translation/Czech.lng"), BuiltInText(":/translation/English.lng")};
}

std::vector<std::string> VTixLanguage::BuiltInAnyLanguages()
{
    return {BuiltInText(":/translation/Any.lng"), BuiltInText(":/translation/CzechNeutral.lng"),
            BuiltInText(":/translation/EnglishNeutral.lng")};
}

// ---- Loading ------------------------------------------------------------

void VTixLanguage::Loaded()
{
    if (versionStored_) {
        int major = 0;
        int minor = 0;
        std::sscanf(version_.c_str(), "%d.%d", &major, &minor);
        const int v = major * 100 + minor;
        if (v < 110)
            Translate.Include(vtl_t_Charset);
        if (v < 111)
            AddToDesignDirs("$(LangRoot)\\lng_common\\");
        if (v < 120) {
            Translate.Include(vtl_tRichEdit);
            Translate.Include(vtl_t_RichHTML);
        }
    }
    version_ = "1.25";
    Loaded2();
}

void VTixLanguage::Loaded2()
{
    loading_ = true;
    anyLanguages_.clear();
    languages_.clear();
    cachesChanged();
    for (const std::string& text : startupAnyLanguages_)
        anyLanguages_.push_back(recordFromText(text, INT_MIN));
    for (const std::string& text : startupLanguages_)
        languages_.push_back(recordFromText(text, INT_MIN));
    startupAnyLanguages_.clear();
    startupLanguages_.clear();
    activeIndex_ = languages_.empty() ? -1 : 0;
    updateLanguages(true);
    for (const auto& r : languages_)
        Tixlanguage::IndexAndSortCache(r->Cache);
    loading_ = false;
    DoChangeLanguage();
}

std::unique_ptr<LanguageRecord> VTixLanguage::recordFromText(const std::string& text, int knownId)
{
    auto record = std::make_unique<LanguageRecord>(this);
    bool utf8 = false;
    std::vector<std::string> lines = Tixlanguage::SplitLanguageText(text, utf8);
    Tixlanguage::JoinContinuationLines(lines);
    record->IsUTF8 = utf8;
    record->Cache.SetLines(std::move(lines));
    int id = knownId;
    if (id == INT_MIN) {
        const std::string idText = ownText(*record, "LanguageId");
        id = Tixlanguage::ParseLangNumber(idText.empty() ? "0xFFFFFFFF" : idText, -1);
    }
    record->SetLanguageId(id);
    if (!utf8) {
        cachesChanged();
        const int cp = CodePageOf(record.get());
        for (std::string& line : record->Cache.EditLines())
            line = Platform::AnsiToUtf8(line, cp);
    }
    cachesChanged();
    record->FileName = Platform::Utf8ToAnsi(ownText(*record, "FileName"), CodePageOf(record.get()));
    updateCachedIcon(*record);
    return record;
}

void VTixLanguage::loadTextInto(LanguageRecord& record, const std::string& text, bool ownFile)
{
    bool utf8 = false;
    std::vector<std::string> lines = Tixlanguage::SplitLanguageText(text, utf8);
    Tixlanguage::JoinContinuationLines(lines);
    if (!utf8) {
        const int cp = CodePageOf(&record);
        for (std::string& line : lines)
            line = Platform::AnsiToUtf8(line, cp);
    }
    if (ownFile)
        record.IsUTF8 = utf8;
    const bool wasIndexed = record.Cache.Indexed();
    if (Tixutils::JoinConfigs(record.Cache.EditLines(), lines, true)) {
        record.Cache.ClearIndex();
        if (wasIndexed)
            Tixlanguage::IndexAndSortCache(record.Cache);
        cachesChanged();
    }
}

void VTixLanguage::refreshRecordDetails(LanguageRecord& record)
{
    const int cp = CodePageOf(&record);
    const std::string name = ownText(record, "LanguageName");
    if (!name.empty()) {
        record.LanguageName = Platform::Utf8ToAnsi(name, cp);
    } else {
        std::string stem = record.FileName;
        const size_t dot = stem.rfind('.');
        if (dot != std::string::npos)
            stem.erase(dot);
        record.LanguageName = GetLangName(record.GetLanguageId(), stem);
    }
    record.Charset = GetCharsetFromFile(record.GetLanguageId(), 1, &record.Cache);
}

void VTixLanguage::updateCachedIcon(LanguageRecord& record)
{
    const std::string hex = ownText(record, "IconString");
    record.SetLangIcon(imageNames_, images_, Tixutils::HexaStringToBytes(hex));
}

// ---- Scanning the language files ------------------------------------------

void VTixLanguage::updateLanguages(bool UpdateComponents)
{
    const LanguageRecord* active = GetActiveLangRecord();
    for (const auto& r : languages_) {
        r->HasFile = false;
        r->ConfigFile.clear();
    }
    for (const auto& r : anyLanguages_) {
        r->HasFile = false;
        r->ConfigFile.clear();
    }
    // The configuration folder is listed and read once for its two passes.
    std::vector<std::pair<std::string, std::string>> cfgFiles;
    for (std::string& f : files_->List(cfgDirectory_)) {
        std::string text;
        if (files_->Read(f, text))
            cfgFiles.emplace_back(std::move(f), std::move(text));
    }
    for (int pass = 1; pass <= 2; ++pass)
        for (const auto& [path, text] : cfgFiles)
            takeFile(path, text, pass);
    for (const std::string& entry : runtimeDirs_)
        for (const std::string& dir : SplitDirs(entry))
            for (const std::string& f : files_->List(dir)) {
                std::string text;
                if (files_->Read(f, text))
                    takeFile(f, text, 3);
            }
    for (size_t k = languages_.size(); k-- > 0;) {
        updateCachedIcon(*languages_[k]);
        refreshRecordDetails(*languages_[k]);
    }
    sortLanguages();
    if (active) {
        for (size_t k = 0; k < languages_.size(); ++k)
            if (languages_[k].get() == active)
                activeIndex_ = int(k);
    }
    clampActiveIndex();
    if (formTranslator_)
        formTranslator_->LanguagesChanged(UpdateComponents);
    startupLanguages_.clear();
    startupAnyLanguages_.clear();
}

// pass 1: CfgDirectory, full languages; 2: CfgDirectory, neutral records;
// 3: RuntimeDirs, neutral records and texts for known full languages.
void VTixLanguage::takeFile(const std::string& path, const std::string& text, int pass)
{
    std::string buffer;
    if (Tixlanguage::QuickReadKeyInText("General", "LanguageId", "", text, 200, buffer) <= 0)
        return;
    const int id = Tixlanguage::ParseLangNumber(buffer, -1);
    if (id < 0)
        return;
    const bool full = Tixlanguage::SubLangId(id) != 0;
    if ((pass == 1 && !full) || (pass == 2 && full))
        return;
    LanguageRecord* existing = nullptr;
    if (full) {
        for (const auto& r : languages_)
            if (r->GetLanguageId() == id) {
                existing = r.get();
                break;
            }
    } else {
        existing = anyRecordWithId(id);
    }
    if (existing) {
        loadTextInto(*existing, text, pass == 1);
        if (pass == 1) {
            existing->ConfigFile = path;
            existing->HasFile = true;
        }
        return;
    }
    if (pass == 3 && full)
        return;
    if (!full) {
        bool primaryKnown = id == 0;
        for (const auto& r : languages_)
            if (Tixlanguage::PrimaryLangId(r->GetLanguageId()) == id)
                primaryKnown = true;
        if (!primaryKnown)
            return;
    }
    std::unique_ptr<LanguageRecord> record = recordFromText(text, id);
    if (pass != 3) {
        record->ConfigFile = path;
        record->HasFile = true;
    }
    if (full && !loading_)
        Tixlanguage::IndexAndSortCache(record->Cache);
    (full ? languages_ : anyLanguages_).push_back(std::move(record));
    cachesChanged();
}

void VTixLanguage::sortLanguages()
{
    int userCharset = -1;
    for (const auto& r : languages_)
        if (r->IsUserDefault)
            userCharset = r->Charset;
    std::stable_sort(languages_.begin(), languages_.end(),
                     [userCharset](const std::unique_ptr<LanguageRecord>& a,
                                   const std::unique_ptr<LanguageRecord>& b) {
                         if (a->IsUserDefault != b->IsUserDefault)
                             return a->IsUserDefault;
                         const int ga = Tixlanguage::CharsetGroup(a->Charset, userCharset);
                         const int gb = Tixlanguage::CharsetGroup(b->Charset, userCharset);
                         if (ga != gb)
                             return ga < gb;
                         const int c = a->LanguageName.compare(b->LanguageName);
                         if (c != 0)
                             return c < 0;
                         return a->GetLanguageId() < b->GetLanguageId();
                     });
}

void VTixLanguage::clampActiveIndex()
{
    if (languages_.empty())
        activeIndex_ = -1;
    else if (activeIndex_ < 0)
        activeIndex_ = 0;
    else if (activeIndex_ >= int(languages_.size()))
        activeIndex_ = int(languages_.size()) - 1;
}

// ---- Choosing the language --------------------------------------------------

std::string VTixLanguage::ReadLanguageChoice()
{
    Platform::TRegistry registry;
    return registry.ReadString("Options\\General", "Language", "\xC8" "esky");
}

void VTixLanguage::WriteLanguageChoice() const
{
    Platform::TRegistry registry;
    registry.WriteString("Options\\General", "Language", GetCurrLanguage());
}

void VTixLanguage::SetCurrLanguage(const std::string& Name)
{
    int found = -1;
    for (int k = int(languages_.size()) - 1; k >= 0 && found < 0; --k)
        if (languages_[size_t(k)]->LanguageName == Name)
            found = k;
    for (int k = int(languages_.size()) - 1; k >= 0 && found < 0; --k) {
        const LanguageRecord& r = *languages_[size_t(k)];
        if (Tixlanguage::SameTextIgnoreCase(r.LanguageName, Name, CodePageOf(&r)))
            found = k;
    }
    if (found >= 0 && found != activeIndex_) {
        activeIndex_ = found;
        DoChangeLanguage();
    }
}

void VTixLanguage::SetCurrLanguageId(int Id)
{
    for (int k = int(languages_.size()) - 1; k >= 0; --k)
        if (languages_[size_t(k)]->GetLanguageId() == Id) {
            if (k != activeIndex_) {
                activeIndex_ = k;
                DoChangeLanguage();
            }
            return;
        }
}

void VTixLanguage::SelectLanguageIndex(int index)
{
    if (index < 0 || index >= int(languages_.size()) || index == activeIndex_)
        return;
    activeIndex_ = index;
    DoChangeLanguage();
}

void VTixLanguage::rebuildOverrideSources()
{
    overrides_.clear();
    const LanguageRecord* record = GetActiveLangRecord();
    if (registryPath_.empty() || !record)
        return;
    Platform::TRegistry registry;
    if (!registry.KeyExists(registryPath_))
        return;
    char full[16];
    char primary[16];
    std::snprintf(full, sizeof(full), "%04X", unsigned(record->GetLanguageId()) & 0xFFFFu);
    std::snprintf(primary, sizeof(primary), "%04X",
                  unsigned(Tixlanguage::PrimaryLangId(record->GetLanguageId())));
    for (const char* sub : {static_cast<const char*>(full), static_cast<const char*>(primary), "0000"}) {
        const std::string path = registryPath_ + "\\" + sub;
        if (registry.KeyExists(path))
            overrides_.push_back(std::make_unique<OverrideSource>(OverrideSource{path}));
    }
}

void VTixLanguage::DoChangeLanguage()
{
    clampActiveIndex();
    if (formTranslator_)
        formTranslator_->LanguagesChanged(false);
    if (LanguageRecord* record = GetActiveLangRecord()) {
        rebuildOverrideSources();
        std::string text;
        if (!record->ConfigFile.empty() && files_->Read(record->ConfigFile, text))
            loadTextInto(*record, text, true);
        const int id = record->GetLanguageId();
        // The language's locale values are read in one go; a type not read
        // beforehand is looked up on its own.
        const std::vector<int>& types = LocaleFormatTypes();
        const std::vector<std::string> values = GetLocaleStrs(id, types);
        // The formats make texts of the program's data (dates, times), so
        // they are held in the system code page like those data.
        const int cp = CodePageOf(record);
        const auto held = [cp](const std::string& value) {
            if (cp == Platform::SystemCodePage() || Platform::AsciiRunLength(value) == value.size())
                return value;
            return Platform::Utf16ToAnsi(Platform::AnsiToUtf16(value, cp), Platform::SystemCodePage());
        };
        const TLocaleFormats formats = ComputeLocaleFormats(id, [&](int type, const std::string& def) {
            const auto at = std::lower_bound(types.begin(), types.end(), type);
            if (at == types.end() || *at != type)
                return held(GetLocaleStr(id, type, def));
            const std::string& value = values[size_t(at - types.begin())];
            return value.empty() ? def : held(value);
        });
        ApplyLocaleFormats(formats, id);
    }
    if (OnChangingLanguage)
        OnChangingLanguage(this);
    UpdateAllTexts(nullptr);
    if (OnChangeLanguage)
        OnChangeLanguage(this);
}

// ---- Authoring tool -------------------------------------------------------

void VTixLanguage::ConvertIconToString(const std::string& FileName)
{
    std::string icon;
    if (!Tixlanguage::ReadWholeFile(FileName, icon))
        return;
    std::filesystem::path lng(FileName);
    lng.replace_extension(".lng");
    {
        std::ofstream out(lng, std::ios::binary | std::ios::app);
        out << "IconString=\"" << Tixutils::BytesToHexaString(icon) << "\"\r\n";
    }
    std::string buffer;
    Tixlanguage::QuickReadKey("General", "LanguageId", "", lng.string(), 200, buffer);
    const int id = Tixlanguage::ParseLangNumber(buffer, 0);
    if (id == 0 || id == -1)
        return;
    std::ofstream out(lng, std::ios::binary | std::ios::app);
    for (const auto& [type, name] : Tixlanguage::LocaleTypeTable()) {
        const std::string value = Tixlanguage::SystemLocaleInfo(id, type);
        if (!value.empty())
            out << name << "=\"" << value << "\"\r\n";
    }
}
