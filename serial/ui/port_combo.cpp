// The port combo boxes of the serial port component (its widget side).
#include <QComboBox>

#include "foundation/qt/form_utils.h"
#include "platform/qt/qt_text.h"
#include "serial/vtscomm32.h"

bool TVTSComm32::SetCommComboBoxItems(QComboBox* ComboBox)
{
    std::string patterns;
    return SetCommComboBoxItems(ComboBox, patterns);
}

bool TVTSComm32::SetCommComboBoxItems(QComboBox* ComboBox, std::string& Patterns)
{
    if (!ComboBox) {
        Patterns.clear();
        return false;
    }
    std::vector<std::string> items;
    std::string switchedTo;
    std::string text = Platform::FromQString(ComboBox->currentText());
    if (!CommPortListItems(Patterns, items, &switchedTo))
        return false;
    if (!switchedTo.empty())
        text = switchedTo;

    // Refill only when the list changed, so that an open drop-down list
    // is left alone.
    bool same = ComboBox->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < ComboBox->count(); ++i)
        same = Platform::FromQString(ComboBox->itemText(i)) == items[static_cast<size_t>(i)];
    if (!same) {
        // Refilling resets the edit text; a combo box the user is typing in
        // gets it back.
        const QString typed = ComboBox->currentText();
        ComboBox->clear();
        for (const std::string& item : items)
            ComboBox->addItem(Platform::ToQString(item));
        if (ComboBox->hasFocus()) {
            const int index = ComboBox->findText(typed, Qt::MatchFixedString | Qt::MatchCaseSensitive);
            ComboBox->setCurrentIndex(index);
            if (index < 0 && ComboBox->isEditable())
                ComboBox->setEditText(typed);
        }
    }
    if (!ComboBox->hasFocus() && Platform::FromQString(ComboBox->currentText()) != text)
        return Tixutils::SetComboText(ComboBox, text);
    return true;
}

bool TVTSComm32::SetCommComboBoxIndex(QComboBox* ComboBox)
{
    return Tixutils::SetComboText(ComboBox, commPort_);
}
