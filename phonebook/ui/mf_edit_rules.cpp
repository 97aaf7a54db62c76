#include "phonebook/ui/mf_edit_rules.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include "platform/qt/qt_text.h"

Qt::Alignment ToQtAlignment(TAlignment Value)
{
    switch (Value) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

TAlignment FromQtAlignment(Qt::Alignment Value)
{
    if (Value & Qt::AlignRight)
        return taRightJustify;
    if (Value & Qt::AlignHCenter)
        return taCenter;
    return taLeftJustify;
}

TMFEditRules::TMFEditRules(QWidget* Control, std::initializer_list<QPalette::ColorRole> Roles)
    : m_control(Control), m_roles(Roles)
{
    SetColor(clWindow);
    m_normal = m_color;
}

void TMFEditRules::SetColor(TColor Value)
{
    m_color = Value;
    QPalette pal = m_control->palette();
    const QColor c = Platform::ToQColor(Value);
    for (QPalette::ColorRole role : m_roles)
        pal.setColor(role, c);
    m_control->setPalette(pal);
}

void TMFEditRules::SetFocusedColor(TColor Value)
{
    m_focusedColor = Value;
    if (m_control->hasFocus())
        SetColor(Value);
}

void TMFEditRules::SetRequired(bool Value)
{
    if (m_required == Value)
        return;
    m_required = Value;
    // Off: the colour at rest; on: an empty field is marked now, not only
    // after its next change.
    if (!m_control->hasFocus())
        SetColor(Value && FieldEmpty() ? m_requiredColor : RestColor());
}

void TMFEditRules::SetRequiredColor(TColor Value)
{
    const bool shown = m_required && FieldEmpty() && m_color == m_requiredColor;
    m_requiredColor = Value;
    if (shown)
        SetColor(Value);
}

void TMFEditRules::ColorsEntered()
{
    if (m_color != m_requiredColor)
        m_normal = m_color;
    SetColor(m_focusedColor);
}

void TMFEditRules::ColorsLeft()
{
    SetColor(m_required && FieldEmpty() ? m_requiredColor : RestColor());
}

void TMFEditRules::ColorsChanged()
{
    if (m_required)
        SetColor(FieldEmpty() ? m_requiredColor : RestColor());
}

void TMFEditRules::ColorsRefresh()
{
    if (m_control->hasFocus())
        SetColor(m_focusedColor);
    else
        ColorsLeft();
}

bool TMFEditRules::Reported(const QFocusEvent* Event)
{
    return Event->reason() != Qt::PopupFocusReason && Event->reason() != Qt::ActiveWindowFocusReason;
}

bool TMFEditRules::RulesKey(QKeyEvent* Event, bool ConsumeEnter, const std::function<void(bool Next)>& MoveFocus)
{
    return !MFKeyDown(m_control, Event, Events.OnKeyDown) || MFNavigate(Event, m_keys, ConsumeEnter, MoveFocus);
}

TColor ParentColorOf(const QWidget* Control)
{
    const QWidget* parent = Control->parentWidget();
    if (!parent)
        return Platform::ColorToRGB(clBtnFace);
    return Platform::FromQColor(parent->palette().color(parent->backgroundRole()));
}

void PaintUnderline(QPainter& Painter, const QRect& Rect, TLineStyle Style)
{
    const QColor highlight = Platform::ToQColor(clBtnHighlight);
    const QColor shadow = Platform::ToQColor(clBtnShadow);
    const int y = Rect.bottom();
    Painter.save();
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.fillRect(QRect(Rect.left(), y - 1, Rect.width(), 1), Style == lsRaised ? highlight : shadow);
    Painter.fillRect(QRect(Rect.left(), y, Rect.width(), 1), Style == lsRaised ? shadow : highlight);
    Painter.restore();
}

bool MFKeyDown(QObject* Sender, QKeyEvent* Event, const TMFKeyEvent& OnKeyDown)
{
    int key = Event->key();
    if (OnKeyDown)
        OnKeyDown(Sender, key, Event->modifiers());
    if (key != 0)
        return true;
    Event->accept();
    return false;
}

bool MFNavigate(QKeyEvent* Event, TKeySets Keys, bool ConsumeEnter, const std::function<void(bool Next)>& MoveFocus)
{
    const int key = Event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (enter && Keys.Contains(ksReturn))
        MoveFocus(true);
    else if (key == Qt::Key_Escape && Keys.Contains(ksEscape))
        MoveFocus(false);
    else if (!(enter && ConsumeEnter))
        return false;
    // A single-line control keeps its Enter (no default button takes it).
    Event->accept();
    return true;
}

std::unique_ptr<QKeyEvent> MFUpperCasedKey(const QKeyEvent* Event)
{
    const QString text = Event->text();
    if (text.size() != 1 || text[0].unicode() < 'a' || text[0].unicode() > 'z')
        return nullptr;
    return std::make_unique<QKeyEvent>(Event->type(), Event->key(), Event->modifiers(), Event->nativeScanCode(),
                                       Event->nativeVirtualKey(), Event->nativeModifiers(), text.toUpper(),
                                       Event->isAutoRepeat(), ushort(Event->count()), Event->device());
}
