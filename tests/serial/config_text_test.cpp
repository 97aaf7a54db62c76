// The port configuration as one line of text and as ini keys.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/ini_file.h"
#include "serial/test_port.h"
#include "serial/vtscomm32.h"
#include "tests/serial/pty_peer.h"
#include "tests/support/qt_app.h"

using SerialTest::TPtyPeer;

namespace {

const char* const kDefaultLine = "\"COM1\",\"19200\",\"8\",\"1\",\"None\",\"1/1 1/1\",\"10 0 0 0 0\"";

class SerialConfigText : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestSupport::App();
        comm.SetPortFactory(ports.Factory());
    }
    // Opens the component on the pseudo-terminal.
    void OpenOnPeer()
    {
        comm.SetCommPort(peer.SlavePath());
        ASSERT_TRUE(comm.Connected());
    }

    TPtyPeer peer;
    Serial::TModemLines lines;
    Serial::TTestPortFactory ports{lines};
    TVTSComm32 comm;
};

TEST_F(SerialConfigText, DefaultLine)
{
    EXPECT_EQ(comm.GetConfigAsString(), kDefaultLine);
}

TEST_F(SerialConfigText, EveryFieldRoundTrips)
{
    comm.SetAutoReconnect(false);
    comm.SetCommPort("/dev/ttyUSB3");
    comm.SetBaudRate(TBaudRate::_115200);
    comm.SetDataBits(TDataBits::_7);
    comm.SetStopBits(TStopBits::_1_5);
    comm.SetParity(TParity::Mark);
    comm.Signals().SetDTRControl(VTixSignalControl_DTRHandshake);
    comm.Signals().SetDTR(false);
    comm.Signals().SetRTSControl(VTixSignalControl_RTSToggle);
    comm.Timeouts().Set(0, 50);
    comm.Timeouts().Set(1, 1);
    comm.Timeouts().Set(2, 2);
    comm.Timeouts().Set(3, 3);
    comm.Timeouts().Set(4, 4000000000u);
    const std::string line = comm.GetConfigAsString();
    EXPECT_EQ(line, "\"/dev/ttyUSB3\",\"115200\",\"7\",\"1.5\",\"Mark\",\"2/0 3/1\",\"50 1 2 3 4000000000\"");

    TVTSComm32 other;
    other.SetAutoReconnect(false);
    other.SetConfigAsString(line);
    EXPECT_EQ(other.GetConfigAsString(), line);
    EXPECT_EQ(other.GetCommPort(), "/dev/ttyUSB3");
    EXPECT_EQ(other.Signals().DTRControl(), VTixSignalControl_DTRHandshake);
    EXPECT_FALSE(other.Signals().DTR());
    EXPECT_EQ(other.Timeouts().Get(4), 4000000000u);

    other.SetConfigAsString(kDefaultLine);
    EXPECT_EQ(other.GetConfigAsString(), kDefaultLine);
}

TEST_F(SerialConfigText, SameLineOnAnOpenPortDoesNotRestartIt)
{
    OpenOnPeer();
    comm.SetConfigAsString(comm.GetConfigAsString());
    EXPECT_EQ(ports.Opens(), 1);
    EXPECT_TRUE(comm.Connected());
}

TEST_F(SerialConfigText, StarKeepsThePortAndANewRateRestartsIt)
{
    OpenOnPeer();
    comm.SetConfigAsString("\"*\",\"9600\"");
    EXPECT_EQ(comm.GetCommPort(), peer.SlavePath());
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::___9600);
    EXPECT_TRUE(comm.Connected());
    EXPECT_EQ(ports.Opens(), 2);
    EXPECT_EQ(ports.BaudRates().back(), 9600u);
}

