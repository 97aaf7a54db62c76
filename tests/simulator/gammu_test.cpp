// Gammu, an independent AT client, talks to the simulated device over its
// pty and must report the profile's identity, SIM state, signal, network
// and clock. Skipped only where the gammu program is not installed.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "tests/modemsim/modem_sim.h"
#include "tests/support/gammu.h"

using ModemSim::TProfile;

namespace {

using TestSupport::CommandOutput;
using TestSupport::Flat;
using TestSupport::HaveGammu;

class Gammu : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveGammu())
            GTEST_SKIP() << "gammu is not installed";
        char tmpl[] = "/tmp/zelvitor-gammu-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override
    {
        if (sim_)
            sim_->Stop();
        if (!dir_.empty()) {
            ::unlink((dir_ + "/gammurc").c_str());
            ::rmdir(dir_.c_str());
        }
        if (HasFailure() && sim_)
            std::cerr << "transcript:\n" << sim_->Transcript().ToText();
    }

    void Start(const TProfile& profile)
    {
        ModemSim::TSimOptions options;
        options.profile = profile;
        // A fixed device time, so the clock gammu reports can be checked.
        options.time = std::make_shared<ModemSim::TManualTime>(
            ModemSim::DateTimeToMs(ModemSim::TDateTime{2002, 12, 8, 10, 37, 20}));
        sim_ = std::make_unique<ModemSim::TModemSim>(options);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        std::ofstream rc(dir_ + "/gammurc");
        rc << "[gammu]\ndevice = " << sim_->PtyPath() << "\nconnection = at19200\n";
    }

    // Runs gammu with the simulator's gammurc; returns its output, flattened.
    std::string Run(const std::string& args)
    {
        return Flat(CommandOutput("timeout 120 gammu -c '" + dir_ + "/gammurc' " + args + " 2>&1"));
    }

    static bool Has(const std::string& flat, const std::string& text) { return flat.find(Flat(text)) != std::string::npos; }

    std::string dir_;
    std::unique_ptr<ModemSim::TModemSim> sim_;
};

}  // namespace

TEST_F(Gammu, IdentifiesSecurityMonitorAndClock)
{
    TProfile p = TProfile::Builtin("mc35i");
    p.rssi = 17;
    Start(p);

    const std::string id = Run("identify");
    EXPECT_TRUE(Has(id, "Manufacturer : " + p.manufacturer)) << id;
    EXPECT_TRUE(Has(id, "Model : " + p.model)) << id;
    EXPECT_TRUE(Has(id, "Firmware : " + p.revision)) << id;
    EXPECT_TRUE(Has(id, "IMEI : " + p.imei)) << id;
    EXPECT_TRUE(Has(id, "IMSI : " + p.imsi)) << id;

    const std::string security = Run("getsecuritystatus");
    EXPECT_TRUE(Has(security, "Nothing to enter")) << security;

    const std::string monitor = Run("monitor 1");
    EXPECT_TRUE(Has(monitor, "Signal strength : " + std::to_string(2 * p.rssi - 113) + " dBm")) << monitor;
    EXPECT_TRUE(Has(monitor, "Network state : home network")) << monitor;
    EXPECT_TRUE(Has(monitor, "Network : 230 01")) << monitor;
    EXPECT_TRUE(Has(monitor, "LAC 1A2B, CID 3C4D")) << monitor;
    EXPECT_TRUE(Has(monitor, "\"T-Mobile CZ\"")) << monitor;

    const std::string clock = Run("getdatetime");
    EXPECT_TRUE(Has(clock, "Dec")) << clock;
    EXPECT_TRUE(Has(clock, "10:37:20")) << clock;
    EXPECT_TRUE(Has(clock, "2002")) << clock;
}

TEST_F(Gammu, LockedCardAndAnotherMaker)
{
    TProfile p = TProfile::Builtin("gm22");
    p.sim = ModemSim::TSimCard::Pin;
    Start(p);
    const std::string security = Run("getsecuritystatus");
    EXPECT_TRUE(Has(security, "Waiting for PIN")) << security;
    const std::string id = Run("identify");
    EXPECT_TRUE(Has(id, "Manufacturer : Ericsson")) << id;
    EXPECT_TRUE(Has(id, "GM22")) << id;
    EXPECT_TRUE(Has(id, "IMEI : " + p.imei)) << id;
}

// ---- SMS: gammu lists the card's messages and sends one in PDU mode.

