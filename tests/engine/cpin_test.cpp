// The SIM PIN handler: the card query, the PIN with the user's consent,
// the questions, and what is never sent.
#include <gtest/gtest.h>

#include <string>

#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_cpin.h"
#include "tests/engine/handler_rig.h"
#include "tests/engine/settled_handlers.h"
#include "tests/support/code_pages.h"

namespace {

using W = VMainWindowLink;

using TestSupport::Cz;

struct Cpin : ::testing::Test {
    THandlerRig rig;
    VPerifCPIN& cpin = rig.modem.cpin();

    Cpin() { InstallSettledStartup(rig.engine, VPerifModem::hCPIN); }
    // One engine turn for this handler: its tick, then the PIN question
    // step, as the engine's tick does.
    std::string turn(uint32_t advanceMs = 10)
    {
        const std::string ticked = rig.turn(advanceMs, cpin);
        cpin.askPIN();
        return ticked + rig.sent();
    }
    void query(const std::string& state)
    {
        ASSERT_EQ(turn(), "AT+CPIN?\r");
        rig.reply("+CPIN: " + state, "OK");
    }
    int questions(const std::string& key) const
    {
        int n = 0;
        for (const auto& m : rig.window.messages)
            if (m.text.find(key) != std::string::npos)
                ++n;
        return n;
    }
    // The PIN is refused by the card once.
    void refusedOnce()
    {
        cpin.setPIN("1111");
        rig.window.answers = {W::IDYES, W::IDNO};
        query("SIM PIN");
        turn();  // QueryPIN1: yes
        query("SIM PIN");
        ASSERT_EQ(turn(), "AT+CPIN=\"1111\"\r");
        rig.reply("", "+CME ERROR: incorrect password");
        ASSERT_EQ(cpin.getStep(), 7);
    }
};

const std::string QueryPin = "Chcete nyn\xED vlo\x9Eit PIN";
const std::string BadPin = "Byl zad\xE1n \x9Apatn\xFD PIN";
const std::string NoCard = "SIM karta";

}  // namespace

TEST_F(Cpin, ReadyCardWithinTheRepeatTime)
{
    ASSERT_EQ(turn(), "AT+CPIN?\r");
    EXPECT_TRUE(cpin.isBusy());
    rig.line("AT+CPIN?\r\r\n");
    rig.reply("+CPIN: READY", "OK");
    EXPECT_TRUE(cpin.isReady());
    EXPECT_FALSE(cpin.isBusy());
    EXPECT_EQ(turn(60000), "");
}

TEST_F(Cpin, MissingOkRepeatsTheQueryAndDropsTheDecision)
{
    ASSERT_EQ(turn(), "AT+CPIN?\r");
    rig.line("+CPIN: READY\r\n");
    EXPECT_EQ(turn(1690), "");
    EXPECT_EQ(turn(20), "AT+CPIN?\r");
    rig.line("OK\r\n");  // the answer to the new query, without a state line
    EXPECT_FALSE(cpin.isReady());
    query("READY");
    EXPECT_TRUE(cpin.isReady());
}

TEST_F(Cpin, PinAfterConsent)
{
    cpin.setPIN("1234");
    rig.window.answers = {W::IDYES};
    query("SIM PIN");
    EXPECT_EQ(cpin.getStep(), 7);
    EXPECT_FALSE(cpin.isReady());
    EXPECT_EQ(turn(), "");
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, Cz("Chcete nyní vložit PIN 1234?"));
    EXPECT_EQ(rig.window.messages[0].flags, 0x33);
    EXPECT_EQ(cpin.getStep(), 1);
    query("SIM PIN");
    EXPECT_EQ(cpin.getStep(), 2);
    ASSERT_EQ(turn(), "AT+CPIN=\"1234\"\r");
    EXPECT_TRUE(cpin.isBusy());
    rig.reply("", "OK");
    EXPECT_TRUE(cpin.isReady());
    EXPECT_EQ(rig.window.texts[W::EditPIN], "1234");
    EXPECT_EQ(rig.window.messages.size(), 1u);
}

TEST_F(Cpin, NoSaysOpenTheOptionsAndNoBadPinQuestion)
{
    cpin.setPIN("1234");
    rig.window.answers = {W::IDNO};
    query("SIM PIN");
    turn();
    EXPECT_EQ(rig.window.optionsShown, 1);
    // The user closes the dialog without doing anything.
    rig.window.optionsVisible = false;
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(turn(1000), "");
    EXPECT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(questions(BadPin), 0);
    // The options dialog's button gives the consent later.
    cpin.enterPinAgain();
    query("SIM PIN");
    EXPECT_EQ(turn(), "AT+CPIN=\"1234\"\r");
}

