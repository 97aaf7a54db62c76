// The language combo box and the language menu: one entry per language with
// its icon, the active language drawn bold; choosing an entry makes that
// language active.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <algorithm>

#include "platform/qt/qt_text.h"
#include "translation/forms/tixlanguage_forms.h"
#include "translation/tixlanguage.h"

namespace {

// Draws the active language of the list bold (the combo's own field is
// drawn by the combo and stays normal).
class ActiveLanguageDelegate : public QStyledItemDelegate {
public:
    ActiveLanguageDelegate(VTixLanguage* language, QObject* parent)
        : QStyledItemDelegate(parent), language_(language)
    {
    }
    void setLanguage(VTixLanguage* language) { language_ = language; }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (language_ && index.row() == language_->GetActiveIndex())
            option->font.setBold(true);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(std::max(s.height(), 16));
        return s;
    }

private:
    VTixLanguage* language_;
};

QString NameOf(const VTixLanguage& language, const LanguageRecord& record)
{
    return Platform::ToQString(record.LanguageName, language.CodePageOf(&record));
}

}  // namespace

QIcon VTixLanguageForms::ImageIcon(int imageIndex)
{
    if (!language_ || imageIndex < 0 || imageIndex >= int(language_->GetImages().size()))
        return QIcon();
    if (icons_.size() != language_->GetImages().size()) {
        icons_.assign(language_->GetImages().size(), QIcon());
        iconLoaded_.assign(language_->GetImages().size(), false);
    }
    if (!iconLoaded_[size_t(imageIndex)]) {
        iconLoaded_[size_t(imageIndex)] = true;
        const std::string& bytes = language_->GetImages()[size_t(imageIndex)];
        QPixmap pixmap;
        if (pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), uint(bytes.size())))
            icons_[size_t(imageIndex)] = QIcon(pixmap);
    }
    return icons_[size_t(imageIndex)];
}

void VTixLanguageForms::SetLangCombo(QComboBox* combo)
{
    if (combo == langCombo_)
        return;
    releaseLangCombo();
    langCombo_ = combo;
    if (!combo)
        return;
    combo->setItemDelegate(new ActiveLanguageDelegate(language_, combo));
    combo->setIconSize(QSize(16, 16));
    connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (language_ && index >= 0)
            language_->SelectLanguageIndex(index);
    });
    fillLangCombo();
}

void VTixLanguageForms::releaseLangCombo()
{
    if (!langCombo_)
        return;
    QComboBox* combo = langCombo_;
    langCombo_ = nullptr;
    disconnect(combo, nullptr, this, nullptr);
    combo->clear();
    combo->setItemDelegate(new QStyledItemDelegate(combo));
}

void VTixLanguageForms::SetLangMenu(QMenu* menu)
{
    if (menu == langMenu_)
        return;
    for (const QPointer<QAction>& a : menuActions_)
        delete a.data();
    menuActions_.clear();
    langMenu_ = menu;
    if (menu)
        menu->clear();
    if (menu && menu->icon().isNull())
        menu->setIcon(ImageIcon(1));
    fillLangMenu();
}

void VTixLanguageForms::fillLangCombo()
{
    if (!langCombo_ || !language_)
        return;
    const QSignalBlocker block(langCombo_);
    langCombo_->clear();
    for (const auto& record : language_->GetLanguages())
        langCombo_->addItem(ImageIcon(record->ImageIndex), NameOf(*language_, *record));
    langCombo_->setCurrentIndex(language_->GetActiveIndex());
}

void VTixLanguageForms::fillLangMenu()
{
    if (!langMenu_ || !language_)
        return;
    for (const QPointer<QAction>& a : menuActions_)
        delete a.data();
    menuActions_.clear();
    const auto& languages = language_->GetLanguages();
    for (size_t i = 0; i < languages.size(); ++i) {
        auto* action = new QAction(ImageIcon(languages[i]->ImageIndex), NameOf(*language_, *languages[i]),
                                   langMenu_);
        action->setData(int(i));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, i] {
            if (language_)
                language_->SelectLanguageIndex(int(i));
        });
        langMenu_->addAction(action);
        menuActions_.push_back(action);
    }
    updateLangIndexes();
}

void VTixLanguageForms::updateLangIndexes()
{
    if (!language_)
        return;
    const int active = language_->GetActiveIndex();
    if (langCombo_) {
        const QSignalBlocker block(langCombo_);
        langCombo_->setCurrentIndex(active);
        langCombo_->update();
    }
    for (size_t i = 0; i < menuActions_.size(); ++i) {
        QAction* a = menuActions_[i];
        if (!a)
            continue;
        a->setChecked(int(i) == active);
        QFont font = a->font();
        font.setBold(int(i) == active);
        a->setFont(font);
    }
}

void VTixLanguageForms::LanguagesChanged(bool updateComponents)
{
    if (updateComponents) {
        icons_.clear();
        iconLoaded_.clear();
        fillLangCombo();
        fillLangMenu();
    } else {
        updateLangIndexes();
    }
}
