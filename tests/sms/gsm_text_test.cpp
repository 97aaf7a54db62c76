// Texts in the 7-bit alphabet as they meet a device: the extension table
// (escape and code) read and written, counted as two septets and never cut
// from its escape; letters both alphabets have; alphanumeric senders with
// the fill bits of a whole-octet count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/tixutils_gsm.h"
#include "foundation/tixutils_quote.h"
#include "sms/pdu_octets.h"
#include "sms/sms_list.h"
#include "sms/sms_record.h"
#include "tests/sms/sms_rig.h"
#include "tests/support/code_pages.h"

using namespace SmsRig;
using TestSupport::Cz;

namespace {

// A DELIVER from +420777123456 through +420603052000 with 7-bit user data:
// TP-UDL and the packed septets.
std::string Deliver(const std::string& udlAndData)
{
    return "0791246030500200040C91247077214365000042305131540340" + udlAndData;
}

// The septets of user data, packed.
std::string Packed(const std::vector<uint8_t>& septets)
{
    std::string octets;
    for (size_t k = 0; k < septets.size(); ++k)
        SmsPdu::PutSeptet(octets, int(k), septets[k]);
    return Tixutils::BytesToHexaString2(octets.data(), int(octets.size()));
}

std::string UdlHex(size_t septets)
{
    const char digits[] = "0123456789ABCDEF";
    return std::string{digits[septets >> 4 & 0xF], digits[septets & 0xF]};
}

}  // namespace

TEST(GsmText, ExtensionCharactersReadFromADevice)
{
    // "a[b]c{d}e^f~g|h\i€j" as a device sends it (the octets gammu builds).
    auto sms = Read(Deliver("1CE10D4FBCF18D3728F22655DE50CC9BDE7903446F5EE94D590D"));
    ASSERT_EQ(sms->GetState(), VTixSMS_stateSIMRecvUnread);
    EXPECT_EQ(sms->GetText(), "a[b]c{d}e^f~g|h\\i\x80j");

    // Escapes the table has no character for, as TS 23.038 reads them.
    struct Case {
        std::vector<uint8_t> septets;
        std::string text;
    } cases[] = {
        {{'A', 0x1B, 'B', 'C'}, "ABC"},          // unknown code: the main table's
        {{'A', 0x1B, 0x0A, 'C'}, "A\nC"},        // the page break as a line feed
        {{'A', 0x1B, 0x1B, 'C'}, "A C"},         // a second escape: a blank
        {{'A', 'B', 0x1B}, "AB "},               // an escape with nothing after it
        {{0x1B, 0x65, 0x1B, 0x3C, 0x00}, "\x80[@"},
        {{0x1B, 0x00}, "@"},
    };
    for (const Case& c : cases) {
        auto read = Read(Deliver(UdlHex(c.septets.size()) + Packed(c.septets)));
        ASSERT_EQ(read->GetState(), VTixSMS_stateSIMRecvUnread) << c.text;
        EXPECT_EQ(read->GetText(), c.text);
    }
}

TEST(GsmText, ExtensionCharactersGoOutAsEscapeAndCode)
{
    struct Case {
        std::string text, udlAndData;
    } cases[] = {
        {"[x]", "051B1E7EE303"},
        {"\x80" "5", "039B720D"},
        {"\x80[]{}\\^~|", UdlHex(18) + Packed({0x1B, 0x65, 0x1B, 0x3C, 0x1B, 0x3E, 0x1B, 0x28, 0x1B, 0x29, 0x1B, 0x2F,
                                               0x1B, 0x14, 0x1B, 0x3D, 0x1B, 0x40})},
        // Letters both alphabets have go as their own codes.
        {Cz("ÄäÖöÜüÉÇ§¤"), UdlHex(10) + Packed({0x5B, 0x7B, 0x5C, 0x7C, 0x5E, 0x7E, 0x1F, 0x09, 0x5F, 0x24})},
    };
    for (const Case& c : cases) {
        auto sms = Submit();
        sms->SetUserPhone("123");
        sms->SetValidityText("");
        sms->SetText(c.text);
        const std::string built = Built(*sms);
        EXPECT_EQ(built, "000100038121F30000" + c.udlAndData) << c.text;
        auto back = Read(built, VTixSMS_stateSIMUnsent);
        EXPECT_EQ(back->GetText(), c.text);
    }
}

