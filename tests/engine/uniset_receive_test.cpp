#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/uniset.h"
#include "tests/engine/probe_handlers.h"
#include "tests/engine/recording_window.h"

namespace {

struct Receive : ::testing::Test {
    TRecordingWindow window;
    VUniSET engine{nullptr, &window};
    std::vector<std::string> log;

    void SetUp() override { InstallProbes(engine, log); }

    // Feeds the bytes with one tick; returns the results, "0"/"1" per byte.
    std::string feed(const std::string& bytes, uint32_t now = 1000)
    {
        std::string r;
        for (char c : bytes)
            r += engine.receivedByte(now, uint8_t(c)) ? '1' : '0';
        return r;
    }
    // The lines the first handler saw, in order.
    std::vector<std::string> lines(const char* op = "onResponse") const
    {
        std::vector<std::string> out;
        for (const auto& e : LogOf(log, op))
            if (e.rfind("0:", 0) == 0)
                out.push_back(e.substr(e.find(':', 2) + 1));
        return out;
    }
    // Every one of the 18 handlers saw each line once, in slot order.
    bool seenByAll(const char* op = "onResponse") const
    {
        auto entries = LogOf(log, op);
        if (entries.size() % VPerifModem::HandlerCount)
            return false;
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].rfind(std::to_string(i % VPerifModem::HandlerCount) + ":", 0) != 0)
                return false;
        return true;
    }
};

std::string Frame(uint8_t type, const std::string& data)
{
    std::string f;
    const size_t n = data.size();
    f += char(0x80 + ((n >> 8) & 0x0F));
    f += char(n & 0xFF);
    f += char(0xB0);
    f += char(0xA0);
    f += char(type);
    f += data;
    unsigned sum = 1;
    for (unsigned char c : f)
        sum += c;
    f += char(sum & 0xFF);
    return f;
}

}  // namespace

TEST_F(Receive, OkLineCompletesOnItsLastByte)
{
    EXPECT_EQ(feed("OK\r\n"), "0001");
    EXPECT_EQ(lines(), (std::vector<std::string>{"OK\r\n"}));
    EXPECT_TRUE(seenByAll());
    EXPECT_TRUE(engine.getRxBuffer().isEmpty());
}

TEST_F(Receive, EveryLineReachesEveryHandlerTheEmptyOneToo)
{
    feed("AT+CSQ\r\r\n+CSQ: 15,99\r\n\r\nOK\r\nRING\r\n+CREG: 1\r\n");
    EXPECT_EQ(lines(), (std::vector<std::string>{"AT+CSQ\r\r\n", "+CSQ: 15,99\r\n", "\r\n", "OK\r\n",
                                                 "RING\r\n", "+CREG: 1\r\n"}));
    EXPECT_TRUE(seenByAll());
}

TEST_F(Receive, NulIsDropped)
{
    EXPECT_EQ(feed(std::string("O\0K\r\n", 5)), "00001");
    EXPECT_EQ(lines(), (std::vector<std::string>{"OK\r\n"}));
}

TEST_F(Receive, OnlyCrLfEndsALine)
{
    EXPECT_EQ(feed("A\rB\nC\n\rD"), "00000000");
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(feed("\r\n"), "01");
    EXPECT_EQ(lines(), (std::vector<std::string>{"A\rB\nC\n\rD\r\n"}));
}

// An echo whose answer never came is not glued to the next echo: the
// handlers would read the two as one other command.
TEST_F(Receive, AnUnansweredEchoDoesNotJoinTheNextEcho)
{
    const struct {
        const char* bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"AT^SMSO=?\rAT^SMSO=?\r\r\nOK\r\n", {"AT^SMSO=?\r\r\n", "OK\r\n"}},
        {"AT+CSQ\rat+csq\r\r\n", {"at+csq\r\r\n"}},
        {"AT\rAT\rAT\r\r\n", {"AT\r\r\n"}},
        // Not an echo before the CR, or no CR before the A: one line as ever.
        {"X\rAT\r\n", {"X\rAT\r\n"}},
        {"ATA\r\n", {"ATA\r\n"}},
        {"OK\rAT\r\n", {"OK\rAT\r\n"}},
        {"AT", {}},
    };
    for (const auto& c : cases) {
        log.clear();
        feed(c.bytes);
        EXPECT_EQ(lines(), c.lines) << c.bytes;
    }
}

