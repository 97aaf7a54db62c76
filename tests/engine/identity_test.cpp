// The maker and model handlers and the modem type names.
#include <gtest/gtest.h>

#include <string>

#include "engine/modem_type_name.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "tests/engine/handler_rig.h"
#include "tests/engine/settled_handlers.h"
#include "tests/support/code_pages.h"

namespace {

using TestSupport::Cz;

// Real maker and model handlers over settled stand-ins of the rest.
struct Identity : ::testing::Test {
    THandlerRig rig;

    Identity()
    {
        InstallSettledStartup(rig.engine, VPerifModem::hCGMI);
        rig.modem.replaceHandler(VPerifModem::hCGMM, std::make_unique<VPerifCGMM>(&rig.engine));
    }
    VPerifCGMI& cgmi() { return rig.modem.cgmi(); }
    VPerifCGMM& cgmm() { return rig.modem.cgmm(); }
    std::string turn(uint32_t advanceMs = 10) { return rig.turn(advanceMs, cgmi(), cgmm()); }
    void maker(const std::string& text) { cgmi().setValue(text, 2); }
    int model(const std::string& text)
    {
        cgmm().setValue(text, 2);
        return cgmm().getCode();
    }
    std::string name(uint16_t code, const std::string& makerText = "", const std::string& modelText = "")
    {
        return Uniset::ModemTypeName(rig.window, code, makerText, modelText);
    }
};

}  // namespace

TEST_F(Identity, MakerNames)
{
    for (const char* t : {"SIEMENS", "siemens ", " Siemens", "\tSiemens\r"}) {
        maker(t);
        EXPECT_EQ(cgmi().getCode(), 0x1000) << t;
    }
    EXPECT_EQ(cgmi().getText(), "Siemens");
    maker("ERICSSON");
    EXPECT_EQ(cgmi().getCode(), 0x2000);
    maker("SIEMENS AG");
    EXPECT_EQ(cgmi().getCode(), 0xF000);
    cgmi().setValue("x", 1);
    EXPECT_EQ(cgmi().getCode(), 0xE000);
    EXPECT_EQ(cgmi().getText(), "");
    EXPECT_FALSE(cgmi().isIdentified());
}

TEST_F(Identity, ModelsOfSiemens)
{
    maker("SIEMENS");
    EXPECT_EQ(model("M1"), 0x101);
    EXPECT_EQ(model("M20"), 0x102);
    EXPECT_EQ(model("A1"), 0x202);
    EXPECT_EQ(model("A20"), 0x203);
    EXPECT_EQ(model(" TC35 "), 0x301);
    EXPECT_EQ(model("tc35"), 0x00F);
    EXPECT_EQ(model("M35"), 0x00F);
    EXPECT_EQ(model("xM35"), 0x302);
    EXPECT_EQ(cgmm().getText(), "M35");
    EXPECT_EQ(model("ME45"), 0x00F);
    EXPECT_EQ(cgmm().getText(), "ME45");
}

TEST_F(Identity, ModelsOfEricsson)
{
    maker("ERICSSON");
    EXPECT_EQ(model("1130202 GM22"), 0x102);
    EXPECT_EQ(cgmm().getText(), "GM22");
    EXPECT_EQ(model("xGM12"), 0x101);
    EXPECT_EQ(model("xGM25"), 0x103);
    EXPECT_EQ(model("xT39m"), 0x202);
    EXPECT_EQ(model("GM22"), 0x00F);  // not longer than the ending
    EXPECT_EQ(model("1101001 "), 0x201);
    EXPECT_EQ(cgmm().getText(), "T10s");
}

TEST_F(Identity, UnknownMakerGivesAnUnknownModelSoStartUpGoesOn)
{
    maker("WAVECOM MODEM");
    EXPECT_EQ(model("MULTIBAND  900E  1800"), 0x00F);
    EXPECT_TRUE(cgmm().isIdentified());
    cgmi().setValue("", 0);
    EXPECT_EQ(model("TC35"), 0x00F);
    // A kept unknown model is decoded anew when the maker becomes known.
    maker("SIEMENS");
    EXPECT_EQ(cgmm().getCode(), 0x301);
}

TEST_F(Identity, SameValueDoesNotRedraw)
{
    maker("SIEMENS");
    model("TC35");
    rig.window.clearCalls();
    maker("SIEMENS");
    model("TC35");
    EXPECT_EQ(rig.window.countCalls("setStatusPanel 1"), 0);
    model("M20");
    EXPECT_EQ(rig.window.countCalls("setStatusPanel 1"), 1);
    EXPECT_EQ(rig.window.statusPanels[1], "Siemens M20");
    EXPECT_EQ(rig.window.texts[VMainWindowLink::LabelDevice], "Siemens M20");
}

