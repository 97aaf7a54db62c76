// The link watcher: probing, settling, "SIM BUSY", answers that count and
// the reset question, with a test-owned clock.
#include <gtest/gtest.h>

#include <string>

#include "engine/perif_active.h"
#include "platform/codepage.h"
#include "tests/engine/handler_rig.h"

namespace {

using W = VMainWindowLink;

struct Active : ::testing::Test {
    THandlerRig rig;
    VPerifActive& active = rig.modem.active();

    explicit Active(uint32_t start = 100000) : rig(start) {}
    // The link watcher's own tick every 10 ms for `ms`.
    void tickFor(uint32_t ms)
    {
        for (uint32_t t = 0; t < ms; t += 10) {
            rig.advance(10);
            active.tick(rig.now);
        }
    }
    void tickAt(uint32_t ms)
    {
        rig.advance(ms);
        active.tick(rig.now);
    }
    // A line as any handler or the terminal would send it.
    void send(const char* text) { rig.engine.sendLine(rig.now, text, -1); }
    // Brings the watcher to "answering, settled".
    void answer()
    {
        send("AT");
        rig.line("OK\r\n");
        tickAt(510);
        ASSERT_TRUE(active.isSettled());
        rig.sent();
    }
};

struct ActiveNearWrap : Active {
    ActiveNearWrap() : Active(0xFFFFFE00u) {}
};

}  // namespace

TEST_F(Active, NothingForOneSecondThenWakeUpBytesThenAT)
{
    active.tick(rig.now);  // the port is seen
    tickAt(1000);
    EXPECT_EQ(rig.sent(), "");
    tickAt(1);
    EXPECT_EQ(rig.sent(), std::string("\0\x1B", 2));
    EXPECT_EQ(active.getState(), 2);
    EXPECT_TRUE(active.isChecking());
    tickAt(100);
    EXPECT_EQ(rig.sent(), "");
    tickAt(1);
    EXPECT_EQ(rig.sent(), "AT\r");
    EXPECT_EQ(active.getState(), 1);
    // Nobody answers: a second of quiet, another second, then the cycle again.
    tickFor(2000);
    EXPECT_EQ(rig.sent(), "");
    tickFor(30);
    EXPECT_EQ(rig.sent(), std::string("\0\x1B", 2));
    EXPECT_TRUE(active.isBusy());
    EXPECT_FALSE(active.isAnswering());
}

TEST_F(ActiveNearWrap, ProbesAcrossTheTickWrap)
{
    active.tick(rig.now);
    tickAt(1000);  // 0xFFFFFE00 + 1000 lies past the wrap
    EXPECT_LT(rig.now, 0x1000u);
    EXPECT_EQ(rig.sent(), "");
    tickAt(1);
    EXPECT_EQ(rig.sent(), std::string("\0\x1B", 2));
    tickAt(101);
    EXPECT_EQ(rig.sent(), "AT\r");
    rig.line("OK\r\n");
    tickAt(500);
    EXPECT_FALSE(active.isSettled());
    tickAt(1);
    EXPECT_TRUE(active.isSettled());
}

TEST_F(Active, AnswerSettlesAfter500ms)
{
    active.tick(rig.now);
    tickAt(1001);
    tickAt(101);
    rig.line("AT\r\r\n");  // the echo is no answer
    EXPECT_EQ(active.getState(), 1);
    rig.line("OK\r\n");
    EXPECT_EQ(active.getState(), 4);
    EXPECT_TRUE(active.isAnswering());
    EXPECT_TRUE(active.isBusy());  // the others still wait
    EXPECT_TRUE(active.isChecking());
    tickAt(500);
    EXPECT_EQ(active.getState(), 4);
    tickAt(1);
    EXPECT_EQ(active.getState(), 5);
    EXPECT_FALSE(active.isBusy());
    EXPECT_FALSE(active.isChecking());
    // A command to the settled device makes everyone wait for its answer.
    send("AT+CSQ");
    EXPECT_EQ(active.getState(), 3);
    EXPECT_TRUE(active.isBusy());
    rig.line("+CSQ: 20,99\r\n");
    EXPECT_EQ(active.getState(), 3);
    rig.line("OK\r\n");
    EXPECT_EQ(active.getState(), 4);
}