// The line end is looked for only when an LF arrives: every way the two
// bytes can meet or miss, and a buffer a reader terminated in between.
TEST_F(Receive, LineEndsExactlyOnTheLfAfterACr)
{
    const struct {
        const char* bytes;
        const char* results;
        std::vector<std::string> lines;
    } cases[] = {
        {"\r\r\n", "001", {"\r\r\n"}},
        {"\n\r\n", "001", {"\n\r\n"}},
        {"\r\n\r\n", "0101", {"\r\n", "\r\n"}},
        {"x\n\n\r\r\n", "000001", {"x\n\n\r\r\n"}},
        {"\r\n\n\r", "0100", {"\r\n"}},
        {"\r\rx\n", "0000", {}},
    };
    for (const auto& c : cases) {
        log.clear();
        engine.getRxBuffer().clear();
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(feed(c.bytes), c.results);
        EXPECT_EQ(lines(), c.lines);
    }
    log.clear();
    engine.getRxBuffer().clear();
    EXPECT_EQ(feed("AB\r"), "000");
    engine.getRxBuffer().c_str();
    EXPECT_EQ(feed("\n"), "1");
    EXPECT_EQ(lines(), (std::vector<std::string>{"AB\r\n"}));
}

// A fresh engine has room for the usual lines: receiving a long answer
// line and writing a long command leave both buffers where they are.
TEST_F(Receive, UsualLinesFitTheBuffersFromTheStart)
{
    const char* const rx = engine.getRxBuffer().data();
    const char* const tx = engine.getTxBuffer().data();
    ASSERT_NE(rx, nullptr);
    ASSERT_NE(tx, nullptr);
    // A line as long as the room, fed in two parts.
    const std::string text = "+XDATA: " + std::string(VUniSET::BufferReserve - 10, 'A');
    EXPECT_EQ(feed(text.substr(0, 100)), std::string(100, '0'));
    EXPECT_EQ(engine.getRxBuffer().data(), rx);
    EXPECT_EQ(feed(text.substr(100) + "\r\n").back(), '1');
    EXPECT_EQ(engine.getRxBuffer().data(), rx);
    EXPECT_EQ(lines(), (std::vector<std::string>{text + "\r\n"}));
    const std::string command = "AT+XDATA=" + std::string(VUniSET::BufferReserve - 10, '1');
    engine.sendLine(1000, command.c_str(), int(command.size()));
    EXPECT_EQ(engine.getTxBuffer().view(), command + "\r");
    EXPECT_EQ(engine.getTxBuffer().data(), tx);
    // Past the room the buffer still grows.
    feed(std::string(VUniSET::BufferReserve + 1, 'B'));
    EXPECT_EQ(engine.getRxBuffer().length(), VUniSET::BufferReserve + 1);
}

TEST_F(Receive, LastReceiveTickFollowsKeptBytes)
{
    feed("O", 5000);
    EXPECT_EQ(engine.getLastReceiveTick(), 5000u);
    engine.receivedByte(6000, 0);
    EXPECT_EQ(engine.getLastReceiveTick(), 5000u);
}

TEST_F(Receive, PduModeRoutesExactlyOneLine)
{
    engine.expectPduLine();
    EXPECT_EQ(engine.getMode(), 1);
    EXPECT_EQ(feed("0791246\r\nOK\r\n"), "000000001" "0001");
    EXPECT_EQ(lines("onSms11"), (std::vector<std::string>{"0791246\r\n"}));
    EXPECT_TRUE(seenByAll("onSms11"));
    EXPECT_EQ(lines(), (std::vector<std::string>{"OK\r\n"}));
    EXPECT_EQ(engine.getMode(), 0);
}

