// Line settings of the serial port component: the control block, what
// termios makes of it, the setters and the settings dialog's path back.
#include <gtest/gtest.h>

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "serial/comm_types.h"
#include "serial/termios_port.h"
#include "serial/test_port.h"
#include "serial/vtscomm32.h"
#include "tests/serial/pty_peer.h"
#include "tests/support/qt_app.h"

using SerialTest::ProcessFor;
using SerialTest::ProcessUntil;
using SerialTest::TPtyPeer;
using Serial::TDCB;

namespace {

class SerialSettings : public ::testing::Test {
protected:
    void SetUp() override { TestSupport::App(); }
};

TEST_F(SerialSettings, DefaultControlBlock)
{
    TVTSComm32 comm;
    TDCB dcb;
    comm.UpdateDCB3(dcb);
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.Flags, 0x1091u);
    EXPECT_EQ(dcb.XonLim, 2048);
    EXPECT_EQ(dcb.XoffLim, 512);
    EXPECT_EQ(dcb.XonChar, 17);
    EXPECT_EQ(dcb.XoffChar, 19);
    EXPECT_EQ(dcb.EvtChar, 0);
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_EQ(comm.GetCommPort(), "COM1");
    EXPECT_TRUE(comm.GetAutoReconnect());
    EXPECT_FALSE(comm.Connected());
    EXPECT_EQ(comm.ConnectionState(), CommStateDisconnected);
    EXPECT_EQ(comm.Options().EnhancedName, TristateTrue);
    EXPECT_EQ(comm.Timeouts().ReadInterval(), 10u);
}

TEST_F(SerialSettings, ControlBlockFlagsOfEverySignalSetting)
{
    TVTSComm32 comm;
    comm.SetAutoReconnect(false);
    comm.Signals().SetDTRControl(VTixSignalControl_DTRHandshake);
    comm.Signals().SetRTSControl(VTixSignalControl_RTSToggle);
    comm.Signals().SetCTSHandshake(true);
    comm.Signals().SetDSRHandshake(true);
    comm.Signals().SetXOnOffTransmit(true);
    comm.Signals().SetXOnOffReceive(true);
    comm.SetParity(TParity::Space);
    comm.SetDataBits(TDataBits::_5);
    comm.SetStopBits(TStopBits::_1_5);
    comm.Chars().XOn = 'Q';
    comm.Chars().Evt = '\n';
    TDCB dcb;
    comm.UpdateDCB3(dcb);
    EXPECT_EQ(dcb.Flags, 0x81u | 0x20u | 0x3000u | 0x4u | 0x8u | 0x100u | 0x200u);
    EXPECT_EQ(dcb.Parity, 4);
    EXPECT_EQ(dcb.ByteSize, 5);
    EXPECT_EQ(dcb.StopBits, 1);
    EXPECT_EQ(dcb.XonChar, 'Q');
    EXPECT_EQ(dcb.EvtChar, '\n');
    comm.Signals().SetDTRControl(VTixSignalControl_DTROff);
    comm.Signals().SetRTSControl(VTixSignalControl_RTSOff);
    comm.UpdateDCB3(dcb);
    EXPECT_EQ(dcb.Flags & 0x3030u, 0u);
}

// What the termios port makes of control blocks, read back from the
// pseudo-terminal.
struct TermiosCase {
    uint32_t rate;
    uint8_t byteSize, parity, stopBits;
    uint32_t flags;
    bool carried;
    unsigned cflagSet, cflagClear, iflagSet;
};