TEST_F(Active, SimBusyHoldsFiveSeconds)
{
    answer();
    send("AT+CPIN?");
    rig.line("+CME ERROR: sim busy\r\n");
    EXPECT_EQ(active.getState(), 4);
    tickAt(600);
    EXPECT_TRUE(active.isBusy());
    tickAt(4400);  // 5000 ms after the answer
    EXPECT_TRUE(active.isBusy());
    tickAt(1);
    EXPECT_TRUE(active.isSettled());
    // The next answer settles in 500 ms again.
    send("AT+CPIN?");
    rig.line("+CPIN: READY\r\n");
    rig.line("OK\r\n");
    tickAt(501);
    EXPECT_TRUE(active.isSettled());
}

TEST_F(Active, OtherAnswersCount)
{
    active.tick(rig.now);
    for (const char* l : {"RING\r\n", "NO CARRIER\r\n", "BUSY\r\n", "NO ANSWER\r\n", "NO DIALTONE\r\n",
                          "CONNECT 9600\r\n", "+CMS ERROR: 500\r\n", "ERROR\r\n"}) {
        active.reset(rig.now);
        EXPECT_EQ(active.getState(), 1);
        rig.line(l);
        EXPECT_EQ(active.getState(), 4) << l;
        // The call handler takes CONNECT into the data mode; the next
        // lines are commands' answers again.
        rig.engine.setMode(0);
    }
    active.reset(rig.now);
    for (const char* l : {"ok\r\n", "RING\r", "OK \r\n", "+CSQ: 1,1\r\n", "\r\n"}) {
        rig.line(l);
        rig.line("\r\n");
        EXPECT_EQ(active.getState(), 1) << l;
    }
}

TEST_F(Active, RingWhileNotAnsweringCountsAsAnswer)
{
    active.tick(rig.now);
    tickAt(1001);
    EXPECT_EQ(active.getState(), 2);
    rig.line("RING\r\n");
    EXPECT_TRUE(active.isAnswering());
    tickAt(501);
    EXPECT_TRUE(active.isSettled());
    EXPECT_EQ(rig.sent(), std::string("\0\x1B", 2));  // no "AT" was needed
}

TEST_F(Active, CommandBeforeAnyAnswerProbesWithEscAT)
{
    active.tick(rig.now);
    send("AT+CGMI");
    EXPECT_EQ(active.getState(), 0);
    rig.sent();
    tickAt(1001);
    EXPECT_EQ(rig.sent(), "\x1B" "AT\r");
    EXPECT_EQ(active.getState(), 0);  // ESC "AT" is no "AT" line
    tickAt(500);
    EXPECT_EQ(rig.sent(), "");
    tickAt(501);
    EXPECT_EQ(rig.sent(), "\x1B" "AT\r");
    rig.line("OK\r\n");
    EXPECT_EQ(active.getState(), 4);
}

TEST_F(Active, LowerCaseLineCounts)
{
    answer();
    send("at+csq");
    EXPECT_EQ(active.getState(), 3);
}

TEST_F(Active, ClosedPortIsNotProbed)
{
    rig.port.open = false;
    tickFor(5000);
    EXPECT_EQ(rig.sent(), "");
    rig.port.open = true;
    tickAt(10);  // seen now: a second from here
    tickAt(1000);
    EXPECT_EQ(rig.sent(), "");
    tickAt(1);
    EXPECT_EQ(rig.sent(), std::string("\0\x1B", 2));
    // The port goes away between the wake-up bytes and "AT".
    rig.port.open = false;
    tickAt(200);
    EXPECT_EQ(active.getState(), 1);
    EXPECT_EQ(rig.sent(), "");
}

