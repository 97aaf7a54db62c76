#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/terminal_line_formatter.h"

class QPlainTextEdit;

// The output pane's text as the terminal counts it: lines, and characters
// with every line break counting 2 (as "\r\n"), whatever the widget keeps.
class VTixTerminalPane {
public:
    explicit VTixTerminalPane(QPlainTextEdit* edit) : edit_(edit) {}

    int LineCount() const;
    int64_t TextLength() const;
    int64_t LineStart(int line) const;  // LineStart(LineCount()) = TextLength()
    int LastLineLength() const;

    // What an append keeps of the user's view.
    struct TView {
        bool hadFocus = false;
        int anchor = 0, position = 0;  // the widget's selection
        int firstVisible = 0;
        int removedLines = 0;
        int removedPositions = 0;  // in the widget's positions (a break counting 1)
    };
    // Remembers the view and trims the top for n new characters.
    TView BeginAppend(int64_t n, int maxLines, int maxChars, bool repaintEachStep);
    // Inserts the runs at the end in one edit; only the lines it changed
    // are repainted.
    void Insert(const std::vector<TTerminalPiece>& pieces);
    // Restores the view; without focus the end of the text comes into view.
    void EndAppend(const TView& view);
    void Clear();

    // The pane's text in the system code page, lines joined by "\r\n".
    std::string Text() const;
    // The text as Text() gives it, or as RTF keeping the colours.
    bool SaveToFile(const std::string& fileName, bool rich) const;

private:
    void repaintNow();

    QPlainTextEdit* edit_;
};