TEST_F(Cpin, NoPinOpensTheOptionsAtOnce)
{
    query("SIM PIN");
    turn();
    EXPECT_EQ(rig.window.optionsShown, 1);
    EXPECT_TRUE(rig.window.messages.empty());
    rig.window.optionsVisible = false;
    EXPECT_EQ(turn(5000), "");
    EXPECT_TRUE(rig.window.messages.empty());
}

TEST_F(Cpin, OnlyFourToEightDigitsAreEverSent)
{
    for (const char* bad : {"123", "123456789", "12a4", "12\"4", "1234\r", " 1234", "+123"}) {
        cpin.setPIN(bad);
        cpin.confirmPIN();  // even with consent
        rig.window.optionsShown = 0;
        query("SIM PIN");
        EXPECT_EQ(turn(), "") << bad;
        EXPECT_EQ(cpin.getStep(), 7) << bad;
        EXPECT_EQ(rig.window.optionsShown, 1) << bad;
        rig.window.optionsVisible = false;
    }
    EXPECT_TRUE(rig.window.messages.empty());
    cpin.setPIN("12345678");
    cpin.confirmPIN();
    query("SIM PIN");
    EXPECT_EQ(turn(), "AT+CPIN=\"12345678\"\r");
}

TEST_F(Cpin, SiemensM1AndA1TakeThePinWithoutQuotes)
{
    cpin.setPIN("0000");
    cpin.confirmPIN();
    rig.modem.cgmi().setValue("SIEMENS", 2);
    rig.modem.cgmm().setValue("A1", 2);
    query("SIM PIN");
    EXPECT_EQ(turn(), "AT+CPIN=0000\r");
    rig.reply("", "OK");
    cpin.requery();
    rig.modem.cgmm().setValue("TC35", 2);
    query("SIM PIN");
    EXPECT_EQ(turn(), "AT+CPIN=\"0000\"\r");
}

TEST_F(Cpin, RefusedPinAsksBadPinOnceAndIsNeverSentAgain)
{
    refusedOnce();
    EXPECT_EQ(turn(), "");
    EXPECT_EQ(questions(BadPin), 1);
    EXPECT_EQ(rig.window.messages.back().flags, 0x34);
    // A new query (the power handler after a mode change) does not send it.
    cpin.requery();
    query("SIM PIN");
    EXPECT_EQ(cpin.getStep(), 7);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(turn(1000), "");
    EXPECT_EQ(questions(BadPin), 1);
    // Pressing OK in the options dialog with the same PIN changes nothing.
    cpin.confirmPIN();
    EXPECT_EQ(cpin.getStep(), 7);
    // A new PIN with consent goes out.
    cpin.setPIN("1234");
    cpin.confirmPIN();
    query("SIM PIN");
    EXPECT_EQ(turn(), "AT+CPIN=\"1234\"\r");
}

TEST_F(Cpin, YesToBadPinOpensTheOptions)
{
    refusedOnce();
    rig.window.answers = {W::IDYES};
    turn();
    EXPECT_EQ(questions(BadPin), 1);
    turn();
    EXPECT_EQ(rig.window.optionsShown, 1);
}

TEST_F(Cpin, UnansweredPinTimesOutToTheBadPinQuestion)
{
    cpin.setPIN("1234");
    cpin.confirmPIN();
    query("SIM PIN");
    ASSERT_EQ(turn(), "AT+CPIN=\"1234\"\r");
    EXPECT_EQ(turn(34980), "");
    EXPECT_EQ(cpin.getStep(), 2);
    turn(30);
    EXPECT_EQ(cpin.getStep(), 7);
    EXPECT_FALSE(cpin.isBusy());
    turn();
    EXPECT_EQ(questions(BadPin), 1);
    cpin.requery();
    query("SIM PIN");
    EXPECT_EQ(turn(), "");
}

