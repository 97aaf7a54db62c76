#include "engine/perif_cgmm.h"

#include "engine/perif_active.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/utils.h"

namespace {

bool EqualsIC(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = char(x - 32);
        if (y >= 'a' && y <= 'z')
            y = char(y - 32);
        if (x != y)
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

// Ends with `tail` and is longer than it (case-sensitive).
bool EndsWithLonger(const std::string& text, const std::string& tail)
{
    return text.size() > tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsErrorLine(std::string_view line)
{
    return line == "ERROR\r\n" || line.substr(0, 12) == "+CME ERROR: " ||
           line.substr(0, 12) == "+CMS ERROR: ";
}

}  // namespace

VPerifCGMM::VPerifCGMM(VUniSET* owner) : VPerif(owner) {}

bool VPerifCGMM::isBusy() const { return pending; }
int VPerifCGMM::getCode() const { return modelCode; }
int VPerifCGMM::getModel() const { return modelCode; }
std::string VPerifCGMM::getText() const { return modelText; }

bool VPerifCGMM::isIdentified() const
{
    return modelCode != 0x000 && modelCode != 0x00E && !pending;
}

void VPerifCGMM::restart(uint32_t now) { reset(now); }

void VPerifCGMM::reset(uint32_t)
{
    emptyAnswers = 0;
    setValue(std::string(), 0);
}

void VPerifCGMM::makerChanged()
{
    if (modelCode == 0x00F)
        setValue(modelText, 2);
}

void VPerifCGMM::setValue(const std::string& text, int kind)
{
    int code = 0x000;
    std::string value;
    if (kind == 1) {
        code = 0x00E;
    } else if (kind != 0) {
        value = VPerifCGMI::Trim(text);
        code = 0x00F;
        switch (modem().cgmi().getCode()) {
        case 0x1000:
            if (value == "M1")
                code = 0x101;
            else if (value == "M20")
                code = 0x102;
            else if (value == "A1")
                code = 0x202;
            else if (value == "A20")
                code = 0x203;
            else if (value == "TC35")
                code = 0x301;
            else if (EndsWithLonger(value, "M35")) {
                code = 0x302;
                value = "M35";
            }
            break;
        case 0x2000: {
            static const struct {
                const char* tail;
                int code;
            } ericsson[] = {{"GM12", 0x101}, {"GM22", 0x102}, {"GM25", 0x103}, {"T39m", 0x202}};
            bool found = false;
            for (const auto& e : ericsson)
                if (EndsWithLonger(value, e.tail)) {
                    code = e.code;
                    value = e.tail;
                    found = true;
                    break;
                }
            if (!found && value == "1101001") {
                code = 0x201;
                value = "T10s";
            }
            break;
        }
        case 0xE000:
            code = 0x00E;
            break;
        default:
            // Untested and unknown makers: a model the program does not know.
            break;
        }
    }
    if (code == modelCode && value == modelText)
        return;
    modelCode = code;
    modelText = value;
    owner->modelChanged();
}

void VPerifCGMM::tick(uint32_t now)
{
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isFullPower() || !m.cgmi().isIdentified())
        return;
    if (!modelText.empty() && (!pending || !elapsed(700, now)))
        return;
    if (pending) {
        if (elapsed(700, now)) {
            setValue(std::string(), 0);
            sendLine(now, "AT+CGMM");
        }
        return;
    }
    if (emptyAnswers > 0 && !Utils::IsTickElapsed(emptyAnswerTick, VPerifCGMI::RetryDelayAfter(emptyAnswers), now))
        return;
    if (!m.isBusy())
        sendLine(now, "AT+CGMM");
}

void VPerifCGMM::onCommandSent(uint32_t now)
{
    if (pending)
        setValue(std::string(), 0);
    if (EqualsIC(std::string(owner->getTxBuffer().view()), "AT+CGMM\r")) {
        pending = true;
        setLastSendTime(now);
    }
}

void VPerifCGMM::answerWithoutText(uint32_t now)
{
    if (modelText.empty()) {
        ++emptyAnswers;
        emptyAnswerTick = now;
    } else {
        emptyAnswers = 0;
    }
}

void VPerifCGMM::onResponse(uint32_t now)
{
    const std::string echo = extractStringIC("AT+CGMM", "\r\n");
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
    std::string text = extractString("+CGMM: ", "\r\n");
    if (text.empty())
        text = line.substr(0, line.size() >= 2 ? line.size() - 2 : 0);
    if (!text.empty())
        setValue(text, 2);
}
