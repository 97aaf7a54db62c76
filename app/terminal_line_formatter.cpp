#include "app/terminal_line_formatter.h"

#include <algorithm>

using namespace Platform;

const VTixTerminal_LineTypeFormat VTixTerminal_LineTypeFormats[VTixTerminal_LineTypeCount] = {
    {"+ ", 2, VTixTerminal_lkText, MakeColor(0, 0, 0), MakeColor(0, 0, 255), VTixTerminal_tfIn},
    {" - ", 3, VTixTerminal_lkText, MakeColor(0, 0, 0), MakeColor(0, 0, 255), VTixTerminal_tfOut},
    {"+ #", 3, VTixTerminal_lkHex, MakeColor(0, 0, 255), MakeColor(0, 0, 0), VTixTerminal_tfIn},
    {" - #", 4, VTixTerminal_lkHex, MakeColor(0, 0, 255), MakeColor(0, 0, 0), VTixTerminal_tfOut},
    {"+ ", 2, VTixTerminal_lkText, MakeColor(0, 0, 255), MakeColor(0, 0, 0), VTixTerminal_tfIn},
    {" - ", 3, VTixTerminal_lkText, MakeColor(0, 0, 255), MakeColor(0, 0, 0), VTixTerminal_tfOut},
    {"E ", 2, VTixTerminal_lkRaw, MakeColor(128, 0, 128), MakeColor(128, 0, 128), VTixTerminal_tfNone},
    {"E ", 2, VTixTerminal_lkRaw, MakeColor(255, 0, 0), MakeColor(255, 0, 0), VTixTerminal_tfNone},
    {"E ", 2, VTixTerminal_lkRaw, MakeColor(0, 128, 0), MakeColor(0, 128, 0), VTixTerminal_tfNone},
    {"E ", 2, VTixTerminal_lkRaw, MakeColor(0, 0, 128), MakeColor(0, 0, 128), VTixTerminal_tfNone},
    {"+ ", 2, VTixTerminal_lkText, MakeColor(80, 40, 32), MakeColor(128, 80, 32), VTixTerminal_tfNone},
    {" - ", 3, VTixTerminal_lkText, MakeColor(80, 40, 32), MakeColor(128, 80, 32), VTixTerminal_tfNone},
    {"+ #", 3, VTixTerminal_lkHex, MakeColor(80, 40, 32), MakeColor(0, 0, 0), VTixTerminal_tfNone},
    {" - #", 4, VTixTerminal_lkHex, MakeColor(80, 40, 32), MakeColor(0, 0, 0), VTixTerminal_tfNone},
    {"? ", 2, VTixTerminal_lkText, MakeColor(255, 0, 0), MakeColor(255, 0, 0), VTixTerminal_tfNone},
};

namespace {

const char kHex[] = "0123456789ABCDEF";

// Collects characters into runs of one colour.
class Runs {
public:
    explicit Runs(std::vector<TTerminalPiece>& out) : out_(out) {}
    void add(const char* s, size_t n, TColor color)
    {
        if (n == 0)
            return;
        if (out_.empty() || out_.back().color != color)
            out_.push_back({std::string(), color});
        out_.back().text.append(s, n);
    }
    void add(const std::string& s, TColor color) { add(s.data(), s.size(), color); }

private:
    std::vector<TTerminalPiece>& out_;
};

}  // namespace

VTixTerminal_LineType VTixTerminalLineFormatter::Normalize(int type)
{
    return (type >= 0 && type < VTixTerminal_LineTypeCount) ? VTixTerminal_LineType(type) : VTixTerminal_lt_NoType;
}

const VTixTerminal_LineTypeFormat& VTixTerminalLineFormatter::Format(VTixTerminal_LineType type)
{
    return VTixTerminal_LineTypeFormats[Normalize(type)];
}

std::vector<TTerminalPiece> VTixTerminalLineFormatter::Emit(const TAppend& a)
{
    std::vector<TTerminalPiece> out;
    if (a.count <= 0 || a.data == nullptr)
        return out;
    const VTixTerminal_LineType type = Normalize(a.type);
    const VTixTerminal_LineTypeFormat& f = Format(type);
    Runs runs(out);
    int64_t column = 0;
    if (Normalize(a.openType) == type) {
        column = std::max(0, a.lastLineLength);
    } else {
        if (Normalize(a.openType) != VTixTerminal_lt_NoType)
            runs.add("\r\n", 2, f.mainColor);
        if (!a.timeStamp.empty()) {
            runs.add(a.timeStamp, f.mainColor);
            runs.add(": ", 2, f.mainColor);
            column += int64_t(a.timeStamp.size()) + 2;
        }
        runs.add(f.prefix, size_t(f.prefixLength), f.mainColor);
        column += f.prefixLength;
    }
    for (int i = 0; i < a.count; ++i) {
        if (column > a.maxCharsPerLine) {
            runs.add("\r\n", 2, f.mainColor);
            column = 0;
        }
        const unsigned char b = static_cast<unsigned char>(a.data[i]);
        switch (f.kind) {
        case VTixTerminal_lkText:
            if (b >= 0x20 && b <= 0x7F) {
                const char c = char(b);
                runs.add(&c, 1, f.mainColor);
                column += 1;
            } else {
                const char esc[5] = {'<', '#', kHex[b >> 4], kHex[b & 15], '>'};
                runs.add(esc, 5, f.secondColor);
                column += 5;
            }
            break;
        case VTixTerminal_lkHex: {
            const char hex[3] = {' ', kHex[b >> 4], kHex[b & 15]};
            runs.add(hex, 3, f.mainColor);
            column += 3;
            break;
        }
        case VTixTerminal_lkRaw: {
            const char c = char(b);
            runs.add(&c, 1, f.mainColor);
            column += 1;
            break;
        }
        }
    }
    return out;
}

size_t VTixTerminalLineFormatter::Length(const std::vector<TTerminalPiece>& pieces)
{
    size_t n = 0;
    for (const TTerminalPiece& p : pieces)
        n += p.text.size();
    return n;
}

std::string VTixTerminalLineFormatter::Text(const std::vector<TTerminalPiece>& pieces)
{
    std::string s;
    s.reserve(Length(pieces));
    for (const TTerminalPiece& p : pieces)
        s += p.text;
    return s;
}

VTixTerminalLineFormatter::TTrim VTixTerminalLineFormatter::Trim(int lineCount, int64_t textLength, int64_t n,
                                                                 int maxLines, int maxChars,
                                                                 const std::function<int64_t(int)>& lineStart)
{
    TTrim t;
    if (lineCount <= maxLines && textLength + n <= maxChars)
        return t;
    t.lines = std::clamp(lineCount - (maxLines - maxLines / 10), 0, lineCount);
    t.chars = lineStart(t.lines);
    while (t.chars < textLength + n - maxChars && t.lines < lineCount) {
        ++t.lines;
        t.chars = lineStart(t.lines);
    }
    return t;
}
