#include "foundation/qt/class_factory.h"

#include <QMutex>
#include <QMutexLocker>
#include <QWidget>
#include <map>

namespace Tixutils {

namespace {

QMutex g_mutex;

std::map<std::string, const QMetaObject*>& registry()
{
    static std::map<std::string, const QMetaObject*> classes;
    return classes;
}

}  // namespace

void SafeRegisterClasses(const QMetaObject* const* classes, int lastIndex)
{
    if (classes == nullptr)
        return;
    QMutexLocker lock(&g_mutex);
    for (int i = 0; i <= lastIndex; ++i) {
        const QMetaObject* cls = classes[i];
        if (cls != nullptr)
            registry().emplace(cls->className(), cls);
    }
}

void SafeRegisterClasses(std::initializer_list<const QMetaObject*> classes)
{
    SafeRegisterClasses(classes.begin(), int(classes.size()) - 1);
}

const QMetaObject* FindRegisteredClass(const std::string& className)
{
    QMutexLocker lock(&g_mutex);
    const auto it = registry().find(className);
    return it == registry().end() ? nullptr : it->second;
}

std::unique_ptr<QObject> CreateInstanceOfClass(const QMetaObject& cls)
{
    std::unique_ptr<QObject> made(cls.newInstance());
    if (!made)
        made.reset(CreateInstanceOfComponent(cls, nullptr));
    return made;
}

std::unique_ptr<QObject> CreateInstanceOfClass(const std::string& className)
{
    const QMetaObject* cls = FindRegisteredClass(className);
    return cls ? CreateInstanceOfClass(*cls) : nullptr;
}

std::unique_ptr<QObject> CreateInstanceOfClass2(const QMetaObject& cls)
{
    return CreateInstanceOfClass(cls);
}

std::unique_ptr<QObject> CreateInstanceOfClass2(const std::string& className)
{
    return CreateInstanceOfClass(className);
}

QObject* CreateInstanceOfComponent(const QMetaObject& componentClass, QObject* owner)
{
    QObject* made = componentClass.newInstance(Q_ARG(QObject*, owner));
    if (made == nullptr && (owner == nullptr || owner->isWidgetType())) {
        // Widgets take their parent as a QWidget.
        made = componentClass.newInstance(Q_ARG(QWidget*, static_cast<QWidget*>(owner)));
    }
    return made;
}

QObject* CreateInstanceOfComponent(const std::string& className, QObject* owner)
{
    const QMetaObject* cls = FindRegisteredClass(className);
    return cls ? CreateInstanceOfComponent(*cls, owner) : nullptr;
}

}  // namespace Tixutils
