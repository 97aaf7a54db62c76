#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/tixutils_codec.h"
#include "platform/debug_sink.h"

using namespace Tixutils;

namespace {

// Collects the debug texts while it lives.
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

std::string randomBytes(std::mt19937& rng, size_t maxLen)
{
    std::uniform_int_distribution<size_t> len(0, maxLen);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(len(rng), '\0');
    for (char& c : s)
        c = char(byte(rng));
    return s;
}

std::u16string randomUnits(std::mt19937& rng, size_t maxLen)
{
    std::uniform_int_distribution<size_t> len(0, maxLen);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> unit(0, 0xFFFF);
    std::uniform_int_distribution<int> surrogate(0xD800, 0xDFFF);
    std::u16string s(len(rng), u'\0');
    for (char16_t& c : s)
        c = char16_t(kind(rng) == 0 ? surrogate(rng) : unit(rng));
    return s;
}

}  // namespace

TEST(Utf8, EncodesCzechLettersAndEuro)
{
    EXPECT_EQ(EncodeUTF8(u"\u0159"), "\xC5\x99");
    EXPECT_EQ(EncodeUTF8(u"\u20AC"), "\xE2\x82\xAC");
    EXPECT_EQ(EncodeUTF8(u"A\u00E9"), "A\xC3\xA9");
    EXPECT_EQ(EncodeUTF8(u""), "");
}

TEST(Utf8, DecodesAndKeepsCharactersBeyondSixteenBits)
{
    EXPECT_EQ(DecodeUTF8("\xC5\x99\x41"), u"\u0159A");
    EXPECT_EQ(DecodeUTF8(""), u"");

    const std::u16string smiley = u"\U0001F600";
    ASSERT_EQ(smiley.size(), 2u);
    EXPECT_EQ(EncodeUTF8(smiley), "\xF0\x9F\x98\x80");
    EXPECT_EQ(DecodeUTF8("\xF0\x9F\x98\x80"), smiley);
    EXPECT_EQ(DecodeUTF8(EncodeUTF8(u"x\U0001F600y\U0010FFFF")), u"x\U0001F600y\U0010FFFF");
}

TEST(Utf8, LoneSurrogatesSurviveAsThreeBytes)
{
    EXPECT_EQ(EncodeUTF8(u"\xD800"), "\xED\xA0\x80");
    EXPECT_EQ(DecodeUTF8("\xED\xA0\x80"), u"\xD800");
    const std::u16string reversed = {0xDE00, 0xD83D};
    EXPECT_EQ(EncodeUTF8(reversed).size(), 6u);
    EXPECT_EQ(DecodeUTF8(EncodeUTF8(reversed)), reversed);
}

