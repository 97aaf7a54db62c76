// Long texts: the split into concatenated parts (per coding, with the
// parent's own header, references in use) and the part markers.
#include <gtest/gtest.h>

#include <string>

#include "sms/sms_list.h"
#include "tests/sms/sms_rig.h"

using namespace SmsRig;

namespace {

class Split : public ::testing::Test {
protected:
    VTixSMSRecord* Parent(const std::string& text, uint8_t dcs = 0)
    {
        VTixSMSRecord* sms = list.smsDoesExist("PC", 0);
        sms->SetState(VTixSMS_stateSIMUnsent);
        sms->SetMessageType(VTixSMS_smsTypeSUBMIT);
        sms->SetSCA("+420603052000");
        sms->SetUserNumber("+420777123456");
        sms->SetDCS(dcs);
        sms->SetText(text);
        return sms;
    }

    // Letters a..z over and over: every part's text is told apart.
    static std::string Letters(size_t n)
    {
        std::string s;
        for (size_t i = 0; i < n; ++i)
            s += char('a' + i % 26);
        return s;
    }

    // The parts' texts joined, and each part's octets read back whole.
    static std::string Joined(VTixSMSRecord* parent)
    {
        std::string text;
        for (int i = 0; i < parent->GetPartCount(); ++i) {
            VTixSMSRecord* part = parent->GetPart(i);
            auto back = Read(Built(*part), VTixSMS_stateSIMUnsent);
            EXPECT_EQ(back->GetState(), VTixSMS_stateSIMUnsent) << "part " << i;
            EXPECT_EQ(back->GetText(), part->GetText()) << "part " << i;
            text += part->GetText();
        }
        return text;
    }

    VTixSMSList list;
};

}  // namespace

TEST_F(Split, OneMessageStaysWhole)
{
    EXPECT_FALSE(Parent(Letters(160))->splitIfNeeded());
    EXPECT_FALSE(Parent(Letters(140), 0xF4)->splitIfNeeded());
    EXPECT_FALSE(Parent(Letters(70), 0x08)->splitIfNeeded());
    EXPECT_EQ(list.getSMSCount(), 3);
    // A read-only message and one without a list are left alone.
    auto deliver = Read("0791246030500200040C9124707721436500004230513154034005E8329BFD06");
    deliver->setFieldString(VTixSMSRecord::fsText, Letters(200));
    EXPECT_FALSE(deliver->splitIfNeeded());
    auto alone = Submit();
    alone->SetText(Letters(200));
    EXPECT_FALSE(alone->splitIfNeeded());
    EXPECT_EQ(alone->GetPartCount(), 0);
}

TEST_F(Split, SevenBit161CharactersAsGammuConcatenates)
{
    VTixSMSRecord* parent = Parent(Letters(161));
    parent->SetTypeBit(VTixSMS_bitSRR | VTixSMS_bitRP, true);
    parent->SetMR(9);
    parent->SetValidityText("1d");
    parent->SetPID(0x20);
    ASSERT_TRUE(parent->splitIfNeeded());
    ASSERT_EQ(parent->GetPartCount(), 2);
    VTixSMSRecord* p1 = parent->GetPart(0);
    VTixSMSRecord* p2 = parent->GetPart(1);
    EXPECT_EQ(p1->GetText(), Letters(153));
    EXPECT_EQ(p2->GetText(), Letters(161).substr(153));
    EXPECT_EQ(Joined(parent), Letters(161));
    for (VTixSMSRecord* part : {p1, p2}) {
        EXPECT_EQ(part->GetParent(), parent);
        EXPECT_EQ(part->GetStorage(), "PC");
        EXPECT_GT(part->GetIndex(), parent->GetIndex());
        EXPECT_EQ(part->GetState(), VTixSMS_stateSIMUnsent);
        EXPECT_EQ(part->GetMessageType(), VTixSMS_smsTypeSUBMIT);
        EXPECT_EQ(part->GetFullSCA(), "+420603052000");
        EXPECT_EQ(part->GetUserNumber(), "+420777123456");
        EXPECT_EQ(part->GetPID(), 0x20);
        EXPECT_EQ(part->GetValidityText(), "1d");
        EXPECT_EQ(part->GetMR(), 0);
        EXPECT_TRUE(part->GetTypeBit(VTixSMS_bitSRR | VTixSMS_bitRP));
    }
    // 00 03 rr 02 01 after the length octet, TP-UDL 0xA0; part 2 0x0F.
    const std::string hex1 = Built(*p1);
    const std::string hex2 = Built(*p2);
    const size_t ud1 = hex1.find("A0050003");
    ASSERT_NE(ud1, std::string::npos) << hex1;
    EXPECT_EQ(hex1.substr(ud1 + 10, 4), "0201");
    EXPECT_EQ(hex1.size() / 2 - (ud1 + 2) / 2, 140u);
    EXPECT_NE(hex2.find("0F050003" + hex1.substr(ud1 + 8, 2) + "0202"), std::string::npos) << hex2;
}

