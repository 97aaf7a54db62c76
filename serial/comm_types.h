#pragma once
#include <array>
#include <cstdint>
#include <string>

// Line settings of the serial port component and their lookup tables.
// The enumeration values are the numbers stored in configuration texts
// and in the device control block (TDCB), so their order is fixed.

enum class TBaudRate : uint8_t {
    ____110, ____300, ____600, ___1200, ___2400, ___4800, ___9600, __14400,
    __19200, __38400, __56000, __57600, _115200, _128000, _256000,
};
enum class TParity : uint8_t { None, Odd, Even, Mark, Space };
// The DCB byte size is the value plus 4.
enum class TDataBits : uint8_t { _4, _5, _6, _7, _8 };
enum class TStopBits : uint8_t { _1, _1_5, _2 };

enum VTixSignalControl_DTR : uint8_t {
    VTixSignalControl_DTROff = 0,
    VTixSignalControl_DTREnable = 1,
    VTixSignalControl_DTRHandshake = 2,
};
enum VTixSignalControl_RTS : uint8_t {
    VTixSignalControl_RTSOff = 0,
    VTixSignalControl_RTSEnable = 1,
    VTixSignalControl_RTSHandshake = 2,
    VTixSignalControl_RTSToggle = 3,
};

enum Tristate : uint8_t { TristateUnkn, TristateTrue, TristateFalse };

inline constexpr std::array<uint32_t, 15> TBaudRateLookup = {
    110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
inline constexpr std::array<int, 5> TDataBitsLookup = {4, 5, 6, 7, 8};
inline constexpr std::array<const char*, 3> TStopBitsLookup = {"1", "1.5", "2"};
inline constexpr std::array<const char*, 5> TParityLookup = {"None", "Odd", "Even", "Mark", "Space"};

// Index of a value in one of the tables above (the enumeration value); -1
// when absent.
template <size_t N, typename T>
int IndexOfNumber(const std::array<T, N>& table, long long value)
{
    for (size_t i = 0; i < N; ++i)
        if (static_cast<long long>(table[i]) == value)
            return static_cast<int>(i);
    return -1;
}

template <size_t N>
int IndexOfText(const std::array<const char*, N>& table, const std::string& text)
{
    for (size_t i = 0; i < N; ++i)
        if (text == table[i])
            return static_cast<int>(i);
    return -1;
}

namespace Serial {

// The device control block: the port's line settings in one record, as
// the settings dialog and the component exchange them. The port layer
// turns it into termios.
struct TDCB {
    // Bits of Flags.
    static constexpr uint32_t fBinary = 0x0001;
    static constexpr uint32_t fParity = 0x0002;
    static constexpr uint32_t fOutxCtsFlow = 0x0004;
    static constexpr uint32_t fOutxDsrFlow = 0x0008;
    static constexpr uint32_t fDtrControlMask = 0x0030;  // 2 bits at 4
    static constexpr uint32_t fDsrSensitivity = 0x0040;
    static constexpr uint32_t fTXContinueOnXoff = 0x0080;
    static constexpr uint32_t fOutX = 0x0100;
    static constexpr uint32_t fInX = 0x0200;
    static constexpr uint32_t fErrorChar = 0x0400;
    static constexpr uint32_t fNull = 0x0800;
    static constexpr uint32_t fRtsControlMask = 0x3000;  // 2 bits at 12
    static constexpr uint32_t fAbortOnError = 0x4000;

    uint32_t DCBlength = 28;
    uint32_t BaudRate = 0;
    uint32_t Flags = 0;
    uint16_t XonLim = 0;
    uint16_t XoffLim = 0;
    uint8_t ByteSize = 0;
    uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;

    unsigned DtrControl() const { return (Flags & fDtrControlMask) >> 4; }
    unsigned RtsControl() const { return (Flags & fRtsControlMask) >> 12; }
    void SetDtrControl(unsigned v) { Flags = (Flags & ~fDtrControlMask) | ((v & 3u) << 4); }
    void SetRtsControl(unsigned v) { Flags = (Flags & ~fRtsControlMask) | ((v & 3u) << 12); }
};

// Port events (mask bits of a reported event).
constexpr uint32_t EV_RXCHAR = 0x0001;
constexpr uint32_t EV_RXFLAG = 0x0002;
constexpr uint32_t EV_TXEMPTY = 0x0004;
constexpr uint32_t EV_CTS = 0x0008;
constexpr uint32_t EV_DSR = 0x0010;
constexpr uint32_t EV_RLSD = 0x0020;
constexpr uint32_t EV_BREAK = 0x0040;
constexpr uint32_t EV_ERR = 0x0080;
constexpr uint32_t EV_RING = 0x0100;

// Escape functions of ExtraFunc and the port layer.
constexpr int SETXOFF = 1;
constexpr int SETXON = 2;
constexpr int SETRTS = 3;
constexpr int CLRRTS = 4;
constexpr int SETDTR = 5;
constexpr int CLRDTR = 6;
constexpr int RESETDEV = 7;
constexpr int SETBREAK = 8;
constexpr int CLRBREAK = 9;

}  // namespace Serial
