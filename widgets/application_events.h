#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

// The application's idle and hint events shared by any number of
// components (the caption buttons, the tray icon). One instance for the
// whole program, made on first use and owned by the application object.
// Qt has no idle message: the idle event runs on a short timer while any
// idle handler is registered. The hint event runs when a tooltip or status
// tip is about to show anywhere in the application.
class VTixApplicationEvents : public QObject {
    Q_OBJECT
public:
    // Done = false asks for the next idle event at once.
    using IdleHandler = std::function<void(bool& Done)>;
    using HintHandler = std::function<void()>;

    static VTixApplicationEvents* Instance();
    // The instance when it exists, else null.
    static VTixApplicationEvents* Existing();

    // A component already registered gets its handler replaced; a new
    // one gets an entry with the other handler empty. The entry goes
    // away when the component is destroyed.
    void RegisterIdle(QObject* Component, IdleHandler Handler);
    void RegisterHint(QObject* Component, HintHandler Handler);
    void Unregister(QObject* Component);
    int Count() const { return int(m_entries.size()); }

    // Runs every idle (hint) handler, from the last registration to the
    // first. DoIdle returns whether all handlers are done.
    bool DoIdle();
    void DoHint();

    static constexpr int IdleIntervalMs = 50;

    // The application's hint timing, kept here as the class library keeps
    // it on its application object (Qt's tool tips have their own): the
    // pause before a hint shows, the short pause a component may switch
    // to while the user moves from hint to hint, and how long a hint
    // stays, in ms.
    static constexpr int DefaultHintPause = 500;
    static constexpr int DefaultHintShortPause = 50;
    static constexpr int DefaultHintHidePause = 2500;
    int HintPause() const { return m_hintPause; }
    void SetHintPause(int Value) { m_hintPause = Value; }
    int HintShortPause() const { return m_hintShortPause; }
    void SetHintShortPause(int Value) { m_hintShortPause = Value; }
    int HintHidePause() const { return m_hintHidePause; }
    void SetHintHidePause(int Value) { m_hintHidePause = Value; }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    explicit VTixApplicationEvents(QObject* Parent);
    struct Entry {
        QObject* component = nullptr;
        IdleHandler idle;
        HintHandler hint;
        QMetaObject::Connection destroyed;
    };
    Entry& EntryFor(QObject* Component);
    void Remove(QObject* Component);
    void UpdateTimer();

    std::vector<Entry> m_entries;
    QTimer m_idleTimer;
    int m_hintPause = DefaultHintPause;
    int m_hintShortPause = DefaultHintShortPause;
    int m_hintHidePause = DefaultHintHidePause;
};
