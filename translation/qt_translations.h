#pragma once
#include <memory>
#include <string>

class QTranslator;

// Qt's own texts (the standard buttons of message boxes, the file dialog,
// the edit context menus) in the program's language: Qt's translation file
// "qtbase_<language>.qm" of the active language, installed in the
// application and switched with it. Where the file is missing (Debian's
// qt6-translations-l10n not installed, or a language Qt has no file for)
// Qt keeps its own English texts.
class VTixQtTranslations {
public:
    // Translations are looked up in folder; the default is Qt's own
    // translations folder.
    explicit VTixQtTranslations(std::string folder = DefaultFolder());
    ~VTixQtTranslations();  // takes its translation out of the application
    VTixQtTranslations(const VTixQtTranslations&) = delete;
    VTixQtTranslations& operator=(const VTixQtTranslations&) = delete;

    static std::string DefaultFolder();
    const std::string& Folder() const { return folder_; }

    // Installs the translation of a language identifier (0x0405 Czech) in
    // place of the one before; the same language again does nothing. True
    // when a translation file is installed now.
    bool SelectLanguage(int langId);
    // The language last selected (-1: none yet) and the file installed for
    // it (empty: Qt's English).
    int LanguageId() const { return langId_; }
    std::string FileName() const;

private:
    std::string folder_;
    int langId_ = -1;
    std::unique_ptr<QTranslator> translator_;
};
