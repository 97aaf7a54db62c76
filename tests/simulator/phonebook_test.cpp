// The simulated device's phonebook memories: the memory list and the
// selection (a PIN2 memory refused), the index range and the entries in
// the chosen character set, write limits, writes and deletes with their
// refusals, a read-only memory, and the memories of a profile text.
#include <stdexcept>

#include "tests/simulator/sim_fixture.h"

using ModemSim::TPhonebookAccess;
using ModemSim::TProfile;

namespace {

class Phonebook : public SimFixture {
protected:
    void Start(const TProfile& p = TProfile::Builtin("tc35"))
    {
        Boot(p);
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
        ASSERT_EQ(Ask("AT+CMEE=2"), "\r\nOK\r\n");
    }
    static std::string Info(const std::string& lines) { return "\r\n" + lines + "\r\n\r\nOK\r\n"; }
    static std::string Cme(const std::string& text) { return "\r\n+CME ERROR: " + text + "\r\n"; }
};

const std::string Ok = "\r\nOK\r\n";

}  // namespace

TEST_F(Phonebook, MemoriesRangesAndEntriesOfTheDefaultDevice)
{
    Start();
    EXPECT_EQ(Ask("AT+CPBS=?"), Info("+CPBS: (\"SM\",\"ME\",\"FD\",\"LD\")"));
    EXPECT_EQ(Ask("AT+CPBS?"), Info("+CPBS: \"SM\",3,250"));
    EXPECT_EQ(Ask("AT+CPBR=?"), Info("+CPBR: (1-250),20,18"));
    EXPECT_EQ(Ask("AT+CPBR=1,250"), Info("+CPBR: 1,\"420602123456\",145,\"Jan Nov?k\"\r\n"
                                         "+CPBR: 2,\"603555111\",129,\"Petr\"\r\n"
                                         "+CPBR: 250,\"420777000250\",145,\"Posledni\""));
    EXPECT_EQ(Ask("AT+CPBR=3,249"), Ok) << "nothing there";
    EXPECT_EQ(Ask("AT+CPBR=251"), Cme("invalid index"));
    EXPECT_EQ(Ask("AT+CPBR=0,5"), Cme("invalid index"));
    EXPECT_EQ(Ask("AT+CPBR=5,1"), Cme("invalid index"));
    EXPECT_EQ(Ask("AT+CPBR=x"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CPBW=?"), Info("+CPBW: (1-250),20,(129,145),18"));

    EXPECT_EQ(Ask("at+cpbs=\"me\""), Ok);
    EXPECT_EQ(Ask("AT+CPBS?"), Info("+CPBS: \"ME\",1,100"));
    EXPECT_EQ(Ask("AT+CPBR=?"), Info("+CPBR: (1-100),40,16"));
    EXPECT_EQ(Ask("AT+CPBR=3"), Info("+CPBR: 3,\"420212345678\",145,\"Kancelar\""));

    // The PIN2 memory cannot be chosen; the selection stays.
    EXPECT_EQ(Ask("AT+CPBS=\"FD\""), Cme("SIM PIN2 required"));
    EXPECT_EQ(Ask("AT+CPBS?"), Info("+CPBS: \"ME\",1,100"));
    EXPECT_EQ(Ask("AT+CPBS=\"XX\""), Cme("operation not supported"));
    EXPECT_EQ(Ask("AT+CPBS=SM"), "\r\nERROR\r\n") << "a memory name is a string";

    // The read-only memory reads, but takes no write.
    EXPECT_EQ(Ask("AT+CPBS=\"LD\""), Ok);
    EXPECT_EQ(Ask("AT+CPBR=1,10"), Info("+CPBR: 1,\"603555111\",129,\"\""));
    EXPECT_EQ(Ask("AT+CPBW=?"), Cme("operation not allowed"));
    EXPECT_EQ(Ask("AT+CPBW=1"), Cme("operation not allowed"));
    EXPECT_EQ(Ask("AT+CPBW=2,\"1\",129,\"x\""), Cme("operation not allowed"));
}

TEST_F(Phonebook, WritesDeletesAndTheirRefusals)
{
    Start();
    EXPECT_EQ(Ask("AT+CPBW=7,\"+420603123456\",145,\"Eva\""), Ok);
    // The command line takes 7-bit characters only.
    EXPECT_EQ(Ask("AT+CPBW=8,\"112\",129,\"\xE8" "ek\""), Ok);
    EXPECT_EQ(Ask("AT+CPBR=7,8"), Info("+CPBR: 7,\"420603123456\",145,\"Eva\"\r\n+CPBR: 8,\"112\",129,\"ek\""));
    EXPECT_EQ(Ask("AT+CPBW=7"), Ok);
    EXPECT_EQ(Ask("AT+CPBR=7"), Ok);
    EXPECT_EQ(Ask("AT+CPBS?"), Info("+CPBS: \"SM\",4,250"));
    // No position: the first free one.
    EXPECT_EQ(Ask("AT+CPBW=,\"5\",129,\"First free\""), Ok);
    EXPECT_EQ(Ask("AT+CPBR=3"), Info("+CPBR: 3,\"5\",129,\"First free\""));

    EXPECT_EQ(Ask("AT+CPBW=9,\"1\",129,\"Abcdefghijklmnopqrs\""), Cme("text string too long"));
    EXPECT_EQ(Ask("AT+CPBW=9,\"+123456789012345678901\",145,\"x\""), Cme("dial string too long"));
    EXPECT_EQ(Ask("AT+CPBW=9,\"12a4\",129,\"x\""), Cme("invalid characters in dial string"));
    EXPECT_EQ(Ask("AT+CPBW=9,\"12+4\",129,\"x\""), Cme("invalid characters in dial string"));
    EXPECT_EQ(Ask("AT+CPBW=9,\"1\",129,\"A\"B\"\""), "\r\nERROR\r\n") << "a quote inside a string";
    EXPECT_EQ(Ask("AT+CPBW=9,\"1\",129,\"A\"B\""), "\r\nERROR\r\n") << "a quote left open";
    EXPECT_EQ(Ask("AT+CPBW=9,1,129,\"x\""), "\r\nERROR\r\n") << "a number is a string";
    EXPECT_EQ(Ask("AT+CPBW=9,\"1\",161,\"x\""), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CPBW=251,\"1\",129,\"x\""), Cme("invalid index"));
    EXPECT_EQ(Ask("AT+CPBW=0"), Cme("invalid index"));
    EXPECT_EQ(Ask("AT+CPBR=9"), Ok) << "nothing of it was written";
    // 20 digits and 18 characters fit; the number alone is enough.
    EXPECT_EQ(Ask("AT+CPBW=9,\"+12345678901234567890\",145,\"Abcdefghijklmnopqr\""), Ok);
    EXPECT_EQ(Ask("AT+CPBW=10,\"*#06#\""), Ok);
    EXPECT_EQ(Ask("AT+CPBR=9,10"), Info("+CPBR: 9,\"12345678901234567890\",145,\"Abcdefghijklmnopqr\"\r\n"
                                        "+CPBR: 10,\"*#06#\",129,\"\""));
}

TEST_F(Phonebook, TextsFollowTheCharacterSet)
{
    TProfile p = TProfile::Builtin("tc35");
    p.cscsTest = "+CSCS: (\"8859-1\",\"IRA\",\"UCS2\")";
    Start(p);
    EXPECT_EQ(Ask("AT+CSCS=\"8859-1\""), Ok);
    EXPECT_EQ(Ask("AT+CPBR=1"), Info("+CPBR: 1,\"420602123456\",145,\"Jan Nov\xE1k\""));
    EXPECT_EQ(Ask("AT+CSCS=\"UCS2\""), Ok);
    EXPECT_EQ(Ask("AT+CPBR=1"),
              Info("+CPBR: 1,\"420602123456\",145,\"004A0061006E0020004E006F007600E1006B\""));
    // Č and ř are not in Latin-1: stored as UTF-16, shown as "?" in IRA.
    EXPECT_EQ(Ask("AT+CPBW=4,\"777\",129,\"010C0065007200760065006E00FD0020006B0159\""), Ok);
    EXPECT_EQ(Ask("AT+CPBW=5,\"777\",129,\"00410042004\""), Cme("invalid characters in text string"));
    EXPECT_EQ(Ask("AT+CPBW=5,\"777\",129,\"0041G042\""), Cme("invalid characters in text string"));
    // 18 characters of UCS2 fit, 19 do not.
    EXPECT_EQ(Ask("AT+CPBW=5,\"1\",129,\"" + std::string(18 * 4, '0') + "\""), Ok);
    EXPECT_EQ(Ask("AT+CPBW=5,\"1\",129,\"" + std::string(19 * 4, '0') + "\""), Cme("text string too long"));
    EXPECT_EQ(Ask("AT+CSCS=\"IRA\""), Ok);
    EXPECT_EQ(Ask("AT+CPBR=4"), Info("+CPBR: 4,\"777\",129,\"?erven? k?\""));
}

TEST_F(Phonebook, LockedCardAndAProfileOfItsOwn)
{
    TProfile p = TProfile::Parse("base = tc35\n"
                                 "sim = pin\n"
                                 "phonebook = sm,1-20,12,10\n"
                                 "phonebook = ON,1-2,20,14,readonly\n"
                                 "phonebook = FD,1-5,20,14,pin2\n"
                                 "phonebook_entry = SM,4,\"+420111\",\"\xC4\x8C" "ek\"\n"
                                 "phonebook_entry = ON,1,777,\"Me\"\n"
                                 "phonebook_pin2 = incorrect\n");
    ASSERT_EQ(p.phonebooks.memories.size(), 3u);
    EXPECT_EQ(p.phonebooks.selected, "SM");
    EXPECT_EQ(p.phonebooks.memories[1].access, TPhonebookAccess::ReadOnly);
    EXPECT_EQ(p.phonebooks.memories[0].entries.at(4).text, u"\u010Cek");
    Start(p);
    EXPECT_EQ(Ask("AT+CPBS=?"), Cme("SIM PIN required"));
    EXPECT_EQ(Ask("AT+CPBR=1"), Cme("SIM PIN required"));
    EXPECT_EQ(Ask("AT+CPIN=\"1234\""), Ok);
    EXPECT_EQ(Ask("AT+CPBS=?"), Info("+CPBS: (\"SM\",\"ON\",\"FD\")"));
    EXPECT_EQ(Ask("AT+CPBR=?"), Info("+CPBR: (1-20),12,10"));
    EXPECT_EQ(Ask("AT+CPBR=1,20"), Info("+CPBR: 4,\"420111\",145,\"?ek\""));
    EXPECT_EQ(Ask("AT+CPBS=\"FD\""), Cme("incorrect password"));
    EXPECT_EQ(Ask("AT+CPBS=\"ON\""), Ok);
    EXPECT_EQ(Ask("AT+CPBR=1,2"), Info("+CPBR: 1,\"777\",129,\"Me\""));

    for (const char* bad : {"phonebook = SM,1,20,18", "phonebook = SM,1-x,20,18", "phonebook = SM,1-9,20",
                            "phonebook = SM,1-9,20,18,secret", "phonebook = SM,1-9,20,18\nphonebook = sm,1-2,1,1",
                            "phonebook_entry = XX,1,\"1\",\"a\"", "phonebook_entry = SM,400,\"1\",\"a\"",
                            "phonebook_entry = SM,1,\"1\"", "phonebook_pin2 = maybe", "phonebook = SM,\"1-9,20,18"})
        EXPECT_THROW(TProfile::Parse(bad), std::invalid_argument) << bad;
}

TEST_F(Phonebook, NoMemoriesAtAll)
{
    TProfile p = TProfile::Builtin("tc35");
    p.phonebooks.memories.clear();
    p.phonebooks.selected.clear();
    Start(p);
    for (const char* c : {"AT+CPBS=?", "AT+CPBS?", "AT+CPBR=?", "AT+CPBR=1", "AT+CPBW=?", "AT+CPBW=1"})
        EXPECT_EQ(Ask(c), "\r\nERROR\r\n") << c;
}
