#include "serial/port_threads.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>

#include "foundation/tixutils_timer.h"
#include "platform/debug_sink.h"
#include "serial/modem_lines.h"

namespace Serial {

namespace {

constexpr size_t kReadSize = 2048;
constexpr int kReadWaitMs = 100;

// Threads ask for a better place in the scheduler; without the right to
// raise it they simply run at the normal one.
void RaisePriority(int nice)
{
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), nice);
}

void WaitForever(int fd)
{
    pollfd p {fd, POLLIN, 0};
    while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
    }
}

// Sleeps up to ms; true when the close event came first.
bool Pause(int closeFd, int ms)
{
    pollfd p {closeFd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

struct LineSnapshot {
    uint32_t status = 0;
    TLineCounts counts;
    bool haveCounts = false;
    bool haveStatus = false;
};

// 0, or the error of a device that has gone away.
int ReadStatus(TPortIO& port, LineSnapshot& snap)
{
    const int r = port.GetModemStatus(snap.status);
    snap.haveStatus = r == 0;
    if (r == ENOTTY) {
        snap.status = 0;  // no modem lines (a pseudo-terminal)
        return 0;
    }
    return r;
}

int ReadCounts(TPortIO& port, LineSnapshot& snap)
{
    TLineCounts counts;
    const int r = port.GetLineCounts(counts);
    snap.haveCounts = r == 0;
    if (r == 0)
        snap.counts = counts;
    return r == ENOTTY || r == EINVAL ? 0 : r;
}

// The status is read between two readings of the counts and kept when
// they agree: a line that changed between the two reads would otherwise
// be counted with the state from before its change, and its event would
// carry the old state. Lines that never settle are taken with the first
// counts, so the status is newer than them, never older.
int TakeSnapshot(TPortIO& port, LineSnapshot& snap)
{
    for (int tries = 1;; ++tries) {
        LineSnapshot after;
        int r = ReadCounts(port, snap);
        if (r == 0)
            r = ReadStatus(port, snap);
        if (r == 0 && snap.haveCounts)
            r = ReadCounts(port, after);
        if (r)
            return r;
        if (!snap.haveCounts || !after.haveCounts || snap.counts == after.counts || tries == 3)
            return 0;
    }
}

// The port events and line errors between two snapshots.
void CompareSnapshots(const LineSnapshot& before, const LineSnapshot& now, uint32_t& mask, uint32_t& errors)
{
    const uint32_t diff = before.status ^ now.status;
    if (diff & MS_CTS_ON)
        mask |= EV_CTS;
    if (diff & MS_DSR_ON)
        mask |= EV_DSR;
    if (diff & MS_RLSD_ON)
        mask |= EV_RLSD;
    if (diff & MS_RING_ON)
        mask |= EV_RING;
    if (!before.haveCounts || !now.haveCounts)
        return;
    const TLineCounts& a = before.counts;
    const TLineCounts& b = now.counts;
    if (a.cts != b.cts)
        mask |= EV_CTS;
    if (a.dsr != b.dsr)
        mask |= EV_DSR;
    if (a.rlsd != b.rlsd)
        mask |= EV_RLSD;
    if (a.ring != b.ring)
        mask |= EV_RING;
    if (a.brk != b.brk) {
        mask |= EV_BREAK;
        errors |= CE_BREAK;
    }
    if (a.frame != b.frame)
        errors |= CE_FRAME;
    if (a.overrun != b.overrun)
        errors |= CE_OVERRUN;
    if (a.parity != b.parity)
        errors |= CE_RXPARITY;
    if (a.bufOverrun != b.bufOverrun)
        errors |= CE_RXOVER;
    if (errors & (CE_FRAME | CE_OVERRUN | CE_RXPARITY | CE_RXOVER))
        mask |= EV_ERR;
}

void PostLost(TPortSession& s, int err)
{
    s.poster->Post(std::make_unique<TCommMessage>(TCommMessage::Hangup, s.session,
                                                  static_cast<uint32_t>(err ? err : EIO), 0));
}

}  // namespace

// ---- TEventFd ------------------------------------------------------------

TEventFd::TEventFd() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

TEventFd::~TEventFd()
{
    ::close(fd_);
}

void TEventFd::Set()
{
    const uint64_t one = 1;
    while (::write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool TEventFd::IsSet() const
{
    pollfd p {fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

void TEventFd::Reset()
{
    uint64_t value;
    while (::read(fd_, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

// ---- TPortThread ---------------------------------------------------------

void TPortThread::EndFlag::Mark()
{
    std::lock_guard<std::mutex> lock(mutex);
    ended = true;
    cv.notify_all();
}

TPortThread::~TPortThread()
{
    if (thread_.joinable())
        thread_.detach();  // only a thread that was never finished gets here
}

void TPortThread::start(std::function<void()> fn, const TThreadStarter& starter)
{
    auto end = end_;
    std::function<void()> body = [fn = std::move(fn), end] {
        try {
            fn();
        } catch (...) {
            Platform::EmitDebugText("Serial port thread failed");
        }
        end->Mark();
    };
    thread_ = starter ? starter(std::move(body)) : std::thread(std::move(body));
}

bool TPortThread::Finish(int timeoutMs)
{
    if (!thread_.joinable())
        return true;
    bool ended;
    {
        std::unique_lock<std::mutex> lock(end_->mutex);
        ended = end_->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return end_->ended; });
    }
    if (ended)
        thread_.join();
    else
        thread_.detach();
    return ended;
}

bool TPortThread::Ended() const
{
    std::lock_guard<std::mutex> lock(end_->mutex);
    return end_->ended;
}

// ---- TReadThread ---------------------------------------------------------

TReadThread::TReadThread(std::shared_ptr<TPortSession> session)
{
    const TThreadStarter starter = session->startThread;
    start([s = std::move(session)] { Execute(s); }, starter);
}

void TReadThread::Execute(const std::shared_ptr<TPortSession>& sp)
{
    TPortSession& s = *sp;
    TPortIO& port = *s.port;
    RaisePriority(-10);
    std::unique_ptr<char[]> buffer(new char[kReadSize]);
    LineSnapshot lines;
    int lostError = TakeSnapshot(port, lines);
    bool lost = lostError != 0;

    while (!lost) {
        // The lines are looked at every kReadWaitMs; a device without
        // lines and counters wakes the thread only with data, a hang-up
        // or the close.
        const bool lineDevice = lines.haveStatus || lines.haveCounts;
        const unsigned w = port.WaitRead(s.closeEvent.Fd(), lineDevice ? kReadWaitMs : -1);
        if (w & TPortIO::WaitClose)
            break;
        uint32_t mask = 0, errors = 0;
        if (w & TPortIO::WaitFailed) {
            lost = true;
            lostError = EIO;
        } else if (w & (TPortIO::WaitReady | TPortIO::WaitHangup)) {
            const ssize_t n = port.Read(buffer.get(), kReadSize);
            if (n > 0) {
                std::unique_ptr<char[]> block(new char[static_cast<size_t>(n) + 1]);
                std::memcpy(block.get(), buffer.get(), static_cast<size_t>(n));
                block[static_cast<size_t>(n)] = 0;
                s.poster->Post(std::make_unique<TCommMessage>(TCommMessage::ReceivedData, s.session,
                                                              static_cast<uint32_t>(n), 0, std::move(block)));
                mask |= EV_RXCHAR;
                if (std::memchr(buffer.get(), static_cast<char>(s.evtChar.load()), static_cast<size_t>(n)))
                    mask |= EV_RXFLAG;
            } else if (n == 0) {
                lost = true;  // end of file: the tty was hung up
                lostError = EIO;
            } else if (errno == EAGAIN || errno == EINTR) {
                if ((w & TPortIO::WaitHangup) && !(w & TPortIO::WaitReady)) {
                    lost = true;
                    lostError = EIO;
                }
            } else {
                lost = true;
                lostError = errno;
            }
        }
        if (!lost) {
            LineSnapshot now;
            const int r = TakeSnapshot(port, now);
            if (r) {
                lost = true;
                lostError = r;
            } else {
                CompareSnapshots(lines, now, mask, errors);
                lines = now;
            }
        }
        if (mask) {
            s.poster->Post(std::make_unique<TCommMessage>(TCommMessage::PortEvent, s.session, mask,
                                                          (errors << 16) | (lines.status & 0xFFFF)));
        }
        // A device without modem lines has no status to poll.
        if (!lost && lines.haveStatus && Tixutils::IsTimerOver(s.creationTick, 10) &&
            !s.poster->pollPending.exchange(true))
            s.poster->Post(std::make_unique<TCommMessage>(TCommMessage::ModemPoll, s.session, 0, 0));
    }
    if (lost) {
        // One report; then nothing more until the port is closed.
        PostLost(s, lostError);
        WaitForever(s.closeEvent.Fd());
    }
    port.Purge(true, false);
}

// ---- TWriteThread --------------------------------------------------------

TWriteThread::TWriteThread(std::shared_ptr<TPortSession> session)
{
    const TThreadStarter starter = session->startThread;
    start([s = std::move(session), q = queue_] { Execute(s, q); }, starter);
}

bool TWriteThread::Post(TWriteItem item)
{
    {
        std::lock_guard<std::mutex> lock(queue_->mutex);
        if (queue_->ended)
            return false;
        queue_->items.push_back(std::move(item));
    }
    queue_->work.Set();
    return true;
}

bool TWriteThread::WriteComm(const char* Buffer, uint32_t Length)
{
    return (Buffer || Length == 0) && Post(TWriteItem(Buffer, Length, false));
}

bool TWriteThread::WriteCommSlow(const char* Buffer, uint16_t Length)
{
    return (Buffer || Length == 0) && Post(TWriteItem(Buffer, Length, true));
}

namespace {

enum class WriteResult { Done, Closed, Failed };

WriteResult WriteItem(TPortSession& s, const TWriteItem& item, int& error)
{
    TPortIO& port = *s.port;
    const size_t total = item.bytes.size();
    size_t done = 0;
    do {
        // An empty slow write is an empty write, like any other.
        const size_t chunk = item.slow && done < total ? 1 : total - done;
        const ssize_t n = port.Write(item.bytes.data() + done, chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN) {
                error = errno;
                return WriteResult::Failed;
            }
            const unsigned w = port.WaitWrite(s.closeEvent.Fd(), -1);
            if (w & TPortIO::WaitClose)
                return WriteResult::Closed;
            if ((w & (TPortIO::WaitHangup | TPortIO::WaitFailed)) && !(w & TPortIO::WaitReady)) {
                error = EIO;
                return WriteResult::Failed;
            }
            continue;
        }
        done += static_cast<size_t>(n);
        if (item.slow && Pause(s.closeEvent.Fd(), 1))
            return WriteResult::Closed;
    } while (done < total);
    return WriteResult::Done;
}

}  // namespace

void TWriteThread::Execute(const std::shared_ptr<TPortSession>& sp, const std::shared_ptr<Queue>& q)
{
    TPortSession& s = *sp;
    RaisePriority(-5);
    bool running = true;
    while (running) {
        pollfd fds[2] = {{s.closeEvent.Fd(), POLLIN, 0}, {q->work.Fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            PostLost(s, errno);
            break;
        }
        if (fds[0].revents)
            break;
        q->work.Reset();
        bool wrote = false;
        for (;;) {
            TWriteItem item;
            {
                std::lock_guard<std::mutex> lock(q->mutex);
                if (q->items.empty())
                    break;
                item = std::move(q->items.front());
                q->items.pop_front();
            }
            if (s.closeEvent.IsSet()) {
                running = false;
                break;
            }
            int error = 0;
            const WriteResult r = WriteItem(s, item, error);
            if (r == WriteResult::Closed) {
                running = false;
                break;
            }
            if (r == WriteResult::Failed) {
                // A writer that gives up leaves the port useless: report it lost.
                PostLost(s, error);
                running = false;
                break;
            }
            wrote = true;
        }
        if (running && wrote) {
            uint32_t status = 0;
            const int r = s.port->GetModemStatus(status);
            if (r == 0 || r == ENOTTY)
                s.poster->Post(std::make_unique<TCommMessage>(TCommMessage::PortEvent, s.session, EV_TXEMPTY,
                                                              status & 0xFFFF));
        }
    }
    {
        std::lock_guard<std::mutex> lock(q->mutex);
        q->ended = true;
        q->items.clear();
    }
    s.port->Purge(false, true);
}

}  // namespace Serial
