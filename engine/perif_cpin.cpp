#include "engine/perif_cpin.h"

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/perif_active.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"
#include "platform/ini_file.h"
#include "platform/tick.h"

namespace {

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return text;
}

std::string TrimBlanks(const std::string& text)
{
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    return text.substr(b, e - b);
}

// The step an unanswered or refused command of a sending step leads to.
int RefusedStep(int sendingStep)
{
    return sendingStep >= 2 && sendingStep <= 6 ? sendingStep + 5 : sendingStep;
}

using W = VMainWindowLink;

}  // namespace

VPerifCPIN::VPerifCPIN(VUniSET* owner) : VPerif(owner) {}

bool VPerifCPIN::isBusy() const { return answerState != AnswerIdle; }
bool VPerifCPIN::usesQuotes() const { return modem().isSiemensQuirk(); }
bool VPerifCPIN::isReady() const { return step >= 14; }

bool VPerifCPIN::IsUsableCode(const std::string& code)
{
    if (code.size() < 4 || code.size() > 8)
        return false;
    for (char c : code)
        if (c < '0' || c > '9')
            return false;
    return true;
}

void VPerifCPIN::start(uint32_t now)
{
    restart(now);
    if (window().optionsDialogExists())
        pin = window().editText(W::EditPIN);
    askRequest = false;
    pinConfirmed = false;
}

void VPerifCPIN::restart(uint32_t now) { reset(now); }

void VPerifCPIN::reset(uint32_t)
{
    step = 1;
    answerState = AnswerIdle;
    askRequest = false;
    noCardAnswer = 0;
    badPinAsked = false;
    pinConfirmed = false;
    pinRefused = false;
}

void VPerifCPIN::setPIN(const std::string& text)
{
    if (text == pin)
        return;
    pin = text;
    pinConfirmed = false;
    pinRefused = false;
}

void VPerifCPIN::confirmPIN()
{
    if (pinConfirmed)
        return;
    step = 1;
    pinConfirmed = true;
    badPinAsked = false;
    pinRefused = false;
}

void VPerifCPIN::requery() { step = 1; }

std::string VPerifCPIN::commandOfStep(int forStep) const
{
    const char* q = usesQuotes() ? "\"" : "";
    auto single = [&](const std::string& code) {
        return IsUsableCode(code) ? "AT+CPIN=" + (q + code + q) : std::string();
    };
    auto pair = [&](const std::string& first, const std::string& second) {
        if (!IsUsableCode(first) || !IsUsableCode(second))
            return std::string();
        return "AT+CPIN=" + (q + first + q) + "," + (q + second + q);
    };
    switch (forStep) {
    case 2: return single(pin);
    case 3: return single(pin2);
    case 4: return pair(puk, pin);
    case 5: return pair(puk2, pin2);
    case 6: return single(phSimPin);
    default: return {};
    }
}

void VPerifCPIN::askBadPin()
{
    badPinAsked = true;
    const std::string text =
        window().getLangText("Texts", "BadPin", "Byl zad\xE1n \x9Apatn\xFD PIN. Vlo\x9Eit jin\xFD?");
    if (window().messageBox2(text, W::MB_YESNO | W::MB_ICONEXCLAMATION) == W::IDYES)
        askRequest = true;
}

void VPerifCPIN::askNoCard(uint32_t now)
{
    const std::string text = window().getLangText("Texts", "NoCard",
                                                  "Nen\xED vlo\x9E" "ena SIM karta. Zkusit znovu?");
    const uint32_t before = Platform::GetTickCount();
    const int answer = window().messageBox2(text, W::MB_YESNO | W::MB_ICONEXCLAMATION);
    noCardAnswer = answer == W::IDYES ? 1 : 2;
    // The wait counts from the moment the question closed.
    setLastSendTime(now + (Platform::GetTickCount() - before));
}

void VPerifCPIN::tick(uint32_t now)
{
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isFullPower() || !m.cgmm().isIdentified())
        return;

    switch (step) {
    case 1:
        if ((answerState != AnswerIdle && elapsed(QueryRepeat, now)) || !m.isBusy())
            sendLine(now, "AT+CPIN?");
        break;
    case 2: case 3: case 4: case 5: case 6:
        if (answerState == AnswerWaiting) {
            if (elapsed(PinTimeout, now)) {
                if (step == 2)
                    pinRefused = true;
                step = RefusedStep(step);
                answerState = AnswerIdle;
            }
        } else if (!m.isBusy()) {
            const std::string command = commandOfStep(step);
            if (!command.empty()) {
                sendLineF(now, command);
            } else if (step == 2) {
                // Nothing the card could take: as if there were no PIN.
                step = 7;
                badPinAsked = true;
                askRequest = true;
            } else {
                step = RefusedStep(step);
            }
        }
        break;
    case 7:
        // The bad-PIN question follows only a PIN that was really tried.
        if (pinRefused && !badPinAsked && !askRequest && !window().optionsDialogVisible())
            askBadPin();
        break;
    case 13:
        if (noCardAnswer == 0) {
            askNoCard(now);
        } else if (elapsed(NoCardRetry, now)) {
            step = 1;
            if (noCardAnswer == 1)
                noCardAnswer = 0;
        }
        break;
    default:
        break;
    }
}

