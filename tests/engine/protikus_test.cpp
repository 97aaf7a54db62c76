// The remote party: its blocks and description, the identity and
// capability exchange of a data call from both ends, and the dialling of
// waiting stations.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_smss.h"
#include "engine/protikus.h"
#include "tests/engine/calls_rig.h"
#include "tests/support/code_pages.h"
#include "tests/support/files.h"

using TestSupport::Cz;
using W = VMainWindowLink;

namespace {

const std::string GM22Identity = "80 08 B0 A0 12 01 01 50 00 01 FF 02 21 60";
const std::string GM22IdentityAnswer = "80 09 B0 A0 00 12 01 01 50 00 01 FF 02 21 61";
const std::string FilesCapabilities = "80 05 B0 A0 11 00 00 0C 00 6A 5D";
const std::string FilesCapabilitiesAnswer = "80 06 B0 A0 00 11 00 00 0C 00 6A 5E";
const std::string NoFilesCapabilitiesAnswer = "80 06 B0 A0 00 11 00 00 00 00 60 48";
const std::string TC35IdentityAnswer = "80 09 B0 A0 00 12 01 01 50 00 01 FF 01 13 52";

std::string Bytes(const std::string& hex) { return TCallsRig::Bytes(hex); }

// An SMS handler that waits for an answer.
class BusySMSs : public VPerifSMSs {
public:
    using VPerifSMSs::VPerifSMSs;
    bool isBusy() const override { return true; }
};

}  // namespace

TEST(Protikus, BlocksAndDescriptions)
{
    TRecordingWindow window;
    Protikus party;
    EXPECT_EQ(party.description(window), Cz("[Nezjištěno]"));
    EXPECT_EQ(party.getBlockInterval(), 2000u);
    EXPECT_EQ(party.blockSize, 8u);
    EXPECT_FALSE(party.acceptsFiles());

    // Blocks too short are ignored.
    const std::string identity = Bytes("01 01 50 00 01 FF 02 21");
    party.setIdentity(reinterpret_cast<const uint8_t*>(identity.data()), 7);
    EXPECT_TRUE(party.isIdentityMissing());
    party.setIdentity(reinterpret_cast<const uint8_t*>(identity.data()), 8);
    EXPECT_FALSE(party.isIdentityMissing());
    EXPECT_EQ(party.modemType, 0x2102);
    EXPECT_EQ(party.description(window), "Zelvitor  V1.0 (Ericsson GM22)");

    const std::string foreign = Bytes("02 01 50 03 02 00 01 13");
    party.setIdentity(reinterpret_cast<const uint8_t*>(foreign.data()), 8);
    EXPECT_EQ(party.description(window), Cz("[Neznámý] V2.3 (Siemens TC35)"));
    const std::string untested = Bytes("01 01 50 00 01 FF 02 00");
    party.setIdentity(reinterpret_cast<const uint8_t*>(untested.data()), 8);
    EXPECT_EQ(party.description(window), Cz("Zelvitor  V1.0 ([Nezjištěn])"));
    window.langTexts["Texts/OtherUnknown"] = "Unknown";
    window.langTexts["Texts/OtherUntested"] = "Untested";
    party.setIdentity(reinterpret_cast<const uint8_t*>(foreign.data()), 8);
    EXPECT_EQ(party.description(window), "[Unknown] V2.3 (Siemens TC35)");

    struct TCase {
        const char* block;
        uint32_t interval, size;
        bool flagA, flagB;
        int fileLevel;
    };
    for (const TCase c : {TCase{"00 00 0C 00 6A", 32, 256, false, false, 3}, TCase{"00 00 00 00 00", 0, 8, false, false, 0},
                          TCase{"12 34 07 99 FF", 16384, 2048, true, true, 1}, TCase{"00 00 08 00 5F", 16, 2048, false, false, 2}}) {
        const std::string b = Bytes(c.block);
        party.setCapabilities(reinterpret_cast<const uint8_t*>(b.data()), 5);
        EXPECT_EQ(party.getBlockInterval(), c.interval) << c.block;
        EXPECT_EQ(party.blockSize, c.size) << c.block;
        EXPECT_EQ(party.flagA, c.flagA) << c.block;
        EXPECT_EQ(party.flagB, c.flagB) << c.block;
        EXPECT_EQ(party.fileLevel, c.fileLevel) << c.block;
        EXPECT_EQ(party.acceptsFiles(), c.fileLevel != 0);
    }
    const std::string nibbles = Bytes("12 34 00 00 00");
    party.setCapabilities(reinterpret_cast<const uint8_t*>(nibbles.data()), 5);
    EXPECT_EQ(party.cap0, 1);
    EXPECT_EQ(party.cap1, 2);
    EXPECT_EQ(party.cap2, 3);
    EXPECT_EQ(party.cap3, 4);
    const std::string shortBlock = Bytes("00 00 0C 00");
    party.setCapabilities(reinterpret_cast<const uint8_t*>(shortBlock.data()), 4);
    EXPECT_EQ(party.getBlockInterval(), 0u);

    // A new call asks again; what was known stays until then.
    party.reset();
    EXPECT_TRUE(party.isIdentityMissing());
    EXPECT_TRUE(party.isCapabilitiesMissing());
    EXPECT_EQ(party.modemType, 0x1301);
    EXPECT_EQ(party.description(window), "[Untested]");
}

