// The settings dialog behind ConfigDialog, and ConfigDialog2's own window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTimer>

#include "serial/test_port.h"
#include "serial/ui/port_settings_dialog.h"
#include "serial/vtscomm32.h"
#include "tests/serial/pty_peer.h"
#include "tests/support/qt_app.h"

using Serial::TDCB;
using Serial::TPortSettingsDialog;

namespace {

// Runs action on the next modal dialog once it is shown; it must close it.
void OnNextModal(std::function<void(QDialog&)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        }
    });
    timer->start();
}

QComboBox* Combo(QDialog& dialog, const char* name)
{
    auto* combo = dialog.findChild<QComboBox*>(QString::fromLatin1(name));
    EXPECT_NE(combo, nullptr) << name;
    return combo;
}

class SerialDialogs : public ::testing::Test {
protected:
    void SetUp() override { TestSupport::App(); }
};

TEST_F(SerialDialogs, SettingsDialogShowsAndReturnsTheControlBlock)
{
    TVTSComm32 comm;
    comm.SetAutoReconnect(false);
    comm.SetParity(TParity::Even);
    comm.SetDataBits(TDataBits::_7);
    comm.Signals().SetXOnOffReceive(true);
    TDCB dcb;
    comm.UpdateDCB3(dcb);
    TPortSettingsDialog dialog("COM1", dcb);
    EXPECT_EQ(dialog.windowTitle(), "Settings for COM1");
    EXPECT_EQ(dialog.BaudRate()->currentText(), "19200");
    EXPECT_EQ(dialog.BaudRate()->count(), 15);
    EXPECT_EQ(dialog.DataBits()->currentText(), "7");
    EXPECT_EQ(dialog.Parity()->currentText(), "Even");
    EXPECT_EQ(dialog.StopBits()->currentText(), "1");
    EXPECT_EQ(dialog.FlowControl()->currentIndex(), TPortSettingsDialog::FlowXonXoff);

    dialog.BaudRate()->setCurrentText("9600");
    dialog.DataBits()->setCurrentText("8");
    dialog.Parity()->setCurrentText("Mark");
    dialog.StopBits()->setCurrentText("2");
    dialog.FlowControl()->setCurrentIndex(TPortSettingsDialog::FlowHardware);
    TDCB result = dialog.Result();
    EXPECT_EQ(result.BaudRate, 9600u);
    EXPECT_EQ(result.ByteSize, 8);
    EXPECT_EQ(result.Parity, 3);
    EXPECT_EQ(result.StopBits, 2);
    EXPECT_EQ(result.Flags & (TDCB::fOutX | TDCB::fInX), 0u);
    EXPECT_EQ(result.RtsControl(), 2u);
    EXPECT_EQ(result.DtrControl(), dcb.DtrControl());  // not on the dialog: passed through
    EXPECT_EQ(result.XonChar, dcb.XonChar);

    dialog.FlowControl()->setCurrentIndex(TPortSettingsDialog::FlowNone);
    result = dialog.Result();
    EXPECT_EQ(result.Flags & (TDCB::fOutX | TDCB::fInX | TDCB::fOutxCtsFlow), 0u);
    EXPECT_EQ(result.RtsControl(), 1u);
}

TEST_F(SerialDialogs, RateOutsideTheTableIsShownAsItIs)
{
    TDCB dcb;
    dcb.BaudRate = 230400;
    dcb.ByteSize = 8;
    TPortSettingsDialog dialog("/dev/ttyUSB0", dcb);
    EXPECT_EQ(dialog.BaudRate()->currentText(), "230400");
    EXPECT_EQ(dialog.Result().BaudRate, 230400u);
}

TEST_F(SerialDialogs, ConfigDialogOnAClosedPortStoresTheChoice)
{
    TVTSComm32 comm;
    comm.SetAutoReconnect(false);
    Serial::InstallPortSettingsDialog(comm);
    OnNextModal([](QDialog& dialog) {
        Combo(dialog, "ComboBaudRate")->setCurrentText("57600");
        Combo(dialog, "ComboParity")->setCurrentText("Odd");
        dialog.accept();
    });
    EXPECT_FALSE(comm.ConfigDialog(true));  // nothing applied while closed
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::__57600);
    EXPECT_EQ(comm.GetParity(), TParity::Odd);
    EXPECT_FALSE(comm.Connected());

    OnNextModal([](QDialog& dialog) {
        Combo(dialog, "ComboBaudRate")->setCurrentText("300");
        dialog.reject();
    });
    EXPECT_TRUE(comm.ConfigDialog(false));  // cancelled: success, no change
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::__57600);
}

TEST_F(SerialDialogs, ConfigDialogOnAnOpenPortAppliesAtOnce)
{
    SerialTest::TPtyPeer peer;
    Serial::TModemLines lines;
    Serial::TTestPortFactory ports(lines);
    TVTSComm32 comm;
    comm.SetPortFactory(ports.Factory());
    Serial::InstallPortSettingsDialog(comm);
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(comm.Connected());
    OnNextModal([](QDialog& dialog) {
        Combo(dialog, "ComboBaudRate")->setCurrentText("9600");
        dialog.accept();
    });
    EXPECT_TRUE(comm.ConfigDialog(true));
    EXPECT_EQ(ports.BaudRates().back(), 9600u);
    EXPECT_EQ(ports.Opens(), 1);
}

TEST_F(SerialDialogs, ConfigDialog2)
{
    TVTSComm32 comm;
    comm.SetAutoReconnect(false);
    comm.SetPortListRoots("/nonexistent", "/nonexistent");
    QString title;
    OnNextModal([&](QDialog& dialog) {
        title = dialog.windowTitle();
        EXPECT_EQ(Combo(dialog, "ComboPort")->currentText(), "COM1");
        EXPECT_EQ(Combo(dialog, "ComboBaudRate")->currentText(), "19200");
        EXPECT_EQ(Combo(dialog, "ComboParity")->currentText(), "None");
        EXPECT_EQ(Combo(dialog, "ComboStopBits")->currentText(), "1");
        Combo(dialog, "ComboPort")->setEditText("/dev/ttyACM4");
        Combo(dialog, "ComboBaudRate")->setCurrentText("115200");
        Combo(dialog, "ComboParity")->setCurrentText("Space");
        Combo(dialog, "ComboStopBits")->setCurrentText("2");
        dialog.accept();
    });
    comm.ConfigDialog2("");
    EXPECT_EQ(title, "Settings for COM1");
    EXPECT_EQ(comm.GetCommPort(), "/dev/ttyACM4");
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::_115200);
    EXPECT_EQ(comm.GetParity(), TParity::Space);
    EXPECT_EQ(comm.GetStopBits(), TStopBits::_2);

    OnNextModal([&](QDialog& dialog) {
        title = dialog.windowTitle();
        Combo(dialog, "ComboBaudRate")->setCurrentText("300");
        dialog.reject();
    });
    comm.ConfigDialog2("Port");
    EXPECT_EQ(title, "Port");
    EXPECT_EQ(comm.GetBaudRate(), TBaudRate::_115200);
}

}  // namespace
