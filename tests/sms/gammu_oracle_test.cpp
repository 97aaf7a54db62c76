// python-gammu as an independent codec: it reads 1,000 seeded random SUBMITs
// the program built, and builds 7-bit and UCS2 DELIVERs the program reads.
// One /usr/bin/python3 run does both; skipped where gammu cannot be loaded.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "foundation/tixutils_gsm.h"
#include "foundation/tixutils_quote.h"
#include "platform/codepage.h"
#include "sms/pdu_octets.h"
#include "tests/sms/sms_rig.h"
#include "tests/support/files.h"

using namespace SmsRig;

namespace {

constexpr int kSubmits = 1000;
constexpr int kDelivers7 = 200;
constexpr int kDelivers16 = 200;

struct TExpected {
    std::string pdu;
    std::string number;  // UTF-8 as gammu gives it
    std::string centre;
    int vp = -1;         // -1: none
    int mr = 0;
    std::string text;
};

std::string Utf8(const std::string& ansi)
{
    return Platform::AnsiToUtf8(ansi, Platform::CP_CZECH);
}

std::string FromHex(const std::string& hex)
{
    return Tixutils::HexaStringToBytes(hex);
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// gammu's validity text ("720M", "2D", "5W", "Max") in seconds; -1 for
// none.
int64_t GammuValiditySeconds(const std::string& text)
{
    if (text == "NA")
        return -1;
    if (text == "Max")
        return SmsPdu::RelativeValiditySeconds(255);
    const int64_t n = std::stoll(text.substr(0, text.size() - 1));
    switch (text.back()) {
    case 'M': return n * 60;
    case 'H': return n * 3600;
    case 'D': return n * 86400;
    case 'W': return n * 604800;
    default: return -2;
    }
}

std::string RandomDigits(std::mt19937& rng, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += char('0' + rng() % 10);
    return s;
}

TExpected RandomSubmit(std::mt19937& rng, const std::string& chars)
{
    TExpected e;
    auto sms = Submit();
    const std::string digits = RandomDigits(rng, int(rng() % 21));
    const bool plus = rng() % 2;
    sms->SetUserNumber((plus ? "+" : "") + digits);
    if (!plus)
        sms->SetUserNumberType(129);
    e.number = digits.empty() ? "" : (plus ? "+" : "") + digits;
    switch (rng() % 3) {
    case 0:
        sms->SetPDUFormat(VTixSMS_pduFmtEmptySCA);
        break;
    case 1:
        break;  // with the centre part, but no number: one 0 octet
    default: {
        const std::string centre = RandomDigits(rng, 1 + int(rng() % 12));
        const bool centrePlus = rng() % 2;
        sms->SetSCA((centrePlus ? "+" : "") + centre);
        if (!centrePlus)
            sms->SetSCAType(129);
        e.centre = (centrePlus ? "+" : "") + centre;
    }
    }
    if (rng() % 3 == 0)
        sms->SetValidityText("");
    else {
        e.vp = int(rng() % 256);
        sms->SetValidityRel(double(SmsPdu::RelativeValiditySeconds(uint8_t(e.vp))) / 86400.0);
    }
    e.mr = int(rng() % 256);
    sms->SetMR(uint8_t(e.mr));
    std::string text;
    const size_t length = rng() % 161;
    for (size_t i = 0; i < length; ++i)
        text += chars[rng() % chars.size()];
    sms->SetText(text);
    e.text = Utf8(text);
    e.pdu = Built(*sms);
    return e;
}

// Runs the script once on the input; false when python or gammu is missing.
bool RunOracle(const std::string& input, std::vector<std::string>& lines, std::string& why)
{
    TestSupport::TempFile file;
    file.Write(input);
    const std::string command = "/usr/bin/python3 " ZELVITOR_SOURCE_DIR "/tests/sms/gammu_oracle.py " +
                                file.Path() + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        why = "cannot start /usr/bin/python3";
        return false;
    }
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = ::pclose(pipe);
    if (output.rfind("NOGAMMU", 0) == 0) {
        why = "import gammu fails in /usr/bin/python3 (python3-gammu not installed)";
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) {
        why = "/usr/bin/python3 is not there";
        return false;
    }
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return true;
}

}  // namespace

