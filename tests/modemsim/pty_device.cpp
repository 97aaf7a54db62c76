#include "tests/modemsim/pty_device.h"

#include <sys/ioctl.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace ModemSim {

TPtyDevice::~TPtyDevice()
{
    Close();
}

bool TPtyDevice::Open(std::string* error)
{
    Close();
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + std::strerror(errno);
        Close();
        return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return fail("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0)
        return fail("grantpt/unlockpt");
    char name[256];
    if (ptsname_r(master_, name, sizeof name) != 0)
        return fail("ptsname");
    path_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0)
        return fail("open slave");
    // Raw from the start: no echo or line editing by the pty itself before
    // the program sets its own modes.
    termios tio{};
    if (tcgetattr(slave_, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tcsetattr(slave_, TCSANOW, &tio);
    }
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    return true;
}

void TPtyDevice::Close()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
    slave_ = master_ = -1;
}

int TPtyDevice::SpeedToBaud(unsigned speed)
{
    switch (speed) {
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 0;
    }
}

int TPtyDevice::ProgramBaud() const
{
    if (master_ < 0)
        return 0;
    termios tio{};
    if (tcgetattr(master_, &tio) != 0)
        return 0;
    return SpeedToBaud(cfgetospeed(&tio));
}

bool TPtyDevice::Readable() const
{
    int toDevice = 0, toProgram = 0;
    if (master_ >= 0 && ::ioctl(master_, FIONREAD, &toDevice) != 0)
        toDevice = 0;
    if (slave_ >= 0 && ::ioctl(slave_, FIONREAD, &toProgram) != 0)
        toProgram = 0;
    return toDevice > 0 || toProgram > 0;
}

long TPtyDevice::Read(char* buffer, unsigned long size)
{
    if (master_ < 0)
        return -1;
    const ssize_t n = ::read(master_, buffer, size);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return static_cast<long>(n);
}

unsigned long TPtyDevice::Write(const std::string& bytes)
{
    if (master_ < 0)
        return 0;
    size_t done = 0;
    int stalls = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            stalls = 0;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && ++stalls < 5) {
            // Nobody reads the port: give it a moment, then let the rest go
            // the way of a serial line nobody listens to.
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 20);
            continue;
        }
        break;
    }
    return done;
}

}  // namespace ModemSim
