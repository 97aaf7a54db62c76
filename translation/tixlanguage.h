#pragma once
#include <QObject>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "translation/language_files.h"
#include "translation/language_record.h"
#include "translation/language_text.h"

class VTixFormTranslator;

// Which item controls are translated by default, and options.
enum VTixLanguage_TranslateX {
    vtl_tComboBox,
    vtl_tMemo,
    vtl_tRichEdit,
    vtl_tEdit,
    vtl_tListBox,
    vtl_t_Charset,   // apply the language's font charset (no charsets under Qt)
    vtl_t_FixMenus,  // owner-drawn menus (Qt menus draw themselves)
    vtl_t_RichHTML,  // rich edits take the <B>/<I>/<U> tagged form
};
// Captions padded with one blank on each side.
enum VTixLanguage_PadX { vtl_pGroupBox, vtl_pRadioGroup };

// A small set of enumeration values.
template <typename E>
class VTixSet {
public:
    VTixSet() = default;
    VTixSet(std::initializer_list<E> items)
    {
        for (E e : items)
            Include(e);
    }
    bool Has(E e) const { return (bits_ >> unsigned(e)) & 1u; }
    void Include(E e) { bits_ |= 1u << unsigned(e); }
    void Exclude(E e) { bits_ &= ~(1u << unsigned(e)); }
    bool operator==(const VTixSet&) const = default;

private:
    uint32_t bits_ = 0;
};
using VTixLanguage_Translate = VTixSet<VTixLanguage_TranslateX>;
using VTixLanguage_Pad = VTixSet<VTixLanguage_PadX>;

// The translation component: every user-visible text of the program comes
// from it, looked up by section and key with the caller's Czech text as the
// default. It keeps the built-in languages and the ".lng" files found in
// CfgDirectory and RuntimeDirs, the active language, and the process-wide
// locale formats of that language. Forms are translated through a
// VTixFormTranslator (translation_forms) that registers itself; without
// one the component still serves texts, which is all the engine needs.
//
// Texts go in and out in the ANSI code page of the language (1250 Czech,
// 1252 English); GetLangTextCP gives them in another code page, the
// program's system code page. Index -1 means no item index; LangIndex is
// a language id, -1 the active language.
//
// Set-up by the main window (after the QApplication exists; Qt's
// application object calls setlocale(LC_ALL, ""), so the program sets
// LC_NUMERIC back to "C" right after creating it, or printf-style numbers
// get decimal commas):
//     auto* lang = new VTixLanguage(this);            // VTixLanguage1
//     lang->SetDefaultSection("Texts");
//     lang->Translate = {vtl_tRichEdit, vtl_t_Charset, vtl_t_RichHTML};
//     lang->ExceptionList = {"FormAbout.MemoAddress", "FormAbout.MemoContact"};
//     lang->UseBuiltInTexts();
//     lang->OnChangeLanguage = [this](VTixLanguage* s) { ... };
//     lang->OnTranslated = [this](VTixLanguage* s, QObject* c, const std::string& section) { ... };
//     auto* forms = new VTixLanguageForms(lang);      // translation_forms
//     forms->SetLangCombo(formOptions->ComboLang);
//     lang->Loaded();            // once the windows exist: it translates them
//     lang->SetCurrLanguage(VTixLanguage::ReadLanguageChoice());
// and when the configuration is saved: lang->WriteLanguageChoice().
// Texts of new keys go into translation/builtin/Czech.lng and English.lng
// (UTF-8), both files always holding the same keys.
class VTixLanguage : public QObject {
    Q_OBJECT
public:
    explicit VTixLanguage(QObject* owner = nullptr);
    ~VTixLanguage() override;
    VTixLanguage(const VTixLanguage&) = delete;
    VTixLanguage& operator=(const VTixLanguage&) = delete;

    // The first component created in the process (class-level conversions
    // and GetLocaleStr use it); null once it is destroyed.
    static VTixLanguage* GlobalInstance();

