#pragma once

// Enumerations of the check and lamp control, in their stored order.

// Role: a click toggles, a click selects (clearing the group), or only the
// program changes the state.
enum VTixCheckControlType { iacctCheck, iacctSelect, iacctReadOnly };

// Drawing of the check image. iaccsStyleWin, iaccsStyleLamp and
// iaccsStyleButton are the framed styles.
enum VTixCheckControlStyle {
    iaccsStyle1,
    iaccsBitmap,
    iaccsStyle2,
    iaccsStyle1Small,
    iaccsStyle3,
    iaccsStyleWin,
    iaccsStyleLamp,
    iaccsStyleButton
};

enum VTixCheckControlTextHAlign { iaccthaLeft, iaccthaRight, iaccthaCenter };
enum VTixCheckControlTextVAlign { iacctvaTop, iacctvaBottom, iacctvaCenter };
enum VTixCheckControlText3DStyle { iscct3dsSimple, iscct3dsUp, iscct3dsDown };

inline bool IsFramedCheckStyle(VTixCheckControlStyle s)
{
    return s == iaccsStyleWin || s == iaccsStyleLamp || s == iaccsStyleButton;
}