namespace {

bool HavePythonGammu()
{
    // Debian's python3-gammu is built for the system interpreter.
    return ::access("/usr/bin/python3", X_OK) == 0 &&
           std::system("/usr/bin/python3 -c 'import gammu' >/dev/null 2>&1") == 0;
}

// "number|text|type" of a PDU in hex (SMS-centre part included), as python3-gammu decodes it.
std::string DecodePdu(const std::string& hex)
{
    for (char c : hex)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return "not hex: " + hex;
    const std::string cmd =
        "/usr/bin/python3 -c 'import binascii, gammu, sys; d = gammu.DecodePDU(binascii.unhexlify(sys.argv[1])); "
        "print(d[\"Number\"] + \"|\" + d[\"Text\"] + \"|\" + d[\"Type\"], end=\"\")' " + hex + " 2>&1";
    return CommandOutput(cmd);
}

// The part of a flattened "getallsms" listing about one location.
std::string Location(const std::string& flat, int location)
{
    const size_t at = flat.find("location " + std::to_string(location) + ",");
    if (at == std::string::npos)
        return {};
    const size_t next = flat.find("location ", at + 1);
    return flat.substr(at, next == std::string::npos ? std::string::npos : next - at);
}

}  // namespace

TEST_F(Gammu, ListsTheMessagesOnTheCard)
{
    Start(TProfile::Builtin("tc35"));
    const std::string all = Run("getallsms");
    struct TExpected {
        int location;
        std::string number, status, text;
    };
    for (const TExpected& e : std::vector<TExpected>{{1, "+420777123456", "Read", "hello"},
                                                     {2, "Banka", "UnRead", "hello"},
                                                     {3, "+420777123456", "UnSent", "Ahoj"}}) {
        const std::string part = Location(all, e.location);
        EXPECT_TRUE(Has(part, "Remote number : \"" + e.number + "\"")) << e.location << ": " << all;
        EXPECT_TRUE(Has(part, "Status : " + e.status)) << e.location << ": " << all;
        EXPECT_TRUE(Has(part, e.text)) << e.location << ": " << all;
    }
    EXPECT_TRUE(Has(Location(all, 3), "folder \"Outbox\"")) << all;
    EXPECT_TRUE(Has(all, "3 SMS parts in 3 SMS sequences")) << all;
    // The listing read the unread one.
    int stat = -1;
    sim_->WithDevice([&](ModemSim::TDevice& d) { stat = d.sms.Find("SM", 2)->stat; });
    EXPECT_EQ(stat, 1);
}

TEST_F(Gammu, SentPduDecodesToTheNumberAndText)
{
    if (!HavePythonGammu())
        GTEST_SKIP() << "python3-gammu is not installed for /usr/bin/python3";
    Start(TProfile::Builtin("tc35"));
    const std::string out = Run("sendsms TEXT +420777123456 -text \"Ahoj\"");
    EXPECT_TRUE(Has(out, "message reference=1")) << out;
    std::vector<std::string> sent;
    sim_->WithDevice([&](ModemSim::TDevice& d) { sent = d.sms.sent; });
    ASSERT_EQ(sent.size(), 1u) << out;
    EXPECT_EQ(DecodePdu(sent[0]), "+420777123456|Ahoj|Submit") << sent[0];
    // The same decoder reads the built-in unsent message alike.
    EXPECT_EQ(DecodePdu("0011000C912470772143650000A90441F45B0D"), "+420777123456|Ahoj|Submit");
}

// Phonebook: gammu reads the SIM memory in UCS2 singly and in growing
// blocks, and one past the last occupied position; every entry of the
// profile must come out, the last position included, "+" for type 145.
TEST_F(Gammu, ListsEveryEntryOfTheSimPhonebook)
{
    TProfile p = TProfile::Builtin("tc35");
    ModemSim::TPhonebookMemory* sm = p.phonebooks.Find("SM");
    ASSERT_NE(sm, nullptr);
    sm->entries[100] = {"604111222", 129, ModemSim::Utf8ToUtf16("\xC4\x8C" "en\xC4\x9Bk \xC5\xA0\xC5\xA5" "astn\xC3\xBD")};
    Start(p);
    const std::string all = Run("getallmemory SM");
    size_t listed = 0;
    for (size_t at = 0; (at = all.find("memory sm, location ", at)) != std::string::npos; ++at)
        ++listed;
    EXPECT_EQ(listed, sm->entries.size()) << all;
    for (const auto& [index, entry] : sm->entries) {
        const std::string number = (entry.type == 145 ? "+" : "") + entry.digits;
        EXPECT_TRUE(Has(all, "Memory SM, Location " + std::to_string(index))) << index << "\n" << all;
        EXPECT_TRUE(Has(all, "\"" + number + "\"")) << number << "\n" << all;
        EXPECT_TRUE(Has(all, "\"" + ModemSim::Utf16ToUtf8(entry.text) + "\"")) << index << "\n" << all;
    }
    const auto commands = sim_->Transcript().Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), "AT+CPBR=251") << "ended by the invalid index";
}