TEST_F(Split, EightBitAndUcs2FillTheirParts)
{
    VTixSMSRecord* eight = Parent(Letters(141), 0xF4);
    ASSERT_TRUE(eight->splitIfNeeded());
    EXPECT_EQ(eight->GetPart(0)->GetText().size(), 134u);
    EXPECT_EQ(eight->GetPart(1)->GetText().size(), 7u);
    EXPECT_EQ(Joined(eight), Letters(141));

    VTixSMSRecord* wide = Parent(Letters(135), 0x08);
    ASSERT_TRUE(wide->splitIfNeeded());
    ASSERT_EQ(wide->GetPartCount(), 3);
    EXPECT_EQ(wide->GetPart(0)->GetText().size(), 67u);
    EXPECT_EQ(wide->GetPart(2)->GetText().size(), 1u);
    EXPECT_EQ(Joined(wide), Letters(135));
    // TP-UDL 140: six header octets and 67 characters of two octets.
    EXPECT_NE(Built(*wide->GetPart(0)).find("8C050003"), std::string::npos);
}

TEST_F(Split, ThePartsOwnHeaderGoesToPartOneBehindTheConcatenation)
{
    VTixSMSRecord* parent = Parent(Letters(400));
    parent->addUserData(0x24, 0x01, "");  // a national language shift, 3 octets
    ASSERT_TRUE(parent->splitIfNeeded());
    VTixSMSRecord* p1 = parent->GetPart(0);
    ASSERT_EQ(p1->GetUserDataCount(), 2);
    EXPECT_EQ(p1->GetUserData(0).IEI, 0x00);
    EXPECT_EQ(p1->GetUserData(1), (VTixSMSRecord_UserData{0x24, 0x01, ""}));
    // 8 header octets: 11 septets, 149 characters.
    EXPECT_EQ(p1->GetText().size(), 149u);
    EXPECT_EQ(parent->GetPart(1)->GetUserDataCount(), 1);
    EXPECT_EQ(parent->GetPart(1)->GetText().size(), 153u);
    EXPECT_EQ(parent->GetPart(2)->GetUserData(0).Rest, std::string("\x03\x03", 2));
    EXPECT_EQ(Joined(parent), Letters(400));
    // With its own header one message holds less than 160 characters.
    VTixSMSRecord* full = Parent(Letters(157));
    full->addUserData(0x24, 0x01, "");
    EXPECT_TRUE(full->splitIfNeeded());
}

