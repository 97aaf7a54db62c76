#include "engine/modem_type_name.h"

#include "engine/main_window_link.h"

namespace Uniset {

// Until the identity handlers bring the full name table: untested devices
// by the language text, every other one by its answer texts.
std::string ModemTypeName(VMainWindowLink& window, uint16_t code, const std::string& makerText,
                          const std::string& modelText)
{
    if ((code & 0xF000) == 0)
        return "[" + window.getLangText("Texts", "ModemUntested", "Nezji\x9A" "t\xECn") + "]";
    std::string name = makerText;
    if (!modelText.empty())
        name += (name.empty() ? "" : " ") + modelText;
    if (name.empty())
        name = "[" + window.getLangText("Texts", "ModemUnknown", "Nezn\xE1m\xFD") + "]";
    return name;
}

}  // namespace Uniset
