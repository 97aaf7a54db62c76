// The file sender on the handler rig, as the calling station of a data
// call with a hand-fed receiver: the whole exchange on the wire with its
// pauses, when a transfer starts and when not, the gaps it serves, the
// limits of the 24-bit fields, the rows it marks, and answers no receiver
// of this program sends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_calls.h"
#include "engine/perif_protikus.h"
#include "tests/engine/transfer_rig.h"
#include "tests/support/code_pages.h"

namespace {

using T = TTransferRig;
using TestSupport::Cz;
using W = VMainWindowLink;
const std::string Callee = "+420601000002";

const std::string Accept = TCallsRig::Bytes("80 02 B0 A0 00 40 01 14");
const std::string NameReceived = TCallsRig::Bytes("80 02 B0 A0 00 43 01 17");
const std::string Complete = TCallsRig::Bytes("80 01 B0 A0 00 41 13");
const std::string EndHex = "80 00 B0 A0 41 12";

std::vector<std::string> Frames(std::initializer_list<std::string> hex) { return hex; }
const std::vector<std::string> None;

// The file-transfer frames among written pieces (an idle link's "+++" and
// the exchange are left out).
std::vector<std::string> FileFramesOf(const std::vector<std::string>& pieces)
{
    std::vector<std::string> out;
    for (const std::string& hex : pieces) {
        const std::string b = TCallsRig::Bytes(hex);
        if (b.size() >= 6 && (uint8_t(b[0]) & 0xF0) == 0x80 && uint8_t(b[4]) >= 0x40 && uint8_t(b[4]) <= 0x43)
            out.push_back(hex);
    }
    return out;
}

struct Sending : ::testing::Test {
    TTransferRig rig;
    VListItemFile* row = nullptr;

    // A data call to the callee with one file queued for it; the exchange
    // with the callee done (a station that takes files unless said).
    void begin(const std::string& name, const std::string& bytes,
               const std::string& capabilities = T::FilesCapabilitiesAnswer)
    {
        rig.dialled(Callee);
        row = rig.queue(rig.file(name, bytes), Callee);
        rig.exchange(capabilities);
        rig.sent();
    }
    // Through Accept and Name received into the data phase; the first
    // tick that may send a Block comes next.
    void accepted()
    {
        rig.runFrames(10);  // Offer
        rig.line(Accept);
        rig.runFrames(1010);  // Name
        rig.line(NameReceived);
        rig.run(1010);  // the name phase ends
        rig.sent();
    }
    VPerifSendingFile& sender() { return rig.sender(); }
};

}  // namespace

TEST_F(Sending, HelloGoesOutAsATxtAtThePacesOfThePhases)
{
    begin("a.txt", "hello");
    EXPECT_EQ(rig.runFrames(10), Frames({"80 03 B0 A0 40 05 00 00 19"}));
    EXPECT_EQ(row->getState(), 2);
    EXPECT_TRUE(sender().isBusy());
    EXPECT_EQ(sender().getRemote(), rig.protikus().getCurrent());
    // The Offer again each second until it is accepted.
    EXPECT_EQ(rig.runFrames(1000), None);
    EXPECT_EQ(rig.runFrames(10), Frames({"80 03 B0 A0 40 05 00 00 19"}));
    rig.line(Accept);
    rig.line(Accept);
    EXPECT_EQ(rig.runFrames(1000), None);
    EXPECT_EQ(rig.runFrames(10), Frames({"80 06 B0 A0 43 01 61 2E 74 78 74 0A"}));
    rig.line(NameReceived);
    // The name phase ends a pause later; the data phase takes the other
    // station's pace (32 ms).
    EXPECT_EQ(rig.runFrames(1000), None);
    EXPECT_EQ(rig.runFrames(20), Frames({"80 0A B0 A0 42 00 00 00 05 00 68 65 6C 6C 6F 36"}));
    rig.line(TCallsRig::Bytes("80 07 B0 A0 00 42 05 00 00 05 00 00 24"));
    EXPECT_EQ(row->getProgress(), 5);
    // All went out: End a second after the Block, again each second.
    EXPECT_EQ(rig.runFrames(990), None);
    EXPECT_EQ(rig.runFrames(20), Frames({EndHex}));
    EXPECT_TRUE(sender().getProgressFlags() & VPerifSendingFile::pfAllSent);
    EXPECT_EQ(rig.runFrames(1010), Frames({EndHex}));
    rig.line(Complete);
    EXPECT_EQ(rig.runFrames(1010), None);
    EXPECT_EQ(row->getState(), 3);
    EXPECT_FALSE(sender().isBusy());
    EXPECT_FALSE(sender().hasFile());
    EXPECT_TRUE(sender().getQueue().empty());
    EXPECT_EQ(row->holdCount(), 0);
    EXPECT_EQ(sender().getProgressFlags(), 15u);
}

