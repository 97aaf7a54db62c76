#pragma once
#include <QPalette>
#include <QRect>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "phonebook/ui/mf_edit_types.h"
#include "platform/colors.h"

class QKeyEvent;
class QPainter;
class QWidget;

// The background rules the edit controls share: FocusedColor while
// focused, RequiredColor for an empty required field, else the normal
// colour (or, for the underline look, the parent's). The colour goes into
// the given palette roles of the control.
class TMFColorRules {
public:
    TMFColorRules(QWidget* Control, std::initializer_list<QPalette::ColorRole> Roles);

    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    TColor NormalColor() const { return m_normal; }

    TColor FocusedColor() const { return m_focusedColor; }
    void SetFocusedColor(TColor Value, bool Focused);
    bool Required() const { return m_required; }
    void SetRequired(bool Value, bool Empty, bool Focused, TColor Rest);
    TColor RequiredColor() const { return m_requiredColor; }
    void SetRequiredColor(TColor Value, bool Empty);

    // Focus gained: the colour is remembered as the normal one (unless it
    // is RequiredColor), then FocusedColor.
    void Enter();
    // Focus lost: an empty required field gets RequiredColor, else Rest.
    void Exit(bool Empty, TColor Rest);
    // Text changed or cleared: a required field follows its emptiness.
    void TextChanged(bool Empty, TColor Rest);

private:
    QWidget* m_control;
    std::vector<QPalette::ColorRole> m_roles;
    TColor m_color = clWindow;
    TColor m_normal = clWindow;
    TColor m_focusedColor = clWindow;
    TColor m_requiredColor = clYellow;
    bool m_required = false;
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
