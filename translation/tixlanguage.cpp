// Text lookup of the translation component: the language records, the
// order of sources (the language, its neutral record, "Any", the caller's
// default), redirections, conversions and writing texts.
#include "translation/tixlanguage.h"

#include <QString>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "foundation/tixutils_codec.h"
#include "foundation/tixutils_quote.h"
#include "foundation/tixutils_text.h"
#include "platform/codepage.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/registry.h"
#include "translation/form_translator.h"
#include "translation/locale_table.h"

namespace {

// "@Section,Key" values may point at each other; a chain longer than this
// is taken for a loop and gives the caller's default.
constexpr int kMaxRedirectionDepth = 8;

VTixLanguage*& GlobalSlot()
{
    static VTixLanguage* global = nullptr;
    return global;
}

std::string ToUtf8(const std::string& ansi, int codePage) { return Platform::AnsiToUtf8(ansi, codePage); }
std::string FromUtf8(const std::string& utf8, int codePage) { return Platform::Utf8ToAnsi(utf8, codePage); }

bool IsAscii(const std::string& text) { return Platform::AsciiRunLength(text) == text.size(); }

// ASCII reads the same in every code page and in UTF-8, so such a text
// (nearly every section and key) is looked up as it is, without a copy.
const std::string& AsUtf8(const std::string& ansi, int codePage, std::string& converted)
{
    if (IsAscii(ansi))
        return ansi;
    converted = ToUtf8(ansi, codePage);
    return converted;
}

std::string TakeFromUtf8(std::string&& utf8, int codePage)
{
    return IsAscii(utf8) ? std::move(utf8) : FromUtf8(utf8, codePage);
}

// Built in one piece: texts with an item index are looked up in lists.
std::string IndexedKey(const std::string& key, int index)
{
    if (index == -1)
        return key;
    char digits[16];
    const size_t count = size_t(std::to_chars(digits, digits + sizeof(digits), index).ptr - digits);
    std::string indexed(key.size() + 1 + count, '_');
    std::memcpy(indexed.data(), key.data(), key.size());
    std::memcpy(indexed.data() + key.size() + 1, digits, count);
    return indexed;
}

// The language's own id is never taken from another record.
bool IsLanguageIdKey(const std::string& section, const std::string& key)
{
    static const std::string idSection = "General";
    static const std::string idKey = "LanguageId";
    return key == idKey && section == idSection;
}

// Code page of a language id for the class-level conversions.
int CodePageOfId(int languageId)
{
    VTixLanguage* global = VTixLanguage::GlobalInstance();
    if (!global)
        return Platform::SystemCodePage();
    if (languageId == -1)
        languageId = global->GetCurrLanguageId();
    return global->CodePageOf(global->GetAnyLanguageRecord(languageId));
}

}  // namespace

VTixLanguage::VTixLanguage(QObject* owner) : QObject(owner)
{
    if (!GlobalSlot())
        GlobalSlot() = this;
    designDirs_ = {"$(LangRoot)\\lng\\", "$(LangRoot)\\lng_flag\\", "$(LangRoot)\\lng_common\\"};
    loadBuiltInImages();
}

VTixLanguage::~VTixLanguage()
{
    if (formTranslator_)
        formTranslator_->LanguageGone();
    formTranslator_ = nullptr;
    if (GlobalSlot() == this)
        GlobalSlot() = nullptr;
}

VTixLanguage* VTixLanguage::GlobalInstance() { return GlobalSlot(); }

// ---- Properties ---------------------------------------------------------

void VTixLanguage::SetVersion(const std::string& v)
{
    if (!loading_)
        return;
    version_ = v;
    versionStored_ = true;
}

void VTixLanguage::SetStartupLanguages(std::vector<std::string> texts)
{
    if (loading_)
        startupLanguages_ = std::move(texts);
}

void VTixLanguage::SetStartupAnyLanguages(std::vector<std::string> texts)
{
    if (loading_)
        startupAnyLanguages_ = std::move(texts);
}

void VTixLanguage::UseBuiltInTexts()
{
    SetStartupLanguages(BuiltInLanguages());
    SetStartupAnyLanguages(BuiltInAnyLanguages());
}

