// Whatever PDU reads, built and read again, builds the same octets: every
// character of the three codings, and seeded random PDUs of every layout.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "foundation/tixutils_gsm.h"
#include "foundation/tixutils_quote.h"
#include "tests/sms/sms_rig.h"

using namespace SmsRig;

namespace {

// Reads hex in the state and format; when it reads, builds it, reads that
// and builds again: the two builds must agree. Returns whether it read.
bool FixedPoint(const std::string& hex, VTixSMS_textSMSstates state, VTixSMS_PDUFormat format)
{
    auto first = Read(hex, state, format);
    if (first->GetState() == VTixSMS_state_ReadFailed)
        return false;
    const std::string built = Built(*first);
    auto second = Read(built, state, format);
    EXPECT_NE(second->GetState(), VTixSMS_state_ReadFailed) << hex << " -> " << built;
    EXPECT_EQ(Built(*second), built) << hex;
    // From then on the fields stay too.
    auto third = Read(built, state, format);
    EXPECT_TRUE(third->fieldsEqual(second.get())) << hex;
    return true;
}

std::string HexByte(int v)
{
    return Tixutils::BytesToHexaString(std::string(1, char(v)));
}

const char kDeliverHead[] = "0791246030500200040C91247077214365";
const char kStamp[] = "42305131540340";

}  // namespace

TEST(FixedPoint, EverySeptetOctetAndUcs2Code)
{
    TFixedNow now(At(2024, 6, 1, 10, 0, 0));
    for (int code = 0; code < 128; ++code) {
        // Every character read has a 7-bit code (some fold: Ç reads back C).
        EXPECT_GE(Tixutils::TranslateAscii2GSM(Tixutils::TranslateGSM2Ascii(code)), 0) << code;
        // One septet in 7-bit user data.
        EXPECT_TRUE(FixedPoint(std::string(kDeliverHead) + "0000" + kStamp + "01" + HexByte(code),
                               VTixSMS_stateSIMRecvRead, VTixSMS_pduFmtWithSCA));
    }
    for (int octet = 0; octet < 256; ++octet)
        EXPECT_TRUE(FixedPoint(std::string(kDeliverHead) + "0004" + kStamp + "01" + HexByte(octet),
                               VTixSMS_stateSIMRecvRead, VTixSMS_pduFmtWithSCA));
    // All 65536 UCS2 codes, 70 to a message.
    for (int code = 0; code < 65536; code += 70) {
        std::string ud;
        for (int k = code; k < code + 70 && k < 65536; ++k)
            ud += HexByte(k >> 8) + HexByte(k & 0xFF);
        EXPECT_TRUE(FixedPoint(std::string(kDeliverHead) + "0008" + kStamp + HexByte(int(ud.size() / 2)) + ud,
                               VTixSMS_stateSIMRecvRead, VTixSMS_pduFmtWithSCA));
    }
}

TEST(FixedPoint, SeededRandomPdus)
{
    // PDUs near the valid layouts: random fields in a SUBMIT, DELIVER or
    // status report frame, then random octets changed.
    TZone prague("Europe/Prague");
    TFixedNow now(At(2024, 6, 1, 10, 0, 0));
    std::mt19937 rng(18);
    auto byte = [&] { return int(rng() & 0xFF); };
    int read = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string pdu;
        const int format = int(rng() % 3);
        if (format == 1) {
            const int n = int(rng() % 11);
            pdu += HexByte(n);
            for (int i = 0; i < n; ++i)
                pdu += HexByte(i == 0 ? 0x91 : byte());
        } else if (format == 2)
            pdu += "00";
        const int kind = int(rng() % 3);
        int first = byte() & ~0x03;
        first |= kind == 0 ? 1 : kind == 1 ? 0 : 2;
        pdu += HexByte(first);
        if (kind != 1)
            pdu += HexByte(byte());  // MR
        const int digits = int(rng() % 22);
        pdu += HexByte(digits) + HexByte(rng() % 4 ? 0x91 : 0xD0);
        for (int i = 0; i < (digits + 1) / 2; ++i)
            pdu += HexByte(byte());
        if (kind != 2) {
            pdu += HexByte(rng() % 2 ? 0 : byte() & 0x3F);  // PID
            static const int dcs[] = {0x00, 0x04, 0x08, 0xF4, 0xF1, 0x0C, 0x10};
            pdu += HexByte(dcs[rng() % 7]);
        }
        const int tail = int(rng() % 160);
        for (int i = 0; i < tail; ++i)
            pdu += HexByte(rng() % 3 ? byte() & 0x7F : byte());
        if (pdu.size() > 352)
            pdu.resize(352);
        const VTixSMS_textSMSstates state = kind == 0 ? VTixSMS_stateSIMUnsent : VTixSMS_stateSIMRecvRead;
        if (FixedPoint(pdu, state, VTixSMS_PDUFormat(format)))
            ++read;
        if (HasFailure())
            break;
    }
    // The frames are near enough to be read often.
    EXPECT_GT(read, 1000);
}