TEST_F(Sending, AnEmptyFileGoesStraightToEnd)
{
    begin("empty", "");
    EXPECT_EQ(rig.runFrames(10), Frames({"80 03 B0 A0 40 00 00 00 14"}));
    rig.line(Accept);
    EXPECT_EQ(rig.runFrames(1010), Frames({"80 06 B0 A0 43 01 65 6D 70 74 79 4A"}));
    rig.line(NameReceived);
    EXPECT_EQ(rig.runFrames(1030), Frames({EndHex}));
    rig.line(Complete);
    rig.run(1010);
    EXPECT_EQ(row->getState(), 3);
}

TEST_F(Sending, AReceiverThatWantsNoNameGetsNone)
{
    begin("nameless.bin", "12345678ABC");
    rig.runFrames(10);
    rig.line(TCallsRig::Frame("80 02 B0 A0 00 40 00"));
    // A second Accept asking for the name does not change the wishes.
    rig.line(Accept);
    EXPECT_EQ(sender().getWanted(), 0);
    EXPECT_EQ(rig.runFrames(1010), None);
    EXPECT_EQ(rig.runFrames(10), Frames({TCallsRig::Hex(T::Block(0, "12345678"))}));
    EXPECT_EQ(rig.runFrames(30), None);
    EXPECT_EQ(rig.runFrames(10), Frames({TCallsRig::Hex(T::Block(8, "ABC"))}));
}

TEST_F(Sending, NoStartWithoutExactlyOneDataCallToAStationThatTakesFiles)
{
    struct TCase {
        const char* what;
        std::function<void(TTransferRig&)> change;
        std::string capabilities;
    };
    const std::vector<TCase> cases = {
        {"a station that takes no files", [](TTransferRig&) {}, T::NoFilesCapabilitiesAnswer},
        {"a voice call", [](TTransferRig& r) { r.calls().row(0).setType(1); }, T::FilesCapabilitiesAnswer},
        {"two active calls",
         [](TTransferRig& r) {
             r.calls().row(3).setType(2);
             r.calls().row(3).setState(3);
         },
         T::FilesCapabilitiesAnswer},
        {"files for another number", [](TTransferRig& r) { r.engine.getSendList().getItem(0)->setPeerNumber("555"); },
         T::FilesCapabilitiesAnswer},
        {"a row no longer ready", [](TTransferRig& r) { r.engine.getSendList().getItem(0)->setState(0); },
         T::FilesCapabilitiesAnswer},
    };
    for (const TCase& c : cases) {
        TTransferRig station;
        station.dialled(Callee);
        station.queue(station.file("f", "data"), Callee);
        c.change(station);
        station.exchange(c.capabilities);
        station.sent();
        EXPECT_EQ(FileFramesOf(station.runFrames(3000)), None) << c.what;
        EXPECT_FALSE(station.sender().isBusy()) << c.what;
    }
    // Before the other station told its capabilities on this call: no
    // start on what an earlier call on the row left.
    TTransferRig station;
    station.calls().row(0).remote.setCapabilities(reinterpret_cast<const uint8_t*>("\0\0\x0C\0\x6A"), 5);
    station.calls().row(0).remote.reset();
    station.dialled(Callee);
    station.queue(station.file("f", "data"), Callee);
    station.run(10);
    station.line(TCallsRig::Bytes(T::GM22IdentityAnswer));
    EXPECT_FALSE(station.sender().isBusy());
    station.run(500);
    EXPECT_FALSE(station.sender().isBusy());
}