void VTixLanguage::SetCfgDirectory(const std::string& dir)
{
    if (dir == cfgDirectory_)
        return;
    cfgDirectory_ = dir;
    if (!loading_)
        updateLanguages(true);
}

void VTixLanguage::SetRuntimeDirs(std::vector<std::string> dirs)
{
    if (dirs == runtimeDirs_)
        return;
    runtimeDirs_ = std::move(dirs);
    if (!loading_)
        updateLanguages(true);
}

void VTixLanguage::SetDesignDirs(std::vector<std::string> dirs)
{
    if (dirs == designDirs_)
        return;
    designDirs_ = std::move(dirs);
    if (!loading_)
        updateLanguages(true);
}

void VTixLanguage::SetExcludedSections(std::vector<std::string> sections)
{
    if (sections == excludedSections_)
        return;
    excludedSections_ = std::move(sections);
    if (!loading_)
        updateLanguages(true);
}

void VTixLanguage::AddToDesignDirs(const std::string& dir)
{
    std::string d = dir;
    if (d.empty() || (d.back() != '\\' && d.back() != '/'))
        d += '\\';
    for (const std::string& e : designDirs_)
        if (e == d)
            return;
    size_t pos = 0;
    if (d[0] == '$')
        while (pos < designDirs_.size() && !designDirs_[pos].empty() && designDirs_[pos][0] == '$')
            ++pos;
    designDirs_.insert(designDirs_.begin() + std::ptrdiff_t(pos), d);
}

void VTixLanguage::SetAllFormsSuffix(const std::string& suffix)
{
    allFormsSuffix_ = (!suffix.empty() && suffix[0] == '.') ? suffix.substr(1) : suffix;
}

// ---- Records ------------------------------------------------------------

LanguageRecord* VTixLanguage::anyRecordWithId(int id) const
{
    for (const auto& r : anyLanguages_)
        if (r->GetLanguageId() == id)
            return r.get();
    return nullptr;
}

LanguageRecord* VTixLanguage::GetActiveLangRecord() const
{
    if (activeIndex_ < 0 || activeIndex_ >= int(languages_.size()))
        return nullptr;
    return languages_[size_t(activeIndex_)].get();
}

LanguageRecord* VTixLanguage::GetAnyLanguageRecord(int LangIndex) const
{
    if (LangIndex == -1) {
        if (LanguageRecord* active = GetActiveLangRecord())
            return active;
        LangIndex = 0;
    }
    if (Tixlanguage::SubLangId(LangIndex) != 0) {
        for (const auto& r : languages_)
            if (r->GetLanguageId() == LangIndex)
                return r.get();
        return nullptr;
    }
    return anyRecordWithId(LangIndex);
}

std::string VTixLanguage::GetCurrLanguage() const
{
    const LanguageRecord* r = GetActiveLangRecord();
    return r ? r->LanguageName : std::string();
}

int VTixLanguage::GetCurrLanguageId() const
{
    const LanguageRecord* r = GetActiveLangRecord();
    return r ? r->GetLanguageId() : 0;
}

bool VTixLanguage::GetCurrentUTF8() const
{
    const LanguageRecord* r = GetActiveLangRecord();
    return r && r->IsUTF8;
}

std::string VTixLanguage::GetConfigFile() const
{
    const LanguageRecord* r = GetActiveLangRecord();
    return r ? r->ConfigFile : std::string();
}

int VTixLanguage::GetLanguageImageIndex(int LangIndex) const
{
    const LanguageRecord* r = GetAnyLanguageRecord(LangIndex);
    return r ? r->ImageIndex : -1;
}