TEST_F(SerialSettings, TermiosOfControlBlocks)
{
    const TermiosCase cases[] = {
        {19200, 8, 0, 0, 0x1091, true, CS8 | CLOCAL | CREAD | HUPCL, PARENB | CSTOPB | CRTSCTS, 0},
        // A pseudo-terminal keeps no PARENB; the parity kind still shows.
        {9600, 7, 2, 0, 0x1091, true, CS7, PARODD | CMSPAR, 0},
        {9600, 7, 1, 2, 0x1091, true, CS7 | PARODD | CSTOPB, CMSPAR, 0},
        {9600, 8, 3, 0, 0x1091, true, CMSPAR | PARODD, 0, 0},
        {9600, 8, 4, 0, 0x1091, true, CMSPAR, PARODD, 0},
        {115200, 5, 0, 1, 0x1091, true, CS5 | CSTOPB, 0, 0},
        {57600, 8, 0, 0, 0x2091 | 0x4, true, CRTSCTS, 0, 0},
        {57600, 8, 0, 0, 0x1091 | 0x300, true, 0, CRTSCTS, IXON | IXOFF},
        {14400, 8, 0, 0, 0x1091, true, 0, 0, 0},
        {128000, 8, 0, 0, 0x1091, true, 0, 0, 0},
        {9600, 4, 0, 0, 0x1091, false, 0, 0, 0},          // 4 data bits
        {9600, 8, 0, 1, 0x1091, false, 0, 0, 0},          // 1.5 stop bits, 8 data bits
        {9600, 8, 0, 0, 0x1021, false, 0, 0, 0},          // DTR handshake
        {9600, 8, 0, 0, 0x1091 | 0x8, false, 0, 0, 0},    // DSR handshake
        {9600, 8, 0, 0, 0x3091, false, 0, 0, 0},          // RTS toggle
        {0, 8, 0, 0, 0x1091, false, 0, 0, 0},             // no rate
        {9600, 8, 7, 0, 0x1091, false, 0, 0, 0},          // no such parity
    };
    TPtyPeer peer;
    Serial::TTermiosPort port;
    ASSERT_EQ(port.Open(peer.SlavePath()), 0);
    for (const TermiosCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rate << " " << int(c.byteSize) << " " << int(c.parity) << " "
                                          << int(c.stopBits) << " " << std::hex << c.flags);
        // Start from a known setting.
        TDCB base;
        base.BaudRate = 2400;
        base.ByteSize = 8;
        base.Flags = 0x1091;
        ASSERT_EQ(port.Configure(base), 0);
        TDCB dcb;
        dcb.BaudRate = c.rate;
        dcb.ByteSize = c.byteSize;
        dcb.Parity = c.parity;
        dcb.StopBits = c.stopBits;
        dcb.Flags = c.flags;
        dcb.XonChar = 17;
        dcb.XoffChar = 19;
        const int r = port.Configure(dcb);
        termios2 t {};
        ASSERT_EQ(ioctl(port.Fd(), TCGETS2, &t), 0);
        if (!c.carried) {
            EXPECT_EQ(r, EINVAL);
            EXPECT_EQ(t.c_ospeed, 2400u);  // nothing changed
            EXPECT_EQ(t.c_cflag & CSIZE, static_cast<unsigned>(CS8));
            continue;
        }
        EXPECT_EQ(r, 0);
        EXPECT_EQ(t.c_ospeed, c.rate);
        EXPECT_EQ(t.c_cflag & c.cflagSet, c.cflagSet);
        EXPECT_EQ(t.c_cflag & c.cflagClear, 0u);
        EXPECT_EQ(t.c_iflag & c.iflagSet, c.iflagSet);
        // Raw: nothing done to the bytes.
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        EXPECT_EQ(t.c_cc[VSTART], 17);
        EXPECT_EQ(t.c_cc[VSTOP], 19);
    }
}

TEST_F(SerialSettings, SettersOnAClosedPort)
{
    TPtyPeer peer;
    TVTSComm32 comm;
    comm.SetAutoReconnect(false);
    comm.SetCommPort(peer.SlavePath());
    EXPECT_FALSE(comm.Connected());
    comm.SetBaudRate(TBaudRate::___9600);
    EXPECT_FALSE(comm.Connected());
    EXPECT_EQ(comm.GetBaudRateInt(), 9600u);

    comm.SetBaudRateInt(19200);
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::__19200);
    comm.SetBaudRateInt(19201);
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::__19200);

    // AutoReconnect: a change of a setting opens the closed port.
    comm.SetAutoReconnect(true);  // with a port name: opens at once
    EXPECT_TRUE(comm.Connected());
    comm.StopComm();
    comm.SetParity(TParity::Even);
    EXPECT_TRUE(comm.Connected());
    comm.StopComm();
    // The same port name on a closed port with AutoReconnect tries to open it.
    comm.SetCommPort(peer.SlavePath());
    EXPECT_TRUE(comm.Connected());
    // ... and on an open port does nothing.
    comm.SetCommPort(peer.SlavePath());
    EXPECT_TRUE(comm.Connected());
}

TEST_F(SerialSettings, LoadingOnlyStoresUntilLoaded)
{
    TPtyPeer peer;
    std::vector<TCommState> states;  // outlives the component, which reports its last stop
    TVTSComm32 comm;
    comm.BeginLoading();
    comm.SetCommPort(peer.SlavePath());
    comm.SetBaudRate(TBaudRate::___9600);
    comm.SetOnStateChange([&](VTixCommunicationComponent*, TCommState s) { states.push_back(s); });
    EXPECT_FALSE(comm.Connected());
    comm.Loaded();
    EXPECT_TRUE(comm.Connected());
    ASSERT_TRUE(ProcessUntil([&] { return !states.empty() && states.back() == CommStateConnected; }));
}