TEST_F(SerialConfigText, UnknownValuesKeepTheCurrentOnes)
{
    comm.SetAutoReconnect(false);
    comm.SetConfigAsString("\"COM1\",\"12345\",\"9\",\"3\",\"even\",\"x/y z\",\"a b\"");
    EXPECT_EQ(comm.GetConfigAsString(), kDefaultLine);
    comm.SetConfigAsString("");
    EXPECT_EQ(comm.GetConfigAsString(), kDefaultLine);
    // Signals: control numbers out of range are ignored, words read as Booleans.
    comm.SetConfigAsString("\"COM1\",\"19200\",\"8\",\"1\",\"None\",\"3/TRUE 4/false\",\"\"");
    EXPECT_EQ(comm.Signals().DTRControl(), VTixSignalControl_DTREnable);
    EXPECT_TRUE(comm.Signals().DTR());
    EXPECT_EQ(comm.Signals().RTSControl(), VTixSignalControl_RTSEnable);
    EXPECT_FALSE(comm.Signals().RTS());
    // Hostile text never breaks the reader.
    const std::string junk[] = {"\"", "\"\"\"\"", ",,,,,,,,,,", "\"a\",\"" + std::string(5000, '9') + "\"",
                                std::string("\"\0\",\"\0\"", 7), "\"COM1\",\"19200\",\"8\",\"1\",\"None\",\"/ /\",\"-1 -2\""};
    for (const std::string& line : junk) {
        TVTSComm32 other;
        other.SetAutoReconnect(false);
        other.SetConfigAsString(line);
        EXPECT_EQ(other.GetBaudRate(), TBaudRate::__19200);
        EXPECT_EQ(other.Timeouts().Get(0), 10u);
    }
}

TEST_F(SerialConfigText, ChangedLineOnAClosedPortOpensWithAutoReconnect)
{
    comm.SetConfigAsString("\"" + peer.SlavePath() + "\",\"57600\"");
    EXPECT_TRUE(comm.Connected());
    EXPECT_EQ(ports.BaudRates().back(), 57600u);
}

TEST_F(SerialConfigText, IniKeysRoundTrip)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Platform::TIniFile ini(dir.filePath("port.ini").toStdString());
    comm.SetAutoReconnect(false);
    comm.SetCommPort("COM3");
    comm.SetBaudRate(TBaudRate::___4800);
    comm.SetParity(TParity::Odd);
    comm.Signals().SetRTS(false);
    comm.Timeouts().Set(3, 25);
    comm.SaveToIni(ini, "Port");
    EXPECT_EQ(ini.ReadString("Port", "CommPort", ""), "COM3");
    EXPECT_EQ(ini.ReadInteger("Port", "CommBaudRate", 0), 4800);
    EXPECT_EQ(ini.ReadInteger("Port", "CommDataBits", 0), 8);
    EXPECT_EQ(ini.ReadString("Port", "CommStopBits", ""), "1");
    EXPECT_EQ(ini.ReadString("Port", "CommParity", ""), "Odd");
    EXPECT_EQ(ini.ReadString("Port", "CommSignals", ""), "1/1 1/0");
    EXPECT_EQ(ini.ReadString("Port", "CommTimeouts", ""), "10 0 0 25 0");
    EXPECT_EQ(ini.ReadSection("Port"),
              (std::vector<std::string> {"CommPort", "CommBaudRate", "CommDataBits", "CommStopBits", "CommParity",
                                         "CommSignals", "CommTimeouts"}));

    TVTSComm32 other;
    other.SetAutoReconnect(false);
    other.SetPortFactory(ports.Factory());
    other.LoadFromIni(ini, "Port");
    EXPECT_EQ(other.GetConfigAsString(), comm.GetConfigAsString());
}

TEST_F(SerialConfigText, EmptySectionKeepsSettingsResendsLinesAndApplies)
{
    QTemporaryDir dir;
    Platform::TIniFile ini(dir.filePath("empty.ini").toStdString());
    OpenOnPeer();
    comm.SetBaudRate(TBaudRate::___2400);
    const std::string before = comm.GetConfigAsString();
    const int applied = ports.Configures();
    lines.SetRts(false);
    lines.SetDtr(false);
    comm.LoadFromIni(ini, "Nothing");
    EXPECT_EQ(comm.GetConfigAsString(), before);
    EXPECT_TRUE(lines.Rts());
    EXPECT_TRUE(lines.Dtr());
    EXPECT_TRUE(comm.Connected());
    EXPECT_EQ(ports.Opens(), 1);
    EXPECT_EQ(ports.Configures(), applied + 1);  // applied again
    EXPECT_EQ(ports.LastDCB().BaudRate, 2400u);
}

TEST_F(SerialConfigText, IniWithAnotherPortOpensIt)
{
    QTemporaryDir dir;
    Platform::TIniFile ini(dir.filePath("p.ini").toStdString());
    ini.WriteString("S", "CommPort", peer.SlavePath());
    ini.WriteString("S", "CommParity", "Space");
    comm.SetAutoReconnect(false);
    comm.LoadFromIni(ini, "S");  // whatever AutoReconnect says
    EXPECT_TRUE(comm.Connected());
    EXPECT_EQ(comm.GetParity(), TParity::Space);
    EXPECT_EQ(ports.LastDCB().Parity, 4);
}

}  // namespace
