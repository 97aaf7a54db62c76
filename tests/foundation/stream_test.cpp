#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/tixutils_stream.h"

using namespace Tixutils;

namespace {

std::string Bytes(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s.push_back(char(b));
    return s;
}

// Finishes a write the way callers do: the buffer is cut to Pos.
std::string Finished(std::string buf, int pos)
{
    buf.resize(size_t(pos));
    return buf;
}

}  // namespace

TEST(StreamTest, EnsureStringSizeGrowsByATenthPlusNine)
{
    std::string s;
    EnsureStringSize(s, 1);
    EXPECT_EQ(s.size(), 9u);  // 0 + 0 + 9 beats 1
    s.assign(100, 'x');
    EnsureStringSize(s, 101);
    EXPECT_EQ(s.size(), 119u);  // 100 + 10 + 9
    EXPECT_EQ(s[0], 'x');
    EXPECT_EQ(s[118], '\0');
    EnsureStringSize(s, 500);  // a big request wins over the step
    EXPECT_EQ(s.size(), 500u);
    EnsureStringSize(s, 10);  // never shrinks
    EXPECT_EQ(s.size(), 500u);
}

TEST(StreamTest, IntegersBigAndLittleEndian)
{
    std::string buf;
    int pos = 0;
    WriteStreamedInteger(pos, buf, 0x01020304);
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(Finished(buf, pos), Bytes({1, 2, 3, 4}));

    buf.clear();
    pos = 0;
    WriteStreamedIntegerLE(pos, buf, 0x01020304);
    EXPECT_EQ(Finished(buf, pos), Bytes({4, 3, 2, 1}));

    const std::string minusTwo = Bytes({0xFF, 0xFF, 0xFF, 0xFE});
    pos = 0;
    EXPECT_EQ(ReadStreamedInteger(pos, minusTwo), -2);
    EXPECT_EQ(pos, 4);
    pos = 0;
    EXPECT_EQ(ReadStreamedIntegerLE(pos, minusTwo), int32_t(0xFEFFFFFF));
}

TEST(StreamTest, ByteWriterKeepsEarlierContentAndCursor)
{
    std::string buf = "ab";
    int pos = 2;
    WriteStreamedByte(pos, buf, 'c');
    WriteStreamedByte(pos, buf, 0);
    WriteStreamedByte(pos, buf, 0xFF);
    EXPECT_EQ(pos, 5);
    EXPECT_GE(buf.size(), 5u);
    EXPECT_EQ(Finished(buf, pos), Bytes({'a', 'b', 'c', 0, 0xFF}));
}

TEST(StreamTest, HexWritesTheLowestNibbles)
{
    std::string buf;
    int pos = 0;
    WriteStreamedHex(pos, buf, 0x1A2B, 3);
    EXPECT_EQ(Finished(buf, pos), "A2B");
    buf.clear();
    pos = 0;
    WriteStreamedHex(pos, buf, 0xF, 4);
    EXPECT_EQ(Finished(buf, pos), "000F");
    buf.clear();
    pos = 0;
    WriteStreamedHex(pos, buf, 0xFFFFFFFFFFFFFFFFull, 18);
    EXPECT_EQ(Finished(buf, pos), "00FFFFFFFFFFFFFFFF");
    buf.clear();
    pos = 0;
    WriteStreamedHex(pos, buf, 0x123, 0);
    EXPECT_EQ(pos, 0);
}

TEST(StreamTest, StringsRoundTrip)
{
    std::string buf;
    int pos = 0;
    const std::string text("a\0\xE8z", 4);
    WriteStreamedString(pos, buf, text);
    WriteStreamedString(pos, buf, "");
    const std::u16string wide = u"\u010D\u00E1x";
    WriteStreamedWideString(pos, buf, wide);
    WriteStreamedRaw(pos, buf, "RAW");
    buf.resize(size_t(pos));

    // Length prefix, big-endian.
    EXPECT_EQ(buf.substr(0, 4), Bytes({0, 0, 0, 4}));
    // Wide characters low byte first: U+010D is 0D 01.
    EXPECT_EQ(buf.substr(12 + 4, 2), Bytes({0x0D, 0x01}));

    int rd = 0;
    EXPECT_EQ(ReadStreamedString(rd, buf), text);
    EXPECT_EQ(ReadStreamedString(rd, buf), "");
    EXPECT_EQ(ReadStreamedWideString(rd, buf), wide);
    EXPECT_EQ(ReadStreamedByte(rd, buf), 'R');
    EXPECT_EQ(rd, pos - 2);
}

TEST(StreamTest, NonPositiveLengthsReadAsEmpty)
{
    const std::string negative = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'x'});
    int pos = 0;
    EXPECT_EQ(ReadStreamedString(pos, negative), "");
    EXPECT_EQ(pos, 4);
    pos = 0;
    EXPECT_EQ(ReadStreamedWideString(pos, negative), u"");
}

TEST(StreamTest, DateTimeIsTheDoubleLowByteFirst)
{
    std::string buf;
    int pos = 0;
    WriteStreamedDateTime(pos, buf, 1.0);
    EXPECT_EQ(Finished(buf, pos), Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    buf.clear();
    pos = 0;
    const double when = 36526.75;  // 2000-01-01 18:00
    WriteStreamedDateTime(pos, buf, when);
    int rd = 0;
    EXPECT_EQ(ReadStreamedDateTime(rd, buf), when);
}

TEST(StreamTest, ReadingPastTheEndThrowsWithTheFixedText)
{
    const std::string three = "abc";
    int pos = 3;
    try {
        ReadStreamedByte(pos, three);
        FAIL() << "no exception";
    } catch (const EStreamReadError& e) {
        EXPECT_STREQ(e.what(), "ReadStreamedByte: reading after end of stream");
    }
    EXPECT_EQ(pos, 3);  // the cursor does not move past the end

    pos = 0;
    EXPECT_THROW(ReadStreamedInteger(pos, three), EStreamReadError);
    pos = -1;
    EXPECT_THROW(ReadStreamedByte(pos, three), EStreamReadError);
    pos = 0;
    EXPECT_THROW(ReadStreamedDateTime(pos, std::string(7, '\0')), EStreamReadError);
}

TEST(StreamTest, HugeLengthFieldFailsWithoutAllocating)
{
    // Claims two gigabytes with five bytes behind it.
    const std::string lie = Bytes({0x7F, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 'd', 'e'});
    int pos = 0;
    EXPECT_THROW(ReadStreamedString(pos, lie), EStreamReadError);
    pos = 0;
    EXPECT_THROW(ReadStreamedWideString(pos, lie), EStreamReadError);
    // One character short.
    const std::string shortWide = Bytes({0, 0, 0, 2, 'a', 0, 'b'});
    pos = 0;
    EXPECT_THROW(ReadStreamedWideString(pos, shortWide), EStreamReadError);
}