    // ---- Set-up -------------------------------------------------------
    // Ends the set-up: upgrades settings stored with an older Version,
    // then Loaded2. Call once, after the properties are set and the forms
    // exist (windows made later are translated when the event loop runs).
    void Loaded();
    // Builds the records from the startup texts, scans the language files
    // and activates a language.
    void Loaded2();
    bool IsLoading() const { return loading_; }

    // The built-in texts (Qt resources): Czech and English, and the "Any",
    // neutral Czech and neutral English records.
    static std::vector<std::string> BuiltInLanguages();
    static std::vector<std::string> BuiltInAnyLanguages();
    // StartupLanguages and StartupAnyLanguages := the built-in texts.
    void UseBuiltInTexts();

    // ---- Properties ---------------------------------------------------
    const std::string& GetVersion() const { return version_; }
    // Taken only while loading (a stored setting).
    void SetVersion(const std::string& v);
    // Each string a whole language text; taken only while loading.
    void SetStartupLanguages(std::vector<std::string> texts);
    void SetStartupAnyLanguages(std::vector<std::string> texts);
    const std::vector<std::string>& GetStartupLanguages() const { return startupLanguages_; }
    const std::vector<std::string>& GetStartupAnyLanguages() const { return startupAnyLanguages_; }
    // Searched first for "*.lng" files ("." = the current directory).
    const std::string& GetCfgDirectory() const { return cfgDirectory_; }
    void SetCfgDirectory(const std::string& dir);
    // Further directories (an entry may hold several separated by ";").
    const std::vector<std::string>& GetRuntimeDirs() const { return runtimeDirs_; }
    void SetRuntimeDirs(std::vector<std::string> dirs);
    const std::string& GetDesignCfgDirectory() const { return designCfgDirectory_; }
    void SetDesignCfgDirectory(const std::string& dir) { designCfgDirectory_ = dir; }
    const std::vector<std::string>& GetDesignDirs() const { return designDirs_; }
    // Design-time folders (no design time here; kept with the settings).
    void SetDesignDirs(std::vector<std::string> dirs);
    void AddToDesignDirs(const std::string& dir);
    const std::string& GetLangRoot() const { return langRoot_; }
    void SetLangRoot(const std::string& root) { langRoot_ = root; }
    const std::vector<std::string>& GetExcludedSections() const { return excludedSections_; }
    void SetExcludedSections(std::vector<std::string> sections);
    // Section of GetSimpleText/SetSimpleText ("Texts").
    const std::string& GetDefaultSection() const { return defaultSection_; }
    void SetDefaultSection(const std::string& s) { defaultSection_ = s; }
    // Form sections become "Form.Suffix"; a leading "." is dropped.
    const std::string& GetAllFormsSuffix() const { return allFormsSuffix_; }
    void SetAllFormsSuffix(const std::string& suffix);
    // Registry key (below the user's root) of text overrides; empty: none.
    const std::string& GetRegistryPath() const { return registryPath_; }
    void SetRegistryPath(const std::string& path) { registryPath_ = path; }

    // Form translation settings (used by the form translator).
    VTixLanguage_Translate Translate{vtl_t_Charset};
    VTixLanguage_Pad Pad{vtl_pGroupBox, vtl_pRadioGroup};
    // Wildcard patterns of "Section.Component" that invert the rules.
    std::vector<std::string> ExceptionList;
    void SetLines(const std::vector<std::string>& lines) { ExceptionList = lines; }

    // ---- Events -------------------------------------------------------
    std::function<void(VTixLanguage* Sender)> OnChangingLanguage;
    std::function<void(VTixLanguage* Sender)> OnChangeLanguage;
    // After each translated component, with its section.
    std::function<void(VTixLanguage* Sender, QObject* Component, const std::string& Form)> OnTranslated;
    // May veto the charset of one control (kept for completeness: Qt fonts
    // have no charset, so it is never asked).
    std::function<void(VTixLanguage* Sender, QObject* Component, bool& Allow, int Charset)>
        OnTranslateCharset;

