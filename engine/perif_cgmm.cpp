#include "engine/perif_cgmm.h"

#include "engine/perif_active.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"

namespace {

// Ends with `tail` and is longer than it (case-sensitive).
bool EndsWithLonger(const std::string& text, const std::string& tail)
{
    return text.size() > tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

VPerifCGMM::VPerifCGMM(VUniSET* owner) : VPerifIdentity(owner, "AT+CGMM", "+CGMM: ", false) {}

int VPerifCGMM::getCode() const { return modelCode; }
int VPerifCGMM::getModel() const { return modelCode; }
const std::string& VPerifCGMM::getText() const { return modelText; }

bool VPerifCGMM::isIdentified() const
{
    return modelCode != 0x000 && modelCode != 0x00E && !isBusy();
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
        value = Tixutils::TrimControls(text);
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
    askWhenDue(now, true);
}
