// The call handler's reading of received lines: answers to its own
// commands, the device's echo, and the unsolicited call lines.
#include <optional>

#include "engine/handler_text.h"
#include "engine/perif_calls.h"
#include "engine/perif_modem.h"
#include "engine/uniset.h"
#include "foundation/tixutils_misc.h"
#include "platform/ini_file.h"

namespace {

// The text between prefix and suffix when the line has both (not
// overlapping); letter case ignored on request.
std::optional<std::string_view> Middle(std::string_view line, std::string_view prefix, std::string_view suffix,
                                       bool ignoreCase)
{
    if (line.size() < prefix.size() + suffix.size())
        return std::nullopt;
    const std::string_view head = line.substr(0, prefix.size());
    const std::string_view tail = line.substr(line.size() - suffix.size());
    const bool match = ignoreCase ? Platform::SameTextIC(head, prefix) && Platform::SameTextIC(tail, suffix)
                                  : head == prefix && tail == suffix;
    if (!match)
        return std::nullopt;
    return line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
}

bool StartsWith(std::string_view line, std::string_view prefix)
{
    return line.substr(0, prefix.size()) == prefix;
}

// A type of number: 0..255, else 0.
uint8_t NumberType(std::string_view text)
{
    const int v = HandlerText::StrToIntDef(text, 0);
    return v >= 0 && v <= 255 ? uint8_t(v) : 0;
}

}  // namespace

void VPerifCalls::onResponse(uint32_t now)
{
    now_ = now;
    const std::string_view line = owner->getRxBuffer().view();

    if (pending == cmdStatus) {
        if (const auto n = Middle(line, "+CPAS: ", "\r\n", false)) {
            onStatus(HandlerText::StrToIntDef(*n, -1));
            return;
        }
    }
    if (pending == cmdEcamRead) {
        if (const auto n = Middle(line, "*ECAM: ", "\r\n", false)) {
            int mode = -1;
            ecamMode = ScanDecimal(*n, mode) ? mode : -1;
            return;
        }
    }
    if (const auto echo = Middle(line, "AT", "\r\r\n", true)) {
        parseCommand(*echo, pending);
        return;
    }
    if (StartsWith(line, "CONNECT")) {
        onConnect(now);
        return;
    }
    if (pending != cmdNone && Platform::SameTextIC(line, "OK\r\n")) {
        onOk(now);
        pending = cmdNone;
        return;
    }
    if (pending != cmdNone && (Platform::SameTextIC(line, "ERROR\r\n") || HandlerText::IsErrorResult(line))) {
        onError(now);
        pending = cmdNone;
        return;
    }
    if (const auto report = Middle(line, "*ECAV: ", "\r\n", true)) {
        onCallReport(*report);
        return;
    }
    if (const auto id = Middle(line, "+CLIP: ", "\r\n", false)) {
        // The answer to the test command lists the modes.
        if (pending != cmdClipOther)
            onCallerId(*id);
        return;
    }
    if (line == "RING\r\n") {
        tempIsOutgoing(false);
        tempCall().setState(6);
        return;
    }
    // NO ANSWER ends a dial as the others do; without it the row would
    // stay calling and the handler busy for ever.
    if (line == "NO CARRIER\r\n" || line == "NO DIALTONE\r\n" || line == "BUSY\r\n" || line == "NO ANSWER\r\n")
        onCallEnd();
}

void VPerifCalls::onStatus(int n)
{
    switch (n) {
    case 0:
    case 129:
        statusPollWanted = false;
        for (VCall& r : rows) {
            r.setState(0);
            r.hangupMark = false;
        }
        break;
    case 3:
        if (!statusPollWanted) {
            tempIsOutgoing(false);
            tempCall().setState(6);
        }
        break;
    case 4:
    case 130:
    case 131: {
        statusPollWanted = false;
        VCall& r = tempCall();
        r.setState(3);
        r.hangupMark = r.hangupMark || markNextConnect;
        markNextConnect = false;
        break;
    }
    default:
        break;
    }
}

void VPerifCalls::onConnect(uint32_t now)
{
    VCall& r = tempCall();
    r.setState(3);
    r.setType(2);
    r.hangupMark = r.hangupMark || markNextConnect;
    markNextConnect = false;
    statusPollWanted = false;
    answerPending = false;
    owner->setMode(3);
    pending = cmdNone;
    escapesSent = 0;
    hangupAsked = false;
    inDataCall = true;
    // The quiet guard of a later "+++" counts from here too, not only from
    // the dial written long before.
    connectTick = now;
    connectRecent = true;
}

