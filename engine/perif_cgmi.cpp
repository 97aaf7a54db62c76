#include "engine/perif_cgmi.h"

#include <algorithm>

#include "engine/perif_active.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"

namespace {

bool EqualsIC(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = char(x - 32);
        if (y >= 'a' && y <= 'z')
            y = char(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

bool IsErrorLine(std::string_view line)
{
    return line == "ERROR\r\n" || line.substr(0, 12) == "+CME ERROR: " ||
           line.substr(0, 12) == "+CMS ERROR: ";
}

}  // namespace

VPerifCGMI::VPerifCGMI(VUniSET* owner) : VPerif(owner) {}

bool VPerifCGMI::isBusy() const { return pending; }
int VPerifCGMI::getCode() const { return makerCode; }
std::string VPerifCGMI::getText() const { return makerText; }

bool VPerifCGMI::isIdentified() const
{
    return makerCode != 0x0000 && makerCode != 0xE000 && !pending;
}

void VPerifCGMI::restart(uint32_t now) { reset(now); }

void VPerifCGMI::reset(uint32_t)
{
    emptyAnswers = 0;
    setValue(std::string(), 0);
}

uint32_t VPerifCGMI::RetryDelayAfter(int emptyAnswers)
{
    if (emptyAnswers < 1)
        return 0;
    uint32_t delay = FirstRetryDelay;
    for (int i = 1; i < emptyAnswers && delay < MaxRetryDelay; ++i)
        delay *= 2;
    return std::min(delay, MaxRetryDelay);
}

std::string VPerifCGMI::Trim(const std::string& text)
{
    size_t b = 0, e = text.size();
    while (b < e && uint8_t(text[b]) <= 32)
        ++b;
    while (e > b && uint8_t(text[e - 1]) <= 32)
        --e;
    return text.substr(b, e - b);
}

void VPerifCGMI::setValue(const std::string& text, int kind)
{
    int code = 0x0000;
    std::string value;
    if (kind == 1) {
        code = 0xE000;
    } else if (kind != 0) {
        value = Trim(text);
        if (EqualsIC(value, "ERICSSON"))
            code = 0x2000;
        else if (EqualsIC(value, "SIEMENS"))
            code = 0x1000;
        else
            code = 0xF000;
    }
    if (code == makerCode && value == makerText)
        return;
    makerCode = code;
    makerText = value;
    modem().cgmm().makerChanged();
    owner->makerChanged();
}

void VPerifCGMI::tick(uint32_t now)
{
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isFullPower())
        return;
    if (!makerText.empty() && (!pending || !elapsed(700, now)))
        return;
    if (pending) {
        if (elapsed(700, now))
            sendLine(now, "AT+CGMI");
        return;
    }
    if (emptyAnswers > 0 && !Utils::IsTickElapsed(emptyAnswerTick, RetryDelayAfter(emptyAnswers), now))
        return;
    if (!m.isBusy())
        sendLine(now, "AT+CGMI");
}

void VPerifCGMI::onCommandSent(uint32_t now)
{
    if (pending)
        setValue(std::string(), 0);
    if (EqualsIC(std::string(owner->getTxBuffer().view()), "AT+CGMI\r")) {
        pending = true;
        setLastSendTime(now);
    }
}

void VPerifCGMI::answerWithoutText(uint32_t now)
{
    if (makerText.empty()) {
        ++emptyAnswers;
        emptyAnswerTick = now;
    } else {
        emptyAnswers = 0;
    }
}

void VPerifCGMI::onResponse(uint32_t now)
{
    const std::string echo = extractStringIC("AT+CGMI", "\r\n");
    if (!echo.empty()) {
        pending = echo == "\r";
        return;
    }
    if (!pending)
        return;
    const std::string line(owner->getRxBuffer().view());
    if (line == "OK\r\n") {
        pending = false;
        answerWithoutText(now);
        return;
    }
    if (IsErrorLine(line)) {
        setValue(std::string(), 1);
        pending = false;
        answerWithoutText(now);
        return;
    }
    if (line == "\r\n")
        return;
    std::string text = extractString("+CGMI: ", "\r\n");
    if (text.empty()) {
        text = line.substr(0, line.size() >= 2 ? line.size() - 2 : 0);
        // A bare result or another command's echo names no maker.
        if (EqualsIC(text, "OK") || Tixutils::ComparePrefixIC(text, "AT+"))
            text.clear();
    }
    if (!text.empty())
        setValue(text, 2);
}
