#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "translation/language_text.h"

class VTixLanguage;

// One known language of the translation component: its identity, where its
// texts come from and the texts themselves. The component's two language
// lists own the records; each record owns its cache.
//
// The cache always holds UTF-8 text, whatever the file's encoding was: a
// file without a byte-order mark is converted from the language's ANSI
// code page when it is loaded. IsUTF8 tells how the text was written.
class LanguageRecord {
public:
    explicit LanguageRecord(VTixLanguage* owner) : Owner(owner) {}

    VTixLanguage* Owner;
    std::string LanguageName;   // shown in the combo box and menu (ANSI)
    int Charset = 1;            // font charset (DEFAULT_CHARSET until set)
    int ImageIndex = -1;        // icon in the component's image list
    std::string ConfigFile;     // full path of its file on disk; empty without one
    std::string FileName;       // "FileName" of [General]
    bool IsUserDefault = false;
    bool HasFile = false;
    bool IsUTF8 = false;
    Tixlanguage::TLangCache Cache;

    // The ANSI code page as last worked out, and for which state of the
    // caches (the component recomputes it after any cache changed).
    mutable int CachedCodePage = 0;
    mutable uint64_t CodePageGeneration = 0;

    int GetLanguageId() const { return languageId_; }
    // Also decides IsUserDefault and forgets the icon.
    void SetLanguageId(int id);

    // The icon of this language in the image list: found by the name
    // "%04.4X" of the id when that name is listed already, else taken from
    // iconBytes (an icon file) and added under that name.
    void SetLangIcon(std::vector<std::string>& imageNames, std::vector<std::string>& images,
                     const std::string& iconBytes);

private:
    int languageId_ = -1;
};