TEST_F(Identity, ConversationWithEchoAndMultiLineAnswer)
{
    ASSERT_EQ(turn(), "AT+CGMI\r");
    EXPECT_TRUE(cgmi().isBusy());
    rig.line("AT+CGMI\r\r\n");
    EXPECT_TRUE(cgmi().isBusy());
    rig.line("\r\n");
    rig.line("ERICSSON\r\n");
    EXPECT_FALSE(cgmi().isIdentified());  // still waiting for the final result
    rig.line("OK\r\n");
    EXPECT_TRUE(cgmi().isIdentified());
    ASSERT_EQ(turn(), "AT+CGMM\r");
    rig.line("+CGMM: 1130202 GM25\r\n");
    rig.line("1130202 GM22\r\n");  // the last line wins
    rig.line("OK\r\n");
    EXPECT_EQ(cgmm().getCode(), 0x102);
    EXPECT_EQ(rig.window.statusPanels[1], "Ericsson GM22");
    EXPECT_EQ(turn(60000), "");
}

TEST_F(Identity, EchoLinesAndCase)
{
    rig.line("AT+CGMI\r\r\n");
    EXPECT_TRUE(cgmi().isBusy());
    rig.line("AT+CGMI=?\r\r\n");
    EXPECT_FALSE(cgmi().isBusy());
    // "ok" is no final result, and no maker either; the model takes it.
    rig.line("AT+CGMI\r\r\n");
    rig.line("ok\r\n");
    EXPECT_EQ(cgmi().getText(), "");
    EXPECT_TRUE(cgmi().isBusy());
    rig.line("OK\r\n");
    maker("SIEMENS");
    rig.line("at+cgmm\r\r\n");
    rig.line("ok\r\n");
    rig.line("OK\r\n");
    EXPECT_EQ(cgmm().getText(), "ok");
}

TEST_F(Identity, BareAnswersBackOff)
{
    std::vector<uint32_t> gaps;
    uint32_t last = rig.now;
    for (uint32_t t = 0; t < 40000; t += 10) {
        const std::string s = turn();
        if (s.empty())
            continue;
        EXPECT_EQ(s, "AT+CGMI\r");
        gaps.push_back(rig.now - last);
        last = rig.now;
        rig.line(gaps.size() % 2 ? "OK\r\n" : "ERROR\r\n");
    }
    // Asked at once, then after 2, 4, 8, 16 s ...: never on every turn.
    ASSERT_GE(gaps.size(), 4u);
    EXPECT_LE(gaps.size(), 6u);
    EXPECT_GT(gaps[1], 2000u);
    EXPECT_GT(gaps[2], 4000u);
    EXPECT_GT(gaps[3], 8000u);
    // An answer with a maker ends the back-off.
    turn(40000);
    rig.line("SIEMENS\r\n");
    rig.line("OK\r\n");
    EXPECT_TRUE(cgmi().isIdentified());
    cgmi().setValue("", 0);
    EXPECT_EQ(turn(), "AT+CGMI\r");
}

TEST_F(Identity, ErrorAndLostAnswers)
{
    maker("SIEMENS");
    ASSERT_EQ(turn(), "AT+CGMM\r");
    rig.line("+CME ERROR: 4\r\n");
    EXPECT_EQ(cgmm().getCode(), 0x00E);
    EXPECT_FALSE(cgmm().isIdentified());
    EXPECT_EQ(rig.window.statusPanels[1], "Siemens ");
    // Lost answer: repeated after 700 ms, the value forgotten.
    ASSERT_EQ(turn(2100), "AT+CGMM\r");
    EXPECT_EQ(turn(690), "");
    EXPECT_EQ(turn(20), "AT+CGMM\r");
    EXPECT_EQ(cgmm().getCode(), 0);
}

TEST_F(Identity, DisplayNames)
{
    EXPECT_EQ(name(0x1301), "Siemens TC35");
    EXPECT_EQ(name(0x1C01), "Siemens DECT");
    EXPECT_EQ(name(0x100F, "SIEMENS", "ME45"), "Siemens  ME45");
    EXPECT_EQ(name(0x100F, "SIEMENS", ""), "Siemens ");
    EXPECT_EQ(name(0x2201), "Ericsson T10s");
    EXPECT_EQ(name(0x2202), "Ericsson T39m");
    EXPECT_EQ(name(0x200F, "", "R520"), "Ericsson  R520");
    EXPECT_EQ(name(0x3000, "", "X1"), "Nokia X1");
    EXPECT_EQ(name(0x3000), "Nokia");
    EXPECT_EQ(name(0x4123, "", "OT"), "Alcatel OT");
    EXPECT_EQ(name(0x5000), "Motorola");
    EXPECT_EQ(name(0x0000, "SIEMENS", "TC35"), "[" + Cz("Nezjištěn") + "]");
    EXPECT_EQ(name(0x0ABC), "[" + Cz("Nezjištěn") + "]");
    EXPECT_EQ(name(0xE00E, "x", "y"), "[Chyba]");
    EXPECT_EQ(name(0xF00F, "WAVECOM", "MULTIBAND"), "[" + Cz("Neznámý") + "]");
    EXPECT_EQ(name(0x7000, "Acme", "Z"), "Acme Z");
    EXPECT_EQ(name(0x7000), Cz("Neznámý"));
    rig.window.langTexts["Texts/ModemUnknown"] = "Unknown";
    rig.window.langTexts["Texts/ModemError"] = "Error";
    EXPECT_EQ(name(0xF000), "[Unknown]");
    EXPECT_EQ(name(0xE000), "[Error]");
    EXPECT_EQ(name(0x9000), "Unknown");
}
