#pragma once
#include <QLineEdit>
#include <QPointer>
#include <string>

#include "phonebook/ui/mf_edit_rules.h"
#include "phonebook/ui/mf_edit_types.h"
#include "platform/colors.h"

// A single-line edit with a colour for the focused state, a colour for a
// required field left empty, optional navigation by Enter and Esc, an
// optional upper-case first letter and a flat underlined look. Texts are
// byte strings in the active ANSI code page.
class TMFCustomEdit : public QLineEdit, public TMFEditRules {
    Q_OBJECT
public:
    explicit TMFCustomEdit(QWidget* Parent = nullptr);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);
    TEditStyle EditStyle() const { return m_editStyle; }
    // Applies the border and the colour of the style.
    void SetEditStyle(TEditStyle Value);
    TLineStyle LineStyle() const { return m_lineStyle; }
    void SetLineStyle(TLineStyle Value);
    bool FirstCharUpperCase() const { return m_firstCharUpperCase; }
    void SetFirstCharUpperCase(bool Value) { m_firstCharUpperCase = Value; }
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool Value) { m_autoSelect = Value; }

    // 0 means no limit.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int Value);

    // The component that owns the control, as the class library has an
    // owner besides the parent; none unless set. When it is a cell editor
    // (TVSTEditor) whose KeepControlEvents option is on, an Enter that no
    // rule takes is not consumed here but goes on to the parents.
    QObject* Owner() const { return m_owner; }
    void SetOwner(QObject* Value) { m_owner = Value; }

    std::string Text() const;
    void SetText(const std::string& Value);
    void Clear();

protected:
    // The text changed (typed, set or cleared): ChangeColors, then
    // NotifyChange.
    virtual void Change();
    // A required field follows its emptiness.
    void ChangeColors();
    void NotifyChange();
    // A key press: false when it was consumed (the key-down stage).
    virtual bool KeyDown(int& Key, Qt::KeyboardModifiers Shift);
    virtual void DoEnter();
    virtual void DoExit();
    bool FieldEmpty() const override { return text().isEmpty(); }
    // The normal colour, or the parent's for the underline look.
    TColor RestColor() const override;
    // Room kept free of text for the controls a descendant places inside.
    void SetReservedMargins(int Right, int Bottom);

    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    TAlignment m_alignment = taLeftJustify;
    TEditStyle m_editStyle = esCtl3D;
    TLineStyle m_lineStyle = lsRaised;
    bool m_firstCharUpperCase = false;
    bool m_autoSelect = true;
    int m_maxLength = 0;
    int m_reservedRight = 0;
    int m_reservedBottom = 0;

    QPointer<QObject> m_owner;

    void ApplyMargins();
    // A single-line edit swallows a left-over Enter (it would only beep),
    // except for the owner above.
    bool ConsumesEnter() const;
};
