#include "engine/perif_power.h"

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/perif_active.h"
#include "engine/perif_cpin.h"
#include "engine/perif_modem.h"
#include "engine/uniset.h"
#include "foundation/tixutils_numberlist.h"
#include "foundation/tixutils_text.h"
#include "platform/colors.h"

namespace {

// A decimal integer at text[pos] (optional "-"); pos moves past it.
bool ReadInt(const std::string& text, size_t& pos, int& value)
{
    size_t p = pos;
    bool negative = false;
    if (p < text.size() && text[p] == '-') {
        negative = true;
        ++p;
    }
    const size_t digits = p;
    long long v = 0;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        if (v < 1000000000)
            v = v * 10 + (text[p] - '0');
        ++p;
    }
    if (p == digits)
        return false;
    value = int(negative ? -v : v);
    pos = p;
    return true;
}

}  // namespace

VPerifPower::VPerifPower(VUniSET* owner) : VPerif(owner) {}

bool VPerifPower::isBusy() const { return pendingKind != pkNone; }
bool VPerifPower::isFullPower() const { return powerMode == 1 && wantedPowerMode == 1; }

bool VPerifPower::isSteady() const
{
    return (powerMode == 1 || powerMode == 7) && wantedPowerMode == powerMode;
}

int VPerifPower::getMode() const { return powerMode; }

void VPerifPower::restart(uint32_t now)
{
    wantedPowerMode = 0;
    reset(now);
}

void VPerifPower::reset(uint32_t)
{
    holdAfterError = false;
    powerMode = 0;
    pendingKind = pkNone;
    funSupport = 0;
    smsoSupport = 0;
    cpinSupport = 0;
    funRange.clear();
    showMode();
}

void VPerifPower::setWantedMode(int mode)
{
    if (mode == wantedPowerMode)
        return;
    wantedPowerMode = mode;
    showMode();
}

std::string VPerifPower::FunRangeOf(const std::string& value)
{
    // The first group: "(...)" up to its bracket, else up to the first comma.
    std::string group;
    if (!value.empty() && value[0] == '(') {
        const size_t close = value.find(')');
        group = close == std::string::npos ? value : value.substr(0, close + 1);
    } else {
        group = value.substr(0, value.find(','));
    }
    bool flag = false;
    return Tixutils::NumberListFix(group, flag);
}

bool VPerifPower::funHas(int value) const
{
    return Tixutils::NumberListContains(funRange, value);
}

void VPerifPower::evaluateProbes()
{
    const int s = smsoSupport, f = funSupport, p = cpinSupport;
    int mode = powerMode;
    if ((s == 1 && f == 2 && p == 2) || (s == 2 && f == 1 && p == 2)) {
        mode = 7;
        if (wantedPowerMode == 0)
            wantedPowerMode = 7;
    } else if (s != 0 && f != 0 && (p == 1 || (f == 1 && s == 1))) {
        mode = 1;
        if (wantedPowerMode == 0)
            wantedPowerMode = 1;
    }
    if (mode != powerMode) {
        powerMode = mode;
        showMode();
    }
}

int VPerifPower::ItemOfMode(int mode)
{
    switch (mode) {
    case 1: return 0;
    case 2: case 3: return 1;
    case 6: case 7: return 2;
    case 4: case 5: return 3;
    default: return -1;
    }
}

int VPerifPower::ItemOfWanted(int mode)
{
    switch (mode) {
    case 0: case 1: return 0;
    case 3: return 1;
    case 7: return 2;
    case 5: return 3;
    default: return -1;
    }
}

void VPerifPower::showMode()
{
    VMainWindowLink& w = window();
    const int wanted = ItemOfWanted(wantedPowerMode);
    const int current = ItemOfMode(powerMode);
    const bool enabled[4] = {
        w.isEnabled(VMainWindowLink::CheckPowerNormal),
        funHas(0),
        funHas(5),
        smsoSupport == 1,
    };
    for (int tag = 0; tag < 4; ++tag) {
        bool checked = false;
        TColor color = clWhite;
        if (tag == wanted) {
            checked = true;
            color = current >= 0 ? clWhite : clYellow;
        } else if (tag == current) {
            color = enabled[tag] ? clYellow : clNavy;
        }
        w.setPowerItem(tag, enabled[tag], checked, color);
    }
}

