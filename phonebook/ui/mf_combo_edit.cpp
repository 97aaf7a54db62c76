#include "phonebook/ui/mf_combo_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/qt/qt_text.h"

TMFCustomComboEdit::TMFCustomComboEdit(QWidget* Parent)
    : QComboBox(Parent), TMFEditRules(this, {QPalette::Base, QPalette::Button})
{
    SetStyle(csDropDown);
    connect(this, &QComboBox::currentTextChanged, this, [this] { Change(); });
}

void TMFCustomComboEdit::SetStyle(TComboBoxStyle Value)
{
    setEditable(Value == csDropDown);
    if (lineEdit())
        lineEdit()->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

std::string TMFCustomComboEdit::Text() const
{
    return Platform::FromQString(currentText());
}

void TMFCustomComboEdit::SetText(const std::string& Value)
{
    if (isEditable())
        setEditText(Platform::ToQString(Value));
    else
        setCurrentIndex(IndexOfItem(Value));
}

int TMFCustomComboEdit::IndexOfItem(const std::string& Value) const
{
    return findText(Platform::ToQString(Value), Qt::MatchExactly);
}

void TMFCustomComboEdit::showPopup()
{
    m_droppedDown = true;
    QComboBox::showPopup();
}

void TMFCustomComboEdit::hidePopup()
{
    QComboBox::hidePopup();
    m_droppedDown = false;
}

void TMFCustomComboEdit::Change()
{
    ColorsChanged();
    if (Events.OnChange)
        Events.OnChange(this);
}

void TMFCustomComboEdit::keyPressEvent(QKeyEvent* Event)
{
    if (RulesKey(Event, !m_droppedDown, [this](bool next) { focusNextPrevChild(next); }))
        return;
    if (m_firstCharUpperCase && isEditable() && FieldEmpty()) {
        if (const auto upper = MFUpperCasedKey(Event)) {
            QComboBox::keyPressEvent(upper.get());
            Event->setAccepted(upper->isAccepted());
            return;
        }
    }
    QComboBox::keyPressEvent(Event);
}

void TMFCustomComboEdit::focusInEvent(QFocusEvent* Event)
{
    QComboBox::focusInEvent(Event);
    if (Reported(Event))
        ColorsEntered();
}

void TMFCustomComboEdit::focusOutEvent(QFocusEvent* Event)
{
    if (Reported(Event))
        ColorsLeft();
    QComboBox::focusOutEvent(Event);
}
