#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/uniset.h"
#include "tests/engine/probe_handlers.h"
#include "tests/engine/recording_port.h"
#include "tests/engine/recording_window.h"

namespace {

struct Send : ::testing::Test {
    TByteSinkPort port;
    TRecordingWindow window;
    VUniSET engine{&port, &window};
    std::vector<std::string> log;

    void SetUp() override { InstallProbes(engine, log); }
    std::string tx() const { return std::string(engine.getTxBuffer().view()); }
};

}  // namespace

TEST_F(Send, LineGetsCrAndEveryHandlerSeesIt)
{
    engine.sendLine(100, "AT", -1);
    EXPECT_EQ(port.written, "AT\r");
    ASSERT_EQ(window.terminal.size(), 1u);
    EXPECT_EQ(window.terminal[0].bytes, "AT\r");
    EXPECT_FALSE(window.terminal[0].binary);
    auto sent = LogOf(log, "onCommandSent");
    ASSERT_EQ(sent.size(), size_t(VPerifModem::HandlerCount));
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(sent[i], std::to_string(i) + ":onCommandSent:AT\r");
    EXPECT_EQ(engine.getLastSendTick(), 100u);
}

TEST_F(Send, ExplicitLengthTakesThatManyBytes)
{
    engine.sendLine(1, "AT+CSQ\rjunk", 6);
    EXPECT_EQ(port.written, "AT+CSQ\r");
}

TEST_F(Send, LongLinesArriveWhole)
{
    for (int n : {399, 400, 401, 5000}) {
        port.written.clear();
        const std::string text(size_t(n), 'A');
        engine.sendLine(1, text.c_str(), -1);
        EXPECT_EQ(port.written, text + "\r") << n;
        EXPECT_EQ(tx(), text + "\r") << n;
    }
}

TEST_F(Send, NullLineWritesNothingAndTellsNobody)
{
    engine.sendLine(1, nullptr, -1);
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(LogOf(log, "onCommandSent").empty());
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].text, "VUniSET::sendLine: line=NULL");
    EXPECT_EQ(window.messages[0].caption, "Error");
    EXPECT_EQ(window.messages[0].flags, VMainWindowLink::MB_ICONERROR);
}

TEST_F(Send, RawDataIsNotASentLine)
{
    EXPECT_TRUE(engine.sendData("\0\x1B", 2, 5));
    EXPECT_EQ(port.written, std::string("\0\x1B", 2));
    EXPECT_TRUE(LogOf(log, "onCommandSent").empty());
    EXPECT_EQ(tx(), std::string("\0\x1B", 2));
}

TEST_F(Send, ClosedPortLosesBytesButHandlersStillSeeTheLine)
{
    port.open = false;
    engine.sendLine(1, "AT", -1);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(LogOf(log, "onCommandSent").size(), size_t(VPerifModem::HandlerCount));
    EXPECT_EQ(window.terminal.size(), 1u);
}

TEST_F(Send, SmsTextCollectsUntilCtrlZ)
{
    for (char c : std::string("> "))
        engine.receivedByte(1, uint8_t(c));
    engine.beginSmsText();
    EXPECT_EQ(engine.getMode(), 2);
    EXPECT_TRUE(engine.getTxBuffer().isEmpty());
    engine.sendData("Hel", 3, 2);
    engine.sendData("lo", 2, 3);
    EXPECT_EQ(engine.getMode(), 2);
    EXPECT_TRUE(LogOf(log, "onSmsPromptEnd").empty());
    engine.sendData("\x1A", 1, 4);
    EXPECT_EQ(tx(), "Hello\x1A");
    EXPECT_EQ(engine.getMode(), 0);
    auto ends = LogOf(log, "onSmsPromptEnd");
    ASSERT_EQ(ends.size(), size_t(VPerifModem::HandlerCount));
    EXPECT_EQ(ends[13], "13:onSmsPromptEnd:0");
    EXPECT_TRUE(engine.getRxBuffer().isEmpty());  // the prompt is gone
    // The next write replaces the buffer again.
    engine.sendData("AT", 2, 5);
    EXPECT_EQ(tx(), "AT");
}

TEST_F(Send, SmsTextCancelledByEscOrCr)
{
    for (const char* end : {"\x1B", "\r"}) {
        log.clear();
        engine.beginSmsText();
        engine.sendData("abc", 3, 1);
        engine.sendData(end, 1, 2);
        EXPECT_EQ(engine.getMode(), 0) << int(end[0]);
        auto ends = LogOf(log, "onSmsPromptEnd");
        ASSERT_EQ(ends.size(), size_t(VPerifModem::HandlerCount));
        EXPECT_EQ(ends[0], "0:onSmsPromptEnd:1");
    }
}

