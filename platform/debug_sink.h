#pragma once
#include <functional>
#include <string>

// Where developer debug texts go. Nothing is shown to the user; by default
// the texts are dropped (a debugger can break in EmitDebugText), and tests
// install a sink to catch them.
namespace Platform {

using DebugSink = std::function<void(const std::string&)>;

// Installs a sink and returns the previous one.
DebugSink SetDebugSink(DebugSink sink);
void EmitDebugText(const std::string& text);

}  // namespace Platform