TEST_F(Sending, TheFirstReadyRowForTheCallsNumberGoesFirst)
{
    rig.dialled(Callee);
    rig.queue(rig.file("other", "x"), "555");
    VListItemFile* missing = rig.queue(rig.outFolder() + "/none", Callee);
    VListItemFile* second = rig.queue(rig.file("second", "2"), Callee);
    VListItemFile* third = rig.queue(rig.file("third", "3"), Callee);
    EXPECT_EQ(missing->getState(), 0);
    ASSERT_EQ(sender().getQueue().size(), 3u);
    rig.exchange();
    rig.run(10);
    EXPECT_EQ(sender().getCurrent(), second);
    EXPECT_EQ(third->getState(), 1);
    // The rows of the station keep it among the stations to reach.
    EXPECT_EQ(rig.protikus().getStations(), std::vector<std::string>({"555", Callee}));
    // A second start while one runs is refused; the running one goes on.
    sender().beginTransfer(third, 8);
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, Cz("Ještě nebyl dokončen předchozí přenos!"));
    EXPECT_EQ(rig.window.messages[0].caption, "ERROR");
    EXPECT_EQ(rig.window.messages[0].flags, W::MB_ICONEXCLAMATION);
    EXPECT_EQ(sender().getCurrent(), second);
    EXPECT_EQ(third->getState(), 1);
}

TEST_F(Sending, AcksMoveTheSendOffsetAndTheGapsToServe)
{
    begin("forty.bin", "0123456789abcdefghijklmnopqrstuvwxyzABCD");
    accepted();
    EXPECT_EQ(rig.runFrames(10), Frames({TCallsRig::Hex(T::Block(0, "01234567"))}));
    // Resume equal to the acknowledged end leaves the send offset.
    rig.line(T::Ack(8, {}, 8));
    EXPECT_EQ(sender().getSendOffset(), 8);
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(8, "89abcdef"))}));
    // A smaller resume sends the next Block from there.
    rig.line(T::Ack(16, {}, 4));
    EXPECT_EQ(sender().getSendOffset(), 4);
    EXPECT_EQ(row->getProgress(), 4);
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(4, "456789ab"))}));
    // More than three gaps: three kept, the resume lowered to the
    // smallest start of the others; each gap goes once, in the order
    // named, then the bytes from the send offset.
    rig.line(T::Ack(12, {{20, 4}, {28, 2}, {36, 1}, {14, 3}, {30, 1}}, 24));
    EXPECT_EQ(sender().getRangeCount(), 3);
    EXPECT_EQ(sender().getSendOffset(), 14);
    EXPECT_EQ(sender().getLowestUnconfirmed(), 14);
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(20, "klmn"))}));
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(28, "st"))}));
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(36, "A"))}));
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(14, "efghijkl"))}));
    // An Ack that trails the gaps sent again (it answers the first) still
    // names the others: they wait for their own Acks. Its resume above
    // the send offset moves it on.
    rig.line(T::Ack(24, {{28, 2}, {36, 1}}, 24));
    EXPECT_EQ(sender().getSendOffset(), 24);
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(24, "opqrstuv"))}));
    // A receiver that stands below the Block it acknowledges gets the
    // bytes from its resume again, once a round trip after the last time;
    // the Acks that trail that move do not move the send offset back again.
    rig.run(sender().holdTime());
    rig.sent();
    rig.line(T::Ack(30, {{36, 1}}, 24));
    EXPECT_EQ(sender().getSendOffset(), 24);
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(24, "opqrstuv"))}));
    rig.line(T::Ack(32, {{36, 1}}, 24));
    EXPECT_EQ(sender().getSendOffset(), 32);
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(32, "wxyzABCD"))}));
    // A gap that no Ack settled within the round trip goes again.
    EXPECT_EQ(rig.runFrames(sender().holdTime()), Frames({TCallsRig::Hex(T::Block(36, "A"))}));
}

TEST_F(Sending, ALostLastBlockIsServedAfterEverythingWentOut)
{
    begin("twenty.bin", "0123456789abcdefghij");
    accepted();
    rig.runFrames(10);
    rig.line(T::Ack(8, {}, 8));
    rig.runFrames(40);
    rig.line(T::Ack(16, {}, 16));
    // The last Block is lost on its way: no Ack.
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(16, "ghij"))}));
    EXPECT_EQ(rig.runFrames(1010), Frames({EndHex}));
    // A Complete now would be of another file: all went out, so it counts.
    // The receiver names the tail instead; it goes at the Blocks' pace,
    // once, and End follows a second later.
    rig.line(T::Ack(20, {{16, 4}}, 20));
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(16, "ghij"))}));
    rig.line(T::Ack(20, {}, 20));
    EXPECT_EQ(rig.runFrames(1010), Frames({EndHex}));
    rig.line(Complete);
    rig.run(1010);
    EXPECT_EQ(row->getState(), 3);
    EXPECT_EQ(row->getProgress(), 20);
}