    // ---- Text lookup --------------------------------------------------
    std::string GetLangText(const std::string& Section, const std::string& Key,
                            const std::string& Default) const;
    std::string GetLangText(const std::string& Section, const std::string& Key,
                            const std::string& Default, int Index) const;
    std::string GetLangText(const std::string& Section, const std::string& Key,
                            const std::string& Default, int Index, int LangIndex) const;
    std::string GetLangTextSuff(const std::string& Section, const std::string& Key,
                                const std::string& Default) const;
    std::string GetLangTextSuff(const std::string& Section, const std::string& Key,
                                const std::string& Default, int Index) const;
    std::string GetLangTextSuff(const std::string& Section, const std::string& Key,
                                const std::string& Default, int Index, int LangIndex) const;
    // GetLangText with the text in CodePage rather than the language's:
    // a text of the language is converted (a letter CodePage lacks becomes
    // "?"), the default, given in CodePage, comes back unchanged. The
    // program takes its texts this way, in the system code page of its
    // data, so that a message mixes the two without changing letters.
    std::string GetLangTextCP(const std::string& Section, const std::string& Key,
                              const std::string& Default, int Index, int CodePage) const;
    // The same as GetLangText: texts are always given in the ANSI code page.
    std::string GetLangTextA(const std::string& Section, const std::string& Key,
                             const std::string& Default, int Index, int LangIndex) const;
    // Unicode default in, Unicode text out; found (when given) tells whether
    // the language had a text (else the default came back).
    std::u16string GetLangTextW(const std::string& Section, const std::string& Key,
                                const std::u16string& Default) const;
    std::u16string GetLangTextW(const std::string& Section, const std::string& Key,
                                const std::u16string& Default, int Index, int LangIndex,
                                bool* found = nullptr) const;
    // UTF-8 default in, UTF-8 text out.
    std::string GetLangTextUtf8(const std::string& Section, const std::string& Key,
                                const std::string& Default) const;
    // GetLangText(DefaultSection, Key, Key); empty for an empty key.
    std::string GetSimpleText(const std::string& Key) const;

    // Writes a text: into the cache of a language without a file, into the
    // language's file otherwise. The shorter forms write into the language
    // with id 0 ("Any").
    void SetLangText(const std::string& Section, const std::string& Key, const std::string& Text);
    void SetLangText(const std::string& Section, const std::string& Key, const std::string& Text,
                     int Index);
    void SetLangText(const std::string& Section, const std::string& Key, const std::string& Text,
                     int Index, int LangIndex);
    void SetSimpleText(const std::string& Key, const std::string& Text);
    // Puts Key (or Key_Index) = "Text" into the section of a cache (UTF-8);
    // an indexed cache is indexed again.
    static void SetCachedText(const std::string& Section, const std::string& Key,
                              Tixlanguage::TLangCache& Cache, int Index, const std::string& Text);

    // ---- Languages ----------------------------------------------------
    // -1: the active record (else "Any"); an id with a sublanguage is
    // searched among the languages, others among the neutral records.
    LanguageRecord* GetAnyLanguageRecord(int LangIndex) const;
    LanguageRecord* GetActiveLangRecord() const;
    std::string GetCurrLanguage() const;
    int GetCurrLanguageId() const;
    bool GetCurrentUTF8() const;
    std::string GetConfigFile() const;
    int GetLanguageImageIndex(int LangIndex) const;
    // The ANSI code page of a record (from LOCALE_IDEFAULTANSICODEPAGE).
    int CodePageOf(const LanguageRecord* record) const;

    // The language the user chose last, remembered in the registry
    // ("Options\General", value "Language"; "Česky" when none), and
    // remembering the active one there.
    static std::string ReadLanguageChoice();
    void WriteLanguageChoice() const;

