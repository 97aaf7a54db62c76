// A station of the previous release (tests/engine/previous_transfer.h) and
// one of this release in one data call, over a frame link with a GSM
// round trip, loss and frames overtaking each other: files go both ways,
// byte for byte, whichever station calls, and at once in both directions.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "tests/engine/frame_link.h"
#include "tests/support/files.h"

namespace {

// The received row `i` of `at` saved holds `bytes`.
bool ArrivedWhole(TTransferRig& at, int i, const std::string& name, const std::string& bytes)
{
    if (at.receivedCount() <= i)
        return false;
    VListItemFile* row = at.received(i);
    const std::string target = at.dir.File("saved-" + name);
    return row->getState() == 7 && row->getPath() == name && row->save(target) && TestSupport::ReadFile(target) == bytes;
}

void Shape(TFrameLink& link, uint32_t delay, int loss)
{
    for (TFrameFilter* f : {&link.toCallee, &link.toCaller}) {
        f->delayMs = delay;
        f->lossPercent = loss;
        f->reorderPercent = 2;
        f->reorderMs = 200;
    }
}

}  // namespace

TEST(TransferReleases, FilesGoBothWaysBetweenThePreviousAndThisRelease)
{
    struct TCase {
        const char* what;
        bool callerPrevious;  // else the called station runs the previous release
        bool fromCaller;      // the caller sends, else the called station
    };
    const TCase cases[] = {
        {"previous caller sends to this release", true, true},
        {"this release's caller sends to the previous", false, true},
        {"previous called station sends to this release", false, false},
        {"this release's called station sends to the previous", true, false},
    };
    const std::string bytes = SeededBytes(4000, 17);
    for (const TCase& c : cases) {
        TFrameLink link;
        (c.callerPrevious ? link.caller : link.callee).usePreviousRelease();
        TTransferRig& from = c.fromCaller ? link.caller : link.callee;
        TTransferRig& to = c.fromCaller ? link.callee : link.caller;
        VListItemFile* row = from.queue(from.file("both.bin", bytes),
                                        c.fromCaller ? TFrameLink::CalleeNumber : TFrameLink::CallerNumber);
        // A caller with nothing to send calls all the same.
        if (!c.fromCaller)
            link.caller.protikus().addStation(TFrameLink::CalleeNumber);
        ASSERT_TRUE(link.connect()) << c.what;
        Shape(link, 300, 3);
        ASSERT_TRUE(link.runUntil([&] { return row->getState() == 3 && to.receivedCount() == 1 && to.received(0)->getState() == 7; },
                                  1200000))
            << c.what << ": sent row " << row->getState() << ", received " << to.receivedCount();
        EXPECT_TRUE(ArrivedWhole(to, 0, "both.bin", bytes)) << c.what;
        EXPECT_GT(link.toCallee.lost[0x42] + link.toCaller.lost[0x42], 0) << c.what << ": the link lost nothing";
        EXPECT_FALSE(link.caller.sender().isBusy()) << c.what;
        EXPECT_FALSE(link.callee.receiver().isBusy()) << c.what;
        EXPECT_EQ(link.caller.engine.getMode(), 3) << c.what;
    }
}

TEST(TransferReleases, BothReleasesSendAtOnce)
{
    TFrameLink link;
    link.callee.usePreviousRelease();
    const std::string up = SeededBytes(3000, 3);
    const std::string down = SeededBytes(2000, 4);
    VListItemFile* upRow = link.caller.queue(link.caller.file("up.bin", up), TFrameLink::CalleeNumber);
    VListItemFile* downRow = link.callee.queue(link.callee.file("down.bin", down), TFrameLink::CallerNumber);
    ASSERT_TRUE(link.connect());
    Shape(link, 300, 5);
    ASSERT_TRUE(link.runUntil(
        [&] {
            return upRow->getState() == 3 && downRow->getState() == 3 && link.callee.receivedCount() == 1 &&
                   link.caller.receivedCount() == 1 && link.callee.received(0)->getState() == 7 &&
                   link.caller.received(0)->getState() == 7;
        },
        1200000));
    EXPECT_TRUE(ArrivedWhole(link.callee, 0, "up.bin", up));
    EXPECT_TRUE(ArrivedWhole(link.caller, 0, "down.bin", down));
}