TEST(GammuOracle, SubmitsReadByGammuAndDeliversReadByUs)
{
    TZone prague("Europe/Prague");
    const std::string chars = AgreeingCharacters();
    // The program's 7-bit tables and TS 23.038 part only where they must.
    for (int code : {0x01, 0x06, 0x0B, 0x1E, 0x60})
        EXPECT_EQ(chars.find(Tixutils::TranslateGSM2Ascii(code)), std::string::npos) << code;
    for (char c : std::string("@$_ \n\rAZaz09!?%&'()*+,-./:;<=>\xA7\xE9"))
        EXPECT_NE(chars.find(c), std::string::npos) << int(uint8_t(c));

    std::mt19937 rng(1018);
    std::vector<TExpected> submits;
    std::string input = "CHARS " + Tixutils::BytesToHexaString(Utf8(chars)) + "\n";
    input += "SEED 1018 " + std::to_string(kDelivers7) + " " + std::to_string(kDelivers16) + "\n";
    for (int i = 0; i < kSubmits; ++i) {
        submits.push_back(RandomSubmit(rng, chars));
        input += "S " + submits.back().pdu + "\n";
    }

    std::vector<std::string> lines;
    std::string why;
    if (!RunOracle(input, lines, why))
        GTEST_SKIP() << why;
    ASSERT_EQ(lines.size(), size_t(kSubmits + kDelivers7 + kDelivers16))
        << (lines.empty() ? std::string() : lines.front());

    for (int i = 0; i < kSubmits; ++i) {
        const TExpected& e = submits[size_t(i)];
        const auto f = Fields(lines[size_t(i)]);
        ASSERT_EQ(f.size(), 8u) << lines[size_t(i)] << "\n" << e.pdu;
        EXPECT_EQ(f[1], "ok") << e.pdu;
        EXPECT_EQ(FromHex(f[2]), e.number) << e.pdu;
        EXPECT_EQ(FromHex(f[3]), e.centre) << e.pdu;
        EXPECT_EQ(GammuValiditySeconds(f[4]),
                  e.vp < 0 ? -1 : SmsPdu::RelativeValiditySeconds(uint8_t(e.vp)))
            << f[4] << " " << e.pdu;
        EXPECT_EQ(f[5], std::to_string(e.mr)) << e.pdu;
        EXPECT_EQ(FromHex(f[6]), e.text) << e.pdu;
        EXPECT_EQ(f[7], "Default_No_Compression");
        if (HasFailure())
            return;
    }

    int wide = 0;
    for (size_t i = kSubmits; i < lines.size(); ++i) {
        const auto f = Fields(lines[i]);
        ASSERT_EQ(f.size(), 11u) << lines[i];
        auto sms = Read(f[1], VTixSMS_stateSIMRecvUnread);
        ASSERT_EQ(sms->GetState(), VTixSMS_stateSIMRecvUnread) << f[1];
        EXPECT_EQ(sms->GetMessageType(), VTixSMS_smsTypeDELIVER);
        EXPECT_EQ(Utf8(sms->GetUserNumber()), FromHex(f[2])) << f[1];
        EXPECT_EQ(Utf8(sms->GetSCA()), FromHex(f[3])) << f[1];
        EXPECT_EQ(Utf8(sms->GetText()), FromHex(f[4])) << f[1];
        EXPECT_EQ(Text(sms->GetSCTS()), Text(At(std::stoi(f[5]), std::stoi(f[6]), std::stoi(f[7]),
                                                std::stoi(f[8]), std::stoi(f[9]), std::stoi(f[10]))))
            << f[1];
        wide += sms->GetEncoding() == VTixSMS_encoding16;
        // What we read builds to octets that read the same.
        auto again = Read(Built(*sms), VTixSMS_stateSIMRecvUnread);
        EXPECT_EQ(again->GetText(), sms->GetText());
        if (HasFailure())
            return;
    }
    EXPECT_EQ(wide, kDelivers16);
}

// The extension table both ways: SUBMITs with "€[]{}\^~|" among the
// characters, as long as 160 septets allow, read by gammu; and gammu's
// DELIVERs with them read by us.
TEST(GammuOracle, ExtensionCharactersBothWays)
{
    const std::string extension = "\x80[]{}\\^~|";
    const std::string chars = AgreeingCharacters() + extension;
    std::mt19937 rng(2038);
    std::vector<std::string> texts;
    std::string input = "CHARS " + Tixutils::BytesToHexaString(Utf8(chars)) + "\nEXTENSION\n";
    input += "SEED 2038 200 0\n";
    for (int i = 0; i < 300; ++i) {
        auto sms = Submit();
        sms->SetUserNumber("+420777123456");
        // Mostly extension characters, up to the 160 septets they may fill.
        const int septets = int(rng() % 161);
        std::string text;
        for (;;) {
            const char c = rng() % 2 ? extension[rng() % extension.size()] : chars[rng() % chars.size()];
            if (Tixutils::GsmSeptetLength(text + c) > septets)
                break;
            text += c;
        }
        sms->SetText(text);
        texts.push_back(Utf8(text));
        input += "S " + Built(*sms) + "\n";
    }
    std::vector<std::string> lines;
    std::string why;
    if (!RunOracle(input, lines, why))
        GTEST_SKIP() << why;
    ASSERT_EQ(lines.size(), texts.size() + 200) << (lines.empty() ? std::string() : lines.front());
    int escapes = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        const auto f = Fields(lines[i]);
        ASSERT_EQ(f.size(), 8u) << lines[i];
        EXPECT_EQ(FromHex(f[6]), texts[i]) << lines[i];
        escapes += texts[i].find_first_of("[]{}\\^~|") != std::string::npos;
    }
    EXPECT_GT(escapes, 250);
    escapes = 0;
    for (size_t i = texts.size(); i < lines.size(); ++i) {
        const auto f = Fields(lines[i]);
        ASSERT_EQ(f.size(), 11u) << lines[i];
        auto sms = Read(f[1], VTixSMS_stateSIMRecvUnread);
        ASSERT_EQ(sms->GetState(), VTixSMS_stateSIMRecvUnread) << f[1];
        EXPECT_EQ(Utf8(sms->GetText()), FromHex(f[4])) << f[1];
        escapes += sms->GetText().find_first_of(extension) != std::string::npos;
        // And our own octets of it read the same again.
        EXPECT_EQ(Read(Built(*sms), VTixSMS_stateSIMRecvUnread)->GetText(), sms->GetText()) << f[1];
        if (HasFailure())
            return;
    }
    EXPECT_GT(escapes, 100);
}
