#include "engine/perif_cala.h"

#include <cmath>

#include "engine/handler_text.h"
#include "engine/perif_active.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cpin.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/ansi_to_date_time.h"
#include "foundation/tixutils_misc.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"
#include "platform/tick.h"

using W = VMainWindowLink;

namespace {

// The time shown for "no alarm set".
Tixutils::TDateTime NoAlarmTime()
{
    Tixutils::TDateTime t = 0;
    Tixutils::TryEncodeDate(2000, 1, 1, t);
    return t;
}

}  // namespace

VPerifCALA::VPerifCALA(VUniSET* owner) : VPerif(owner) {}

VPerifCALA::~VPerifCALA() = default;

void VPerifCALA::start(uint32_t now)
{
    restart(now);
}

void VPerifCALA::restart(uint32_t now)
{
    reset(now);
}

void VPerifCALA::reset(uint32_t)
{
    pendingKind = 0;
    writeRequested = false;
    relativeMode = false;
    updating = false;
    relSeconds = -1;
    readLineSeen = false;
    readAnswered = false;
    hold.succeeded();
    setState(0, true);
    alarmText.clear();
}

bool VPerifCALA::isBusy() const
{
    return pendingKind != 0;
}

bool VPerifCALA::isResolved() const
{
    return state != 0 && state != 1;
}

bool VPerifCALA::isSameText(const std::string& text) const
{
    return text == alarmText;
}

void VPerifCALA::requestWrite()
{
    writeRequested = true;
}

Tixutils::TDateTime VPerifCALA::deviceNow() const
{
    return Tixutils::Now() + double(modem().cclk().getOffset()) / 86400.0;
}

void VPerifCALA::showText(W::TControl edit, const std::string& text)
{
    if (window().editText(edit) != text)
        window().setEditText(edit, text);
}

void VPerifCALA::setState(int newState, bool force)
{
    if (!force && newState == state)
        return;
    state = newState;
    shown.valid = false;
    W& w = window();
    const bool on = state == 1 || state == 2;
    if (!on) {
        const bool was = updating;
        updating = true;
        w.setEditText(W::EditCALAtime, "");
        w.setEditText(W::EditCALAofs, "");
        w.setEditText(W::EditCALAtext, "");
        updating = was;
    }
    w.setEnabled(W::GroupCALA, on);
    w.setFontColor(W::GroupCALA, on ? clWindowText : clGrayText);
    for (W::TControl c : {W::BtnCALAWrite, W::BtnCALACancel, W::EditCALAtime, W::EditCALAofs,
                          W::EditCALAtext})
        w.setEnabled(c, on);
}

void VPerifCALA::setAbsolute(Tixutils::TDateTime time, bool showIt)
{
    shown.valid = false;
    relSeconds = HandlerText::WholeSeconds((time - deviceNow()) * 86400.0);
    if (updating) {
        showText(W::EditCALAtime, window().dateTimeText(time));
        return;
    }
    updating = true;
    if (showIt)
        showText(W::EditCALAtime, window().dateTimeText(time));
    relativeMode = false;
    refreshEdits(Platform::GetTickCount());
    updating = false;
}

void VPerifCALA::setRelative(int seconds, bool showIt)
{
    if (!updating)
        shown.valid = false;
    relSeconds = seconds;
    const std::string text = Utils::FormatDuration(seconds, Utils::DurationLetters);
    if (updating) {
        showText(W::EditCALAofs, text);
        return;
    }
    updating = true;
    if (showIt)
        showText(W::EditCALAofs, text);
    relativeMode = true;
    refreshEdits(Platform::GetTickCount());
    updating = false;
}

void VPerifCALA::formatsChanged()
{
    shown.valid = false;
    if (state != 2 || relativeMode)
        return;  // a relative alarm's time is made anew at the next tick
    // The time read in any of the formats, written in the new one.
    Tixutils::TDateTime time = 0;
    if (!Tixsmslist::AnsiToDateTime(window().editText(W::EditCALAtime), time, "./", ":", ", ", Tixutils::vdoDMY))
        return;
    const bool was = updating;
    updating = true;
    showText(W::EditCALAtime, window().dateTimeText(time));
    updating = was;
}

[[gnu::hot]] void VPerifCALA::refreshEdits(uint32_t now)  // on every tick
{
    if (state != 2 || !elapsed(EditsQuietMs, now))
        return;
    const int offset = modem().cclk().getOffset();
    if (shown.valid && shown.relative == relativeMode && shown.offset == offset && shown.relSeconds == relSeconds &&
        !Utils::IsTickElapsed(shown.tick, shown.untilNextMs, now))
        return;
    const Tixutils::TDateTime devNow = deviceNow();
    const bool was = updating;
    updating = true;
    if (relativeMode) {
        const Tixutils::TDateTime at = devNow + (double(relSeconds) + 0.5) / 86400.0;
        const double second = std::floor(at * 86400.0);
        if (!shown.valid || !shown.relative || shown.relSeconds != relSeconds || shown.second != second) {
            showText(W::EditCALAtime, window().dateTimeText(at));
            shown = {true, true, relSeconds, second, {}};
        }
        shown.untilNextMs = HandlerText::MsToNextSecond(at);
    } else {
        // A time without a date means its next occurrence: the text is
        // read again each second as well as after every change.
        std::string text = window().editText(W::EditCALAtime);
        const double second = std::floor(devNow * 86400.0);
        if (!shown.valid || shown.relative || shown.second != second || shown.timeText != text) {
            Tixutils::TDateTime time = 0;
            if (Tixsmslist::AnsiToDateTime(text, time, "./", ":", ", ", Tixutils::vdoDMY))
                setRelative(HandlerText::WholeSeconds((time - devNow) * 86400.0), false);
            shown = {true, false, relSeconds, second, std::move(text)};
        }
        shown.untilNextMs = HandlerText::MsToNextSecond(devNow);
    }
    shown.offset = offset;
    shown.tick = now;
    updating = was;
}

