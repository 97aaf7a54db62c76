// Data through the serial port component over a pseudo-terminal.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <cerrno>
#include <sys/resource.h>
#include <vector>

#include "serial/comm_messages.h"
#include "serial/test_port.h"
#include "serial/vtscomm32.h"
#include "tests/serial/pty_peer.h"
#include "tests/support/qt_app.h"

using SerialTest::ProcessFor;
using SerialTest::ProcessUntil;
using SerialTest::TPtyPeer;

namespace {

// Records what a component reports.
struct Recorder {
    std::string data;
    std::vector<uint16_t> chunks;
    std::vector<TCommState> states;
    bool zeroAfterEachChunk = true;

    void Attach(TVTSComm32& comm)
    {
        comm.SetReceiveDataEvent([this](VTixCommunicationComponent*, const char* buffer, uint16_t length) {
            data.append(buffer, length);
            chunks.push_back(length);
            if (buffer[length] != 0)
                zeroAfterEachChunk = false;
        });
        comm.SetOnStateChange([this](VTixCommunicationComponent*, TCommState state) { states.push_back(state); });
    }
    int Count(TCommState state) const
    {
        int n = 0;
        for (TCommState s : states)
            n += s == state;
        return n;
    }
};

// Counts the messages that reach a component's hidden receiver.
class MessageCounter : public QObject {
public:
    MessageCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~MessageCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == Serial::TCommMessage::DataType() || e->type() == Serial::TCommMessage::OtherType()) {
            auto* m = static_cast<Serial::TCommMessage*>(e);
            ++total;
            if (m->kind == Serial::TCommMessage::Hangup) {
                ++hangups;
                if (onHangup)
                    onHangup(*m);
            }
        }
        return QObject::eventFilter(watched, e);
    }
    int total = 0;
    int hangups = 0;
    std::function<void(Serial::TCommMessage&)> onHangup;
};

