// The port list from a made-up sysfs tree, and the port combo boxes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include "serial/port_list.h"
#include "serial/vtscomm32.h"
#include "tests/support/qt_app.h"

namespace fs = std::filesystem;

namespace {

class SerialPortList : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestSupport::App();
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString();
        sys = root + "/sys/class/tty";
        dev = root + "/dev";
        fs::create_directories(sys);
        fs::create_directories(dev + "/serial/by-id");
        comm.SetAutoReconnect(false);
        comm.SetPortListRoots(sys, dev);
    }
    // A tty entry; hasDevice: a device stands behind it.
    void AddTty(const std::string& name, bool hasDevice, const char* type = nullptr, const char* console = nullptr)
    {
        fs::create_directories(sys + "/" + name);
        if (hasDevice)
            fs::create_directories(sys + "/" + name + "/device");
        if (type)
            std::ofstream(sys + "/" + name + "/type") << type << "\n";
        if (console)
            std::ofstream(sys + "/" + name + "/console") << console << "\n";
        std::ofstream(dev + "/" + name) << "";
    }
    void AddById(const std::string& link, const std::string& target)
    {
        fs::create_symlink("../../" + target, dev + "/serial/by-id/" + link);
    }
    std::string Port(const std::string& name) const { return dev + "/" + name; }
    static std::vector<std::string> Items(const QComboBox& combo)
    {
        std::vector<std::string> items;
        for (int i = 0; i < combo.count(); ++i)
            items.push_back(combo.itemText(i).toStdString());
        return items;
    }

    QTemporaryDir dir;
    std::string root, sys, dev;
    TVTSComm32 comm;
};

TEST_F(SerialPortList, OnlyRealPortsAreListed)
{
    AddTty("console", false);
    AddTty("tty0", false);
    AddTty("tty1", false);
    AddTty("ttyS0", true, "4");       // a 16550A
    AddTty("ttyS1", true, "0");       // no UART behind it
    AddTty("ttyS2", true, "4", "Y");  // the kernel's console
    AddTty("ttyUSB0", true);
    AddTty("ttyACM0", true);
    AddById("usb-Siemens_MC35i-if00-port0", "ttyUSB0");
    const auto ports = Serial::ScanSerialPorts(sys, dev);
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].portName, Port("ttyACM0"));
    EXPECT_EQ(ports[0].deviceName, "ttyACM0");
    EXPECT_EQ(ports[1].portName, Port("ttyS0"));
    EXPECT_EQ(ports[2].portName, Port("ttyUSB0"));
    EXPECT_EQ(ports[2].deviceName, "usb-Siemens_MC35i-if00-port0");
}

TEST_F(SerialPortList, MissingTreeGivesNoListAndLeavesTheComboAlone)
{
    comm.SetPortListRoots(root + "/nothing", dev);
    QComboBox combo;
    combo.addItem("keep");
    EXPECT_FALSE(comm.SetCommComboBoxItems(&combo));
    EXPECT_EQ(Items(combo), std::vector<std::string> {"keep"});
    EXPECT_FALSE(comm.SetCommComboBoxItems(nullptr));
}