void VPerifCALA::tick(uint32_t now)
{
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isFullPower() || !m.cpin().isReady() ||
        !m.cclk().isResolved())
        return;
    const bool maySend =
        (pendingKind != 0 && m.active().isAnswering() && elapsed(RepeatMs, now)) || !m.isBusy();
    if (!maySend)
        return;
    if (state == 0) {
        sendLine(now, "AT+CALA=?");
        return;
    }
    if (writeRequested && (state == 1 || state == 2)) {
        if (relSeconds == -1) {
            writeRequested = false;
            return;
        }
        // The user's text goes between quotes: nothing in it may end them.
        const std::string text = HandlerText::QuotableText(window().editText(W::EditCALAtext));
        const bool textChanged = text != alarmText;
        if (relSeconds < -1 && textChanged) {
            // Cancelling is an alarm in the past with the text kept.
            writeRequested = false;
            return;
        }
        writeAlarm(now, textChanged, text);
        return;
    }
    if (state == 1) {
        if (!hold.holding(now))
            sendLine(now, "AT+CALA?");
        return;
    }
    // Nothing to send: a command typed for this handler that got no
    // answer is given up, or it would keep every other handler quiet.
    if (pendingKind != 0 && elapsed(RepeatMs, now))
        pendingKind = 0;
}

void VPerifCALA::writeAlarm(uint32_t now, bool withText, const std::string& text)
{
    const int seconds = relativeMode && relSeconds == 0 ? 1 : relSeconds;
    const Tixutils::TDateTime at = deviceNow() + double(seconds) / 86400.0;
    std::string line = "AT+CALA=\"" + HandlerText::GsmDateTimeText(at) + "\",0,0";
    if (withText)
        line += ",\"" + text + "\"";
    sendLine(now, line.c_str());
}

void VPerifCALA::noteCommand(const std::string& tail)
{
    if (tail == "?") {
        pendingKind = 3;
        // The first line of the answer is taken; the group stays as it is.
        if (state == 2)
            state = 1;
        readLineSeen = false;
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
    if (!fields.empty()) {
        pendingTimeValid = Tixsmslist::AnsiToDateTime(fields[0], pendingTime, "/", ":", ", ",
                                                       Tixutils::vdoYMD);
        pendingKind = 2;
    }
    pendingText = fields.size() >= 4 ? fields[3] : std::string();
}

void VPerifCALA::onCommandSent(uint32_t now)
{
    bool failed = true;
    const std::string tail =
        Tixutils::ExtractStringIC(owner->getTxBuffer().view(), "AT+CALA", "\r", failed);
    if (!failed && !tail.empty())
        noteCommand(tail);
    if (pendingKind != 0)
        setLastSendTime(now);
}

void VPerifCALA::takeAlarm(const std::vector<std::string>& fields)
{
    // A further alarm line of the same answer.
    if (fields.size() > 1 && state == 2)
        return;
    if (fields.empty())
        return;
    Tixutils::TDateTime time = 0;
    if (fields[0] == NoAlarmText) {
        setState(2);
        setAbsolute(NoAlarmTime(), true);
        readAnswered = true;
    } else if (Tixsmslist::AnsiToDateTime(fields[0], time, "/", ":", ", ", Tixutils::vdoYMD)) {
        setState(2);
        setAbsolute(time, true);
        readAnswered = true;
    }
    if (fields.size() >= 4) {
        alarmText = fields[3];
        window().setEditText(W::EditCALAtext, alarmText);
        window().EditCALAtextChange();
    }
}

void VPerifCALA::onResponse(uint32_t now)
{
    const std::string_view line = owner->getRxBuffer().view();
    const std::string echo = extractStringIC("AT+CALA", "\r\r\n");
    if (!echo.empty()) {
        noteCommand(echo);
        return;
    }
    const std::string text = extractStringIC("+CALA: ", "\r\n");
    if (!text.empty()) {
        if (pendingKind == 3) {
            readLineSeen = true;
            std::vector<std::string> fields;
            Tixutils::VSetCommaText(fields, text);
            takeAlarm(fields);
        }
        return;
    }
    if (pendingKind == 0)
        return;
    if (HandlerText::EndsWithOk(line)) {
        if (pendingKind == 1) {
            setState(1);
        } else if (pendingKind == 2) {
            if (pendingTimeValid)
                setAbsolute(pendingTime, true);
            alarmText = pendingText;
            window().EditCALAtextChange();
            writeRequested = false;
        } else if (pendingKind == 3) {
            if (!readLineSeen) {
                // A bare "OK": no alarm is set. That is an answer too.
                takeAlarm({NoAlarmText});
                hold.succeeded();
            } else if (readAnswered) {
                hold.succeeded();
            } else {
                hold.failed(now);
            }
        }
        pendingKind = 0;
    } else if (HandlerText::IsErrorLine(line)) {
        if (pendingKind == 1)
            setState(3);
        else if (pendingKind == 2)
            writeRequested = false;  // refused: not tried again and again
        else if (pendingKind == 3)
            hold.failed(now);
        pendingKind = 0;
    }
}
