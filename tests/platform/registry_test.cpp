#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>

#include "platform/qt/paths.h"
#include "platform/qt/registry.h"
#include "serial/modem_lines.h"
#include "tests/support/config_home.h"

using namespace Platform;

TEST(Registry, ValuesLiveUnderTheUsersConfigFolder)
{
    TestSupport::PrivateConfigHome dir;
    ASSERT_TRUE(dir.IsValid());
    {
        TRegistry reg;
        EXPECT_TRUE(reg.WriteString("Options", "ConfigFile", "/tmp/a.cfg"));
        EXPECT_TRUE(reg.WriteBool("Options\\Forms\\FormMain", "Docked", true));
        reg.Sync();
        EXPECT_EQ(reg.ReadString("Options", "ConfigFile", ""), "/tmp/a.cfg");
        EXPECT_TRUE(reg.KeyExists("Options\\Forms"));
        EXPECT_FALSE(reg.KeyExists("Options\\Nothing"));
        EXPECT_EQ(reg.GetKeyNames("Options\\Forms"), std::vector<std::string>{"FormMain"});
    }
    QFile f(dir.Path() + "/Tix/Zelvitor.ini");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("Docked=1")) << text.constData();  // never "true"

    TRegistry machine(true);
    EXPECT_FALSE(machine.WriteString("Options", "x", "y"));
}

TEST(Paths, ComPortsMapToSerialDevices)
{
    EXPECT_EQ(DevicePathOfPort("COM1"), "/dev/ttyS0");
    EXPECT_EQ(DevicePathOfPort("com12"), "/dev/ttyS11");
    EXPECT_EQ(DevicePathOfPort("COM0"), "COM0");
    EXPECT_EQ(DevicePathOfPort("COMx"), "COMx");
    EXPECT_EQ(DevicePathOfPort("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

TEST(ModemLines, TransitionsAreCountedAndWaitersWoken)
{
    Serial::TModemLines lines;
    bool seenRts = false;
    lines.SetOutputListener([&](bool rts, bool) { seenRts = rts; });
    const uint64_t s0 = lines.ChangeSerial();
    lines.SetDeviceLines(Serial::MS_RING_ON | Serial::MS_CTS_ON);
    lines.SetDeviceLines(Serial::MS_CTS_ON);
    EXPECT_EQ(lines.GetCounts().ring, 2u);
    EXPECT_EQ(lines.GetCounts().cts, 1u);
    EXPECT_NE(lines.WaitForChange(s0, 0), s0);
    lines.SetRts(true);
    EXPECT_TRUE(seenRts);
    EXPECT_TRUE(lines.Rts());
    const uint64_t s1 = lines.ChangeSerial();
    EXPECT_EQ(lines.WaitForChange(s1, 10), s1);  // nothing changed: times out
}
