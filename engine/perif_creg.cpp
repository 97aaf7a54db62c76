#include "engine/perif_creg.h"

#include "engine/handler_text.h"
#include "engine/perif_active.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cops.h"
#include "engine/perif_csq.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"

namespace {

bool IsBlank(char c)
{
    return uint8_t(c) >= 1 && uint8_t(c) <= 32;
}

// A decimal number filling the whole text; -1 otherwise.
int Decimal(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return -1;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// A hexadecimal number filling the whole text (at most 8 digits, within
// the range of int); -1 otherwise.
int Hex(const std::string& text)
{
    if (text.empty() || text.size() > 8)
        return -1;
    uint32_t v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return -1;
        v = v * 16 + uint32_t(d);
    }
    return v > 0x7FFFFFFFu ? -1 : int(v);
}

// The low 16 bits with their bytes swapped; the bits above stay.
int SwapLow16(int value)
{
    if (value < 0)
        return value;
    const uint32_t v = uint32_t(value);
    return int((v & 0xFFFF0000u) | ((v & 0xFFu) << 8) | ((v >> 8) & 0xFFu));
}

}  // namespace

VPerifCREG::VPerifCREG(VUniSET* owner) : VPerif(owner) {}

bool VPerifCREG::isBusy() const { return pending; }

bool VPerifCREG::isRegistered() const
{
    return wantedMode == -1 && !pending && (stat == 1 || stat == 5);
}

int VPerifCREG::getStat() const { return stat; }
int VPerifCREG::getLac() const { return lac; }
int VPerifCREG::getCell() const { return cellId; }

void VPerifCREG::start(uint32_t now) { restart(now); }
void VPerifCREG::restart(uint32_t now) { reset(now); }

void VPerifCREG::reset(uint32_t)
{
    mode = -1;
    sentMode = -1;
    stat = -1;
    lac = -1;
    cellId = -1;
    wantedMode = -2;
    pending = false;
    holdAfterError = false;
    owner->showRegistration();
}

void VPerifCREG::setValues(int newMode, int newStat, int newLac, int newCell)
{
    if (newMode == mode && newStat == stat && newLac == lac && newCell == cellId)
        return;
    mode = newMode;
    stat = newStat;
    lac = newLac;
    cellId = newCell;
    owner->showRegistration();
}

void VPerifCREG::tick(uint32_t now)
{
    if (holdAfterError) {
        if (!elapsed(2000, now))
            return;
        holdAfterError = false;
    }
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isFullPower() || !m.cops().isSettled())
        return;
    if (!((pending && elapsed(700, now)) || !m.isBusy()))
        return;

    if (wantedMode == -2)
        wantedMode = m.cgmi().getCode() == 0x2000 ? 2 : 1;
    if (wantedMode != -1 && wantedMode != mode) {
        sendLineF(now, "AT+CREG=" + std::to_string(wantedMode));
        return;
    }
    wantedMode = -1;

    if (mode == 0 || mode == -1 || stat == -1) {
        // Without reports: a settled state is read seldom, others often.
        const uint32_t wait = stat == 0 || stat == 1 || stat == 3 ? 10000 : 2000;
        if (elapsed(wait, now))
            sendLine(now, "AT+CREG?");
    }
}

// The text after "AT+CREG" of a sent line or an echo.
void VPerifCREG::parseTail(const std::string& tail)
{
    if (tail == "?") {
        pending = true;
    } else if (!tail.empty() && tail[0] == '=') {
        sentMode = Decimal(tail.substr(1));
        pending = true;
    }
}

void VPerifCREG::onCommandSent(uint32_t now)
{
    if (pending) {
        // Somebody else's line while waiting: the setting is not sure.
        mode = -1;
        pending = false;
    }
    parseTail(Tixutils::ExtractStringIC(owner->getTxBuffer().view(), "AT+CREG", "\r"));
    if (pending)
        setLastSendTime(now);
}

