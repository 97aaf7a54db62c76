#pragma once
#include <QMetaObject>
#include <QObject>
#include <initializer_list>
#include <memory>
#include <string>

// A registry of component classes by class name, and components made from
// a class with the owner as their parent. A class can be made when it
// declares a Q_INVOKABLE constructor taking its owner (QObject* or
// QWidget*).
namespace Tixutils {

// Registers each class whose name is not registered yet (a second class of
// the same name is ignored).
void SafeRegisterClasses(const QMetaObject* const* classes, int lastIndex);
void SafeRegisterClasses(std::initializer_list<const QMetaObject*> classes);
// The registered class of that name, or null.
const QMetaObject* FindRegisteredClass(const std::string& className);

// A new object of the class for the caller. The class library could make
// an instance without running the class's own constructors (only the root
// class's); C++ cannot, so the object is made by the class's default
// constructor (a Q_INVOKABLE one taking no arguments, or one taking an
// owner, given none). Null for a class without such a constructor or a
// name that is not registered.
std::unique_ptr<QObject> CreateInstanceOfClass(const QMetaObject& cls);
std::unique_ptr<QObject> CreateInstanceOfClass(const std::string& className);
// The raw, zero-filled instance of the class library has no C++ form
// either: the same default construction as CreateInstanceOfClass.
std::unique_ptr<QObject> CreateInstanceOfClass2(const QMetaObject& cls);
std::unique_ptr<QObject> CreateInstanceOfClass2(const std::string& className);

// A new component of the class, owned by owner (the caller owns it when
// owner is null). Null when the class has no fitting constructor.
QObject* CreateInstanceOfComponent(const QMetaObject& componentClass, QObject* owner);
// The same for a registered class name; null for an unknown name.
QObject* CreateInstanceOfComponent(const std::string& className, QObject* owner);

}  // namespace Tixutils