TEST_F(Receive, PromptIsSeenOnlyInSmsTextMode)
{
    feed("> ");
    EXPECT_FALSE(engine.smsPromptSeen());
    engine.getRxBuffer().clear();
    engine.beginSmsText();
    feed("> ");
    EXPECT_TRUE(engine.smsPromptSeen());
    feed("x");
    EXPECT_FALSE(engine.smsPromptSeen());
}

TEST_F(Receive, OverlongLineIsDroppedUpToItsEnd)
{
    std::string junk(VUniSET::MaxLineLength + 100, 'x');
    feed(junk);
    EXPECT_LT(engine.getRxBuffer().length(), VUniSET::MaxLineLength);
    EXPECT_EQ(feed("yy\r"), "000");
    EXPECT_EQ(feed("\n"), "1");  // the dropped line ends here
    EXPECT_TRUE(lines().empty());
    feed("OK\r\n");
    EXPECT_EQ(lines(), (std::vector<std::string>{"OK\r\n"}));
    // A line just short of the limit still arrives whole.
    std::string longLine(VUniSET::MaxLineLength - 3, 'z');
    feed(longLine + "\r\n");
    ASSERT_EQ(lines().size(), 2u);
    EXPECT_EQ(lines()[1].size(), VUniSET::MaxLineLength - 1);
}

TEST_F(Receive, OverlongPduLineEndsThePduMode)
{
    engine.expectPduLine();
    feed(std::string(VUniSET::MaxLineLength + 5, '0') + "\r\n");
    EXPECT_EQ(engine.getMode(), 0);
    EXPECT_TRUE(lines("onSms11").empty());
}

// ---- Data call ------------------------------------------------------------

TEST_F(Receive, DataCallNumericNoCarrierEndsTheCall)
{
    engine.setMode(3);
    const int flushes = window.flushCount;
    EXPECT_EQ(feed("\r\n3\r\n"), "00001");
    EXPECT_EQ(engine.getMode(), 0);
    EXPECT_EQ(lines(), (std::vector<std::string>{"NO CARRIER\r\n"}));
    EXPECT_TRUE(seenByAll());
    EXPECT_TRUE(engine.getRxBuffer().isEmpty());
    EXPECT_EQ(window.flushCount, flushes + 1);
}

TEST_F(Receive, DataCallTextEnds)
{
    engine.setMode(3);
    EXPECT_EQ(feed("NO CARRIER\r\n"), "000000000001");
    EXPECT_EQ(engine.getMode(), 0);
    engine.setMode(3);
    EXPECT_EQ(feed("\r\nNO DIALTONE\r\n"), "000000000000001");
    EXPECT_EQ(engine.getMode(), 0);
    engine.setMode(3);
    feed("6\r\n");
    EXPECT_EQ(engine.getMode(), 0);
    EXPECT_EQ(lines(), (std::vector<std::string>{"NO CARRIER\r\n", "NO DIALTONE\r\n",
                                                 "NO DIALTONE\r\n"}));
}

TEST_F(Receive, OkEndsTheCallOnlyAfterOurEscape)
{
    engine.setMode(3);
    EXPECT_EQ(feed("\r\nOK\r\n"), "000000");
    EXPECT_EQ(engine.getMode(), 3);
    EXPECT_TRUE(lines().empty());

    engine.sendData("+++", 3, 5000);  // more than 1000 ms after the last write
    ASSERT_TRUE(engine.isEscapePending());
    EXPECT_EQ(feed("\r\nOK\r\n", 6100), "000001");
    EXPECT_EQ(engine.getMode(), 0);
    EXPECT_FALSE(engine.isEscapePending());
    EXPECT_TRUE(lines().empty());  // "OK" ends the call without a line

    engine.setMode(3);
    engine.sendData("+++", 3, 9000);
    EXPECT_EQ(feed("0\r\n", 9500), "001");
    EXPECT_EQ(engine.getMode(), 0);
}

