// Two stations of this program in one data call over a frame link that
// loses, damages and drops frames on purpose: whatever the link does, the
// files arrive byte for byte, the rows end sent and received, and the
// repeats of each kind of frame show how the loss was made good.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "tests/engine/frame_link.h"
#include "tests/support/files.h"

namespace {

using K = TFrameFilter;

// 5000 bytes of CR LF text whose lines end as result codes do ("3", "NO
// CARRIER"), hold the escape "+++" and bytes that look like frame starts.
std::string TrickyText()
{
    std::string text;
    std::string high;
    for (int b = 0x80; b <= 0x8F; ++b)
        high += char(b);
    for (int i = 0; text.size() < 5000; ++i) {
        switch (i % 4) {
        case 0: text += "line " + std::to_string(i) + " counts to 3\r\n"; break;
        case 1: text += "NO CARRIER\r\n"; break;
        case 2: text += "+++\r\n"; break;
        default: text += high + "\r\n"; break;
        }
    }
    text.resize(5000);
    return text;
}

struct TFile {
    std::string name;
    std::string bytes;
};

// Queues the files at `from` for the other station; the rows.
std::vector<VListItemFile*> QueueAll(TTransferRig& from, const std::string& to, const std::vector<TFile>& files)
{
    std::vector<VListItemFile*> rows;
    for (const TFile& f : files)
        rows.push_back(from.queue(from.file(f.name, f.bytes), to));
    return rows;
}

bool AllSent(const std::vector<VListItemFile*>& rows)
{
    for (const VListItemFile* r : rows)
        if (r->getState() != 3)
            return false;
    return true;
}

bool AllReceived(TTransferRig& at, size_t count)
{
    if (at.receivedCount() != int(count))
        return false;
    for (int i = 0; i < at.receivedCount(); ++i)
        if (at.received(i)->getState() != 7)
            return false;
    return true;
}

// Each received row of `at` holds the file of the same place in `files`:
// saved, it reads back byte for byte and shows "saved".
void ExpectArrived(TTransferRig& at, const std::vector<TFile>& files, const std::string& what)
{
    ASSERT_EQ(at.receivedCount(), int(files.size())) << what;
    for (size_t i = 0; i < files.size(); ++i) {
        VListItemFile* r = at.received(int(i));
        EXPECT_EQ(r->getPath(), files[i].name) << what;
        EXPECT_EQ(r->getSize(), int64_t(files[i].bytes.size())) << what;
        EXPECT_EQ(r->getProgress(), int64_t(files[i].bytes.size())) << what;
        const std::string target = at.dir.File("saved-" + files[i].name);
        ASSERT_TRUE(r->save(target)) << what;
        EXPECT_EQ(r->getState(), 8) << what;
        EXPECT_TRUE(TestSupport::ReadFile(target) == files[i].bytes) << what << ": " << files[i].name;
    }
}

}  // namespace

