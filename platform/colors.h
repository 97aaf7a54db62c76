#pragma once
#include <cstdint>

// Colours as the program stores them: 0x00BBGGRR, with the system colours
// 0x80000000 | index resolved through a palette, and clNone for "no colour".
using TColor = int32_t;

namespace Platform {

constexpr TColor MakeColor(uint8_t r, uint8_t g, uint8_t b)
{
    return TColor(uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16));
}
constexpr uint8_t ColorR(TColor c) { return uint8_t(uint32_t(c) & 0xFF); }
constexpr uint8_t ColorG(TColor c) { return uint8_t((uint32_t(c) >> 8) & 0xFF); }
constexpr uint8_t ColorB(TColor c) { return uint8_t((uint32_t(c) >> 16) & 0xFF); }

// System colour indexes (the low byte of a system colour).
enum SystemColorIndex : int {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
    SYSTEM_COLOR_COUNT = 25
};

constexpr bool IsSystemColor(TColor c) { return (uint32_t(c) & 0xFF000000u) == 0x80000000u; }

// The RGB value of a colour: system colours through the palette, clNone
// and other special values stay as they are.
TColor ColorToRGB(TColor c);

// The palette starts with the classic Windows colours (button face
// 0xC0C0C0); the window may load the desktop style's colours, tests pin
// the classic ones again.
TColor GetSysColor(int index);
void SetSysColor(int index, TColor rgb);
void ResetClassicSysColors();

}  // namespace Platform

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor SystemColor(int index) { return TColor(0x80000000u | uint32_t(index)); }
constexpr TColor clScrollBar = SystemColor(Platform::COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(Platform::COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(Platform::COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(Platform::COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(Platform::COLOR_MENU);
constexpr TColor clWindow = SystemColor(Platform::COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(Platform::COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(Platform::COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(Platform::COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(Platform::COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(Platform::COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(Platform::COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(Platform::COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(Platform::COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(Platform::COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(Platform::COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(Platform::COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(Platform::COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(Platform::COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(Platform::COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(Platform::COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(Platform::COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(Platform::COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(Platform::COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(Platform::COLOR_INFOBK);
