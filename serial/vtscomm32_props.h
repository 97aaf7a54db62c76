#pragma once
#include <array>
#include <cstdint>

#include "serial/comm_types.h"

class TVTSComm32;

// The property sub-objects of the serial port component. Each keeps a
// pointer to its component and applies a change to the open port.

class VTSComm32Signals {
public:
    explicit VTSComm32Signals(TVTSComm32* owner) : owner_(owner) {}
    VTSComm32Signals(const VTSComm32Signals&) = delete;
    VTSComm32Signals& operator=(const VTSComm32Signals&) = delete;

    bool DTR() const { return dtr_; }
    VTixSignalControl_DTR DTRControl() const { return dtrControl_; }
    bool RTS() const { return rts_; }
    VTixSignalControl_RTS RTSControl() const { return rtsControl_; }
    bool CTSHandshake() const { return ctsHandshake_; }
    bool DSRHandshake() const { return dsrHandshake_; }
    bool XOnOffTransmit() const { return xOnOffTransmit_; }
    bool XOnOffReceive() const { return xOnOffReceive_; }

    // Stores the line state and, on an open port, sets the line; the
    // result is that of setting the line (false while closed).
    bool SetDTR(bool value);
    bool SetRTS(bool value);
    void SetDTRControl(VTixSignalControl_DTR value);
    void SetRTSControl(VTixSignalControl_RTS value);
    void SetCTSHandshake(bool value);
    void SetDSRHandshake(bool value);
    // These two apply the settings without sending DTR and RTS again.
    void SetXOnOffTransmit(bool value);
    void SetXOnOffReceive(bool value);

    // Copies the handshakes and the DTR and RTS settings (not the two
    // XOn/XOff flags) and applies them.
    void Assign(const VTSComm32Signals& source);

private:
    friend class TVTSComm32;  // reads settings from a control block directly
    TVTSComm32* owner_;
    bool dtr_ = true;
    VTixSignalControl_DTR dtrControl_ = VTixSignalControl_DTREnable;
    bool rts_ = true;
    VTixSignalControl_RTS rtsControl_ = VTixSignalControl_RTSEnable;
    bool ctsHandshake_ = false;
    bool dsrHandshake_ = false;
    bool xOnOffTransmit_ = false;
    bool xOnOffReceive_ = false;
};

// Flow-control and event characters; written directly, used at the next
// update of the port settings.
class VTSComm32Chars {
public:
    explicit VTSComm32Chars(TVTSComm32* owner) : owner_(owner) {}
    VTSComm32Chars(const VTSComm32Chars&) = delete;
    VTSComm32Chars& operator=(const VTSComm32Chars&) = delete;

    char XOn = 17;
    char XOff = 19;
    char Evt = 0;

    void Assign(const VTSComm32Chars& source);

private:
    TVTSComm32* owner_;
};

class VTSComm32Options {
public:
    explicit VTSComm32Options(TVTSComm32* owner) : owner_(owner) {}
    VTSComm32Options(const VTSComm32Options&) = delete;
    VTSComm32Options& operator=(const VTSComm32Options&) = delete;

    // Kept for stored settings; port names here are device paths and
    // take no prefix.
    Tristate EnhancedName = TristateTrue;

    void Assign(const VTSComm32Options& source) { EnhancedName = source.EnhancedName; }

private:
    TVTSComm32* owner_;
};

// Five time-outs in milliseconds (multipliers per byte), indices 0 to 4:
// ReadInterval, ReadTotalConst, ReadTotalMult, WriteTotalConst,
// WriteTotalMult. The port's threads read whatever has arrived at once,
// so they are stored and passed on, not used for timing.
class VTSComm32Timeouts {
public:
    static constexpr int Count = 5;
    explicit VTSComm32Timeouts(TVTSComm32* owner) : owner_(owner) {}
    VTSComm32Timeouts(const VTSComm32Timeouts&) = delete;
    VTSComm32Timeouts& operator=(const VTSComm32Timeouts&) = delete;

    // An index outside 0 to 4 reads 0.
    uint32_t Get(int index) const;
    // An index outside 0 to 4 changes nothing.
    void Set(int index, uint32_t value);

    uint32_t ReadInterval() const { return values_[0]; }
    uint32_t ReadTotalConst() const { return values_[1]; }
    uint32_t ReadTotalMult() const { return values_[2]; }
    uint32_t WriteTotalConst() const { return values_[3]; }
    uint32_t WriteTotalMult() const { return values_[4]; }

    void Assign(const VTSComm32Timeouts& source);

private:
    friend class TVTSComm32;
    TVTSComm32* owner_;
    std::array<uint32_t, Count> values_ = {10, 0, 0, 0, 0};
};
