#pragma once
#include <cstdint>
#include <functional>

#include "foundation/tixutils_paint.h"

// The two round images of the check control, walked by scan lines. Each
// pixel of the box falls into a colour class by its squared half-pixel
// distance from the centre; one pass draws one class, handing its runs of
// pixels to OnRun (first column, last column, row; both columns inclusive).
// Radius2 is the control's CheckMarkSize.

// Classes: 0 outer ring upper-left, 4 outer ring lower-right, 1 inner ring
// upper-left, 3 inner ring lower-right, 2 the face, 5 the dot (only when
// Checked).
class VTixPaintCircularShapeInfo_Radio : public Tixutils::VTixPaintCircularShapeInfo {
public:
    int DrawClass = 0;
    bool Checked = false;
    std::function<void(int X0, int X1, int Y)> OnRun;

    // Class limits, set by Starting from Radius2.
    int32_t R0 = 0, R1 = 0, R2 = 0, R3 = 0;

    // The class of a pixel; -1 outside the shape.
    int ClassOf(int32_t Distance, int32_t DX2, int32_t DY2) const;

    void Starting() override;
    void StartingLine() override;
    void FinishedLine() override;
    void Point() override;

private:
    bool m_inRun = false;
    int32_t m_runStart = 0;
};

// Classes: 0 the ring, 1 the inner disc.
class VTixPaintCircularShapeInfo_Lamp : public Tixutils::VTixPaintCircularShapeInfo {
public:
    int DrawClass = 0;
    std::function<void(int X0, int X1, int Y)> OnRun;

    int32_t R0 = 0, R1 = 0;

    int ClassOf(int32_t Distance) const;

    void Starting() override;
    void StartingLine() override;
    void FinishedLine() override;
    void Point() override;

private:
    bool m_inRun = false;
    int32_t m_runStart = 0;
};
