#include "engine/perif_calls.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "engine/main_window_link.h"
#include "engine/perif_active.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_creg.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/perif_protikus.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"
#include "platform/ini_file.h"

namespace {

bool StartsWithIC(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && Platform::SameTextIC(text.substr(0, prefix.size()), prefix);
}

}  // namespace

VPerifCalls::VPerifCalls(VUniSET* owner) : VPerif(owner) {}

// ---- Life cycle ----------------------------------------------------------------

void VPerifCalls::start(uint32_t now)
{
    now_ = now;
    window().createCallRows();
    for (int i = 0; i < RowCount; ++i)
        rows[size_t(i)].init(this, uint8_t(i));
    restart(now);
}

void VPerifCalls::restart(uint32_t now)
{
    reset(now);
}

void VPerifCalls::reset(uint32_t now)
{
    now_ = now;
    for (VCall& r : rows) {
        r.setState(-1);
        r.hangupMark = false;
    }
    pending = cmdNone;
    lastStatusPoll = now;
    ecamMode = -1;
    clipMode = -1;
    statusPollWanted = false;
    markNextConnect = false;
    tempRow = 0;
    answerPending = false;
    ecamHold = TRetryHold();
    clipHold = TRetryHold();
    connectRecent = false;
    escapesSent = 0;
    hangupAsked = false;
    athAfterDtr = false;
    athOwed = false;
    inDataCall = false;
}

// ---- Questions ------------------------------------------------------------------

bool VPerifCalls::isBusy() const
{
    // An escaped data call holds the line until its "ATH" has gone out:
    // a command of another handler in between would find the call still up.
    // From the escape's OK on, before this handler's next tick too.
    const bool escaped = inDataCall && owner->getMode() != 3 && escapesSent > 0 && markedRow() >= 0;
    return pending != cmdNone || athOwed || escaped;
}

bool VPerifCalls::isSettled() const
{
    return clipMode != -1 && ecamMode != -1 && !statusPollWanted && !answerPending && !isBusy();
}

bool VPerifCalls::isReadyForCommand(uint32_t now) const
{
    if (clipMode == -1 || ecamMode == -1)
        return false;
    if (pending == cmdDial && !elapsed(DialWait, now))
        return false;
    if (pending == cmdAnswer && !elapsed(AnswerWait, now))
        return false;
    return elapsed(500, now);
}

bool VPerifCalls::hasRingingOrCalling() const
{
    for (const VCall& r : rows)
        if (r.state == 6 || r.state == 1)
            return true;
    return false;
}

int VPerifCalls::findCallToRelease() const
{
    auto first = [this](auto&& pred) {
        for (int i = 0; i < RowCount; ++i)
            if (pred(rows[size_t(i)].state))
                return i;
        return -1;
    };
    int r = first([](int s) { return s == 3; });
    if (r < 0)
        r = first([](int s) { return s == 6 || s == 1 || s == 2; });
    if (r < 0)
        r = first([](int s) { return s == 7; });
    return r;
}

int VPerifCalls::alertingTempRow() const
{
    return rows[size_t(tempRow)].state == 6 ? tempRow : -1;
}

int VPerifCalls::singleActiveDataCall() const
{
    int active = 0;
    int data = -1;
    for (int i = RowCount - 1; i >= 0; --i) {
        if (rows[size_t(i)].state != 3)
            continue;
        if (++active == 1 && rows[size_t(i)].type == 2)
            data = i;
    }
    return active == 1 ? data : -1;
}

int VPerifCalls::markedRow() const
{
    for (int i = RowCount - 1; i >= 0; --i) {
        const VCall& r = rows[size_t(i)];
        if (r.hangupMark && r.state >= 1 && r.state <= 6)
            return i;
    }
    return -1;
}

bool VPerifCalls::escapeDue(uint32_t now) const
{
    if (!owner->idleElapsed(HangupQuiet, now))
        return false;
    if (connectRecent && !Utils::IsTickElapsed(connectTick, HangupQuiet, now))
        return false;
    return !owner->isEscapePending() || owner->idleElapsed(EscapeRetry, now);
}