std::vector<VPerifCREG::TField> VPerifCREG::SplitFields(const std::string& value)
{
    std::vector<TField> fields;
    const std::string s = value.substr(0, value.find('\0'));
    size_t p = 0;
    while (p < s.size() && IsBlank(s[p]))
        ++p;
    while (p < s.size()) {
        TField field;
        if (s[p] == '"') {
            field.quoted = true;
            ++p;
            while (p < s.size()) {
                if (s[p] == '"') {
                    if (p + 1 < s.size() && s[p + 1] == '"') {
                        field.text += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field.text += s[p++];
            }
        } else {
            const size_t start = p;
            while (p < s.size() && s[p] != ',' && !IsBlank(s[p]))
                ++p;
            field.text = s.substr(start, p - start);
        }
        fields.push_back(std::move(field));
        while (p < s.size() && IsBlank(s[p]))
            ++p;
        if (p < s.size() && s[p] == ',') {
            ++p;
            while (p < s.size() && IsBlank(s[p]))
                ++p;
        }
    }
    return fields;
}

bool VPerifCREG::ParseValue(const std::string& value, bool& readAnswer, int& outMode,
                            int& outStat, int& outLac, int& outCell)
{
    outMode = outStat = outLac = outCell = -1;
    const std::vector<TField> f = SplitFields(value);
    const size_t n = f.size();
    // Told apart before the quotes are gone: the state is a small unquoted
    // number, a location is quoted.
    readAnswer = n >= 2 && !f[1].quoted && f[1].text.size() <= 2 && Decimal(f[1].text) >= 0;
    if (readAnswer) {
        if (n != 2 && n != 4 && n != 5)
            return false;
        outMode = Decimal(f[0].text);
        outStat = Decimal(f[1].text);
        if (n >= 4) {
            outLac = Hex(f[2].text);
            outCell = Hex(f[3].text);
        }
        return true;
    }
    if (n != 1 && n != 3 && n != 4)
        return false;
    outStat = Decimal(f[0].text);
    if (n >= 3) {
        outLac = Hex(f[1].text);
        outCell = Hex(f[2].text);
    }
    return true;
}

void VPerifCREG::onResponse(uint32_t now)
{
    const std::string echo = extractStringIC("AT+CREG", "\r\r\n");
    if (!echo.empty()) {
        parseTail(echo);
        return;
    }

    const std::string value = extractStringIC("+CREG: ", "\r\n");
    if (!value.empty()) {
        bool readAnswer = false;
        int newMode = -1, newStat = -1, newLac = -1, newCell = -1;
        if (ParseValue(value, readAnswer, newMode, newStat, newLac, newCell)) {
            // A report does not name the setting: it stays as known.
            if (!readAnswer)
                newMode = mode;
            if (modem().cgmi().getCode() == 0x2000) {
                // Ericsson devices send both in the other byte order.
                newLac = SwapLow16(newLac);
                newCell = SwapLow16(newCell);
            }
            setValues(newMode, newStat, newLac, newCell);
        } else {
            setValues(-1, -1, -1, -1);
        }
        if (mode != -1)
            wantedMode = -1;
        if (!pending)
            modem().csq().requestRead();
    }

    if (!pending)
        return;
    const std::string_view line = owner->getRxBuffer().view();
    if (line == "OK\r\n") {
        pending = false;
        if (sentMode != -1) {
            // The setting took effect; state and location are read at once.
            setValues(sentMode, -1, -1, -1);
            sentMode = -1;
            setLastSendTime(now - 2001);
        }
        // After a read the polls keep their pace from the send: every 2 s
        // while searching, not on every free turn.
    } else if (HandlerText::IsErrorResult(line)) {
        pending = false;
        holdAfterError = true;
        if (sentMode == 2) {
            // No reports with location: reports without it will do.
            sentMode = -1;
            mode = -1;
            wantedMode = 1;
        } else if (sentMode != -1) {
            // No reports at all: the state is polled instead (asking for
            // the same setting again would fail the same way for ever).
            sentMode = -1;
            mode = -1;
            wantedMode = -1;
        }
    }
}
