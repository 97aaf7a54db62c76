#include "serial/termios_port.h"

// termios2 (BOTHER) lives in the kernel's headers, which clash with
// <termios.h>; this file uses the kernel's definitions only.
#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "serial/modem_lines.h"

namespace Serial {

namespace {

struct RateConstant {
    uint32_t rate;
    unsigned constant;
};

constexpr RateConstant kRates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600},
};

// The termios form of a control block; false when termios cannot carry it.
bool BuildTermios(const TDCB& dcb, termios2& t)
{
    // Raw mode: no input or output processing, no echo, no signals.
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY |
                   INPCK | IGNPAR | IUCLC | IMAXBEL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN | ECHOE | ECHOK);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    // HUPCL: closing the port drops DTR and RTS, which a modem may take
    // as the order to hang up or reset.
    t.c_cflag |= CLOCAL | CREAD | HUPCL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    switch (dcb.ByteSize) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return false;  // 4 data bits and the like
    }
    switch (dcb.Parity) {
    case 0: break;
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: return false;
    }
    switch (dcb.StopBits) {
    case 0: break;
    case 1:
        // CSTOPB with 5 data bits is 1.5 stop bits; other sizes have none.
        if (dcb.ByteSize != 5)
            return false;
        t.c_cflag |= CSTOPB;
        break;
    case 2: t.c_cflag |= CSTOPB; break;
    default: return false;
    }

    // Flow control: RTS/CTS in both directions; DTR/DSR and RTS toggling
    // have no termios form.
    if ((dcb.Flags & TDCB::fOutxDsrFlow) || dcb.DtrControl() == 2 || dcb.RtsControl() == 3)
        return false;
    if ((dcb.Flags & TDCB::fOutxCtsFlow) || dcb.RtsControl() == 2)
        t.c_cflag |= CRTSCTS;
    if (dcb.Flags & TDCB::fOutX)
        t.c_iflag |= IXON;
    if (dcb.Flags & TDCB::fInX)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);

    if (dcb.BaudRate == 0)
        return false;  // B0 would hang the line up
    unsigned constant = BOTHER;
    for (const auto& r : kRates)
        if (r.rate == dcb.BaudRate)
            constant = r.constant;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= constant | (constant << IBSHIFT);
    t.c_ospeed = dcb.BaudRate;
    t.c_ispeed = dcb.BaudRate;
    return true;
}

// Within 3 %: what a UART divisor gives for a rate it supports.
bool RateClose(uint32_t wanted, uint32_t actual)
{
    const uint64_t diff = wanted > actual ? wanted - actual : actual - wanted;
    return diff * 100 <= uint64_t(wanted) * 3;
}

int ModemBit(int fd, unsigned long request, int bit)
{
    if (ioctl(fd, request, &bit) == 0)
        return 0;
    return errno == ENOTTY || errno == EINVAL ? 0 : errno;  // no modem lines
}

bool ListedKernelConsole(dev_t rdev)
{
    FILE* f = std::fopen("/proc/consoles", "re");
    if (!f)
        return false;
    char line[256];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, f)) {
        // The last field is "major:minor".
        char* colon = std::strrchr(line, ':');
        if (!colon)
            continue;
        char* start = colon;
        while (start > line && start[-1] >= '0' && start[-1] <= '9')
            --start;
        if (start == colon)
            continue;
        const unsigned long maj = std::strtoul(start, nullptr, 10);
        const unsigned long min = std::strtoul(colon + 1, nullptr, 10);
        found = maj == major(rdev) && min == minor(rdev);
    }
    std::fclose(f);
    return found;
}

}  // namespace

TTermiosPort::~TTermiosPort()
{
    if (fd_ >= 0)
        ::close(fd_);  // drops the flock as well
}

bool TTermiosPort::IsConsoleDevice(int fd)
{
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return true;
    const unsigned maj = major(st.st_rdev), min = minor(st.st_rdev);
    if (maj == 5 && (min == 0 || min == 1))  // /dev/tty, /dev/console
        return true;
    if (maj == 4 && min < 64)  // virtual consoles
        return true;
    pid_t sid = 0;
    if (ioctl(fd, TIOCGSID, &sid) == 0 && sid == getsid(0))
        return true;  // our own controlling terminal
    return ListedKernelConsole(st.st_rdev);
}

int TTermiosPort::Open(const std::string& path)
{
    if (fd_ >= 0)
        return EBUSY;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st {};
    termios2 t {};
    int err = 0;
    if (fstat(fd, &st) != 0)
        err = errno;
    else if (!S_ISCHR(st.st_mode) || ioctl(fd, TCGETS2, &t) != 0)
        err = ENOTTY;
    else if (IsConsoleDevice(fd))
        err = EACCES;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        err = errno == EWOULDBLOCK ? EBUSY : errno;
    if (err) {
        ::close(fd);
        return err;
    }
    ioctl(fd, TIOCEXCL);  // keeps other (unprivileged) programs out
    fd_ = fd;
    noModemStatus_ = false;
    noLineCounts_ = false;
    return 0;
}