TEST_F(Receive, StrayByteClearsTheEscape)
{
    engine.setMode(3);
    engine.sendData("+++", 3, 5000);
    feed("x\r\nOK\r\n", 6000);
    EXPECT_EQ(engine.getMode(), 3);
}

TEST_F(Receive, DataBytesOutsideFramesAreDropped)
{
    engine.setMode(3);
    EXPECT_EQ(feed("A", 7000), "0");
    EXPECT_TRUE(engine.getRxBuffer().isEmpty());
    EXPECT_NE(engine.getLastReceiveTick(), 7000u);
}

TEST_F(Receive, FrameLengthComesFromTheFirstTwoBytes)
{
    EXPECT_EQ(engine.frameLength(0x7F, 0x00), -1);
    EXPECT_EQ(engine.frameLength(0x90, 0x00), -1);
    EXPECT_EQ(engine.frameLength(0x80, 0x00), 6);
    EXPECT_EQ(engine.frameLength(0x85, 0x10), 0x510 + 6);
    EXPECT_EQ(engine.frameLength(0x8F, 0xFF), 4101);
}

TEST_F(Receive, GoodFramesReachTheHandlers)
{
    engine.setMode(3);
    const std::string f = Frame(0x41, "");
    ASSERT_EQ(f, std::string("\x80\x00\xB0\xA0\x41\x12", 6));
    EXPECT_EQ(feed(f), "000001");
    const std::string big = Frame(0x42, std::string(300, 'q'));
    EXPECT_EQ(uint8_t(big[0]), 0x81);
    EXPECT_EQ(uint8_t(big[1]), 0x2C);
    std::string r = feed(big);
    EXPECT_EQ(r, std::string(305, '0') + "1");
    auto frames = lines("onFrame");
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], f);
    EXPECT_EQ(frames[1], big);
    EXPECT_TRUE(seenByAll("onFrame"));
    EXPECT_TRUE(engine.getRxBuffer().isEmpty());
}

TEST_F(Receive, FrameWithA0AsThirdByteIsAccepted)
{
    engine.setMode(3);
    std::string f = Frame(0x10, "abc");
    f[2] = char(0xA0);
    f[3] = char(0x55);  // not looked at
    unsigned sum = 1;
    for (size_t i = 0; i + 1 < f.size(); ++i)
        sum += uint8_t(f[i]);
    f.back() = char(sum & 0xFF);
    feed(f);
    EXPECT_EQ(lines("onFrame").size(), 1u);
}

TEST_F(Receive, BrokenFramesAreDroppedSilently)
{
    engine.setMode(3);
    std::string badSum = Frame(0x41, "xy");
    badSum.back() ^= 1;
    EXPECT_EQ(feed(badSum).back(), '1');
    std::string badMark = Frame(0x41, "xy");
    badMark[2] = char(0xB1);
    feed(badMark);
    EXPECT_TRUE(lines("onFrame").empty());
    EXPECT_EQ(engine.getMode(), 3);
}

TEST_F(Receive, EndTextsInsideAGoodFrameAreFileData)
{
    engine.setMode(3);
    feed(Frame(0x42, "abc\r\nNO CARRIER\r\n3\r\nxyz"));
    feed(Frame(0x42, "\r\n3\r\n"));
    EXPECT_EQ(engine.getMode(), 3);
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(lines("onFrame").size(), 2u);
}

TEST_F(Receive, EndTextInsideABrokenFrameEndsTheCall)
{
    engine.setMode(3);
    std::string f = Frame(0x42, "ab\r\nNO CARRIER\r\n");
    f.back() ^= 0x5A;
    EXPECT_EQ(feed(f).back(), '1');
    EXPECT_EQ(engine.getMode(), 0);
    EXPECT_EQ(lines(), (std::vector<std::string>{"NO CARRIER\r\n"}));
}

