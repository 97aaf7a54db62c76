#include "tests/serial/pty_peer.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace SerialTest {

TPtyPeer::TPtyPeer()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0)
        throw std::runtime_error("no pseudo-terminal name");
    slavePath_ = name;
}

TPtyPeer::~TPtyPeer()
{
    StopReader();
    if (master_ >= 0)
        ::close(master_);
}

void TPtyPeer::Write(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            throw std::runtime_error("write to the pseudo-terminal failed");
        }
        done += static_cast<size_t>(n);
    }
}

void TPtyPeer::StartReader(bool echo)
{
    stop_ = false;
    reader_ = std::thread([this, echo] {
        char buffer[4096];
        while (!stop_) {
            pollfd p {master_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            if (!(p.revents & POLLIN))
                break;  // no slave open any more, or an error
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                received_.append(buffer, static_cast<size_t>(n));
            }
            if (echo)
                Write(std::string(buffer, static_cast<size_t>(n)));
        }
    });
}

void TPtyPeer::StopReader()
{
    stop_ = true;
    if (reader_.joinable())
        reader_.join();
}

std::string TPtyPeer::Received() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

size_t TPtyPeer::ReceivedSize() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_.size();
}

void TPtyPeer::CloseMaster()
{
    StopReader();
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

}  // namespace SerialTest
