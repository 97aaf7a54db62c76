// The phonebook handler's writes on a simulated device that keeps other
// than it was sent or refuses a write, on device time:
// every edit goes out once, a refused one at most three times before it
// is given up and marked, the rest of the memory is written all the same,
// and in a minute no command but the status polls repeats.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/perif_phonebook.h"
#include "phonebook/phonebook.h"
#include "platform/tick.h"
#include "tests/engine/engine_on_sim.h"

using EngineTest::TEngineOnSim;
using ModemSim::TTranscript;

namespace {

struct PhonebookFaults : ::testing::Test {
    std::unique_ptr<TEngineOnSim> rig;

    void TearDown() override
    {
        rig.reset();
        Platform::SetTickOffset(0);
    }
    // The device with the given fault switches, every memory read.
    void boot(const std::vector<std::string>& faults = {})
    {
        Platform::SetTickOffset(0);
        ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35");
        profile.faults = faults;
        rig = std::make_unique<TEngineOnSim>(TEngineOnSim::OnDeviceTime(profile));
        rig->skipIdleTime = true;
        std::string error;
        ASSERT_TRUE(rig->Boot(&error)) << error;
        ASSERT_TRUE(rig->RunUntil([&] { return idle(); }, 60000)) << rig->Sim().Transcript().ToText();
    }
    VPerifPhonebook& handler() { return rig->Engine().getHandlers().phonebook(); }
    VTixPhoneBookStorage& sm() { return *handler().getPhonebook().storageByName("SM"); }
    bool idle() { return rig->Engine().getState() == 0 && handler().isReady() && !handler().isBusy(); }
    // An entry of SM edited and committed, as leaving its row does.
    VTixPhoneBookRecord& edit(int index, const std::string& number, const std::string& text)
    {
        VTixPhoneBookRecord& entry = *sm().getRecord(index);
        EXPECT_TRUE(entry.setEditedNumber(number)) << number;
        entry.setEditedText(text);
        entry.markPending(false);
        return entry;
    }
    // The writes and deletes of one position the device has seen.
    std::vector<std::string> writesOf(int index)
    {
        std::vector<std::string> out;
        const std::string prefix = "AT+CPBW=" + std::to_string(index);
        for (const std::string& c : rig->Sim().Transcript().Commands())
            if (c.rfind(prefix, 0) == 0 && (c.size() == prefix.size() || c[prefix.size()] == ','))
                out.push_back(c);
        return out;
    }
    // A minute on: nothing but the polls came more than six times in any
    // 30 s.
    void quietMinute()
    {
        ASSERT_TRUE(rig->RunForDeviceTime(60000));
        const TTranscript& t = rig->Sim().Transcript();
        const TTranscript::TBurst burst = t.MostRepeated(30000, TTranscript::NotStatusPoll);
        EXPECT_LE(burst.count, 6) << burst.command << " at " << burst.atMs << "\n" << t.ToText();
    }
    std::u16string deviceText(int index)
    {
        std::u16string text;
        rig->Sim().WithDevice([&](ModemSim::TDevice& d) { text = d.phonebook.Find("SM")->entries.at(index).text; });
        return text;
    }
};

}  // namespace