TEST_F(Sending, ACompleteBeforeEverythingWentOutIsOfAnotherFile)
{
    begin("late.bin", "0123456789");
    rig.runFrames(10);
    rig.line(Complete);
    rig.line(Accept);
    rig.line(Complete);
    rig.runFrames(1010);
    rig.line(NameReceived);
    rig.run(1010);
    rig.line(Complete);
    EXPECT_EQ(rig.runFrames(10), Frames({TCallsRig::Hex(T::Block(0, "01234567"))}));
    EXPECT_FALSE(sender().getProgressFlags() & VPerifSendingFile::pfComplete);
    EXPECT_EQ(row->getState(), 2);
}

TEST_F(Sending, TheSenderOffersWhileTheReceiverTakesAFileFromTheOtherStation)
{
    rig.dialled(Callee);
    row = rig.queue(rig.file("mine", "1234"), Callee);
    rig.run(10);
    rig.line(TCallsRig::Bytes(T::GM22IdentityAnswer));
    // The other station offers its file first.
    rig.line(T::Offer(3));
    ASSERT_TRUE(rig.receiver().isBusy());
    rig.run(10);
    rig.line(TCallsRig::Bytes(T::FilesCapabilitiesAnswer));
    rig.sent();
    EXPECT_EQ(rig.runFrames(10), Frames({"80 03 B0 A0 40 04 00 00 18"}));
    EXPECT_TRUE(sender().isBusy());
    EXPECT_TRUE(rig.receiver().isBusy());
}

TEST_F(Sending, FilesAreLimitedToWhat24BitsCarry)
{
    rig.dialled(Callee);
    const std::string tooBig = rig.outFolder() + "/16MiB";
    const std::string largest = rig.outFolder() + "/largest";
    for (const auto& [path, size] : {std::pair{tooBig, 16777216}, std::pair{largest, 16777215}}) {
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
    }
    VListItemFile* refused = rig.queue(tooBig, Callee);
    row = rig.queue(largest, Callee);
    rig.exchange();
    rig.sent();
    rig.run(10);
    EXPECT_EQ(refused->getState(), 4);
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text,
              Cz("Velikost přenášených souborů je omezena na 16 MB (t.j. přenos delší než asi 1 den)"));
    EXPECT_EQ(rig.window.messages[0].flags, 0x30);
    EXPECT_EQ(rig.window.messages[0].caption, "");
    // The refused row stays queued; the next ready one starts.
    EXPECT_EQ(sender().getQueue().size(), 2u);
    EXPECT_EQ(rig.runFrames(10), Frames({"80 03 B0 A0 40 FF FF FF 11"}));
    rig.line(Accept);
    rig.runFrames(1010);
    rig.line(NameReceived);
    rig.run(1010);
    rig.runFrames(10);
    // The receiver stands near the end: the next Block starts there.
    rig.line(T::Ack(8, {}, 16777208));
    EXPECT_EQ(rig.runFrames(40), Frames({"80 0C B0 A0 42 F8 FF FF 07 00 00 00 00 00 00 00 00 1C"}));
}

TEST_F(Sending, TheSizeOfTheOpenedFileIsOfferedAndSent)
{
    rig.dialled(Callee);
    const std::string path = rig.file("grows", "0123456789");
    row = rig.queue(path, Callee);
    // It grew since it was added.
    TestSupport::WriteFile(path, "0123456789ABC");
    rig.exchange();
    rig.sent();
    EXPECT_EQ(rig.runFrames(10), Frames({TCallsRig::Hex(T::Offer(13))}));
    EXPECT_EQ(row->getSize(), 13);
    // It grows while it is sent: what was offered is sent.
    {
        std::FILE* f = std::fopen(path.c_str(), "ab");
        std::fputs("DEFGHIJ", f);
        std::fclose(f);
    }
    rig.line(Accept);
    rig.runFrames(1010);
    rig.line(NameReceived);
    rig.run(1010);
    EXPECT_EQ(rig.runFrames(10), Frames({TCallsRig::Hex(T::Block(0, "01234567"))}));
    rig.line(T::Ack(8, {}, 8));
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(8, "89ABC"))}));
    rig.line(T::Ack(13, {}, 13));
    EXPECT_EQ(rig.runFrames(1010), Frames({EndHex}));
    rig.line(Complete);
    rig.run(1010);
    EXPECT_EQ(row->getState(), 3);
    EXPECT_EQ(row->getSize(), 13);
}

