#include "widgets/check_shapes.h"

#include <algorithm>

namespace {

int32_t Square(int32_t v) { return v * v; }

// Shared run tracking: a run of the wanted class ends where the class
// changes or at the end of the line; once a run has ended right of the
// centre, nothing of the class follows on that line.
template <class Info>
void TrackRun(Info& info, bool inClass, bool& inRun, int32_t& runStart)
{
    if (inClass) {
        if (!inRun) {
            inRun = true;
            runStart = info.X;
        }
        return;
    }
    if (!inRun)
        return;
    inRun = false;
    if (info.OnRun)
        info.OnRun(runStart, info.X - 1, info.Y);
    if (info.DX2 > 0)
        info.Stop = true;
}

template <class Info>
void EndRun(Info& info, bool& inRun, int32_t runStart)
{
    if (inRun && info.OnRun)
        info.OnRun(runStart, info.X, info.Y);
    inRun = false;
}

}  // namespace

void VTixPaintCircularShapeInfo_Radio::Starting()
{
    const int32_t s = Radius2;
    R0 = s * s - 23;
    R1 = Square(std::min(6 * s / 7, s - 2)) - 15;
    R2 = Square(std::min(5 * s / 7, s - 4)) - 7;
    R3 = std::max(Square(3 * s / 7) - 7, int32_t(4));
}

int VTixPaintCircularShapeInfo_Radio::ClassOf(int32_t Distance, int32_t DX2, int32_t DY2) const
{
    if (Distance > R0)
        return -1;
    const bool upperLeft = -DX2 > DY2;
    if (Distance > R1)
        return upperLeft ? 0 : 4;
    if (Distance > R2)
        return upperLeft ? 1 : 3;
    return (Checked && Distance < R3) ? 5 : 2;
}

void VTixPaintCircularShapeInfo_Radio::StartingLine() { m_inRun = false; }

void VTixPaintCircularShapeInfo_Radio::FinishedLine() { EndRun(*this, m_inRun, m_runStart); }

void VTixPaintCircularShapeInfo_Radio::Point()
{
    TrackRun(*this, ClassOf(Distance, DX2, DY2) == DrawClass, m_inRun, m_runStart);
}

void VTixPaintCircularShapeInfo_Lamp::Starting()
{
    const int32_t s = Radius2;
    R0 = s * s - 23;
    R1 = Square(std::min(6 * s / 7, s - 2)) - 15;
}

int VTixPaintCircularShapeInfo_Lamp::ClassOf(int32_t Distance) const
{
    if (Distance > R0)
        return -1;
    return Distance > R1 ? 0 : 1;
}

void VTixPaintCircularShapeInfo_Lamp::StartingLine() { m_inRun = false; }

void VTixPaintCircularShapeInfo_Lamp::FinishedLine() { EndRun(*this, m_inRun, m_runStart); }

void VTixPaintCircularShapeInfo_Lamp::Point()
{
    TrackRun(*this, ClassOf(Distance) == DrawClass, m_inRun, m_runStart);
}
