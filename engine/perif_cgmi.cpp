#include "engine/perif_cgmi.h"

#include "engine/perif_active.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/tixutils_text.h"
#include "platform/ini_file.h"

VPerifCGMI::VPerifCGMI(VUniSET* owner) : VPerifIdentity(owner, "AT+CGMI", "+CGMI: ", true) {}

int VPerifCGMI::getCode() const { return makerCode; }
const std::string& VPerifCGMI::getText() const { return makerText; }

bool VPerifCGMI::isIdentified() const
{
    return makerCode != 0x0000 && makerCode != 0xE000 && !isBusy();
}

void VPerifCGMI::setValue(const std::string& text, int kind)
{
    int code = 0x0000;
    std::string value;
    if (kind == 1) {
        code = 0xE000;
    } else if (kind != 0) {
        value = Tixutils::TrimControls(text);
        if (Platform::SameTextIC(value, "ERICSSON"))
            code = 0x2000;
        else if (Platform::SameTextIC(value, "SIEMENS"))
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
    askWhenDue(now, false);
}