bool VPerifCalls::IsDialable(std::string_view number)
{
    bool visible = false;
    for (const char c : number) {
        const auto b = uint8_t(c);
        if (c == ';' || b < 0x20 || b == 0x7F)
            return false;
        visible = visible || c != ' ';
    }
    return visible;
}

bool VPerifCalls::ScanDecimal(std::string_view text, int& value)
{
    size_t p = 0;
    while (p < text.size() && (text[p] == ' ' || (text[p] >= '\t' && text[p] <= '\r')))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-'))
        negative = text[p++] == '-';
    const char* first = text.data() + p;
    const char* last = text.data() + text.size();
    long long v = 0;
    const auto [end, error] = std::from_chars(first, last, v);
    if (end == first || (first < last && *first == '-'))
        return false;
    if (error == std::errc::result_out_of_range)
        v = LLONG_MAX;
    v = std::clamp<long long>(negative ? -v : v, INT_MIN, INT_MAX);
    value = int(v);
    return true;
}

// ---- Rows ------------------------------------------------------------------------

void VPerifCalls::notUnderstood(const char* operation)
{
    window().messageBox2(std::string("VPerifModem::VPerifCalls::") + operation + ": Tak tomu nerozumim.",
                         VMainWindowLink::MB_ICONEXCLAMATION);
}

void VPerifCalls::tempIsOutgoing(bool outgoing)
{
    if (tempRow == 0) {
        const int s = rows[0].state;
        if (s == 0)
            return;
        const bool fits = outgoing ? s == 1 || s == 2 : s == 5 || s == 6;
        if (s != 3 && s != 4 && fits)
            return;
        for (int i = 1; i < RowCount; ++i) {
            if (rows[size_t(i)].state == 0) {
                rows[size_t(i)].moveFrom(rows[0]);
                tempRow = i;
                return;
            }
        }
        return;
    }
    const int s = rows[size_t(tempRow)].state;
    const bool otherDirection = outgoing ? s == 5 || s == 6 : s == 1 || s == 2;
    if (s == 0 || s == 3 || s == 4 || otherDirection) {
        notUnderstood("tempIsOutgoing");
        tempRow = 0;
    }
}

void VPerifCalls::markForHangup()
{
    for (VCall& r : rows)
        if (r.state >= 1 && r.state <= 6)
            r.hangupMark = true;
    hangupAsked = true;
}

bool VPerifCalls::isHangingUp() const
{
    return owner->getMode() == 3 && (escapesSent > 0 || (hangupAsked && markedRow() >= 0));
}

void VPerifCalls::refreshCallButtons()
{
    bool ringing = false;
    bool anyCall = false;
    for (const VCall& r : rows) {
        ringing = ringing || r.state == 6;
        anyCall = anyCall || (r.state >= 1 && r.state <= 6);
    }
    VMainWindowLink& w = window();
    if (ringing != ringingShown) {
        ringingShown = ringing;
        w.setRinging(ringing);
        w.setEnabled(VMainWindowLink::BtnATA, ringing);
        if (ringing)
            w.setFlashCount(5);
    }
    w.setEnabled(VMainWindowLink::BtnATH, anyCall && owner->portConnected());
}

void VPerifCalls::refreshTexts()
{
    for (VCall& r : rows)
        r.refreshStateText();
}

void VPerifCalls::callReleased(VCall& r)
{
    r.remote.reset();
    VPerifModem& m = modem();
    m.protikus().abandon(now_, &r.remote);
    m.sendingFile().abandon(now_, &r.remote);
    m.receivingFile().abandon(now_, &r.remote);
}

// ---- Commands ----------------------------------------------------------------------

