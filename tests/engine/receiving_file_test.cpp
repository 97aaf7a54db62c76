// The file receiver on the handler rig, as the called station of a data
// call: the rows it makes, what it writes and every answer, the gaps it
// names, and what it does with frames no sender of this program sends.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "calls/list_item_file.h"
#include "engine/perif_protikus.h"
#include "tests/engine/transfer_rig.h"

namespace {

using T = TTransferRig;
const std::string Caller = "+420601000001";

std::string Join(const std::vector<std::string>& frames)
{
    std::string out;
    for (const auto& f : frames)
        out += (out.empty() ? "" : " | ") + f;
    return out;
}

struct Receiving : ::testing::Test {
    TTransferRig rig;

    void SetUp() override
    {
        rig.answered(Caller);
        // The caller's exchange: the called side takes the party over.
        rig.line(TCallsRig::Bytes(T::GM22Identity));
        ASSERT_NE(rig.protikus().getCurrent(), nullptr);
        rig.sent();
    }
    // Feeds whole frames; the answers as hex frames.
    std::string feed(const std::string& frames)
    {
        rig.line(frames);
        return Join(rig.frames());
    }
    VListItemFile* row() { return rig.receiver().getCurrent(); }
    std::string ranges()
    {
        std::string out;
        for (int i = 0; i < rig.receiver().getRangeCount(); ++i) {
            const auto r = rig.receiver().getRange(i);
            out += (out.empty() ? "" : " ") + std::to_string(r.start) + "-" + std::to_string(r.end);
        }
        return out;
    }
    std::string data(VListItemFile* r) { return TestSupport::ReadFile(r->temporaryName()); }
};

const char* const AcceptHex = "80 02 B0 A0 00 40 01 14";
const char* const NameReceivedHex = "80 02 B0 A0 00 43 01 17";
const char* const CompleteHex = "80 01 B0 A0 00 41 13";

}  // namespace

TEST_F(Receiving, HelloArrivesAsATxtWithTheAnswersOnTheWire)
{
    // The frames of the sender, byte for byte, each sum checked anew.
    const std::vector<std::pair<std::string, std::string>> exchange = {
        {"80 03 B0 A0 40 05 00 00 19", AcceptHex},
        {"80 06 B0 A0 43 01 61 2E 74 78 74 0A", NameReceivedHex},
        {"80 0A B0 A0 42 00 00 00 05 00 68 65 6C 6C 6F 36", "80 07 B0 A0 00 42 05 00 00 05 00 00 24"},
        {"80 00 B0 A0 41 12", CompleteHex},
    };
    for (const auto& [in, out] : exchange) {
        for (const std::string& hex : {in, out}) {
            const std::string bytes = TCallsRig::Bytes(hex);
            EXPECT_EQ(TCallsRig::Frame(TCallsRig::Hex(bytes.substr(0, bytes.size() - 1))), bytes) << hex;
        }
        EXPECT_EQ(feed(TCallsRig::Bytes(in)), out) << in;
        if (in.find(" 41 12") == std::string::npos) {
            ASSERT_NE(row(), nullptr);
            EXPECT_EQ(row()->getState(), 5);
        }
    }
    EXPECT_EQ(row(), nullptr);
    EXPECT_FALSE(rig.receiver().isBusy());
    ASSERT_EQ(rig.receivedCount(), 1);
    VListItemFile* r = rig.received(0);
    EXPECT_EQ(r->getState(), 7);
    EXPECT_EQ(r->getPath(), "a.txt");
    EXPECT_EQ(r->getSize(), 5);
    EXPECT_EQ(r->getProgress(), 5);
    EXPECT_EQ(r->getPeerNumber(), Caller);
    EXPECT_EQ(r->holdCount(), 0);
    EXPECT_EQ(data(r), "hello");
    EXPECT_EQ(rig.filesBelow(), std::vector<std::string>{"in/tixu0000.tmp"});
}

