#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "foundation/input_buffer.h"

TEST(InputBuffer, NewBufferIsEmpty)
{
    TInputBuffer b;
    EXPECT_EQ(b.length(), 0u);
    EXPECT_EQ(b.rawLength(), 0u);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ(b.data(), nullptr);
    EXPECT_EQ(b.capacity(), 0u);
    EXPECT_EQ(b.at(0), 0);
    EXPECT_TRUE(b.equalsString(""));
    EXPECT_FALSE(b.equalsString("x"));
    EXPECT_TRUE(b.equalsBytes("anything", 0));
    EXPECT_TRUE(b.equalsBytes(nullptr, 0));
    b.setAt(0, 'x');  // nothing stored: ignored
    EXPECT_TRUE(b.isEmpty());
}

TEST(InputBuffer, CStrOnNewBufferHoldsOnlyTheNul)
{
    TInputBuffer b;
    const char* s = b.c_str();
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s, "");
    EXPECT_EQ(b.rawLength(), 1u);
    EXPECT_EQ(b.length(), 0u);
    EXPECT_FALSE(b.isEmpty());
    EXPECT_EQ(b.capacity(), 1u);
    EXPECT_TRUE(b.isTerminated());
    EXPECT_TRUE(b.equalsString(""));
    EXPECT_EQ(b.c_str(), s);  // a second call adds nothing
    EXPECT_EQ(b.rawLength(), 1u);
}

TEST(InputBuffer, AppendAfterCStrContinuesTheText)
{
    TInputBuffer b;
    b.appendByte('A');
    b.appendByte('B');
    EXPECT_STREQ(b.c_str(), "AB");
    EXPECT_EQ(b.rawLength(), 3u);
    b.appendByte('C');
    EXPECT_FALSE(b.isTerminated());
    EXPECT_EQ(b.rawLength(), 3u);
    EXPECT_EQ(b.length(), 3u);
    EXPECT_TRUE(b.equalsString("ABC"));
    b.appendString("DE");
    EXPECT_STREQ(b.c_str(), "ABCDE");
}

TEST(InputBuffer, GrowsByATenthPlusOne)
{
    TInputBuffer b;
    std::vector<uint32_t> capacities;
    for (int i = 0; i < 11; ++i) {
        b.appendByte(uint8_t('a' + i));
        if (capacities.empty() || capacities.back() != b.capacity())
            capacities.push_back(b.capacity());
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12}));
    for (int i = 11; i < 23; ++i)
        b.appendByte('x');
    EXPECT_EQ(b.capacity(), 23u);  // 12 -> 14 -> 16 -> 18 -> 20 -> 23
    // 100 -> 111.
    TInputBuffer c;
    c.reserve(99);
    EXPECT_EQ(c.capacity(), 100u);
    for (int i = 0; i < 101; ++i)
        c.appendByte('y');
    EXPECT_EQ(c.capacity(), 111u);
    EXPECT_EQ(c.length(), 101u);
    EXPECT_EQ(c.at(100), 'y');
}

TEST(InputBuffer, WholeContentMatchAndPrefix)
{
    TInputBuffer ok;
    ok.appendString("OK\r\n");
    EXPECT_TRUE(ok.equalsString("OK\r\n"));
    EXPECT_TRUE(ok.startsWith("OK"));
    EXPECT_TRUE(ok.startsWith(""));
    EXPECT_FALSE(ok.startsWith("OK\r\n!"));
    EXPECT_TRUE(ok.isTerminated());  // startsWith terminates the buffer
    EXPECT_TRUE(ok.equalsString("OK\r\n"));

    TInputBuffer longer;
    longer.appendString("OK\r\n");
    longer.appendByte('X');
    EXPECT_FALSE(longer.equalsString("OK\r\n"));

    TInputBuffer shorter;
    shorter.appendString("OK");
    EXPECT_FALSE(shorter.equalsString("OK\r\n"));

    TInputBuffer withNul;  // embedded bytes compare too
    withNul.appendBytes("A\0B", 3);
    EXPECT_TRUE(withNul.equalsBytes("A\0B", 3));
    EXPECT_FALSE(withNul.equalsBytes("A\0C", 3));
    EXPECT_FALSE(withNul.equalsString("A"));
    EXPECT_TRUE(withNul.equalsBuffer(withNul));
    TInputBuffer other;
    other.appendBytes("A\0B", 3);
    other.c_str();
    EXPECT_TRUE(withNul.equalsBuffer(other));  // the terminator is not text
}