TEST(GsmText, TheLimitCountsTwoSeptetsAndNeverCutsAnEscape)
{
    // 159 letters and "€": 161 septets, the "€" does not fit whole.
    const std::string over = std::string(159, 'a') + "\x80";
    auto sms = Submit();
    sms->SetUserPhone("123");
    sms->SetText(over);
    auto back = Read(Built(*sms), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(back->GetText(), std::string(159, 'a'));
    EXPECT_EQ(back->GetPDUText().substr(back->GetPDUText().size() - 2 * 140 - 2, 2), "9F");  // TP-UDL 159
    // 158 letters and "€" fill 160 septets exactly.
    sms->SetText(std::string(158, 'a') + "\x80");
    back = Read(Built(*sms), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(back->GetText(), std::string(158, 'a') + "\x80");
    // With a header the room is what is left beside it.
    sms->SetText(std::string(80, '[') + "x");
    sms->addUserData(0x00, 7, std::string{char(2), char(1)});
    back = Read(Built(*sms), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(back->GetText(), std::string(76, '['));  // 153 septets beside the 5 octets
}

TEST(GsmText, AlphanumericSendersAndTheirFillBits)
{
    struct Case {
        std::string name;
        int semiOctets;
        std::string read;
    } cases[] = {
        {"Telekom", 0x0E, "Telekom"},   // whole octets counted: seven fill bits
        {"Telekom", 0x0D, "Telekom"},   // the septets' own count
        {"Telekom1", 0x0E, "Telekom1"},
        {"Tele", 0x07, "Tele"},
        {"Tele", 0x08, "Tele"},
        {"T@le", 0x07, "T@le"},         // an "@" inside stays
        {"ABCDEFGHIJK", 0x14, "ABCDEFGHIJK"},
        {"[Bank]", 0x0E, "[Bank]"},     // extension characters in a name
    };
    for (const Case& c : cases) {
        std::string packed;
        SmsPdu::PutTextSeptets(packed, 0, c.name, 99);
        packed.resize(size_t((c.semiOctets + 1) / 2), '\0');
        const std::string address = UdlHex(size_t(c.semiOctets)) + "D0" +
                                    Tixutils::BytesToHexaString2(packed.data(), int(packed.size()));
        auto sms = Read("07912460305002000" "4" + address + "0000423051315403400" "2E834");
        ASSERT_EQ(sms->GetState(), VTixSMS_stateSIMRecvUnread) << c.name << " " << c.semiOctets;
        EXPECT_EQ(sms->GetUserNumber(), c.read) << c.semiOctets;
        // What we read builds to a field that reads the same.
        EXPECT_EQ(Read(Built(*sms))->GetUserNumber(), c.read);
    }
    // A name ending in "@" on an octet's end keeps it: the field gets one
    // more semi-octet than the septets fill.
    auto name = Submit();
    name->SetUserNumberType(0xD0);
    name->SetUserNumber("Telekom@");
    name->SetText("x");
    const std::string built = Built(*name);
    EXPECT_EQ(built.substr(6, 4), "0FD0") << built;
    EXPECT_EQ(Read(built, VTixSMS_stateSIMUnsent)->GetUserNumber(), "Telekom@");
}

TEST(GsmText, LongTextsSplitBySeptetsAndKeepEachEscapeWithItsCode)
{
    VTixSMSList list;
    auto parent = [&](const std::string& text) {
        VTixSMSRecord* sms = list.smsDoesExist("PC", 0);
        sms->SetState(VTixSMS_stateSIMUnsent);
        sms->SetMessageType(VTixSMS_smsTypeSUBMIT);
        sms->SetUserNumber("+420777123456");
        sms->SetText(text);
        return sms;
    };
    // 80 "€" are 160 septets: one message.
    EXPECT_FALSE(parent(std::string(80, '\x80'))->splitIfNeeded());
    // 152 letters and "[" are 154 septets beside a 153-septet room: the
    // "[" goes whole into part 2.
    const std::string text = std::string(152, 'a') + "[" + std::string(10, 'b');
    VTixSMSRecord* sms = parent(text + std::string(10, '{'));
    ASSERT_TRUE(sms->splitIfNeeded());
    ASSERT_EQ(sms->GetPartCount(), 2);
    EXPECT_EQ(sms->GetPart(0)->GetText(), std::string(152, 'a'));
    EXPECT_EQ(sms->GetPart(1)->GetText(), "[" + std::string(10, 'b') + std::string(10, '{'));
    std::string joined;
    for (int i = 0; i < sms->GetPartCount(); ++i) {
        auto back = Read(Built(*sms->GetPart(i)), VTixSMS_stateSIMUnsent);
        EXPECT_LE(Tixutils::GsmSeptetLength(back->GetText()), 153);
        joined += back->GetText();
    }
    EXPECT_EQ(joined, text + std::string(10, '{'));
    // 200 "€": 76 a part (152 septets), so three parts.
    VTixSMSRecord* euros = parent(std::string(200, '\x80'));
    ASSERT_TRUE(euros->splitIfNeeded());
    ASSERT_EQ(euros->GetPartCount(), 3);
    EXPECT_EQ(euros->GetPart(0)->GetText().size(), 76u);
    EXPECT_EQ(euros->GetPart(2)->GetText().size(), 48u);
}