int VTixLanguage::CodePageOf(const LanguageRecord* record) const
{
    if (!record)
        return Platform::SystemCodePage();
    if (record->CodePageGeneration == cacheGeneration_ && record->CachedCodePage != 0)
        return record->CachedCodePage;
    // As GetLocaleStr: what the system knows first, then the language files.
    int codePage = Tixlanguage::SystemAnsiCodePage(record->GetLanguageId());
    if (codePage == 0) {
        bool found = false;
        const std::string value =
            cachedTextUtf8("General", "LOCALE_IDEFAULTANSICODEPAGE", record, -1, found, 0);
        codePage = found ? Tixlanguage::ParseLangNumber(value, 0) : 0;
    }
    if (!Platform::IsSupportedCodePage(codePage))
        codePage = Platform::SystemCodePage();
    record->CachedCodePage = codePage;
    record->CodePageGeneration = cacheGeneration_;
    return codePage;
}

std::string VTixLanguage::ownText(const LanguageRecord& record, const std::string& key) const
{
    bool found = false;
    std::string rest;
    const std::string raw = Tixlanguage::TixFindInIni("General", key, "", found, rest, record.Cache);
    return found ? Tixutils::TixExtractQuotedStr(raw) : std::string();
}

// ---- Lookup -------------------------------------------------------------

bool VTixLanguage::overrideText(const std::string& Section, const std::string& Key,
                                std::string& value) const
{
    if (overrides_.empty())
        return false;
    Platform::TRegistry registry;
    const int cp = Platform::SystemCodePage();
    const std::string key = FromUtf8(Key, cp);
    for (const auto& source : overrides_) {
        std::string section = FromUtf8(Section, cp);
        for (;;) {
            const std::string path = source->keyPath + "\\" + section;
            if (registry.ValueExists(path, key)) {
                value = ToUtf8(registry.ReadString(path, key, ""), cp);
                return true;
            }
            const size_t dot = section.rfind('.');
            if (dot == std::string::npos)
                break;
            section.erase(dot);
        }
    }
    return false;
}

// The callers give their own default when nothing is found, so the lookup
// answers an empty text then.
std::string VTixLanguage::lookupUtf8(const std::string& Section, const std::string& Key, int Index,
                                     const LanguageRecord* record, bool& found, int depth) const
{
    found = false;
    std::string value;
    if (overrideText(Section, Key, value)) {
        found = true;
        return value;
    }
    return cachedTextUtf8(Section, Key, record, Index, found, depth);
}

// A text missing in a language comes from its neutral record, then from
// "Any"; those two have no sublanguage and end the chain.
const LanguageRecord* VTixLanguage::fallbackRecord(const LanguageRecord* record) const
{
    const int id = record->GetLanguageId();
    if (id == -1 || id == 0)
        return nullptr;
    const LanguageRecord* next = nullptr;
    if (Tixlanguage::SubLangId(id) != 0)
        next = anyRecordWithId(Tixlanguage::PrimaryLangId(id));
    if (!next)
        next = anyRecordWithId(0);
    return next == record ? nullptr : next;
}

std::string VTixLanguage::cachedTextUtf8(const std::string& Section, const std::string& Key,
                                         const LanguageRecord* record, int Index, bool& found,
                                         int depth) const
{
    found = false;
    const std::string indexed = Index == -1 ? std::string() : IndexedKey(Key, Index);
    const std::string& key = Index == -1 ? Key : indexed;
    bool hit = false;
    std::string remainder;
    const std::string value = Tixlanguage::TixFindInIni(Section, key, "", hit, remainder, record->Cache);
    if (!hit) {
        // A text missing in a language comes from its neutral record, then
        // from "Any"; those two have no sublanguage and end the chain.
        if (Index == -1 && IsLanguageIdKey(Section, Key))
            return {};
        const LanguageRecord* next = fallbackRecord(record);
        if (!next)
            return {};
        return cachedTextUtf8(Section, key, next, -1, found, depth);
    }
    if (!value.empty() && value[0] == '@') {
        if (depth >= kMaxRedirectionDepth)
            return {};
        std::string rest = value.substr(1);
        bool skip = true;
        const std::string targetSection = Tixutils::CutString(rest, skip, " ,\t");
        const std::string targetKey = rest + remainder;
        const LanguageRecord* active = GetAnyLanguageRecord(-1);
        if (targetSection.empty() || targetKey.empty() || !active)
            return {};
        return lookupUtf8(targetSection, targetKey, -1, active, found, depth + 1);
    }
    found = true;
    return Tixutils::TixExtractQuotedStr(value);
}