bool VPerifCalls::dial(uint32_t now, bool voice, const std::string& number)
{
    if (!IsDialable(number) || owner->getMode() != 0)
        return false;
    markNextConnect = false;
    sendLineF(now, "ATD" + number + (voice ? ";" : ""));
    return true;
}

void VPerifCalls::escapeDataCall(uint32_t now)
{
    if (owner->getMode() != 3 || !escapeDue(now))
        return;
    if (escapesSent >= EscapeTries) {
        hardHangup(now);
        return;
    }
    ++escapesSent;
    owner->sendData("+++", 3, now);
}

void VPerifCalls::hardHangup(uint32_t now)
{
    now_ = now;
    owner->pulseDTR(now, DtrDrop);
    owner->setMode(0);
    escapesSent = 0;
    hangupAsked = false;
    athAfterDtr = true;
    // The rows of the data call: active data calls and whatever was
    // marked. Their release lets the data handlers go; the phone activity
    // poll then shows what the device still has.
    for (VCall& r : rows) {
        if ((r.state == 3 && r.type == 2) || (r.hangupMark && r.state >= 1 && r.state <= 6)) {
            r.hangupMark = false;
            r.setState(0);
        }
    }
    statusPollWanted = true;
}

void VPerifCalls::hangUp(uint32_t now)
{
    if (owner->getMode() == 3)
        escapeDataCall(now);
    else if (owner->idleElapsed(HangupQuiet, now))
        sendLine(now, "ATH");
}

void VPerifCalls::tick(uint32_t now)
{
    now_ = now;
    VPerifModem& m = modem();
    // Back in the command mode with the call still up: the transfers on
    // it are over, and must not hold the hang-up back.
    if (inDataCall && owner->getMode() != 3) {
        inDataCall = false;
        for (VCall& r : rows)
            if (r.state == 3 && r.type == 2)
                callReleased(r);
        // Left by our escape's OK: the hang-up comes next, before anything else.
        if (escapesSent > 0) {
            escapesSent = 0;
            athOwed = markedRow() >= 0;
        }
    }
    if (!m.active().isAnswering() || !m.power().isFullPower() || !m.creg().isRegistered() ||
        !m.cgmm().isIdentified())
        return;
    if (athOwed) {
        if (!m.isBusyExcept(this) && owner->getMode() == 0) {
            athOwed = false;
            sendLine(now, "ATH");
        }
        return;
    }

    const uint32_t wait = pending == cmdAnswer ? AnswerWait : pending == cmdDial ? DialWait : CommandWait;
    const bool waitedLongEnough = pending != cmdNone && elapsed(wait, now);
    // A command without any result is given up: it must not hold the
    // other handlers back for ever. A dial given up leaves its row to the
    // phone activity poll.
    if (waitedLongEnough) {
        if (pending == cmdDial || pending == cmdAnswer)
            statusPollWanted = true;
        pending = cmdNone;
    }
    // A hang-up asked for while the own dial or answer runs goes out at
    // once: its first byte aborts the dial.
    // The link watcher's hold on the line is this dial's own.
    const bool abortDial =
        (pending == cmdDial || pending == cmdAnswer) && markedRow() >= 0 && !m.isBusyExcept(this, &m.active());
    if (m.isBusy() && !waitedLongEnough && !abortDial)
        return;
    // The hard hang-up's "ATH", once DTR is up again.
    if (athAfterDtr) {
        if (!owner->isDtrPulsePending()) {
            athAfterDtr = false;
            sendLine(now, "ATH");
        }
        return;
    }

    if (ecamMode == -1) {
        if (m.cgmi().getCode() == 0x2000) {
            if (!ecamHold.holding(now))
                sendLine(now, "AT*ECAM=1");
            return;
        }
        ecamMode = 0;
    }
    if (clipMode == -1) {
        if (!clipHold.holding(now))
            sendLine(now, "AT+CLIP=1");
        return;
    }
    if (answerPending) {
        sendLine(now, "ATA");
        return;
    }
    if (markedRow() >= 0) {
        hangUp(now);
        return;
    }
    bool rowWantsPoll = false;
    for (const VCall& r : rows)
        rowWantsPoll = rowWantsPoll || r.state == -2 || r.state == -1 || r.state >= 3;
    if (pending != cmdAnswer && ((statusPollWanted && pending == cmdNone) || rowWantsPoll) &&
        Utils::IsTickElapsed(lastStatusPoll, CommandWait, now))
        sendLine(now, "AT+CPAS");
}