TEST(TransferLink, FilesArriveWholeWhateverTheLinkDoesToTheFrames)
{
    const TFile text{"tricky.txt", TrickyText()};
    const TFile seeded{"seeded.bin", SeededBytes(20000, 7)};
    const int seededBlocks = 20000 / 8;
    struct TCase {
        const char* what;
        std::vector<TFile> files;
        std::function<void(TFrameLink&)> filters;
        std::function<void(TFrameLink&)> check;
        // The clock at the start: the lossy run crosses the wrap of the
        // 32-bit tick half-way.
        uint32_t start = 100000;
    };
    const std::vector<TCase> cases = {
        {"lossless", {text, seeded}, [](TFrameLink&) {},
         [&](TFrameLink& l) {
             // Every Block once, every Ack once, one End and one Complete
             // per file; no frame repeated.
             EXPECT_EQ(l.toCallee.seen[0x42], 5000 / 8 + seededBlocks);
             EXPECT_EQ(l.toCaller.seen[K::Ack], 5000 / 8 + seededBlocks);
             EXPECT_EQ(l.toCallee.seen[0x40], 2);
             EXPECT_EQ(l.toCallee.seen[0x43], 2);
             EXPECT_EQ(l.toCallee.seen[0x41], 2);
             EXPECT_EQ(l.toCaller.seen[K::Complete], 2);
             // One Block each 40 ms of the 32 ms the callee asks for.
             EXPECT_LT(l.elapsed(), uint32_t((5000 / 8 + seededBlocks) * 40 + 15000));
         }},
        {"5% loss both ways", {text, seeded},
         [](TFrameLink& l) { l.toCallee.lossPercent = l.toCaller.lossPercent = 5; },
         [&](TFrameLink& l) {
             EXPECT_GT(l.toCallee.lost[0x42], 100);
             EXPECT_GT(l.toCaller.lost[K::Ack], 100);
             EXPECT_GT(l.toCallee.seen[0x42], 5000 / 8 + seededBlocks + 100) << "lost Blocks went again";
         },
         0xFFFFFFFFu - 60000},
        {"5% corruption both ways", {seeded},
         [](TFrameLink& l) { l.toCallee.corruptPercent = l.toCaller.corruptPercent = 5; },
         [&](TFrameLink& l) {
             EXPECT_GT(l.toCallee.damaged[0x42], 50);
             EXPECT_GT(l.toCaller.damaged[K::Ack], 50);
         }},
        {"a raised length byte", {seeded},
         [](TFrameLink& l) { l.toCallee.raiseNth[0x42] = 100; },
         [&](TFrameLink& l) {
             EXPECT_EQ(l.toCallee.damaged[0x42], 1);
             // The raised Block went again.
             EXPECT_GE(l.toCallee.seen[0x42], seededBlocks + 1);
         }},
        {"the last Block dropped", {seeded},
         [&](TFrameLink& l) { l.toCallee.dropNth[0x42] = seededBlocks; },
         [&](TFrameLink& l) {
             EXPECT_EQ(l.toCallee.lost[0x42], 1);
             // Found missing at End, served before End again.
             EXPECT_EQ(l.toCallee.seen[0x42], seededBlocks + 1);
             EXPECT_EQ(l.toCallee.seen[0x41], 2);
         }},
        {"the Complete dropped", {seeded},
         [](TFrameLink& l) { l.toCaller.dropNth[K::Complete] = 1; },
         [&](TFrameLink& l) {
             // End again; the idle receiver answers it with Complete.
             EXPECT_EQ(l.toCallee.seen[0x41], 2);
             EXPECT_EQ(l.toCaller.seen[K::Complete], 2);
             EXPECT_EQ(l.callee.receivedCount(), 1);
         }},
    };
    for (const TCase& c : cases) {
        TFrameLink link(c.start);
        const auto rows = QueueAll(link.caller, TFrameLink::CalleeNumber, c.files);
        ASSERT_TRUE(link.connect()) << c.what;
        c.filters(link);
        ASSERT_TRUE(link.runUntil([&] { return AllSent(rows) && AllReceived(link.callee, c.files.size()); }, 600000))
            << c.what << ": " << link.callee.receivedCount() << " received, first row " << rows[0]->getState();
        // Both calls still stand: nothing in the data ended them.
        EXPECT_EQ(link.caller.engine.getMode(), 3) << c.what;
        EXPECT_EQ(link.callee.engine.getMode(), 3) << c.what;
        EXPECT_FALSE(link.caller.sender().isBusy()) << c.what;
        EXPECT_FALSE(link.callee.receiver().isBusy()) << c.what;
        c.check(link);
        ExpectArrived(link.callee, c.files, c.what);
        // Nothing but the temporary files went to the receiving station.
        for (const std::string& f : link.callee.filesBelow())
            EXPECT_TRUE(f.rfind("saved-", 0) == 0 || f.rfind("in/tixu", 0) == 0) << f;
    }
}

TEST(TransferLink, BothStationsSendAtOnce)
{
    TFrameLink link;
    const std::vector<TFile> up = {{"up.bin", SeededBytes(3000, 3)}};
    const std::vector<TFile> down = {{"down.txt", TrickyText().substr(0, 2000)}};
    const auto upRows = QueueAll(link.caller, TFrameLink::CalleeNumber, up);
    const auto downRows = QueueAll(link.callee, TFrameLink::CallerNumber, down);
    ASSERT_TRUE(link.connect());
    link.toCallee.lossPercent = link.toCaller.lossPercent = 5;
    // Both offer before either accepted.
    ASSERT_TRUE(link.runUntil([&] { return link.caller.sender().isBusy() && link.callee.sender().isBusy(); }, 2000));
    ASSERT_TRUE(link.runUntil(
        [&] {
            return AllSent(upRows) && AllSent(downRows) && AllReceived(link.callee, 1) && AllReceived(link.caller, 1);
        },
        300000));
    ExpectArrived(link.callee, up, "up");
    ExpectArrived(link.caller, down, "down");
}