// The same chain as cachedTextUtf8, for many keys: the keys a record lacks
// are asked of the next record together; a redirection is followed as the
// single lookup follows it.
void VTixLanguage::cachedTextsUtf8(const std::string& Section, const std::vector<const std::string*>& Keys,
                                   const LanguageRecord* record, std::vector<std::string>& texts,
                                   std::vector<bool>& found) const
{
    std::vector<Tixlanguage::TKeyAnswer> answers(Keys.size());
    std::vector<bool> done(Keys.size(), false);
    for (const LanguageRecord* r = record;;) {
        Tixlanguage::TixFindManyInIni(Section, Keys, answers, r->Cache);
        bool open = false;
        for (size_t k = 0; k < Keys.size(); ++k) {
            if (done[k])
                continue;
            const Tixlanguage::TKeyAnswer& a = answers[k];
            if (a.Found) {
                done[k] = true;
                if (!a.Value.empty() && a.Value[0] == '@') {
                    bool hit = false;
                    texts[k] = cachedTextUtf8(Section, *Keys[k], r, -1, hit, 0);
                    found[k] = hit;
                } else {
                    found[k] = true;
                    texts[k] = Tixutils::TixExtractQuotedStr(a.Value);
                }
            } else if (r == record && IsLanguageIdKey(Section, *Keys[k])) {
                done[k] = true;
                answers[k].Found = true;
            } else {
                open = true;
            }
        }
        if (!open)
            return;
        r = fallbackRecord(r);
        if (!r)
            return;
    }
}

std::vector<std::string> VTixLanguage::langTexts(const std::string& Section,
                                                 const std::vector<const std::string*>& Keys,
                                                 int LangIndex) const
{
    std::vector<std::string> out(Keys.size());
    if (Section.empty()) {
        for (size_t k = 0; k < Keys.size(); ++k)
            out[k] = *Keys[k];
        return out;
    }
    const LanguageRecord* record = GetAnyLanguageRecord(LangIndex);
    if (!record)
        return out;
    if (!overrides_.empty()) {
        // Texts of the registry come first, key by key.
        for (size_t k = 0; k < Keys.size(); ++k)
            out[k] = GetLangText(Section, *Keys[k], "", -1, LangIndex);
        return out;
    }
    const int cp = CodePageOf(record);
    std::string sectionUtf8;
    const std::string& section = AsUtf8(Section, cp, sectionUtf8);
    // Keys outside ASCII are converted into storage of their own.
    std::vector<std::string> converted(Keys.size());
    std::vector<const std::string*> keys(Keys.size());
    for (size_t k = 0; k < Keys.size(); ++k)
        keys[k] = &AsUtf8(*Keys[k], cp, converted[k]);
    std::vector<std::string> texts(Keys.size());
    std::vector<bool> found(Keys.size(), false);
    cachedTextsUtf8(section, keys, record, texts, found);
    for (size_t k = 0; k < Keys.size(); ++k)
        if (found[k] && !Keys[k]->empty())
            out[k] = TakeFromUtf8(std::move(texts[k]), cp);
    return out;
}

std::string VTixLanguage::GetLangText(const std::string& Section, const std::string& Key,
                                      const std::string& Default) const
{
    return GetLangText(Section, Key, Default, -1, -1);
}

std::string VTixLanguage::GetLangText(const std::string& Section, const std::string& Key,
                                      const std::string& Default, int Index) const
{
    return GetLangText(Section, Key, Default, Index, -1);
}

std::string VTixLanguage::GetLangText(const std::string& Section, const std::string& Key,
                                      const std::string& Default, int Index, int LangIndex) const
{
    return textIn(Section, Key, Default, Index, LangIndex, 0);
}

std::string VTixLanguage::GetLangTextCP(const std::string& Section, const std::string& Key,
                                        const std::string& Default, int Index, int CodePage) const
{
    return textIn(Section, Key, Default, Index, -1, CodePage);
}

