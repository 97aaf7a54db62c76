#pragma once
#include <QSize>
#include <QWidget>
#include <functional>

class QSessionManager;

// A form base class with two repairs of its own (none of the program's
// windows uses it):
// - When the session manager asks before log-off or shutdown, the
//   application handles its events until the form's close query agrees;
//   then the session may end. A form that does not agree within
//   EndSessionLimitMs refuses, so the log-off is never held for ever.
// - When its window comes up with another size than the form was given,
//   the children without a layout that are anchored to the right edge
//   move by the difference (narrow, when also anchored to the left), and
//   likewise for the bottom edge.
class VTixImprovedForm : public QWidget {
    Q_OBJECT
public:
    // Anchors of a child, as bits (the default is akLeft | akTop).
    enum TAnchor { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
    // The session manager waits for an answer; a form that will not agree
    // within this long lets the log-off go on without it being closed.
    static constexpr int DefaultEndSessionLimitMs = 20000;

    explicit VTixImprovedForm(QWidget* parent = nullptr);

    static void SetAnchors(QWidget* child, int anchors);
    static int Anchors(const QWidget* child);

    // Whether the form may close now: OnCloseQuery, true without one.
    virtual bool CloseQuery();
    std::function<bool()> OnCloseQuery;

    // The question before the session ends: events are handled until
    // CloseQuery agrees (true: the session may end) or the limit passes
    // (false).
    bool QueryEndSession();
    int EndSessionLimit() const { return m_endSessionLimitMs; }
    void SetEndSessionLimit(int ms) { m_endSessionLimitMs = ms; }

    // The window came up with size Created while the form had its own
    // size: the anchored children follow, then the form takes Created.
    void WindowCreated(QSize Created);

protected:
    bool event(QEvent* Event) override;

private:
    void commitDataRequest(QSessionManager& manager);

    int m_endSessionLimitMs = DefaultEndSessionLimitMs;
    bool m_windowSeen = false;
};
