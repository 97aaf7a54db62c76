#include <gtest/gtest.h>

#include <random>
#include <string>

#include "foundation/tixutils_gsm.h"
#include "platform/codepage.h"
#include "tests/support/ts23038.h"

using namespace Tixutils;

TEST(GsmSemiOctets, DigitTable)
{
    std::string digits;
    for (uint8_t n = 0; n < 16; ++n)
        digits += NibToTelAsc(n);
    EXPECT_EQ(digits, "0123456789*#+BD?");
    EXPECT_EQ(NibToTelAsc(200), '?');

    for (uint8_t n = 0; n < 15; ++n)
        EXPECT_EQ(TelAscToNib(digits[n], 15), n);
    EXPECT_EQ(TelAscToNib('p', 15), 12);
    EXPECT_EQ(TelAscToNib('P', 15), 12);
    EXPECT_EQ(TelAscToNib('c', 15), 12);
    EXPECT_EQ(TelAscToNib('b', 15), 13);
    EXPECT_EQ(TelAscToNib('d', 15), 14);
    EXPECT_EQ(TelAscToNib('?', 15), 15);
    EXPECT_EQ(TelAscToNib('x', 7), 7);
}

TEST(GsmAlphabet, SevenBitCodesOfThePartsTable)
{
    EXPECT_EQ(TranslateAscii2GSM('A'), 'A');
    EXPECT_EQ(TranslateAscii2GSM('@'), 0x00);
    EXPECT_EQ(TranslateAscii2GSM('$'), 0x02);
    EXPECT_EQ(TranslateAscii2GSM('_'), 0x11);
    EXPECT_EQ(TranslateAscii2GSM('['), -1);
    EXPECT_EQ(TranslateAscii2GSM('{'), -1);
    EXPECT_EQ(TranslateAscii2GSM('\t'), -1);
    EXPECT_EQ(TranslateAscii2GSM('\n'), '\n');
    EXPECT_EQ(TranslateAscii2GSM('`'), 0x60);
    EXPECT_EQ(TranslateAscii2GSM('\xA3'), 0x01);  // Ł on the pound sign's code
    EXPECT_EQ(TranslateAscii2GSM('\xE9'), 0x05);  // é
    EXPECT_EQ(TranslateAscii2GSM('\xF9'), 0x06);  // ů
    EXPECT_EQ(TranslateAscii2GSM('\xED'), 0x0B);  // í
    EXPECT_EQ(TranslateAscii2GSM('\xE8'), 'c');   // č folded
    EXPECT_EQ(TranslateAscii2GSM('\xF8'), 'r');   // ř folded
    EXPECT_EQ(TranslateAscii2GSM('\x8A'), 'S');   // Š folded
    EXPECT_EQ(TranslateAscii2GSM('\x81'), -1);

    // ž and ß share 0x1E, which reads back as ž.
    EXPECT_EQ(TranslateAscii2GSM('\x9E'), 0x1E);
    EXPECT_EQ(TranslateAscii2GSM('\xDF'), 0x1E);
    EXPECT_EQ(TranslateGSM2Ascii(0x1E), '\x9E');
}

TEST(GsmAlphabet, SectionSignEllipsisAndUmlauts)
{
    EXPECT_EQ(TranslateAscii2GSM('\xA7'), 0x5F);  // §
    EXPECT_EQ(TranslateGSM2Ascii(0x5F), '\xA7');
    EXPECT_EQ(TranslateAscii2GSM('\x85'), '.');   // … is no section sign

    EXPECT_EQ(TranslateGSM2Ascii(0x5B), '\xC4');  // Ä
    EXPECT_EQ(TranslateGSM2Ascii(0x5C), '\xD6');  // Ö
    EXPECT_EQ(TranslateGSM2Ascii(0x5D), '?');     // Ñ: not in code page 1250
    EXPECT_EQ(TranslateGSM2Ascii(0x5E), '\xDC');  // Ü
    EXPECT_EQ(TranslateGSM2Ascii(0x7B), '\xE4');  // ä
    EXPECT_EQ(TranslateGSM2Ascii(0x7C), '\xF6');  // ö
    EXPECT_EQ(TranslateGSM2Ascii(0x7D), '?');     // ñ
    EXPECT_EQ(TranslateGSM2Ascii(0x7E), '\xFC');  // ü
}

