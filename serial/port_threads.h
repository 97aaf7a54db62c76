#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "serial/comm_messages.h"
#include "serial/port_io.h"

// The read and write threads of one open port. They hand everything to
// the main thread through TCommPoster; they never touch the component.
namespace Serial {

// A manual-reset event that poll() can wait on.
class TEventFd {
public:
    TEventFd();  // throws std::system_error when none can be made
    ~TEventFd();
    TEventFd(const TEventFd&) = delete;
    TEventFd& operator=(const TEventFd&) = delete;
    int Fd() const { return fd_; }
    void Set();
    bool IsSet() const;
    void Reset();

private:
    int fd_;
};

// Starts a port thread running body; throws (std::system_error) when no
// thread can be made. The default is std::thread itself.
using TThreadStarter = std::function<std::thread(std::function<void()> body)>;

// What one opening of the port shares between the main thread and its
// threads. A thread holds it until it ends, so the port's descriptor is
// never closed under a thread that is still running.
struct TPortSession {
    std::shared_ptr<TPortIO> port;
    TEventFd closeEvent;
    std::shared_ptr<TCommPoster> poster;
    uint32_t session = 0;
    uint32_t creationTick = 0;      // of the component; polls start 10 ms after it
    std::atomic<int> evtChar{0};    // the event character (EV_RXFLAG)
    TThreadStarter startThread;     // empty: std::thread
};

// The end of a thread, awaited with a time-out.
class TPortThread {
public:
    virtual ~TPortThread();
    // Waits up to timeoutMs for the thread to end; a thread that does not
    // end is left to run on (detached) and false is returned.
    bool Finish(int timeoutMs);
    bool Ended() const;

protected:
    struct EndFlag {
        std::mutex mutex;
        std::condition_variable cv;
        bool ended = false;
        void Mark();
    };
    // Starts fn on a new thread (through starter when given); throws
    // std::system_error on failure.
    void start(std::function<void()> fn, const TThreadStarter& starter);

    std::shared_ptr<EndFlag> end_ = std::make_shared<EndFlag>();
    std::thread thread_;
};

// Waits for received bytes (at most 2048 per read) and for changes of the
// modem lines and line errors, and posts them.
class TReadThread : public TPortThread {
public:
    explicit TReadThread(std::shared_ptr<TPortSession> session);

private:
    static void Execute(const std::shared_ptr<TPortSession>& s);
};

// One queued write.
struct TWriteItem {
    TWriteItem() = default;
    // A copy of length bytes (none when buffer is null).
    TWriteItem(const char* buffer, size_t length, bool slow) : slow(slow)
    {
        if (buffer)
            bytes.assign(buffer, buffer + length);
    }
    std::vector<char> bytes;
    bool slow = false;  // one byte at a time with a 1 ms pause after each
};

// Sends what the main thread queued, in order. A failed write ends the
// thread and reports the port lost.
class TWriteThread : public TPortThread {
public:
    explicit TWriteThread(std::shared_ptr<TPortSession> session);
    // Queues a write; false once the thread has ended.
    bool Post(TWriteItem item);
    // Queue a copy of Length bytes, sent at once or one at a time with a
    // pause after each; false once the thread has ended.
    bool WriteComm(const char* Buffer, uint32_t Length);
    bool WriteCommSlow(const char* Buffer, uint16_t Length);

private:
    struct Queue {
        std::mutex mutex;
        std::deque<TWriteItem> items;
        TEventFd work;
        bool ended = false;
    };
    static void Execute(const std::shared_ptr<TPortSession>& s, const std::shared_ptr<Queue>& q);

    std::shared_ptr<Queue> queue_ = std::make_shared<Queue>();
};

}  // namespace Serial
