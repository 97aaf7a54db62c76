#include "app/sms_memo.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "foundation/tixutils_gsm.h"
#include "platform/codepage.h"

namespace {

// How the editor shows a lone CR.
constexpr QChar CRSymbol(0x240D);

// A character of the 7-bit alphabet's extension table: the escape goes
// before it.
bool IsExtension(QChar c)
{
    const int ansi = Platform::UnicodeToAnsiChar(c.unicode(), Platform::SystemCodePage());
    return ansi >= 0 && Tixutils::TranslateAscii2GSMExt(char(ansi)) >= 0;
}

// What one character of document text takes of the memo's room: a line
// break two (CR LF), a character of the extension table two, any other one.
int Units(QChar c)
{
    const bool lineBreak = c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n');
    return lineBreak || IsExtension(c) ? 2 : 1;
}

// Characters of memo text (CR LF breaks) as the memo counts them.
int MemoTextLength(const QString& memoText)
{
    int n = int(memoText.size());
    for (const QChar c : memoText)
        n += IsExtension(c);
    return n;
}

int MemoUnits(const QString& text)
{
    int n = 0;
    for (const QChar c : text)
        n += Units(c);
    return n;
}

// The characters from the start of text that fit in `room` units.
qsizetype Fitting(const QString& text, int room)
{
    qsizetype take = 0;
    for (; take < text.size(); ++take) {
        const int need = Units(text[take]);
        if (need > room)
            break;
        room -= need;
    }
    return take;
}

}  // namespace

TSMSMemo::TSMSMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    // Tab moves on to the next control, as in a memo without tabs.
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { documentChanged(); });
}

QString TSMSMemo::ToDisplay(const QString& memoText)
{
    QString shown;
    shown.reserve(memoText.size());
    for (qsizetype i = 0; i < memoText.size(); ++i) {
        const QChar c = memoText[i];
        if (c == QLatin1Char('\r') && i + 1 < memoText.size() && memoText[i + 1] == QLatin1Char('\n')) {
            shown += QLatin1Char('\n');
            ++i;
        } else if (c == QLatin1Char('\r'))
            shown += CRSymbol;
        else
            shown += c;
    }
    return shown;
}

void TSMSMemo::SetMemoText(const QString& text)
{
    if (text != text_) {
        text_ = text;
        length_ = MemoTextLength(text_);
        setting_ = true;
        setPlainText(ToDisplay(text));
        setting_ = false;
    }
    emit memoChanged();
}

QString TSMSMemo::documentText() const
{
    QString text;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            text += QLatin1String("\r\n");
        for (const QChar c : block.text()) {
            if (c == QChar::LineSeparator)
                text += QLatin1String("\r\n");
            else if (c == CRSymbol)
                text += QLatin1Char('\r');
            else
                text += c;
        }
    }
    return text;
}

void TSMSMemo::documentChanged()
{
    if (setting_)
        return;
    text_ = documentText();
    length_ = MemoTextLength(text_);
    emit memoChanged();
}

int TSMSMemo::room() const
{
    return maxLength_ - (MemoLength() - MemoUnits(textCursor().selectedText()));
}

void TSMSMemo::keyPressEvent(QKeyEvent* event)
{
    if (!isReadOnly()) {
        int adds = 0;
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            !(event->modifiers() & Qt::ControlModifier))
            adds = 2;
        else if (!event->text().isEmpty() && event->text()[0].isPrint())
            adds = MemoUnits(event->text());
        if (adds > room()) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TSMSMemo::inputMethodEvent(QInputMethodEvent* event)
{
    const int left = std::max(0, room());
    if (isReadOnly() || MemoUnits(event->commitString()) <= left) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(event->commitString().left(Fitting(event->commitString(), left)), event->replacementStart(),
                        event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
}

void TSMSMemo::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || !source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    insertPlainText(text.left(Fitting(text, room())));
}

std::string smsTextToMemo(const std::string& text)
{
    std::string memo;
    memo.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\n')
            memo += '\r';
        memo += c;
    }
    return memo;
}

std::string memoTextToSms(const std::string& text)
{
    std::string sms;
    sms.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            sms += text[i];
    return sms;
}
