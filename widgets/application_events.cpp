#include "widgets/application_events.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
QPointer<VTixApplicationEvents> g_instance;
}

VTixApplicationEvents::VTixApplicationEvents(QObject* Parent) : QObject(Parent)
{
    setObjectName(QStringLiteral("TixTitleButtonTixAppEvents"));
    m_idleTimer.setInterval(IdleIntervalMs);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        if (!DoIdle())
            m_idleTimer.start(0);
        else if (m_idleTimer.interval() != IdleIntervalMs)
            m_idleTimer.start(IdleIntervalMs);
    });
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

VTixApplicationEvents* VTixApplicationEvents::Instance()
{
    if (!g_instance)
        g_instance = new VTixApplicationEvents(QCoreApplication::instance());
    return g_instance;
}

VTixApplicationEvents* VTixApplicationEvents::Existing() { return g_instance; }

VTixApplicationEvents::Entry& VTixApplicationEvents::EntryFor(QObject* Component)
{
    for (Entry& e : m_entries) {
        if (e.component == Component)
            return e;
    }
    Entry e;
    e.component = Component;
    e.destroyed = connect(Component, &QObject::destroyed, this, [this, Component] { Remove(Component); });
    m_entries.push_back(std::move(e));
    return m_entries.back();
}

void VTixApplicationEvents::RegisterIdle(QObject* Component, IdleHandler Handler)
{
    if (!Component)
        return;
    EntryFor(Component).idle = std::move(Handler);
    UpdateTimer();
}

void VTixApplicationEvents::RegisterHint(QObject* Component, HintHandler Handler)
{
    if (!Component)
        return;
    EntryFor(Component).hint = std::move(Handler);
}

void VTixApplicationEvents::Unregister(QObject* Component) { Remove(Component); }

void VTixApplicationEvents::Remove(QObject* Component)
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].component != Component)
            continue;
        QObject::disconnect(m_entries[i].destroyed);
        // The last entry takes the freed place.
        if (i + 1 != m_entries.size())
            m_entries[i] = std::move(m_entries.back());
        m_entries.pop_back();
        break;
    }
    UpdateTimer();
}

void VTixApplicationEvents::UpdateTimer()
{
    bool any = false;
    for (const Entry& e : m_entries)
        any = any || bool(e.idle);
    if (any && !m_idleTimer.isActive())
        m_idleTimer.start(IdleIntervalMs);
    else if (!any)
        m_idleTimer.stop();
}

bool VTixApplicationEvents::DoIdle()
{
    bool allDone = true;
    // Handlers may register or free components: walk by index and
    // re-check the bounds each step.
    for (size_t i = m_entries.size(); i-- > 0;) {
        if (i >= m_entries.size() || !m_entries[i].idle)
            continue;
        const IdleHandler handler = m_entries[i].idle;
        bool done = true;
        handler(done);
        allDone = allDone && done;
    }
    return allDone;
}

void VTixApplicationEvents::DoHint()
{
    for (size_t i = m_entries.size(); i-- > 0;) {
        if (i >= m_entries.size() || !m_entries[i].hint)
            continue;
        const HintHandler handler = m_entries[i].hint;
        handler();
    }
}

bool VTixApplicationEvents::eventFilter(QObject*, QEvent* Event)
{
    // Every event of the program passes here: all but the two hint events
    // go on at once, and none is ever eaten.
    const QEvent::Type type = Event->type();
    if (type == QEvent::ToolTip || type == QEvent::StatusTip)
        DoHint();
    return false;
}