double CpuSeconds()
{
    rusage r {};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

class SerialIo : public ::testing::Test {
protected:
    void SetUp() override { TestSupport::App(); }
};

TEST_F(SerialIo, CommandArrivesByteForByteWithZeroAfterBuffer)
{
    TPtyPeer peer;
    Recorder rec;
    TVTSComm32 comm;
    rec.Attach(comm);
    comm.SetCommPort(peer.SlavePath());  // AutoReconnect opens it
    ASSERT_TRUE(comm.Connected());
    ASSERT_TRUE(ProcessUntil([&] { return !rec.states.empty() && rec.states.back() == CommStateConnected; }));

    peer.Write("AT\r");
    ASSERT_TRUE(ProcessUntil([&] { return rec.data.size() >= 3; }));
    EXPECT_EQ(rec.data, std::string("\x41\x54\x0D"));
    EXPECT_TRUE(rec.zeroAfterEachChunk);
    // A pseudo-terminal has no modem lines; that is no failure.
    EXPECT_EQ(comm.GetModemState(), 0u);
    EXPECT_TRUE(comm.Connected());
    EXPECT_EQ(comm.ConnectionState(), CommStateConnected);
}

TEST_F(SerialIo, FiveThousandBytesArriveWholeAndInOrder)
{
    TPtyPeer peer;
    Recorder rec;
    TVTSComm32 comm;
    rec.Attach(comm);
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(comm.Connected());

    std::string sent;
    for (int i = 0; i < 5000; ++i)
        sent += static_cast<char>((i * 7 + i / 256) & 0xFF);
    peer.Write(sent);
    ASSERT_TRUE(ProcessUntil([&] { return rec.data.size() >= sent.size(); }));
    EXPECT_EQ(rec.data, sent);
    EXPECT_GE(rec.chunks.size(), 3u);  // never more than 2048 bytes per read
    for (uint16_t n : rec.chunks) {
        EXPECT_GE(n, 1);
        EXPECT_LE(n, 2048);
    }
    EXPECT_TRUE(rec.zeroAfterEachChunk);
}

TEST_F(SerialIo, WritesReachThePeerInOrder)
{
    TPtyPeer peer;
    peer.StartReader(false);
    TVTSComm32 comm;
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(comm.Connected());
    EXPECT_TRUE(comm.WriteCommData("AT+CGMI\r"));
    EXPECT_TRUE(comm.WriteCommData("", 0));  // completes as an empty write
    EXPECT_TRUE(comm.WriteCommData(std::string("AT\r")));
    EXPECT_TRUE(comm.WriteCommDataSlow("ATE0\r", 5));
    ASSERT_TRUE(ProcessUntil([&] { return peer.ReceivedSize() >= 16; }));
    EXPECT_EQ(peer.Received(), "AT+CGMI\rAT\rATE0\r");
}

TEST_F(SerialIo, BadWritesAreRefused)
{
    TPtyPeer peer;
    TVTSComm32 comm;
    char byte = 'A';
    // Closed: nothing to write with.
    comm.SetAutoReconnect(false);
    EXPECT_FALSE(comm.WriteCommData(&byte, 1));
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(comm.StartComm());
    EXPECT_FALSE(comm.WriteCommData(&byte, -1));
    EXPECT_FALSE(comm.WriteCommData(nullptr, 5));
    EXPECT_FALSE(comm.WriteCommDataSlow(&byte, 0));
    EXPECT_TRUE(comm.WriteCommData(nullptr, 0));
}

TEST_F(SerialIo, ReceivedDataStillQueuedAtStopIsNeverDelivered)
{
    TPtyPeer peer;
    Serial::TModemLines lines;
    Serial::TTestPortFactory ports(lines);
    Recorder rec;
    TVTSComm32 comm;
    comm.SetPortFactory(ports.Factory());
    rec.Attach(comm);
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(comm.Connected());
    ProcessUntil([&] { return !rec.states.empty() && rec.states.back() == CommStateConnected; });

    // The read thread takes the bytes and posts them; the main thread does
    // not get to them before the port is closed.
    peer.Write("queued bytes");
    for (int i = 0; i < 1000 && ports.BytesRead() < 12; ++i)
        QThread::msleep(5);
    ASSERT_EQ(ports.BytesRead(), 12u);
    comm.StopComm();
    ProcessFor(200);
    EXPECT_TRUE(rec.data.empty());
    EXPECT_EQ(rec.states.back(), CommStateDisconnected);

    // Opened again: the old bytes stay gone, new ones come.
    ASSERT_TRUE(comm.StartComm());
    peer.Write("new");
    ASSERT_TRUE(ProcessUntil([&] { return rec.data.size() >= 3; }));
    EXPECT_EQ(rec.data, "new");
}

TEST_F(SerialIo, MissingDeviceGivesOneFailedReport)
{
    Recorder rec;
    TVTSComm32 comm;
    comm.SetAutoReconnect(false);
    rec.Attach(comm);
    ProcessFor(50);
    comm.SetCommPort("/dev/zelvitor-no-such-port");
    EXPECT_FALSE(comm.StartComm());
    EXPECT_FALSE(comm.Connected());
    EXPECT_EQ(comm.ConnectionState(), CommStateFailed);
    ProcessFor(200);
    EXPECT_EQ(rec.Count(CommStateFailed), 1);
    EXPECT_EQ(rec.states.back(), CommStateFailed);
}

TEST_F(SerialIo, FileThatIsNoTerminalIsRefused)
{
    TVTSComm32 comm;
    comm.SetAutoReconnect(false);
    comm.SetCommPort("/dev/null");
    EXPECT_FALSE(comm.StartComm());
    EXPECT_EQ(comm.ConnectionState(), CommStateFailed);
    comm.SetCommPort("/dev/tty");  // the controlling terminal, whatever it is
    EXPECT_FALSE(comm.StartComm());
    EXPECT_EQ(comm.ConnectionState(), CommStateFailed);
}

TEST_F(SerialIo, SecondComponentOnTheSamePortFails)
{
    TPtyPeer peer;
    TVTSComm32 first, second;
    first.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(first.Connected());
    second.SetAutoReconnect(false);
    second.SetCommPort(peer.SlavePath());
    EXPECT_FALSE(second.StartComm());
    EXPECT_EQ(second.ConnectionState(), CommStateFailed);
    EXPECT_TRUE(first.Connected());
    first.StopComm();
    EXPECT_TRUE(second.StartComm());
}

TEST_F(SerialIo, PeerHangUpGivesOneFailedReportAndNoBusyLoop)
{
    auto peer = std::make_unique<TPtyPeer>();
    Recorder rec;
    TVTSComm32 comm;
    rec.Attach(comm);
    comm.SetCommPort(peer->SlavePath());
    ASSERT_TRUE(comm.Connected());
    ASSERT_TRUE(ProcessUntil([&] { return !rec.states.empty() && rec.states.back() == CommStateConnected; }));

    peer->CloseMaster();
    ASSERT_TRUE(ProcessUntil([&] { return !rec.states.empty() && rec.states.back() == CommStateFailed; }));
    EXPECT_FALSE(comm.Connected());
    EXPECT_EQ(comm.ConnectionState(), CommStateFailed);

    // Nothing more arrives, and nothing spins.
    MessageCounter counter;
    const double cpuBefore = CpuSeconds();
    ProcessFor(1000);
    const double cpu = CpuSeconds() - cpuBefore;
    EXPECT_EQ(counter.hangups, 0);
    EXPECT_EQ(rec.Count(CommStateFailed), 1);
    EXPECT_LT(cpu, 0.5);
}

TEST_F(SerialIo, StaleLossReportNeverClosesAPortOpenedAgain)
{
    TPtyPeer first, second;
    Recorder rec;
    TVTSComm32 comm;
    rec.Attach(comm);
    comm.SetCommPort(first.SlavePath());
    ASSERT_TRUE(comm.Connected());

    // When the loss report of the first port is about to be handled, the
    // component has already moved to the second port.
    MessageCounter counter;
    bool switched = false;
    counter.onHangup = [&](Serial::TCommMessage&) {
        if (!switched) {
            switched = true;
            comm.SetCommPort(second.SlavePath());
        }
    };
    first.CloseMaster();
    ASSERT_TRUE(ProcessUntil([&] { return switched; }));
    ProcessFor(300);
    EXPECT_TRUE(comm.Connected());
    EXPECT_EQ(rec.Count(CommStateFailed), 0);
    second.Write("OK\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return rec.data == "OK\r\n"; }));
}

TEST_F(SerialIo, RestartOfAnOpenPortReportsNothing)
{
    TPtyPeer peer;
    Recorder rec;
    TVTSComm32 comm;
    rec.Attach(comm);
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(ProcessUntil([&] { return !rec.states.empty() && rec.states.back() == CommStateConnected; }));
    const size_t before = rec.states.size();
    EXPECT_TRUE(comm.StartComm());
    ProcessFor(200);
    EXPECT_EQ(rec.states.size(), before);
    EXPECT_TRUE(comm.Connected());
    peer.Write("x");
    ASSERT_TRUE(ProcessUntil([&] { return rec.data == "x"; }));
}

TEST_F(SerialIo, AttachingAStateHandlerReportsTheCurrentState)
{
    TPtyPeer peer;
    Recorder rec;
    std::vector<std::pair<void*, TCommState>> advanced;
    TVTSComm32 comm;
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(comm.Connected());
    ProcessFor(100);  // reports without a handler are dropped
    rec.Attach(comm);
    ASSERT_TRUE(ProcessUntil([&] { return !rec.states.empty(); }));
    EXPECT_EQ(rec.states.front(), CommStateConnected);

    comm.SetOnAdvancedStateChange(
        [&](VTixCommunicationComponent*, void* channel, TCommState s) { advanced.push_back({channel, s}); });
    comm.StopComm();
    ASSERT_TRUE(ProcessUntil([&] { return !advanced.empty(); }));
    EXPECT_EQ(advanced.back().first, static_cast<void*>(&comm));  // the component even when "nil" is asked for
    EXPECT_EQ(advanced.back().second, CommStateDisconnected);
}

TEST_F(SerialIo, DestroyingTheComponentDeliversTheStopReport)
{
    TPtyPeer peer;
    std::vector<TCommState> states;
    {
        TVTSComm32 comm;
        comm.SetOnStateChange([&](VTixCommunicationComponent*, TCommState s) { states.push_back(s); });
        comm.SetCommPort(peer.SlavePath());
        ASSERT_TRUE(ProcessUntil([&] { return !states.empty() && states.back() == CommStateConnected; }));
    }
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back(), CommStateDisconnected);
}

TEST_F(SerialIo, HandlerMayStopThePortFromItsReceiveEvent)
{
    TPtyPeer peer;
    std::string got;
    TVTSComm32 comm;
    comm.SetReceiveDataEvent([&](VTixCommunicationComponent* sender, const char* b, uint16_t n) {
        got.append(b, n);
        static_cast<TVTSComm32*>(sender)->StopComm();
    });
    comm.SetCommPort(peer.SlavePath());
    comm.SetAutoReconnect(false);
    peer.Write("first");
    ASSERT_TRUE(ProcessUntil([&] { return !got.empty(); }));
    EXPECT_FALSE(comm.Connected());
    peer.Write("second");
    ProcessFor(200);
    EXPECT_EQ(got.find("second"), std::string::npos);
}

}  // namespace
