#pragma once
#include <QDialog>

#include <string>

#include "serial/comm_types.h"

class QComboBox;
class TVTSComm32;

namespace Serial {

// The line settings of one port as a dialog over a control block: baud
// rate, data bits, parity, stop bits and flow control. What the dialog
// does not show (DTR control, characters, limits) passes through
// unchanged.
class TPortSettingsDialog : public QDialog {
public:
    TPortSettingsDialog(const std::string& portName, const TDCB& dcb, QWidget* parent = nullptr);

    // The control block with the chosen settings.
    TDCB Result() const;

    QComboBox* BaudRate() const { return baud_; }
    QComboBox* DataBits() const { return dataBits_; }
    QComboBox* Parity() const { return parity_; }
    QComboBox* StopBits() const { return stopBits_; }
    QComboBox* FlowControl() const { return flow_; }

    // Items of the flow-control list.
    enum Flow { FlowXonXoff = 0, FlowHardware = 1, FlowNone = 2 };

private:
    TDCB dcb_;
    QComboBox* baud_;
    QComboBox* dataBits_;
    QComboBox* parity_;
    QComboBox* stopBits_;
    QComboBox* flow_;
};

// Shows the dialog modally for the component's port: 1 confirmed (dcb
// holds the result), 0 cancelled. Owned: the application's active window
// owns it.
int RunPortSettingsDialog(TVTSComm32& comm, bool owned, TDCB& dcb);

// Makes TVTSComm32::ConfigDialog show this dialog.
void InstallPortSettingsDialog(TVTSComm32& comm);

}  // namespace Serial