TEST(GsmAlphabet, DecodingSevenAndEightBitCodes)
{
    EXPECT_EQ(TranslateGSM2Ascii(0x00), '@');
    EXPECT_EQ(TranslateGSM2Ascii(0x40), '?');  // ¡
    EXPECT_EQ(TranslateGSM2Ascii(0x02), '$');
    EXPECT_EQ(TranslateGSM2Ascii(0x24), '\xA4');  // ¤, which code page 1250 has
    EXPECT_EQ(TranslateGSM2Ascii(0x1F), '\xC9');  // É
    EXPECT_EQ(TranslateGSM2Ascii(0x11), '_');
    EXPECT_EQ(TranslateGSM2Ascii(0x1B), '?');  // the escape code
    EXPECT_EQ(TranslateGSM2Ascii(0x09), '\xC7');
    EXPECT_EQ(TranslateGSM2Ascii('z'), 'z');
    EXPECT_EQ(TranslateGSM2Ascii(0x0160), '\x8A');
    EXPECT_EQ(TranslateGSM2Ascii(0x02D9), '\xFF');
    EXPECT_EQ(TranslateGSM2Ascii(0x00F1), '\xF1');
    EXPECT_EQ(TranslateGSM2Ascii(0x4E00), '?');
    EXPECT_EQ(TranslateGSM2Ascii(-1), '?');
    EXPECT_EQ(TranslateGSM2Ascii(0x10000), '?');

    // Every character that has a 7-bit code reads back as itself, except
    // the letters folded onto plain ones and the shared 0x1E.
    for (int b = 0; b < 256; ++b) {
        const int code = TranslateAscii2GSM(char(b));
        if (code < 0)
            continue;
        ASSERT_LT(code, 128);
        const char back = TranslateGSM2Ascii(code);
        if (b < 0x80 && b != 0x60) {
            EXPECT_EQ(static_cast<unsigned char>(back), b) << b;
        }
    }
}

// Where TS 23.038 and code page 1250 share a character, both tables use
// its code: the letters the decoder reads (Ä ä Ö ö Ü ü É Ç § ¤) go out as
// themselves, not folded. The other codes are the tables' own choices.
TEST(GsmAlphabet, SharedCharactersGoOutAsTheirOwnCodes)
{
    const std::string shared = "\xC4\xE4\xD6\xF6\xDC\xFC\xC9\xC7\xA7\xA4\xE9\xDF@$_";
    for (char c : shared) {
        const int code = TranslateAscii2GSM(c);
        ASSERT_GE(code, 0) << int(uint8_t(c));
        EXPECT_EQ(TestSupport::Ts23038(code), Platform::AnsiCharToUnicode(uint8_t(c), Platform::CP_CZECH))
            << int(uint8_t(c));
    }
    // Every character of both: the encoder's code is the standard's.
    for (int b = 0; b < 256; ++b) {
        const char16_t u = Platform::AnsiCharToUnicode(uint8_t(b), Platform::CP_CZECH);
        for (int code = 0; code < 128; ++code)
            if (TestSupport::Ts23038(code) == u && u != 0)
                EXPECT_EQ(TranslateAscii2GSM(char(b)), code) << b;
    }
    // And the decoder reads every such code back to the character, but
    // for the shared 0x1E (ß and ž both go there; it reads as ž).
    for (int code = 0; code < 128; ++code) {
        const int b = Platform::UnicodeToAnsiChar(TestSupport::Ts23038(code), Platform::CP_CZECH);
        if (b > 0 && code != 0x1E && code != 0x60)
            EXPECT_EQ(uint8_t(TranslateGSM2Ascii(code)), b) << code;
    }
    // Letters the alphabet lacks keep their folding.
    EXPECT_EQ(TranslateAscii2GSM('\xC1'), 'A');  // Á
    EXPECT_EQ(TranslateAscii2GSM('\xCB'), 'E');  // Ë
    EXPECT_EQ(TranslateAscii2GSM('\xE1'), 'a');  // á
}

TEST(GsmAlphabet, ExtensionTableOfTs23038)
{
    // Each of code page 1250's characters of the table, both ways.
    int found = 0;
    for (int code = 0; code < 128; ++code) {
        const char16_t u = TestSupport::Ts23038Extension(code);
        const char c = TranslateGSMExt2Ascii(code);
        if (u == 0) {
            EXPECT_EQ(c, '\0') << code;
            continue;
        }
        ++found;
        EXPECT_EQ(Platform::AnsiCharToUnicode(uint8_t(c), Platform::CP_CZECH), u) << code;
        EXPECT_EQ(TranslateAscii2GSMExt(c), code) << code;
    }
    EXPECT_EQ(found, 9);
    EXPECT_EQ(TranslateGSMExt2Ascii(0x0A), '\0');  // the page break reads as the main table's LF
    for (int b = 0; b < 256; ++b)
        if (TranslateAscii2GSMExt(char(b)) >= 0)
            EXPECT_NE(std::string("\x80[]{}\\^~|").find(char(b)), std::string::npos) << b;
    EXPECT_EQ(TranslateAscii2GSMExt('a'), -1);
    EXPECT_EQ(TranslateAscii2GSMExt('\x0C'), -1);

    // Two septets each, never cut from the escape.
    EXPECT_EQ(GsmSeptetLength(""), 0);
    EXPECT_EQ(GsmSeptetLength("abc"), 3);
    EXPECT_EQ(GsmSeptetLength("a[b]\x80"), 8);
    EXPECT_EQ(GsmCharsFitting("a[b]", 0, 1), 1u);
    EXPECT_EQ(GsmCharsFitting("a[b]", 0, 2), 1u);
    EXPECT_EQ(GsmCharsFitting("a[b]", 0, 3), 2u);
    EXPECT_EQ(GsmCharsFitting("a[b]", 0, 99), 4u);
    EXPECT_EQ(GsmCharsFitting("a[b]", 1, 3), 2u);
    EXPECT_EQ(GsmCharsFitting("a[b]", 4, 3), 0u);
    EXPECT_EQ(GsmCharsFitting("a[b]", 9, 3), 0u);
    EXPECT_EQ(GsmCharsFitting("[", 0, 0), 0u);
}