TEST_F(PhonebookFaults, ANameTheDeviceKeepsOtherwiseIsWrittenOnce)
{
    ASSERT_NO_FATAL_FAILURE(boot());
    // The device takes 7-bit text only: it drops the cp1250 letters from
    // the line and from its echo.
    VTixPhoneBookRecord& petr = edit(2, "603555111", "Petr Nov\xFD");
    ASSERT_TRUE(rig->RunUntil([&] { return idle() && !petr.isPending(); }, 30000)) << rig->Sim().Transcript().ToText();
    ASSERT_NO_FATAL_FAILURE(quietMinute());
    EXPECT_EQ(writesOf(2), std::vector<std::string>{"AT+CPBW=2,\"603555111\",129,\"Petr Nov\""});
    EXPECT_EQ(deviceText(2), u"Petr Nov");
    // Written: the entry holds what was typed until the device is read.
    EXPECT_EQ(petr.getEditedText(), "Petr Nov\xFD");
    EXPECT_FALSE(petr.isTextModified());

    // A later entry is written too, once, its grouping blanks left out of
    // the line and kept in the entry.
    VTixPhoneBookRecord& zofie = edit(4, "+420 603 555-444", "\x8E" "ofie \x8A\x9D" "astn\xE1");
    ASSERT_TRUE(rig->RunUntil([&] { return idle() && !zofie.isPending(); }, 30000))
        << rig->Sim().Transcript().ToText();
    ASSERT_NO_FATAL_FAILURE(quietMinute());
    EXPECT_EQ(writesOf(4), std::vector<std::string>{"AT+CPBW=4,\"420603555444\",145,\"ofie astn\""});
    EXPECT_EQ(zofie.getEditedNumber(), "+420 603 555-444");
    EXPECT_EQ(writesOf(2).size(), 1u);
    rig->Sim().WithDevice([](ModemSim::TDevice& d) {
        const ModemSim::TPhonebookEntry& e = d.phonebook.Find("SM")->entries.at(4);
        EXPECT_EQ(e.digits, "420603555444");
        EXPECT_EQ(e.type, 145);
    });
}

TEST_F(PhonebookFaults, AWriteRefusedThreeTimesIsGivenUpAndTheNextIsWritten)
{
    ASSERT_NO_FATAL_FAILURE(boot({"+CPBW=2,* answer +CME ERROR: 100"}));
    VTixPhoneBookRecord& refused = edit(2, "603555112", "Petr");
    VTixPhoneBookRecord& next = edit(5, "605", "Pata");
    ASSERT_TRUE(rig->RunUntil([&] { return idle() && !next.isPending(); }, 60000)) << rig->Sim().Transcript().ToText();
    ASSERT_NO_FATAL_FAILURE(quietMinute());
    EXPECT_EQ(writesOf(2), std::vector<std::string>(3, "AT+CPBW=2,\"603555112\",129,\"Petr\""));
    EXPECT_EQ(writesOf(5), std::vector<std::string>{"AT+CPBW=5,\"605\",129,\"Pata\""});
    EXPECT_TRUE(refused.isGivenUp());
    EXPECT_FALSE(refused.needsWrite());
    EXPECT_TRUE(refused.isNumberModified()) << "the edit is kept";
    EXPECT_EQ(refused.getRefusalText(), "+CME ERROR: unknown") << "the device's own word";
    EXPECT_TRUE(handler().isReady()) << "nothing left that would be written";

    // The row says so: the refused picture, red text, the device's word.
    VTixPhoneBook& model = handler().getPhonebook();
    model.setDisplayedStorage("SM");
    const int row = model.nodeOfRecord(&refused);
    EXPECT_EQ(model.treeGetImageIndex(row, VTixPhoneBook::tcIndex), VTixPhoneBook::imageRefused);
    EXPECT_EQ(model.treePaintText(row, false, false), clRed);
    EXPECT_EQ(model.treeBeforeItemErase(row, false), clNone) << "not waiting to be written";
    EXPECT_NE(model.treeGetHint(row).find("+CME ERROR: unknown"), std::string::npos) << model.treeGetHint(row);

    // A new edit tries again; the device takes it now.
    rig->Sim().ClearFaults();
    model.treeNewText(row, VTixPhoneBook::tcText, "Petr");
    refused.markPending(false);
    EXPECT_TRUE(refused.needsWrite());
    ASSERT_TRUE(rig->RunUntil([&] { return idle() && !refused.isPending(); }, 30000))
        << rig->Sim().Transcript().ToText();
    EXPECT_EQ(writesOf(2).size(), 4u);
    EXPECT_EQ(refused.getRefusals(), 0);
    EXPECT_EQ(model.treeGetImageIndex(row, VTixPhoneBook::tcIndex), -1);
}

