#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/colors.h"

// Colour arithmetic, the scan-line walker for round shapes, word wrap and a
// few small numeric helpers. No drawing surface is touched here: the shape
// walker hands pixels to a callback object and the word wrap measures text
// through a callback, so the widgets decide how to draw.
namespace Tixutils {

// True when red, green and blue are all below 128.
bool IsColorDark(TColor Color);
// True when 292 R + 594 G + 114 B is below 128000 (perceived brightness).
bool IsColorDark2(TColor Color);

// The colour Part/Whole of the way from C1 to C2, per channel in integer
// arithmetic (truncating toward zero) and clamped to 0..255. clNone on
// either side gives clNone; Whole 0 gives C1 as it is. System colours are
// resolved first.
TColor GetCColor(TColor C1, TColor C2, int Whole, int Part);

// Parameter block and callback object of PaintCircularShape. Coordinates
// are pixels, the box inclusive. Distances are squared and in half-pixel
// units so the walk needs no multiplication per pixel.
class VTixPaintCircularShapeInfo {
public:
    virtual ~VTixPaintCircularShapeInfo() = default;

    int32_t Left = 0;      // bounding box (input)
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Radius2 = 0;   // doubled radius (input)
    int32_t Limit = 0;     // getLimitFromRadius2(Radius2), set by the walk
    int32_t X = 0;         // current column
    int32_t Y = 0;         // current row
    int32_t DX2 = 0;       // 2 * X - Left - Right
    int32_t DY2 = 0;       // 2 * Y - Top - Bottom
    int32_t Distance = 0;  // DX2^2 + DY2^2 + 1
    bool Stop = false;     // set by Point to skip the rest of the row

    // The square of the doubled radius.
    virtual int32_t getLimitFromRadius2(int32_t Radius2Value);
    virtual void Starting() {}
    virtual void StartingLine() {}
    virtual void FinishedLine() {}
    // One pixel at X, Y with its Distance.
    virtual void Point() = 0;
};

// Walks the box row by row, column by column, calling Info.Point for each
// pixel with the distance kept incrementally.
void PaintCircularShape(VTixPaintCircularShapeInfo& Info);

// Width in pixels of a piece of text, as the caller's font measures it.
using TextWidthFunc = std::function<int(const std::string&)>;

// Wraps S into Lines so that every line fits Width pixels. Blanks, CR and
// LF all separate words (line breaks in S do not force breaks); a word
// wider than a line is split by characters, and every line takes at least
// one character, so a tiny Width cannot loop.
void BreakStringToStringList(const std::string& S, std::vector<std::string>& Lines,
                             const TextWidthFunc& TextWidth, int Width);

long double TixPI();

int TixSign(int Value);
float TixSign(float Value);
double TixSign(double Value);
long double TixSign(long double Value);

// Shutting the machine down is not this program's business on this
// platform: both forms refuse and return false.
bool TixExitWindows();
bool TixExitWindows(uint32_t Flags, uint32_t Reserved);

}  // namespace Tixutils
