#pragma once
#include <QPalette>
#include <QRect>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "phonebook/ui/mf_edit_types.h"
#include "platform/colors.h"

class QFocusEvent;
class QKeyEvent;
class QPainter;
class QWidget;

// What the edit controls share: the background follows the focus and a
// required field's emptiness (FocusedColor while focused, RequiredColor
// for an empty required field, else the colour at rest), the navigation
// keys and the change and key-down events. The colour goes into the given
// palette roles of the control.
class TMFEditRules {
public:
    virtual ~TMFEditRules() = default;

    // The background colour now shown.
    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    TColor FocusedColor() const { return m_focusedColor; }
    void SetFocusedColor(TColor Value);
    bool Required() const { return m_required; }
    void SetRequired(bool Value);
    TColor RequiredColor() const { return m_requiredColor; }
    void SetRequiredColor(TColor Value);
    TKeySets Keys() const { return m_keys; }
    void SetKeys(TKeySets Value) { m_keys = Value; }

    // OnChange fires on every change of the text; OnKeyDown sees each key
    // press first and may consume it.
    TMFEditEvents Events;

protected:
    TMFEditRules(QWidget* Control, std::initializer_list<QPalette::ColorRole> Roles);

    virtual bool FieldEmpty() const = 0;
    // The colour of a filled field at rest.
    virtual TColor RestColor() const { return m_normal; }
    // The colour taken at construction and on entering (unless it was
    // RequiredColor then).
    TColor NormalColor() const { return m_normal; }

    // Focus gained: the colour is remembered as the normal one, then
    // FocusedColor.
    void ColorsEntered();
    // Focus lost: an empty required field gets RequiredColor, else the
    // colour at rest.
    void ColorsLeft();
    // Text changed or cleared: a required field follows its emptiness.
    void ColorsChanged();
    // The colour that fits the state now: focused, empty and required, or
    // at rest.
    void ColorsRefresh();
    // A focus change the class library reports as entering or leaving
    // the control (not a pop-up menu, not another application's window).
    static bool Reported(const QFocusEvent* Event);
    // The key-down event, then the navigation keys; true when the key was
    // used up.
    bool RulesKey(QKeyEvent* Event, bool ConsumeEnter, const std::function<void(bool Next)>& MoveFocus);

private:
    QWidget* m_control;
    std::vector<QPalette::ColorRole> m_roles;
    TColor m_color = clWindow;
    TColor m_normal = clWindow;
    TColor m_focusedColor = clWindow;
    TColor m_requiredColor = clYellow;
    bool m_required = false;
    TKeySets m_keys;
};

// The background colour of the control's parent (clBtnFace without one).
TColor ParentColorOf(const QWidget* Control);

// The underline look: two 1-pixel lines along the bottom of Rect, raised =
// button highlight over button shadow, lowered the reverse.
void PaintUnderline(QPainter& Painter, const QRect& Rect, TLineStyle Style);

// The key-down event of a control for one key press: false, with the
// event accepted, when the handler consumed the key.
bool MFKeyDown(QObject* Sender, QKeyEvent* Event, const TMFKeyEvent& OnKeyDown);

// The navigation rules of the edit controls for one key press: Enter with
// ksReturn moves the focus to the next control (MoveFocus(true)), Esc with
// ksEscape to the previous one; another Enter is consumed when
// ConsumeEnter. True, with the event accepted, when the key was used up.
bool MFNavigate(QKeyEvent* Event, TKeySets Keys, bool ConsumeEnter, const std::function<void(bool Next)>& MoveFocus);

// The key event with its text upper-cased when it types one lower-case
// ASCII letter; null when it does not.
std::unique_ptr<QKeyEvent> MFUpperCasedKey(const QKeyEvent* Event);
