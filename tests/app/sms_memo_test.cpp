// The SMS page's memo: the text forms of messages and memo, the memo's
// length as a Windows memo counts it, typing and pasting at the limit,
// and texts set by the program read back byte for byte.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <gtest/gtest.h>

#include <memory>

#include <string>
#include <vector>

#include "app/sms_memo.h"
#include "tests/support/input_devices.h"
#include "tests/support/qt_app.h"

using TestSupport::KeyClick;
using TestSupport::KeyClicks;

namespace {

struct TForms {
    const char* sms;
    const char* memo;
};

// Messages and the memo text they are shown as.
const std::vector<TForms> kForms = {
    {"", ""},
    {"abc", "abc"},
    {"a\nb", "a\r\nb"},
    {"a\r\nb", "a\r\r\nb"},
    {"a\rb", "a\rb"},
    {"\n\n", "\r\n\r\n"},
    {"\r", "\r"},
    {"\r\r\n", "\r\r\r\n"},
    {"end\n", "end\r\n"},
    {"x\n\ry", "x\r\n\ry"},
};

struct Memo : ::testing::Test {
    void SetUp() override
    {
        TestSupport::AppWithDevices();
        owned = std::make_unique<TSMSMemo>();
        owned->resize(300, 120);
        owned->show();
        owned->setFocus();
    }
    std::string Text() const { return owned->MemoText().toStdString(); }
    std::unique_ptr<TSMSMemo> owned;
};

}  // namespace

TEST(SmsMemoForms, BothWaysAndBack)
{
    for (const TForms& f : kForms) {
        EXPECT_EQ(smsTextToMemo(f.sms), f.memo) << f.sms;
        EXPECT_EQ(memoTextToSms(f.memo), f.sms) << f.sms;
    }
    // Memo texts typed by hand: each CR before LF goes, other CRs stay.
    EXPECT_EQ(memoTextToSms("a\r\nb\r\n"), "a\nb\n");
    EXPECT_EQ(memoTextToSms("\r\r"), "\r\r");
    EXPECT_EQ(memoTextToSms("\n"), "\n");
    // Bytes of any value pass unchanged.
    std::string all;
    for (int c = 1; c < 256; ++c)
        if (c != '\n' && c != '\r')
            all += char(c);
    EXPECT_EQ(smsTextToMemo(all), all);
    EXPECT_EQ(memoTextToSms(all), all);
}

TEST_F(Memo, ProgramTextsReadBackWhole)
{
    int changed = 0;
    QObject::connect(owned.get(), &TSMSMemo::memoChanged, [&] { ++changed; });
    for (const TForms& f : kForms) {
        owned->SetMemoText(QString::fromLatin1(f.memo));
        EXPECT_EQ(Text(), f.memo);
    }
    // Never cut, however long; the same text again still tells.
    const QString longText(400, QLatin1Char('L'));
    owned->SetMemoText(longText);
    EXPECT_EQ(owned->MemoLength(), 400);
    const int before = changed;
    owned->SetMemoText(longText);
    EXPECT_EQ(changed, before + 1);
    // A lone CR is shown as its symbol, not as a break; the text keeps it
    // when the user types elsewhere.
    owned->SetMemoText(QStringLiteral("a\rb\r\nc"));
    EXPECT_EQ(owned->blockCount(), 2);
    EXPECT_EQ(owned->document()->firstBlock().text(), QString::fromUtf16(u"a\u240Db"));
    owned->moveCursor(QTextCursor::End);
    KeyClicks(owned.get(), "d");
    EXPECT_EQ(Text(), "a\rb\r\ncd");
    // Non-breaking space and other characters are kept as they are.
    owned->SetMemoText(QString::fromUtf16(u"x\u00A0y"));
    owned->moveCursor(QTextCursor::End);
    KeyClicks(owned.get(), "z");
    EXPECT_EQ(owned->MemoText(), QString::fromUtf16(u"x\u00A0yz"));
}

TEST_F(Memo, TypingAndPastingAtTheLimit)
{
    struct TCase {
        const char* what;
        int start;        // characters there before (all 'x')
        int key;          // key typed
        const char* text; // its text
        int after;        // memo length after
    };
    const std::vector<TCase> cases = {
        {"letter below the limit", 159, Qt::Key_A, "a", 160},
        {"letter at the limit", 160, Qt::Key_A, "a", 160},
        {"break needs two", 159, Qt::Key_Return, "\r", 159},
        {"break fits", 158, Qt::Key_Return, "\r", 160},
        {"enter on the keypad", 160, Qt::Key_Enter, "\r", 160},
        {"backspace at the limit", 160, Qt::Key_Backspace, "\b", 159},
        {"blank at the limit", 160, Qt::Key_Space, " ", 160},
    };
    for (const TCase& c : cases) {
        owned->SetMemoText(QString(c.start, QLatin1Char('x')));
        owned->moveCursor(QTextCursor::End);
        KeyClick(owned.get(), c.key, Qt::NoModifier, QString::fromLatin1(c.text));
        EXPECT_EQ(owned->MemoLength(), c.after) << c.what;
    }
    // A program text above the limit stays; typing into it is refused,
    // deleting is not.
    owned->SetMemoText(QString(170, QLatin1Char('x')));
    owned->moveCursor(QTextCursor::End);
    KeyClicks(owned.get(), "a");
    EXPECT_EQ(owned->MemoLength(), 170);
    // Replacing a selection makes room for what replaces it.
    owned->SetMemoText(QString(160, QLatin1Char('x')));
    owned->selectAll();
    KeyClicks(owned.get(), "a");
    EXPECT_EQ(Text(), "a");

    // Pastes are cut to fit; breaks count two and are never split.
    struct TPaste {
        const char* what;
        int start;
        QString pasted;
        int after;
        const char* tail;  // the end of the memo text after
    };
    const std::vector<TPaste> pastes = {
        {"200 into an empty memo", 0, QString(200, QLatin1Char('z')), 160, "zz"},
        {"three into 158", 158, QStringLiteral("abc"), 160, "ab"},
        {"break at the last place", 159, QStringLiteral("\r\nq"), 159, "x"},
        {"break that fits", 157, QStringLiteral("\nqr"), 160, "\r\nq"},
        {"lone CR pasted is a break", 0, QStringLiteral("a\rb"), 4, "a\r\nb"},
        {"nothing at the limit", 160, QStringLiteral("q"), 160, "x"},
    };
    for (const TPaste& p : pastes) {
        owned->SetMemoText(QString(p.start, QLatin1Char('x')));
        owned->moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText(p.pasted);
        owned->paste();
        EXPECT_EQ(owned->MemoLength(), p.after) << p.what;
        const std::string tail = p.tail;
        EXPECT_EQ(Text().substr(Text().size() - std::min(Text().size(), tail.size())), tail) << p.what;
    }
    // Read-only: nothing typed, nothing pasted.
    owned->SetMemoText(QStringLiteral("fixed"));
    owned->setReadOnly(true);
    KeyClicks(owned.get(), "a");
    owned->paste();
    EXPECT_EQ(Text(), "fixed");
}
