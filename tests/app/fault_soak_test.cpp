// The whole program for a minute and a half against a device that drops,
// delays and refuses answers, announces what is gone and rings without a
// number, with a scripted user: nothing floods the device, every action
// ends and shows how, every handler is ready again, nothing crashes.
#include <gtest/gtest.h>

#include "tests/app/fault_soak.h"
#include "tests/support/qt_app.h"

TEST(FaultSoak, NinetySecondsOfAMisbehavingDevice)
{
    TestSupport::App();
    Soak::TSoakOptions options;
    options.seed = 20261211;
    options.actingMs = 90000;
    options.drainMs = 60000;
    options.transcriptFile = std::string(ZELVITOR_TEST_BUILD_DIR) + "/fault_soak_transcript.txt";
    const Soak::TSoakReport report = Soak::RunFaultSoak(options);
    const std::string text = report.ToText();
    std::printf("%s", text.c_str());
    ASSERT_TRUE(report.started) << text;
    EXPECT_LE(report.worst.count, 6) << text;
    EXPECT_GT(report.faultsFired, 5) << text;
    EXPECT_EQ(report.Hanging(), 0) << text;
    int actions = 0;
    for (const auto& a : report.actions) {
        actions += a.done + a.failed + a.hanging;
        EXPECT_LE(a.longestMs, 90000) << a.kind << "\n" << text;
    }
    EXPECT_EQ(actions, 6) << text;  // four in the first minute, two in the half minute after
    for (const auto& h : report.handlers) {
        EXPECT_TRUE(h.readyAtEnd) << h.name << "\n" << text;
        EXPECT_LE(h.longestMs, 60000) << h.name << "\n" << text;
    }
}
