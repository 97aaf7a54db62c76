// The simulator's own parsers: command lines, times, profiles, scripts.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/modemsim/at_command.h"
#include "tests/modemsim/device_clock.h"
#include "tests/modemsim/profile.h"
#include "tests/modemsim/script.h"

using namespace ModemSim;

TEST(CommandLine, SplitsBasicAndExtendedCommands)
{
    std::vector<TAtCommand> cmds;
    ASSERT_TRUE(SplitCommandLine("E0V1+CMEE=2;+CPIN?;^SMSO=?;S3?;&F", cmds));
    ASSERT_EQ(cmds.size(), 7u);
    EXPECT_EQ(cmds[0].name, "E");
    EXPECT_EQ(cmds[0].args, "0");
    EXPECT_EQ(cmds[1].name, "V");
    EXPECT_EQ(cmds[2].name, "+CMEE");
    EXPECT_EQ(cmds[2].kind, TCmdKind::Set);
    EXPECT_EQ(cmds[2].args, "2");
    EXPECT_EQ(cmds[3].FormKey(), "+CPIN?");
    EXPECT_EQ(cmds[4].FormKey(), "^SMSO=?");
    EXPECT_EQ(cmds[5].name, "S");
    EXPECT_EQ(cmds[5].sreg, 3);
    EXPECT_EQ(cmds[5].kind, TCmdKind::Read);
    EXPECT_EQ(cmds[6].name, "&F");
}

TEST(CommandLine, QuotedArgumentsKeepSemicolonsAndCase)
{
    std::vector<TAtCommand> cmds;
    ASSERT_TRUE(SplitCommandLine("+cala=\"02/12/08,10:00:00\",0,0,\"a;b\";+cgmi", cmds));
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(cmds[0].name, "+CALA");
    std::vector<std::string> items;
    std::vector<bool> quoted;
    ASSERT_TRUE(SplitArgs(cmds[0].args, items, &quoted));
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], "02/12/08,10:00:00");
    EXPECT_TRUE(quoted[0]);
    EXPECT_EQ(items[3], "a;b");
    EXPECT_FALSE(quoted[1]);
    EXPECT_EQ(cmds[1].name, "+CGMI");
}

TEST(CommandLine, DialTakesTheRestOfTheLine)
{
    std::vector<TAtCommand> cmds;
    ASSERT_TRUE(SplitCommandLine("D+420123;", cmds));
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].args, "+420123;");
}

TEST(CommandLine, RejectsMalformedLines)
{
    std::vector<TAtCommand> cmds;
    for (const char* bad : {"+", "+CPIN=\"1234", "S", "S3", "&", "#", "+CGMI?x", "E0!"})
        EXPECT_FALSE(SplitCommandLine(bad, cmds)) << bad;
    EXPECT_TRUE(SplitCommandLine("", cmds));
    EXPECT_TRUE(cmds.empty());
}