std::string VTixLanguage::textIn(const std::string& Section, const std::string& Key, const std::string& Default,
                                 int Index, int LangIndex, int CodePage) const
{
    if (Section.empty())
        return Key;
    if (Key.empty())
        return Default;
    const LanguageRecord* record = GetAnyLanguageRecord(LangIndex);
    if (!record)
        return Default;
    const int cp = CodePage != 0 ? CodePage : CodePageOf(record);
    bool found = false;
    std::string section;
    std::string key;
    std::string text = lookupUtf8(AsUtf8(Section, cp, section), AsUtf8(Key, cp, key), Index, record, found, 0);
    return found ? TakeFromUtf8(std::move(text), cp) : Default;
}

std::string VTixLanguage::GetLangTextSuff(const std::string& Section, const std::string& Key,
                                          const std::string& Default) const
{
    return GetLangTextSuff(Section, Key, Default, -1, -1);
}

std::string VTixLanguage::GetLangTextSuff(const std::string& Section, const std::string& Key,
                                          const std::string& Default, int Index) const
{
    return GetLangTextSuff(Section, Key, Default, Index, -1);
}

std::string VTixLanguage::GetLangTextSuff(const std::string& Section, const std::string& Key,
                                          const std::string& Default, int Index,
                                          int LangIndex) const
{
    const std::string section = allFormsSuffix_.empty() ? Section : Section + "." + allFormsSuffix_;
    return GetLangText(section, Key, Default, Index, LangIndex);
}

std::string VTixLanguage::GetLangTextA(const std::string& Section, const std::string& Key,
                                       const std::string& Default, int Index, int LangIndex) const
{
    return GetLangText(Section, Key, Default, Index, LangIndex);
}

std::u16string VTixLanguage::GetLangTextW(const std::string& Section, const std::string& Key,
                                          const std::u16string& Default) const
{
    return GetLangTextW(Section, Key, Default, -1, -1, nullptr);
}

std::u16string VTixLanguage::GetLangTextW(const std::string& Section, const std::string& Key,
                                          const std::u16string& Default, int Index, int LangIndex,
                                          bool* found) const
{
    if (found)
        *found = false;
    const LanguageRecord* record = GetAnyLanguageRecord(LangIndex);
    const int cp = CodePageOf(record);
    if (Section.empty())
        return Platform::AnsiToUtf16(Key, cp);
    if (Key.empty() || !record)
        return Default;
    bool hit = false;
    std::string section;
    std::string key;
    const std::string text = lookupUtf8(AsUtf8(Section, cp, section), AsUtf8(Key, cp, key), Index, record, hit, 0);
    if (!hit)
        return Default;
    if (found)
        *found = true;
    return Tixutils::DecodeUTF8(text);
}

std::string VTixLanguage::GetLangTextUtf8(const std::string& Section, const std::string& Key,
                                          const std::string& Default) const
{
    const LanguageRecord* record = GetActiveLangRecord();
    if (!record)
        record = GetAnyLanguageRecord(-1);
    const int cp = CodePageOf(record);
    if (Section.empty())
        return ToUtf8(Key, cp);
    if (Key.empty() || !record)
        return Default;
    bool found = false;
    std::string section;
    std::string key;
    const std::string text = lookupUtf8(AsUtf8(Section, cp, section), AsUtf8(Key, cp, key), -1, record, found, 0);
    return found ? text : Default;
}

std::string VTixLanguage::GetSimpleText(const std::string& Key) const
{
    if (Key.empty())
        return std::string();
    return GetLangText(defaultSection_, Key, Key);
}

// ---- Writing texts ------------------------------------------------------

void VTixLanguage::SetLangText(const std::string& Section, const std::string& Key,
                               const std::string& Text)
{
    SetLangText(Section, Key, Text, -1, 0);
}

void VTixLanguage::SetLangText(const std::string& Section, const std::string& Key,
                               const std::string& Text, int Index)
{
    SetLangText(Section, Key, Text, Index, 0);
}

