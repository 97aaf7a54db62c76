// Modem lines, line errors, RTS/DTR and baud switching through the test
// port, and the faults of a port that goes away.
#include <gtest/gtest.h>

#include <QThread>

#include <cerrno>
#include <string>
#include <vector>

#include "serial/test_port.h"
#include "serial/vtscomm32.h"
#include "tests/serial/pty_peer.h"
#include "tests/support/qt_app.h"

using SerialTest::ProcessFor;
using SerialTest::ProcessUntil;
using SerialTest::TPtyPeer;
using namespace Serial;

namespace {

bool WaitFor(const std::function<bool()>& cond, int timeoutMs = 10000)
{
    for (int waited = 0; !cond(); waited += 2) {
        if (waited > timeoutMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

class SerialLines : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestSupport::App();
        comm = std::make_unique<TVTSComm32>();
        comm->SetPortFactory(ports.Factory());
        comm->SetOnStateChange([this](VTixCommunicationComponent*, TCommState s) { states.push_back(s); });
    }
    void TearDown() override { comm.reset(); }

    void Open()
    {
        comm->SetCommPort(peer.SlavePath());
        ASSERT_TRUE(comm->Connected());
        ASSERT_TRUE(ProcessUntil([&] { return !states.empty() && states.back() == CommStateConnected; }));
    }
    int Count(TCommState state) const
    {
        int n = 0;
        for (TCommState s : states)
            n += s == state;
        return n;
    }

    TPtyPeer peer;
    TModemLines lines;
    TTestPortFactory ports{lines};
    std::vector<TCommState> states;
    std::vector<std::string> log;
    std::unique_ptr<TVTSComm32> comm;
};

TEST_F(SerialLines, LineEventsReachTheHandlersInTheirOrder)
{
    auto note = [this](const char* name) { return [this, name](VTixCommunicationComponent*) { log.push_back(name); }; };
    auto noteLine = [this](const char* name) {
        return [this, name](VTixCommunicationComponent*, bool on) { log.push_back(std::string(name) + (on ? "+" : "-")); };
    };
    comm->OnBreak = note("Break");
    comm->OnChangedCTS = noteLine("CTS");
    comm->OnChangedDSR = noteLine("DSR");
    comm->OnErrorFrame = note("Frame");
    comm->OnErrorOverrun = note("Overrun");
    comm->OnErrorParity = note("Parity");
    comm->OnErrorBreak = note("ErrorBreak");
    comm->OnErrorOther = [this](VTixCommunicationComponent*, uint32_t e) { log.push_back("Other" + std::to_string(e)); };
    comm->OnRing = noteLine("Ring");
    comm->OnChangedRLSD = noteLine("RLSD");
    comm->OnRxChar = note("RxChar");
    comm->OnRxFlag = note("RxFlag");
    comm->Chars().Evt = 'x';
    Open();

    // Everything changes while the read thread cannot look, so that it
    // finds all of it at once.
    ports.HoldEvents(true);
    ASSERT_TRUE(WaitFor([&] { return ports.ReadThreadHeld(); }));
    ProcessFor(50);
    log.clear();
    lines.InjectErrors(CE_BREAK | CE_FRAME | CE_OVERRUN | CE_RXPARITY | CE_RXOVER);
    lines.SetDeviceLines(MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON);
    peer.Write("x");
    ports.HoldEvents(false);
    ASSERT_TRUE(ProcessUntil([&] { return log.size() >= 12; }));
    const std::vector<std::string> expected = {"Break",  "CTS+",       "DSR+",   "Frame", "Overrun", "Parity",
                                               "ErrorBreak", "Other1", "Ring+",  "RLSD+", "RxChar",  "RxFlag"};
    EXPECT_EQ(log, expected);

    // Lines going down: each is raised once, with its new state. CTS and
    // DSR come in this order from one port event, RING and RLSD in theirs
    // from one reading of the status; but a status poll queued before the
    // drop reads the lines before the read thread reports them, so the two
    // pairs may come either way round.
    log.clear();
    lines.SetDeviceLines(0);
    ASSERT_TRUE(ProcessUntil([&] { return log.size() >= 4; }));
    ProcessFor(150);  // and nothing after them
    std::vector<std::string> fromEvent, fromStatus;
    for (const std::string& e : log)
        (e.rfind("CTS", 0) == 0 || e.rfind("DSR", 0) == 0 ? fromEvent : fromStatus).push_back(e);
    EXPECT_EQ(fromEvent, (std::vector<std::string> {"CTS-", "DSR-"}));
    EXPECT_EQ(fromStatus, (std::vector<std::string> {"Ring-", "RLSD-"}));
}

TEST_F(SerialLines, ALineChangingWhileTheThreadReadsItIsReportedWithItsNewState)
{
    comm->OnChangedCTS = [this](VTixCommunicationComponent*, bool on) { log.push_back(on ? "CTS+" : "CTS-"); };
    Open();
    ports.HoldEvents(true);
    ASSERT_TRUE(WaitFor([&] { return ports.ReadThreadHeld(); }));
    ProcessFor(50);
    // CTS comes up just after the read thread has read the status.
    ports.ChangeLinesAfterNextStatusRead(MS_CTS_ON);
    ports.HoldEvents(false);
    ASSERT_TRUE(ProcessUntil([&] { return !log.empty(); }));
    ProcessFor(250);  // the thread's next passes: nothing more
    EXPECT_EQ(log, (std::vector<std::string> {"CTS+"}));
}

TEST_F(SerialLines, RingAndDcdEachFollowTheirOwnLine)
{
    std::vector<std::string> events;
    comm->OnRing = [&](VTixCommunicationComponent*, bool on) { events.push_back(on ? "Ring+" : "Ring-"); };
    comm->OnChangedRLSD = [&](VTixCommunicationComponent*, bool on) { events.push_back(on ? "DCD+" : "DCD-"); };
    Open();
    // The read thread held, only the component's own readings of the
    // status raise the events, one step at a time.
    ports.HoldEvents(true);
    ASSERT_TRUE(WaitFor([&] { return ports.ReadThreadHeld(); }));
    ProcessFor(50);
    ASSERT_TRUE(events.empty());
    const struct {
        uint32_t lines;
        std::vector<std::string> raised;
    } steps[] = {
        {MS_RLSD_ON, {"DCD+"}},
        {MS_RLSD_ON | MS_RING_ON, {"Ring+"}},
        {MS_RING_ON, {"DCD-"}},
        {MS_RING_ON | MS_CTS_ON | MS_DSR_ON, {}},  // CTS and DSR come from port events only
        {MS_CTS_ON, {"Ring-"}},
        {MS_RING_ON | MS_RLSD_ON, {"Ring+", "DCD+"}},
        {MS_RLSD_ON, {"Ring-"}},
        {0, {"DCD-"}},
    };
    for (const auto& step : steps) {
        events.clear();
        lines.SetDeviceLines(step.lines);
        EXPECT_EQ(comm->GetModemState(), step.lines);
        EXPECT_EQ(events, step.raised) << "lines " << step.lines;
        EXPECT_EQ(comm->GetRING(), (step.lines & MS_RING_ON) != 0);
        EXPECT_EQ(comm->GetRLSD(), (step.lines & MS_RLSD_ON) != 0);
    }
}

TEST_F(SerialLines, ModemStateFollowsTheLinesAndClearsOnClose)
{
    std::vector<std::string> events;
    comm->OnRing = [&](VTixCommunicationComponent*, bool on) { events.push_back(on ? "Ring+" : "Ring-"); };
    comm->OnChangedRLSD = [&](VTixCommunicationComponent*, bool on) { events.push_back(on ? "DCD+" : "DCD-"); };
    Open();
    EXPECT_EQ(comm->GetModemState(), 0u);
    lines.SetDeviceLines(MS_RING_ON | MS_RLSD_ON | MS_DSR_ON);
    // Read afresh on every call (once the component is 10 ms old), and also
    // reported by the read thread: either way each change is raised once.
    ASSERT_TRUE(ProcessUntil([&] { return comm->GetModemState() == (MS_RING_ON | MS_RLSD_ON | MS_DSR_ON); }));
    ProcessFor(200);
    EXPECT_TRUE(comm->GetRING());
    EXPECT_TRUE(comm->GetRLSD());
    EXPECT_TRUE(comm->GetDSR());
    EXPECT_FALSE(comm->GetCTS());
    EXPECT_EQ(events, (std::vector<std::string> {"Ring+", "DCD+"}));

    // Closed, the lamps go out, even though the device still rings.
    comm->StopComm();
    EXPECT_EQ(comm->GetModemState(), 0u);
    EXPECT_EQ(events, (std::vector<std::string> {"Ring+", "DCD+", "Ring-", "DCD-"}));
}

TEST_F(SerialLines, RtsAndDtrGoToTheDevice)
{
    Open();
    EXPECT_TRUE(lines.Rts());
    EXPECT_TRUE(lines.Dtr());
    // The power handler's pulse.
    EXPECT_TRUE(comm->Signals().SetRTS(false));
    EXPECT_FALSE(lines.Rts());
    EXPECT_TRUE(comm->Signals().SetRTS(true));
    EXPECT_TRUE(lines.Rts());
    EXPECT_TRUE(comm->ExtraFunc(CLRDTR));
    EXPECT_FALSE(lines.Dtr());
    EXPECT_TRUE(comm->ExtraFunc(SETDTR));
    EXPECT_TRUE(lines.Dtr());

    // Closing drops both lines.
    comm->SetAutoReconnect(false);
    comm->StopComm();
    EXPECT_FALSE(lines.Dtr());
    EXPECT_FALSE(lines.Rts());
    // Closed: stored, not sent, and reported as not done.
    EXPECT_FALSE(comm->Signals().SetDTR(false));
    EXPECT_FALSE(comm->Signals().DTR());
    EXPECT_FALSE(comm->Signals().SetRTS(true));
    EXPECT_FALSE(comm->ExtraFunc(SETRTS));
    // Opening again sends the stored states.
    ASSERT_TRUE(comm->StartComm());
    EXPECT_FALSE(lines.Dtr());
    EXPECT_TRUE(lines.Rts());
}

TEST_F(SerialLines, BaudChangeOnAnOpenPortKeepsItOpen)
{
    Open();
    EXPECT_EQ(ports.BaudRates(), (std::vector<uint32_t> {19200}));
    comm->SetBaudRate(TBaudRate::___9600);
    comm->SetBaudRate(TBaudRate::__19200);
    comm->SetBaudRate(TBaudRate::__14400);  // no termios constant
    comm->SetBaudRate(TBaudRate::_256000);
    EXPECT_EQ(ports.BaudRates(), (std::vector<uint32_t> {19200, 9600, 19200, 14400, 256000}));
    EXPECT_EQ(ports.Opens(), 1);
    EXPECT_EQ(ports.Closes(), 0);
    EXPECT_TRUE(comm->Connected());
    std::string got;
    comm->SetReceiveDataEvent([&](VTixCommunicationComponent*, const char* b, uint16_t n) { got.append(b, n); });
    peer.Write("OK\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return got == "OK\r\n"; }));
    ProcessFor(100);
    EXPECT_EQ(Count(CommStateFailed), 0);
    EXPECT_EQ(states.back(), CommStateConnected);
}

TEST_F(SerialLines, SettingsTermiosCannotCarryLeaveThePortAsItWas)
{
    Open();
    const size_t reports = states.size();
    comm->SetDataBits(TDataBits::_4);
    EXPECT_EQ(comm->GetDataBits(), TDataBits::_4);
    EXPECT_EQ(ports.LastDCB().ByteSize, 8);
    comm->SetDataBits(TDataBits::_8);
    comm->SetStopBits(TStopBits::_1_5);  // only with 5 data bits
    EXPECT_EQ(ports.LastDCB().StopBits, 0);
    comm->SetDataBits(TDataBits::_5);  // now 1.5 stop bits can be had
    EXPECT_EQ(ports.LastDCB().StopBits, 1);
    EXPECT_EQ(ports.LastDCB().ByteSize, 5);
    comm->SetStopBits(TStopBits::_1);
    comm->SetDataBits(TDataBits::_8);
    comm->Signals().SetDTRControl(VTixSignalControl_DTRHandshake);
    EXPECT_FALSE(comm->UpdateDCB());
    comm->Signals().SetDTRControl(VTixSignalControl_DTREnable);
    comm->Signals().SetRTSControl(VTixSignalControl_RTSToggle);
    EXPECT_EQ(comm->Signals().RTSControl(), VTixSignalControl_RTSToggle);
    EXPECT_FALSE(comm->UpdateDCB());
    comm->Signals().SetRTSControl(VTixSignalControl_RTSHandshake);
    EXPECT_TRUE(comm->UpdateDCB());
    EXPECT_EQ(ports.LastDCB().RtsControl(), 2u);
    EXPECT_TRUE(comm->Connected());
    ProcessFor(100);
    EXPECT_EQ(states.size(), reports);
    EXPECT_EQ(ports.Opens(), 1);
}

TEST_F(SerialLines, DeviceGoneAtTheModemStatusGivesOneFailedReport)
{
    Open();
    ports.FailModemStatus(EIO);
    ASSERT_TRUE(ProcessUntil([&] { return !states.empty() && states.back() == CommStateFailed; }));
    EXPECT_FALSE(comm->Connected());
    ProcessFor(300);
    EXPECT_EQ(Count(CommStateFailed), 1);
    EXPECT_EQ(comm->GetModemState(), 0u);
    // Back again, the port opens.
    ports.FailModemStatus(0);
    EXPECT_TRUE(comm->StartComm());
    ASSERT_TRUE(ProcessUntil([&] { return states.back() == CommStateConnected; }));
}

TEST_F(SerialLines, DyingWriterCountsAsPortLost)
{
    Open();
    ports.FailWrites(EIO);
    EXPECT_TRUE(comm->WriteCommData("AT\r"));  // queued; the write fails later
    ASSERT_TRUE(ProcessUntil([&] { return !states.empty() && states.back() == CommStateFailed; }));
    EXPECT_FALSE(comm->Connected());
    EXPECT_FALSE(comm->WriteCommData("AT\r"));
    ProcessFor(200);
    EXPECT_EQ(Count(CommStateFailed), 1);
}

TEST_F(SerialLines, FailedOpeningReportsFailedAndOpensLater)
{
    comm->SetAutoReconnect(false);
    comm->SetCommPort(peer.SlavePath());
    ports.FailNextOpen(EBUSY);
    EXPECT_FALSE(comm->StartComm());
    EXPECT_EQ(comm->ConnectionState(), CommStateFailed);
    ASSERT_TRUE(ProcessUntil([&] { return !states.empty() && states.back() == CommStateFailed; }));
    EXPECT_TRUE(comm->StartComm());
    ASSERT_TRUE(ProcessUntil([&] { return states.back() == CommStateConnected; }));
    // A failed port closed on request is simply disconnected.
    comm->StopComm();
    EXPECT_EQ(comm->ConnectionState(), CommStateDisconnected);
}

TEST_F(SerialLines, ThreadThatWillNotEndIsLeftWithItsPortOpen)
{
    Open();
    comm->SetThreadCloseTimeout(200);
    comm->SetAutoReconnect(false);
    ports.StallReads(true);
    ASSERT_TRUE(WaitFor([&] { return ports.ReadThreadStalled(); }));
    comm->StopComm();
    EXPECT_FALSE(comm->Connected());
    EXPECT_EQ(comm->ConnectionState(), CommStateDisconnected);
    // The stuck thread still owns the descriptor (and its lock).
    EXPECT_EQ(ports.Closes(), 0);
    EXPECT_FALSE(comm->StartComm());
    ports.StallReads(false);
    ASSERT_TRUE(WaitFor([&] { return ports.Closes() == 1; }));
    EXPECT_TRUE(comm->StartComm());
}

}  // namespace