void VPerifCalls::dataTick(uint32_t now)
{
    now_ = now;
    // Nothing from the other station for long: the call is over.
    if (Utils::IsTickElapsed(owner->getLastFrameTick(), DataSilence, now)) {
        for (VCall& r : rows) {
            if (r.state == 3 && r.type == 2) {
                r.hangupMark = true;
                hangupAsked = true;
            }
        }
    }
    // An escape under way goes on to its OK or to the hard way, whoever
    // began it.
    if (escapesSent > 0) {
        escapeDataCall(now);
        return;
    }
    // A call marked when it was dialled for the files waits until the
    // data handlers have nothing more to do (a transfer that repeats its
    // frames at a second's pause leaves the line quiet that long too); one
    // the user hangs up goes at once.
    if (!hangupAsked && modem().isBusyExcept(this))
        return;
    for (int i = RowCount - 1; i >= 0; --i) {
        const VCall& r = rows[size_t(i)];
        if (r.state == 3 && r.hangupMark) {
            hangUp(now);
            return;
        }
    }
}

void VPerifCalls::onCommandSent(uint32_t now)
{
    now_ = now;
    const int previous = pending;
    pending = cmdNone;
    const std::string text = Tixutils::ExtractStringIC(owner->getTxBuffer().view(), "AT", "\r");
    if (!text.empty())
        parseCommand(text, previous);
    if (pending != cmdNone)
        setLastSendTime(now);
}

void VPerifCalls::parseCommand(std::string_view text, int previous)
{
    if (StartsWithIC(text, "*ECAM")) {
        const std::string_view rest = text.substr(5);
        int value = 0;
        if (rest == "?") {
            pending = cmdEcamRead;
        } else if (!rest.empty() && rest[0] == '=') {
            if (ScanDecimal(rest.substr(1), value)) {
                ecamRequested = value;
                pending = cmdEcamSet;
            } else {
                ecamRequested = -1;
                pending = cmdEcamNoValue;
            }
        }
        return;
    }
    if (StartsWithIC(text, "+CLIP")) {
        const std::string_view rest = text.substr(5);
        int value = 0;
        if (rest == "?") {
            pending = cmdClipRead;
        } else if (!rest.empty() && rest[0] == '=') {
            if (rest.size() >= 2 && rest[1] != '?' && ScanDecimal(rest.substr(1), value)) {
                clipRequested = value;
                pending = cmdClipSet;
            } else {
                clipRequested = -1;
                pending = cmdClipOther;
            }
        }
        return;
    }
    if (Platform::SameTextIC(text, "+CPAS")) {
        pending = cmdStatus;
    } else if (text == "H") {
        pending = cmdHangup;
        answerPending = false;
    } else if (text == "+CHUP") {
        pending = cmdChup;
        answerPending = false;
    } else if (text == "A") {
        if (previous == cmdNone || previous == cmdAnswer)
            pending = cmdAnswer;
        answerPending = true;
    } else if (text.size() >= 2 && (text[0] == 'D' || text[0] == 'd')) {
        pending = cmdDial;
        answerPending = false;
        tempIsOutgoing(true);
        VCall& r = tempCall();
        if (text.back() == ';') {
            if (r.type != 128)
                r.setType(1);
            r.number = std::string(text.substr(1, text.size() - 2));
        } else {
            r.setType(2);
            r.number = std::string(text.substr(1));
        }
        r.numberType = text[1] == '+' ? 145 : 129;
        statusPollWanted = true;
        r.setState(1);
    }
}