TEST(Protikus, OwnBlocksOfferFilesOnTheModelsThatTakeThem)
{
    for (const uint16_t code : {0x2101, 0x2102, 0x2103, 0x1203, 0x0101})
        EXPECT_EQ(TCallsRig::Hex(std::string(reinterpret_cast<const char*>(Protikus::OwnCapabilities(code).data()), 5)),
                  "00 00 0C 00 6A")
            << code;
    for (const uint16_t code : {0x1301, 0x2201, 0x2202, 0x0000, 0xF00F})
        EXPECT_EQ(TCallsRig::Hex(std::string(reinterpret_cast<const char*>(Protikus::OwnCapabilities(code).data()), 5)),
                  "00 00 00 00 60")
            << code;
    const Protikus::TIdentityBlock id = Protikus::OwnIdentity(0x1301);
    EXPECT_EQ(TCallsRig::Hex(std::string(reinterpret_cast<const char*>(id.data()), id.size())), "01 01 50 00 01 FF 01 13");
}

TEST(Protikus, CallerDialsTheStationExchangesAndEndsTheCall)
{
    TCallsRig rig(0x2000, 0x102);
    rig.settle();
    VPerifProtikus& protikus = rig.protikus();
    VPerifCalls& calls = rig.calls();
    protikus.addStation("+420601000002");
    EXPECT_FALSE(protikus.isSettled());
    // Not while the call handler waits.
    EXPECT_EQ(rig.runSent(400), "");
    EXPECT_EQ(rig.runSent(200), "ATD+420601000002\r");
    EXPECT_TRUE(calls.isMarkNextConnect());
    rig.line("ATD+420601000002\r\r\n");
    // Dialled once; again only when the call handler lets a new command go.
    EXPECT_EQ(rig.runSent(5000), "");
    rig.line("CONNECT 9600\r\n");
    ASSERT_EQ(rig.engine.getMode(), 3);
    EXPECT_TRUE(calls.row(0).hangupMark);

    // The caller's first bytes: its identity.
    EXPECT_EQ(TCallsRig::Hex(rig.runSent(10)), GM22Identity);
    ASSERT_NE(protikus.getCurrent(), nullptr);
    EXPECT_TRUE(protikus.getCurrent()->outgoing);
    EXPECT_TRUE(protikus.getCurrent()->autoHangup);
    EXPECT_EQ(protikus.getPending(), 1);
    EXPECT_EQ(rig.window.texts[W::LabelTheOther], Cz("[Nezjištěno]"));
    EXPECT_TRUE(rig.window.visible[W::LabelLabTheOther]);
    EXPECT_EQ(rig.runSent(500), "");

    // The answer is shown at once, though the other side never asks.
    rig.line(Bytes(TC35IdentityAnswer));
    EXPECT_EQ(protikus.getPending(), 0);
    EXPECT_EQ(rig.window.texts[W::LabelTheOther], "Zelvitor  V1.0 (Siemens TC35)");
    EXPECT_EQ(TCallsRig::Hex(rig.runSent(10)), FilesCapabilities);
    EXPECT_EQ(protikus.getPending(), 2);
    rig.line(Bytes(NoFilesCapabilitiesAnswer));
    EXPECT_TRUE(protikus.isSettled());
    EXPECT_FALSE(protikus.getCurrent()->acceptsFiles());
    EXPECT_EQ(protikus.getCurrent()->getBlockInterval(), 32u);

    // Idle: the station is served and the call ends from this side.
    EXPECT_EQ(rig.runSent(20), "");
    EXPECT_TRUE(protikus.getStations().empty());
    EXPECT_EQ(rig.runSent(980), "");
    EXPECT_EQ(rig.runSent(10), "+++");
    rig.advance(1000);
    rig.line("\r\nOK\r\n");
    EXPECT_EQ(rig.runSent(10), "ATH\r");
    rig.reply("ATH");
    EXPECT_EQ(rig.states(), "0 0 0 0 0 0 0 0");
    EXPECT_EQ(protikus.getCurrent(), nullptr);
    EXPECT_FALSE(rig.window.visible[W::LabelLabTheOther]);
    EXPECT_EQ(rig.window.texts[W::LabelTheOther], "");
    EXPECT_TRUE(calls.row(0).remote.isIdentityMissing());
    EXPECT_TRUE(protikus.isSettled());
    EXPECT_EQ(rig.runSent(3000), "");
}