void VPerifPower::restartPort(uint32_t now)
{
    owner->reopenPort(now, ReopenDelay, false);
}

void VPerifPower::tick(uint32_t now)
{
    if (holdAfterError) {
        if (!elapsed(700, now))
            return;
        holdAfterError = false;
    }

    // Timed modes, each measured from the handler's last send.
    if (powerMode == 2) {
        if (!elapsed(5000, now))
            return;
        powerMode = 1;
        showMode();
    } else if (powerMode == 6) {
        if (!elapsed(5000, now))
            return;
        powerMode = 0;
        cpinSupport = 0;
        evaluateProbes();
    } else if (powerMode == 4) {
        if (!elapsed(5000, now))
            return;
        powerMode = 7;
        funSupport = 0;
        funRange.clear();
        showMode();
    }

    if (!modem().active().isAnswering())
        return;
    if (!((pendingKind != pkNone && elapsed(700, now)) || !modem().isBusy()))
        return;

    if (powerMode == 0) {
        if (funSupport == 0) {
            sendLine(now, "AT+CFUN=?");
            return;
        }
        if (smsoSupport == 0) {
            sendLine(now, "AT^SMSO=?");
            return;
        }
        if (cpinSupport == 0) {
            sendLine(now, "AT+CPIN=?");
            return;
        }
    }

    switch (wantedPowerMode) {
    case 1:
        if (powerMode == 3) {
            owner->pulseRTS(now, RtsPulse);
            powerMode = 2;
            setLastSendTime(now);
        } else if (powerMode == 5) {
            restartPort(now);
        } else if (powerMode == 7) {
            if (funHas(5))
                sendLine(now, "AT+CFUN=1");
            else
                restartPort(now);
        }
        break;
    case 3:
        if (powerMode == 1) {
            if (funSupport == 1) {
                if (funHas(0))
                    sendLine(now, "AT+CFUN=0");
                else if (funHas(5))
                    sendLine(now, "AT+CFUN=5");
            }
        } else if (powerMode == 5 || powerMode == 7) {
            restartPort(now);
        }
        break;
    case 5:
        if (powerMode == 1 || powerMode == 7) {
            if (smsoSupport == 1)
                sendLine(now, "AT^SMSO");
            else if (funHas(5))
                sendLine(now, "AT+CFUN=5");
        } else if (powerMode == 3) {
            restartPort(now);
        }
        break;
    case 7:
        if (powerMode == 1 && funHas(5))
            sendLine(now, "AT+CFUN=5");
        break;
    default:
        break;
    }
}

// The text after "AT+CFUN" in a sent line or an echo.
void VPerifPower::parseFunTail(const std::string& tail)
{
    if (tail == "=?") {
        pendingKind = pkTestFun;
        return;
    }
    if (tail == "?") {
        funValue = -1;
        funReset = -1;
        pendingKind = pkReadFun;
        return;
    }
    if (tail.empty() || tail[0] != '=')
        return;
    size_t pos = 1;
    int fun = 0;
    if (!ReadInt(tail, pos, fun))
        return;
    funValue = fun;
    int rst = 0;
    if (pos < tail.size() && tail[pos] == ',') {
        ++pos;
        int value = 0;
        if (ReadInt(tail, pos, value))
            rst = value;
    }
    funReset = fun == 0 || fun == 1 ? rst : -1;
    if (pos == tail.size())
        pendingKind = pkSetFun;
}

void VPerifPower::onCommandSent(uint32_t now)
{
    const std::string_view tx = owner->getTxBuffer().view();
    bool failed = false;
    const std::string fun = Tixutils::ExtractStringIC(tx, "AT+CFUN", "\r");
    if (!fun.empty()) {
        parseFunTail(fun);
    } else {
        const std::string smso = Tixutils::ExtractStringIC(tx, "AT^SMSO", "\r", failed);
        if (!failed) {
            pendingKind = smso == "=?" ? pkTestSmso : pkSmso;
        } else {
            const std::string cpin = Tixutils::ExtractStringIC(tx, "AT+CPIN", "\r", failed);
            if (!failed && cpin == "=?")
                pendingKind = pkTestCpin;
        }
    }
    if (pendingKind != pkNone)
        setLastSendTime(now);
}

