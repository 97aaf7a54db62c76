#pragma once
#include <QComboBox>
#include <string>

#include "phonebook/ui/mf_edit_rules.h"
#include "phonebook/ui/mf_edit_types.h"

enum TComboBoxStyle { csDropDown, csDropDownList };

// A combo box with the edits' colour, Required, Keys and upper-case first
// letter rules; Enter is consumed unless the list is dropped down.
class TMFCustomComboEdit : public QComboBox, public TMFEditRules {
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

    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    bool FieldEmpty() const override { return currentText().isEmpty(); }
    void Change();

    bool m_firstCharUpperCase = false;
    bool m_droppedDown = false;
};

class TMFComboEdit : public TMFCustomComboEdit {
    Q_OBJECT
public:
    using TMFCustomComboEdit::TMFCustomComboEdit;
};
