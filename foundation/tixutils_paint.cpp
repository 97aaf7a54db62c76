#include "foundation/tixutils_paint.h"

#include <algorithm>
#include <limits>

namespace Tixutils {

bool IsColorDark(TColor Color)
{
    const TColor c = Platform::ColorToRGB(Color);
    return Platform::ColorR(c) < 128 && Platform::ColorG(c) < 128 && Platform::ColorB(c) < 128;
}

bool IsColorDark2(TColor Color)
{
    const TColor c = Platform::ColorToRGB(Color);
    return 292 * int(Platform::ColorR(c)) + 594 * int(Platform::ColorG(c))
               + 114 * int(Platform::ColorB(c))
           < 128000;
}

TColor GetCColor(TColor C1, TColor C2, int Whole, int Part)
{
    if (C1 == clNone || C2 == clNone)
        return clNone;
    if (Whole == 0)
        return C1;
    const TColor a = Platform::ColorToRGB(C1);
    const TColor b = Platform::ColorToRGB(C2);
    auto mix = [&](int c1, int c2) {
        // 64 bits: Part may be any integer.
        const int64_t v = int64_t(c1) + int64_t(c2 - c1) * Part / Whole;
        return uint8_t(std::clamp<int64_t>(v, 0, 255));
    };
    return Platform::MakeColor(mix(Platform::ColorR(a), Platform::ColorR(b)),
                               mix(Platform::ColorG(a), Platform::ColorG(b)),
                               mix(Platform::ColorB(a), Platform::ColorB(b)));
}

int32_t VTixPaintCircularShapeInfo::getLimitFromRadius2(int32_t Radius2Value)
{
    return Radius2Value * Radius2Value;
}

void PaintCircularShape(VTixPaintCircularShapeInfo& Info)
{
    // Squared half-pixel distances of the supported sizes fit in 32 bits;
    // keep the running sums wider anyway and saturate what is handed out.
    auto clamp32 = [](int64_t v) {
        return int32_t(std::min<int64_t>(v, std::numeric_limits<int32_t>::max()));
    };
    Info.Limit = Info.getLimitFromRadius2(Info.Radius2);
    Info.Starting();
    int64_t dy = int64_t(2) * Info.Top - Info.Top - Info.Bottom;
    const int64_t dx0 = int64_t(Info.Left) - Info.Right;
    int64_t rowD = dx0 * dx0 + dy * dy;
    for (int64_t y = Info.Top; y <= Info.Bottom; ++y) {
        Info.Y = int32_t(y);
        Info.DY2 = int32_t(dy);
        Info.Stop = false;
        Info.StartingLine();
        int64_t d = rowD;
        int64_t dx = dx0;
        for (int64_t x = Info.Left; x <= Info.Right; ++x) {
            Info.X = int32_t(x);
            Info.DX2 = int32_t(dx);
            Info.Distance = clamp32(d + 1);
            Info.Point();
            if (Info.Stop)
                break;
            d += 4 * dx + 4;
            dx += 2;
        }
        Info.FinishedLine();
        rowD += 4 * dy + 4;
        dy += 2;
    }
}

namespace {

bool IsWordSeparator(char c) { return c == ' ' || c == '\r' || c == '\n'; }

}  // namespace

void BreakStringToStringList(const std::string& S, std::vector<std::string>& Lines,
                             const TextWidthFunc& TextWidth, int Width)
{
    Lines.clear();
    Lines.emplace_back();
    auto fits = [&](const std::string& text) { return TextWidth(text) <= Width; };

    size_t i = 0;
    while (i < S.size()) {
        while (i < S.size() && IsWordSeparator(S[i]))
            ++i;
        if (i >= S.size())
            break;
        size_t end = i;
        while (end < S.size() && !IsWordSeparator(S[end]))
            ++end;
        const std::string word = S.substr(i, end - i);
        i = end;

        std::string& last = Lines.back();
        const std::string joined = last.empty() ? word : last + ' ' + word;
        if (fits(joined)) {
            last = joined;
            continue;
        }
        if (!last.empty())
            Lines.emplace_back();
        if (fits(word)) {
            Lines.back() = word;
            continue;
        }
        // Too wide for a whole line: fill lines character by character.
        for (char c : word) {
            std::string& line = Lines.back();
            if (!line.empty() && !fits(line + c))
                Lines.emplace_back(1, c);
            else
                line += c;
        }
    }
    if (Lines.back().empty())
        Lines.pop_back();
}

long double TixPI() { return 3.14159265358979323846264338327950288L; }

int TixSign(int Value) { return Value > 0 ? 1 : (Value < 0 ? -1 : 0); }
float TixSign(float Value) { return Value > 0 ? 1.0f : (Value < 0 ? -1.0f : 0.0f); }
double TixSign(double Value) { return Value > 0 ? 1.0 : (Value < 0 ? -1.0 : 0.0); }
long double TixSign(long double Value) { return Value > 0 ? 1.0L : (Value < 0 ? -1.0L : 0.0L); }

bool TixExitWindows() { return TixExitWindows(9, 0); }

bool TixExitWindows(uint32_t Flags, uint32_t Reserved)
{
    (void)Flags;
    (void)Reserved;
    return false;
}

}  // namespace Tixutils
