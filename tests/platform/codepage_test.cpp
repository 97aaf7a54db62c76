#include <gtest/gtest.h>

#include <vector>

#include "platform/codepage.h"

using namespace Platform;

TEST(CodePage, CzechLettersConvertBothWays)
{
    // "Připojuji" in cp1250: ř = 0xF8.
    const std::string ansi = "P\xF8ipojuji";
    EXPECT_EQ(AnsiToUtf8(ansi, CP_CZECH), "P\xC5\x99ipojuji");
    EXPECT_EQ(Utf8ToAnsi("P\xC5\x99ipojuji", CP_CZECH), ansi);
    // ž is 0x9E in cp1250, 0x9E is ž in cp1252 as well; š differs (0x9A both).
    EXPECT_EQ(UnicodeToAnsiChar(0x017E, CP_CZECH), 0x9E);
    EXPECT_EQ(UnicodeToAnsiChar(0x0159, CP_WESTERN), -1);  // ř has no cp1252 byte
    EXPECT_EQ(AnsiCharToUnicode(0x80, CP_CZECH), u'\u20AC');
    EXPECT_EQ(AnsiCharToUnicode(0xE9, CP_WESTERN), u'\u00E9');
}

TEST(CodePage, EveryByteSurvivesARoundTrip)
{
    for (int cp : {CP_CZECH, CP_WESTERN}) {
        std::string all;
        for (int b = 1; b < 256; ++b)
            all += char(b);
        bool lossy = true;
        EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(all, cp), cp, '?', &lossy), all) << cp;
        EXPECT_FALSE(lossy);
        EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all, cp), cp), all) << cp;
    }
}

TEST(CodePage, AsciiRunsOfAnyLengthAroundALetter)
{
    // The letter at every place of a text longer than two 8-byte words,
    // NUL bytes in the ASCII part: runs are copied whole, so their ends
    // must not lose or repeat a byte.
    const std::string ascii = std::string("abc\0defghijklmno", 17) + "pq";
    for (size_t at = 0; at <= ascii.size(); ++at) {
        SCOPED_TRACE(at);
        const std::string ansi = ascii.substr(0, at) + "\xF8" + ascii.substr(at);
        const std::string utf8 = ascii.substr(0, at) + "\xC5\x99" + ascii.substr(at);
        EXPECT_EQ(AnsiToUtf8(ansi, CP_CZECH), utf8);
        EXPECT_EQ(Utf8ToAnsi(utf8, CP_CZECH), ansi);
        bool lossy = false;
        EXPECT_EQ(Utf8ToAnsi(ascii.substr(0, at) + "\xC5" + ascii.substr(at), CP_CZECH, '?', &lossy),
                  ascii.substr(0, at) + "?" + ascii.substr(at));
        EXPECT_TRUE(lossy);
    }
    EXPECT_EQ(AnsiToUtf8(ascii, CP_WESTERN), ascii);
    EXPECT_EQ(Utf8ToAnsi(ascii, CP_WESTERN), ascii);
}

TEST(CodePage, CaseIsFoldedForAsciiLettersOnly)
{
    // Every pair of bytes against the definition: equal, or both the same
    // ASCII letter. Czech letters of 1250 ("\xE8" and "\xC8") stay apart,
    // and so do the neighbours of the letter ranges ('@' '[' '`' '{').
    auto fold = [](int c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            const char x = char(a), y = char(b);
            ASSERT_EQ(SameAsciiIC(&x, &y, 1), fold(a) == fold(b)) << a << " " << b;
        }
    const char line[] = "+csq: 21,99\r\n";
    EXPECT_TRUE(SameAsciiIC(line, "+CSQ: 21,99\r\n", sizeof(line) - 1));
    EXPECT_FALSE(SameAsciiIC(line, "+CSQ: 21,98\r\n", sizeof(line) - 1));  // the last byte counts
    EXPECT_TRUE(SameAsciiIC(line, "+CSQ: 21,98\r\n", 10));                 // and none past n
    EXPECT_TRUE(SameAsciiIC("x", "y", 0));
}

TEST(CodePage, EveryCharacterFindsItsByteOrNone)
{
    // Against a plain search of the page, over the basic plane and a few
    // code points beyond it.
    std::vector<char32_t> points;
    for (char32_t c = 0; c <= 0xFFFF; ++c)
        points.push_back(c);
    points.insert(points.end(), {0x10000, 0x1F600, 0x10FFFF, 0x110000});
    for (int cp : {CP_CZECH, CP_WESTERN})
        for (char32_t c : points) {
            int expected = c < 0x80 ? int(c) : -1;
            for (int b = 0x80; b < 0x100 && expected < 0; ++b)
                if (AnsiCharToUnicode(static_cast<unsigned char>(b), cp) == c)
                    expected = b;
            ASSERT_EQ(UnicodeToAnsiChar(c, cp), expected) << cp << " U+" << std::hex << uint32_t(c);
        }
    EXPECT_EQ(UnicodeToAnsiChar(0x2122, CP_CZECH), 0x99);  // the highest character of both pages
}

