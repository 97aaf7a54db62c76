#pragma once
#include <QRect>

#include "platform/colors.h"
#include "widgets/check_control_types.h"

class QPainter;
class TImageList;

// What the check image of a check control needs to know at one paint.
struct VTixCheckImageParams {
    // Flags of the state word, as the frame-control states number them.
    enum : unsigned {
        Radio = 4,
        Inactive = 0x100,
        Pushed = 0x200,
        Checked = 0x400,
        Hot = 0x1000,
    };

    VTixCheckControlStyle Style = iaccsStyleWin;
    bool RadioForm = false;      // draw the radio form of the style
    unsigned State = 0;          // the flags above
    TColor Color = clBtnFace;    // the control's background
    TColor CheckFieldColor1 = clBlack;
    TColor CheckFieldColor2 = clWhite;
    QRect Box;                   // the image rectangle
    int CheckMarkSize = 13;
    const TImageList* ImageList = nullptr;
    bool ThemesEnabled = false;
};

// Draws the check image of one of the eight styles.
void PaintCheckImage(QPainter& Painter, const VTixCheckImageParams& Params);

// True when |dR| + |dG| + |dB| of the two colours is below Limit.
bool LessColorDistanceThen(TColor A, TColor B, int Limit);
