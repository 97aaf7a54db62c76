#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/terminal_types.h"

// One run of equally coloured characters of the terminal's output; line
// breaks are "\r\n" as the pane and the log file have them.
struct TTerminalPiece {
    std::string text;
    TColor color;
    bool operator==(const TTerminalPiece& o) const { return text == o.text && color == o.color; }
};

// The terminal's pure part: what an append shows and how much trimming
// removes.
class VTixTerminalLineFormatter {
public:
    struct TAppend {
        const char* data = nullptr;
        int count = 0;
        VTixTerminal_LineType type = VTixTerminal_lt_NoType;
        VTixTerminal_LineType openType = VTixTerminal_lt_NoType;  // type of the open line
        int lastLineLength = 0;      // of the pane's last line, where an open line continues
        std::string timeStamp;       // time of day for a new line; empty: none
        int maxCharsPerLine = 500;
    };

    // The coloured runs one append adds (adjacent runs of one colour merged).
    static std::vector<TTerminalPiece> Emit(const TAppend& a);
    // The valid type of a value (anything out of range is "no type").
    static VTixTerminal_LineType Normalize(int type);
    static const VTixTerminal_LineTypeFormat& Format(VTixTerminal_LineType type);
    static size_t Length(const std::vector<TTerminalPiece>& pieces);
    static std::string Text(const std::vector<TTerminalPiece>& pieces);

    struct TTrim {
        int lines = 0;      // lines removed from the top
        int64_t chars = 0;  // characters removed (a line break counting 2)
    };
    // Trimming before n new characters: lineStart(i) is where line i begins
    // (lineStart(lineCount) = textLength).
    static TTrim Trim(int lineCount, int64_t textLength, int64_t n, int maxLines, int maxChars,
                      const std::function<int64_t(int)>& lineStart);
};