TEST(CommandLine, ParseIntRejectsOverflowAndJunk)
{
    int v = 0;
    EXPECT_TRUE(ParseInt(" 42 ", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ParseInt("-7", v));
    EXPECT_EQ(v, -7);
    EXPECT_FALSE(ParseInt("99999999999", v));
    EXPECT_FALSE(ParseInt("1x", v));
    EXPECT_FALSE(ParseInt("", v));
    EXPECT_FALSE(ParseInt("-", v));
}

TEST(GsmTime, ParsesAndFormats)
{
    TDateTime dt;
    std::string zone;
    ASSERT_TRUE(ParseGsmTime("02/12/08,10:37:20+04", dt, &zone));
    EXPECT_EQ(dt.year, 2002);
    EXPECT_EQ(dt.day, 8);
    EXPECT_EQ(zone, "+04");
    EXPECT_EQ(FormatGsmTime(dt), "02/12/08,10:37:20");
    for (const char* bad : {"02/12/08,10:37", "02-12-08,10:37:20", "02/00/08,10:37:20", "02/12/32,10:37:20",
                            "03/02/29,00:00:00", "02/12/08,10:60:00", "02/12/08,10:37:20+", "02/12/08,10:37:20+99",
                            "02/12/08,10:37:20x"})
        EXPECT_FALSE(ParseGsmTime(bad, dt)) << bad;
}

TEST(GsmTime, MillisecondRoundTripAcrossYears)
{
    for (int64_t ms : {int64_t(0), DateTimeToMs({2000, 2, 29, 23, 59, 59}), DateTimeToMs({2099, 12, 31, 0, 0, 0})}) {
        const TDateTime dt = MsToDateTime(ms);
        EXPECT_EQ(DateTimeToMs(dt), ms);
    }
    EXPECT_EQ(MsToDateTime(DateTimeToMs({2000, 2, 28, 23, 59, 59}) + 1000).day, 29);
}

TEST(Profiles, BuiltinsCoverTheKnownAndTheUnknown)
{
    EXPECT_EQ(TProfile::Builtin("TC35").model, "TC35");
    EXPECT_EQ(TProfile::Builtin("m20").model, "M20");
    EXPECT_EQ(TProfile::Builtin("gm22").manufacturer, "ERICSSON");
    EXPECT_EQ(TProfile::Builtin("t10s").model, "1101001");
    EXPECT_EQ(TProfile::Builtin("mc35i").manufacturer, "SIEMENS");
    EXPECT_EQ(TProfile::Builtin("wavecom").manufacturer, "WAVECOM MODEM");
    EXPECT_THROW(TProfile::Builtin("nokia"), std::invalid_argument);
}

TEST(Profiles, TextOverridesTheBase)
{
    const TProfile p = TProfile::Parse(
        "# a test device\n"
        "base = gm22\r\n"
        "model = 1130202 GM22\n"
        "sim = pin\n"
        "pin = 0000\n"
        "lac = 00FF\n"
        "operator = 2,\"Home Net\",\"HN\",\"99901\"\n"
        "operator = 1,\"Other, Net\",\"99902\"\n"
        "home_operator = 99901\n"
        "clock_offset = -3600\n"
        "[delays]\n"
        "+cops=? = 1500\n"
        "[script]\n"
        "at 100 line RING\n");
    EXPECT_EQ(p.manufacturer, "ERICSSON");
    EXPECT_TRUE(p.ericssonLocation);
    EXPECT_EQ(p.sim, TSimCard::Pin);
    EXPECT_EQ(p.pin, "0000");
    EXPECT_EQ(p.lac, 0xFF);
    ASSERT_EQ(p.operators.size(), 2u);
    EXPECT_EQ(p.operators[1].longName, "Other, Net");
    EXPECT_EQ(p.operators[1].shortName, "");
    EXPECT_EQ(p.operators[1].numeric, "99902");
    EXPECT_EQ(p.clockOffsetMs, -3600000);
    EXPECT_EQ(p.delays.at("+COPS=?"), 1500);
    ASSERT_EQ(p.script.size(), 1u);
}

TEST(Profiles, BadTextIsRejectedWithTheLine)
{
    for (const char* bad : {"nonsense", "colour = red", "baud = fast", "sim = maybe", "gprs = perhaps",
                            "operator = 1,\"x\"", "base = nokia", "lac = zz", "[delays]\n+CSQ = soon"}) {
        try {
            TProfile::Parse(bad);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find("line"), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(TProfile::Load("/nonexistent/profile.txt"), std::invalid_argument);
}

TEST(Scripts, ParsesEveryAction)
{
    EXPECT_EQ(ParseScriptLine("at 10 line +CREG: 1").action.text, "+CREG: 1");
    EXPECT_EQ(ParseScriptLine("at 0 bytes 0D 0a").action.text, "\r\n");
    const TScriptStep on = ParseScriptLine("on at+cpin? nofinal");
    EXPECT_TRUE(on.onCommand);
    EXPECT_EQ(on.command, "+CPIN?");
    const TScriptStep creg = ParseScriptLine("at 5 creg 1 1A2B 3C4D");
    EXPECT_EQ(creg.action.b, 0x1A2B);
    EXPECT_EQ(creg.action.c, 0x3C4D);
    EXPECT_EQ(ParseScriptLine("at 5 reset 100").action.a, 100);
    EXPECT_EQ(ParseScriptLine("at 5 disappear").action.kind, TScriptAction::TKind::Disappear);
    for (const char* bad : {"", "later 5 line x", "at x line y", "at -5 line y", "at 5 explode", "at 5 bytes 0",
                            "at 5 bytes", "at 5 garbage 0", "at 5 creg 1 1A2B", "at 5 csq x"})
        EXPECT_THROW(ParseScriptLine(bad), std::invalid_argument) << bad;
}

TEST(Profiles, TheShippedExampleFileLoads)
{
    const TProfile p = TProfile::Load(std::string(ZELVITOR_SOURCE_DIR) + "/tests/modemsim/profiles/tc35-locked.txt");
    EXPECT_EQ(p.model, "TC35");
    EXPECT_EQ(p.sim, TSimCard::Pin);
    EXPECT_EQ(p.pin, "2468");
    EXPECT_EQ(p.simBusyMs, 2000);
    EXPECT_EQ(p.clockOffsetMs, -7200000);
    EXPECT_EQ(p.delays.at("+CPIN="), 700);
    ASSERT_EQ(p.script.size(), 1u);
    EXPECT_NO_THROW(ParseScriptLine(p.script[0]));
}