TEST_F(Receive, StalledFrameIsDroppedAndItsEndActedOn)
{
    engine.setMode(3);
    // A stray frame start, then the carrier drops: the device's text lands
    // inside what looks like a 4101-byte frame.
    feed(std::string("\x8F\xFF", 2) + "\r\nNO CARRIER\r\n", 20000);
    EXPECT_EQ(engine.getMode(), 3);
    engine.tick(20000 + VUniSET::FrameIdleGap);
    EXPECT_EQ(engine.getMode(), 3);
    engine.tick(20000 + VUniSET::FrameIdleGap + 1);
    EXPECT_EQ(engine.getMode(), 0);
    EXPECT_EQ(lines(), (std::vector<std::string>{"NO CARRIER\r\n"}));
    EXPECT_TRUE(engine.getRxBuffer().isEmpty());
}

TEST_F(Receive, StalledFrameIsDroppedWhenTheNextByteComes)
{
    engine.setMode(3);
    feed(std::string("\x85\x00junk", 6), 30000);
    const std::string f = Frame(0x41, "");
    feed(f, 30000 + VUniSET::FrameIdleGap + 1);
    EXPECT_EQ(engine.getMode(), 3);
    EXPECT_EQ(lines("onFrame"), (std::vector<std::string>{f}));
}

TEST_F(Receive, LinePlusGuardedEscapeReturnsToStart)
{
    engine.setMode(3);
    // "+++" from the line, counted from the last kept byte: the first "+"
    // after more than 700 ms, the others within 1000 ms. No transition
    // leads on from the third "+": the next byte starts afresh.
    feed(Frame(0x41, ""), 40000);
    feed("+", 40701);
    EXPECT_EQ(engine.getRecogniser(), 26);
    feed("+", 40800);
    EXPECT_EQ(engine.getRecogniser(), 27);
    feed("+", 40900);
    EXPECT_EQ(engine.getRecogniser(), 28);
    EXPECT_EQ(feed("\r\n3\r\n", 40300), "00001");
    EXPECT_EQ(engine.getMode(), 0);
}

TEST_F(Receive, PlusWithoutPauseStartsNothing)
{
    engine.setMode(3);
    feed(Frame(0x41, ""), 50000);  // a kept byte at 50000
    feed("+", 50500);
    EXPECT_EQ(engine.getRecogniser(), 0);
    feed("+", 50701);
    EXPECT_EQ(engine.getRecogniser(), 26);
    feed("+", 51702);  // more than 1000 ms since the last kept byte
    EXPECT_EQ(engine.getRecogniser(), 26);
}

TEST_F(Receive, TimeOutsSurviveTheTickWrap)
{
    engine.setMode(3);
    const uint32_t t0 = 0xFFFFFF00u;
    feed(Frame(0x41, ""), t0);
    feed("+", t0 + 701);  // wraps: 0x000002BD
    EXPECT_EQ(engine.getRecogniser(), 26);
    feed("+", t0 + 1000);
    EXPECT_EQ(engine.getRecogniser(), 27);

    engine.setMode(0);
    engine.setMode(3);
    feed(std::string("\x81\x00", 2), 0xFFFFFFF0u);
    engine.tick(0xFFFFFFF0u + VUniSET::FrameIdleGap);
    EXPECT_FALSE(engine.getRxBuffer().isEmpty());
    engine.tick(0xFFFFFFF0u + VUniSET::FrameIdleGap + 1);
    EXPECT_TRUE(engine.getRxBuffer().isEmpty());
}

TEST_F(Receive, LeavingTheDataCallDropsAPartialFrame)
{
    engine.setMode(3);
    feed(std::string("\x80\x05\xB0", 3));
    engine.setMode(0);
    EXPECT_EQ(feed("OK\r\n"), "0001");
    EXPECT_EQ(lines(), (std::vector<std::string>{"OK\r\n"}));
}