TEST_F(Receiving, AJumpAheadNamesThreeGapsAndRepeatsFillThem)
{
    feed(T::Offer(64) + T::Name("jump.bin"));
    // 30 bytes past the start: three gaps of 8, next expected stops 24
    // bytes on (below the Block), the data is written all the same.
    EXPECT_EQ(feed(T::Block(30, "ABCDEFGH")),
              "80 16 B0 A0 00 42 26 00 00 00 00 00 08 00 08 00 00 08 00 10 00 00 08 00 18 00 00 97");
    EXPECT_EQ(ranges(), "0-8 8-16 16-24");
    EXPECT_EQ(rig.receiver().getNextExpected(), 24);
    EXPECT_EQ(row()->getProgress(), 0);
    EXPECT_EQ(data(row()).substr(30), "ABCDEFGH");
    // A Block over only part of a gap leaves it; one over the whole gap
    // removes it.
    EXPECT_EQ(feed(T::Block(8, "abcd")), TCallsRig::Hex(T::Ack(12, {{0, 8}, {8, 8}, {16, 8}}, 24)));
    EXPECT_EQ(feed(T::Block(8, "abcdefgh")), TCallsRig::Hex(T::Ack(16, {{0, 8}, {16, 8}}, 24)));
    EXPECT_EQ(feed(T::Block(0, "01234567")), TCallsRig::Hex(T::Ack(8, {{16, 8}}, 24)));
    EXPECT_EQ(row()->getProgress(), 16);
    // In order again: next expected moves on, through the Block that
    // came early; a repeated Block leaves it.
    EXPECT_EQ(feed(T::Block(24, "ijklmn")), TCallsRig::Hex(T::Ack(30, {{16, 8}}, 30)));
    EXPECT_EQ(feed(T::Block(30, "ABCDEFGH")), TCallsRig::Hex(T::Ack(38, {{16, 8}}, 38)));
    EXPECT_EQ(feed(T::Block(0, "01234567")), TCallsRig::Hex(T::Ack(8, {{16, 8}}, 38)));
    EXPECT_EQ(rig.receiver().getNextExpected(), 38);
    // End with a gap inside and the tail missing: the size is
    // acknowledged, pieces of 8 from next expected on fill the free slots.
    EXPECT_EQ(feed(T::End()), TCallsRig::Hex(T::Ack(64, {{16, 8}, {38, 8}, {46, 8}}, 54)));
    EXPECT_EQ(feed(T::Block(16, "opqrstuv") + T::Block(38, "IJKLMNOP") + T::Block(46, "QRSTUVWX")),
              TCallsRig::Hex(T::Ack(24, {{38, 8}, {46, 8}}, 54)) + " | " +
                  TCallsRig::Hex(T::Ack(46, {{46, 8}}, 54)) + " | " + TCallsRig::Hex(T::Ack(54, {}, 54)));
    EXPECT_EQ(feed(T::End()), TCallsRig::Hex(T::Ack(64, {{54, 8}, {62, 2}}, 64)));
    EXPECT_EQ(feed(T::Block(54, "YZ012345") + T::Block(62, "67")),
              TCallsRig::Hex(T::Ack(62, {{62, 2}}, 64)) + " | " + TCallsRig::Hex(T::Ack(64, {}, 64)));
    VListItemFile* r = row();
    EXPECT_EQ(feed(T::End()), CompleteHex);
    EXPECT_EQ(r->getState(), 7);
    EXPECT_EQ(data(r), "01234567abcdefghopqrstuvijklmnABCDEFGHIJKLMNOPQRSTUVWXYZ01234567");
}

TEST_F(Receiving, AnEmptyFileIsCompleteAtOnceWithoutATemporaryFile)
{
    EXPECT_EQ(feed(T::Offer(0)), AcceptHex);
    // A Name of another kind is answered and changes nothing.
    EXPECT_EQ(feed(T::Wire(0x43, "\x02other")), NameReceivedHex);
    EXPECT_EQ(row()->getPath(), "");
    EXPECT_EQ(feed(T::Name("empty")), NameReceivedHex);
    // A second Name, or one for a row with a path, changes nothing.
    EXPECT_EQ(feed(T::Name("second")), NameReceivedHex);
    EXPECT_EQ(row()->getPath(), "empty");
    VListItemFile* r = row();
    EXPECT_EQ(feed(T::End()), CompleteHex);
    EXPECT_EQ(r->getState(), 7);
    EXPECT_FALSE(r->hasFile());
    EXPECT_TRUE(rig.filesBelow().empty() || rig.filesBelow() == std::vector<std::string>{});
    // Saved as an empty file; the row shows it saved.
    const std::string target = rig.dir.File("empty.txt");
    EXPECT_TRUE(r->save(target));
    EXPECT_EQ(r->getState(), 8);
    EXPECT_EQ(TestSupport::ReadFile(target), "");
}

