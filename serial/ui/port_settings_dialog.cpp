#include "serial/ui/port_settings_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "foundation/qt/form_utils.h"
#include "platform/qt/qt_text.h"
#include "serial/vtscomm32.h"

namespace Serial {

namespace {

QComboBox* MakeList(QWidget* parent, const char* name)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(false);
    return combo;
}

}  // namespace

TPortSettingsDialog::TPortSettingsDialog(const std::string& portName, const TDCB& dcb, QWidget* parent)
    : QDialog(parent), dcb_(dcb)
{
    setObjectName(QStringLiteral("PortSettingsDialog"));
    setWindowTitle(QStringLiteral("Settings for ") + Platform::ToQString(portName));
    setModal(true);

    baud_ = MakeList(this, "ComboBaudRate");
    for (uint32_t rate : TBaudRateLookup)
        baud_->addItem(QString::number(rate), rate);
    int index = baud_->findData(dcb.BaudRate);
    if (index < 0) {
        // A rate of no table entry is shown as it is.
        baud_->addItem(QString::number(dcb.BaudRate), dcb.BaudRate);
        index = baud_->count() - 1;
    }
    baud_->setCurrentIndex(index);

    dataBits_ = MakeList(this, "ComboDataBits");
    for (int bits : TDataBitsLookup)
        dataBits_->addItem(QString::number(bits), bits);
    dataBits_->setCurrentIndex(dataBits_->findData(static_cast<int>(dcb.ByteSize)));

    parity_ = MakeList(this, "ComboParity");
    for (const char* name : TParityLookup)
        parity_->addItem(QString::fromLatin1(name));
    parity_->setCurrentIndex(dcb.Parity <= 4 ? dcb.Parity : -1);

    stopBits_ = MakeList(this, "ComboStopBits");
    for (const char* text : TStopBitsLookup)
        stopBits_->addItem(QString::fromLatin1(text));
    stopBits_->setCurrentIndex(dcb.StopBits <= 2 ? dcb.StopBits : -1);

    flow_ = MakeList(this, "ComboFlowControl");
    flow_->addItem(QStringLiteral("Xon / Xoff"));
    flow_->addItem(QStringLiteral("Hardware"));
    flow_->addItem(QStringLiteral("None"));
    if (dcb.Flags & (TDCB::fOutX | TDCB::fInX))
        flow_->setCurrentIndex(FlowXonXoff);
    else if ((dcb.Flags & TDCB::fOutxCtsFlow) || dcb.RtsControl() == 2)
        flow_->setCurrentIndex(FlowHardware);
    else
        flow_->setCurrentIndex(FlowNone);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Baud rate:"), baud_);
    form->addRow(QStringLiteral("Data bits:"), dataBits_);
    form->addRow(QStringLiteral("Parity:"), parity_);
    form->addRow(QStringLiteral("Stop bits:"), stopBits_);
    form->addRow(QStringLiteral("Flow control:"), flow_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

TDCB TPortSettingsDialog::Result() const
{
    TDCB dcb = dcb_;
    if (baud_->currentIndex() >= 0)
        dcb.BaudRate = baud_->currentData().toUInt();
    if (dataBits_->currentIndex() >= 0)
        dcb.ByteSize = static_cast<uint8_t>(dataBits_->currentData().toInt());
    if (parity_->currentIndex() >= 0)
        dcb.Parity = static_cast<uint8_t>(parity_->currentIndex());
    if (stopBits_->currentIndex() >= 0)
        dcb.StopBits = static_cast<uint8_t>(stopBits_->currentIndex());
    dcb.Flags &= ~(TDCB::fOutX | TDCB::fInX | TDCB::fOutxCtsFlow);
    switch (flow_->currentIndex()) {
    case FlowXonXoff:
        dcb.Flags |= TDCB::fOutX | TDCB::fInX;
        dcb.SetRtsControl(VTixSignalControl_RTSEnable);
        break;
    case FlowHardware:
        dcb.Flags |= TDCB::fOutxCtsFlow;
        dcb.SetRtsControl(VTixSignalControl_RTSHandshake);
        break;
    default:
        dcb.SetRtsControl(VTixSignalControl_RTSEnable);
        break;
    }
    return dcb;
}

int RunPortSettingsDialog(TVTSComm32& comm, bool owned, TDCB& dcb)
{
    TPortSettingsDialog dialog(comm.GetCommPort(), dcb, owned ? QApplication::activeWindow() : nullptr);
    Tixutils::MoveFormToCenter(&dialog, nullptr, false);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    dcb = dialog.Result();
    return 1;
}

void InstallPortSettingsDialog(TVTSComm32& comm)
{
    comm.SetConfigDialogRunner(&RunPortSettingsDialog);
}

}  // namespace Serial
