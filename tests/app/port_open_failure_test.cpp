// The main window's port button on a port that cannot be opened: a
// missing device, and a port whose threads cannot be made.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <cerrno>
#include <system_error>
#include <thread>

#include "tests/app/main_window_fixture.h"

using namespace MainWindowTest;
using Platform::FromQString;

namespace {

struct PortOpenFailure : TMainWindowFixture {
    std::string LabelComm() { return FromQString(w().LabelComm->text()); }
};

// Starts threads as std::thread does, except the failAt-th of each
// opening (0 the read thread, 1 the write thread).
std::function<std::thread(std::function<void()>)> FailingStarter(int failAt)
{
    auto count = std::make_shared<int>(0);
    return [count, failAt](std::function<void()> body) {
        if ((*count)++ % 2 == failAt)
            throw std::system_error(EAGAIN, std::generic_category(), "pthread_create");
        return std::thread(std::move(body));
    };
}

}  // namespace

TEST_F(PortOpenFailure, TheButtonShowsAThreadFailureAsAnyFailedOpening)
{
    Make(false);
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    const struct {
        const char* name;
        bool missingDevice;
        int failAt;  // -1: threads are made
    } cases[] = {
        {"a device that is not there", true, -1},
        {"no read thread", false, 0},
        {"no write thread", false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Open, then closed by the button: the port is freed.
        w().VTSComm321->SetThreadStarter(nullptr);
        w().VTSComm321->SetAutoReconnect(true);
        w().VTSComm321->SetCommPort(sim->PtyPath());
        ASSERT_TRUE(w().VTSComm321->Connected());
        w().BtnDisConClick();
        ASSERT_TRUE(RunUntil([&] { return LabelComm() == Cz("Port uvolněn"); }, 5000)) << LabelComm();

        if (c.missingDevice)
            w().VTSComm321->SetCommPort(home + "/no-such-device");
        if (c.failAt >= 0)
            w().VTSComm321->SetThreadStarter(FailingStarter(c.failAt));
        EXPECT_NO_THROW(w().BtnDisConClick());
        EXPECT_FALSE(w().VTSComm321->Connected());
        ASSERT_TRUE(RunUntil([&] { return LabelComm() == Cz("Port blokován"); }, 5000)) << LabelComm();
        EXPECT_EQ(w().LabelComm->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        EXPECT_EQ(FromQString(w().BtnDisCon->text()), Cz("Připojit"));
        EXPECT_TRUE(w().ComboComm->isEnabled());
        EXPECT_TRUE(boxes.empty());  // nothing more is said than for any failed opening
    }
    // With threads again the button opens the port.
    w().VTSComm321->SetThreadStarter(nullptr);
    w().VTSComm321->SetCommPort(sim->PtyPath());
    if (!w().VTSComm321->Connected())
        w().BtnDisConClick();
    EXPECT_TRUE(w().VTSComm321->Connected());
}
