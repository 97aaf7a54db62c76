#include "engine/perif_csq.h"

#include <climits>

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/perif_active.h"
#include "engine/perif_cpin.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "platform/ini_file.h"

namespace {

// A signed decimal integer at text[p] after blanks, as scanf's "%d" reads
// it; huge values saturate. False when no digit is there.
bool ReadInt(const std::string& text, size_t& p, int& value)
{
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\r' ||
                               text[p] == '\n' || text[p] == '\v' || text[p] == '\f'))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || text[p] < '0' || text[p] > '9')
        return false;
    long long v = 0;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        if (v < LLONG_MAX / 100)
            v = v * 10 + (text[p] - '0');
        ++p;
    }
    if (negative)
        v = -v;
    value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v);
    return true;
}

// "%d ,%d": two integers, blanks allowed before the comma.
bool ParseValues(const std::string& text, int& rssi, int& ber)
{
    size_t p = 0;
    int a = 0, b = 0;
    if (!ReadInt(text, p, a))
        return false;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
        ++p;
    if (p >= text.size() || text[p] != ',')
        return false;
    ++p;
    if (!ReadInt(text, p, b))
        return false;
    rssi = a;
    ber = b;
    return true;
}

}  // namespace

VPerifCSQ::VPerifCSQ(VUniSET* owner) : VPerif(owner), hold(TRetryHold::DefaultBase) {}

VPerifCSQ::~VPerifCSQ() = default;

void VPerifCSQ::start(uint32_t now)
{
    restart(now);
}

void VPerifCSQ::restart(uint32_t now)
{
    reset(now);
}

void VPerifCSQ::reset(uint32_t)
{
    rssi = -1;
    ber = -1;
    pending = false;
    readRequested = false;
    hold.succeeded();
    owner->showSignal();
}

bool VPerifCSQ::isBusy() const
{
    return pending;
}

bool VPerifCSQ::isKnown() const
{
    return rssi != -1 && ber != -1 && !isBusy();
}

void VPerifCSQ::getValues(int& outRssi, int& outBer) const
{
    outRssi = rssi;
    outBer = ber;
}

void VPerifCSQ::requestRead()
{
    readRequested = true;
}

uint32_t VPerifCSQ::IntervalOf(const std::string& text)
{
    // Clamped in seconds, before the product could leave 32 bits.
    int seconds = HandlerText::StrToIntDef(text, DefaultIntervalS);
    if (seconds < 1)
        seconds = DefaultIntervalS;
    if (seconds > MaxIntervalS)
        seconds = MaxIntervalS;
    return uint32_t(seconds) * 1000u;
}

void VPerifCSQ::tick(uint32_t now)
{
    VPerifModem& m = modem();
    if (!m.active().isAnswering())
        return;
    if (!m.power().isFullPower())
        return;
    if (!m.cpin().isReady())
        return;
    const bool busy = m.isBusy();

    if (pending && m.active().isAnswering() && elapsed(RepeatMs, now)) {
        sendLine(now, "AT+CSQ");
        return;
    }
    if (busy)
        return;
    if (hold.holding(now))
        return;
    // The interval is at least a second: the cheap tests come first, the
    // edit text is read only when a query could be due.
    if (elapsed(1000, now) && window().isChecked(VMainWindowLink::CheckTestSignal) &&
        elapsed(IntervalOf(window().editText(VMainWindowLink::EditOftenCSQ)), now)) {
        sendLine(now, "AT+CSQ");
        return;
    }
    if (rssi == -1 || ber == -1 || readRequested)
        sendLine(now, "AT+CSQ");
}

void VPerifCSQ::onCommandSent(uint32_t now)
{
    // A query still unanswered when the next line goes out: its values
    // are no longer current.
    if (pending) {
        rssi = -1;
        ber = -1;
    }
    const std::string_view line = owner->getTxBuffer().view();
    if (Platform::SameTextIC(line, "AT+CSQ\r")) {
        pending = true;
        readRequested = false;
        setLastSendTime(now);
    }
}

void VPerifCSQ::onResponse(uint32_t now)
{
    const std::string_view line = owner->getRxBuffer().view();
    if (Platform::SameTextIC(line, "AT+CSQ\r\r\n")) {
        pending = true;
        return;
    }
    const std::string text = extractString("+CSQ: ", "\r\n");
    if (!text.empty()) {
        int newRssi = -1;
        int newBer = -1;
        if (!ParseValues(text, newRssi, newBer)) {
            newRssi = -1;
            newBer = -1;
        }
        if (newRssi != rssi || newBer != ber) {
            rssi = newRssi;
            ber = newBer;
            owner->showSignal();
        }
    }
    if (pending && (HandlerText::EndsWithOk(line) || HandlerText::IsErrorLine(line))) {
        pending = false;
        // An error, or no usable values: wait before asking again, so
        // that the handlers after this one get their turns.
        if (rssi == -1 || ber == -1)
            hold.failed(now);
        else
            hold.succeeded();
    }
}
