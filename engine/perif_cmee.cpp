#include "engine/perif_cmee.h"

#include "engine/handler_text.h"
#include "engine/perif_active.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"

namespace {

// The whole text as a decimal integer (blanks around it allowed); -1 when
// it is not one.
int NumberOrMinusOne(const std::string& text)
{
    size_t p = 0;
    while (p < text.size() && text[p] == ' ')
        ++p;
    const size_t digits = p;
    long long v = 0;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        if (v < 1000000000)
            v = v * 10 + (text[p] - '0');
        ++p;
    }
    if (p == digits)
        return -1;
    while (p < text.size() && text[p] == ' ')
        ++p;
    return p == text.size() ? int(v) : -1;
}

}  // namespace

VPerifCMEE::VPerifCMEE(VUniSET* owner) : VPerif(owner) {}

bool VPerifCMEE::isBusy() const { return cmeeAwaited != -1; }
bool VPerifCMEE::isKnown() const { return cmeeMode >= 0; }

void VPerifCMEE::restart(uint32_t now) { reset(now); }

void VPerifCMEE::reset(uint32_t)
{
    cmeeMode = -1;
    cmeeAwaited = -1;
    retryWait = false;
}

void VPerifCMEE::tick(uint32_t now)
{
    if (cmeeMode == -5)
        return;
    if (retryWait) {
        if (!elapsed(700, now))
            return;
        retryWait = false;
    }
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isFullPower())
        return;
    const bool busy = m.isBusy();
    const bool lostAnswer = cmeeAwaited != -1 && elapsed(700, now);
    if ((lostAnswer || !busy) && cmeeMode < 0)
        sendLineF(now, "AT+CMEE=" + std::to_string(cmeeAwaited >= 0 ? cmeeAwaited : 2));
}

void VPerifCMEE::parseTail(const std::string& tail)
{
    if (tail.size() >= 2 && tail[0] == '=')
        cmeeAwaited = NumberOrMinusOne(tail.substr(1));
    else if (tail == "?")
        cmeeAwaited = 3;
    if (cmeeAwaited == -1)
        cmeeMode = -1;
}

void VPerifCMEE::onCommandSent(uint32_t now)
{
    cmeeAwaited = -1;
    const std::string tail = Tixutils::ExtractStringIC(owner->getTxBuffer().view(), "AT+CMEE", "\r");
    if (tail.empty())
        return;
    parseTail(tail);
    setLastSendTime(now);
}

void VPerifCMEE::onResponse(uint32_t now)
{
    const std::string value = extractStringIC("+CMEE: ", "\r\n");
    if (!value.empty()) {
        cmeeAwaited = NumberOrMinusOne(value);
        if (cmeeAwaited == -1)
            cmeeMode = -1;
        return;
    }
    const std::string echo = extractStringIC("AT+CMEE", "\r\r\n");
    if (!echo.empty()) {
        parseTail(echo);
        return;
    }
    if (cmeeAwaited == -1)
        return;
    const std::string_view line = owner->getRxBuffer().view();
    if (line == "OK\r\n") {
        cmeeMode = cmeeAwaited;
        cmeeAwaited = -1;
    } else if (HandlerText::IsErrorResult(line)) {
        if (cmeeMode <= -1 && cmeeMode >= -4)
            --cmeeMode;
        cmeeAwaited = -1;
        retryWait = true;
        setLastSendTime(now);
    }
}
