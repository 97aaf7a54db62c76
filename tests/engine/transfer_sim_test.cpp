// A file from a GM22 station to an M20 station over two linked simulated
// devices, in real time: the queued file makes the caller dial, the called
// station answers, both exchange who they are, the file goes over, and the
// idle caller escapes with "+++" and hangs up.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_calls.h"
#include "engine/perif_protikus.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"
#include "tests/engine/engine_on_sim.h"
#include "tests/engine/linked_stations.h"
#include "tests/support/files.h"

using EngineTest::Both;
using EngineTest::Numbered;
using EngineTest::RowsFree;
using EngineTest::RunBoth;
using EngineTest::TEngineOnSim;
using ModemSim::TProfile;
using W = VMainWindowLink;

namespace {

// The line rate plays no part here: the M20 takes any.
TProfile AnyRate(TProfile p)
{
    p.baud = 0;
    return p;
}

}  // namespace

TEST(TransferOnSim, AHundredBytesFromAGm22ToAnM20)
{
    TestSupport::TempDir dir("transfer-sim");
    std::filesystem::create_directory(dir.File("in"));
    std::string bytes;
    for (int i = 0; i < 100; ++i)
        bytes += char(i * 37 + 11);
    const std::string source = dir.File("hundred.bin");
    ASSERT_TRUE(TestSupport::WriteFile(source, bytes));

    TEngineOnSim caller(AnyRate(Numbered("gm22", "+420601000001")));
    TEngineOnSim callee(AnyRate(Numbered("m20", "+420601000002")));
    callee.window.texts[W::EditPIN] = "0000";
    callee.window.answers = {W::IDYES};
    callee.window.tempDir = dir.File("in");
    ModemSim::TModemSim::Link(caller.Sim(), callee.Sim());
    std::string error;
    ASSERT_TRUE(caller.Boot(&error)) << error;
    ASSERT_TRUE(callee.Boot(&error)) << error;
    VPerifModem& cm = caller.Engine().getHandlers();
    VPerifModem& em = callee.Engine().getHandlers();
    auto ready = [&] {
        return caller.Engine().getState() == 0 && callee.Engine().getState() == 0 && RowsFree(caller) &&
               RowsFree(callee) && !cm.isBusy() && !em.isBusy();
    };
    ASSERT_TRUE(RunBoth(caller, callee, ready, 60000))
        << caller.Engine().getMissing() << " / " << callee.Engine().getMissing() << "\n"
        << Both(caller, callee);

    // The page's send button: the queued file names the station to call.
    caller.Engine().addSendFile(source, "+420601000002");
    caller.Engine().walkSendList(true);
    VListItemFile* row = caller.Engine().getSendList().getItem(0);
    ASSERT_EQ(row->getState(), 1);
    EXPECT_EQ(cm.protikus().getStations(), std::vector<std::string>{"+420601000002"});
    ASSERT_TRUE(RunBoth(caller, callee, [&] { return em.calls().row(0).state == 6; }, 15000))
        << Both(caller, callee);
    em.calls().setAnswerPending(true);

    auto arrived = [&] {
        const VListViewFile& in = callee.Engine().getReceivedList();
        return row->getState() == 3 && in.getCount() == 1 && in.getItem(0)->getState() == 7;
    };
    ASSERT_TRUE(RunBoth(caller, callee, arrived, 60000))
        << "sent row " << row->getState() << "\n" << Both(caller, callee);
    VListItemFile* received = callee.Engine().getReceivedList().getItem(0);
    EXPECT_EQ(received->getPath(), "hundred.bin");
    EXPECT_EQ(received->getPeerNumber(), "+420601000001");
    EXPECT_EQ(received->getSize(), 100);
    const std::string target = dir.File("saved.bin");
    ASSERT_TRUE(received->save(target));
    EXPECT_EQ(received->getState(), 8);
    EXPECT_TRUE(TestSupport::ReadFile(target) == bytes);

    // Nothing more to do: the caller ends the call.
    auto ended = [&] {
        return RowsFree(caller) && RowsFree(callee) && caller.Engine().getMode() == 0 &&
               callee.Engine().getMode() == 0;
    };
    ASSERT_TRUE(RunBoth(caller, callee, ended, 30000)) << Both(caller, callee);
    std::string sent;
    for (const auto& e : caller.Sim().Transcript().Entries())
        if (e.direction == ModemSim::TDirection::Received)
            sent += e.data;
    EXPECT_NE(sent.find("+++ATH\r"), std::string::npos) << Both(caller, callee);
    EXPECT_EQ(row->getState(), 3);
    EXPECT_FALSE(cm.sendingFile().isBusy());
    EXPECT_FALSE(em.receivingFile().isBusy());
}
