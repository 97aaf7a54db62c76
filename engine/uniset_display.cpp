// The engine's periodic step, its progress state and the status displays
// it writes into the main window.
#include "engine/uniset.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "calls/list_view_file.h"
#include "engine/main_window_link.h"
#include "engine/modem_type_name.h"
#include "engine/perif_active.h"
#include "engine/perif_cala.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_cops.h"
#include "engine/perif_cpin.h"
#include "engine/perif_creg.h"
#include "engine/perif_csq.h"
#include "engine/perif_sending_file.h"
#include "foundation/utils.h"
#include "platform/tick.h"
#include "serial/comm_component.h"
#include "serial/vtscomm32.h"

namespace {

struct TProgressState {
    const char* text;  // built-in Czech text (cp1250)
    TColor color;
};

const TProgressState ProgressStates[7] = {
    {"P\xF8ipraven", 0xFF00},
    {"Chyb\xED: ", 0xC0FF},
    {"Pracuji...", 0xFFFF},
    {"Za\xF8\xEDzen\xED neodpov\xED" "d\xE1", 0xFF},
    {"Odpojeno", 0},
    {"Ukon\xE8uji...", 0xC0FF},
    {"Ukon\xE8" "eno", 0xFF},
};

const char* const RegistrationTexts[6] = {
    "Chyba registrace",
    "Registrov\xE1no",
    "Registruji...",
    "Registrace odep\xF8" "ena",
    "Registrace: Nezji\x9At\xECna",
    "M\xECn\xED se bu\xF2ka...",
};

std::string Hex4(int value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X", unsigned(value));
    return buf;
}

}  // namespace

// ---- Tick and progress state ----------------------------------------------

// The tick's functions are marked hot: the linker keeps them together, so
// a quiet tick touches few code pages.
[[gnu::hot]] bool VUniSET::isQuiet(uint32_t now) const
{
    return state == 0 && mode == 0 && !escapePending && !reopen.pending && !rtsPulse.pending && !dtrPulse.pending &&
           portConnected() &&
           Utils::IsTickElapsed(lastReceiveTick, QuietAfterMs, now) &&
           Utils::IsTickElapsed(lastSendTick, QuietAfterMs, now);
}

[[gnu::hot]] void VUniSET::tick(uint32_t now)
{
    // An idle program's tick costs next to nothing: between the spaced
    // passes only the shown clock and alarm follow the time.
    tickQuiet = !passWanted && isQuiet(now) && !Utils::IsTickElapsed(lastPassTick, QuietPassMs - 1, now);
    if (tickQuiet) {
        handlers.cclk().refreshDisplay(now);
        handlers.cala().refreshEdits(now);
        return;
    }
    lastPassTick = now;
    passWanted = false;
    if (mode == 3 && !rxBuffer.isEmpty() &&
        Utils::IsTickElapsed(lastReceiveTick, FrameIdleGap, now))
        dropPartialFrame(now);

    stepPort(now);
    // While the port is closed for a reopen nobody may talk to it.
    if (!reopen.pending) {
        if (mode == 3 && !carrierLost(now))
            dataTick(now);
        else if (mode != 3)
            poll(now);
    }

    handlers.cclk().refreshDisplay(now);
    handlers.cala().refreshEdits(now);

    sendList->tick();
    receivedList->tick();

    int newState;
    if (state == 5)
        newState = handlers.isBusy() ? 5 : 6;
    else if (state == 6)
        newState = 6;
    else if (!portConnected())
        newState = 4;
    else if (!handlers.active().isAnswering())
        newState = 3;
    else if (handlers.isBusy())
        newState = 2;
    else if (handlers.allInitialised())
        newState = 0;
    else
        newState = 1;
    if (newState != state) {
        state = newState;
        showState();
    }

    handlers.cpin().askPIN();
}

void VUniSET::showState()
{
    if (port)
        window->VTSComm321StateChange(port->ConnectionState());

    std::string text;
    if (state >= 0 && state <= 6) {
        const TProgressState& s = ProgressStates[state];
        if (window->progressShapeColor() != s.color)
            window->setProgressShapeColor(s.color);
        text = window->getLangText("Texts", "ProgressHint", s.text, state);
        if (state == 1)
            text += missing;
    }
    window->setHint(VMainWindowLink::ShapeProgress, text);
    stateTextChanged(text);
}

void VUniSET::stateTextChanged(const std::string&) {}

void VUniSET::answeredAgain()
{
    if (state == 3 || state == 4) {
        state = 0;
        showState();
    }
}

void VUniSET::portLost()
{
    if ((state >= 0 && state <= 3) || state == 5) {
        state = 4;
        showState();
    }
    if (handlers.active().isAnswering())
        restart(Platform::GetTickCount());
}

bool VUniSET::isDown()
{
    return !((state >= 0 && state <= 2) || state == 5);
}

