#include "phonebook/ui/mf_custom_edit.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>

#include "phonebook/ui/vst_editor.h"
#include "platform/qt/qt_text.h"

namespace {

// Qt's limit of a line edit; its 0 would allow nothing, ours means none.
constexpr int UnlimitedLength = 32767;

}  // namespace

TMFCustomEdit::TMFCustomEdit(QWidget* Parent)
    : QLineEdit(Parent), TMFEditRules(this, {QPalette::Base})
{
    resize(101, 21);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetMaxLength(0);
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
}

void TMFCustomEdit::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    setAlignment(ToQtAlignment(Value) | Qt::AlignVCenter);
}

void TMFCustomEdit::SetEditStyle(TEditStyle Value)
{
    m_editStyle = Value;
    setFrame(Value == esCtl3D);
    ApplyMargins();
    ColorsRefresh();
    update();
}

void TMFCustomEdit::SetReservedMargins(int Right, int Bottom)
{
    m_reservedRight = Right;
    m_reservedBottom = Bottom;
    ApplyMargins();
}

void TMFCustomEdit::ApplyMargins()
{
    const int border = m_editStyle == esCtl2D ? 1 : 0;
    setTextMargins(border, border, border + m_reservedRight, border + m_reservedBottom);
}

void TMFCustomEdit::SetLineStyle(TLineStyle Value)
{
    m_lineStyle = Value;
    if (m_editStyle == esUnderline)
        update();
}

void TMFCustomEdit::SetMaxLength(int Value)
{
    m_maxLength = std::max(Value, 0);
    setMaxLength(m_maxLength == 0 ? UnlimitedLength : m_maxLength);
}

std::string TMFCustomEdit::Text() const
{
    return Platform::FromQString(text());
}

void TMFCustomEdit::SetText(const std::string& Value)
{
    setText(Platform::ToQString(Value));
}

void TMFCustomEdit::Clear()
{
    clear();
    // Also when the text was empty already: no change was reported then.
    ColorsChanged();
}

TColor TMFCustomEdit::RestColor() const
{
    return m_editStyle == esUnderline ? ParentColorOf(this) : NormalColor();
}

void TMFCustomEdit::Change()
{
    ChangeColors();
    NotifyChange();
}

void TMFCustomEdit::ChangeColors()
{
    ColorsChanged();
}

void TMFCustomEdit::NotifyChange()
{
    if (Events.OnChange)
        Events.OnChange(this);
}

bool TMFCustomEdit::KeyDown(int& Key, Qt::KeyboardModifiers Shift)
{
    if (Events.OnKeyDown)
        Events.OnKeyDown(this, Key, Shift);
    return Key != 0;
}

void TMFCustomEdit::DoEnter()
{
    if (m_autoSelect && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        selectAll();
    ColorsEntered();
}

void TMFCustomEdit::DoExit()
{
    ColorsLeft();
}

void TMFCustomEdit::keyPressEvent(QKeyEvent* Event)
{
    int key = Event->key();
    if (!KeyDown(key, Event->modifiers())) {
        Event->accept();
        return;
    }
    if (MFNavigate(Event, Keys(), ConsumesEnter(), [this](bool next) { focusNextPrevChild(next); }))
        return;
    if (m_firstCharUpperCase && text().isEmpty()) {
        if (const auto upper = MFUpperCasedKey(Event)) {
            QLineEdit::keyPressEvent(upper.get());
            Event->setAccepted(upper->isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(Event);
}

bool TMFCustomEdit::ConsumesEnter() const
{
    const auto* editor = qobject_cast<const TVSTEditor*>(m_owner.data());
    return !(editor && editor->Options().KeepControlEvents);
}

void TMFCustomEdit::focusInEvent(QFocusEvent* Event)
{
    QLineEdit::focusInEvent(Event);
    if (Reported(Event))
        DoEnter();
}

void TMFCustomEdit::focusOutEvent(QFocusEvent* Event)
{
    if (Reported(Event))
        DoExit();
    QLineEdit::focusOutEvent(Event);
}

void TMFCustomEdit::paintEvent(QPaintEvent* Event)
{
    QLineEdit::paintEvent(Event);
    if (m_editStyle == esCtl3D)
        return;
    QPainter p(this);
    if (m_editStyle == esUnderline) {
        PaintUnderline(p, rect(), m_lineStyle);
    } else {
        p.setPen(Platform::ToQColor(clWindowFrame));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TMFCustomEdit::changeEvent(QEvent* Event)
{
    QLineEdit::changeEvent(Event);
    // The underline look takes the colour of whatever it sits on.
    if (Event->type() == QEvent::ParentChange && m_editStyle == esUnderline)
        ColorsRefresh();
}
