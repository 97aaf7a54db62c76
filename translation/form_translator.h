#pragma once
#include <string>

class QObject;

// What the translation component needs of the form side (Qt Widgets), so
// that the component itself links only QtCore: the connection engine can
// look texts up without the widget library. translation_forms implements
// it (VTixLanguageForms) and registers itself with the component.
class VTixFormTranslator {
public:
    virtual ~VTixFormTranslator() = default;

    // Translates every form under root (all forms of the application when
    // root is null).
    virtual void UpdateAllTexts(QObject* root) = 0;
    // Translates component and everything below it with the given section.
    virtual void TranslateTree(const std::string& section, QObject* component) = 0;
    // The language list or the active language changed: refill the
    // language combo box and menu (updateComponents) or only move their
    // selection.
    virtual void LanguagesChanged(bool updateComponents) = 0;
    // The component is being destroyed: release the combo box and menu.
    virtual void LanguageGone() = 0;
};