void VPerifPower::onResponse(uint32_t now)
{
    const std::string_view line = owner->getRxBuffer().view();
    bool failed = false;
    bool matched = true;

    std::string part = extractStringIC("+CFUN: ", "\r\n");
    if (!part.empty()) {
        if (pendingKind == pkReadFun) {
            size_t pos = 0;
            while (pos < part.size() && part[pos] == ' ')
                ++pos;
            int value = -1;
            funValue = ReadInt(part, pos, value) ? value : -1;
        } else if (pendingKind == pkTestFun) {
            funRange = FunRangeOf(part);
        }
    } else if (!(part = extractStringIC("AT+CFUN", "\r\r\n")).empty()) {
        parseFunTail(part);
    } else if (part = Tixutils::ExtractStringIC(line, "AT^SMSO", "\r\r\n", failed), !failed) {
        pendingKind = part == "=?" ? pkTestSmso : pkSmso;
    } else if (part = Tixutils::ExtractStringIC(line, "AT+CPIN", "\r\r\n", failed), !failed) {
        if (part == "=?")
            pendingKind = pkTestCpin;
    } else if (Tixutils::ExtractStringIC(line, "+CALA: ", "\r\n", failed), !failed) {
        if (powerMode == 5) {
            // The alarm woke the device from power-down.
            powerMode = 4;
            wantedPowerMode = 7;
            funSupport = 0;
            funRange.clear();
            pendingKind = pkNone;
            setLastSendTime(now);
            showMode();
        } else if (powerMode == 3 || powerMode == 2) {
            powerMode = 1;
            pendingKind = pkNone;
            wantedPowerMode = 1;
            showMode();
        }
    } else if (line == "RING\r\n") {
        if (powerMode == 3 || powerMode == 2 || powerMode == 6) {
            powerMode = 1;
            wantedPowerMode = 1;
            showMode();
        } else if (powerMode == 5 || powerMode == 4) {
            powerMode = 1;
            showMode();
        }
    } else if (line == "OK\r\n") {
        if (powerMode == 5 || powerMode == 3 || powerMode == 2) {
            // The device answered, so it is awake.
            powerMode = 1;
            pendingKind = pkNone;
            showMode();
        } else {
            switch (pendingKind) {
            case pkSetFun:
                if (funReset == 1 || funValue == 1) {
                    powerMode = powerMode == 7 ? 6 : 1;
                } else if (funValue == 0) {
                    powerMode = 3;
                } else if (funValue == 5) {
                    powerMode = 7;
                    modem().cpin().requery();
                }
                showMode();
                break;
            case pkReadFun:
                if (funReset == 1 || funValue == 1)
                    powerMode = 1;
                else if (funValue == 0 || funValue == 5)
                    powerMode = 3;
                showMode();
                break;
            case pkSmso:
                powerMode = 5;
                showMode();
                break;
            case pkTestFun:
                funSupport = 1;
                evaluateProbes();
                break;
            case pkTestSmso:
                smsoSupport = 1;
                evaluateProbes();
                break;
            case pkTestCpin:
                cpinSupport = 1;
                evaluateProbes();
                break;
            default:
                if (powerMode != 7 && powerMode != 0 && powerMode != 1) {
                    powerMode = 1;
                    showMode();
                }
                break;
            }
            pendingKind = pkNone;
        }
    } else if (HandlerText::IsErrorResult(line)) {
        switch (pendingKind) {
        case pkTestFun:
            funSupport = 2;
            funRange.clear();
            evaluateProbes();
            break;
        case pkTestSmso:
            smsoSupport = 2;
            evaluateProbes();
            break;
        case pkTestCpin:
            cpinSupport = 2;
            evaluateProbes();
            break;
        default:
            if (powerMode != 7 && powerMode != 0) {
                powerMode = 1;
                showMode();
            }
            holdAfterError = true;
            setLastSendTime(now);
            break;
        }
        pendingKind = pkNone;
    } else {
        matched = false;
    }

    if (matched && pendingKind != pkNone)
        setLastSendTime(now);
}
