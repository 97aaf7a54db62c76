// The PDU codec of VTixSMSRecord octet for octet: the known vectors, the
// validity period, the readers' edge cases and the limits of the build.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "foundation/tixutils_quote.h"
#include "sms/pdu_octets.h"
#include "sms/sms_record.h"
#include "tests/sms/sms_rig.h"
#include "tests/support/code_pages.h"

using namespace SmsRig;
using TestSupport::Cz;

namespace {

const char kDeliver[] = "0791246030500200040C9124707721436500004230513154034005E8329BFD06";
const char kBanka[] = "07912460305002000409D0C2B07B1D0600004230513154034005E8329BFD06";
const char kReport[] = "07912460305002000E2A0C91247077214365423051315403404230513155034000";

std::string ExceptionText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(nothing raised)";
}

}  // namespace

TEST(PduVectors, SubmitToInternationalNumberWithCentreAndThreeDays)
{
    auto sms = Submit();
    sms->SetSCA("+1234");
    sms->SetUserNumber("+12345");
    sms->SetText("abc");
    sms->SetValidityText("3d");
    EXPECT_EQ(Built(*sms), Hex("03912143 11 00 05912143F5 00 00 A9 03 61F118"));
    EXPECT_EQ(sms->GetCMGWlen(), 14);
    EXPECT_EQ(sms->GetFieldsChanged(), false);
    EXPECT_EQ(sms->getFieldString(VTixSMSRecord::fsUDH), "");

    // The same octets read back give the same fields.
    auto back = Read(sms->GetPDUText(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(back->GetMessageType(), VTixSMS_smsTypeSUBMIT);
    EXPECT_EQ(back->GetSCA(), "+1234");
    EXPECT_EQ(back->GetUserNumber(), "+12345");
    EXPECT_EQ(back->GetText(), "abc");
    EXPECT_EQ(back->GetValidityText(), "3d");
    EXPECT_TRUE(back->fieldsEqual(sms.get()));
}

TEST(PduVectors, SubmitWithoutValidityToAnUnknownTypeNumber)
{
    auto sms = Submit();
    sms->SetUserPhone("123");
    EXPECT_EQ(sms->GetUserNumberType(), 129);
    sms->SetText("Hi");
    sms->SetValidityText("");
    EXPECT_EQ(Built(*sms), "000100038121F3000002C834");
    EXPECT_EQ(sms->GetCMGWlen(), 11);

    sms->SetPDUFormat(VTixSMS_pduFmtEmptySCA);
    EXPECT_EQ(Built(*sms), "000100038121F3000002C834");
    EXPECT_EQ(sms->GetCMGWlen(), 11);
    sms->SetPDUFormat(VTixSMS_pduFmtWoutSCA);
    EXPECT_EQ(Built(*sms), "0100038121F3000002C834");
    EXPECT_EQ(sms->GetCMGWlen(), 11);
}

TEST(PduVectors, DeliverReadWithItsTimeStampAndZone)
{
    TZone prague("Europe/Prague");
    auto sms = Read(kDeliver);
    EXPECT_EQ(sms->GetState(), VTixSMS_stateSIMRecvUnread);
    EXPECT_EQ(sms->GetMessageType(), VTixSMS_smsTypeDELIVER);
    EXPECT_TRUE(sms->IsReadOnly());
    EXPECT_EQ(sms->GetSCA(), "+420603052000");
    EXPECT_EQ(sms->GetUserNumber(), "+420777123456");
    EXPECT_EQ(sms->GetText(), "hello");
    EXPECT_EQ(Text(sms->GetSCTS()), "15.3.2024 13:45:30");
    EXPECT_EQ(sms->GetSCTSZone(), 0x40);
    // +1 h in March, as Prague then: the same local time.
    EXPECT_EQ(Text(sms->GetSCTSTime()), "15.3.2024 13:45:30");
    EXPECT_EQ(sms->GetValidityText(), "");
    // Rebuilt unchanged, zone octet kept.
    EXPECT_EQ(Built(*sms), kDeliver);
    EXPECT_EQ(sms->GetCMGWlen(), 32 - 1 - 7);
}

TEST(PduVectors, SummerTimeStampInLocalTimeUsesTheSummerOffset)
{
    TZone prague("Europe/Prague");
    std::string hex = kDeliver;
    hex.replace(hex.find("42305131540340"), 14, "42705131540380");  // 15.7., +2 h
    auto sms = Read(hex);
    ASSERT_NE(sms->GetState(), VTixSMS_state_ReadFailed);
    EXPECT_EQ(sms->GetSCTSZone(), 0x80);
    EXPECT_EQ(Text(sms->GetSCTSTime()), "15.7.2024 13:45:30");
    // A centre in another zone (-3 h): 10:45:30 there is 15:45:30 in Prague.
    hex.replace(hex.find("42705131540380"), 14, "42705101540329");
    auto west = Read(hex);
    EXPECT_EQ(Text(west->GetSCTSTime()), "15.7.2024 15:45:30");
}

TEST(PduVectors, AbsoluteValidityCarriesTheZoneInForceThen)
{
    TZone prague("Europe/Prague");
    auto sms = Submit();
    sms->SetUserNumber("1");
    sms->SetText("x");
    sms->SetValidityText("15.7.2024 12:00");
    EXPECT_FALSE(sms->GetValidityIsRelative());
    EXPECT_EQ(sms->GetValidityText(), "15.7.2024 12:00:00");
    const std::string summer = Built(*sms);
    EXPECT_EQ(summer.substr(0, 4), "0019");  // VPF absolute
    EXPECT_NE(summer.find(Hex("42 70 51 21 00 00 80")), std::string::npos) << summer;

    sms->SetValidityText("15.1.2024 12:00");
    const std::string winter = Built(*sms);
    EXPECT_NE(winter.find(Hex("42 10 51 21 00 00 40")), std::string::npos) << winter;

    // Read back: the same point in time, the zone octet not needed.
    auto back = Read(summer, VTixSMS_stateSIMUnsent);
    EXPECT_EQ(back->GetValidityText(), "15.7.2024 12:00:00");
    EXPECT_EQ(Built(*back), summer);
}

TEST(PduVectors, Ucs2ReadThroughTheWholeUnicodeMap)
{
    std::string hex = kDeliver;
    hex.replace(hex.find("0000423051"), 4, "0008");
    hex.replace(hex.size() - 12, 12, "080040005F002420AC");
    auto sms = Read(hex);
    ASSERT_NE(sms->GetState(), VTixSMS_state_ReadFailed) << hex;
    EXPECT_EQ(sms->GetEncoding(), VTixSMS_encoding16);
    EXPECT_EQ(sms->GetText(), Cz("@_$€"));
    EXPECT_EQ(Built(*sms), hex);

    // Czech letters both ways; a letter code page 1250 lacks reads "?".
    auto czech = Submit();
    czech->SetUserNumber("1");
    czech->SetDCS(0x08);
    czech->SetText(Cz("Žluťoučký kůň"));
    auto back = Read(Built(*czech), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(back->GetText(), Cz("Žluťoučký kůň"));
    std::string greek = kDeliver;
    greek.replace(greek.find("0000423051"), 4, "0008");
    greek.replace(greek.size() - 12, 12, "0403A90041");
    EXPECT_EQ(Read(greek)->GetText(), "?A");
}

TEST(PduVectors, AlphanumericSenderReadAndBuiltAsGsmText)
{
    auto sms = Read(kBanka);
    ASSERT_EQ(sms->GetState(), VTixSMS_stateSIMRecvUnread);
    EXPECT_EQ(sms->GetUserNumber(), "Banka");
    EXPECT_EQ(sms->GetUserNumberType(), 0xD0);
    EXPECT_EQ(Built(*sms), kBanka);

    // A name of 11 characters fills 20 semi-octets; 12 do not fit.
    auto name = Submit();
    name->SetUserNumberType(0xD0);
    name->SetUserNumber("Hello World");
    name->SetText("x");
    auto back = Read(Built(*name), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(back->GetUserNumber(), "Hello World");
    EXPECT_EQ(back->GetPDUText().substr(6, 4), "14D0");
    name->SetUserNumber("Hello World!");
    EXPECT_EQ(ExceptionText([&] { name->create1part(); }),
              "VTixSMSRecord.preparePDUpart: destination number too long");
}

TEST(PduVectors, StatusReportKeepsBothTimeStampsAndItsOctets)
{
    auto sms = Read(kReport);
    ASSERT_EQ(sms->GetState(), VTixSMS_stateSIMRecvUnread);
    EXPECT_EQ(sms->GetMessageType(), VTixSMS_smsTypeSTATUS_REPORT);
    EXPECT_EQ(sms->GetMR(), 42);
    EXPECT_EQ(sms->GetUserNumber(), "+420777123456");
    EXPECT_EQ(Text(sms->GetReportSCTS()), "15.3.2024 13:45:30");
    EXPECT_EQ(Text(sms->GetReportDT()), "15.3.2024 13:55:30");
    EXPECT_EQ(sms->GetText(), "");
    EXPECT_EQ(Built(*sms), kReport);
    // The octets follow a change of format, the report stays as read.
    sms->SetPDUFormat(VTixSMS_pduFmtWoutSCA);
    EXPECT_EQ(Built(*sms), std::string(kReport).substr(16));
    // Without TP-LP the same.
    std::string plain = kReport;
    plain.replace(16, 2, "06");
    EXPECT_EQ(Text(Read(plain)->GetReportDT()), "15.3.2024 13:55:30");
    // A report cut before its discharge time cannot be read.
    EXPECT_EQ(Read(std::string(kReport).substr(0, 52))->GetState(), VTixSMS_state_ReadFailed);
}

TEST(PduVectors, SubmitWithEnhancedValidityKeepsItsOctets)
{
    const std::string hex = Hex("00 09 05 03 8121F3 00 00 01 02 03 04 05 06 07 02 C834");
    auto sms = Read(hex, VTixSMS_stateSIMUnsent);
    ASSERT_EQ(sms->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(sms->GetValidityAbs(), VTixSMSRecord::EnhancedValidity);
    EXPECT_EQ(sms->GetText(), "");
    EXPECT_EQ(Built(*sms), hex);
    // Once edited it is built anew, without the validity it could not read.
    sms->SetText("Hi");
    EXPECT_EQ(Built(*sms), "000105038121F3000002C834");
}

TEST(PduVectors, RelativeValidityTable)
{
    const struct {
        int64_t seconds;
        int octet;
    } cases[] = {
        {0, 0},           {299, 0},          {300, 0},          {301, 1},
        {600, 1},         {601, 2},          {43200, 143},      {43201, 144},
        {86400, 167},     {3 * 86400, 0xA9}, {604800, 0xAD},    {30 * 86400, 0xC4},
        {31 * 86400, 0xC5}, {38102400, 0xFF}, {38102401, 0xFF}, {100000000, 0xFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SmsPdu::RelativeValidityOctet(c.seconds), c.octet) << c.seconds;
        // And through a record's validity text.
        auto sms = Submit();
        sms->SetValidityText(std::to_string(c.seconds) + "s");
        sms->SetValidityRel(double(c.seconds) / 86400.0);
        const std::string hex = Built(*sms);
        EXPECT_EQ(std::stoi(hex.substr(14, 2), nullptr, 16), c.octet) << c.seconds << " " << hex;
    }
    EXPECT_EQ(SmsPdu::RelativeValiditySeconds(0), 300);
    EXPECT_EQ(SmsPdu::RelativeValiditySeconds(144), 45000);     // 12 h 30 min
    EXPECT_EQ(SmsPdu::RelativeValiditySeconds(168), 2 * 86400);
    EXPECT_EQ(SmsPdu::RelativeValiditySeconds(197), 5 * 604800);
    // Every octet read back encodes to itself.
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(SmsPdu::RelativeValidityOctet(SmsPdu::RelativeValiditySeconds(uint8_t(v))), v);
    auto read = Read("00 11 00 00 81 00 00 90 00", VTixSMS_stateSIMUnsent);
    EXPECT_EQ(read->GetValidityText(), "12h 30m");
}

TEST(PduCodec, OctetsOfTimeStampsAndZones)
{
    EXPECT_EQ(SmsPdu::ToSwappedDecimal(15), 0x51);
    EXPECT_EQ(SmsPdu::ToSwappedDecimal(2024 % 100), 0x42);
    EXPECT_EQ(SmsPdu::FromSwappedDecimal(0x51), 15);
    EXPECT_EQ(SmsPdu::FromSwappedDecimal(0xFF), 165);
    EXPECT_EQ(SmsPdu::ZoneOctet(8), 0x80);
    EXPECT_EQ(SmsPdu::ZoneOctet(4), 0x40);
    EXPECT_EQ(SmsPdu::ZoneOctet(-12), 0x29);
    EXPECT_EQ(SmsPdu::ZoneOctet(23), 0x32);  // +5:45
    EXPECT_EQ(SmsPdu::ZoneQuarterHours(0x29), -12);
    EXPECT_EQ(SmsPdu::ZoneQuarterHours(0x32), 23);
    EXPECT_EQ(SmsPdu::HeaderSeptets(5), 7);  // one fill bit
    EXPECT_EQ(SmsPdu::HeaderSeptets(6), 8);
    EXPECT_EQ(SmsPdu::SeptetOctets(160), 140);
}

TEST(PduCodec, SevenBitPacksExactlyWhatTpUdlCounts)
{
    // 170 characters: TP-UDL 160 and 140 octets of user data, nothing more.
    auto sms = Submit();
    sms->SetUserPhone("1");
    sms->SetValidityText("");
    sms->SetText(std::string(170, 'a'));
    const std::string hex = Built(*sms);
    EXPECT_EQ(hex.substr(0, 18), "0001000181F10000A0");
    EXPECT_EQ(hex.size() / 2, 9 + 140u);
    auto back = Read(hex, VTixSMS_stateSIMUnsent);
    EXPECT_EQ(back->GetText(), std::string(160, 'a'));
    EXPECT_TRUE(back->pdusEqual(sms.get()));

    // With a concatenation header (5 octets): 7 septets and one fill bit.
    auto part = Submit();
    part->SetUserPhone("1");
    part->SetValidityText("");
    part->addUserData(0x00, 0x2A, std::string("\x02\x01", 2));
    part->SetText("abc");
    EXPECT_EQ(Built(*part), Hex("00 41 00 01 81 F1 00 00 0A 05 00 03 2A 02 01 C2 E2 31"));
}

TEST(PduCodec, ReadersRefuseWhatTheyCannotRead)
{
    const struct {
        const char* why;
        const char* hex;
        VTixSMS_textSMSstates state;
        VTixSMS_PDUFormat format;
    } bad[] = {
        {"empty", "", VTixSMS_stateSIMRecvRead, VTixSMS_pduFmtWithSCA},
        {"centre length 11", "0B91214365870921436587F9040381", VTixSMS_stateSIMRecvRead,
         VTixSMS_pduFmtWithSCA},
        {"centre to the end", "03912143", VTixSMS_stateSIMRecvRead, VTixSMS_pduFmtWithSCA},
        {"state unknown", kDeliver, VTixSMS_state_Unknown, VTixSMS_pduFmtWithSCA},
        {"command", "0002000381", VTixSMS_stateSIMUnsent, VTixSMS_pduFmtWithSCA},
        {"unknown PID", "000402812179004230513154034000", VTixSMS_stateSIMRecvRead,
         VTixSMS_pduFmtWithSCA},
        {"DCS 0x0C", "0004028121000C42305131540340" "0100", VTixSMS_stateSIMRecvRead,
         VTixSMS_pduFmtWithSCA},
        {"UCS2 odd octets", "0004028121000842305131540340030041" "00", VTixSMS_stateSIMRecvRead,
         VTixSMS_pduFmtWithSCA},
        {"short of TP-UDL", "0004028121000042305131540340" "05E8329B", VTixSMS_stateSIMRecvRead,
         VTixSMS_pduFmtWithSCA},
        {"ends after TP-UDL", "0004028121000042305131540340" "05", VTixSMS_stateSIMRecvRead,
         VTixSMS_pduFmtWithSCA},
        {"time stamp cut", "00040281210000423051315403", VTixSMS_stateSIMRecvRead,
         VTixSMS_pduFmtWithSCA},
        {"address of 21 digits", "0004159121436587092143658709214365870921F1000042305131540340"
                                 "00", VTixSMS_stateSIMRecvRead, VTixSMS_pduFmtWithSCA},
        {"header past its end", "0044028121000042305131540340" "08070003", VTixSMS_stateSIMRecvRead,
         VTixSMS_pduFmtWithSCA},
        {"header element past the header", "0044028121000442305131540340" "0403000503",
         VTixSMS_stateSIMRecvRead, VTixSMS_pduFmtWithSCA},
    };
    for (const auto& c : bad) {
        auto sms = Read(c.hex, c.state, c.format);
        EXPECT_EQ(sms->GetState(), c.hex[0] ? VTixSMS_state_ReadFailed : c.state) << c.why;
        EXPECT_FALSE(sms->refreshFields()) << c.why;
    }

    // A PDU that starts 07 91 is a TPDU when the format has no centre.
    auto tpdu = Read("0791", VTixSMS_stateSIMRecvRead, VTixSMS_pduFmtWoutSCA);
    EXPECT_EQ(tpdu->GetState(), VTixSMS_state_ReadFailed);
    EXPECT_EQ(tpdu->getFieldByte(VTixSMSRecord::fbFirstOctet), 0x07);

    // TP-UDL 0 and nothing after: an empty text that reads.
    auto empty = Read("0004028121000042305131540340" "00", VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(empty->GetState(), VTixSMS_stateSIMRecvRead);
    // DCS 0x04: 8-bit; the list's UnknownPIDisOK lets any PID through.
    auto eight = Read("0004028121000442305131540340" "02414D", VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(eight->GetText(), "AM");
    VTixSMSList list;
    list.SetUnknownPIDisOK(true);
    auto anyPid = Read("00040281217F0042305131540340" "0141", VTixSMS_stateSIMRecvRead,
                       VTixSMS_pduFmtWithSCA, &list);
    EXPECT_EQ(anyPid->GetText(), "A");
}

TEST(PduCodec, TooLongUserDataIsReadCut)
{
    // TP-UDL 200 septets in 140 octets: the first 160 characters.
    std::string hex = "0004028121000042305131540340C8";
    for (int i = 0; i < 140; ++i)
        hex += "00";
    auto sms = Read(hex, VTixSMS_stateSIMRecvRead);
    ASSERT_EQ(sms->GetState(), VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(sms->GetText(), std::string(160, '@'));
    EXPECT_EQ(Built(*sms).substr(28, 2), "A0");
}

TEST(PduCodec, HexTextLoadsAndTheRawOctetLimits)
{
    auto sms = Submit();
    // Cut at CR, Ctrl-Z and Esc.
    for (const char* end : {"\r\nOK", "\x1A", "\x1B junk"}) {
        sms->SetPDUText(std::string("000100038121F3000002C834") + end);
        EXPECT_EQ(sms->GetPDUText(), "000100038121F3000002C834") << end;
        EXPECT_EQ(sms->GetText(), "Hi");
    }
    // Lower-case hex reads too; invalid hex leaves the PDU empty.
    sms->SetPDUText("000100038121f3000002c834");
    EXPECT_EQ(sms->GetPDUCount(), 12);
    sms->SetPDUText("0001000381G1");
    EXPECT_EQ(sms->GetPDUCount(), 0);
    sms->SetPDUText("000");
    EXPECT_EQ(sms->GetPDUCount(), 0);
    EXPECT_EQ(sms->GetState(), VTixSMS_stateSIMUnsent);

    // More than 176 octets from the device: ReadFailed, nothing raised.
    auto longer = Submit();
    EXPECT_NO_THROW(longer->SetPDUText(std::string(354, '0')));
    EXPECT_EQ(longer->GetState(), VTixSMS_state_ReadFailed);
    EXPECT_EQ(longer->GetPDUCount(), 0);
    auto exact = Read(std::string(352, '0'), VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(exact->GetPDUCount(), 176);

    VTixSMSRecord raw;
    raw.AfterCreate(nullptr, VTixSMS_stateSIMUnsent);
    raw.SetPDUByte(175, 0x11);  // the last of 176
    EXPECT_EQ(raw.GetPDUCount(), 176);
    EXPECT_EQ(raw.GetPDUByte(175), 0x11);
    EXPECT_EQ(raw.GetPDUByte(174), 0x00);
    EXPECT_EQ(raw.GetPDUByte(176), 0x00);
    raw.SetPDUByte(176, 0x22);
    raw.SetPDUByte(-1, 0x22);
    EXPECT_EQ(raw.GetPDUCount(), 176);
    EXPECT_TRUE(raw.GetPDUChanged());
    EXPECT_EQ(ExceptionText([&] { raw.addPDUbyte(0); }), "VTixSMSRecord.addPDUbyte: too many bytes");
}

TEST(PduCodec, StalePduRaisesOnReadAndNeverMatches)
{
    auto sms = Submit();
    sms->SetUserNumber("123");
    auto copy = Submit();
    copy->SetUserNumber("123");
    sms->create1part();
    copy->create1part();
    EXPECT_TRUE(sms->pdusEqual(copy.get()));
    sms->SetText("new");
    EXPECT_TRUE(sms->GetFieldsChanged());
    EXPECT_EQ(ExceptionText([&] { sms->GetPDUText(); }), "VTixSMSRecord.GetPDUText: part not prepared");
    EXPECT_EQ(ExceptionText([&] { sms->GetPDUByte(0); }), "VTixSMSRecord.GetPDUByte: part not prepared");
    EXPECT_FALSE(sms->pdusEqual(copy.get()));
    EXPECT_FALSE(copy->pdusEqual(sms.get()));
    EXPECT_FALSE(copy->pdusEqual(nullptr));
    sms->preparePDUpart(1);
    EXPECT_NO_THROW(sms->GetPDUText());
    EXPECT_FALSE(sms->pdusEqual(copy.get()));
}

TEST(PduCodec, AddressLimitsOfTheBuild)
{
    auto sms = Submit();
    sms->SetText("x");
    sms->SetUserNumber("+" + std::string(20, '9'));
    const std::string hex = Built(*sms);
    EXPECT_EQ(hex.substr(6, 4), "1491");
    EXPECT_EQ(Read(hex, VTixSMS_stateSIMUnsent)->GetUserNumber(), "+" + std::string(20, '9'));

    sms->SetUserNumber(std::string(21, '9'));
    EXPECT_EQ(ExceptionText([&] { sms->create1part(); }),
              "VTixSMSRecord.preparePDUpart: destination number too long");
    // The old PDU stays, not prepared for the new fields.
    EXPECT_EQ(sms->GetPDUCount(), int(hex.size() / 2));
    sms->SetUserNumber(std::string(256, '1'));
    EXPECT_THROW(sms->create1part(), std::runtime_error);
    // Blanks and dashes of a typed number are not digits.
    sms->SetUserNumber("12 34-56 78 90 12 34 56 78 90");
    EXPECT_NO_THROW(sms->create1part());

    sms->SetUserNumber("1");
    sms->SetSCA(std::string(21, '1'));
    EXPECT_EQ(ExceptionText([&] { sms->create1part(); }),
              "VTixSMSRecord.preparePDUpart: SMS-centre number too long");
    sms->SetSCA(std::string(20, '1'));
    EXPECT_NO_THROW(sms->create1part());

    // A header with no room beside it in one message.
    sms->SetSCA("");
    sms->addUserData(0x70, 1, std::string(140, 'h'));
    EXPECT_EQ(ExceptionText([&] { sms->create1part(); }),
              "VTixSMSRecord.preparePDUpart: user-data header too long");
}

TEST(PduCodec, HeaderElements)
{
    std::vector<VTixSMSRecord_UserData> elements{
        {0x00, 0x2A, std::string("\x03\x01", 2)},
        {0x0A, 255, ""},
        {0x0B, 255, "x"},
    };
    const std::string raw = VTixSMSRecord::EncodeUserData(elements);
    EXPECT_EQ(raw, std::string("\x00\x03\x2A\x03\x01\x0A\x00\x0B\x02\xFFx", 11));
    std::vector<VTixSMSRecord_UserData> back;
    EXPECT_TRUE(VTixSMSRecord::DecodeUserData(raw, back));
    EXPECT_EQ(back, elements);

    std::vector<VTixSMSRecord_UserData> none;
    EXPECT_TRUE(VTixSMSRecord::DecodeUserData("", none));
    EXPECT_FALSE(VTixSMSRecord::DecodeUserData(std::string("\x00\x03\x2A", 3), none));
    none.clear();
    EXPECT_FALSE(VTixSMSRecord::DecodeUserData(std::string("\x0A\x00\x0B", 3), none));
    // Cut at 254 octets.
    std::vector<VTixSMSRecord_UserData> big{{1, 2, std::string(300, 'x')}};
    EXPECT_EQ(VTixSMSRecord::EncodeUserData(big).size(), 254u);

    auto sms = Submit();
    EXPECT_EQ(sms->GetUserDataCount(), 0);
    EXPECT_EQ(sms->GetUserData(0), (VTixSMSRecord_UserData{255, 0, ""}));
    sms->addUserData(0x00, 1, std::string("\x02\x01", 2));
    EXPECT_TRUE(sms->GetFieldsChanged());
    sms->SetUserData(0, VTixSMSRecord_UserData{0x00, 7, std::string("\x02\x01", 2)});
    sms->SetUserData(3, VTixSMSRecord_UserData{0x01, 7, ""});
    EXPECT_EQ(sms->GetUserDataCount(), 1);
    EXPECT_EQ(sms->GetUserData(0).First, 7);
    sms->create1part();
    EXPECT_EQ(sms->getFieldString(VTixSMSRecord::fsUDH), std::string("\x00\x03\x07\x02\x01", 5));
    EXPECT_TRUE(sms->GetTypeBit(VTixSMS_bitUDHI));
}

TEST(PduCodec, EightBitAndCodingTable)
{
    const struct {
        uint8_t dcs;
        VTixSMS_Encoding encoding;
    } table[] = {
        {0x00, VTixSMS_encoding7}, {0xF0, VTixSMS_encoding7}, {0xF3, VTixSMS_encoding7},
        {0xF4, VTixSMS_encoding8}, {0xF7, VTixSMS_encoding8}, {0xF8, VTixSMS_encoding_Unknown},
        {0x04, VTixSMS_encoding8}, {0x08, VTixSMS_encoding16}, {0x0C, VTixSMS_encoding_Unknown},
        {0x11, VTixSMS_encoding7}, {0x19, VTixSMS_encoding16}, {0x20, VTixSMS_encoding_Unknown},
        {0x44, VTixSMS_encoding_Unknown}, {0xC0, VTixSMS_encoding_Unknown},
    };
    auto sms = Submit();
    for (const auto& c : table) {
        sms->SetDCS(c.dcs);
        EXPECT_EQ(sms->GetEncoding(), c.encoding) << int(c.dcs);
    }
    sms->SetEncoding(VTixSMS_encoding8);
    EXPECT_EQ(sms->GetDCS(), 0xF4);
    sms->SetEncoding(VTixSMS_encoding16);
    EXPECT_EQ(sms->GetDCS(), 0xF4);
    sms->SetEncoding(VTixSMS_encoding7);
    EXPECT_EQ(sms->GetDCS(), 0x00);

    // 8-bit: the 7-bit codes as octets; no code goes as "?".
    sms->SetEncoding(VTixSMS_encoding8);
    sms->SetValidityText("");
    sms->SetText("@[a");
    EXPECT_EQ(Built(*sms), "0001000000" "00F4" "03003F61");
    // Unknown coding: no user data, TP-UDL 0.
    sms->SetDCS(0x0C);
    EXPECT_EQ(Built(*sms), "0001000000000C00");
    // Such a message with no user data reads, and builds the same.
    auto back = Read(sms->GetPDUText(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(back->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_EQ(Built(*back), "0001000000000C00");
}

namespace {

// Cell-broadcast pages: no operation of the model makes one, a reader may.
class TPage : public VTixSMSRecord {
public:
    explicit TPage(VTixSMS_smsKind kind)
    {
        AfterCreate(nullptr, VTixSMS_stateSIMRecvUnread);
        setKind(kind);
    }
};

}  // namespace

TEST(PduCodec, CellBroadcastPages)
{
    TFixedNow now(At(2024, 6, 1, 10, 0, 0));
    // Serial 0x1234, message 0x0032, 7-bit, page 1 of 2, "Hi" and CRs.
    std::string content;
    for (int k = 0; k < 93; ++k)
        SmsPdu::PutSeptet(content, k, k == 0 ? 'H' : k == 1 ? 'i' : '\r');
    const std::string page = "1234003200" "12" + Tixutils::BytesToHexaString(content);
    TPage cb(VTixSMS_smsKindCBMnolen);
    cb.SetPDUText(page);
    ASSERT_EQ(cb.GetState(), VTixSMS_stateSIMRecvUnread);
    EXPECT_EQ(cb.GetMessageType(), VTixSMS_smsTypeCellInfo);
    EXPECT_EQ(cb.GetText(), "Hi");
    EXPECT_EQ(cb.GetCBSerial(), 0x1234);
    EXPECT_EQ(cb.GetCBMessageId(), 0x0032);
    EXPECT_EQ(cb.GetCBPage(), 1);
    EXPECT_EQ(cb.GetCBPages(), 2);
    EXPECT_EQ(cb.GetSCTS(), At(2024, 6, 1, 10, 0, 0));
    EXPECT_EQ(cb.GetUserNumber(), "");
    EXPECT_EQ(Built(cb), page);  // kept as read, no centre part
    // 8-bit: the 82 octets a page holds.
    TPage eight(VTixSMS_smsKindCBMnolen);
    eight.SetPDUText("12340032F4" "11" + std::string(164, '4') );
    EXPECT_EQ(eight.GetText(), std::string(82, 'D'));
    // UCS2 and a short page do not read.
    TPage wide(VTixSMS_smsKindCBMnolen);
    wide.SetPDUText("1234003208" "11" + std::string(164, '0'));
    EXPECT_EQ(wide.GetState(), VTixSMS_state_ReadFailed);
    TPage shortPage(VTixSMS_smsKindCBMnolen);
    shortPage.SetPDUText("123400320011" + std::string(160, '0'));
    EXPECT_EQ(shortPage.GetState(), VTixSMS_state_ReadFailed);
    // With a length octet in front; a DELIVER reader resets the identity.
    TPage counted(VTixSMS_smsKindCBMwithlen);
    counted.setFieldBoolean(VTixSMSRecord::fbFirstOctetValid, true);
    counted.SetPDUText("58" + page);
    EXPECT_EQ(counted.GetText(), "Hi");
    auto deliver = Read(kDeliver, VTixSMS_stateSIMSent);
    EXPECT_EQ(deliver->GetMessageType(), VTixSMS_smsTypeDELIVER_REPORT);
    EXPECT_EQ(deliver->GetText(), "hello");
    EXPECT_EQ(deliver->GetCBSerial(), 65535);
    EXPECT_TRUE(deliver->IsReadOnly());
}
