#include "serial/vtscomm32.h"

#include <QCoreApplication>

#include <cerrno>
#include <exception>

#include "foundation/tixutils_timer.h"
#include "platform/debug_sink.h"
#include "platform/tick.h"
#include "serial/comm_messages.h"
#include "serial/modem_lines.h"
#include "serial/port_list.h"
#include "serial/port_threads.h"
#include "serial/termios_port.h"

using Serial::TCommMessage;

namespace {

void LogDebugInfo(const std::string& text)
{
    Platform::EmitDebugText(text);
}

}  // namespace

TVTSComm32::TVTSComm32()
    : window_(std::make_unique<Serial::TCommWindow>([this](TCommMessage& m) { commWndProc(m); })),
      creationTick_(Platform::GetTickCount())
{
    SetAutoReconnect(true);  // with no port name yet this only stores it
    commPort_ = "COM1";
}

TVTSComm32::~TVTSComm32()
{
    StopComm();
    // Deliver what is still queued, so that the report of this stop
    // reaches the state handler.
    QCoreApplication::sendPostedEvents(window_.get(), 0);
    window_.reset();
}

void TVTSComm32::BeginLoading()
{
    loading_ = true;
}

void TVTSComm32::Loaded()
{
    loading_ = false;
    if (autoReconnect_)
        startFromSetting();
    notifyWatcher(CommStateFirst);
}

void TVTSComm32::SetPortFactory(Serial::TPortFactory factory)
{
    portFactory_ = std::move(factory);
}

// ---- Opening and closing --------------------------------------------------

void TVTSComm32::failOpen()
{
    portState_ = PortState::Failed;
    notifyWatcher(CommStateFirst);
}

bool TVTSComm32::StartComm()
{
    if (Connected()) {
        restarting_ = true;
        StopComm();
        restarting_ = false;
    }

    const std::string path = Serial::PortDevicePath(commPort_);
    std::shared_ptr<Serial::TPortSession> session;
    try {
        std::unique_ptr<Serial::TPortIO> port = portFactory_ ? portFactory_() : Serial::MakeTermiosPort();
        if (!port || path.empty() || port->Open(path) != 0) {
            failOpen();
            return false;
        }
        session = std::make_shared<Serial::TPortSession>();
        session->port = std::move(port);
    } catch (const std::exception& e) {
        LogDebugInfo(std::string("Unable to CreateEvent: ") + e.what());
        failOpen();
        return false;
    }
    session->poster = std::make_shared<Serial::TCommPoster>(window_.get());
    session->session = ++sessionCounter_;
    if (session->session == 0)
        session->session = ++sessionCounter_;  // 0 stands for "no port"
    session->creationTick = creationTick_;
    session->startThread = threadStarter_;
    session_ = session;
    noModemLines_ = false;
    portState_ = PortState::Open;

    UpdateDCB2();

    // A port whose thread cannot be made is closed as failed (not as freed:
    // the state shows the failure as any other failed opening).
    try {
        readThread_ = std::make_unique<Serial::TReadThread>(session_);
    } catch (const std::exception&) {
        LogDebugInfo("Unable to create Read thread");
        StopComm2(true);
        throw ECommsError("Unable to create Read thread");
    }
    try {
        writeThread_ = std::make_unique<Serial::TWriteThread>(session_);
    } catch (const std::exception&) {
        LogDebugInfo("Unable to create Write thread");
        StopComm2(true);
        throw ECommsError("Unable to create Write thread");
    }
    notifyWatcher(CommStateFirst);
    return true;
}

void TVTSComm32::startFromSetting()
{
    try {
        StartComm();
    } catch (const ECommsError&) {
        // Reported: the port's state is CommStateFailed.
    }
}

void TVTSComm32::StopComm()
{
    StopComm2(false);
}

void TVTSComm32::StopComm2(bool Failed)
{
    LogDebugInfo("Stopping the Comm");
    if (session_) {
        session_->closeEvent.Set();
        session_->port->Purge(true, false);
        if (readThread_) {
            LogDebugInfo("Closing Read Thread ");
            if (!readThread_->Finish(closeTimeoutMs_))
                LogDebugInfo("Read thread not exiting.  Terminating it.");
            readThread_.reset();
        }
        session_->port->Purge(false, true);
        if (writeThread_) {
            LogDebugInfo("Closing Write Thread");
            if (!writeThread_->Finish(closeTimeoutMs_))
                LogDebugInfo("Write thread not exiting.  Terminating it.");
            writeThread_.reset();
        }
        session_->poster->Detach();
        // The descriptor closes here, unless a thread that would not end
        // still holds the session: then it closes when that thread ends.
        session_.reset();
    }
    QCoreApplication::removePostedEvents(window_.get(), TCommMessage::DataType());
    portState_ = Failed ? PortState::Failed : PortState::Closed;
    notifyWatcher(Failed ? CommStateFailed : CommStateDisconnected);
    // A closed port has no lines: the RING and DCD lamps go out.
    SetModemState(0);
}