TEST_F(Receiving, AFileSavedWhileArrivingGetsTheRestAndEndsSaved)
{
    feed(T::Offer(16) + T::Name("part.bin") + T::Block(0, "first 8."));
    VListItemFile* r = row();
    const std::string target = rig.dir.File("part.bin");
    ASSERT_TRUE(r->save(target));
    EXPECT_EQ(r->getState(), 5);
    feed(T::Block(8, "second 8"));
    EXPECT_EQ(feed(T::End()), CompleteHex);
    EXPECT_EQ(r->getState(), 8);
    EXPECT_EQ(TestSupport::ReadFile(target), "first 8.second 8");
    EXPECT_FALSE(r->save(target)) << "never over an existing file";
}

TEST_F(Receiving, AnEndWhileIdleIsAnsweredWithComplete)
{
    // The Complete of a finished file was lost: the sender repeats End.
    feed(T::Offer(3) + T::Name("x") + T::Block(0, "abc") + T::End());
    ASSERT_EQ(rig.receivedCount(), 1);
    EXPECT_EQ(feed(T::End()), CompleteHex);
    EXPECT_EQ(feed(T::End()), CompleteHex);
    EXPECT_EQ(rig.received(0)->getState(), 7);
    EXPECT_EQ(rig.receivedCount(), 1);
    // Names and Blocks while idle are not answered.
    EXPECT_EQ(feed(T::Name("y") + T::Block(0, "z")), "");
    EXPECT_FALSE(rig.receiver().isBusy());
}

TEST_F(Receiving, AFailedFileStaysFailedButIsAnsweredToTheEnd)
{
    // No temporary folder: the first Block cannot be written.
    rig.window.tempDir = rig.dir.File("missing");
    feed(T::Offer(10) + T::Name("lost.bin"));
    EXPECT_EQ(feed(T::Block(0, "01234567")), TCallsRig::Hex(T::Ack(8, {}, 8)));
    VListItemFile* r = row();
    EXPECT_EQ(r->getState(), 6);
    EXPECT_EQ(feed(T::Block(8, "89")), TCallsRig::Hex(T::Ack(10, {}, 10)));
    EXPECT_EQ(feed(T::End()), CompleteHex);
    EXPECT_EQ(r->getState(), 6) << "a failed file is not received";
    EXPECT_FALSE(r->save(rig.dir.File("lost.bin")));
    EXPECT_FALSE(rig.receiver().isBusy());
}

TEST_F(Receiving, AnOfferAfterANameOrBlockIsAnotherFile)
{
    // A repeated Offer (its Accept was lost) keeps the row.
    EXPECT_EQ(feed(T::Offer(4) + T::Offer(6)), std::string(AcceptHex) + " | " + AcceptHex);
    EXPECT_EQ(rig.receivedCount(), 1);
    EXPECT_EQ(row()->getSize(), 6);
    feed(T::Name("old") + T::Block(0, "ab"));
    VListItemFile* old = row();
    EXPECT_EQ(feed(T::Offer(2)), AcceptHex);
    ASSERT_EQ(rig.receivedCount(), 2);
    EXPECT_NE(row(), old);
    // What arrived of the old file stays, and can be saved.
    EXPECT_EQ(old->getState(), 6);
    EXPECT_EQ(old->holdCount(), 0);
    EXPECT_TRUE(old->save(rig.dir.File("old")));
    EXPECT_EQ(TestSupport::ReadFile(rig.dir.File("old")), "ab");
    feed(T::Name("new") + T::Block(0, "cd"));
    EXPECT_EQ(feed(T::End()), CompleteHex);
    EXPECT_EQ(rig.received(1)->getState(), 7);
    EXPECT_EQ(rig.received(1)->getNumber(), 2);
}

TEST(ReceivingCut, TheEndOfTheCallOrARestartFailsTheRowButKeepsItsData)
{
    for (int way = 0; way < 3; ++way) {
        TTransferRig station;
        station.answered(Caller);
        station.line(TCallsRig::Bytes(T::GM22Identity));
        station.line(T::Offer(4) + T::Name("cut") + T::Block(0, "12"));
        VListItemFile* r = station.receiver().getCurrent();
        ASSERT_NE(r, nullptr);
        if (way == 0) {
            // Another party's call ends: nothing changes.
            Protikus other;
            station.receiver().abandon(station.now, &other);
            ASSERT_EQ(station.receiver().getCurrent(), r);
            station.line("NO CARRIER\r\n");
        } else if (way == 1) {
            station.engine.restart(station.now);
        } else {
            station.engine.resetAll(station.now);
        }
        EXPECT_EQ(station.receiver().getCurrent(), nullptr) << way;
        EXPECT_EQ(r->getState(), 6) << way;
        EXPECT_EQ(r->holdCount(), 0);
        // What arrived stays and can be saved.
        const std::string target = station.dir.File("saved");
        EXPECT_TRUE(r->save(target)) << way;
        EXPECT_EQ(TestSupport::ReadFile(target), "12");
        // The sender's End of the cut transfer finds the receiver idle.
        station.sent();
        station.engine.setMode(3);
        station.line(T::End());
        EXPECT_EQ(T::SplitFrames(station.sent()), std::vector<std::string>{CompleteHex}) << way;
        EXPECT_EQ(r->getState(), 6) << way;
    }
}