TEST(Protikus, CalledStationAnswersEachRequestAndNeverEndsTheCall)
{
    TCallsRig rig;
    rig.settle();
    VPerifProtikus& protikus = rig.protikus();
    rig.line("RING\r\n");
    rig.line("+CLIP: \"+420601000001\",145\r\n");
    rig.calls().setAnswerPending(true);
    EXPECT_EQ(rig.runSent(10), "ATA\r");
    rig.line("ATA\r\r\nCONNECT 9600\r\n");
    ASSERT_EQ(rig.engine.getMode(), 3);
    EXPECT_EQ(rig.runSent(2000), "") << "the called side only answers";
    EXPECT_EQ(protikus.getCurrent(), nullptr);

    rig.line(Bytes(GM22Identity));
    ASSERT_NE(protikus.getCurrent(), nullptr);
    EXPECT_FALSE(protikus.getCurrent()->outgoing);
    EXPECT_EQ(TCallsRig::Hex(rig.sent()), TC35IdentityAnswer);
    EXPECT_EQ(rig.window.texts[W::LabelTheOther], "Zelvitor  V1.0 (Ericsson GM22)");
    rig.line(Bytes(FilesCapabilities));
    EXPECT_EQ(TCallsRig::Hex(rig.sent()), NoFilesCapabilitiesAnswer);
    EXPECT_TRUE(protikus.getCurrent()->acceptsFiles());
    EXPECT_EQ(protikus.getCurrent()->blockSize, 256u);
    EXPECT_EQ(protikus.getPending(), 0);
    EXPECT_EQ(rig.runSent(3000), "");
    // A language change shows the party anew.
    rig.window.langTexts["Texts/ModemUntested"] = "Untested";
    rig.line(Bytes("80 08 B0 A0 12 01 01 50 00 01 FF 02 00 3F"));
    EXPECT_EQ(rig.window.texts[W::LabelTheOther], "Zelvitor  V1.0 ([Untested])");
}

TEST(Protikus, ExchangeFramesAreReadWithinTheirLength)
{
    TCallsRig rig(0x2000, 0x102);
    rig.settle();
    // The user dials a station that waits: the call is not hung up by
    // itself, so unanswered requests are repeated.
    rig.protikus().addStation("777");
    ASSERT_TRUE(rig.calls().dial(rig.now, false, "777"));
    rig.line("ATD777\r\r\nCONNECT 9600\r\n");
    rig.sent();
    EXPECT_EQ(TCallsRig::Hex(rig.runSent(10)), GM22Identity);
    // Unanswered for a second: the other block is asked for meanwhile.
    EXPECT_EQ(rig.runSent(990), "");
    EXPECT_EQ(TCallsRig::Hex(rig.runSent(20)), FilesCapabilities);
    EXPECT_EQ(rig.protikus().getPending(), 3);
    // An answer frame without a payload: its check byte is no answer kind.
    rig.line(Bytes("80 00 B0 E1 00 12"));
    EXPECT_EQ(rig.protikus().getPending(), 3);
    EXPECT_TRUE(rig.protikus().getCurrent()->isIdentityMissing());
    // An answer that ends the request, and kinds of no meaning here.
    rig.line(TCallsRig::Frame("80 03 B0 A0 00 07 01 02"));
    EXPECT_EQ(rig.protikus().getPending(), 3);
    rig.line(TCallsRig::Frame("80 01 B0 A0 00 01"));
    EXPECT_EQ(rig.protikus().getPending(), 0);
    // A short identity answer is not stored.
    rig.line(TCallsRig::Frame("80 05 B0 A0 00 12 01 01 50 00"));
    EXPECT_TRUE(rig.protikus().getCurrent()->isIdentityMissing());
    EXPECT_EQ(rig.window.texts[W::LabelTheOther], Cz("[Nezjištěno]"));
    // File-transfer frames are not this handler's.
    rig.line(TCallsRig::Frame("80 02 B0 A0 21 00 00"));
    EXPECT_EQ(rig.sent(), "");
}

