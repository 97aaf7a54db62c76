#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/tixutils_debug.h"
#include "foundation/tixutils_filestream.h"
#include "platform/debug_sink.h"
#include "tests/support/files.h"

using namespace Tixutils;
namespace fs = std::filesystem;

namespace {

class DebugCatcher {
public:
    DebugCatcher()
    {
        old_ = Platform::SetDebugSink([this](const std::string& t) { texts.push_back(t); });
    }
    ~DebugCatcher() { Platform::SetDebugSink(std::move(old_)); }
    std::vector<std::string> texts;

private:
    Platform::DebugSink old_;
};

}  // namespace

TEST(DebugSink, TextsReachTheSinkWhileSwitchedOn)
{
    DebugCatcher catcher;
    DoGlobalDebug("Nekonzistence seznamu");
    ASSERT_EQ(catcher.texts, std::vector<std::string>{"Nekonzistence seznamu"});

    SetGlobalDebug(false);
    DoGlobalDebug("hidden");
    SetGlobalDebug(true);
    EXPECT_EQ(catcher.texts.size(), 1u);
    EXPECT_TRUE(GlobalDebug());

    int x = 0;
    EXPECT_EQ(DoNothing(&x), &x);
}

TEST(SystemErrors, TextsAndFallbacks)
{
    EXPECT_EQ(SystemErrorMessage(ENOENT), "No such file or directory");
    std::string text;
    SystemErrorMessage(EACCES, nullptr, text);
    EXPECT_EQ(text, "Permission denied");
    // glibc's "Unknown error N" counts as no message.
    EXPECT_EQ(SystemErrorMessage(100000), "Error 000186A0");
    EXPECT_EQ(SystemErrorMessage(0xFFFFFFFFu), "Error FFFFFFFF");
    EXPECT_EQ(SystemErrorMessage(632), "Parameter dwSize of the passed structure is not filled.");

    EXPECT_EQ(TrimSystemMessage("The device is not ready.\r\n"), "The device is not ready.");
    EXPECT_EQ(TrimSystemMessage("No text\r\n"), "No text");
    EXPECT_EQ(TrimSystemMessage("Twice..\n"), "Twice..");
    EXPECT_EQ(TrimSystemMessage("Dots\r\n.\r\n"), "Dots.");
    EXPECT_EQ(TrimSystemMessage("."), ".");
    EXPECT_EQ(TrimSystemMessage(""), "");
}

TEST(DebugLog, HeaderLinesAndAppending)
{
    TestSupport::TempDir dir;
    const fs::path log = dir.File("debug.log");
    InitDebug(log.string(), false);
    WriteDebug("first");
    std::string text = TestSupport::ReadFile(log);
    EXPECT_NE(text.find("\r\n\r\n-----------------------------------\r\n\r\nfirst\r\n"), std::string::npos) << text;
    const size_t size = text.size();

    // The same log again with append: nothing new.
    InitDebug(log.string(), true);
    EXPECT_EQ(TestSupport::ReadFile(log).size(), size);

    InitDebug2(log.string(), true, false);
    WriteDebug2("second", log.string());
    EXPECT_EQ(TestSupport::ReadFile(log).substr(size), "second\r\n");

    // Without append the log starts again.
    InitDebug(log.string(), false);
    text = TestSupport::ReadFile(log);
    EXPECT_EQ(text.find("first"), std::string::npos);
    InitDebug("", false);
    WriteDebug("goes nowhere");
}

TEST(DebugLog, FailuresAreReportedUnlessSilent)
{
    TestSupport::TempDir dir;
    std::vector<std::string> reports;
    DebugFileErrorHandler old = SetDebugFileErrorHandler([&](const std::string& t) { reports.push_back(t); });
    const fs::path missing = dir.File("no-such-dir/x.log");
    WriteDebug2("x", missing.string());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Cannot open " + missing.string());

    // An existing file only: WriteDebug2 does not create one.
    WriteDebug2("x", dir.File("absent.log"));
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_FALSE(fs::exists(dir.File("absent.log")));

    InitWriteDebugSilent = true;
    InitDebug2(missing.string(), false);
    InitWriteDebugSilent = false;
    EXPECT_EQ(reports.size(), 2u);
    SetDebugFileErrorHandler(std::move(old));
}

