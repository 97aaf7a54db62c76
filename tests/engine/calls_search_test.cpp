// The call handler's searches for a row to ring on and a row to talk on.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/engine/calls_rig.h"

TEST(CallsSearch, RowsToRingAndToTalkOn)
{
    const std::string ringMessage = "VPerifModem::VPerifCalls::findFirstCanRing: Tak tomu nerozumim.";
    const std::string talkMessage = "VPerifModem::VPerifCalls::findFirstCanTalk: Tak tomu nerozumim.";
    const struct {
        const char* states;  // rows 0-7
        int ring;
        bool ringMessage;
        int talk;
        bool talkMessage;
    } cases[] = {
        {"0 0 0 0 0 0 0 0", 0, false, 0, true},     // all free: nobody to talk to
        {"0 0 6 0 0 0 0 0", 2, false, 2, false},    // alerting
        {"7 3 0 1 0 0 0 0", 3, false, 1, false},    // calling rings, active talks
        {"3 0 0 0 0 0 0 0", 1, false, 0, false},    // the active row rings on the free one
        {"2 0 0 0 0 0 0 0", 1, false, 1, true},     // connecting counts for neither
        {"4 4 7 4 4 4 4 4", 2, true, 2, true},      // only a busy row: the fallback
        {"7 7 7 7 7 7 7 6", 7, false, 7, false},    // the last row alerting
        {"4 4 4 4 4 4 4 4", 0, true, 0, true},      // nothing fits: row 0
        {"-1 -1 -1 -1 -1 -1 -1 -1", 0, true, 0, true},
        {"5 5 5 5 5 5 5 1", 7, false, 7, false},    // waiting calls count for neither
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.states);
        TCallsRig rig;
        rig.settle();
        std::istringstream in(c.states);
        for (int i = 0; i < VPerifCalls::RowCount; ++i) {
            int s = 0;
            in >> s;
            rig.calls().row(i).setState(s);
        }
        ASSERT_EQ(rig.states(), c.states);
        rig.window.messages.clear();

        EXPECT_EQ(rig.calls().findFirstCanRing(), c.ring);
        ASSERT_EQ(rig.window.messages.size(), c.ringMessage ? 1u : 0u);
        if (c.ringMessage) {
            EXPECT_EQ(rig.window.messages[0].text, ringMessage);
            EXPECT_EQ(rig.window.messages[0].flags, 48);
        }
        rig.window.messages.clear();

        EXPECT_EQ(rig.calls().findFirstCanTalk(), c.talk);
        ASSERT_EQ(rig.window.messages.size(), c.talkMessage ? 1u : 0u);
        if (c.talkMessage) {
            EXPECT_EQ(rig.window.messages[0].text, talkMessage);
            EXPECT_EQ(rig.window.messages[0].flags, 48);
        }
        // Searching changes no row.
        EXPECT_EQ(rig.states(), c.states);
    }
}