int TTermiosPort::Configure(const TDCB& dcb)
{
    if (fd_ < 0)
        return EBADF;
    termios2 old {};
    if (ioctl(fd_, TCGETS2, &old) != 0)
        return errno;
    termios2 t = old;
    if (!BuildTermios(dcb, t))
        return EINVAL;
    if (ioctl(fd_, TCSETS2, &t) != 0)
        return errno;
    termios2 now {};
    if (ioctl(fd_, TCGETS2, &now) == 0 && !RateClose(dcb.BaudRate, now.c_ospeed)) {
        ioctl(fd_, TCSETS2, &old);  // a rate the device cannot make: keep the old settings
        return EINVAL;
    }
    return 0;
}

ssize_t TTermiosPort::Read(void* buffer, size_t size)
{
    return ::read(fd_, buffer, size);
}

ssize_t TTermiosPort::Write(const void* buffer, size_t size)
{
    return ::write(fd_, buffer, size);
}

unsigned TTermiosPort::wait(int closeFd, short events, int timeoutMs)
{
    pollfd fds[2] = {{closeFd, POLLIN, 0}, {fd_, events, 0}};
    const int n = ::poll(fds, 2, timeoutMs);
    if (n < 0)
        return errno == EINTR ? 0 : WaitFailed;
    unsigned result = 0;
    if (fds[0].revents)
        result |= WaitClose;
    if (fds[1].revents & events)
        result |= WaitReady;
    if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
        result |= WaitHangup;
    return result;
}

unsigned TTermiosPort::WaitRead(int closeFd, int timeoutMs)
{
    return wait(closeFd, POLLIN, timeoutMs);
}

unsigned TTermiosPort::WaitWrite(int closeFd, int timeoutMs)
{
    return wait(closeFd, POLLOUT, timeoutMs);
}

int TTermiosPort::BytesReady(uint32_t& count)
{
    int n = 0;
    if (ioctl(fd_, FIONREAD, &n) != 0)
        return errno;
    count = n < 0 ? 0 : static_cast<uint32_t>(n);
    return 0;
}

int TTermiosPort::GetModemStatus(uint32_t& status)
{
    if (noModemStatus_.load(std::memory_order_relaxed))
        return ENOTTY;
    int bits = 0;
    if (ioctl(fd_, TIOCMGET, &bits) != 0) {
        const int error = errno == EINVAL ? ENOTTY : errno;
        if (error == ENOTTY)
            noModemStatus_.store(true, std::memory_order_relaxed);
        return error;
    }
    status = 0;
    if (bits & TIOCM_CTS)
        status |= MS_CTS_ON;
    if (bits & TIOCM_DSR)
        status |= MS_DSR_ON;
    if (bits & TIOCM_RNG)
        status |= MS_RING_ON;
    if (bits & TIOCM_CAR)
        status |= MS_RLSD_ON;
    return 0;
}

int TTermiosPort::GetLineCounts(TLineCounts& counts)
{
    if (noLineCounts_.load(std::memory_order_relaxed))
        return ENOTTY;
    serial_icounter_struct ic {};
    if (ioctl(fd_, TIOCGICOUNT, &ic) != 0) {
        const int error = errno;
        if (error == ENOTTY || error == EINVAL)
            noLineCounts_.store(true, std::memory_order_relaxed);
        return error;
    }
    counts.cts = ic.cts;
    counts.dsr = ic.dsr;
    counts.ring = ic.rng;
    counts.rlsd = ic.dcd;
    counts.brk = ic.brk;
    counts.frame = ic.frame;
    counts.overrun = ic.overrun;
    counts.parity = ic.parity;
    counts.bufOverrun = ic.buf_overrun;
    return 0;
}

int TTermiosPort::Escape(int function)
{
    switch (function) {
    case SETXOFF: return ioctl(fd_, TCXONC, TCOOFF) == 0 ? 0 : errno;
    case SETXON: return ioctl(fd_, TCXONC, TCOON) == 0 ? 0 : errno;
    case SETRTS: return ModemBit(fd_, TIOCMBIS, TIOCM_RTS);
    case CLRRTS: return ModemBit(fd_, TIOCMBIC, TIOCM_RTS);
    case SETDTR: return ModemBit(fd_, TIOCMBIS, TIOCM_DTR);
    case CLRDTR: return ModemBit(fd_, TIOCMBIC, TIOCM_DTR);
    case SETBREAK: return ioctl(fd_, TIOCSBRK) == 0 ? 0 : errno;
    case CLRBREAK: return ioctl(fd_, TIOCCBRK) == 0 ? 0 : errno;
    default: return EINVAL;
    }
}

void TTermiosPort::Purge(bool rx, bool tx)
{
    if (rx || tx)
        ioctl(fd_, TCFLSH, rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH);
}

std::unique_ptr<TPortIO> MakeTermiosPort()
{
    return std::make_unique<TTermiosPort>();
}

}  // namespace Serial