void VPerifCPIN::askPIN()
{
    if (!askRequest)
        return;
    askRequest = false;
    if (!IsUsableCode(pin) || badPinAsked) {
        window().showOptionsDialog();
        return;
    }
    const std::string text =
        window().getLangText("Texts", "QueryPIN1", "Chcete nyn\xED vlo\x9Eit PIN") + " " + pin + "?";
    if (window().messageBox2(text, W::MB_YESNOCANCEL | W::MB_ICONEXCLAMATION) == W::IDYES)
        confirmPIN();
    else
        window().showOptionsDialog();
}

void VPerifCPIN::onCommandSent(uint32_t now)
{
    if (answerState != AnswerIdle) {
        // Another line while waiting: the answer is lost; start anew.
        // A PIN command left unanswered may have been taken by the card
        // (and counted): it goes out again only with a new consent.
        if (answerState == AnswerWaiting && step == 2)
            pinConfirmed = false;
        step = 1;
        answerState = AnswerIdle;
    }
    sentPin = pin;

    const std::string_view tx = owner->getTxBuffer().view();
    if (Platform::SameTextIC(tx, "AT+CPIN?\r")) {
        answerState = AnswerWaiting;
        setLastSendTime(now);
        return;
    }
    const std::string p = Tixutils::ExtractStringIC(tx, "AT+CPIN=", "\r");
    if (p.size() < 2)
        return;

    std::string first;
    std::string last;
    if (p.front() == '"' && p.back() == '"') {
        const size_t sep = p.find("\",\"", 1);
        if (sep != std::string::npos && sep + 3 <= p.size() - 1) {
            first = p.substr(1, sep - 1);
            last = p.substr(sep + 3, p.size() - 1 - (sep + 3));
        } else {
            last = p.substr(1, p.size() - 2);
        }
    } else {
        const size_t comma = p.find(',');
        if (comma != std::string::npos) {
            first = p.substr(0, comma);
            last = p.substr(comma + 1);
        } else {
            last = p;
        }
    }

    bool taken = false;
    switch (step) {
    case 1: case 13:
        taken = true;
        break;
    case 2: case 3: case 6: case 7: case 8: case 11:
        taken = first.empty();
        break;
    case 4: case 5: case 9: case 10:
        taken = !first.empty();
        break;
    default:
        break;
    }
    if (taken) {
        sentPin = last;
        answerState = AnswerWaiting;
        setLastSendTime(now);
    }
}

int VPerifCPIN::decide(const std::string& rawValue)
{
    const std::string value = Upper(TrimBlanks(rawValue));
    if (value == "READY")
        return 14;
    if (value == "SIM PIN") {
        if (!IsUsableCode(pin)) {
            badPinAsked = true;
            askRequest = true;
            return 7;
        }
        if (!pinConfirmed) {
            askRequest = true;
            return 7;
        }
        return step == 7 || pinRefused ? 7 : 2;
    }
    if (value == "SIM PIN2")
        return IsUsableCode(pin2) && step != 8 ? 3 : 8;
    if (value == "SIM PUK")
        return IsUsableCode(puk) && IsUsableCode(pin) && step != 9 ? 4 : 9;
    if (value == "SIM PUK2")
        return IsUsableCode(puk2) && IsUsableCode(pin2) && step != 10 ? 5 : 10;
    if (value == "PH-SIM PIN")
        return IsUsableCode(phSimPin) && step != 11 ? 6 : 11;
    if (value == "BLOCKED")
        return 12;
    return -1;
}

void VPerifCPIN::onResponse(uint32_t now)
{
    const std::string_view line = owner->getRxBuffer().view();
    if (Platform::SameTextIC(line, "AT+CPIN?\r\r\n")) {
        answerState = AnswerWaiting;
        return;
    }
    if (answerState == AnswerIdle)
        return;

    bool failed = false;
    const std::string value = Tixutils::ExtractStringIC(line, "+CPIN: ", "\r\n", failed);
    if (!failed) {
        const int decided = decide(value);
        if (decided >= 0)
            answerState = decided;
        return;
    }

    if (line == "OK\r\n") {
        if (answerState == AnswerWaiting) {
            if (step >= 2 && step <= 6) {
                window().setEditText(W::EditPIN, sentPin);
                pinRefused = false;
                step = 14;
            } else if (step >= 7 && step <= 13) {
                window().setEditText(W::EditPIN, sentPin);
                pinRefused = false;
                step = 1;
            }
        } else {
            step = answerState;
        }
        answerState = AnswerIdle;
        return;
    }

    if (HandlerText::IsErrorResult(line)) {
        const std::string upper = Upper(std::string(line));
        // Passing troubles of the card: the same command once nobody waits
        // (the link watcher holds everybody back for a while after "SIM BUSY").
        if (upper.find("TEMPORARY") != std::string::npos ||
            upper.find("SIM BUSY") != std::string::npos) {
            setLastSendTime(now);
            answerState = AnswerIdle;
            return;
        }
        switch (step) {
        case 1: step = 13; break;
        case 2:
            pinRefused = true;
            step = 7;
            break;
        case 3: case 4: case 5: case 6: step = RefusedStep(step); break;
        case 14: step = 1; break;
        default: break;
        }
        setLastSendTime(now);
        answerState = AnswerIdle;
    }
}
