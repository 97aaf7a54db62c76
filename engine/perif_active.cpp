#include "engine/perif_active.h"

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"
#include "platform/ini_file.h"
#include "serial/vtscomm32.h"

namespace {

bool StartsWithAT(const TInputBuffer& tx)
{
    // ESC "AT" does not count; a line typed in lower case does.
    const std::string_view v = tx.view();
    return v.size() >= 2 && (v[0] == 'A' || v[0] == 'a') && (v[1] == 'T' || v[1] == 't');
}

}  // namespace

VPerifActive::VPerifActive(VUniSET* owner) : VPerif(owner) {}

void VPerifActive::start(uint32_t now)
{
    restart(now);
    // The first probe after the port opens writes the wake-up bytes.
    rawStepDue = true;
}

void VPerifActive::restart(uint32_t now)
{
    reset(now);
    baudCountdown = 2;
}

void VPerifActive::reset(uint32_t now)
{
    state = 1;
    portSeen = false;
    errorCountdown = 4;
    resetQuestion = false;
    answerTime = now;
    simBusy = false;
    savedCommand.clear();
}

bool VPerifActive::isBusy() const { return state != 5; }
bool VPerifActive::isSettled() const { return state >= 5; }
bool VPerifActive::isAnswering() const { return state >= 3; }
bool VPerifActive::isChecking() const { return state != 1 && state != 5; }

void VPerifActive::setState(int newState)
{
    if (newState != state)
        state = newState;
}

void VPerifActive::switchBaudRate()
{
    TVTSComm32* port = owner->serialPort();
    if (!port)
        return;
    port->SetBaudRate(port->GetBaudRate() == TBaudRate::__19200 ? TBaudRate::___9600
                                                                 : TBaudRate::__19200);
}

void VPerifActive::askReset(uint32_t now)
{
    resetQuestion = false;
    // Counting starts anew whatever the answer.
    errorCountdown = 4;
    const std::string text = window().getLangText(
        "Texts", "DeviceReseted",
        "Za\xF8\xEDzen\xED se z\xF8" "ejm\xEC vyresetovalo. Znovu nastavit?");
    if (window().messageBox2(text, VMainWindowLink::MB_YESNO) == VMainWindowLink::IDYES)
        owner->reopenPort(now, ReopenDelay, true);
}

void VPerifActive::settle(uint32_t now)
{
    if (simBusy) {
        if (Utils::IsTickElapsed(answerTime, 5000, now)) {
            state = 5;
            simBusy = false;
        }
    } else if (Utils::IsTickElapsed(answerTime, 500, now)) {
        state = 5;
    }
}

void VPerifActive::dataTick(uint32_t now)
{
    // The CONNECT that began the data call was an answer too; without its
    // settling the handler would count as busy for the whole call and hold
    // up the data call's own exchange.
    if (state == 4)
        settle(now);
}

void VPerifActive::tick(uint32_t now)
{
    if (!owner->portConnected()) {
        portSeen = false;
    } else if (!portSeen) {
        // Probing starts one second after the port opened.
        portSeen = true;
        setLastSendTime(now);
    }

    if (resetQuestion) {
        askReset(now);
        // A reopen closed the port and will reset every handler.
        if (owner->isReopenPending())
            return;
    }

    switch (state) {
    case 0:
        if (portSeen && elapsed(1000, now)) {
            sendLine(now, "\x1B" "AT");
            setLastSendTime(now);
        }
        break;
    case 1:
        if (!portSeen || !elapsed(1000, now))
            break;
        if (rawStepDue) {
            static const char wake[2] = {'\0', '\x1B'};
            owner->sendData(wake, 2, now);
            state = 2;
            setLastSendTime(now);
            rawStepDue = false;
        } else {
            if (baudCountdown < 1) {
                baudCountdown = 2;
                switchBaudRate();
            }
            setLastSendTime(now);
            rawStepDue = true;
        }
        break;
    case 2:
        if (!portSeen) {
            state = 1;
        } else if (elapsed(100, now)) {
            sendLine(now, "AT");
            setLastSendTime(now);
            state = 1;
            --baudCountdown;
        }
        break;
    case 3:
        if (Utils::IsTickElapsed(heldSince, heldLimit, now))
            state = 0;  // probes at once: the last send is long past
        break;
    case 4:
        settle(now);
        break;
    default:
        break;
    }
}

void VPerifActive::onCommandSent(uint32_t now)
{
    if (!StartsWithAT(owner->getTxBuffer()))
        return;
    if (state == 1)
        state = 0;
    else if (state == 3 || state == 4 || state == 5) {
        state = 3;
        heldSince = now;
        heldLimit = FinalResultLimit(owner->getTxBuffer().view());
    }
}

uint32_t VPerifActive::FinalResultLimit(std::string_view sentLine)
{
    using HandlerText::StartsIC;
    if (StartsIC(sentLine, "AT+COPS=?"))
        return SearchTimeoutMs;
    if (StartsIC(sentLine, "ATD") || StartsIC(sentLine, "ATA"))
        return DialTimeoutMs;
    if (StartsIC(sentLine, "AT+CMGS") || StartsIC(sentLine, "AT+CMSS") || StartsIC(sentLine, "AT+CMGW"))
        return SendTimeoutMs;
    return FinalResultTimeoutMs;
}

bool VPerifActive::IsAnswerLine(std::string_view line)
{
    return line == "OK\r\n" || line == "RING\r\n" || line == "NO CARRIER\r\n" ||
           line == "ERROR\r\n" || line == "NO DIALTONE\r\n" || line == "BUSY\r\n" ||
           line == "NO ANSWER\r\n" || line.compare(0, 7, "CONNECT") == 0 ||
           line.compare(0, 12, "+CME ERROR: ") == 0 || line.compare(0, 12, "+CMS ERROR: ") == 0;
}

void VPerifActive::onResponse(uint32_t now)
{
    if (state < 0 || state > 3)
        return;
    heldSince = now;  // any line shows the device at work
    const std::string_view line = owner->getRxBuffer().view();
    if (!IsAnswerLine(line))
        return;

    answerTime = now;
    state = 4;
    const std::string_view sent = owner->getTxBuffer().view();
    if (!resetQuestion) {
        // A reset device answers everything with a plain "ERROR": after
        // one answer to a line, four more such answers to the same line.
        if (line == "ERROR\r\n" && sent == savedCommand) {
            if (--errorCountdown < 1)
                resetQuestion = true;
        } else {
            errorCountdown = 4;
        }
    }
    savedCommand = sent;

    const std::string cme = extractStringIC("+CME ERROR: ", "\r\n");
    if (!cme.empty() && Platform::SameTextIC(cme, "SIM BUSY"))
        simBusy = true;
}
