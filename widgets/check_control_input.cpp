// Keyboard, mouse, focus and size events of the check control.
#include "widgets/check_control.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QResizeEvent>

void TIACheckControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TIACheckControl::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Space && isEnabled()) {
        m_keyPressed = true;
        update();
        Event->accept();
        return;
    }
    QWidget::keyPressEvent(Event);
}

void TIACheckControl::keyReleaseEvent(QKeyEvent* Event)
{
    if (Event->key() != Qt::Key_Space || !isEnabled()) {
        QWidget::keyReleaseEvent(Event);
        return;
    }
    Event->accept();
    if (Event->isAutoRepeat())
        return;
    m_keyPressed = false;
    const bool before = m_checked;
    QPointer<TIACheckControl> self(this);
    if (m_controlType == iacctCheck)
        SetChecked(!m_checked);
    else if (m_controlType == iacctSelect)
        SetChecked(true);
    if (!self)
        return;
    if (m_checked != before)
        Click();
    else
        update();
}

void TIACheckControl::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(Event);
        return;
    }
    m_captured = true;
    setFocus(Qt::MouseFocusReason);
    m_mouseOver = true;
    update();
}

void TIACheckControl::mouseDoubleClickEvent(QMouseEvent* Event)
{
    // The second press of a double click is an ordinary press.
    mousePressEvent(Event);
}

void TIACheckControl::mouseMoveEvent(QMouseEvent* Event)
{
    QWidget::mouseMoveEvent(Event);
    // Half-open: x = width or y = height is outside.
    const bool over = rect().contains(Event->position().toPoint());
    if (over != m_mouseOver) {
        m_mouseOver = over;
        update();
    }
}

void TIACheckControl::leaveEvent(QEvent* Event)
{
    QWidget::leaveEvent(Event);
    if (m_mouseOver) {
        m_mouseOver = false;
        update();
    }
}

void TIACheckControl::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(Event);
        return;
    }
    const bool wasCaptured = m_captured;
    if (m_captured) {
        m_captured = false;
        update();
    }
    QPointer<TIACheckControl> self(this);
    if (isEnabled() && m_mouseOver) {
        m_mouseOver = false;
        if (m_controlType == iacctCheck)
            SetChecked(!m_checked);
        else if (m_controlType == iacctSelect)
            SetChecked(true);
    } else {
        m_mouseOver = false;
    }
    if (self && wasCaptured && rect().contains(Event->position().toPoint()))
        Click();
}

void TIACheckControl::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    update();
}

void TIACheckControl::focusOutEvent(QFocusEvent* Event)
{
    m_keyPressed = false;
    QWidget::focusOutEvent(Event);
    update();
}

void TIACheckControl::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    if (Event->oldSize().width() != Event->size().width())
        WrapAgain();
    // A new size is painted anyway.
    ApplyRegion(false);
}

void TIACheckControl::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange || Event->type() == QEvent::FontChange)
        ApplyRegion();
}