TEST_F(Cpin, AbandonedPinNeedsANewConsent)
{
    cpin.setPIN("1234");
    cpin.confirmPIN();
    query("SIM PIN");
    ASSERT_EQ(turn(), "AT+CPIN=\"1234\"\r");
    // The user types a line before the card answered.
    rig.engine.sendLine(rig.now, "AT", -1);
    rig.sent();
    EXPECT_EQ(cpin.getStep(), 1);
    EXPECT_FALSE(cpin.isPinConfirmed());
    rig.line("OK\r\n");
    rig.window.answers = {W::IDNO};
    query("SIM PIN");
    EXPECT_EQ(turn(), "");
    EXPECT_EQ(questions(QueryPin), 1);  // asked again, not sent again
    EXPECT_EQ(questions(BadPin), 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(turn(1000), "");
}

TEST_F(Cpin, TemporaryErrorsRepeatTheSameCommand)
{
    cpin.setPIN("1234");
    cpin.confirmPIN();
    query("SIM PIN");
    ASSERT_EQ(turn(), "AT+CPIN=\"1234\"\r");
    rig.reply("", "+CME ERROR: SIM PIN TEMPORARY failure");
    EXPECT_EQ(cpin.getStep(), 2);
    EXPECT_EQ(turn(), "AT+CPIN=\"1234\"\r");
    rig.reply("", "OK");
    EXPECT_TRUE(cpin.isReady());
    // An accepted PIN goes out again after a re-query.
    cpin.requery();
    query("SIM PIN");
    EXPECT_EQ(turn(), "AT+CPIN=\"1234\"\r");
}

TEST_F(Cpin, BusyCardIsQueriedAgainNotReportedMissing)
{
    ASSERT_EQ(turn(), "AT+CPIN?\r");
    rig.reply("", "+CME ERROR: SIM busy");
    EXPECT_EQ(cpin.getStep(), 1);
    EXPECT_EQ(turn(), "AT+CPIN?\r");
    rig.reply("+CPIN: READY", "OK");
    EXPECT_TRUE(cpin.isReady());
    EXPECT_TRUE(rig.window.messages.empty());
}

TEST_F(Cpin, NoCardQuestion)
{
    rig.window.answers = {W::IDYES, W::IDNO};
    ASSERT_EQ(turn(), "AT+CPIN?\r");
    rig.reply("", "+CME ERROR: SIM not inserted");
    EXPECT_EQ(cpin.getStep(), 13);
    EXPECT_EQ(turn(), "");
    ASSERT_EQ(questions(NoCard), 1);
    EXPECT_EQ(rig.window.messages[0].text, Cz("Není vložena SIM karta. Zkusit znovu?"));
    EXPECT_EQ(rig.window.messages[0].flags, 0x34);
    EXPECT_EQ(turn(4980), "");
    EXPECT_EQ(turn(30), "");  // back to the query step
    ASSERT_EQ(turn(), "AT+CPIN?\r");
    rig.reply("", "ERROR");
    turn();
    EXPECT_EQ(questions(NoCard), 2);  // answered No this time
    for (int round = 0; round < 3; ++round) {
        turn(5010);
        ASSERT_EQ(turn(), "AT+CPIN?\r");
        rig.reply("", "ERROR");
    }
    EXPECT_EQ(questions(NoCard), 2);
}

TEST_F(Cpin, TerminalPinInStepSevenAndOtherLines)
{
    query("SIM PIN");  // no PIN configured
    ASSERT_EQ(cpin.getStep(), 7);
    rig.engine.sendLine(rig.now, "AT+CPIN=\"5678\"", -1);
    EXPECT_TRUE(cpin.isBusy());
    rig.reply("", "OK");
    EXPECT_EQ(rig.window.texts[W::EditPIN], "5678");
    EXPECT_EQ(cpin.getStep(), 1);
    // A one-character parameter is not a PIN command.
    rig.sent();
    query("READY");
    rig.engine.sendLine(rig.now, "AT+CPIN=1", -1);
    EXPECT_FALSE(cpin.isBusy());
    // An unsolicited state line while idle changes nothing.
    rig.line("+CPIN: SIM PIN\r\n");
    EXPECT_TRUE(cpin.isReady());
    // An error to a card command while ready: query again.
    rig.engine.sendLine(rig.now, "AT+CPIN?", -1);
    rig.reply("", "+CME ERROR: SIM failure");
    EXPECT_EQ(cpin.getStep(), 1);
}

TEST_F(Cpin, PukWithoutPukStaysAndBlockedCard)
{
    cpin.setPIN("1234");
    query("SIM PUK");
    EXPECT_EQ(cpin.getStep(), 9);
    EXPECT_EQ(turn(10000), "");
    EXPECT_FALSE(rig.modem.allInitialised());
    EXPECT_EQ(rig.engine.getMissing(), "AT+CPIN");
    cpin.requery();
    query("BLOCKED");
    EXPECT_EQ(cpin.getStep(), 12);
    EXPECT_EQ(turn(10000), "");
    cpin.requery();
    query("SIM PIN2");
    EXPECT_EQ(cpin.getStep(), 8);
}

TEST_F(Cpin, AnyPinCommandAndStateLineIsSurvived)
{
    const std::string alphabet = "0123456789\",?=ABCINPRSUYK ";
    uint32_t seed = 777;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const size_t n = next() % 24;
        for (size_t k = 0; k < n; ++k)
            text += alphabet[(next() >> 8) % alphabet.size()];
        rig.engine.sendLine(rig.now, ("AT+CPIN=" + text).c_str(), -1);
        rig.line("+CPIN: " + text + "\r\n");
        rig.line(next() % 2 ? "OK\r\n" : "ERROR\r\n");
        rig.sent();
        // With no PIN configured the handler itself only ever queries.
        const std::string own = turn(next() % 3000);
        EXPECT_TRUE(own.empty() || own == "AT+CPIN?\r") << own;
        EXPECT_GE(cpin.getStep(), 1);
        EXPECT_LE(cpin.getStep(), 14);
    }
}
