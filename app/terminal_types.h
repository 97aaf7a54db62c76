#pragma once
#include "platform/colors.h"

// The line types of the terminal: each selects a prefix, the way bytes are
// shown and the colours.
enum VTixTerminal_LineType : int {
    VTixTerminal_ltInLine = 0,
    VTixTerminal_ltOutLine = 1,
    VTixTerminal_ltInBin = 2,
    VTixTerminal_ltOutBin = 3,
    VTixTerminal_ltInText = 4,
    VTixTerminal_ltOutText = 5,
    VTixTerminal_ltExtra = 6,
    VTixTerminal_ltExtraR = 7,
    VTixTerminal_ltExtraG = 8,
    VTixTerminal_ltExtraB = 9,
    VTixTerminal_ltExtraPlus = 10,
    VTixTerminal_ltExtraMinus = 11,
    VTixTerminal_ltBinPlus = 12,
    VTixTerminal_ltBinMinus = 13,
    VTixTerminal_lt_NoType = 14,  // also: no line open
};
constexpr int VTixTerminal_LineTypeCount = 15;

// How the bytes of a line are shown.
enum VTixTerminal_LineKind : int {
    VTixTerminal_lkText = 0,  // printable bytes as they are, others as "<#XX>"
    VTixTerminal_lkHex = 1,   // every byte as " XX"
    VTixTerminal_lkRaw = 2,   // bytes unchanged
};

// Which timing field an append of the type updates.
enum VTixTerminal_TimingField : int { VTixTerminal_tfNone = 0, VTixTerminal_tfIn = 1, VTixTerminal_tfOut = 2 };

struct VTixTerminal_LineTypeFormat {
    const char* prefix;
    int prefixLength;
    VTixTerminal_LineKind kind;
    TColor mainColor;    // 0x00BBGGRR
    TColor secondColor;  // escapes in text kind
    VTixTerminal_TimingField timing;
};

extern const VTixTerminal_LineTypeFormat VTixTerminal_LineTypeFormats[VTixTerminal_LineTypeCount];

// What closing the floating terminal window does.
enum TTermCloseAction : int { trmcaDock = 0, trmcaHide = 1, trmcaFree = 2, trmcaMinimize = 3 };