TEST(InputBuffer, TerminatingNulCannotBeOverwritten)
{
    TInputBuffer b;
    b.appendString("AB");
    b.c_str();
    b.setAt(2, 'Z');
    EXPECT_EQ(b.at(2), 0);
    b.setAt(1, 'Y');
    EXPECT_STREQ(b.c_str(), "AY");
    EXPECT_EQ(b.at(3), 0);  // past the end
}

TEST(InputBuffer, RemoveFrontAndRemoveAt)
{
    TInputBuffer b;
    b.appendString("ABC");
    b.removeFront(100);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ(b.length(), 0u);

    TInputBuffer t;
    t.appendString("ABC");
    t.c_str();
    t.removeAt(1);
    EXPECT_TRUE(t.isTerminated());
    EXPECT_STREQ(t.c_str(), "AC");
    EXPECT_EQ(t.rawLength(), 3u);
    t.removeAt(2);  // the NUL position is no text index
    EXPECT_EQ(t.rawLength(), 3u);

    TInputBuffer f;
    f.appendString("HELLO");
    f.c_str();
    f.removeFront(0);
    EXPECT_EQ(f.length(), 5u);
    f.removeFront(2);
    EXPECT_STREQ(f.c_str(), "LLO");
    EXPECT_TRUE(f.isTerminated());
    f.removeFront(4);  // the NUL goes too
    EXPECT_TRUE(f.isEmpty());
    EXPECT_FALSE(f.isTerminated());
    f.appendByte('Q');
    EXPECT_TRUE(f.equalsString("Q"));
}

TEST(InputBuffer, ReserveNeverShrinksAndClearKeepsStorage)
{
    TInputBuffer b;
    b.reserve(9);
    EXPECT_EQ(b.capacity(), 10u);
    b.reserve(5);
    EXPECT_EQ(b.capacity(), 10u);

    TInputBuffer c;
    c.appendString("AB");
    EXPECT_EQ(c.capacity(), 2u);
    c.appendByte('x');
    c.removeAt(2);
    ASSERT_EQ(c.capacity(), 3u);
    c.reserve(5);
    EXPECT_EQ(c.capacity(), 6u);
    EXPECT_TRUE(c.equalsString("AB"));

    const char* storage = c.data();
    c.c_str();
    c.clear();
    EXPECT_TRUE(c.isEmpty());
    EXPECT_FALSE(c.isTerminated());
    EXPECT_EQ(c.capacity(), 6u);
    c.appendString("xyz");
    EXPECT_EQ(c.data(), storage);  // no new allocation
}

TEST(InputBuffer, AppendBytesIgnoresNonPositiveCounts)
{
    TInputBuffer b;
    b.appendBytes("abc", 0);
    b.appendBytes("abc", -5);
    b.appendBytes(nullptr, 3);
    b.appendString(nullptr);
    EXPECT_TRUE(b.isEmpty());
    b.appendBytes("abc", 2);
    EXPECT_EQ(b.view(), "ab");
}

TEST(InputBuffer, CopiesAreIndependent)
{
    TInputBuffer a;
    a.appendString("one");
    a.c_str();
    TInputBuffer b = a;
    b.appendString("two");
    EXPECT_STREQ(a.c_str(), "one");
    EXPECT_STREQ(b.c_str(), "onetwo");
    TInputBuffer moved = std::move(b);
    EXPECT_STREQ(moved.c_str(), "onetwo");
    a = moved;
    EXPECT_TRUE(a.equalsBuffer(moved));
}