    // Selects by name: exact first, then ignoring letter case.
    void SetCurrLanguage(const std::string& Name);
    void SetCurrLanguageId(int Id);
    // The index into GetLanguages(); the combo box and menu select by it.
    int GetActiveIndex() const { return activeIndex_; }
    void SelectLanguageIndex(int index);

    const std::vector<std::unique_ptr<LanguageRecord>>& GetLanguages() const { return languages_; }
    const std::vector<std::unique_ptr<LanguageRecord>>& GetAnyLanguages() const { return anyLanguages_; }

    // Rescans the language files and rebuilds the records.
    void updateLanguages(bool UpdateComponents);
    // Applies the active language: its file, locale formats, all forms.
    void DoChangeLanguage();

    // Locale value: the system's table first, then the language's
    // [General] "LOCALE_" key, then Default.
    static std::string GetLocaleStr(int Locale, int LocaleType, const std::string& Default);
    // GetLocaleStr(Locale, LocaleTypes[k], "") for every k at once: the
    // language files are walked once for all the types, not once per type.
    static std::vector<std::string> GetLocaleStrs(int Locale, const std::vector<int>& LocaleTypes);
    static std::string LocaleTypeToName(int LocaleType);
    // LOCALE_SNATIVELANGNAME with the first letter (and those after "(")
    // in upper case.
    static std::string GetLangName(int Id, const std::string& Default);
    // The font charset: from the code page, overridden by "LanguageCharset"
    // of [General] (read from Cache when given, else from FileName).
    int GetCharsetFromFile(int Id, int DefaultCharset, const Tixlanguage::TLangCache* Cache,
                           const std::string& FileName = std::string()) const;

    // Class-level conversions with the code page of a language id (-1: the
    // global component's current language). StrToWide throws
    // std::runtime_error("problem in StrToWide/WideToStr") when the text
    // does not come back unchanged.
    static std::u16string StrToWide(const std::string& Text, int LanguageId = -1);
    static std::string WideToStr(const std::u16string& Text, int LanguageId = -1,
                                 char DefaultChar = '?', bool* UsedDefault = nullptr);
    static std::string WideToStrCP(const std::u16string& Text, int CodePage, char DefaultChar = '?',
                                   bool* UsedDefault = nullptr);

    // ---- Icons --------------------------------------------------------
    // Image list: encoded pictures (PNG or ICO bytes); 0 "LANG_WHITEBOARD",
    // 1 "LANG_TWOFLAGS", then the languages' icons, named "%04.4X".
    const std::vector<std::string>& GetImages() const { return images_; }
    const std::vector<std::string>& GetImageNames() const { return imageNames_; }
    void updateCachedIcon(LanguageRecord& record);
    // Appends IconString (the icon file as hex) and the LOCALE_ values the
    // system knows to the ".lng" file of the same name.
    void ConvertIconToString(const std::string& FileName);
    // Converts another program's language file "WCMD_<code>.<ext>" (lines
    // "n=text") into "<code>.lng" beside it: [General] with LanguageName,
    // LanguageNameWC and LanguageId ("unknown, <code>" when the code names
    // no language the system knows), [Common] with the words Yes, No, OK,
    // Cancel, Help, Apply, Background and Skip of the source's entries 1 to
    // 8 without their "&", and [Common.Shortcuts] with them as written.
    // False for another name, an unreadable source or a target that exists.
    bool ConvertWinCmdLang(const std::string& FileName);

    // Where the language files are read and written (not owned; the disk
    // when null).
    void SetLanguageFiles(Tixlanguage::TLanguageFiles* files)
    {
        files_ = files ? files : &Tixlanguage::TLanguageFiles::Disk();
    }

    // ---- Forms ----------------------------------------------------------
    void SetFormTranslator(VTixFormTranslator* translator) { formTranslator_ = translator; }
    VTixFormTranslator* GetFormTranslator() const { return formTranslator_; }
    // Translates every form under Root (all forms when null).
    void UpdateAllTexts(QObject* Root = nullptr);
    void TranslateTree(const std::string& Section, QObject* Component);