TEST_F(Receiving, HostileFramesAfterAValidOfferAreIgnoredOrKeptInBounds)
{
    feed(T::Offer(20));
    VListItemFile* r = row();
    struct TCase {
        const char* what;
        std::string frame;
        std::string answer;
    };
    const std::vector<TCase> cases = {
        {"count 200 in a frame of 3 bytes", TCallsRig::Bytes("80 08 B0 A0 42 00 00 00 C8 00 61 62 63 09"), ""},
        {"Block without its count", TCallsRig::Frame("80 04 B0 A0 42 00 00 00 01"), ""},
        {"Block past the offered size", T::Block(16, "12345"), ""},
        {"Block at an offset far out", T::Block(0xFFFFFE, "12"), ""},
        {"Offer without its size", TCallsRig::Frame("80 02 B0 A0 40 05 00"), ""},
        {"Name without its kind", TCallsRig::Frame("80 00 B0 A0 43"), ""},
        {"an empty Name", T::Wire(0x43, "\x01"), NameReceivedHex},
        {"a frame of another type", TCallsRig::Frame("80 01 B0 A0 44 00"), ""},
        {"a bad sum", TCallsRig::Bytes("80 00 B0 A0 41 13"), ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(feed(c.frame), c.answer) << c.what;
    EXPECT_EQ(r->getPath(), "");
    EXPECT_FALSE(r->hasFile());
    EXPECT_EQ(r->getProgress(), 0);
    // Names from the other station are plain short names.
    for (const auto& [name, kept] : std::vector<std::pair<std::string, std::string>>{
             {"../../x", "x"}, {"..", ""}, {std::string(300, 'A'), std::string(20, 'A')}, {"C:\\dir\\f\x01.txt", "f.txt"}}) {
        feed(T::Offer(1));
        EXPECT_EQ(feed(T::Name(name)), NameReceivedHex);
        EXPECT_EQ(row()->getPath(), kept) << name;
        feed(T::Block(0, "z") + T::End());
    }
    // A zero count at the end of the file, and the last byte.
    feed(T::Offer(20) + T::Name("edge"));
    EXPECT_EQ(feed(T::Block(20, "")), TCallsRig::Hex(T::Ack(20, {{0, 8}, {8, 8}, {16, 4}}, 20)));
    EXPECT_EQ(row()->getProgress(), 0);
    EXPECT_EQ(feed(T::Block(19, "!")), TCallsRig::Hex(T::Ack(20, {{0, 8}, {8, 8}, {16, 4}}, 20)));
    // Nothing was written outside the temporary folder.
    for (const std::string& f : rig.filesBelow())
        EXPECT_EQ(f.rfind("in/tixu", 0), 0u) << f;
}

TEST_F(Receiving, AnOfferWithoutAKnownPartyIsIgnored)
{
    rig.modem.protikus().reset(rig.now);
    ASSERT_EQ(rig.protikus().getCurrent(), nullptr);
    EXPECT_EQ(feed(T::Offer(5) + T::Name("a") + T::Block(0, "hello")), "");
    EXPECT_EQ(rig.receivedCount(), 0);
    EXPECT_FALSE(rig.receiver().isBusy());
    // The engine is not kept working by it.
    rig.run(10);
    EXPECT_NE(rig.engine.getState(), 2);
}

TEST_F(Receiving, TheLargestFileThe24BitFieldsCarry)
{
    // 16,777,215 bytes offered; the last block lands at its end (sparse).
    EXPECT_EQ(feed(TCallsRig::Frame("80 03 B0 A0 40 FF FF FF")), AcceptHex);
    EXPECT_EQ(row()->getSize(), 0xFFFFFF);
    feed(T::Name("big"));
    EXPECT_EQ(feed(T::Block(0xFFFFF8, "1234567")),
              TCallsRig::Hex(T::Ack(0xFFFFFF, {{0, 8}, {8, 8}, {16, 8}}, 24)));
    EXPECT_EQ(std::filesystem::file_size(row()->temporaryName()), 0xFFFFFFu);
    EXPECT_EQ(feed(T::Block(0xFFFFF9, "1234567")), "") << "one byte past the end";
}
