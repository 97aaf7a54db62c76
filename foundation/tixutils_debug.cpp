#include "foundation/tixutils_debug.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "foundation/tixutils_datetime.h"
#include "platform/debug_sink.h"

namespace Tixutils {

namespace {

std::atomic<bool> g_debugOn{true};

std::mutex g_logMutex;
std::string g_logName;
DebugFileErrorHandler g_fileErrorHandler;

void reportFileError(const std::string& fileName)
{
    if (InitWriteDebugSilent)
        return;
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(fileName, ec);
    const std::string text = "Cannot open " + (ec ? fileName : full.string());
    DebugFileErrorHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_logMutex);
        handler = g_fileErrorHandler;
    }
    if (handler)
        handler(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
}

// strerror_r comes in two shapes (GNU returns the text, XSI fills the buffer).
[[maybe_unused]] const char* strerrorResult(int result, const char* buffer)
{
    return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* strerrorResult(const char* result, const char*)
{
    return result;
}

std::mutex g_keptMutex;
std::map<const char*, std::unique_ptr<std::string>> g_kept;

}  // namespace

void DoGlobalDebug(const std::string& text)
{
    if (!g_debugOn)
        return;
    try {
        throw std::runtime_error(text);
    } catch (const std::exception& e) {
        Platform::EmitDebugText(e.what());
    }
}

void SetGlobalDebug(bool on)
{
    g_debugOn = on;
}

bool GlobalDebug()
{
    return g_debugOn;
}

// Kept out of line so that a breakpoint on it always has a place to stop.
__attribute__((noinline)) const void* DoNothing(const void* p)
{
    asm volatile("" ::: "memory");
    return p;
}

DebugFileErrorHandler SetDebugFileErrorHandler(DebugFileErrorHandler handler)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    DebugFileErrorHandler old = std::move(g_fileErrorHandler);
    g_fileErrorHandler = std::move(handler);
    return old;
}

void InitDebug(const std::string& fileName, bool append)
{
    {
        std::lock_guard<std::mutex> lock(g_logMutex);
        if (append && fileName == g_logName)
            return;
        g_logName = fileName;
    }
    InitDebug2(fileName, append);
}

void InitDebug2(const std::string& fileName, bool append)
{
    InitDebug2(fileName, append, true);
}

void InitDebug2(const std::string& fileName, bool append, bool writeHeader)
{
    if (fileName.empty())
        return;
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    const int fd = ::open(fileName.c_str(), flags, 0644);
    if (fd < 0) {
        reportFileError(fileName);
        return;
    }
    ::close(fd);
    if (writeHeader) {
        WriteDebug2(DateTimeToStrEx(Now(), 0), fileName);
        WriteDebug2("", fileName);
        WriteDebug2("-----------------------------------", fileName);
        WriteDebug2("", fileName);
    }
}

void WriteDebug(const std::string& text)
{
    std::string name;
    {
        std::lock_guard<std::mutex> lock(g_logMutex);
        name = g_logName;
    }
    WriteDebug2(text, name);
}

void WriteDebug2(const std::string& text, const std::string& fileName)
{
    if (fileName.empty())
        return;
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        reportFileError(fileName);
        return;
    }
    const std::string line = text + "\r\n";
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    ::close(fd);
}

std::string TrimSystemMessage(const std::string& message)
{
    size_t end = message.size();
    bool period = false;
    while (end > 0) {
        const char c = message[end - 1];
        if (c == '\n' || c == '\r') {
            --end;
        } else if (c == '.' && !period) {
            period = true;
            --end;
        } else {
            break;
        }
    }
    std::string text = message.substr(0, end);
    if (period)
        text += '.';
    return text;
}

void SystemErrorMessage(uint32_t code, const void* /*arguments*/, std::string& text)
{
    char buffer[512] = {};
    const char* message = nullptr;
    if (code <= 0x7FFFFFFFu) {
        message = strerrorResult(strerror_r(int(code), buffer, sizeof buffer), buffer);
        // glibc answers every code it does not know with "Unknown error N"
        // instead of failing; that is no message.
        if (message && std::strncmp(message, "Unknown error", 13) == 0)
            message = nullptr;
        if (message && *message == '\0')
            message = nullptr;
    }
    if (message) {
        text = TrimSystemMessage(message);
        return;
    }
    if (code == 632) {
        text = "Parameter dwSize of the passed structure is not filled.";
        return;
    }
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "Error %08X", unsigned(code));
    text = fallback;
}

std::string SystemErrorMessage(uint32_t code)
{
    std::string text;
    SystemErrorMessage(code, nullptr, text);
    return text;
}

const char* IncStringRefCount(const std::string& text)
{
    auto copy = std::make_unique<std::string>(text);
    const char* p = copy->c_str();
    std::lock_guard<std::mutex> lock(g_keptMutex);
    g_kept.emplace(p, std::move(copy));
    return p;
}

void DecStringRefCount(const char* p)
{
    std::lock_guard<std::mutex> lock(g_keptMutex);
    g_kept.erase(p);
}

bool CompareEvents(const TMethod& a, const TMethod& b)
{
    return a.Code == b.Code && a.Data == b.Data;
}

bool TixLineReaderGetLine(TTixLineReaderData& state, std::string& line)
{
    const int32_t length = (state.Data != nullptr && state.DataLength > 0) ? state.DataLength : 0;
    if (state.Position < 0 || state.Position > length)
        state.Position = length;
    const int32_t start = state.Position;
    int32_t i = start;
    while (i < length) {
        if (state.Data[i++] == '\n') {
            line = state.Pending;
            line.append(state.Data + start, size_t(i - start));
            state.Pending.clear();
            state.NeedMore = false;
            state.Position = i;
            return true;
        }
    }
    if (length > start)
        state.Pending.append(state.Data + start, size_t(length - start));
    state.NeedMore = true;
    state.Position = 0;
    return false;
}

void SetBit(uint8_t& value, uint8_t mask, bool set)
{
    if (set)
        value = uint8_t(value | mask);
    else
        value = uint8_t(value & ~mask);
}

int IntegerLog2(uint32_t value)
{
    return value == 0 ? -1 : 31 - __builtin_clz(value);
}

int IntegerLog2Low(uint32_t value)
{
    return value == 0 ? -1 : __builtin_ctz(value);
}

int CountBits(uint32_t value)
{
    return __builtin_popcount(value);
}

uint32_t Reverse1(uint32_t value)
{
    uint32_t r = 0;
    for (int i = 0; i < 32; ++i) {
        r = (r << 1) | (value & 1u);
        value >>= 1;
    }
    return r;
}

uint32_t Reverse8(uint32_t value)
{
    return __builtin_bswap32(value);
}

void ExchangeMemory(void* a, void* b, int count)
{
    if (a == nullptr || b == nullptr || count <= 0 || a == b)
        return;
    auto* pa = static_cast<unsigned char*>(a);
    auto* pb = static_cast<unsigned char*>(b);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        uint32_t ta, tb;
        std::memcpy(&ta, pa + i, 4);
        std::memcpy(&tb, pb + i, 4);
        std::memcpy(pa + i, &tb, 4);
        std::memcpy(pb + i, &ta, 4);
    }
    for (; i < count; ++i) {
        const unsigned char t = pa[i];
        pa[i] = pb[i];
        pb[i] = t;
    }
}

}  // namespace Tixutils
