#include "widgets/theme_switch.h"

#include <atomic>

namespace Widgets {

namespace {
std::atomic<bool> g_themesEnabled{true};
}

bool ThemesEnabled() { return g_themesEnabled.load(std::memory_order_relaxed); }

void SetThemesEnabled(bool Enabled) { g_themesEnabled.store(Enabled, std::memory_order_relaxed); }

}  // namespace Widgets