TEST(KeptStrings, OutliveTheirString)
{
    const char* p = nullptr;
    {
        std::string s = "kept text";
        p = IncStringRefCount(s);
    }
    EXPECT_STREQ(p, "kept text");
    DecStringRefCount(p);
    DecStringRefCount(p);        // already released: ignored
    DecStringRefCount("other");  // never kept: ignored
}

TEST(Events, SameMethodOfSameObject)
{
    int a = 0, b = 0;
    const TMethod m1{&a, &b}, m2{&a, &b}, m3{&a, &a};
    EXPECT_TRUE(CompareEvents(m1, m2));
    EXPECT_FALSE(CompareEvents(m1, m3));
    EXPECT_TRUE(CompareEvents(TMethod{}, TMethod{}));
}

TEST(LineReader, LinesAcrossBlocks)
{
    TTixLineReaderData state;
    std::string line = "untouched";
    state.Data = "AB";
    state.DataLength = 2;
    EXPECT_FALSE(TixLineReaderGetLine(state, line));
    EXPECT_EQ(line, "untouched");
    EXPECT_TRUE(state.NeedMore);
    EXPECT_EQ(state.Position, 0);

    state.Data = "C\nD";
    state.DataLength = 3;
    EXPECT_TRUE(TixLineReaderGetLine(state, line));
    EXPECT_EQ(line, "ABC\n");
    EXPECT_FALSE(state.NeedMore);
    EXPECT_FALSE(TixLineReaderGetLine(state, line));
    EXPECT_EQ(state.Pending, "D");
    EXPECT_TRUE(state.NeedMore);

    // Bad state never reads outside the block.
    TTixLineReaderData bad;
    bad.Data = "x\n";
    bad.DataLength = 2;
    bad.Position = 99;
    EXPECT_FALSE(TixLineReaderGetLine(bad, line));
    bad.Data = nullptr;
    bad.DataLength = 5;
    EXPECT_FALSE(TixLineReaderGetLine(bad, line));
}

TEST(Bits, PositionsCountsAndReversal)
{
    EXPECT_EQ(IntegerLog2(1), 0);
    EXPECT_EQ(IntegerLog2(0x80000000u), 31);
    EXPECT_EQ(IntegerLog2(0), -1);
    EXPECT_EQ(IntegerLog2(12), 3);
    EXPECT_EQ(IntegerLog2Low(12), 2);
    EXPECT_EQ(IntegerLog2Low(0), -1);
    EXPECT_EQ(CountBits(0xF0F0u), 8);
    EXPECT_EQ(CountBits(0xFFFFFFFFu), 32);
    EXPECT_EQ(Reverse8(0x11223344u), 0x44332211u);
    EXPECT_EQ(Reverse1(1), 0x80000000u);
    EXPECT_EQ(Reverse1(0x00000006u), 0x60000000u);

    uint8_t v = 0xFF;
    SetBit(v, 0x05, false);
    EXPECT_EQ(v, 0xFA);
    SetBit(v, 0x05, true);
    EXPECT_EQ(v, 0xFF);

    char a[] = "abcdefg", b[] = "1234567";
    ExchangeMemory(a, b, 7);
    EXPECT_STREQ(a, "1234567");
    EXPECT_STREQ(b, "abcdefg");
    ExchangeMemory(a, b, 0);
    EXPECT_STREQ(a, "1234567");
}

TEST(FileStream, OpensWritesTruncates)
{
    TestSupport::TempDir dir;
    const std::string name = dir.File("stream.bin");
    {
        TTixFileStream out(name, FILE_SHARE_READ, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
        out.WritePChar("hello world");
        EXPECT_EQ(out.Size(), 11);
        EXPECT_EQ(out.Seek(5, TTixFileStream::soBeginning), 5);
        out.truncate();
        EXPECT_EQ(out.Size(), 5);
    }
    EXPECT_EQ(TestSupport::ReadFile(name), "hello");
    EXPECT_THROW(TTixFileStream(name, 0, CREATE_NEW, 0), EFCreateError);

    {
        TTixFileStream in(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
        char buf[16] = {};
        EXPECT_EQ(in.Read(buf, 16), 5);
        EXPECT_STREQ(buf, "hello");
    }

    try {
        TTixFileStream missing(dir.File("nope"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + dir.File("nope"));
    }
    // Without sharing, a second opener is refused while the first holds it.
    TTixFileStream own(name, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, 0);
    EXPECT_THROW(TTixFileStream(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0), EFCreateError);
}
