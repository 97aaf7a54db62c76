#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "serial/comm_component.h"
#include "serial/comm_types.h"
#include "serial/port_io.h"
#include "serial/vtscomm32_props.h"

class QComboBox;
namespace Platform {
class TIniFile;
}
namespace Serial {
class TCommMessage;
class TCommWindow;
class TReadThread;
class TWriteThread;
struct TPortSession;
}  // namespace Serial

// A port thread could not be made ("Unable to create Read thread", "Unable
// to create Write thread"); raised by StartComm after the port was closed
// again as failed.
class ECommsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using TNotifyEvent = std::function<void(VTixCommunicationComponent* Sender)>;
using TEventChangeLines = std::function<void(VTixCommunicationComponent* Sender, bool Value)>;
using TEventError = std::function<void(VTixCommunicationComponent* Sender, uint32_t Error)>;

// The serial port component: one port, its line settings, a read thread
// and a write thread, and the events by which received bytes, state
// changes and modem-line changes reach the main thread.
//
// Construct, use and destroy it on the main thread, with a
// QCoreApplication present; every event is raised on the main thread, from
// the application's event loop. A handler may call StartComm or StopComm.
class TVTSComm32 : public VTixCommunicationComponent {
public:
    TVTSComm32();
    ~TVTSComm32() override;

    // ---- Loading from a form description ----
    // Between BeginLoading and Loaded property changes are only stored.
    // Loaded opens the port when AutoReconnect is set and then reports the
    // state.
    void BeginLoading();
    void Loaded();

    // ---- Port layer ----
    // Installs the maker of the port objects (the test port, say); an empty
    // factory restores the termios one. Takes effect at the next opening.
    void SetPortFactory(Serial::TPortFactory factory);
    // How long closing waits for each thread (10000 ms).
    void SetThreadCloseTimeout(int ms) { closeTimeoutMs_ = ms; }
    // Installs what starts the port's threads (tests make it fail); empty
    // restores std::thread. Takes effect at the next opening.
    void SetThreadStarter(std::function<std::thread(std::function<void()>)> starter)
    {
        threadStarter_ = std::move(starter);
    }

    // ---- The link ----
    // Opens the port; false (and the state CommStateFailed) when it cannot
    // be opened. When a port thread cannot be made the port is closed as
    // failed and ECommsError is raised. The settings that open the port
    // by themselves (SetCommPort, SetAutoReconnect, a line setting with
    // AutoReconnect, the configuration text and ini file, Loaded) report
    // that failure through the state only, as any other failed opening.
    bool StartComm() override;
    void StopComm() override;
    // Closes the port; with Failed the state becomes CommStateFailed.
    void StopComm2(bool Failed);
    bool Connected() const override;
    TCommState ConnectionState() const override;
    void SetOnStateChange(TEventChangeState Handler) override;
    void SetOnAdvancedStateChange(TAdvancedEventChangeState Handler) override;

    // Queues a copy of the bytes for the write thread; never blocks. 0
    // bytes complete as an empty write; a negative length is refused.
    bool WriteCommData(const char* Buffer, int32_t Length) override;
    using VTixCommunicationComponent::WriteCommData;
    // The same, one byte at a time with 1 ms after each; 0 bytes refused.
    bool WriteCommDataSlow(const char* Buffer, uint16_t Length);
    // Bytes received by the port and not read yet.
    uint32_t GetBytesReady();
    void RequestHangup();

