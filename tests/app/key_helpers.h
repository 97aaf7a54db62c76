#pragma once
#include <QCoreApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

#include "tests/support/input_devices.h"

// Keys as the window system delivers them (press and release, with the
// text the keyboard layout gives).
namespace KeyHelpers {

inline QApplication& AppWithDevices() { return TestSupport::AppWithDevices(); }
inline const QInputDevice* keyboard() { return TestSupport::TestKeyboard(); }
inline const QPointingDevice* mouse() { return TestSupport::TestMouse(); }

inline void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    TestSupport::SendMouseEvent(w, type, pos, button, buttons);
}

inline void keyClick(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, mods, 0, 0, 0, text, false, 1, keyboard());
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, 0, 0, 0, text, false, 1, keyboard());
    QCoreApplication::sendEvent(w, &release);
}

inline void keyClicks(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const QChar up = c.toUpper();
        const int key = (up.unicode() >= 'A' && up.unicode() <= 'Z') || (up.unicode() >= '0' && up.unicode() <= '9')
                            ? up.unicode()
                            : up.unicode() == ' ' ? int(Qt::Key_Space) : int(Qt::Key_unknown);
        keyClick(w, key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
    }
}

}  // namespace KeyHelpers
