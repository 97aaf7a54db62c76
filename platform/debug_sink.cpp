#include "platform/debug_sink.h"

#include <mutex>

namespace Platform {

namespace {
std::mutex g_mutex;
DebugSink g_sink;
}

DebugSink SetDebugSink(DebugSink sink)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    DebugSink old = std::move(g_sink);
    g_sink = std::move(sink);
    return old;
}

void EmitDebugText(const std::string& text)
{
    DebugSink sink;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        sink = g_sink;
    }
    if (sink)
        sink(text);
}

}  // namespace Platform
