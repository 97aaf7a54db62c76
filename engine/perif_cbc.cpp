#include "engine/perif_cbc.h"

#include <vector>

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/perif_active.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/tixutils_misc.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"

using W = VMainWindowLink;

namespace {

// Built-in (Czech) charger texts by charger state 0..6.
const char* const ChargerTexts[7] = {
    "Nezn\xE1m\xFD stav",         "Nep\xF8ipojen", "P\xF8ipojen", "Nab\xED" "j\xED se",
    "Nabito",                     "Chyba nab\xED" "jen\xED", "Nepovolen\xE1 teplota",
};

// The upper end of a range token "lo-hi"; 0 when there is none.
int RangeTop(const std::string& token)
{
    auto digits = [&](size_t p) {
        if (p < token.size() && token[p] == '-')
            ++p;
        while (p < token.size() && token[p] >= '0' && token[p] <= '9')
            ++p;
        return p;
    };
    const size_t dash = digits(0);
    if (dash >= token.size() || token[dash] != '-')
        return 0;
    const size_t end = digits(dash + 1);
    return HandlerText::StrToIntDef(std::string_view(token).substr(dash + 1, end - dash - 1), 0);
}

}  // namespace

VPerifCBC::VPerifCBC(VUniSET* owner) : VPerif(owner) {}

VPerifCBC::~VPerifCBC() = default;

void VPerifCBC::start(uint32_t now)
{
    reset(now);
}

void VPerifCBC::restart(uint32_t now)
{
    reset(now);
}

void VPerifCBC::reset(uint32_t now)
{
    pendingKind = 0;
    chargerState = 0;
    // The values go before the group is switched, which shows them.
    charge = -1;
    chargeMax = 0;
    consumption = -1;
    consumptionMax = 0;
    setState(0, true);
    lastReadTick = now;
    needRead = true;
    hold.succeeded();
    window().invalidate(W::ProgressBatt);
    window().invalidate(W::ProgressConsumption);
}

bool VPerifCBC::isBusy() const
{
    return pendingKind != 0;
}

bool VPerifCBC::isProbing() const
{
    return state != 0;
}

void VPerifCBC::tick(uint32_t now)
{
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isSteady())
        return;
    const bool maySend =
        (pendingKind != 0 && m.active().isAnswering() && elapsed(RepeatMs, now)) || !m.isBusy();
    if (!maySend)
        return;
    switch (state) {
    case 0:
        sendLine(now, "AT+CBC=?");
        break;
    case 2:
        sendLine(now, "AT^SBC=?");
        break;
    case 1:
    case 3:
        if (hold.holding(now) && pendingKind == 0)
            break;
        if (needRead || (window().isChecked(W::CheckTestSignal) &&
                         Utils::IsTickElapsed(lastReadTick, RefreshMs, now)))
            sendLine(now, state == 1 ? "AT+CBC" : "AT^SBC?");
        break;
    default:
        break;
    }
}

void VPerifCBC::noteCommand(const std::string& tail, bool siemens)
{
    if (tail.empty()) {
        if (!siemens)
            pendingKind = 6;
    } else if (tail == "?") {
        pendingKind = siemens ? 3 : 6;
    } else if (tail == "=?") {
        pendingKind = siemens ? 1 : 4;
    }
}

void VPerifCBC::onCommandSent(uint32_t now)
{
    const std::string_view line = owner->getTxBuffer().view();
    bool failed = true;
    const std::string siemens = Tixutils::ExtractStringIC(line, "AT^SBC", "\r", failed);
    if (!failed && !siemens.empty()) {
        noteCommand(siemens, true);
    } else {
        const std::string standard = Tixutils::ExtractStringIC(line, "AT+CBC", "\r", failed);
        if (!failed)
            noteCommand(standard, false);
    }
    if (pendingKind != 0)
        setLastSendTime(now);
}