[[gnu::hot]] bool TVTSComm32::Connected() const  // on every tick
{
    return portState_ == PortState::Open;
}

TCommState TVTSComm32::ConnectionState() const
{
    switch (portState_) {
    case PortState::Open: return CommStateConnected;
    case PortState::Failed: return CommStateFailed;
    default: return CommStateDisconnected;
    }
}

void TVTSComm32::SetOnStateChange(TEventChangeState Handler)
{
    VTixCommunicationComponent::SetOnStateChange(std::move(Handler));
    notifyWatcher(CommStateFirst);
}

void TVTSComm32::SetOnAdvancedStateChange(TAdvancedEventChangeState Handler)
{
    VTixCommunicationComponent::SetOnAdvancedStateChange(std::move(Handler));
    notifyWatcher(CommStateFirst);
}

void TVTSComm32::notifyWatcher(TCommState State)
{
    if (restarting_)
        return;
    QCoreApplication::postEvent(window_.get(), new TCommMessage(TCommMessage::StateReport, 0, State, 0));
}

// ---- Writing ------------------------------------------------------------------

bool TVTSComm32::WriteCommData(const char* Buffer, int32_t Length)
{
    if (Length < 0 || (Length > 0 && !Buffer))
        return false;
    return queueWrite(Buffer, static_cast<size_t>(Length), false);
}

bool TVTSComm32::WriteCommDataSlow(const char* Buffer, uint16_t Length)
{
    if (Length == 0 || !Buffer)
        return false;
    return queueWrite(Buffer, Length, true);
}

bool TVTSComm32::queueWrite(const char* Buffer, size_t Length, bool Slow)
{
    if (!writeThread_) {
        LogDebugInfo("Write thread not created");
        return false;
    }
    if (!writeThread_->Post(Serial::TWriteItem(Buffer, Length, Slow))) {
        LogDebugInfo("Failed to Post to Write thread. ");
        return false;
    }
    return true;
}

uint32_t TVTSComm32::GetBytesReady()
{
    uint32_t count = 0;
    if (!session_ || !Connected() || session_->port->BytesReady(count) != 0)
        return 0;
    return count;
}

void TVTSComm32::RequestHangup()
{
    if (OnRequestHangup)
        OnRequestHangup(this);
}

// ---- The hidden receiver ----------------------------------------------------

void TVTSComm32::commWndProc(TCommMessage& Message)
{
    const bool current = session_ && Message.session == session_->session && Connected();
    switch (Message.kind) {
    case TCommMessage::ReceivedData:
        if (current)
            DoReceiveData(Message.data.get(), static_cast<uint16_t>(Message.wParam));
        break;
    case TCommMessage::Hangup:
        if (!current)
            break;  // a report of a port closed since: never closes a newer one
        if (Message.wParam != 0)
            StopComm2(true);
        else
            RequestHangup();
        break;
    case TCommMessage::StateReport: {
        if (!OnStateChange && !OnAdvancedStateChange)
            break;
        TCommState state = static_cast<TCommState>(Message.wParam & 0xFF);
        if (state == CommStateFirst)
            state = ConnectionState();
        if (state == lastReported_)
            break;
        lastReported_ = state;
        if (OnStateChange)
            OnStateChange(this, state);
        if (OnAdvancedStateChange)
            OnAdvancedStateChange(this, this, state);
        break;
    }
    case TCommMessage::PortEvent:
        if (current)
            portEvent(Message.wParam, Message.lParam >> 16, Message.lParam & 0xFFFF);
        break;
    case TCommMessage::ModemPoll:
        if (current) {
            session_->poster->pollPending = false;
            GetModemState();
        }
        break;
    }
}