void VPerifCalls::onOk(uint32_t now)
{
    switch (pending) {
    case cmdEcamSet:
        ecamMode = ecamRequested;
        ecamHold.succeeded();
        break;
    case cmdClipSet:
        clipMode = clipRequested;
        clipHold.succeeded();
        break;
    case cmdStatus:
        lastStatusPoll = now;
        break;
    case cmdHangup:
    case cmdChup: {
        const int r = findCallToRelease();
        if (r >= 0) {
            rows[size_t(r)].setState(0);
            rows[size_t(r)].hangupMark = false;
        }
        markNextConnect = false;
        statusPollWanted = false;
        break;
    }
    case cmdAnswer: {
        answerPending = false;
        const int r = alertingTempRow();
        if (r >= 0) {
            if (!statusPollWanted)
                rows[size_t(r)].setType(1);
            rows[size_t(r)].setState(3);
        }
        statusPollWanted = false;
        break;
    }
    case cmdDial: {
        VCall& r = tempCall();
        r.hangupMark = r.hangupMark || markNextConnect;
        markNextConnect = false;
        lastStatusPoll = now - 10000;
        break;
    }
    default:
        break;
    }
}

void VPerifCalls::onError(uint32_t now)
{
    // A device that refuses the switch-on command is asked again after a
    // growing hold, and after the last try the setting counts as off, so
    // that the other handlers are not blocked by an endless retry.
    switch (pending) {
    case cmdEcamSet:
        ecamHold.failed(now);
        if (ecamHold.failures() >= SetupTries)
            ecamMode = 0;
        break;
    case cmdClipSet:
        clipHold.failed(now);
        if (clipHold.failures() >= SetupTries)
            clipMode = 0;
        break;
    case cmdAnswer:
        // Nothing to answer: the button is not pressed again by itself.
        answerPending = false;
        break;
    default:
        break;
    }
}

void VPerifCalls::onCallReport(std::string_view text)
{
    std::vector<std::string>& f = modem().getFields();
    Tixutils::VSetCommaText(f, std::string(text));
    if (f.size() != 3 && f.size() != 5 && f.size() != 7)
        return;
    const int id = HandlerText::StrToIntDef(f[0], 0);
    const int status = HandlerText::StrToIntDef(f[1], -1);
    const int type = HandlerText::StrToIntDef(f[2], -1);
    if (id < 0 || id >= RowCount || status < 0 || status > 7 || (type != 1 && type != 2 && type != 128))
        return;
    // An active data call is reported by its CONNECT.
    if (type == 2 && status == 3)
        return;
    VCall& r = rows[size_t(id)];
    if (tempRow == 0) {
        if (rows[0].state != 0 && rows[0].state != -2) {
            r.moveFrom(rows[0]);
            tempRow = id;
        } else if (status == 1 || status == 2 || status == 6) {
            tempRow = id;
        }
    }
    if (f.size() == 7) {
        r.number = f[5];
        r.numberType = NumberType(f[6]);
    }
    // The type picture follows the report at once.
    r.setType(type);
    r.setState(status);
}

void VPerifCalls::onCallerId(std::string_view text)
{
    std::vector<std::string>& f = modem().getFields();
    Tixutils::VSetCommaText(f, std::string(text));
    if (f.size() == 1) {
        std::string& only = f[0];
        if (only.size() >= 8 && Platform::SameTextIC(std::string_view(only).substr(0, 6), "Number") &&
            only.back() == '.') {
            // "Number withheld.": a call without a number.
            tempIsOutgoing(false);
            tempCall().setState(6);
            return;
        }
        if (!only.empty() && only[0] == '+') {
            only.erase(0, 1);
            f.emplace_back("145");
        } else {
            f.emplace_back("129");
        }
    }
    if (f.size() < 2) {
        if (pending != cmdClipRead) {
            tempIsOutgoing(false);
            tempCall().setState(6);
        }
        return;
    }
    if (pending == cmdClipRead) {
        clipMode = HandlerText::StrToIntDef(f[0], -1);
        return;
    }
    tempIsOutgoing(false);
    VCall& r = tempCall();
    r.number = f[0];
    r.numberType = NumberType(f[1]);
    r.setState(6);
}

void VPerifCalls::onCallEnd()
{
    answerPending = false;
    pending = cmdNone;
    statusPollWanted = false;
    const int r = findCallToRelease();
    // The row's release forgets its remote party and tells the handlers
    // that serve it.
    if (r >= 0)
        rows[size_t(r)].setState(0);
}