TEST_F(SerialSettings, TimeoutIndexOutsideTheFiveIsRefused)
{
    TVTSComm32 comm;
    comm.Timeouts().Set(4, 77);
    EXPECT_EQ(comm.Timeouts().WriteTotalMult(), 77u);
    comm.Timeouts().Set(5, 1);
    comm.Timeouts().Set(-1, 1);
    EXPECT_EQ(comm.Timeouts().Get(5), 0u);
    EXPECT_EQ(comm.Timeouts().Get(-1), 0u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(comm.Timeouts().Get(i), i == 0 ? 10u : 0u);
}

TEST_F(SerialSettings, SetFromControlBlock)
{
    TVTSComm32 comm;
    comm.SetAutoReconnect(false);
    TDCB dcb;
    comm.UpdateDCB3(dcb);
    dcb.BaudRate = 9600;
    dcb.ByteSize = 7;
    dcb.Parity = 2;
    dcb.Flags |= TDCB::fOutX;
    dcb.SetRtsControl(2);
    EXPECT_FALSE(comm.SetFromDCB(dcb, false));  // closed: stored, not applied
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::___9600);
    EXPECT_EQ(comm.GetDataBits(), TDataBits::_7);
    EXPECT_EQ(comm.GetParity(), TParity::Even);
    EXPECT_TRUE(comm.Signals().XOnOffTransmit());
    EXPECT_FALSE(comm.Signals().XOnOffReceive());
    EXPECT_EQ(comm.Signals().RTSControl(), VTixSignalControl_RTSHandshake);

    dcb.BaudRate = 4000;  // no table rate
    dcb.ByteSize = 9;
    dcb.Parity = 5;
    dcb.StopBits = 3;
    dcb.SetDtrControl(3);
    dcb.SetRtsControl(1);
    comm.SetFromDCB(dcb, true);
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::___9600);
    EXPECT_EQ(comm.GetDataBits(), TDataBits::_7);
    EXPECT_EQ(comm.GetParity(), TParity::Even);
    EXPECT_EQ(comm.GetStopBits(), TStopBits::_1);
    EXPECT_EQ(comm.Signals().DTRControl(), VTixSignalControl_DTREnable);
    EXPECT_EQ(comm.Signals().RTSControl(), VTixSignalControl_RTSHandshake);  // kept
}

TEST_F(SerialSettings, ConfigDialogResults)
{
    TPtyPeer peer;
    Serial::TModemLines lines;
    Serial::TTestPortFactory ports(lines);
    TVTSComm32 comm;
    comm.SetPortFactory(ports.Factory());
    comm.SetAutoReconnect(false);
    comm.SetCommPort(peer.SlavePath());

    // No dialog at all: nothing shown, the read flag (closed: false).
    EXPECT_FALSE(comm.ConfigDialog(true));

    int shown = 0;
    int answer = 1;
    comm.SetConfigDialogRunner([&](TVTSComm32&, bool, TDCB& dcb) {
        ++shown;
        EXPECT_EQ(dcb.BaudRate, comm.GetBaudRateInt());
        dcb.BaudRate = 9600;
        return answer;
    });
    // Closed: the choice is stored, nothing applied, false.
    EXPECT_FALSE(comm.ConfigDialog(true));
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::___9600);
    EXPECT_FALSE(comm.Connected());

    ASSERT_TRUE(comm.StartComm());
    comm.SetBaudRate(TBaudRate::__19200);
    // Open: applied at once without reopening.
    EXPECT_TRUE(comm.ConfigDialog(false));
    EXPECT_EQ(ports.BaudRates().back(), 9600u);
    EXPECT_EQ(ports.Opens(), 1);
    // Cancelled: true, nothing changes.
    answer = 0;
    comm.SetBaudRate(TBaudRate::_115200);
    EXPECT_TRUE(comm.ConfigDialog(true));
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::_115200);
    // The dialog could not be shown: the read flag.
    answer = -1;
    EXPECT_TRUE(comm.ConfigDialog(true));
    EXPECT_EQ(shown, 4);
}

TEST_F(SerialSettings, XOnOffChangeDoesNotResendLinesButDtrControlDoes)
{
    TPtyPeer peer;
    Serial::TModemLines lines;
    Serial::TTestPortFactory ports(lines);
    TVTSComm32 comm;
    comm.SetPortFactory(ports.Factory());
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(comm.Connected());
    // Someone else lowers RTS behind the component's back.
    lines.SetRts(false);
    comm.Signals().SetXOnOffReceive(true);
    EXPECT_TRUE(ports.LastDCB().Flags & TDCB::fInX);
    EXPECT_FALSE(lines.Rts());
    comm.Signals().SetDTRControl(VTixSignalControl_DTROff);
    EXPECT_TRUE(lines.Rts());  // sent again with DTR
    EXPECT_TRUE(lines.Dtr());  // the DTR property is still on
}

}  // namespace
