#include "tests/modemsim/pty_client.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace ModemSim {

namespace {

speed_t BaudToSpeed(int baud)
{
    switch (baud) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

bool HasFinal(const std::string& s)
{
    for (const char* f : {"\r\nOK\r\n", "\r\nERROR\r\n", "+CME ERROR: ", "+CMS ERROR: ", "\r\nNO CARRIER\r\n"}) {
        const size_t pos = s.find(f);
        if (pos == std::string::npos)
            continue;
        if (f[0] != '+')
            return true;
        if (s.find("\r\n", pos) != std::string::npos)
            return true;
    }
    return false;
}

}  // namespace

TPtyClient::~TPtyClient()
{
    Close();
}

bool TPtyClient::Open(const std::string& path, int baud)
{
    Close();
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    hungUp_ = false;
    received_.clear();
    if (!SetBaud(baud)) {
        Close();
        return false;
    }
    tcflush(fd_, TCIOFLUSH);
    return true;
}

bool TPtyClient::SetBaud(int baud)
{
    termios tio{};
    if (fd_ < 0 || tcgetattr(fd_, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    const speed_t speed = BaudToSpeed(baud);
    if (speed == B0)
        return false;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return tcsetattr(fd_, TCSANOW, &tio) == 0;
}

void TPtyClient::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool TPtyClient::Write(const std::string& bytes)
{
    size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else if (n < 0 && errno == EINTR)
            continue;
        else
            return false;
    }
    return done == bytes.size();
}

bool TPtyClient::ReadSome(int timeoutMs)
{
    if (fd_ < 0 || hungUp_)
        return false;
    pollfd p{fd_, POLLIN, 0};
    const int r = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (r <= 0)
        return false;
    if (p.revents & POLLIN) {
        char buf[4096];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            received_.append(buf, static_cast<size_t>(n));
            return true;
        }
        if (n == 0 || (errno != EAGAIN && errno != EINTR))
            hungUp_ = true;
        return false;
    }
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
        hungUp_ = true;
    return false;
}

bool TPtyClient::WaitFor(const std::string& text, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (received_.find(text) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0 || hungUp_)
            return false;
        ReadSome(static_cast<int>(left));
    }
    return true;
}

void TPtyClient::ReadFor(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0 || hungUp_)
            return;
        ReadSome(static_cast<int>(left));
    }
}

std::string TPtyClient::Take()
{
    std::string out;
    out.swap(received_);
    return out;
}

std::string TPtyClient::Transact(const std::string& line, int timeoutMs)
{
    Take();
    if (!Command(line))
        return {};
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!HasFinal(received_)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0 || hungUp_)
            break;
        ReadSome(static_cast<int>(left));
    }
    return Take();
}

}  // namespace ModemSim