TEST(Protikus, StationsAreDialledOnlyWhenTheDeviceIsFreeForIt)
{
    TCallsRig rig;
    rig.settle();
    rig.advance(1000);
    VPerifProtikus& protikus = rig.protikus();
    VPerifCalls& calls = rig.calls();

    // Not with another handler waiting, not in an SMS exchange.
    auto busy = std::make_unique<BusySMSs>(&rig.engine);
    ASSERT_TRUE(rig.modem.replaceHandler(VPerifModem::hSMSs, std::move(busy)));
    protikus.addStation("12;+CMGD=1");
    protikus.addStation("555");
    protikus.tick(rig.now);
    EXPECT_EQ(rig.sent(), "");
    ASSERT_TRUE(rig.modem.replaceHandler(VPerifModem::hSMSs, std::make_unique<VPerifSMSs>(&rig.engine)));
    rig.engine.beginSmsText();
    protikus.tick(rig.now);
    EXPECT_EQ(rig.sent(), "");
    rig.engine.setMode(0);

    // A number that cannot be dialled is dropped; the next one is dialled.
    protikus.tick(rig.now);
    EXPECT_EQ(rig.sent(), "");
    EXPECT_EQ(protikus.getStations(), std::vector<std::string>{"555"});
    protikus.tick(rig.now);
    EXPECT_EQ(rig.sent(), "ATD555\r");

    // While the dial's row still calls, nothing more goes out; once the
    // call handler gives the dial up, a station without a file ready for
    // it is not dialled again (each call costs money).
    protikus.tick(rig.now + 1000);
    EXPECT_EQ(rig.sent(), "");
    protikus.tick(rig.now + 120001);
    EXPECT_EQ(rig.sent(), "");
    EXPECT_TRUE(protikus.getStations().empty());
    // A call of another number stops the dialling.
    protikus.addStation("556");
    protikus.tick(rig.now + 120002);
    EXPECT_EQ(rig.sent(), "");
    EXPECT_EQ(calls.row(0).number, "555");

    // Another party's end does not disturb the party served.
    Protikus other;
    protikus.abandon(rig.now, &other);
    protikus.abandon(rig.now, nullptr);
    protikus.clearStations();
    EXPECT_TRUE(protikus.isSettled());
}

TEST(Protikus, TwoStationsAreServedOneCallAfterTheOther)
{
    TCallsRig rig(0x2000, 0x102);
    rig.settle();
    VPerifProtikus& protikus = rig.protikus();
    protikus.addStation("111");
    protikus.addStation("222");
    rig.advance(600);
    EXPECT_EQ(rig.runSent(10), "ATD111\r");
    rig.line("ATD111\r\r\nCONNECT 9600\r\n");
    EXPECT_EQ(TCallsRig::Hex(rig.runSent(10)), GM22Identity);
    rig.line(Bytes(GM22IdentityAnswer));
    EXPECT_EQ(TCallsRig::Hex(rig.runSent(10)), FilesCapabilities);
    rig.line(Bytes(FilesCapabilitiesAnswer));
    EXPECT_EQ(rig.runSent(20), "");
    EXPECT_EQ(protikus.getStations(), std::vector<std::string>{"222"});
    // The call handler ends the idle call; then the next station.
    EXPECT_EQ(rig.runSent(1000), "+++");
    rig.line("\r\nOK\r\n");
    EXPECT_EQ(rig.runSent(1000), "ATH\r");
    rig.reply("ATH");
    EXPECT_EQ(rig.runSent(600), "ATD222\r");
}

// Dials the device refuses while the dialled row still calls (its activity
// poll never says otherwise): no more than the limit of calls, then the
// station's files fail.
TEST(Protikus, RefusedDialsStopAtTheLimitWhileTheirRowStillCalls)
{
    TCallsRig rig;
    rig.settle();
    rig.advance(1000);
    TestSupport::TempDir dir("protikus-limit");
    const std::string file = dir.File("a.bin");
    ASSERT_TRUE(TestSupport::WriteFile(file, "abc"));
    rig.engine.addSendFile(file, "555");
    rig.engine.walkSendList(true);
    ASSERT_EQ(rig.protikus().getStations(), std::vector<std::string>{"555"});
    int dials = 0;
    for (int i = 0; i < 60; ++i) {
        const std::string out = rig.runSent(500);
        for (size_t p = out.find("ATD555\r"); p != std::string::npos; p = out.find("ATD555\r", p + 1)) {
            ++dials;
            rig.reply("ATD555", "ERROR");
        }
    }
    EXPECT_LE(dials, VPerifProtikus::MaxDials);
    EXPECT_GE(dials, 1);
    EXPECT_TRUE(rig.protikus().getStations().empty());
    EXPECT_EQ(rig.engine.getSendList().getItem(0)->getState(), 4);
}
