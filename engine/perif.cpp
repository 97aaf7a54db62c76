#include "engine/perif.h"

#include <algorithm>
#include <climits>

#include "engine/perif_modem.h"
#include "engine/uniset.h"
#include "foundation/input_buffer.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"

VPerif::VPerif(VUniSET* owner) : owner(owner) {}

VPerif::~VPerif() = default;

void VPerif::start(uint32_t) {}

void VPerif::sendLine(uint32_t now, const char* text)
{
    owner->sendLine(now, text, -1);
}

void VPerif::sendLineF(uint32_t now, const std::string& text)
{
    sendLine(now, text.c_str());
}

bool VPerif::sendFrame(uint32_t now, uint8_t type, const void* data, int length)
{
    return owner->sendFrame(now, type, data, length);
}

void VPerif::tick(uint32_t) {}
void VPerif::dataTick(uint32_t) {}
void VPerif::restart(uint32_t) {}
void VPerif::reset(uint32_t) {}
void VPerif::onResponse(uint32_t) {}
void VPerif::onCommandSent(uint32_t) {}
void VPerif::onSms11(uint32_t) {}
void VPerif::onSmsPromptEnd(uint32_t, uint8_t) {}
void VPerif::onFrame(uint32_t) {}
void VPerif::onFrameSent(uint32_t) {}

void VPerif::setLastSendTime(uint32_t now)
{
    lastSendTime = now;
}

std::string VPerif::extractString(std::string_view prefix, std::string_view suffix) const
{
    return Tixutils::ExtractString(owner->getRxBuffer().view(), prefix, suffix);
}

std::string VPerif::extractStringIC(std::string_view prefix, std::string_view suffix) const
{
    return Tixutils::ExtractStringIC(owner->getRxBuffer().view(), prefix, suffix);
}

VMainWindowLink& VPerif::window() const
{
    return owner->getWindow();
}

[[gnu::hot]] VPerifModem& VPerif::modem() const  // on every tick
{
    return owner->getHandlers();
}

namespace {

// Reads a signed decimal integer at text[pos] (blanks before it skipped,
// as a scanf "%d" would); never looks at or past `limit`. Returns the
// characters used, 0 when there is no integer. Huge values saturate.
size_t ReadInteger(std::string_view text, size_t pos, size_t limit, int& value)
{
    limit = std::min(limit, text.size());
    size_t p = pos;
    while (p < limit && (text[p] == ' ' || text[p] == '\t'))
        ++p;
    bool negative = false;
    if (p < limit && (text[p] == '-' || text[p] == '+')) {
        negative = text[p] == '-';
        ++p;
    }
    size_t digits = p;
    long long v = 0;
    while (p < limit && text[p] >= '0' && text[p] <= '9') {
        if (v <= INT_MAX)
            v = v * 10 + (text[p] - '0');
        ++p;
    }
    if (p == digits)
        return 0;
    if (negative)
        v = -v;
    value = int(std::clamp<long long>(v, INT_MIN, INT_MAX));
    return p - pos;
}

}  // namespace

void VPerif::chooseSupported(std::string_view text, std::span<const int> preferred,
                             std::span<int> chosen, int groupCount)
{
    const size_t len = text.size();
    const int n = std::min<long long>(groupCount, static_cast<long long>(chosen.size()));
    size_t pos = 0;
    size_t list = 0;  // start of the current group's preference list
    auto listEmpty = [&](size_t at) { return at >= preferred.size() || preferred[at] == -1; };

    for (int g = 0; g < n; ++g) {
        bool parenthesised = false;
        if (pos < len && text[pos] == '(') {
            parenthesised = true;
            ++pos;
        }
        const size_t start = pos;
        size_t end = start;
        while (end < len && text[end] != ')' && (parenthesised || text[end] != ','))
            ++end;

        chosen[g] = -1;
        bool matched = false;
        for (size_t k = list; !matched && !listEmpty(k); ++k) {
            const int p = preferred[k];
            size_t s = start;
            while (s < end) {
                int a = 0;
                size_t used = ReadInteger(text, s, end, a);
                if (used == 0)
                    break;
                s += used;
                const bool hasChar = s < len;
                const char c = hasChar ? text[s] : '\0';
                if (hasChar)
                    ++s;
                if (!hasChar || c == ' ' || c == ',' || c == ')') {
                    matched = p == a;
                } else if (c == '-') {
                    int b = 0;
                    size_t usedB = ReadInteger(text, s, end, b);
                    if (usedB != 0) {
                        s += usedB;
                        matched = a <= p && p <= b;
                        // The separator behind a range belongs to it.
                        if (s < end && (text[s] == ',' || text[s] == ' '))
                            ++s;
                    }
                }
                if (matched) {
                    chosen[g] = p;
                    break;
                }
            }
        }
        if (!matched) {
            int first = -1;
            if (ReadInteger(text, start, end, first) != 0)
                chosen[g] = first;
        }

        pos = end;
        if (pos < len && text[pos] == ')')
            ++pos;
        if (pos < len && text[pos] == ',')
            ++pos;

        // An empty list ends the preferences for good: stay on it.
        if (!listEmpty(list)) {
            while (list < preferred.size() && preferred[list] != -1)
                ++list;
            if (list < preferred.size())
                ++list;
        }
    }
}