TEST(GsmAlphabet, Ucs2KeepsEveryCzechCharacter)
{
    EXPECT_EQ(TranslateAscii2GSM_U('@'), 0x40);
    EXPECT_EQ(TranslateAscii2GSM_U('$'), 0x24);
    EXPECT_EQ(TranslateAscii2GSM_U('_'), 0x5F);
    EXPECT_EQ(TranslateAscii2GSM_U('\xA3'), 0x0141);  // Ł
    EXPECT_EQ(TranslateAscii2GSM_U('\xD6'), 0x00D6);  // Ö
    EXPECT_EQ(TranslateAscii2GSM_U('\xBC'), 0x013D);  // Ľ
    EXPECT_EQ(TranslateAscii2GSM_U('\x8C'), 0x015A);  // Ś
    EXPECT_EQ(TranslateAscii2GSM_U('\x8F'), 0x0179);  // Ź
    EXPECT_EQ(TranslateAscii2GSM_U('\x80'), 0x20AC);  // €
    EXPECT_EQ(TranslateAscii2GSM_U('\x8A'), 352);
    EXPECT_EQ(TranslateAscii2GSM_U('\xE8'), 269);
    EXPECT_EQ(TranslateAscii2GSM_U('\xFF'), 729);

    EXPECT_EQ(TranslateGSM2Ascii_U('@'), '@');
    EXPECT_EQ(TranslateGSM2Ascii_U('['), '[');
    EXPECT_EQ(TranslateGSM2Ascii_U(0x20AC), '\x80');
    EXPECT_EQ(TranslateGSM2Ascii_U(0x00D1), '?');  // Ñ
    EXPECT_EQ(TranslateGSM2Ascii_U(0xD83D), '?');
    EXPECT_EQ(TranslateGSM2Ascii_U(-5), '?');

    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<unsigned char>(TranslateGSM2Ascii_U(TranslateAscii2GSM_U(char(b)))), b) << b;
}

TEST(GsmPhone, NumberAndTypeToText)
{
    EXPECT_EQ(GsmNumberType2Phone("+123456789", 145), "+123456789");
    EXPECT_EQ(GsmNumberType2Phone("123456789", 145), "+123456789");
    EXPECT_EQ(GsmNumberType2Phone("123 456", 129), "\"123 456\"");
    EXPECT_EQ(GsmNumberType2Phone("12345", 161), "12345,161");
    EXPECT_EQ(GsmNumberType2Phone("1,2", 0), "\"1,2\"");
    EXPECT_EQ(GsmNumberType2Phone(" \t602\r\n", 129), "602");
    EXPECT_EQ(GsmNumberType2Phone("", 145), "");
    EXPECT_EQ(GsmNumberType2Phone(" \r", 145), "");
    EXPECT_EQ(GsmNumberType2Phone("+", 145), "");
    EXPECT_EQ(GsmNumberType2Phone("+", 129), "");
    EXPECT_EQ(GsmNumberType2Phone("++5", 145), "+5");

    // What a number text becomes reads back as itself.
    for (const char* text : {"++", "+++", "+", " + ", "++5", "+ +5", "+,129", "\"+\"", "602,161", "\"1 2\",145", "+\x01\xfe"}) {
        std::string digits, again;
        int type = 0, typeAgain = 0;
        if (!GsmPhone2NumberType(text, digits, type))
            continue;
        const std::string shown = GsmNumberType2Phone(digits, type);
        ASSERT_TRUE(GsmPhone2NumberType(shown, again, typeAgain)) << text;
        EXPECT_EQ(GsmNumberType2Phone(again, typeAgain), shown) << text;
    }
}

