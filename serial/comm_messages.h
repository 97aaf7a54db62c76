#pragma once
#include <QEvent>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// The messages that the port threads (and the component itself) post to
// the component's hidden receiver on the main thread, and that receiver.
namespace Serial {

class TCommMessage : public QEvent {
public:
    enum Kind {
        ReceivedData = 1,  // wParam: byte count; data: the bytes and a 0 after them
        Hangup = 2,        // wParam 0: ask to hang up; non-zero: the port is lost
        StateReport = 3,   // wParam: a TCommState (CommStateFirst: work it out)
        PortEvent = 4,     // wParam: EV_* mask; lParam: CE_* errors << 16 | MS_* status
        ModemPoll = 5,     // read the modem status now
    };

    // Received data has a type of its own so that a closing port can drop
    // what is still queued.
    static QEvent::Type DataType();
    static QEvent::Type OtherType();

    TCommMessage(Kind kind, uint32_t session, uint32_t wParam, uint32_t lParam,
                 std::unique_ptr<char[]> data = nullptr);

    const Kind kind;
    const uint32_t session;  // the opening of the port that sent it
    const uint32_t wParam;
    const uint32_t lParam;
    std::unique_ptr<char[]> data;
};

// The hidden receiver: hands every message to the component's procedure.
// An exception from an event handler stops here, never in Qt's loop.
class TCommWindow : public QObject {
public:
    explicit TCommWindow(std::function<void(TCommMessage&)> proc);
    bool event(QEvent* e) override;

private:
    std::function<void(TCommMessage&)> proc_;
};

// Posts to the receiver from any thread; after Detach nothing more
// arrives (a thread that outlived its port can no longer reach it).
class TCommPoster {
public:
    explicit TCommPoster(QObject* target) : target_(target) {}
    void Post(std::unique_ptr<TCommMessage> message);
    void Detach();

    // Set while a modem poll is queued, so polls never pile up.
    std::atomic<bool> pollPending{false};

private:
    std::mutex mutex_;
    QObject* target_;
};

}  // namespace Serial