TEST(CodePage, MissingLettersAndMalformedUtf8AreReplaced)
{
    bool lossy = false;
    EXPECT_EQ(Utf8ToAnsi("a\xE2\x98\x83" "b", CP_CZECH, '?', &lossy), "a?b");  // snowman
    EXPECT_TRUE(lossy);
    // A truncated sequence at the very end never reads past the text.
    EXPECT_EQ(Utf8ToAnsi("ab\xC5", CP_CZECH), "ab?");
    EXPECT_EQ(Utf8ToAnsi("\xE2\x82", CP_CZECH), "??");
    // Overlong form of "/" and a lone continuation byte.
    EXPECT_EQ(Utf8ToAnsi("\xC0\xAF\x80", CP_CZECH), "???");
    // A surrogate pair outside the code page is one replaced letter.
    EXPECT_EQ(Utf16ToAnsi(u"x\U0001F600y", CP_WESTERN), "x?y");
}

TEST(CodePage, KnownPagesAndTheSystemOne)
{
    EXPECT_TRUE(IsSupportedCodePage(CP_CZECH));
    EXPECT_TRUE(IsSupportedCodePage(CP_WESTERN));
    EXPECT_FALSE(IsSupportedCodePage(437));
    // The data's code page is the one the GSM alphabet tables are made for.
    EXPECT_EQ(SystemCodePage(), CP_CZECH);
}

TEST(CodePage, Utf8HeadsEndOnALettersEnd)
{
    struct Case {
        std::string text;
        size_t limit, head, valid;
    } cases[] = {
        {"", 5, 0, 0},
        {"abc", 5, 3, 3},
        {"abcdef", 5, 5, 6},
        {"ab\xC4\x8D", 3, 2, 4},          // "č" does not fit
        {"ab\xC4\x8D", 4, 4, 4},
        {"a\xE2\x82\xAC" "b", 3, 1, 5},   // "€" is three bytes
        {"a\xF0\x9F\x98\x80", 4, 1, 5},  // four-byte letter
        {"ab\xC4", 2, 2, 2},              // a lone lead byte
        {"a\x9A" "bc", 3, 3, 1},          // a cp1250 byte counts as one
        {"a\xC0\xAF" "b", 2, 2, 1},      // overlong form: bytes of their own
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8HeadLength(c.text, c.limit), c.head) << c.text << " " << c.limit;
        EXPECT_EQ(Utf8ValidLength(c.text), c.valid) << c.text;
    }
}

TEST(CodePage, Utf8SequencesAreTakenOnlyWhenWellFormed)
{
    auto at = [](const std::string& s, size_t start, char32_t& cp) {
        size_t i = start;
        const bool ok = DecodeUtf8At(s, i, cp);
        return std::make_pair(ok, i);
    };
    char32_t cp = 0;
    EXPECT_EQ(at("\xC5\x99", 0, cp), std::make_pair(true, size_t(2)));
    EXPECT_EQ(cp, 0x0159u);
    EXPECT_EQ(at("\xF0\x9F\x98\x80x", 0, cp), std::make_pair(true, size_t(4)));
    EXPECT_EQ(cp, 0x1F600u);
    // Refused, nothing consumed: ASCII, a cut sequence at the end, an
    // overlong form, a surrogate, beyond U+10FFFF, a lone continuation byte,
    // a start past the end.
    for (const std::string bad : {"a", "\xC5", "\xE2\x82", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "\x99"})
        EXPECT_EQ(at(bad, 0, cp), std::make_pair(false, size_t(0))) << bad;
    EXPECT_EQ(at("ab", 2, cp), std::make_pair(false, size_t(2)));

    std::string out;
    for (char32_t c : {char32_t(0x41), char32_t(0x159), char32_t(0x20AC), char32_t(0x1F600)})
        AppendUtf8(out, c);
    EXPECT_EQ(out, "A\xC5\x99\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(CodePage, Utf16PairsAreJoinedAndLoneHalvesKept)
{
    const std::u16string text = {u'A', 0xD83D, 0xDE00, 0xDC00, 0xD800};
    size_t i = 0;
    EXPECT_EQ(NextUtf16(text, i), 0x41u);
    EXPECT_EQ(NextUtf16(text, i), 0x1F600u);
    EXPECT_EQ(i, 3u);
    EXPECT_EQ(NextUtf16(text, i), 0xDC00u);
    EXPECT_EQ(NextUtf16(text, i), 0xD800u);  // a high half at the end stays alone
    EXPECT_EQ(i, text.size());
}