TEST(Utf8, MalformedInputIsReadLeniently)
{
    EXPECT_EQ(DecodeUTF8("\xC5"), u"\x05");          // lone lead: its payload bits
    EXPECT_EQ(DecodeUTF8("\xBF"), u"\x3F");          // stray continuation
    EXPECT_EQ(DecodeUTF8("\x80\x80"), u"");          // builds zero: nothing
    EXPECT_EQ(DecodeUTF8("\xC0\x80" "a"), u"a");     // the overlong NUL is dropped
    EXPECT_EQ(DecodeUTF8(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
    EXPECT_EQ(DecodeUTF8("\xE2\x82"), u"\x0082");    // cut short
    EXPECT_EQ(DecodeUTF8("\xFE\xFF" "A"), u"A");
}

TEST(Utf8, RoundTripsAndRandomBytes)
{
    std::mt19937 rng(1234);
    for (int i = 0; i < 3000; ++i) {
        const std::u16string units = randomUnits(rng, 30);
        EXPECT_EQ(DecodeUTF8(EncodeUTF8(units)), units);

        const std::string junk = randomBytes(rng, 40);
        const std::u16string decoded = DecodeUTF8(junk);
        EXPECT_LE(decoded.size(), 2 * junk.size());
        // Whatever came out encodes and decodes to itself.
        EXPECT_EQ(DecodeUTF8(EncodeUTF8(decoded)), decoded);
    }
}

TEST(Checksums, StandardCheckValues)
{
    EXPECT_EQ(CountCRC8("123456789"), 0xA1);
    EXPECT_EQ(CountCRC8(""), 0);

    uint8_t crc8 = 0;
    UpdateCRC8(crc8, "1234", 4);
    UpdateCRC8(crc8, "56789", 5);
    EXPECT_EQ(crc8, 0xA1);

    uint16_t crc16 = 0;
    UpdateCRC16(crc16, "123456789", 9);
    EXPECT_EQ(crc16, 0x906E);
    crc16 = 0;
    UpdateCRC16(crc16, "12345", 5);
    UpdateCRC16(crc16, "6789", 4);
    EXPECT_EQ(crc16, 0x906E);
    uint16_t untouched = 0x1234;
    UpdateCRC16(untouched, nullptr, 3);
    EXPECT_EQ(untouched, 0x1234);

    DebugCatcher catcher;
    std::mt19937 rng(5);
    for (int i = 0; i < 200; ++i)
        CountCRC8(randomBytes(rng, 64));
    EXPECT_TRUE(catcher.texts.empty());  // table and bitwise forms agree
}

TEST(Base64, Rfc4648Vectors)
{
    EXPECT_EQ(EncodeBase64("Man", true), "TWFu");
    EXPECT_EQ(EncodeBase64("Ma", true), "TWE=");
    EXPECT_EQ(EncodeBase64("Ma", false), "TWE");
    EXPECT_EQ(EncodeBase64("M", true), "TQ==");
    EXPECT_EQ(EncodeBase64("M", false), "TQ");
    EXPECT_EQ(EncodeBase64("foobar", true), "Zm9vYmFy");
    EXPECT_EQ(EncodeBase64("", true), "");
    EXPECT_EQ(EncodeBase64("\xFB\xFF", true), "+/8=");

    EXPECT_EQ(DecodeBase64("Zm9vYg=="), "foob");
    EXPECT_EQ(DecodeBase64("Zm9vYg"), "foob");
    EXPECT_EQ(DecodeBase64("Zm9v\r\nYmFy"), "foobar");
    EXPECT_EQ(DecodeBase64("+/8="), "\xFB\xFF");
}

TEST(Base32, LowerCaseWithoutPadding)
{
    EXPECT_EQ(EncodeBase32("", false), "");
    EXPECT_EQ(EncodeBase32("f", false), "my");
    EXPECT_EQ(EncodeBase32("fo", false), "mzxq");
    EXPECT_EQ(EncodeBase32("foo", false), "mzxw6");
    EXPECT_EQ(EncodeBase32("foob", false), "mzxw6yq");
    EXPECT_EQ(EncodeBase32("fooba", false), "mzxw6ytb");
    EXPECT_EQ(EncodeBase32("foobar", true), "mzxw6ytboi");

    EXPECT_EQ(DecodeBase32("mzxw6ytboi", false), "foobar");
    EXPECT_EQ(DecodeBase32("MZXW6YTBOI", false), "foobar");
    EXPECT_EQ(DecodeBase32("MZXW6===", false), "foo");
}

TEST(Base32, SelfCheckReportsToTheDebugSink)
{
    DebugCatcher catcher;
    EXPECT_EQ(DecodeBase32("MzXw6", true), "foo");
    EXPECT_EQ(EncodeBase32("foo", true), "mzxw6");
    EXPECT_TRUE(catcher.texts.empty());

    DecodeBase32("mzxw6!", true);
    ASSERT_EQ(catcher.texts.size(), 1u);
    EXPECT_EQ(catcher.texts[0], "DecodeBase32: chyba");
}

TEST(Base64And32, RoundTripsAndRandomText)
{
    std::mt19937 rng(777);
    for (int i = 0; i < 2000; ++i) {
        const std::string bytes = randomBytes(rng, 50);
        EXPECT_EQ(DecodeBase64(EncodeBase64(bytes, true)), bytes);
        EXPECT_EQ(DecodeBase64(EncodeBase64(bytes, false)), bytes);
        EXPECT_EQ(DecodeBase32(EncodeBase32(bytes, false), false), bytes);

        const std::string junk = randomBytes(rng, 60);
        EXPECT_LE(DecodeBase64(junk).size(), junk.size());
        EXPECT_LE(DecodeBase32(junk, false).size(), junk.size());
    }
}

TEST(XmlText, EncodesEntitiesCodesAndUtf8)
{
    EXPECT_EQ(EncodeXML8S("a<b>&\"\x01\xE9'"), "a&lt;b&gt;&amp;&quot;&#001;\xC3\xA9'");
    EXPECT_EQ(EncodeXML8S(std::string(1, '\0')), "&#000;");
    EXPECT_EQ(EncodeXML8(u"\u0159<\U0001F600"), "\xC5\x99&lt;\xF0\x9F\x98\x80");

    EXPECT_EQ(DecodeXML8S("a&lt;b&gt;&amp;&quot;&#001;\xC3\xA9&apos;"), "a<b>&\"\x01\xE9'");
    EXPECT_EQ(DecodeXML8S("&#65;&#x42;"), "AB");
    EXPECT_EQ(DecodeXML8S("&#x159;"), "?");
    EXPECT_EQ(DecodeXML8S("&unknown; &amp &#;"), "&unknown; &amp &#;");
    EXPECT_EQ(DecodeXML8S("\xE9"), "\xE9");  // a byte that is no UTF-8 stays
    EXPECT_EQ(DecodeXML8("\xC5\x99&#128512;"), u"\u0159\U0001F600");
}

TEST(XmlText, RoundTripsAndRandomInput)
{
    std::mt19937 rng(31337);
    for (int i = 0; i < 2000; ++i) {
        const std::string bytes = randomBytes(rng, 40);
        EXPECT_EQ(DecodeXML8S(EncodeXML8S(bytes)), bytes);

        std::u16string units = randomUnits(rng, 20);
        for (char16_t& c : units)
            if (c >= 0xD800 && c <= 0xDFFF)
                c = u'x';  // lone surrogates are no XML characters
        EXPECT_EQ(DecodeXML8(EncodeXML8(units)), units);

        const std::string junk = randomBytes(rng, 60);
        EXPECT_LE(DecodeXML8S(junk).size(), junk.size());
        EXPECT_LE(DecodeXML8(junk).size(), junk.size());
    }
}
