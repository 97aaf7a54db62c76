#pragma once
#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "translation/form_translator.h"

class QFileDialog;
class QPainter;
class QTextEdit;
class VTixLanguage;

// The form side of the translation component (Qt Widgets): translates
// whole forms, translates forms created later once the event loop runs,
// and keeps the language combo box and menu. Created as a child of its
// VTixLanguage, it registers itself there; the component then translates
// every form on each change of language.
//
// A form's widgets are found by objectName; unnamed objects and Qt's own
// "qt_*" parts are passed through (their named children are translated).
// A form is a window (main window, dialog), a QDialog or QMainWindow
// embedded in another widget, or any widget with the property
// "tixForm" = true; its texts live in the section named after it.
//
// Keys for a component named N: N (caption), N_Hint (tool tip), N_Count and
// N_0, N_1, ... (items, lines, list-view columns), N_Filter and
// N_Filter_0, ... (file dialog filters). What N sets, by class:
// - form: window title; QFileDialog: window title and name filters;
// - buttons, check and radio buttons: text; QLabel: text, always as plain
//   text (a "<b>" from a language file is shown as it is written);
// - QGroupBox: title, padded to " x "; tab pages: their tab's text;
// - QMenu: title; QAction (menu items, actions): text; QToolBar: title;
// - QLineEdit: text (only by the vtl_tEdit rule);
// - any other object with a QString property "text" (the check and lamp
//   control): that text, trimmed when read;
// - item controls: QPlainTextEdit (memo) lines by vtl_tMemo, QTextEdit
//   (rich edit) by vtl_tRichEdit, QListWidget by vtl_tListBox, QComboBox by
//   vtl_tComboBox; list views (QTreeWidget, QTableWidget, item views with
//   a header) their columns; radio groups (a QGroupBox holding radio
//   buttons, or a widget with a QStringList property "items" and an int
//   property "itemIndex") their items, always, keeping the selection.
// - classes registered with RegisterControlClass (caption and hint through
//   the given accessors), tried before all of the above.
// ExceptionList patterns ("Form.Component") invert the rule of a match.
class VTixLanguageForms : public QObject, public VTixFormTranslator {
    Q_OBJECT
public:
    explicit VTixLanguageForms(VTixLanguage* language);
    ~VTixLanguageForms() override;

    VTixLanguage* Language() const { return language_; }

    // The options dialog's language combo box; never translated.
    QComboBox* GetLangCombo() const { return langCombo_; }
    void SetLangCombo(QComboBox* combo);
    // The menu whose items are the languages; its items are never translated.
    QMenu* GetLangMenu() const { return langMenu_; }
    void SetLangMenu(QMenu* menu);

    // VTixFormTranslator
    void UpdateAllTexts(QObject* root) override;
    void TranslateTree(const std::string& section, QObject* component) override;
    void LanguagesChanged(bool updateComponents) override;
    void LanguageGone() override;

    bool isReserved(QObject* component) const;
    // The icon of an image of the component's image list (null when none).
    QIcon ImageIcon(int imageIndex);

    // Draws an image of the image list in a cell 19 pixels wide at the
    // left of Rect, its top (height - 15) / 2 below Rect's. Unless the
    // background is drawn already, the cell is first filled with the menu
    // colour and, for a selected entry sunken, for a focused one raised,
    // framed in the button shadow and highlight colours. A missing image
    // leaves the cell empty.
    void PaintIcon(QPainter& Canvas, const QRect& Rect, int ImageIndex, bool BackgroundDrawn, bool Selected,
                   bool Focused);
    // PaintIcon with the image of a language (id; -1 the active one); the
    // background counts as drawn when WithBackground, and the entry is
    // never drawn selected. Bold concerns the name, which is not drawn
    // here. (An authoring helper; nothing in the program calls it.)
    void PaintLanguageIcon(QPainter& Canvas, const QRect& Rect, int Language, bool WithBackground, bool Focused,
                           bool Bold);
    // Draws a menu item's text 21 pixels right of Rect's left, vertically
    // centred, in the menu font, not bold; selected in the highlight text
    // colour, else in the menu text colour. (Nothing in the program calls
    // it.)
    void PaintMenuItemW(QObject* Sender, QPainter& Canvas, const std::u16string& Text, const QRect& Rect,
                        bool Selected);

    // Fills a rich edit from tagged text: <B>, <I>, <U> and their closing
    // tags add bold, italic, underline; &amp; &lt; &gt; give & < >. Nothing
    // else is interpreted (no HTML).
    static void SetRichEditStrings(QTextEdit* richEdit, const QString& text);

    // Teaches the translation a class it cannot link: objects that inherit
    // className get their caption and hint through these accessors (either
    // pair may be empty). For example the main window registers the check
    // and lamp control:
    //   forms->RegisterControlClass("TIACheckControl",
    //       [](QObject* o) { return ToQString(static_cast<TIACheckControl*>(o)->Text()); },
    //       [](QObject* o, const QString& t) { static_cast<TIACheckControl*>(o)->SetText(FromQString(t)); });
    using TextGetter = std::function<QString(QObject*)>;
    using TextSetter = std::function<void(QObject*, const QString&)>;
    void RegisterControlClass(const char* className, TextGetter getCaption, TextSetter setCaption,
                              TextGetter getHint = {}, TextSetter setHint = {});

    // Per-class accessors; the getters tell whether the class has the text.
    bool GetCaption(QObject* component, QString& caption) const;
    void SetCaption(QObject* component, const QString& caption) const;
    bool GetHint(QObject* component, QString& hint) const;
    void SetHint(QObject* component, const QString& hint) const;
    // A form in the sense above.
    static bool IsForm(QObject* object);

    // Writes the texts found on a component tree into the active language
    // (an authoring tool; nothing in the program calls it).
    void ExportTree(const std::string& section, QObject* component);
    void ExportAllTexts();
    void ExtractAllTexts(QObject* Sender) { (void)Sender; ExportAllTexts(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString lookup(const std::string& section, const QString& key, const QString& def, int index,
                   bool* found = nullptr) const;
    bool isException(const std::string& section, const QString& name) const;
    bool byRule(int member, bool exception) const;
    void translateChildren(const std::string& section, QObject* component);
    void translateItems(const std::string& section, QObject* component, const QString& name,
                        bool exception);
    // The item-list translation: N_Count lines N_0 ...; false when the
    // language has no count for N (the list stays as it is).
    bool translateList(const std::string& section, const QString& name, QStringList& list) const;
    void translateFilter(const std::string& section, QFileDialog* dialog, const QString& name);
    void translatePending();
    std::string formSection(QObject* form) const;
    void walkWithPrefix(QObject* object, const std::string& prefix, bool isRoot);
    void exportTree(const std::string& section, QObject* component, int langId);

    void fillLangCombo();
    void fillLangMenu();
    void updateLangIndexes();
    void releaseLangCombo();

    struct ControlClass {
        std::string className;
        TextGetter getCaption;
        TextSetter setCaption;
        TextGetter getHint;
        TextSetter setHint;
    };
    const ControlClass* registeredClass(QObject* component) const;

    VTixLanguage* language_;
    std::vector<ControlClass> controlClasses_;
    QPointer<QComboBox> langCombo_;
    QPointer<QMenu> langMenu_;
    std::vector<QPointer<QAction>> menuActions_;
    std::vector<QPointer<QWidget>> pending_;
    std::vector<QIcon> icons_;
    std::vector<bool> iconLoaded_;
    bool postedPending_ = false;
};
