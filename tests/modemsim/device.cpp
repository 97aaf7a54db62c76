#include "tests/modemsim/device.h"

#include <cstdio>

#include "serial/modem_lines.h"

namespace ModemSim {

const char* Cme::Text(int code)
{
    switch (code) {
    case 0: return "phone failure";
    case 1: return "no connection to phone";
    case 2: return "phone-adaptor link reserved";
    case 3: return "operation not allowed";
    case 4: return "operation not supported";
    case 5: return "PH-SIM PIN required";
    case 10: return "SIM not inserted";
    case 11: return "SIM PIN required";
    case 12: return "SIM PUK required";
    case 13: return "SIM failure";
    case 14: return "SIM busy";
    case 15: return "SIM wrong";
    case 16: return "incorrect password";
    case 17: return "SIM PIN2 required";
    case 18: return "SIM PUK2 required";
    case 20: return "memory full";
    case 21: return "invalid index";
    case 22: return "not found";
    case 23: return "memory failure";
    case 24: return "text string too long";
    case 25: return "invalid characters in text string";
    case 26: return "dial string too long";
    case 27: return "invalid characters in dial string";
    case 30: return "no network service";
    case 31: return "network timeout";
    case 32: return "network not allowed - emergency calls only";
    case 100: return "unknown";
    default: return nullptr;
    }
}

TDevice::TDevice(TProfile profile, std::shared_ptr<TTimeSource> time, TDeviceHost& host)
    : profile_(std::move(profile)), host_(host), clock_(std::move(time))
{
    clock_.SetOffsetMs(profile_.clockOffsetMs);
    clockZone = profile_.clockZone;
    faults.Seed(profile_.faultSeed);
    for (const std::string& line : profile_.faults)
        faults.Add(line);
    sim = profile_.sim;
    pinEnabled = profile_.sim == TSimCard::Pin;
    pinAttempts = profile_.pinAttempts;
    pukAttempts = profile_.pukAttempts;
    pin = profile_.pin;
    puk = profile_.puk;
    if (sim == TSimCard::Puk)
        pinAttempts = 0;
    baud = profile_.baud;
    sms.Load(profile_);
    phonebook = profile_.phonebooks;
}

void TDevice::ResetSettings()
{
    echo = true;
    verbose = true;
    quiet = false;
    cmee = 0;
    charset = "IRA";
    for (int& r : sreg)
        r = 0;
    sreg[3] = 13;
    sreg[4] = 10;
    sreg[5] = 8;
    sreg[7] = 60;
    sms.ResetSettings();
    // Calls
    calls.ResetSettings();
}

void TDevice::PowerUp(bool announce)
{
    ++generation_;
    ResetSettings();
    power = TPowerState::On;
    fun = 1;
    if (sim == TSimCard::Ready && pinEnabled)
        sim = TSimCard::Pin;
    cregN = 0;
    cgregN = 0;
    stat = 0;
    lac = cell = -1;
    copsFormat = 0;
    if (copsMode == 2)
        copsMode = 0;
    currentOperator.clear();
    rssi = profile_.rssi;
    ber = profile_.ber;
    chargerStatus = profile_.chargerStatus;
    batteryLevel = profile_.batteryLevel;
    consumption = profile_.consumption;
    simBusyUntil_ = host_.SteadyMs() + profile_.simBusyMs;
    UpdateLines();
    host_.Note("power up");
    if (announce && profile_.siemensUrcs)
        host_.Unsolicited("^SYSSTART");
    if (profile_.simBusyMs > 0) {
        const uint64_t gen = generation_;
        host_.After(profile_.simBusyMs, [this, gen] {
            if (gen == generation_)
                StartRegistration();
        });
    } else
        StartRegistration();
}

void TDevice::UpdateLines()
{
    host_.SetLine(Serial::MS_DSR_ON, power != TPowerState::Off);
    host_.SetLine(Serial::MS_CTS_ON, power == TPowerState::On || power == TPowerState::AlarmMode);
}

void TDevice::SetFun(int value)
{
    if (value == 0 && profile_.sleepOnCfun0) {
        Sleep();
        return;
    }
    fun = value;
    if (value == 1)
        StartRegistration();
    else
        Deregister();
}

void TDevice::Sleep()
{
    power = TPowerState::Sleep;
    fun = 0;
    UpdateLines();
    host_.Note("sleep");
}

void TDevice::Wake(const std::string& why)
{
    if (power != TPowerState::Sleep)
        return;
    power = TPowerState::On;
    fun = 1;
    UpdateLines();
    host_.Note("woken by " + why);
}

void TDevice::PowerOff()
{
    ++generation_;
    power = TPowerState::Off;
    fun = 0;
    stat = 0;
    lac = cell = -1;
    currentOperator.clear();
    UpdateLines();
    host_.Note("power off");
}

bool TDevice::SimBusy() const
{
    return host_.SteadyMs() < simBusyUntil_;
}

int TDevice::SimError() const
{
    if (sim == TSimCard::NoCard)
        return Cme::SimNotInserted;
    if (SimBusy())
        return Cme::SimBusy;
    switch (sim) {
    case TSimCard::Ready: return 0;
    case TSimCard::Pin: return Cme::SimPinRequired;
    case TSimCard::Puk: return Cme::SimPukRequired;
    default: return Cme::SimFailure;
    }
}

std::string TDevice::CpinValue() const
{
    if (sim == TSimCard::NoCard || SimBusy())
        return "";
    switch (sim) {
    case TSimCard::Ready: return "READY";
    case TSimCard::Pin: return "SIM PIN";
    case TSimCard::Puk: return "SIM PUK";
    case TSimCard::Blocked: return profile_.blockedAsCpin ? "BLOCKED" : "";
    default: return "";
    }
}

int TDevice::EnterPin(const std::string& code, const std::string* newPin)
{
    if (sim == TSimCard::NoCard)
        return Cme::SimNotInserted;
    if (SimBusy())
        return Cme::SimBusy;
    if (sim == TSimCard::Pin) {
        if (newPin)
            return Cme::NotAllowed;
        if (code == pin) {
            pinAttempts = profile_.pinAttempts;
            sim = TSimCard::Ready;
            host_.Note("PIN accepted");
            RegisterAfterAnswer();
            return 0;
        }
        --pinAttempts;
        host_.Note("wrong PIN, attempts left " + std::to_string(pinAttempts));
        if (pinAttempts <= 0) {
            pinAttempts = 0;
            sim = TSimCard::Puk;
        }
        return Cme::IncorrectPassword;
    }
    if (sim == TSimCard::Puk) {
        if (!newPin)
            return Cme::SimPukRequired;
        if (code == puk) {
            pin = *newPin;
            pinEnabled = true;
            pinAttempts = profile_.pinAttempts;
            pukAttempts = profile_.pukAttempts;
            sim = TSimCard::Ready;
            host_.Note("PUK accepted, new PIN " + pin);
            RegisterAfterAnswer();
            return 0;
        }
        --pukAttempts;
        host_.Note("wrong PUK, attempts left " + std::to_string(pukAttempts));
        if (pukAttempts <= 0) {
            pukAttempts = 0;
            sim = TSimCard::Blocked;
        }
        return Cme::IncorrectPassword;
    }
    if (sim == TSimCard::Blocked)
        return Cme::SimFailure;
    return Cme::NotAllowed;  // no PIN asked for
}

void TDevice::RegisterAfterAnswer()
{
    // The OK of the command goes out first, then the registration reports.
    const uint64_t gen = generation_;
    host_.After(0, [this, gen] {
        if (gen == generation_)
            StartRegistration();
    });
}

void TDevice::StartRegistration()
{
    if (power != TPowerState::On || fun != 1 || sim != TSimCard::Ready || SimBusy() || copsMode == 2) {
        SetRegistration(0, -1, -1);
        return;
    }
    if (profile_.registerMs > 0) {
        SetRegistration(2, -1, -1);
        const uint64_t gen = generation_;
        host_.After(profile_.registerMs, [this, gen] {
            if (gen == generation_ && stat == 2)
                Registered();
        });
    } else
        Registered();
}

void TDevice::Registered()
{
    const std::string target = (copsMode == 1 || copsMode == 4) && !manualOperator.empty()
                                   ? manualOperator
                                   : profile_.homeOperator;
    const TOperatorInfo* op = profile_.FindOperator(target);
    if (!op || op->status == 3) {
        if (copsMode == 4 || !op) {
            // Manual selection failed or unknown network: fall back home.
            const TOperatorInfo* home = profile_.FindOperator(profile_.homeOperator);
            if (home && home->status != 3 && target != profile_.homeOperator) {
                currentOperator = home->numeric;
                SetRegistration(profile_.roaming ? 5 : 1, profile_.lac, profile_.cellId);
                return;
            }
        }
        currentOperator.clear();
        SetRegistration(3, -1, -1);
        return;
    }
    currentOperator = op->numeric;
    const bool home = op->numeric == profile_.homeOperator;
    SetRegistration(home && !profile_.roaming ? 1 : 5, profile_.lac, profile_.cellId);
}

void TDevice::SelectOperator(int mode, const std::string& numeric)
{
    copsMode = mode;
    manualOperator = numeric;
    if (stat != 2)
        SetRegistration(2, -1, -1);
    StartRegistration();
}

void TDevice::Deregister()
{
    currentOperator.clear();
    SetRegistration(0, -1, -1);
}

void TDevice::SetRegistration(int newStat, int newLac, int newCell)
{
    if (newStat == stat && newLac == lac && newCell == cell)
        return;
    const bool statChanged = newStat != stat;
    stat = newStat;
    lac = newLac;
    cell = newCell;
    if (stat != 1 && stat != 5)
        currentOperator.clear();
    else if (currentOperator.empty())
        currentOperator = profile_.homeOperator;
    EmitReports(statChanged);
}

void TDevice::EmitReports(bool statChanged)
{
    if (power != TPowerState::On)
        return;
    if ((cregN == 1 && statChanged) || cregN == 2)
        host_.Unsolicited("+CREG: " + CregValue(false));
    if (profile_.gprs && ((cgregN == 1 && statChanged) || cgregN == 2))
        host_.Unsolicited("+CGREG: " + CgregValue(false));
}

std::string TDevice::RegValue(int n, bool read) const
{
    std::string v = read ? std::to_string(n) + "," : "";
    v += std::to_string(stat);
    if (n == 2 && (stat == 1 || stat == 5) && lac >= 0 && cell >= 0) {
        int l = lac & 0xFFFF, c = cell & 0xFFFF;
        if (profile_.ericssonLocation) {
            l = ((l & 0xFF) << 8) | (l >> 8);
            c = ((c & 0xFF) << 8) | (c >> 8);
        }
        char buf[32];
        std::snprintf(buf, sizeof buf, ",\"%04X\",\"%04X\"", l, c);
        v += buf;
    }
    return v;
}

std::string TDevice::OperatorName(const std::string& numeric, int format) const
{
    const TOperatorInfo* op = profile_.FindOperator(numeric);
    if (!op)
        return numeric;
    if (format == 0)
        return op->longName;
    if (format == 1)
        return op->shortName.empty() ? op->longName : op->shortName;
    return op->numeric;
}

int TDevice::OperatorStatus(const TOperatorInfo& op) const
{
    if (!currentOperator.empty() && op.numeric == currentOperator)
        return 2;
    if (op.status == 3)
        return 3;
    return op.status == 2 ? 1 : op.status;
}

void TDevice::Tick()
{
    if (!alarmSet || clock_.NowMs() < alarmMs)
        return;
    alarmSet = false;
    host_.Note("alarm fires");
    if (power == TPowerState::Off) {
        ++generation_;
        ResetSettings();
        power = TPowerState::AlarmMode;
        fun = 0;
        UpdateLines();
        if (profile_.siemensUrcs)
            host_.Unsolicited("^SYSSTART ALARM MODE");
    } else if (power == TPowerState::Sleep)
        Wake("alarm");
    host_.Unsolicited("+CALA: " + alarmText);
}

int TDevice::NextTickMs() const
{
    if (!alarmSet)
        return 60000;
    const int64_t left = alarmMs - clock_.NowMs();
    // The clock source may be moved by a test: look again at least 5 times a second.
    return static_cast<int>(left < 0 ? 0 : (left > 200 ? 200 : left));
}

void TDevice::ProgramLines(bool rts, bool dtr)
{
    const bool rtsChanged = rts != rts_;
    const bool dtrRose = dtr && !dtr_;
    rts_ = rts;
    dtr_ = dtr;
    if (rtsChanged && power == TPowerState::Sleep)
        Wake("RTS");
    if (dtrRose && power == TPowerState::Off && profile_.powerOnByDtr)
        PowerUp(true);
}

}  // namespace ModemSim
