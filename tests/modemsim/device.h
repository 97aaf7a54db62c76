#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "tests/modemsim/call_state.h"
#include "tests/modemsim/device_clock.h"
#include "tests/modemsim/faults.h"
#include "tests/modemsim/phonebook_memories.h"
#include "tests/modemsim/profile.h"
#include "tests/modemsim/sms_state.h"

// The state of one simulated device: settings, power, SIM card, network,
// clock, alarm and battery, and the things that happen to it over time.
// The command families read and change it; the framing (echo, result
// codes) lives in TAtCore. Everything here runs on the simulator's thread.
namespace ModemSim {

// What the device needs from the simulator around it.
class TDeviceHost {
public:
    virtual ~TDeviceHost() = default;
    virtual int64_t SteadyMs() const = 0;                               // since the simulator started
    virtual void Unsolicited(const std::string& line) = 0;              // one framed line to the program
    virtual void After(int delayMs, std::function<void()> action) = 0;  // a timed step
    virtual void SetLine(uint32_t msBit, bool on) = 0;                  // CTS, DSR, RING or DCD (MS_* bit)
    virtual void Note(const std::string& event) = 0;                    // transcript event
};

enum class TPowerState {
    On,         // answering
    Sleep,      // +CFUN=0 sleep: answers nothing, CTS off, an RTS change wakes it
    Off,        // ^SMSO: answers nothing, DSR and CTS off
    AlarmMode   // woken from Off by the alarm: only clock, alarm and power commands
};

// +CME ERROR numbers of 3GPP TS 27.007.
namespace Cme {
constexpr int PhoneFailure = 0, NotAllowed = 3, NotSupported = 4, SimNotInserted = 10, SimPinRequired = 11,
              SimPukRequired = 12, SimFailure = 13, SimBusy = 14, IncorrectPassword = 16, NotFound = 22,
              NoNetwork = 30, NetworkTimeout = 31, EmergencyOnly = 32, Unknown = 100;
const char* Text(int code);  // verbose text, nullptr for an unknown number
}  // namespace Cme

class TDevice {
public:
    TDevice(TProfile profile, std::shared_ptr<TTimeSource> time, TDeviceHost& host);

    const TProfile& Profile() const { return profile_; }
    TDeviceHost& Host() { return host_; }
    TDeviceClock& Clock() { return clock_; }

    // Cold start: settings from the profile, card locked again if it has a
    // PIN, registration anew. `announce` sends the start-up line of
    // devices that have one.
    void PowerUp(bool announce);
    // ATZ / AT&F: the command settings only.
    void ResetSettings();

    // ---- command settings
    bool echo = true;
    bool verbose = true;  // V1
    bool quiet = false;   // Q1
    int cmee = 0;
    std::string charset = "IRA";
    int sreg[32] = {};
    int baud = 0;  // fixed rate, 0 autobauding

    // ---- power
    TPowerState power = TPowerState::On;
    int fun = 1;
    bool Answers() const { return power == TPowerState::On || power == TPowerState::AlarmMode; }
    void SetFun(int value);  // +CFUN=n after its OK
    void Sleep();
    void Wake(const std::string& why);
    void PowerOff();

    // ---- SIM card
    TSimCard sim = TSimCard::Ready;
    bool pinEnabled = false;
    int pinAttempts = 3, pukAttempts = 10;
    std::string pin, puk;
    bool SimBusy() const;
    // 0 when commands that need the card may run, else the +CME error.
    int SimError() const;
    // +CPIN value text ("READY", "SIM PIN", ...), empty when the answer is an error.
    std::string CpinValue() const;
    // PIN or PUK entry; returns 0 or a +CME error. Counts attempts down.
    int EnterPin(const std::string& code, const std::string* newPin);

    // ---- network
    int cregN = 0;
    int cgregN = 0;  // +CGREG report setting (GPRS devices)
    int stat = 0;  // +CREG state
    int lac = -1, cell = -1;
    int copsMode = 0, copsFormat = 0;
    std::string currentOperator;  // numeric; empty = none
    std::string manualOperator;   // numeric of a manual selection
    int rssi = 99, ber = 99;
    void StartRegistration();
    void Deregister();
    // Manual (mode 1 or 4) or automatic (mode 0, empty numeric) selection.
    void SelectOperator(int mode, const std::string& numeric);
    // Forces a registration state (tests, scripts); unsolicited report per +CREG.
    void SetRegistration(int newStat, int newLac, int newCell);
    // Value of a +CREG report (`read` adds n in front); +CGREG with its own n.
    std::string CregValue(bool read) const { return RegValue(cregN, read); }
    std::string CgregValue(bool read) const { return RegValue(cgregN, read); }
    // Operator name in a +COPS format (0 long, 1 short, 2 numeric).
    std::string OperatorName(const std::string& numeric, int format) const;
    int OperatorStatus(const TOperatorInfo& op) const;

    // ---- clock
    std::string clockZone;  // shown after the time; empty on devices without zones

    // ---- alarm
    bool alarmSet = false;
    int64_t alarmMs = 0;  // device time
    std::string alarmText;

    // ---- battery
    int chargerStatus = 0, batteryLevel = 0, consumption = 0;

    // ---- SMS: memories, centre, indications (commands_sms.cpp)
    TSmsState sms;
    // ---- phonebook memories (kept across power-ups, like a SIM card's)
    TPhonebookMemories phonebook;
    // ---- calls (commands_calls.cpp)
    TCallState calls;

    // ---- faults
    int64_t errorUntil = 0;  // steady ms: every command answers ERROR until then
    int dropFinals = 0;      // the next n command lines lose their final result
    TFaults faults;          // fault switches (faults.h), the profile's first

    // Checks the alarm; called on every turn of the simulator's loop.
    void Tick();
    // How long the loop may sleep before Tick needs to run again.
    int NextTickMs() const;
    // The program changed RTS or DTR.
    void ProgramLines(bool rts, bool dtr);
    void UpdateLines();

private:
    void Registered();
    void RegisterAfterAnswer();
    void EmitReports(bool statChanged);
    std::string RegValue(int n, bool read) const;

    TProfile profile_;
    TDeviceHost& host_;
    TDeviceClock clock_;
    int64_t simBusyUntil_ = 0;
    uint64_t generation_ = 0;  // bumped at every power change: stale timed steps do nothing
    bool rts_ = false, dtr_ = false;
};

}  // namespace ModemSim
