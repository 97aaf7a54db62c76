#pragma once
#include <QCoreApplication>
#include <QInputDevice>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QString>
#include <QWidget>

#include "tests/support/qt_app.h"

// Input devices for the events widget tests send.
namespace TestSupport {

// The test program's QApplication, made after Qt's default input devices:
// made later, those would belong to the application and be torn down after
// the device registry at exit, which crashes.
inline QApplication& AppWithDevices()
{
    // Kept here too: the registry forgets them at exit, this does not.
    static const QInputDevice* const keyboard =
        QCoreApplication::instance() ? nullptr : QInputDevice::primaryKeyboard();
    static const QPointingDevice* const pointer =
        QCoreApplication::instance() ? nullptr : QPointingDevice::primaryPointingDevice();
    (void)keyboard;
    (void)pointer;
    return App();
}

inline const QInputDevice* TestKeyboard()
{
    static const QInputDevice* const device =
        new QInputDevice(QStringLiteral("test keyboard"), 1, QInputDevice::DeviceType::Keyboard);
    return device;
}

inline const QPointingDevice* TestMouse()
{
    static const QPointingDevice* const device = new QPointingDevice(
        QStringLiteral("test mouse"), 2, QInputDevice::DeviceType::Mouse, QPointingDevice::PointerType::Generic,
        QInputDevice::Capability::Position, 1, 3);
    return device;
}

inline void SendMouseEvent(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                           Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier, TestMouse());
    QCoreApplication::sendEvent(w, &e);
}

// One key event from the test keyboard.
inline void SendKeyEvent(QWidget* w, QEvent::Type type, int key, const QString& text, bool autoRepeat = false)
{
    QKeyEvent e(type, key, Qt::NoModifier, 0, 0, 0, text, autoRepeat, 1, TestKeyboard());
    QCoreApplication::sendEvent(w, &e);
}

// A key pressed and released, as the window system delivers it (with the
// text the keyboard layout gives).
inline void KeyClick(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, mods, 0, 0, 0, text, false, 1, TestKeyboard());
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, 0, 0, 0, text, false, 1, TestKeyboard());
    QCoreApplication::sendEvent(w, &release);
}

// Letters, digits and blanks typed one by one.
inline void KeyClicks(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const QChar up = c.toUpper();
        const int key = (up.unicode() >= 'A' && up.unicode() <= 'Z') || (up.unicode() >= '0' && up.unicode() <= '9')
                            ? up.unicode()
                            : up.unicode() == ' ' ? int(Qt::Key_Space) : int(Qt::Key_unknown);
        KeyClick(w, key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
    }
}

}  // namespace TestSupport