bool VUniSET::finish()
{
    // Closing: a port waiting to be reopened stays closed, and a pulsed RTS
    // line is not left low.
    reopen.pending = false;
    if (rtsPulse.pending) {
        rtsPulse.pending = false;
        if (TVTSComm32* serial = serialPort())
            serial->Signals().SetRTS(true);
    }
    // The sender's queue and the transfers hold their rows; let go first,
    // so that closing never waits on them.
    handlers.sendingFile().clearQueue();
    releaseTransfers();
    const bool sendStopped = sendList->requestStop();
    const bool receivedStopped = receivedList->requestStop();
    if (state >= 0 && state <= 2) {
        state = 5;
        showState();
    } else if (state == 3 || state == 4) {
        state = 6;
        showState();
    }
    return sendStopped && receivedStopped && state == 6;
}

// ---- Status displays ------------------------------------------------------

void VUniSET::resetDisplays()
{
    makerChanged();
    modelChanged();
    showRegistration();
}

void VUniSET::makerChanged()
{
    updateStatusBar();
}

void VUniSET::modelChanged()
{
    updateStatusBar();
}

void VUniSET::updateStatusBar()
{
    const VPerifCGMI& maker = handlers.cgmi();
    const VPerifCGMM& model = handlers.cgmm();
    const uint16_t code = uint16_t((maker.getCode() & 0xF000) | (model.getCode() & 0x0FFF));
    const std::string name = Uniset::ModemTypeName(*window, code, maker.getText(), model.getText());
    window->setStatusPanel(1, name);
    window->setEditText(VMainWindowLink::LabelDevice, name);
}

void VUniSET::showStatusText(const std::string& text)
{
    window->setStatusPanel(2, text);
}

void VUniSET::showRegistration()
{
    const VPerifCREG& creg = handlers.creg();
    const int lac = creg.getLac();
    const int cell = creg.getCell();
    auto known = [](int v) { return v != -1 && v != 0xFFFF; };
    std::string location;
    if (known(lac) && known(cell))
        location = " (" + Hex4(lac) + ", " + Hex4(cell) + ")";
    else if (known(lac))
        location = " (" + Hex4(lac) + ", ?)";
    else if (known(cell))
        location = " (   ?, " + Hex4(cell) + ")";

    const int stat = creg.getStat();
    std::string text;
    if (stat == 0 || stat == 2 || stat == 3 || stat == 4)
        text = window->getLangText("Texts", "Registration", RegistrationTexts[stat], stat);
    else if (stat == 1 || stat == 5)
        text = handlers.cops().currentName();
    else
        text = "?";
    showStatusText(text + location);
}

void VUniSET::showOperator()
{
    const VPerifCOPS& cops = handlers.cops();
    const int items = window->operatorComboCount();
    for (int i = 0; i < cops.operatorCount() && i < items; ++i)
        if (const VPerifCOPS::Operator* record = cops.operatorAt(i))
            window->operatorComboSetItemText(i, record->name());
    showRegistration();
}

int VUniSET::shownRssi(int rssi)
{
    return rssi >= 0 && rssi <= 31 ? rssi : -1;
}

int VUniSET::shownBer(int ber)
{
    return ber >= 0 && ber <= 7 ? ber : -1;
}

void VUniSET::showSignal()
{
    window->invalidate(VMainWindowLink::GaugeSigStr);
    window->invalidate(VMainWindowLink::GaugeSigQual);
    int rssi = -1;
    int ber = -1;
    handlers.csq().getValues(rssi, ber);
    rssi = shownRssi(rssi);
    ber = shownBer(ber);

    // Language texts are joined with the numbers, never used as formats.
    if (rssi < 0) {
        window->setGaugeProgress(VMainWindowLink::GaugeSigStr, 0);
        window->setHint(VMainWindowLink::GaugeSigStr,
                        window->getLangText("Texts", "SigStrUnknown",
                                            "S\xEDlu sign\xE1lu nelze zjistit"));
    } else {
        window->setGaugeProgress(VMainWindowLink::GaugeSigStr, rssi);
        window->setHint(VMainWindowLink::GaugeSigStr,
                        window->getLangText("Texts", "SigStrKnown", "S\xEDla sign\xE1lu:") + " " +
                            (rssi == 31 ? ">=" : "") + std::to_string(2 * rssi - 113) + " dBm");
    }

    if (ber < 0) {
        window->setVisible(VMainWindowLink::GaugeSigQual, false);
        window->setVisible(VMainWindowLink::LabelSigQual, false);
        window->setGaugeProgress(VMainWindowLink::GaugeSigQual, 0);
        window->setHint(VMainWindowLink::GaugeSigQual,
                        window->getLangText("Texts", "SigQualUnknown",
                                            "Kvalitu sign\xE1lu nelze zjistit"));
    } else {
        char percent[32];
        std::snprintf(percent, sizeof percent, "%.2g%%", 0.1414 * std::ldexp(1.0, ber));
        window->setGaugeProgress(VMainWindowLink::GaugeSigQual, 7 - ber);
        window->setHint(VMainWindowLink::GaugeSigQual,
                        window->getLangText("Texts", "SigQualKnown", "Mno\x9Estv\xED chyb:") + " " +
                            percent);
        window->setVisible(VMainWindowLink::GaugeSigQual, true);
        window->setVisible(VMainWindowLink::LabelSigQual, true);
    }
}
