#include "app/sca_combo_box.h"

#include <QComboBox>

#include "platform/qt/qt_text.h"

TSCAComboBox::TSCAComboBox(QComboBox* combo) : combo_(combo) {}

int TSCAComboBox::count() const
{
    return combo_ ? combo_->count() : 0;
}

std::string TSCAComboBox::item(int index) const
{
    return combo_ && index >= 0 && index < combo_->count() ? Platform::FromQString(combo_->itemText(index))
                                                           : std::string();
}

void TSCAComboBox::clear()
{
    if (!combo_)
        return;
    combo_->clear();
    combo_->setCurrentIndex(-1);
    if (combo_->isEditable())
        combo_->setEditText(QString());
}

void TSCAComboBox::add(const std::string& text)
{
    if (!combo_)
        return;
    // A combo box selects its first item by itself: the selection and the
    // typed text stay as they were.
    const int selected = combo_->currentIndex();
    const QString typed = combo_->currentText();
    combo_->addItem(Platform::ToQString(text));
    if (combo_->currentIndex() != selected) {
        combo_->setCurrentIndex(selected);
        if (combo_->isEditable())
            combo_->setEditText(typed);
    }
}

int TSCAComboBox::itemIndex() const
{
    if (!combo_)
        return -1;
    const int selected = combo_->currentIndex();
    if (selected < 0 || (combo_->isEditable() && combo_->currentText() != combo_->itemText(selected)))
        return -1;
    return selected;
}

void TSCAComboBox::setItemIndex(int index)
{
    if (!combo_)
        return;
    combo_->setCurrentIndex(index >= 0 && index < combo_->count() ? index : -1);
    if (index < 0 && combo_->isEditable())
        combo_->setEditText(QString());
}

std::string TSCAComboBox::text() const
{
    return combo_ ? Platform::FromQString(combo_->currentText()) : std::string();
}

void TSCAComboBox::setText(const std::string& text)
{
    if (!combo_)
        return;
    if (combo_->isEditable()) {
        combo_->setCurrentIndex(-1);
        combo_->setEditText(Platform::ToQString(text));
    }
}