    // ---- Text-format helpers --------------------------------------------
    static void reSortCachedList(Tixlanguage::TLangCache& cache) { Tixlanguage::IndexAndSortCache(cache); }
    static void joinJoinedLines(std::vector<std::string>& lines) { Tixlanguage::JoinContinuationLines(lines); }

private:
    // A registry key whose subkeys are sections and whose values are keys.
    struct OverrideSource {
        std::string keyPath;
    };

    // GetLangText with the text in CodePage, 0 for the language's own.
    std::string textIn(const std::string& Section, const std::string& Key, const std::string& Default, int Index,
                       int LangIndex, int CodePage) const;
    // UTF-8 text of a key (section and key not empty) in record, empty when
    // not found.
    std::string lookupUtf8(const std::string& Section, const std::string& Key, int Index,
                           const LanguageRecord* record, bool& found, int depth) const;
    std::string cachedTextUtf8(const std::string& Section, const std::string& Key,
                               const LanguageRecord* record, int Index, bool& found,
                               int depth) const;
    // GetLangText(Section, *Keys[k], "", -1, LangIndex) for every k, each
    // section of the language walked once for all keys.
    std::vector<std::string> langTexts(const std::string& Section, const std::vector<const std::string*>& Keys,
                                       int LangIndex) const;
    // cachedTextUtf8(Section, *Keys[k], record, -1, found[k], 0) for every k
    // (texts and found sized as Keys).
    void cachedTextsUtf8(const std::string& Section, const std::vector<const std::string*>& Keys,
                         const LanguageRecord* record, std::vector<std::string>& texts,
                         std::vector<bool>& found) const;
    bool overrideText(const std::string& Section, const std::string& Key, std::string& value) const;
    LanguageRecord* anyRecordWithId(int id) const;
    // The record a text missing in record is looked up in next; null at
    // the end of the chain.
    const LanguageRecord* fallbackRecord(const LanguageRecord* record) const;
    // Record built from a whole language text (ANSI or UTF-8 with BOM).
    std::unique_ptr<LanguageRecord> recordFromText(const std::string& text, int knownId);
    // Merges a file's text over the record's cache (ownFile: it is the
    // record's own file, whose encoding later writes keep).
    void loadTextInto(LanguageRecord& record, const std::string& text, bool ownFile);
    std::string ownText(const LanguageRecord& record, const std::string& key) const;
    void refreshRecordDetails(LanguageRecord& record);
    void clampActiveIndex();
    void sortLanguages();
    void rebuildOverrideSources();
    void takeFile(const std::string& path, const std::string& text, int pass);
    void cachesChanged() { ++cacheGeneration_; }
    // Images 0 and 1 of the image list.
    void loadBuiltInImages();

    bool loading_ = true;
    bool versionStored_ = false;
    std::string version_ = "1.09";
    std::vector<std::string> startupLanguages_;
    std::vector<std::string> startupAnyLanguages_;
    std::string cfgDirectory_ = ".";
    std::string designCfgDirectory_ = "Exe";
    std::vector<std::string> runtimeDirs_;
    std::vector<std::string> designDirs_;
    std::string langRoot_ = " ";
    std::vector<std::string> excludedSections_;
    std::string defaultSection_ = "Texts";
    std::string allFormsSuffix_;
    std::string registryPath_;

    std::vector<std::unique_ptr<LanguageRecord>> languages_;
    std::vector<std::unique_ptr<LanguageRecord>> anyLanguages_;
    int activeIndex_ = -1;
    std::vector<std::unique_ptr<OverrideSource>> overrides_;
    std::vector<std::string> images_;
    std::vector<std::string> imageNames_;
    VTixFormTranslator* formTranslator_ = nullptr;
    Tixlanguage::TLanguageFiles* files_ = &Tixlanguage::TLanguageFiles::Disk();
    uint64_t cacheGeneration_ = 1;
};
