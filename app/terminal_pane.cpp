#include "app/terminal_pane.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <fstream>
#include <map>

#include "platform/codepage.h"
#include "platform/qt/qt_text.h"

int VTixTerminalPane::LineCount() const { return edit_->document()->blockCount(); }

int64_t VTixTerminalPane::TextLength() const
{
    const QTextDocument* doc = edit_->document();
    // characterCount() includes the final paragraph separator.
    return int64_t(doc->characterCount() - 1) + int64_t(doc->blockCount() - 1);
}

int64_t VTixTerminalPane::LineStart(int line) const
{
    if (line >= LineCount())
        return TextLength();
    if (line <= 0)
        return 0;
    return int64_t(edit_->document()->findBlockByNumber(line).position()) + line;
}

int VTixTerminalPane::LastLineLength() const { return edit_->document()->lastBlock().length() - 1; }

void VTixTerminalPane::repaintNow() { edit_->viewport()->repaint(); }

VTixTerminalPane::TView VTixTerminalPane::BeginAppend(int64_t n, int maxLines, int maxChars, bool repaintEachStep)
{
    TView v;
    v.hadFocus = edit_->hasFocus();
    const QTextCursor cur = edit_->textCursor();
    v.anchor = cur.anchor();
    v.position = cur.position();
    v.firstVisible = edit_->verticalScrollBar()->value();

    const int lines = LineCount();
    const VTixTerminalLineFormatter::TTrim t = VTixTerminalLineFormatter::Trim(
        lines, TextLength(), n, maxLines, maxChars, [this](int i) { return LineStart(i); });
    if (t.lines > 0) {
        QTextDocument* doc = edit_->document();
        QTextCursor c(doc);
        c.setPosition(0);
        if (t.lines >= lines)
            c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        else
            c.setPosition(doc->findBlockByNumber(t.lines).position(), QTextCursor::KeepAnchor);
        v.removedPositions = c.selectionEnd();
        c.removeSelectedText();
        v.removedLines = std::min(t.lines, lines - 1);
        if (repaintEachStep)
            repaintNow();
    }
    return v;
}

void VTixTerminalPane::Insert(const std::vector<TTerminalPiece>& pieces)
{
    QTextDocument* doc = edit_->document();
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    const int firstChanged = doc->blockCount() - 1;
    {
        // The plain-text layout has the whole view repainted when one edit
        // adds more than one line. Lines added at the end move nothing
        // above them, so only they are repainted below, as the layout
        // itself does for an edit that adds a single line.
        const QSignalBlocker quiet(layout);
        QTextCursor c(doc);
        c.movePosition(QTextCursor::End);
        c.beginEditBlock();
        for (const TTerminalPiece& p : pieces) {
            // One block break per "\r\n"; a lone CR or LF of a raw line breaks too.
            std::string text;
            text.reserve(p.text.size());
            for (size_t i = 0; i < p.text.size(); ++i) {
                if (p.text[i] == '\r' && i + 1 < p.text.size() && p.text[i + 1] == '\n')
                    continue;
                text += p.text[i] == '\r' ? '\n' : p.text[i];
            }
            QTextCharFormat fmt;
            fmt.setForeground(Platform::ToQColor(p.color));
            c.insertText(Platform::ToQString(text), fmt);
        }
        c.endEditBlock();
    }
    emit layout->documentSizeChanged(layout->documentSize());
    // More new lines than the view holds: all of it changes (and laying out
    // lines nobody sees would cost more than painting the view).
    const int viewLines = edit_->viewport()->height() / std::max(1, edit_->fontMetrics().lineSpacing()) + 1;
    if (doc->blockCount() - firstChanged > viewLines) {
        edit_->viewport()->update();
        return;
    }
    for (QTextBlock b = doc->findBlockByNumber(firstChanged); b.isValid(); b = b.next())
        emit layout->updateBlock(b);
}

void VTixTerminalPane::EndAppend(const TView& v)
{
    if (v.hadFocus) {
        const int end = edit_->document()->characterCount() - 1;
        const int a = std::clamp(v.anchor - v.removedPositions, 0, end);
        const int p = std::clamp(v.position - v.removedPositions, 0, end);
        QTextCursor c(edit_->document());
        c.setPosition(a);
        c.setPosition(p, QTextCursor::KeepAnchor);
        edit_->setTextCursor(c);
        edit_->verticalScrollBar()->setValue(std::max(0, v.firstVisible - v.removedLines));
        return;
    }
    QTextCursor c(edit_->document());
    c.movePosition(QTextCursor::End);
    edit_->setTextCursor(c);
    edit_->ensureCursorVisible();
}

void VTixTerminalPane::Clear() { edit_->clear(); }

std::string VTixTerminalPane::Text() const
{
    std::string out;
    for (QTextBlock b = edit_->document()->begin(); b.isValid(); b = b.next()) {
        if (b != edit_->document()->begin())
            out += "\r\n";
        out += Platform::FromQString(b.text());
    }
    return out;
}

namespace {

// RTF of the pane: one colour table entry per colour used, bytes of the
// code page escaped.
std::string richText(const QTextDocument* doc, int codePage)
{
    std::map<QRgb, int> colors;
    std::string body;
    const char hex[] = "0123456789abcdef";
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QRgb rgb = frag.charFormat().foreground().color().rgb();
            auto found = colors.find(rgb);
            if (found == colors.end())
                found = colors.emplace(rgb, int(colors.size()) + 1).first;
            body += "\\cf" + std::to_string(found->second) + " ";
            for (char c : Platform::FromQString(frag.text(), codePage)) {
                const unsigned char u = static_cast<unsigned char>(c);
                if (c == '\\' || c == '{' || c == '}') {
                    body += '\\';
                    body += c;
                } else if (u < 0x20 || u >= 0x80) {
                    body += "\\'";
                    body += hex[u >> 4];
                    body += hex[u & 15];
                } else {
                    body += c;
                }
            }
        }
        if (b.next().isValid())
            body += "\\par\r\n";
    }
    std::string table = "{\\colortbl;";
    std::vector<std::pair<int, QRgb>> ordered;
    for (const auto& [rgb, index] : colors)
        ordered.emplace_back(index, rgb);
    std::sort(ordered.begin(), ordered.end());
    for (const auto& [index, rgb] : ordered)
        table += "\\red" + std::to_string(qRed(rgb)) + "\\green" + std::to_string(qGreen(rgb)) + "\\blue" +
                 std::to_string(qBlue(rgb)) + ";";
    table += "}";
    return "{\\rtf1\\ansi\\ansicpg" + std::to_string(codePage) +
           "\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}" + table + "\r\n\\f0\\fs20 " + body + "}\r\n";
}

}  // namespace

bool VTixTerminalPane::SaveToFile(const std::string& fileName, bool rich) const
{
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    const std::string content = rich ? richText(edit_->document(), Platform::SystemCodePage()) : Text() + "\r\n";
    out.write(content.data(), std::streamsize(content.size()));
    return bool(out);
}