    // ---- Settings ----
    bool GetAutoReconnect() const { return autoReconnect_; }
    void SetAutoReconnect(bool Value);
    // The name as given: "COMn" (opened as /dev/ttyS(n-1)) or a device path.
    const std::string& GetCommPort() const { return commPort_; }
    void SetCommPort(const std::string& Name);
    TBaudRate GetBaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate Value);
    TParity GetParity() const { return parity_; }
    void SetParity(TParity Value);
    TDataBits GetDataBits() const { return dataBits_; }
    void SetDataBits(TDataBits Value);
    TStopBits GetStopBits() const { return stopBits_; }
    void SetStopBits(TStopBits Value);
    uint32_t GetBaudRateInt() const;
    // Only rates of the table; others change nothing.
    void SetBaudRateInt(uint32_t Rate);

    VTSComm32Signals& Signals() { return signals_; }
    VTSComm32Chars& Chars() { return chars_; }
    VTSComm32Options& Options() { return options_; }
    VTSComm32Timeouts& Timeouts() { return timeouts_; }
    const VTSComm32Signals& Signals() const { return signals_; }
    const VTSComm32Chars& Chars() const { return chars_; }
    const VTSComm32Options& Options() const { return options_; }
    const VTSComm32Timeouts& Timeouts() const { return timeouts_; }
    void SetSignals(const VTSComm32Signals& Value) { signals_.Assign(Value); }
    void SetChars(const VTSComm32Chars& Value) { chars_.Assign(Value); }
    void SetOptions(const VTSComm32Options& Value) { options_.Assign(Value); }
    void SetTimeouts(const VTSComm32Timeouts& Value) { timeouts_.Assign(Value); }

    // Copies the settings and handlers (not CommPort).
    void Assign(const TVTSComm32& Source);

    // ---- Applying settings ----
    // Applies the settings to an open port; false when closed or refused.
    bool UpdateDCB();
    // UpdateDCB, then sends DTR and RTS.
    bool UpdateDCB2();
    // The control block of the current settings.
    void UpdateDCB3(Serial::TDCB& DCB) const;
    // Takes the line settings of a control block (no setter runs) and
    // applies them; see ConfigDialog.
    bool SetFromDCB(const Serial::TDCB& DCB, bool KeepRTSControl);

    // ---- Modem lines ----
    // MS_* bits; on an open port read afresh (a failing read closes the
    // port as failed). A device without modem lines reads 0.
    uint32_t GetModemState();
    bool GetCTS() { return GetModemState() & 0x10; }
    bool GetDSR() { return GetModemState() & 0x20; }
    bool GetRING() { return GetModemState() & 0x40; }
    bool GetRLSD() { return GetModemState() & 0x80; }
    // An escape function (Serial::SETRTS ...) on the open port.
    bool ExtraFunc(int Function);

    // ---- Configuration text and ini files ----
    std::string GetConfigAsString() override;
    void SetConfigAsString(const std::string& Line) override;
    void SaveToIni(Platform::TIniFile& IniFile, const std::string& Section);
    void LoadFromIni(Platform::TIniFile& IniFile, const std::string& Section);

    // ---- Dialogs (serial_ui) ----
    // The settings dialog: runs an editor over a control block. It returns
    // 1 when confirmed (DCB holds the result), 0 when cancelled, -1 when no
    // dialog could be shown. Serial::InstallPortSettingsDialog sets the
    // program's own.
    using TConfigDialogRunner = std::function<int(TVTSComm32& Comm, bool Owned, Serial::TDCB& DCB)>;
    void SetConfigDialogRunner(TConfigDialogRunner Runner) { configDialogRunner_ = std::move(Runner); }
    bool ConfigDialog(bool Owned) override;
    // A small window of its own with the port, baud rate, parity and stop
    // bits (defined in serial_ui).
    void ConfigDialog2(const std::string& Caption);

    // ---- Port list ----
    // The list of the combo box: the system's ports (sorted), with CommPort
    // added when it is not among them. Patterns: wildcard patterns, each
    // ended by a 0 character, over the ports' device names; on return the
    // port of the first match, or empty. One match switches a closed
    // component to that port. False when the system lists no port.
    // SwitchedTo (when given) receives the port switched to, else empty.
    bool CommPortListItems(std::string& Patterns, std::vector<std::string>& Items,
                           std::string* SwitchedTo = nullptr);
    // Fill and select in a combo box (defined in serial_ui).
    bool SetCommComboBoxItems(QComboBox* ComboBox);
    bool SetCommComboBoxItems(QComboBox* ComboBox, std::string& Patterns);
    bool SetCommComboBoxIndex(QComboBox* ComboBox);
    // Where the port list is read (tests point these at a made-up tree).
    void SetPortListRoots(std::string sysClassTty, std::string devDir);

    // ---- Events ----
    TNotifyEvent GetRequestHangupEvent() const { return OnRequestHangup; }
    void SetRequestHangupEvent(TNotifyEvent Handler) { OnRequestHangup = std::move(Handler); }
    TNotifyEvent OnRequestHangup;
    TNotifyEvent OnBreak;
    TEventChangeLines OnChangedCTS;
    TEventChangeLines OnChangedDSR;
    TNotifyEvent OnErrorFrame;
    TNotifyEvent OnErrorOverrun;
    TNotifyEvent OnErrorParity;
    TNotifyEvent OnErrorBreak;
    TEventError OnErrorOther;
    TEventChangeLines OnRing;
    TEventChangeLines OnChangedRLSD;
    TNotifyEvent OnRxChar;
    TNotifyEvent OnRxFlag;
    TNotifyEvent OnTxEmpty;

private:
    friend class VTSComm32Signals;
    friend class VTSComm32Timeouts;
    enum class PortState { Closed, Open, Failed };

    void notifyWatcher(TCommState State);
    void lineSettingChanged();
    void commWndProc(Serial::TCommMessage& Message);
    void portEvent(uint32_t Mask, uint32_t Errors, uint32_t Status);
    void SetModemState(uint32_t Value);
    bool escape(int Function);
    void failOpen();
    // StartComm for a setting that opens the port: ECommsError is left to
    // the state report.
    void startFromSetting();
    // Hands a copy of the bytes to the write thread; Slow sends them one by one.
    bool queueWrite(const char* Buffer, size_t Length, bool Slow);
    // Parses the signals field of a configuration text; true when changed.
    bool applySignalsText(const std::string& Field, bool alwaysSendLines);

    std::unique_ptr<Serial::TCommWindow> window_;
    Serial::TPortFactory portFactory_;
    std::shared_ptr<Serial::TPortSession> session_;
    std::unique_ptr<Serial::TReadThread> readThread_;
    std::unique_ptr<Serial::TWriteThread> writeThread_;
    PortState portState_ = PortState::Closed;
    uint32_t sessionCounter_ = 0;
    bool restarting_ = false;
    bool loading_ = false;
    TCommState lastReported_ = CommStateFirst;
    uint32_t modemState_ = 0;
    // The open port answered that it has no modem lines.
    bool noModemLines_ = false;
    uint32_t creationTick_;
    int closeTimeoutMs_ = 10000;
    std::function<std::thread(std::function<void()>)> threadStarter_;

    bool autoReconnect_ = false;
    std::string commPort_;
    TBaudRate baudRate_ = TBaudRate::__19200;
    TParity parity_ = TParity::None;
    TDataBits dataBits_ = TDataBits::_8;
    TStopBits stopBits_ = TStopBits::_1;
    VTSComm32Signals signals_{this};
    VTSComm32Chars chars_{this};
    VTSComm32Options options_{this};
    VTSComm32Timeouts timeouts_{this};
    TConfigDialogRunner configDialogRunner_;
    std::string sysClassTty_ = "/sys/class/tty";
    std::string devDir_ = "/dev";
};
