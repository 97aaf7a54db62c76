#pragma once
#include <QComboBox>
#include <string>

#include "phonebook/ui/mf_color_rules.h"
#include "phonebook/ui/mf_edit_types.h"

enum TComboBoxStyle { csDropDown, csDropDownList };

// A combo box with the edits' colour, Required, Keys and upper-case first
// letter rules; Enter is consumed unless the list is dropped down.
class TMFCustomComboEdit : public QComboBox {
    Q_OBJECT
public:
    explicit TMFCustomComboEdit(QWidget* Parent = nullptr);

    // csDropDown: an edit with a list; csDropDownList: a list only.
    TComboBoxStyle Style() const { return isEditable() ? csDropDown : csDropDownList; }
    void SetStyle(TComboBoxStyle Value);
    std::string Text() const;
    void SetText(const std::string& Value);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int Value) { setCurrentIndex(Value); }
    // The index of the item with that text, -1 when there is none.
    int IndexOfItem(const std::string& Value) const;
    bool DroppedDown() const { return m_droppedDown; }

    bool FirstCharUpperCase() const { return m_firstCharUpperCase; }
    void SetFirstCharUpperCase(bool Value) { m_firstCharUpperCase = Value; }
    TColor FocusedColor() const { return m_colors.FocusedColor(); }
    void SetFocusedColor(TColor Value) { m_colors.SetFocusedColor(Value, hasFocus()); }
    bool Required() const { return m_colors.Required(); }
    void SetRequired(bool Value) { m_colors.SetRequired(Value, Empty(), hasFocus(), m_colors.NormalColor()); }
    TColor RequiredColor() const { return m_colors.RequiredColor(); }
    void SetRequiredColor(TColor Value) { m_colors.SetRequiredColor(Value, Empty()); }
    TKeySets Keys() const { return m_keys; }
    void SetKeys(TKeySets Value) { m_keys = Value; }
    TColor Color() const { return m_colors.Color(); }
    void SetColor(TColor Value) { m_colors.SetColor(Value); }

    TMFEditEvents Events;

    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    bool Empty() const { return currentText().isEmpty(); }
    void Change();

    TMFColorRules m_colors;
    TKeySets m_keys;
    bool m_firstCharUpperCase = false;
    bool m_droppedDown = false;
};

class TMFComboEdit : public TMFCustomComboEdit {
    Q_OBJECT
public:
    using TMFCustomComboEdit::TMFCustomComboEdit;
};
