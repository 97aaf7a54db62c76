#include "engine/perif_identity.h"

#include <algorithm>

#include "engine/perif_modem.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"

namespace {

bool IsErrorLine(std::string_view line)
{
    return line == "ERROR\r\n" || line.substr(0, 12) == "+CME ERROR: " ||
           line.substr(0, 12) == "+CMS ERROR: ";
}

}  // namespace

VPerifIdentity::VPerifIdentity(VUniSET* owner, const char* command, const char* answerPrefix,
                               bool dropBareResults)
    : VPerif(owner), command(command), answerPrefix(answerPrefix), dropBareResults(dropBareResults)
{
}

bool VPerifIdentity::isBusy() const { return pending; }

void VPerifIdentity::restart(uint32_t now) { reset(now); }

void VPerifIdentity::reset(uint32_t)
{
    emptyAnswers = 0;
    setValue(std::string(), 0);
}

uint32_t VPerifIdentity::RetryDelayAfter(int emptyAnswers)
{
    if (emptyAnswers < 1)
        return 0;
    uint32_t delay = FirstRetryDelay;
    for (int i = 1; i < emptyAnswers && delay < MaxRetryDelay; ++i)
        delay *= 2;
    return std::min(delay, MaxRetryDelay);
}

std::string VPerifIdentity::Trim(const std::string& text)
{
    size_t b = 0, e = text.size();
    while (b < e && uint8_t(text[b]) <= 32)
        ++b;
    while (e > b && uint8_t(text[e - 1]) <= 32)
        --e;
    return text.substr(b, e - b);
}

bool VPerifIdentity::EqualsIC(const std::string& a, const std::string& b)
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

void VPerifIdentity::askWhenDue(uint32_t now, bool forgetOnRepeat)
{
    if (!getText().empty() && (!pending || !elapsed(700, now)))
        return;
    if (pending) {
        if (elapsed(700, now)) {
            if (forgetOnRepeat)
                setValue(std::string(), 0);
            sendLine(now, command);
        }
        return;
    }
    if (emptyAnswers > 0 && !Utils::IsTickElapsed(emptyAnswerTick, RetryDelayAfter(emptyAnswers), now))
        return;
    if (!modem().isBusy())
        sendLine(now, command);
}

void VPerifIdentity::onCommandSent(uint32_t now)
{
    if (pending)
        setValue(std::string(), 0);
    if (EqualsIC(std::string(owner->getTxBuffer().view()), std::string(command) + "\r")) {
        pending = true;
        setLastSendTime(now);
    }
}

void VPerifIdentity::answerWithoutText(uint32_t now)
{
    if (getText().empty()) {
        ++emptyAnswers;
        emptyAnswerTick = now;
    } else {
        emptyAnswers = 0;
    }
}

void VPerifIdentity::onResponse(uint32_t now)
{
    const std::string echo = extractStringIC(command, "\r\n");
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
    std::string text = extractString(answerPrefix, "\r\n");
    if (text.empty()) {
        text = line.substr(0, line.size() >= 2 ? line.size() - 2 : 0);
        if (dropBareResults && (EqualsIC(text, "OK") || Tixutils::ComparePrefixIC(text, "AT+")))
            text.clear();
    }
    if (!text.empty())
        setValue(text, 2);
}
