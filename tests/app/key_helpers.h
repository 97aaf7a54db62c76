#pragma once
#include <QCoreApplication>
#include <QInputDevice>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QString>
#include <QWidget>

#include "tests/support/qt_app.h"

// Keys as the window system delivers them (press and release, with the
// text the keyboard layout gives).
namespace KeyHelpers {

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
    return TestSupport::App();
}

// Devices of our own for the events the tests send.
inline const QInputDevice* keyboard()
{
    static const QInputDevice* const device =
        new QInputDevice(QStringLiteral("test keyboard"), 1, QInputDevice::DeviceType::Keyboard);
    return device;
}

inline const QPointingDevice* mouse()
{
    static const QPointingDevice* const device = new QPointingDevice(
        QStringLiteral("test mouse"), 2, QInputDevice::DeviceType::Mouse, QPointingDevice::PointerType::Generic,
        QInputDevice::Capability::Position, 1, 3);
    return device;
}

inline void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier, mouse());
    QCoreApplication::sendEvent(w, &e);
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