void TVTSComm32::portEvent(uint32_t Mask, uint32_t Errors, uint32_t Status)
{
    using namespace Serial;
    if ((Mask & EV_BREAK) && OnBreak)
        OnBreak(this);
    if ((Mask & EV_CTS) && OnChangedCTS)
        OnChangedCTS(this, Status & MS_CTS_ON);
    if ((Mask & EV_DSR) && OnChangedDSR)
        OnChangedDSR(this, Status & MS_DSR_ON);
    if (Errors != 0 && (Mask & EV_ERR)) {
        // Each known error raises its own event; what is left goes to OnErrorOther.
        static constexpr struct {
            uint32_t bit;
            TNotifyEvent TVTSComm32::*handler;
        } known[] = {
            {CE_FRAME, &TVTSComm32::OnErrorFrame},
            {CE_OVERRUN, &TVTSComm32::OnErrorOverrun},
            {CE_RXPARITY, &TVTSComm32::OnErrorParity},
            {CE_BREAK, &TVTSComm32::OnErrorBreak},
        };
        for (const auto& [bit, handler] : known) {
            if (!(Errors & bit))
                continue;
            if (this->*handler)
                (this->*handler)(this);
            Errors &= ~bit;
        }
        if (Errors != 0 && OnErrorOther)
            OnErrorOther(this, Errors);
    }
    SetModemState(Status);
    if ((Mask & EV_RXCHAR) && OnRxChar)
        OnRxChar(this);
    if ((Mask & EV_RXFLAG) && OnRxFlag)
        OnRxFlag(this);
    if ((Mask & EV_TXEMPTY) && OnTxEmpty)
        OnTxEmpty(this);
}

// ---- Modem lines --------------------------------------------------------------

[[gnu::hot]] uint32_t TVTSComm32::GetModemState()  // on every tick
{
    // Asked on every tick: a port known to have no lines is not asked again.
    if (noModemLines_)
        return modemState_;
    if (Connected() && Tixutils::IsTimerOver(creationTick_, 10)) {
        uint32_t status = 0;
        const int r = session_->port->GetModemStatus(status);
        if (r == 0) {
            SetModemState(status);
        } else if (r == ENOTTY) {
            SetModemState(0);  // a device without modem lines
            noModemLines_ = true;
        } else {
            StopComm2(true);
        }
    }
    return modemState_;
}

void TVTSComm32::SetModemState(uint32_t Value)
{
    if (Value == modemState_)
        return;
    const uint32_t changed = Value ^ modemState_;
    modemState_ = Value;
    if ((changed & Serial::MS_RING_ON) && OnRing)
        OnRing(this, Value & Serial::MS_RING_ON);
    if ((changed & Serial::MS_RLSD_ON) && OnChangedRLSD)
        OnChangedRLSD(this, Value & Serial::MS_RLSD_ON);
}

bool TVTSComm32::escape(int Function)
{
    return Connected() && session_->port->Escape(Function) == 0;
}

bool TVTSComm32::ExtraFunc(int Function)
{
    return escape(Function);
}

// ---- Settings -----------------------------------------------------------------

void TVTSComm32::SetAutoReconnect(bool Value)
{
    if (Value && !commPort_.empty() && !Connected()) {
        autoReconnect_ = true;
        startFromSetting();
    } else {
        autoReconnect_ = Value;
    }
}

void TVTSComm32::SetCommPort(const std::string& Name)
{
    if (Name == commPort_ && Connected())
        return;
    if (!loading_ && (Connected() || autoReconnect_)) {
        StopComm();
        commPort_ = Name;
        startFromSetting();
        return;
    }
    if (Name != commPort_) {
        StopComm();
        commPort_ = Name;
    }
}

void TVTSComm32::lineSettingChanged()
{
    if (loading_)
        return;
    if (Connected())
        UpdateDCB2();
    else if (autoReconnect_)
        startFromSetting();
}

void TVTSComm32::SetBaudRate(TBaudRate Value)
{
    if (Value == baudRate_)
        return;
    baudRate_ = Value;
    lineSettingChanged();
}

void TVTSComm32::SetParity(TParity Value)
{
    if (Value == parity_)
        return;
    parity_ = Value;
    lineSettingChanged();
}

void TVTSComm32::SetDataBits(TDataBits Value)
{
    if (Value == dataBits_)
        return;
    dataBits_ = Value;
    lineSettingChanged();
}

void TVTSComm32::SetStopBits(TStopBits Value)
{
    if (Value == stopBits_)
        return;
    stopBits_ = Value;
    lineSettingChanged();
}

uint32_t TVTSComm32::GetBaudRateInt() const
{
    return TBaudRateLookup[static_cast<size_t>(baudRate_)];
}

void TVTSComm32::SetBaudRateInt(uint32_t Rate)
{
    const int index = IndexOfNumber(TBaudRateLookup, Rate);
    if (index >= 0)
        SetBaudRate(static_cast<TBaudRate>(index));
}