TEST_F(Split, SmallestFreeReference)
{
    for (uint8_t ref : {0, 1, 3}) {
        VTixSMSRecord* used = list.smsDoesExist("SM", ref + 1);
        used->SetState(VTixSMS_stateSIMUnsent);
        used->SetMessageType(VTixSMS_smsTypeSUBMIT);
        used->addUserData(0x00, ref, std::string("\x02\x01", 2));
    }
    VTixSMSRecord* a = Parent(Letters(161));
    ASSERT_TRUE(a->splitIfNeeded());
    EXPECT_EQ(a->GetPart(0)->GetUserData(0).First, 2);
    VTixSMSRecord* b = Parent(Letters(161));
    ASSERT_TRUE(b->splitIfNeeded());
    EXPECT_EQ(b->GetPart(1)->GetUserData(0).First, 4);
    // Splitting again takes a free reference anew; the old parts go.
    TDebugNotes debug;
    const int count = list.getSMSCount();
    a->SetText(Letters(320));
    ASSERT_TRUE(a->splitIfNeeded());
    EXPECT_EQ(debug.texts, (std::vector<std::string>{"Asi nechces volat splitIfNeeded 2x na stejnou SMS"}));
    EXPECT_EQ(a->GetPartCount(), 3);
    EXPECT_EQ(list.getSMSCount(), count + 1);
    EXPECT_EQ(a->GetPart(0)->GetUserData(0).First, 2);
    // Back to one message: the parts go, the parent stays.
    a->SetText("short");
    EXPECT_FALSE(a->splitIfNeeded());
    EXPECT_EQ(a->GetPartCount(), 0);
    EXPECT_EQ(list.getSMSCount(), count - 2);
    EXPECT_EQ(debug.texts.size(), 2u);
    EXPECT_NE(list.getSMSByIndex("PC", a->GetIndex()), nullptr);
}

TEST_F(Split, NoReferenceLeft)
{
    VTixSMSRecord* holder = Parent("x");
    for (int ref = 0; ref < 256; ++ref)
        holder->addUserData(0x00, uint8_t(ref), std::string("\x02\x01", 2));
    VTixSMSRecord* parent = Parent(Letters(200));
    EXPECT_FALSE(parent->splitIfNeeded());
    EXPECT_EQ(parent->GetPartCount(), 0);
    EXPECT_EQ(list.getSMSCount(), 2);
}

TEST(PartMarkers, Templates)
{
    VTixSMS_BreakerDispatcher breakers;
    const char* defaults[] = {"", "", "%N/%T:", " >%M", "%N/%T:", ""};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(breakers.GetBreaker(i), defaults[i]);
        EXPECT_EQ(VTixSMS_BreakerDispatcher::GetDefaultBreaker(i), defaults[i]);
        EXPECT_FALSE(breakers.NIsBreakerDefault(i));
    }
    breakers.SetBreaker(6, "x");
    breakers.SetBreaker(-1, "x");
    EXPECT_EQ(breakers.GetBreaker(6), "");
    EXPECT_EQ(VTixSMS_BreakerDispatcher::GetDefaultBreaker(6), "");
    EXPECT_FALSE(breakers.NIsBreakerDefault(6));
    breakers.SetBreaker(VTixSMS_BreakerDispatcher::FmtEndLast, "%%%T");
    EXPECT_TRUE(breakers.NIsBreakerDefault(5));

    VTixSMSList list;
    VTixSMSRecord* sms = list.smsDoesExist("PC", 0);
    EXPECT_EQ(sms->createBreaker(2, 0, 3), "1/3:");
    EXPECT_EQ(sms->createBreaker(3, 0, 3), " >2");
    EXPECT_EQ(sms->createBreaker(0, 0, 1), "");
    list.SetBreakers(breakers);
    EXPECT_EQ(list.GetBreakers().GetBreaker(5), "%%%T");
    EXPECT_EQ(sms->createBreaker(5, 2, 3), "%3");
    EXPECT_EQ(sms->findBreakerLength(5, 2, 3), 2);

    list.GetBreakers().SetBreaker(0, "%x%n %N%");  // unknown letter, lone "%" at the end
    EXPECT_EQ(sms->createBreaker(0, 9, 12), "xn 10");
    int length = 3;
    EXPECT_EQ(sms->createBreaker(0, 9, 12, &length), "xn ");
    EXPECT_EQ(length, 5);
    length = 7;
    EXPECT_EQ(sms->createBreaker(0, 9, 12, &length), "xn 10  ");
    EXPECT_EQ(length, 5);
    length = -4;
    EXPECT_EQ(sms->createBreaker(0, 9, 12, &length), "");
    EXPECT_EQ(length, 5);
    EXPECT_EQ(sms->createBreaker(9, 0, 1), "");

    // A record without a list uses the defaults.
    VTixSMSRecord alone;
    EXPECT_EQ(alone.createBreaker(4, 1, 2), "2/2:");
}
