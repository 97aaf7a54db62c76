#pragma once
#include <QPlainTextEdit>
#include <QString>
#include <string>

// The SMS page's text memo. It holds its text as a Windows memo does,
// with CR LF line breaks, and counts its length that way (a break is two
// characters); a character of the 7-bit alphabet's extension table ("€",
// "[", "]", "{", "}", "\", "^", "~", "|") counts two as well, for the escape
// that goes before it. Typing past the maximum is refused and a paste is
// cut to fit; a text set by the program is kept whole and read back byte
// for byte: a lone CR, which the editor would turn into a break, is shown
// as the CR symbol and read back as CR.
class TSMSMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TSMSMemo(QWidget* parent = nullptr);

    // The text in memo form (CR LF breaks). Setting it never cuts it.
    const QString& MemoText() const { return text_; }
    void SetMemoText(const QString& text);
    // Characters as the memo counts them.
    int MemoLength() const { return length_; }
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length) { maxLength_ = length; }

    // The memo form of a document text and back: "\r\n" and a lone "\n" are
    // breaks, a lone "\r" the CR symbol.
    static QString ToDisplay(const QString& memoText);

signals:
    // The text changed, by the user or by SetMemoText (also to the same text).
    void memoChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // The document's text in memo form.
    QString documentText() const;
    // Characters left for an insertion that replaces the selection.
    int room() const;
    void documentChanged();

    QString text_;
    int length_ = 0;
    int maxLength_ = 160;
    bool setting_ = false;
};

// Messages hold line breaks as LF, the memo as CR LF: every LF becomes
// CR LF (a CR already in front stays, so CR LF becomes CR CR LF) ...
std::string smsTextToMemo(const std::string& text);
// ... and back, every CR directly followed by LF is dropped.
std::string memoTextToSms(const std::string& text);
