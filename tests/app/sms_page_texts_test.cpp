// What the SMS page lets through to the handler: texts counted in the
// septets they take (a character of the extension table two), and
// destination numbers with nothing but digits, "*", "#" and a "+" in front.
#include <QApplication>
#include <QClipboard>
#include <QTextCursor>
#include <gtest/gtest.h>

#include <string>

#include "tests/app/sms_page_fixture.h"

using namespace MainWindowTest;
using TestSupport::KeyClicks;

TEST_F(SmsPage, ExtensionCharactersCountTwoInTheMemoAndTheCounter)
{
    w().BtnSMSNew->click();
    VTixSMSRecord* sms = w().focusedSMS();
    ASSERT_NE(sms, nullptr);
    KeyClicks(w().MemoSMS, "a[b]€");
    EXPECT_EQ(sms->GetText(), "a[b]\x80");
    EXPECT_EQ(w().MemoSMS->MemoLength(), 8);
    EXPECT_EQ(FromQString(w().LabelSMSTextLen->text()), "8");

    // 159 as the memo counts them: one more letter fits, a "{" does not.
    w().MemoSMS->SetMemoText(QString(159, QLatin1Char('x')));
    w().MemoSMS->moveCursor(QTextCursor::End);
    KeyClicks(w().MemoSMS, "{");
    EXPECT_EQ(w().MemoSMS->MemoLength(), 159);
    KeyClicks(w().MemoSMS, "y");
    EXPECT_EQ(w().MemoSMS->MemoLength(), 160);
    EXPECT_EQ(sms->GetText(), std::string(159, 'x') + "y");
    // 158 and "~": 160 exactly.
    w().MemoSMS->SetMemoText(QString(158, QLatin1Char('x')));
    w().MemoSMS->moveCursor(QTextCursor::End);
    KeyClicks(w().MemoSMS, "~");
    EXPECT_EQ(FromQString(w().LabelSMSTextLen->text()), "160");
    // A line break stays two for the memo and one septet for the counter.
    w().MemoSMS->SetMemoText(QStringLiteral("a\r\n|"));
    EXPECT_EQ(w().MemoSMS->MemoLength(), 5);
    EXPECT_EQ(FromQString(w().LabelSMSTextLen->text()), "4");

    // A paste is cut where the next character no longer fits whole.
    w().MemoSMS->SetMemoText(QString());
    QApplication::clipboard()->setText(QString(79, QLatin1Char('x')) + QString(50, QChar(0x20AC)));
    w().MemoSMS->paste();
    EXPECT_EQ(w().MemoSMS->MemoLength(), 159);
    EXPECT_EQ(sms->GetText(), std::string(79, 'x') + std::string(40, '\x80'));
}

TEST_F(SmsPage, DestinationsAreCheckedBeforeAnythingGoes)
{
    struct Case {
        const char* typed;
        bool sent;
        const char* digits;  // what the PDU carries
    } cases[] = {
        {"(777) 123-456", true, "777123456"},
        {"+420 777.123/456", true, "+420777123456"},
        {"*100#", true, "*100#"},
        {"\"777 123\",129", true, "777123"},
        {"(777)123456", true, "777123456"},
        {"abc", false, ""},
        {"777 12a", false, ""},
        {"12+34", false, ""},
        {"---", false, ""},
        {"++420", true, "+420"},  // one "+" however many, as everywhere
        {"\"\"", false, ""},
    };
    for (const Case& c : cases) {
        w().BtnSMSNew->click();
        VTixSMSRecord* sms = w().focusedSMS();
        ASSERT_NE(sms, nullptr);
        KeyClicks(w().MemoSMS, "hello");
        w().EditSMStel->setText(QString::fromUtf8(c.typed));
        boxes.clear();
        w().BtnSMSSend->click();
        if (c.sent) {
            EXPECT_TRUE(boxes.empty()) << c.typed;
            ASSERT_EQ(smss().getMySMS(), sms) << c.typed;
            EXPECT_EQ(sms->GetUserFixedPhone(), c.digits) << c.typed;
            HandlerDone();
        } else {
            EXPECT_EQ(smss().getMySMS(), nullptr) << c.typed;
            ASSERT_EQ(boxes.size(), 1u) << c.typed;
            EXPECT_NE(boxes[0].text.find(Cz("nelze poslat zprávu")), std::string::npos) << boxes[0].text;
            EXPECT_NE(boxes[0].text.find(c.typed), std::string::npos) << boxes[0].text;
            EXPECT_EQ(boxes[0].flags & 0x30u, 0x30u);
        }
    }
    // Store refuses the same way.
    w().BtnSMSNew->click();
    VTixSMSRecord* stored = w().focusedSMS();
    w().EditSMStel->setText("12x");
    boxes.clear();
    w().BtnSMSWrite->click();
    EXPECT_EQ(smss().getMySMS(), nullptr);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(stored->GetState(), VTixSMS_stateSIMUnsent);
}