TEST_F(Send, EscapeNeedsAGuardTimeBefore)
{
    engine.setMode(3);
    engine.sendData("x", 1, 10000);
    engine.sendData("+++", 3, 11001);
    EXPECT_TRUE(engine.isEscapePending());
    EXPECT_TRUE(window.terminal.back().binary);
    engine.sendData("y", 1, 11002);
    EXPECT_FALSE(engine.isEscapePending());  // any later write clears it
    engine.sendData("+++", 3, 12001);  // 999 ms after the last write
    EXPECT_FALSE(engine.isEscapePending());
    engine.sendData("++++", 4, 20000);
    EXPECT_FALSE(engine.isEscapePending());
    engine.sendData("+++", 3, 20000 + 1000);  // exactly 1000 ms
    EXPECT_FALSE(engine.isEscapePending());
    // Across the wrap of the tick.
    engine.sendData("z", 1, 0xFFFFFE00u);
    engine.sendData("+++", 3, 0xFFFFFE00u + 1001);
    EXPECT_TRUE(engine.isEscapePending());
}

TEST_F(Send, PlusesInCommandModeAreJustData)
{
    engine.sendData("+++", 3, 50000);
    EXPECT_FALSE(engine.isEscapePending());
    EXPECT_EQ(port.written, "+++");
}

TEST_F(Send, IdleElapsedCountsFromTheLastWrite)
{
    engine.sendData("a", 1, 0xFFFFFF00u);
    EXPECT_FALSE(engine.idleElapsed(500, 0xFFFFFF00u + 500));
    EXPECT_TRUE(engine.idleElapsed(500, 0xFFFFFF00u + 501));
}

TEST_F(Send, FrameWithoutData)
{
    engine.setMode(3);
    EXPECT_TRUE(engine.sendFrame(7, 0x41, nullptr, 0));
    EXPECT_EQ(port.written, std::string("\x80\x00\xB0\xA0\x41\x12", 6));
    EXPECT_TRUE(window.terminal.back().binary);
    auto sent = LogOf(log, "onFrameSent");
    ASSERT_EQ(sent.size(), size_t(VPerifModem::HandlerCount));
    EXPECT_EQ(engine.getTxBuffer().at(4), 0x41);
}

TEST_F(Send, FrameLayoutAndSum)
{
    std::string data(300, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    engine.sendFrame(1, 0x42, data.data(), int(data.size()));
    ASSERT_EQ(port.written.size(), 306u);
    EXPECT_EQ(uint8_t(port.written[0]), 0x81);
    EXPECT_EQ(uint8_t(port.written[1]), 0x2C);
    EXPECT_EQ(port.written.substr(5, 300), data);
    unsigned sum = 1;
    for (size_t i = 0; i < 305; ++i)
        sum += uint8_t(port.written[i]);
    EXPECT_EQ(uint8_t(port.written[305]), sum & 0xFF);
}

TEST_F(Send, FramesUpToTheLimitOnly)
{
    std::string data(VUniSET::MaxFrameData + 1, 'd');
    EXPECT_FALSE(engine.sendFrame(1, 0x42, data.data(), VUniSET::MaxFrameData + 1));
    EXPECT_FALSE(engine.sendFrame(1, 0x42, data.data(), -1));
    EXPECT_FALSE(engine.sendFrame(1, 0x42, nullptr, 5));
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(LogOf(log, "onFrameSent").empty());
    EXPECT_TRUE(engine.sendFrame(1, 0x42, data.data(), VUniSET::MaxFrameData));
    ASSERT_EQ(port.written.size(), size_t(VUniSET::MaxFrameData + 6));
    EXPECT_EQ(uint8_t(port.written[0]), 0x88);
    EXPECT_EQ(uint8_t(port.written[1]), 0x16);
}

TEST_F(Send, FrameSentByOneEngineIsReceivedByAnother)
{
    engine.setMode(3);
    engine.sendFrame(1, 0x43, "payload", 7);
    TRecordingWindow otherWindow;
    VUniSET other(nullptr, &otherWindow);
    std::vector<std::string> otherLog;
    InstallProbes(other, otherLog);
    other.setMode(3);
    bool done = false;
    for (char c : port.written)
        done = other.receivedByte(2, uint8_t(c));
    EXPECT_TRUE(done);
    auto frames = LogOf(otherLog, "onFrame");
    ASSERT_EQ(frames.size(), size_t(VPerifModem::HandlerCount));
    EXPECT_EQ(frames[0], "0:onFrame:" + port.written);
}

TEST_F(Send, ModeChangesFlushTheTerminalAndResetTheRecogniser)
{
    engine.setMode(3);
    for (char c : std::string("\r\nNO CA"))
        engine.receivedByte(1, uint8_t(c));
    EXPECT_NE(engine.getRecogniser(), 0);
    const int flushes = window.flushCount;
    engine.setMode(3);
    EXPECT_EQ(engine.getRecogniser(), 0);
    EXPECT_EQ(window.flushCount, flushes + 1);
}

TEST_F(Send, RestartAndResetReturnToCommandMode)
{
    engine.setMode(3);
    engine.restart(1);
    EXPECT_EQ(engine.getMode(), 0);
    EXPECT_EQ(LogOf(log, "restart").size(), size_t(VPerifModem::HandlerCount));
    engine.expectPduLine();
    engine.resetAll(2);
    EXPECT_EQ(engine.getMode(), 0);
    EXPECT_EQ(LogOf(log, "reset").size(), size_t(VPerifModem::HandlerCount));
}