TEST_F(Active, FivePlainErrorsToOneLineAskOnce)
{
    answer();
    send("AT+CSQ");
    rig.line("OK\r\n");
    for (int i = 0; i < 6; ++i) {
        send("AT+CPIN?");
        rig.line("ERROR\r\n");
        // The first ERROR follows a different line; four more raise the question.
        EXPECT_EQ(active.isResetQuestionDue(), i >= 4) << i;
    }
    EXPECT_TRUE(rig.window.messages.empty());
    rig.window.answers.push_back(W::IDNO);
    tickAt(10);
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text,
              Platform::Utf8ToAnsi("Zařízení se zřejmě vyresetovalo. Znovu nastavit?", Platform::CP_CZECH));
    EXPECT_EQ(rig.window.messages[0].flags, W::MB_YESNO);
    EXPECT_FALSE(active.isResetQuestionDue());
    EXPECT_FALSE(rig.engine.isReopenPending());
    EXPECT_TRUE(rig.port.open);
    tickFor(100);
    EXPECT_EQ(rig.window.messages.size(), 1u);
}

TEST_F(Active, CmeErrorsAndOtherLinesRestartTheCount)
{
    answer();
    auto errors = [&](int n) {
        for (int i = 0; i < n; ++i) {
            send("AT+CGMI");
            rig.line("ERROR\r\n");
        }
    };
    for (const char* breaker : {"+CME ERROR: 3\r\n", "OK\r\n", "+CMS ERROR: 1\r\n"}) {
        // One answer to the line and three plain errors more: no question.
        errors(4);
        EXPECT_FALSE(active.isResetQuestionDue()) << breaker;
        // Another answer to the same line starts the count again from it.
        send("AT+CGMI");
        rig.line(breaker);
        errors(3);
        EXPECT_FALSE(active.isResetQuestionDue()) << breaker;
        errors(1);
        EXPECT_TRUE(active.isResetQuestionDue()) << breaker;
        rig.window.answers.push_back(W::IDNO);
        active.tick(rig.now);
        EXPECT_FALSE(active.isResetQuestionDue());
        // Then a different line.
        send("AT");
        rig.line("OK\r\n");
    }
    // A plain error to a different line also starts anew.
    errors(4);
    send("AT+CGMM");
    rig.line("ERROR\r\n");
    errors(3);
    EXPECT_FALSE(active.isResetQuestionDue());
    EXPECT_EQ(rig.window.messages.size(), 3u);
}

TEST_F(Active, YesToTheResetQuestionReopensThePortAndResetsAll)
{
    answer();
    for (int i = 0; i < 5; ++i) {
        send("AT+CMEE=2");
        rig.line("ERROR\r\n");
    }
    ASSERT_TRUE(active.isResetQuestionDue());
    rig.sent();
    rig.window.answers.push_back(W::IDYES);
    rig.engine.tick(rig.now);
    EXPECT_EQ(rig.window.messages.size(), 1u);
    EXPECT_FALSE(rig.port.open);
    EXPECT_TRUE(rig.engine.isReopenPending());
    EXPECT_EQ(rig.engine.getState(), 4);
    // Closed for four seconds; nobody talks to the port meanwhile.
    rig.run(4000);
    EXPECT_FALSE(rig.port.open);
    EXPECT_EQ(rig.sent(), "");
    rig.run(20);
    EXPECT_TRUE(rig.port.open);
    EXPECT_FALSE(rig.engine.isReopenPending());
    // Every handler starts again: the watcher probes anew.
    EXPECT_EQ(active.getState(), 1);
    EXPECT_FALSE(active.isResetQuestionDue());
    EXPECT_EQ(rig.window.messages.size(), 1u);
}

TEST_F(Active, TheConnectOfADataCallSettlesInTheDataCall)
{
    answer();
    send("ATD555");
    rig.line("CONNECT 9600\r\n");
    EXPECT_EQ(active.getState(), 4);
    ASSERT_EQ(rig.engine.getMode(), 3);
    rig.advance(500);
    active.dataTick(rig.now);
    EXPECT_TRUE(active.isBusy());
    rig.advance(1);
    active.dataTick(rig.now);
    EXPECT_TRUE(active.isSettled());
    EXPECT_FALSE(active.isBusy());
    EXPECT_EQ(rig.sent(), "ATD555\r") << "nothing is written in the data call";
}
