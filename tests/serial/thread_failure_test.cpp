// A port whose threads cannot be made, and the write thread's own
// queueing of writes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cerrno>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "serial/comm_messages.h"
#include "serial/port_threads.h"
#include "serial/termios_port.h"
#include "serial/vtscomm32.h"
#include "tests/serial/pty_peer.h"
#include "tests/support/qt_app.h"

using SerialTest::ProcessFor;
using SerialTest::ProcessUntil;
using SerialTest::TPtyPeer;

namespace {

// Starts threads as std::thread does, except the one numbered failAt
// (0 the read thread, 1 the write thread of an opening), which fails as
// a system out of threads does.
std::function<std::thread(std::function<void()>)> FailingStarter(int failAt)
{
    auto count = std::make_shared<int>(0);
    return [count, failAt](std::function<void()> body) {
        if ((*count)++ == failAt)
            throw std::system_error(EAGAIN, std::generic_category(), "pthread_create");
        return std::thread(std::move(body));
    };
}

}  // namespace

TEST(PortThreads, AThreadThatCannotBeMadeRaisesECommsErrorAndLeavesThePortFailed)
{
    TestSupport::App();
    const struct {
        int failAt;
        const char* message;
    } cases[] = {
        {0, "Unable to create Read thread"},
        {1, "Unable to create Write thread"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TPtyPeer peer;
        std::vector<TCommState> states;  // outlives the component's last report
        TVTSComm32 comm;
        comm.SetOnStateChange([&](VTixCommunicationComponent*, TCommState s) { states.push_back(s); });
        comm.SetAutoReconnect(false);
        comm.SetCommPort(peer.SlavePath());
        ProcessFor(20);
        states.clear();

        comm.SetThreadStarter(FailingStarter(c.failAt));
        std::string message;
        try {
            comm.StartComm();
        } catch (const ECommsError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.message);
        EXPECT_FALSE(comm.Connected());
        EXPECT_EQ(comm.ConnectionState(), CommStateFailed);
        ASSERT_TRUE(ProcessUntil([&] { return !states.empty(); }));
        EXPECT_EQ(states, std::vector<TCommState>{CommStateFailed});
        char byte = 'A';
        EXPECT_FALSE(comm.WriteCommData(&byte, 1));  // no write thread

        // A setting that opens the port reports the same failure only
        // through the state.
        comm.SetThreadStarter(FailingStarter(c.failAt));
        states.clear();
        EXPECT_NO_THROW(comm.SetAutoReconnect(true));
        EXPECT_EQ(comm.ConnectionState(), CommStateFailed);
        comm.SetAutoReconnect(false);

        // With threads to be had the port opens again and works.
        comm.SetThreadStarter(nullptr);
        ASSERT_TRUE(comm.StartComm());
        peer.StartReader(false);  // after the closings, which hang its end up
        EXPECT_TRUE(comm.WriteCommData("AT\r"));
        ASSERT_TRUE(ProcessUntil([&] { return peer.ReceivedSize() >= 3; }));
        EXPECT_EQ(peer.Received(), "AT\r");
        ASSERT_TRUE(ProcessUntil([&] { return !states.empty() && states.back() == CommStateConnected; }));
    }
}

TEST(PortThreads, TheWriteThreadQueuesItsOwnWrites)
{
    TestSupport::App();
    TPtyPeer peer;
    peer.StartReader(false);
    auto session = std::make_shared<Serial::TPortSession>();
    session->port = Serial::MakeTermiosPort();
    ASSERT_EQ(session->port->Open(peer.SlavePath()), 0);
    {
        TVTSComm32 settings;
        Serial::TDCB dcb;
        settings.UpdateDCB3(dcb);
        ASSERT_EQ(session->port->Configure(dcb), 0);
    }
    QObject receiver;
    session->poster = std::make_shared<Serial::TCommPoster>(&receiver);
    Serial::TWriteThread writer(session);

    const struct {
        const char* name;
        bool slow;
        const char* bytes;  // null: no buffer
        uint16_t length;
        bool queued;
    } cases[] = {
        {"a command", false, "AT\r", 3, true},
        {"nothing, as an empty write", false, nullptr, 0, true},
        {"a length without bytes", false, nullptr, 3, false},
        {"slowly", true, "ATE0\r", 5, true},
        {"slowly without bytes", true, nullptr, 2, false},
        {"slowly nothing", true, "", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool queued = c.slow ? writer.WriteCommSlow(c.bytes, c.length) : writer.WriteComm(c.bytes, c.length);
        EXPECT_EQ(queued, c.queued);
    }
    ASSERT_TRUE(ProcessUntil([&] { return peer.ReceivedSize() >= 8; }));
    EXPECT_EQ(peer.Received(), "AT\rATE0\r");

    // Slow bytes leave with a pause of at least 1 ms after each.
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(writer.WriteCommSlow("0123456789", 10));
    ASSERT_TRUE(ProcessUntil([&] { return peer.ReceivedSize() >= 18; }));
    EXPECT_GE(timer.elapsed(), 9);
    EXPECT_EQ(peer.Received(), "AT\rATE0\r0123456789");

    // Once the thread has ended nothing more is queued.
    session->closeEvent.Set();
    ASSERT_TRUE(writer.Finish(5000));
    EXPECT_FALSE(writer.WriteComm("AT\r", 3));
    EXPECT_FALSE(writer.WriteCommSlow("AT\r", 3));
    session->poster->Detach();
}
