#include <gtest/gtest.h>

#include "platform/colors.h"
#include "platform/debug_sink.h"
#include "platform/tick.h"

using namespace Platform;

TEST(Tick, OffsetMovesTheClockAcrossTheWrap)
{
    const uint32_t saved = GetTickOffset();
    const uint32_t plain = GetTickCount();
    SetTickOffset(0xFFFFFFFFu - plain - 5);  // the next ticks cross zero
    const uint32_t a = GetTickCount();
    EXPECT_GE(a, 0xFFFFFFF0u);
    SetTickOffset(saved);
    EXPECT_LT(uint32_t(GetTickCount() - plain), 10000u);
}

TEST(Colors, SystemColoursResolveThroughThePalette)
{
    ResetClassicSysColors();
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0);
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    SetSysColor(COLOR_BTNFACE, MakeColor(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clBtnFace), 0x030201);
    SetSysColor(99, 0);  // ignored, no out-of-range write
    ResetClassicSysColors();
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0);
}

TEST(DebugSink, TextsReachTheInstalledSinkOnly)
{
    std::string got;
    auto old = SetDebugSink([&](const std::string& t) { got += t; });
    EmitDebugText("Chyba");
    SetDebugSink(old);
    EmitDebugText("ignored");
    EXPECT_EQ(got, "Chyba");
}
