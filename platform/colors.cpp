#include "platform/colors.h"

#include <array>
#include <cstddef>

namespace Platform {

namespace {
constexpr std::array<TColor, SYSTEM_COLOR_COUNT> kClassic = {
    0xC8D0D4,  // scroll bar
    0x808000,  // desktop
    0x6A240A,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x6A240A,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x404040,  // 3D dark shadow
    0xC0C0C0,  // 3D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
};

std::array<TColor, SYSTEM_COLOR_COUNT> g_palette = kClassic;
}  // namespace

TColor GetSysColor(int index)
{
    if (index < 0 || index >= SYSTEM_COLOR_COUNT)
        return 0;
    return g_palette[size_t(index)];
}

void SetSysColor(int index, TColor rgb)
{
    if (index >= 0 && index < SYSTEM_COLOR_COUNT)
        g_palette[size_t(index)] = TColor(uint32_t(rgb) & 0x00FFFFFFu);
}

void ResetClassicSysColors() { g_palette = kClassic; }

TColor ColorToRGB(TColor c)
{
    if (IsSystemColor(c))
        return GetSysColor(int(uint32_t(c) & 0xFF));
    return c;
}

}  // namespace Platform