TEST_F(Sending, WhatCannotBeOpenedAsAPlainFileFails)
{
    rig.dialled(Callee);
    const std::string fifo = rig.outFolder() + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = rig.outFolder() + "/folder";
    std::filesystem::create_directory(folder);
    const std::string gone = rig.file("gone", "x");
    const std::string locked = rig.file("locked", "x");
    std::vector<VListItemFile*> rows;
    for (const std::string& path : {fifo, folder, gone, locked}) {
        VListItemFile* r = rig.queue(path, Callee);
        r->setState(1);
        rows.push_back(r);
    }
    ::unlink(gone.c_str());
    ::chmod(locked.c_str(), 0);
    const bool root = ::geteuid() == 0;
    rig.exchange();
    rig.run(50);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i == 3 && root)
            continue;  // root reads whatever the mode says
        EXPECT_EQ(rows[i]->getState(), 4) << rows[i]->getPath();
    }
    ASSERT_GE(rig.window.messages.size(), 3u);
    EXPECT_EQ(rig.window.messages[0].text, "Soubor \"" + fifo + "\"\n" +
                                               Cz("se nepodařilo otevřít. Zkontrolujte, zda nebyl smazán a\n"
                                                  "zda máte právo jej číst."));
    EXPECT_EQ(rig.window.messages[0].flags, 0x30);
    EXPECT_FALSE(sender().hasFile() && !root);
}

TEST_F(Sending, AFileThatShrinksFailsWithAReadError)
{
    begin("shrinks", "0123456789abcdef");
    rig.runFrames(10);
    ::truncate(rig.engine.getSendList().getItem(0)->getPath().c_str(), 4);
    rig.line(Accept);
    rig.runFrames(1010);
    rig.line(NameReceived);
    rig.run(1010);
    EXPECT_EQ(rig.runFrames(10), Frames({TCallsRig::Hex(T::Wire(0x42, T::Le24(0) + T::Le16(4) + "0123"))}));
    rig.line(T::Ack(4, {}, 4));
    EXPECT_EQ(FileFramesOf(rig.runFrames(1100)), None) << "no End follows a failed read";
    EXPECT_EQ(row->getState(), 4);
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, Cz("Chyba čtení ze souboru - končím přenos"));
    EXPECT_EQ(rig.window.messages[0].caption, "Error");
    EXPECT_EQ(rig.window.messages[0].flags, W::MB_ICONERROR);
    EXPECT_FALSE(sender().isBusy());
}

TEST_F(Sending, ARowRemovedWhileSentIsSentToTheEndAndThenFreed)
{
    begin("removed", "abc");
    const int rowsBefore = rig.engine.getSendList().getCount();
    rig.runFrames(10);
    rig.engine.removeSendFile(0);
    EXPECT_TRUE(sender().getQueue().empty());
    rig.line(Accept);
    rig.runFrames(1010);
    rig.line(NameReceived);
    rig.run(1010);
    EXPECT_EQ(rig.runFrames(10), Frames({TCallsRig::Hex(T::Block(0, "abc"))}));
    rig.line(T::Ack(3, {}, 3));
    EXPECT_EQ(rig.runFrames(1010), Frames({EndHex}));
    rig.line(Complete);
    // The transfer ends a pause after the last frame, as always.
    rig.run(1010);
    EXPECT_FALSE(sender().isBusy());
    EXPECT_EQ(rig.engine.getSendList().getCount(), rowsBefore - 1);
}

TEST_F(Sending, TheEndOfTheCallARestartOrClosingFailsTheRowForTheNextWalk)
{
    for (int way = 0; way < 3; ++way) {
        TTransferRig station;
        station.dialled(Callee);
        VListItemFile* r = station.queue(station.file("cut", "0123456789"), Callee);
        station.exchange();
        station.run(10);
        ASSERT_TRUE(station.sender().isBusy());
        if (way == 0) {
            // Another party's call ending changes nothing.
            Protikus other;
            station.sender().abandon(station.now, &other);
            ASSERT_TRUE(station.sender().isBusy());
            station.line("NO CARRIER\r\n");
        } else if (way == 1) {
            station.engine.restart(station.now);
        } else {
            // Closing lets go of the transfers, also of one the other
            // station offered meanwhile: nothing is left busy.
            station.line(T::Offer(3));
            ASSERT_TRUE(station.receiver().isBusy());
            station.engine.finish();
            EXPECT_FALSE(station.receiver().isBusy());
            EXPECT_FALSE(station.modem.isBusy());
        }
        EXPECT_FALSE(station.sender().isBusy()) << way;
        EXPECT_FALSE(station.sender().hasFile()) << way;
        EXPECT_EQ(r->getState(), 4) << way;
        if (way < 2) {
            EXPECT_EQ(r->holdCount(), 1) << "still queued";
            station.engine.walkSendList(true);
            EXPECT_EQ(r->getState(), 1) << way;
            EXPECT_EQ(station.sender().getQueue().size(), 1u);
        } else {
            EXPECT_EQ(r->holdCount(), 0);
        }
    }
}

