#include "engine/perif_cclk.h"

#include <cmath>
#include <vector>

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/perif_active.h"
#include "engine/perif_cpin.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/ansi_to_date_time.h"
#include "foundation/tixutils_datetime.h"
#include "foundation/tixutils_misc.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"

using W = VMainWindowLink;

VPerifCCLK::VPerifCCLK(VUniSET* owner) : VPerif(owner) {}

VPerifCCLK::~VPerifCCLK() = default;

void VPerifCCLK::start(uint32_t now)
{
    restart(now);
}

void VPerifCCLK::restart(uint32_t now)
{
    reset(now);
}

void VPerifCCLK::reset(uint32_t now)
{
    pendingKind = 0;
    lastReadTick = now;
    readAnswered = false;
    hold.succeeded();
    setState(0, true);
}

bool VPerifCCLK::isBusy() const
{
    return pendingKind != 0;
}

[[gnu::hot]] int VPerifCCLK::getOffset() const  // on every tick
{
    return offset;
}

std::string VPerifCCLK::getZoneSuffix() const
{
    return zoneSuffix;
}

bool VPerifCCLK::isResolved() const
{
    return state != 0 && state != 1;
}

void VPerifCCLK::setState(int newState, bool force)
{
    if (force || newState != state) {
        state = newState;
        displayDue = true;
        W& w = window();
        const bool on = state == 1 || state == 2;
        if (!on) {
            w.setEditText(W::EditCCLKtime, "");
            w.setEditText(W::EditCCLKofs, "");
        }
        w.setEnabled(W::GroupCCLK, on);
        w.setFontColor(W::GroupCCLK, on ? clWindowText : clGrayText);
        w.setEnabled(W::BtnCCLKAsk, on);
        w.setEnabled(W::BtnCCLKWrite, on);
        w.setEnabled(W::BtnCCLKCurrent, on);
    }
    if (state != 2)
        zoneSuffix.clear();
}

void VPerifCCLK::setOffset(int seconds)
{
    offset = seconds;
    displayDue = true;
    const std::string text = Utils::FormatDuration(seconds, Utils::DurationLetters);
    // The user may be typing there: an unchanged value leaves the edit alone.
    if (window().editText(W::EditCCLKofs) != text)
        window().setEditText(W::EditCCLKofs, text);
}

[[gnu::hot]] void VPerifCCLK::refreshDisplay(uint32_t now)  // on every tick
{
    if (state != 2 || !elapsed(DisplayQuietMs, now))
        return;
    if (!displayDue && !Utils::IsTickElapsed(lastDisplayTick, displayWaitMs, now))
        return;
    displayDue = false;
    lastDisplayTick = now;
    const Tixutils::TDateTime shown = Tixutils::Now() + (double(offset) + 0.5) / 86400.0;
    // The text changes when the second shown ends: nothing is made before
    // then, and the alarm's edit, which keeps to the same seconds, changes
    // in the same tick (one repaint of the window, not two).
    displayWaitMs = HandlerText::MsToNextSecond(shown);
    const std::string text = window().dateTimeText(shown);
    // Rewriting an unchanged edit on every tick would reset its cursor.
    if (window().editText(W::EditCCLKtime) != text)
        window().setEditText(W::EditCCLKtime, text);
}

void VPerifCCLK::tick(uint32_t now)
{
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isSteady() || !m.cpin().isReady())
        return;
    const bool maySend =
        (pendingKind != 0 && m.active().isAnswering() && elapsed(RepeatMs, now)) || !m.isBusy();
    if (!maySend)
        return;
    switch (state) {
    case 0:
        sendLine(now, "AT+CCLK=?");
        break;
    case 1:
        if (!hold.holding(now))
            sendLine(now, "AT+CCLK?");
        break;
    case 2:
        // An unanswered command is followed by a read, whatever it was: a
        // handler waiting for nothing would keep every other one quiet.
        if ((pendingKind != 0 && elapsed(RepeatMs, now)) ||
            (Utils::IsTickElapsed(lastReadTick, RefreshMs, now) &&
             window().isChecked(W::CheckTestSignal) && !hold.holding(now)))
            sendLine(now, "AT+CCLK?");
        break;
    default:
        // No clock: a command typed for it that got no answer is given up.
        if (pendingKind != 0 && elapsed(RepeatMs, now))
            pendingKind = 0;
        break;
    }
}

void VPerifCCLK::noteCommand(const std::string& tail)
{
    if (tail == "?") {
        pendingKind = 3;
        readAnswered = false;
        return;
    }
    if (tail == "=?") {
        pendingKind = 1;
        return;
    }
    if (tail.empty() || tail[0] != '=')
        return;
    std::vector<std::string> fields;
    Tixutils::VSetCommaText(fields, tail.substr(1));
    if (fields.size() != 1)
        return;
    Tixutils::TDateTime time = 0;
    if (!Tixsmslist::AnsiToDateTime(fields[0], time, "/", ":", ", ", Tixutils::vdoYMD))
        return;
    const double seconds = std::round((time - Tixutils::Now()) * 86400.0);
    pendingOffset = HandlerText::WholeSeconds(seconds);
    pendingKind = 2;
}

void VPerifCCLK::onCommandSent(uint32_t now)
{
    bool failed = true;
    const std::string tail =
        Tixutils::ExtractStringIC(owner->getTxBuffer().view(), "AT+CCLK", "\r", failed);
    if (!failed && !tail.empty())
        noteCommand(tail);
    if (pendingKind != 0)
        setLastSendTime(now);
}

void VPerifCCLK::onResponse(uint32_t now)
{
    const std::string_view line = owner->getRxBuffer().view();
    const std::string echo = extractStringIC("AT+CCLK", "\r\r\n");
    if (!echo.empty()) {
        noteCommand(echo);
        return;
    }
    const std::string text = extractStringIC("+CCLK: ", "\r\n");
    if (!text.empty()) {
        std::vector<std::string> fields;
        Tixutils::VSetCommaText(fields, text);
        if (fields.size() == 1) {
            std::string rest = fields[0];
            bool failed = true;
            const Tixutils::TDateTime device =
                Tixutils::CutDateTime(rest, failed, "/", ":", ", ", Tixutils::vdoYMD);
            if (!failed) {
                setOffset(HandlerText::WholeSeconds((device - Tixutils::Now()) * 86400.0 + 0.5));
                setState(2);
                // Written back by the main window inside a quoted command.
                zoneSuffix = HandlerText::QuotableText(rest);
                if (pendingKind == 3)
                    readAnswered = true;
            }
        }
        return;
    }
    if (pendingKind == 0)
        return;
    if (HandlerText::EndsWithOk(line)) {
        if (pendingKind == 1) {
            setState(1);
        } else if (pendingKind == 2) {
            setOffset(pendingOffset);
        } else if (pendingKind == 3) {
            if (readAnswered) {
                lastReadTick = now;
                hold.succeeded();
            } else {
                // "OK" without a usable time: ask again later, not at once.
                hold.failed(now);
            }
        }
        pendingKind = 0;
    } else if (HandlerText::IsErrorLine(line)) {
        if (pendingKind == 1)
            setState(3);
        else if (pendingKind == 3)
            hold.failed(now);
        pendingKind = 0;
    }
}