// The write limits refused once (a busy card): asked again after the
// pause, and the edits of the memory are written; refused for good, the
// memory counts as read-only and is not asked again and again.
TEST_F(PhonebookFaults, RefusedWriteLimitsAreAskedAgainAndThenTheMemoryIsWritten)
{
    struct TCase {
        const char* fault;
        bool written;
    };
    for (const TCase c : {TCase{"+CPBW=? answer +CME ERROR: 100 x1", true},
                          TCase{"+CPBW=? answer +CME ERROR: 100", false}}) {
        SCOPED_TRACE(c.fault);
        Platform::SetTickOffset(0);
        ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35");
        profile.faults = {c.fault};
        rig = std::make_unique<TEngineOnSim>(TEngineOnSim::OnDeviceTime(profile));
        rig->skipIdleTime = true;
        std::string error;
        ASSERT_TRUE(rig->Boot(&error)) << error;
        // The whole start-up, every memory read, on a minute and a half.
        ASSERT_TRUE(rig->RunForDeviceTime(90000));
        VTixPhoneBookRecord& entry = edit(2, "603555113", "Petr");
        ASSERT_NO_FATAL_FAILURE(quietMinute());
        ASSERT_NO_FATAL_FAILURE(quietMinute());
        const std::vector<std::string> commands = rig->Sim().Transcript().Commands();
        const int tests = int(std::count(commands.begin(), commands.end(), std::string("AT+CPBW=?")));
        if (c.written) {
            EXPECT_EQ(writesOf(2), std::vector<std::string>{"AT+CPBW=2,\"603555113\",129,\"Petr\""})
                << rig->Sim().Transcript().ToText();
            EXPECT_FALSE(entry.needsWrite());
        } else {
            EXPECT_TRUE(writesOf(2).empty());
            EXPECT_TRUE(sm().isReadOnly());
            // Each memory's limits: SM three times, the others once each at most thrice.
            EXPECT_LE(tests, 4 * VPerifPhonebook::LimitsTries) << rig->Sim().Transcript().ToText();
        }
        rig.reset();
    }
}

// A read whose result never comes (the link watcher gives up on it after
// its silence): tried a bounded number of times, then that memory is given
// up and the rest are read, the messages listed; over five minutes nothing
// repeats.
TEST_F(PhonebookFaults, AReadThatNeverGetsItsResultIsGivenUpAndTheOtherMemoriesAreRead)
{
    Platform::SetTickOffset(0);
    ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35");
    profile.faults = {"+CPBR=1,25* nofinal"};
    rig = std::make_unique<TEngineOnSim>(TEngineOnSim::OnDeviceTime(profile));
    rig->skipIdleTime = true;
    std::string error;
    ASSERT_TRUE(rig->Boot(&error)) << error;
    ASSERT_TRUE(rig->RunForDeviceTime(300000));
    const TTranscript& t = rig->Sim().Transcript();
    const std::vector<std::string> commands = t.Commands();
    auto count = [&](const char* command) { return int(std::count(commands.begin(), commands.end(), command)); };
    // Given up in its turn, and once more when it is selected again as the
    // memory shown: a select starts its count afresh.
    EXPECT_EQ(count("AT+CPBR=1,250"), 2 * VPerifPhonebook::MaxUnanswered) << t.ToText();
    EXPECT_EQ(count("AT+CPBR=1,100"), 1) << t.ToText();  // ME
    EXPECT_EQ(count("AT+CPBR=1,10"), 1) << t.ToText();   // LD
    EXPECT_EQ(count("AT+CMGL=4"), 1) << t.ToText();
    const TTranscript::TBurst burst = t.MostRepeated(30000, TTranscript::NotStatusPoll);
    EXPECT_LE(burst.count, 6) << burst.command << " at " << burst.atMs << "\n" << t.ToText();
    EXPECT_TRUE(handler().isReady());
    EXPECT_FALSE(handler().isBusy());
}