void VPerifCBC::onResponse(uint32_t now)
{
    const std::string_view line = owner->getRxBuffer().view();
    bool failed = true;
    const std::string siemensEcho = Tixutils::ExtractStringIC(line, "AT^SBC", "\r\r\n", failed);
    if (!failed && !siemensEcho.empty()) {
        noteCommand(siemensEcho, true);
        return;
    }
    const std::string standardEcho = Tixutils::ExtractStringIC(line, "AT+CBC", "\r\r\n", failed);
    if (!failed) {
        noteCommand(standardEcho, false);
        return;
    }

    bool fromSiemens = true;
    std::string text = Tixutils::ExtractStringIC(line, "^SBC: ", "\r\n");
    if (text.empty()) {
        fromSiemens = false;
        text = Tixutils::ExtractStringIC(line, "+CBC: ", "\r\n");
    }
    if (!text.empty()) {
        if ((pendingKind == 1 && fromSiemens) || (pendingKind == 4 && !fromSiemens)) {
            // Test answer: the ranges of charger status, charge and consumption.
            std::string rest = text;
            bool skip = true;
            const std::string first = Tixutils::CutString(rest, skip);
            if (!first.empty()) {
                skip = true;
                const std::string second = Tixutils::CutString(rest, skip);
                if (!second.empty()) {
                    chargeMax = RangeTop(second);
                    skip = true;
                    const std::string third = Tixutils::CutString(rest, skip);
                    if (!third.empty()) {
                        consumptionMax = RangeTop(third);
                        window().setGaugeMaxValue(W::ProgressConsumption, consumptionMax);
                    }
                }
            }
        } else if ((pendingKind == 3 && fromSiemens) || (pendingKind == 6 && !fromSiemens)) {
            std::vector<std::string> fields;
            Tixutils::VSetCommaText(fields, text);
            const int status = fields.empty() ? -1 : HandlerText::StrToIntDef(fields[0], -1);
            if (status >= 0 && status <= 5)
                chargerState = status + 1;
            if (fields.size() >= 2) {
                // The charge is only meaningful on battery (or when charged)
                // and in full power.
                if ((chargerState == 1 || chargerState == 4) && chargeMax > 0 &&
                    modem().power().getMode() == 1) {
                    const int level = HandlerText::StrToIntDef(fields[1], 0);
                    if (level <= chargeMax)
                        charge = int(int64_t(level) * 100 / chargeMax);
                } else {
                    charge = -1;
                }
            }
            if (fields.size() >= 3) {
                if (consumptionMax < 1) {
                    consumption = -1;
                } else {
                    const int value = HandlerText::StrToIntDef(fields[2], 0);
                    if (value <= consumptionMax)
                        consumption = value;
                }
            }
            showValues();
        }
        return;
    }

    if (pendingKind == 0)
        return;
    if (HandlerText::EndsWithOk(line)) {
        if (pendingKind == 1) {
            setState(3);
            needRead = true;
        } else if (pendingKind == 4) {
            setState(1);
            needRead = true;
        } else if (pendingKind == 3 || pendingKind == 6) {
            lastReadTick = now;
            needRead = false;
            hold.succeeded();
        }
        pendingKind = 0;
    } else if (HandlerText::IsErrorLine(line)) {
        if (pendingKind == 4)
            setState(2);
        else if (pendingKind == 1 && state == 2)
            setState(4);
        else if (pendingKind == 3 || pendingKind == 6)
            hold.failed(now);  // a read error: try again later, not on every tick
        pendingKind = 0;
    }
}

void VPerifCBC::showValues()
{
    W& w = window();
    std::string text;
    if (chargerState >= 0 && chargerState <= 6)
        text = w.getLangText("Texts", "ChargerState", ChargerTexts[chargerState], chargerState);
    w.setEditText(W::LabelCBCCharger, text);
    w.setImageIndex(W::ImageCBC, chargerState >= 0 && chargerState <= 6 ? chargerState : -1);
    w.setHint(W::ImageCBC, text);

    w.setGaugeProgress(W::ProgressBatt, charge);
    w.setEnabled(W::ProgressBatt, charge >= 0);
    if (charge >= 0)
        w.setParentFont(W::LabelBattery);
    else
        w.setFontColor(W::LabelBattery, clInactiveCaption);

    w.setGaugeProgress(W::ProgressConsumption, consumption);
    w.setEnabled(W::ProgressConsumption, consumption >= 0);
}

void VPerifCBC::setState(int newState, bool force)
{
    if (!force && newState == state)
        return;
    state = newState;
    W& w = window();
    if (state == 1 || state == 2 || state == 3) {
        showValues();
        w.setFontColor(W::ProgressBatt, clBlack);
        w.setFontColor(W::ProgressConsumption, clBlack);
        w.setEnabled(W::GroupCBC, true);
        w.setFontColor(W::GroupCBC, clWindowText);
        w.setEnabled(W::ImageCBC, true);
        w.setParentFont(W::LabelBattery);
    } else {
        w.setFontColor(W::ProgressBatt, clNone);
        w.setEnabled(W::GroupCBC, false);
        w.setFontColor(W::GroupCBC, clGrayText);
        w.setEnabled(W::ImageCBC, false);
        w.setEditText(W::LabelCBCCharger, "");
        chargerState = 0;
        showValues();
    }
}