TEST(GsmPhone, TextToNumberAndType)
{
    std::string number = "old";
    int type = -1;
    EXPECT_TRUE(GsmPhone2NumberType("+123,129", number, type));
    EXPECT_EQ(number, "123");
    EXPECT_EQ(type, 129);  // the explicit type wins over the "+"

    EXPECT_TRUE(GsmPhone2NumberType("+123456789", number, type));
    EXPECT_EQ(number, "123456789");
    EXPECT_EQ(type, 145);
    EXPECT_TRUE(GsmPhone2NumberType("12345,145", number, type));
    EXPECT_EQ(number, "12345");
    EXPECT_EQ(type, 145);
    EXPECT_TRUE(GsmPhone2NumberType("\"123 456\",129", number, type));
    EXPECT_EQ(number, "123 456");
    EXPECT_EQ(type, 129);
    EXPECT_TRUE(GsmPhone2NumberType("", number, type));
    EXPECT_EQ(number, "");
    EXPECT_EQ(type, 0);
    EXPECT_TRUE(GsmPhone2NumberType(",161", number, type));
    EXPECT_EQ(number, "");
    EXPECT_EQ(type, 161);

    EXPECT_FALSE(GsmPhone2NumberType("\"", number, type));
    EXPECT_FALSE(GsmPhone2NumberType("\"\",129", number, type));
    EXPECT_FALSE(GsmPhone2NumberType("\"123", number, type));
    EXPECT_FALSE(GsmPhone2NumberType("123,256", number, type));
    EXPECT_EQ(number, "123");  // kept from before the failing step
    EXPECT_EQ(type, 129);
    EXPECT_FALSE(GsmPhone2NumberType("123,abc", number, type));
    EXPECT_FALSE(GsmPhone2NumberType("123,", number, type));
    EXPECT_FALSE(GsmPhone2NumberType("123,99999999999", number, type));

    // Text written by GsmNumberType2Phone reads back.
    for (int t : {0, 129, 145, 161, 255}) {
        const std::string text = GsmNumberType2Phone("602 123,45", t);
        ASSERT_TRUE(GsmPhone2NumberType(text, number, type)) << text;
        EXPECT_EQ(number, "602 123,45");
        EXPECT_EQ(type, t == 0 ? 129 : t);
    }
}

TEST(GsmPhone, AddressFields)
{
    EXPECT_EQ(GsmNumberType2PDU("12345", 0x91, 0), std::string("\x05\x91\x21\x43\xF5", 5));
    EXPECT_EQ(GsmNumberType2PDU("1234", 0x81, 0), std::string("\x04\x81\x21\x43", 4));
    EXPECT_EQ(GsmNumberType2PDU("", 0x91, 0), std::string("\x00\x81", 2));
    EXPECT_EQ(GsmNumberType2PDU("", 0x91, 0xFF), std::string("\xFF\x7E", 2));

    std::string number;
    uint8_t type = 0;
    EXPECT_TRUE(GsmPDU2NumberType(std::string("\x05\x91\x21\x43\xF5", 5), number, type, 0));
    EXPECT_EQ(number, "+12345");
    EXPECT_EQ(type, 0x91);
    EXPECT_TRUE(GsmPDU2NumberType(GsmNumberType2PDU("*#1p", 0x81, 0x5A), number, type, 0x5A));
    EXPECT_EQ(number, "*#1+");
    EXPECT_EQ(type, 0x81);
    EXPECT_TRUE(GsmPDU2NumberType(std::string("\x00\x91", 2), number, type, 0));
    EXPECT_EQ(number, "");
    EXPECT_EQ(type, 0);

    // A field cut short gives what it holds and says so.
    EXPECT_FALSE(GsmPDU2NumberType(std::string("\x09\x81\x21", 3), number, type, 0));
    EXPECT_EQ(number, "12");
    EXPECT_FALSE(GsmPDU2NumberType("", number, type, 0));
    EXPECT_FALSE(GsmPDU2NumberType("\x03", number, type, 0));
}

TEST(GsmPhone, ParsersSurviveRandomInput)
{
    std::mt19937 rng(2718);
    std::uniform_int_distribution<int> len(0, 24);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string alphabet = "\"+,0129 #*p\t";
    for (int i = 0; i < 5000; ++i) {
        std::string s(size_t(len(rng)), '\0');
        for (char& c : s)
            c = i % 2 ? char(byte(rng)) : alphabet[size_t(byte(rng)) % alphabet.size()];
        std::string number;
        int type = -1;
        if (GsmPhone2NumberType(s, number, type)) {
            EXPECT_GE(type, 0);
            EXPECT_LE(type, 255);
        }
        uint8_t t8 = 0;
        GsmPDU2NumberType(s, number, t8, uint8_t(i));
        EXPECT_LE(number.size(), 256u);
        for (char c : s)
            TranslateGSM2Ascii(static_cast<unsigned char>(c));
    }
}
