#pragma once
#include <QCoreApplication>
#include <QInputDevice>
#include <QMouseEvent>
#include <QPointingDevice>
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

}  // namespace TestSupport