void TVTSComm32::Assign(const TVTSComm32& Source)
{
    if (&Source == this)
        return;
    SetAutoReconnect(Source.autoReconnect_);
    SetBaudRate(Source.baudRate_);
    SetDataBits(Source.dataBits_);
    options_.Assign(Source.options_);
    SetParity(Source.parity_);
    signals_.Assign(Source.signals_);
    chars_.Assign(Source.chars_);
    SetStopBits(Source.stopBits_);
    timeouts_.Assign(Source.timeouts_);
    TreatMainChannelAsNil = Source.TreatMainChannelAsNil;
    SetAdvancedReceiveDataEvent(Source.OnAdvancedReceiveData);
    SetOnAdvancedStateChange(Source.OnAdvancedStateChange);
    OnBreak = Source.OnBreak;
    OnChangedCTS = Source.OnChangedCTS;
    OnChangedDSR = Source.OnChangedDSR;
    OnChangedRLSD = Source.OnChangedRLSD;
    OnErrorBreak = Source.OnErrorBreak;
    OnErrorFrame = Source.OnErrorFrame;
    OnErrorOther = Source.OnErrorOther;
    OnErrorOverrun = Source.OnErrorOverrun;
    OnErrorParity = Source.OnErrorParity;
    SetReceiveDataEvent(Source.OnReceiveData);
    SetRequestHangupEvent(Source.OnRequestHangup);
    OnRing = Source.OnRing;
    OnRxChar = Source.OnRxChar;
    OnRxFlag = Source.OnRxFlag;
    SetOnStateChange(Source.OnStateChange);
    OnTxEmpty = Source.OnTxEmpty;
}

// ---- Applying settings ----------------------------------------------------------

void TVTSComm32::UpdateDCB3(Serial::TDCB& DCB) const
{
    using Serial::TDCB;
    DCB = TDCB {};
    DCB.DCBlength = 28;
    uint32_t flags = TDCB::fBinary | TDCB::fTXContinueOnXoff;
    if (signals_.ctsHandshake_)
        flags |= TDCB::fOutxCtsFlow;
    if (signals_.dsrHandshake_)
        flags |= TDCB::fOutxDsrFlow;
    if (signals_.xOnOffTransmit_)
        flags |= TDCB::fOutX;
    if (signals_.xOnOffReceive_)
        flags |= TDCB::fInX;
    DCB.Flags = flags;
    DCB.SetDtrControl(signals_.dtrControl_);
    DCB.SetRtsControl(signals_.rtsControl_);
    DCB.XonLim = 2048;
    DCB.XoffLim = 512;
    DCB.XonChar = chars_.XOn;
    DCB.XoffChar = chars_.XOff;
    DCB.EvtChar = chars_.Evt;
    DCB.BaudRate = GetBaudRateInt();
    DCB.Parity = static_cast<uint8_t>(parity_);
    DCB.ByteSize = static_cast<uint8_t>(static_cast<int>(dataBits_) + 4);
    DCB.StopBits = static_cast<uint8_t>(stopBits_);
}

bool TVTSComm32::UpdateDCB()
{
    if (!Connected())
        return false;
    Serial::TDCB dcb;
    UpdateDCB3(dcb);
    session_->evtChar = static_cast<unsigned char>(chars_.Evt);
    // A setting the device refuses leaves the port open and unchanged.
    return session_->port->Configure(dcb) == 0;
}

bool TVTSComm32::UpdateDCB2()
{
    const bool result = UpdateDCB();
    signals_.SetDTR(signals_.dtr_);
    signals_.SetRTS(signals_.rts_);
    return result;
}

bool TVTSComm32::SetFromDCB(const Serial::TDCB& DCB, bool KeepRTSControl)
{
    const int rate = IndexOfNumber(TBaudRateLookup, DCB.BaudRate);
    if (rate >= 0)
        baudRate_ = static_cast<TBaudRate>(rate);
    if (DCB.Parity <= 4)
        parity_ = static_cast<TParity>(DCB.Parity);
    if (DCB.ByteSize >= 4 && DCB.ByteSize <= 8)
        dataBits_ = static_cast<TDataBits>(DCB.ByteSize - 4);
    if (DCB.StopBits <= 2)
        stopBits_ = static_cast<TStopBits>(DCB.StopBits);
    if (DCB.DtrControl() <= 2)
        signals_.dtrControl_ = static_cast<VTixSignalControl_DTR>(DCB.DtrControl());
    signals_.xOnOffTransmit_ = DCB.Flags & Serial::TDCB::fOutX;
    signals_.xOnOffReceive_ = DCB.Flags & Serial::TDCB::fInX;
    if (!KeepRTSControl)
        signals_.rtsControl_ = static_cast<VTixSignalControl_RTS>(DCB.RtsControl());
    return UpdateDCB();
}

bool TVTSComm32::ConfigDialog(bool Owned)
{
    // The dialog starts from the properties, open port or not: they are
    // what the port was last given.
    Serial::TDCB dcb;
    UpdateDCB3(dcb);
    const bool readFlag = Connected();
    if (!configDialogRunner_)
        return readFlag;
    const int result = configDialogRunner_(*this, Owned, dcb);
    if (result > 0)
        return SetFromDCB(dcb, false);
    if (result == 0)
        return true;  // cancelled
    return readFlag;
}