void VTixLanguage::SetLangText(const std::string& Section, const std::string& Key,
                               const std::string& Text, int Index, int LangIndex)
{
    if (Section.empty() || Key.empty())
        return;
    LanguageRecord* record = GetAnyLanguageRecord(LangIndex);
    if (!record)
        return;
    const int cp = CodePageOf(record);
    if (!record->HasFile) {
        SetCachedText(ToUtf8(Section, cp), ToUtf8(Key, cp), record->Cache, Index, ToUtf8(Text, cp));
        cachesChanged();
    }
    // A language that exists only as built-in text has no file to write to.
    if (record->ConfigFile.empty())
        return;
    const std::string value = Tixutils::TixQuotedStr(record->IsUTF8 ? ToUtf8(Text, cp) : Text);
    files_->WriteString(record->ConfigFile, Section, IndexedKey(Key, Index), value);
}

void VTixLanguage::SetSimpleText(const std::string& Key, const std::string& Text)
{
    if (GetActiveLangRecord())
        SetLangText(defaultSection_, Key, Text);
}

void VTixLanguage::SetCachedText(const std::string& Section, const std::string& Key,
                                 Tixlanguage::TLangCache& Cache, int Index, const std::string& Text)
{
    if (Key.empty())
        return;
    const std::string prefix = IndexedKey(Key, Index) + "=";
    const std::string line = prefix + Tixutils::AnsiQuotedStr(Text);
    const std::string header = "[" + Section + "]";
    const bool wasIndexed = Cache.Indexed();
    std::vector<std::string>& lines = Cache.EditLines();
    size_t h = 0;
    while (h < lines.size() && Tixlanguage::TrimLine(lines[h]) != header)
        ++h;
    bool changed = false;
    if (h < lines.size()) {
        size_t j = h + 1;
        bool replaced = false;
        for (; j < lines.size(); ++j) {
            const std::string t = Tixlanguage::TrimLine(lines[j]);
            if (t.empty() || Tixlanguage::IsSectionHeader(t))
                break;
            if (lines[j].compare(0, prefix.size(), prefix) == 0) {
                if (lines[j] != line) {
                    lines[j] = line;
                    changed = true;
                }
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            lines.insert(lines.begin() + std::ptrdiff_t(j), line);
            changed = true;
        }
    } else {
        if (!lines.empty() && !Tixlanguage::TrimLine(lines.back()).empty())
            lines.push_back(std::string());
        lines.push_back(header);
        lines.push_back(line);
        changed = true;
    }
    if (!changed)
        return;
    Cache.ClearIndex();
    if (wasIndexed)
        Tixlanguage::IndexAndSortCache(Cache);
}

// ---- Locale values and conversions --------------------------------------

std::string VTixLanguage::LocaleTypeToName(int LocaleType) { return Tixlanguage::LocaleTypeToName(LocaleType); }

std::string VTixLanguage::GetLocaleStr(int Locale, int LocaleType, const std::string& Default)
{
    const std::string system = Tixlanguage::SystemLocaleInfo(Locale, LocaleType);
    if (!system.empty())
        return FromUtf8(system, CodePageOfId(Locale));
    VTixLanguage* global = GlobalInstance();
    if (global) {
        const std::string& name = Tixlanguage::LocaleTypeToName(LocaleType);
        if (!name.empty()) {
            const std::string text = global->GetLangText("General", name, "", -1, Locale);
            if (!text.empty())
                return text;
        }
    }
    return Default;
}

std::vector<std::string> VTixLanguage::GetLocaleStrs(int Locale, const std::vector<int>& LocaleTypes)
{
    std::vector<std::string> out(LocaleTypes.size());
    std::vector<const std::string*> names;
    std::vector<size_t> where;
    names.reserve(LocaleTypes.size());
    where.reserve(LocaleTypes.size());
    for (size_t k = 0; k < LocaleTypes.size(); ++k) {
        const std::string system = Tixlanguage::SystemLocaleInfo(Locale, LocaleTypes[k]);
        if (!system.empty()) {
            out[k] = FromUtf8(system, CodePageOfId(Locale));
            continue;
        }
        const std::string& name = Tixlanguage::LocaleTypeToName(LocaleTypes[k]);
        if (!name.empty()) {
            names.push_back(&name);
            where.push_back(k);
        }
    }
    VTixLanguage* global = GlobalInstance();
    if (!global || names.empty())
        return out;
    std::vector<std::string> texts = global->langTexts("General", names, Locale);
    for (size_t m = 0; m < names.size(); ++m)
        out[where[m]] = std::move(texts[m]);
    return out;
}

std::string VTixLanguage::GetLangName(int Id, const std::string& Default)
{
    const std::string name = GetLocaleStr(Id, Tixlanguage::LOCALE_SNATIVELANGNAME, Default);
    const int cp = CodePageOfId(Id);
    QString q = Platform::ToQString(name, cp);
    for (qsizetype i = 0; i < q.size(); ++i)
        if (i == 0 || q[i - 1] == QLatin1Char('('))
            q[i] = q[i].toUpper();
    return Platform::FromQString(q, cp);
}

int VTixLanguage::GetCharsetFromFile(int Id, int DefaultCharset,
                                     const Tixlanguage::TLangCache* Cache,
                                     const std::string& FileName) const
{
    int charset = DefaultCharset;
    if (Id != -1) {
        const int cp = Tixlanguage::ParseLangNumber(
            GetLocaleStr(Id, Tixlanguage::LOCALE_IDEFAULTANSICODEPAGE, "1"), 1);
        charset = Tixlanguage::CharsetOfCodePage(cp, DefaultCharset);
    }
    std::string value = std::to_string(charset);
    if (Cache) {
        bool found = false;
        std::string rest;
        const std::string raw = Tixlanguage::TixFindInIni("General", "LanguageCharset", "", found, rest, *Cache);
        if (found)
            value = Tixutils::TixExtractQuotedStr(raw);
    } else {
        std::string buffer;
        Tixlanguage::QuickReadKey("General", "LanguageCharset", value, FileName, 200, buffer);
        value = buffer;
    }
    std::string name = Tixlanguage::TrimLine(value);
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    if (name.empty())
        return charset;
    const std::string suffix = "_CHARSET";
    if (!Tixutils::CutSuffix(name, suffix, false))
        name += suffix;
    int known = 0;
    if (Tixlanguage::CharsetOfName(name, known))
        return known;
    const std::string bare = name.substr(0, name.size() - suffix.size());
    if (bare == "VIETNAMESE")
        return Tixlanguage::VIETNAMESE_CHARSET;
    return Tixlanguage::ParseLangNumber(bare, charset);
}

std::u16string VTixLanguage::StrToWide(const std::string& Text, int LanguageId)
{
    const int cp = CodePageOfId(LanguageId);
    std::u16string wide = Platform::AnsiToUtf16(Text, cp);
    if (Platform::Utf16ToAnsi(wide, cp) != Text)
        throw std::runtime_error("problem in StrToWide/WideToStr");
    return wide;
}

std::string VTixLanguage::WideToStr(const std::u16string& Text, int LanguageId, char DefaultChar,
                                    bool* UsedDefault)
{
    return WideToStrCP(Text, CodePageOfId(LanguageId), DefaultChar, UsedDefault);
}

std::string VTixLanguage::WideToStrCP(const std::u16string& Text, int CodePage, char DefaultChar,
                                      bool* UsedDefault)
{
    bool lossy = false;
    std::string out = Platform::Utf16ToAnsi(Text, CodePage, DefaultChar, &lossy);
    // The Macintosh code pages keep the degree sign where the tables lose it.
    if ((CodePage == 10000 || CodePage == 10010 || CodePage == 10079) && out.size() == Text.size())
        for (size_t i = 0; i < Text.size(); ++i)
            if (Text[i] == u'\u00B0')
                out[i] = char(176);
    if (UsedDefault)
        *UsedDefault = lossy;
    return out;
}

// ---- Forms ----------------------------------------------------------------

void VTixLanguage::UpdateAllTexts(QObject* Root)
{
    if (loading_ || !GetActiveLangRecord() || !formTranslator_)
        return;
    formTranslator_->UpdateAllTexts(Root);
}

void VTixLanguage::TranslateTree(const std::string& Section, QObject* Component)
{
    if (formTranslator_)
        formTranslator_->TranslateTree(Section, Component);
}