TEST_F(SerialPortList, ConfiguredPortIsAddedOnceAndSorted)
{
    AddTty("ttyUSB1", true);
    AddTty("ttyUSB0", true);
    QComboBox combo;
    combo.setEditable(true);
    comm.SetCommPort("COM7");
    EXPECT_TRUE(comm.SetCommComboBoxItems(&combo));
    EXPECT_EQ(Items(combo), (std::vector<std::string> {Port("ttyUSB0"), Port("ttyUSB1"), "COM7"}));
    // Not cleared and filled again when nothing changed.
    combo.setCurrentIndex(1);
    int resets = 0;
    QObject::connect(combo.model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(combo.model(), &QAbstractItemModel::rowsRemoved, [&] { ++resets; });
    EXPECT_TRUE(comm.SetCommComboBoxItems(&combo));
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(combo.currentIndex(), 1);
}

TEST_F(SerialPortList, PortUnderTwoNamesIsShownOnceUnderItsConfiguredName)
{
    AddTty("ttyUSB0", true);
    AddById("usb-Maker_Modem-if00", "ttyUSB0");
    std::vector<std::string> items;
    std::string patterns;
    comm.SetCommPort(dev + "/serial/by-id/usb-Maker_Modem-if00");
    ASSERT_TRUE(comm.CommPortListItems(patterns, items));
    EXPECT_EQ(items, std::vector<std::string> {dev + "/serial/by-id/usb-Maker_Modem-if00"});
    // "COMn" and its device: shown as COMn.
    EXPECT_TRUE(Serial::SamePort("COM1", "/dev/ttyS0"));
    EXPECT_TRUE(Serial::SamePort("ttyS0", "/dev/ttyS0"));
    EXPECT_FALSE(Serial::SamePort("COM2", "/dev/ttyS0"));
    EXPECT_EQ(Serial::PortDevicePath("COM10"), "/dev/ttyS9");
    EXPECT_EQ(Serial::PortDevicePath("/tmp/x"), "/tmp/x");
    EXPECT_EQ(Serial::PortDevicePath("COM0"), "/dev/COM0");
}

TEST_F(SerialPortList, PlainTextOrder)
{
    AddTty("ttyS10", true, "4");
    AddTty("ttyS2", true, "4");
    std::vector<std::string> items;
    std::string patterns;
    comm.SetCommPort(Port("ttyS2"));
    ASSERT_TRUE(comm.CommPortListItems(patterns, items));
    EXPECT_EQ(items, (std::vector<std::string> {Port("ttyS10"), Port("ttyS2")}));
}

TEST_F(SerialPortList, OnePatternMatchSwitchesAClosedComponent)
{
    AddTty("ttyUSB0", true);
    AddTty("ttyUSB1", true);
    AddTty("ttyACM0", true);
    AddById("usb-Siemens_MC35i-if00-port0", "ttyUSB1");
    AddById("usb-FTDI_FT232R-if00-port0", "ttyUSB0");
    QComboBox combo;
    combo.setEditable(true);
    std::string patterns = std::string("*Siemens*") + '\0' + "*Ericsson*" + '\0';
    comm.SetCommPort("COM1");
    EXPECT_TRUE(comm.SetCommComboBoxItems(&combo, patterns));
    EXPECT_EQ(patterns, Port("ttyUSB1"));
    EXPECT_EQ(comm.GetCommPort(), Port("ttyUSB1"));
    EXPECT_EQ(combo.currentText().toStdString(), Port("ttyUSB1"));

    // Two matches: no switch; the first found from the end of the list wins.
    patterns = std::string("*Siemens*") + '\0' + "*FTDI*" + '\0';
    comm.SetCommPort("COM1");
    EXPECT_TRUE(comm.SetCommComboBoxItems(&combo, patterns));
    EXPECT_EQ(comm.GetCommPort(), "COM1");
    EXPECT_EQ(patterns, Port("ttyUSB1"));
}

TEST_F(SerialPortList, SelectingTheConfiguredPort)
{
    AddTty("ttyUSB0", true);
    AddTty("ttyUSB1", true);
    QComboBox list;  // a drop-down list cannot show a text of its own
    comm.SetCommPort(Port("ttyUSB1"));
    ASSERT_TRUE(comm.SetCommComboBoxItems(&list));
    EXPECT_TRUE(comm.SetCommComboBoxIndex(&list));
    EXPECT_EQ(list.currentText().toStdString(), Port("ttyUSB1"));
    comm.SetCommPort("/dev/elsewhere");
    EXPECT_FALSE(comm.SetCommComboBoxIndex(&list));
    EXPECT_EQ(list.currentText().toStdString(), Port("ttyUSB1"));
    EXPECT_EQ(comm.GetCommPort(), "/dev/elsewhere");

    QComboBox edit;
    edit.setEditable(true);
    ASSERT_TRUE(comm.SetCommComboBoxItems(&edit));
    EXPECT_TRUE(comm.SetCommComboBoxIndex(&edit));
    EXPECT_EQ(edit.currentText().toStdString(), "/dev/elsewhere");
}

}  // namespace
