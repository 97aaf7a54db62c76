#include "engine/perif_identity.h"

#include "engine/handler_text.h"
#include "engine/perif_modem.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"
#include "platform/ini_file.h"

VPerifIdentity::VPerifIdentity(VUniSET* owner, const char* command, const char* answerPrefix,
                               bool dropBareResults)
    : VPerif(owner), command(command), answerPrefix(answerPrefix), dropBareResults(dropBareResults)
{
}

bool VPerifIdentity::isBusy() const { return pending; }

void VPerifIdentity::restart(uint32_t now) { reset(now); }

void VPerifIdentity::reset(uint32_t)
{
    emptyAnswerHold.succeeded();
    setValue(std::string(), 0);
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
    if (emptyAnswerHold.holding(now))
        return;
    if (!modem().isBusy())
        sendLine(now, command);
}

void VPerifIdentity::onCommandSent(uint32_t now)
{
    if (pending)
        setValue(std::string(), 0);
    const std::string_view tx = owner->getTxBuffer().view();
    if (tx.ends_with('\r') && Platform::SameTextIC(tx.substr(0, tx.size() - 1), command)) {
        pending = true;
        setLastSendTime(now);
    }
}

void VPerifIdentity::answerWithoutText(uint32_t now)
{
    if (getText().empty())
        emptyAnswerHold.failed(now);
    else
        emptyAnswerHold.succeeded();
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
    const std::string_view line = owner->getRxBuffer().view();
    if (line == "OK\r\n") {
        pending = false;
        answerWithoutText(now);
        return;
    }
    if (HandlerText::IsErrorResult(line)) {
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
        if (dropBareResults &&
            (Platform::SameTextIC(text, "OK") || Tixutils::ComparePrefixIC(text, "AT+")))
            text.clear();
    }
    if (!text.empty())
        setValue(text, 2);
}