TEST_F(Sending, AnswersOfTheWrongShapeAreIgnoredAndGapsStayInTheFile)
{
    begin("ten.bin", "0123456789");
    rig.runFrames(10);
    // Too short for an Accept; then a right one.
    rig.line(TCallsRig::Frame("80 01 B0 A0 00 40"));
    EXPECT_FALSE(sender().getProgressFlags() & VPerifSendingFile::pfAccepted);
    rig.line(Accept);
    rig.runFrames(1010);
    rig.line(TCallsRig::Frame("80 01 B0 A0 00 43"));
    EXPECT_EQ(sender().getWanted(), 1);
    rig.line(NameReceived);
    rig.run(1010);
    rig.runFrames(10);
    // Acks not 7 + 5n bytes long.
    for (const std::string& bad : {TCallsRig::Bytes("80 02 B0 A0 00 42 05 1A"), TCallsRig::Frame("80 08 B0 A0 00 42 05 00 00 01 00 00 02"),
                                   TCallsRig::Frame("80 0D B0 A0 00 42 05 00 00 01 00 00 02 00 00 00 00 00")}) {
        rig.line(bad);
        EXPECT_EQ(sender().getSendOffset(), 8);
        EXPECT_EQ(sender().getRangeCount(), 0);
    }
    // A gap of 65535 bytes from 4: kept to the file, served 8 at a time;
    // gaps wholly past the file are dropped; progress stays in the file.
    rig.line(T::Ack(8, {{4, 65535}, {12, 3}, {0xFFFFF0, 5}}, 0xFFFFFF));
    EXPECT_EQ(sender().getRangeCount(), 1);
    EXPECT_EQ(sender().getRange(0).end, 10);
    EXPECT_EQ(sender().getSendOffset(), 10);
    EXPECT_EQ(row->getProgress(), 4);
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(4, "456789"))}));
    rig.line(T::Ack(0xFFFFFF, {}, 0xFFFFFF));
    EXPECT_EQ(row->getProgress(), 10);
    EXPECT_EQ(sender().getSendOffset(), 10);
    rig.line(T::Ack(4, {{0, 65535}}, 4));
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(0, "01234567"))}));
    EXPECT_EQ(rig.runFrames(40), Frames({TCallsRig::Hex(T::Block(8, "89"))}));
    // All of the gap went: it waits a round trip for its Acks, then goes
    // again.
    EXPECT_EQ(rig.runFrames(40), None);
    EXPECT_EQ(rig.runFrames(sender().holdTime()),
              Frames({TCallsRig::Hex(T::Block(0, "01234567")), TCallsRig::Hex(T::Block(8, "89"))}));
}

TEST_F(Sending, TheQueueNamesTheStationsToReach)
{
    rig.queue(rig.file("a", "1"), "111");
    rig.queue(rig.file("b", "2"), "222");
    rig.queue(rig.file("c", "3"), "111");
    rig.run(10);
    // Each walk queues every ready row again; a number stands once, last
    // where its last row was queued.
    EXPECT_EQ(rig.protikus().getStations(), std::vector<std::string>({"222", "111"}));
    EXPECT_EQ(sender().getQueue().size(), 3u);
    // Names are what follows the last "/": other bytes are the name's own.
    EXPECT_EQ(VPerifSendingFile::FileNameOf("/x/y:z\\name.txt"), "y:z\\name.txt");
    EXPECT_EQ(VPerifSendingFile::FileNameOf("plain"), "plain");
    // A removed row takes one entry of its number away.
    rig.engine.removeSendFile(0);
    rig.run(10);
    EXPECT_EQ(rig.protikus().getStations(), std::vector<std::string>({"222"}));
    EXPECT_EQ(sender().getQueue().size(), 2u);
    // Also a row that was never queued.
    rig.engine.addSendFile(rig.file("d", "4"), "222");
    rig.run(10);
    rig.engine.removeSendFile(rig.engine.getSendList().getCount() - 1);
    rig.run(10);
    EXPECT_TRUE(rig.protikus().getStations().empty());
    EXPECT_EQ(sender().getQueue().size(), 2u);
}
