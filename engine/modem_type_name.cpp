#include "engine/modem_type_name.h"

#include "engine/main_window_link.h"

namespace Uniset {

namespace {

struct TModelName {
    uint16_t model;
    const char* name;
};

const TModelName SiemensModels[] = {
    {0x101, "Siemens M1"},  {0x102, "Siemens M20"},  {0x202, "Siemens A1"},  {0x203, "Siemens A20"},
    {0x301, "Siemens TC35"}, {0x302, "Siemens M35"}, {0xC01, "Siemens DECT"},
};

const TModelName EricssonModels[] = {
    {0x101, "Ericsson GM12"}, {0x102, "Ericsson GM22"}, {0x103, "Ericsson GM25"},
    {0x201, "Ericsson T10s"}, {0x202, "Ericsson T39m"},
};

template <size_t N>
const char* FindModel(const TModelName (&table)[N], uint16_t model)
{
    for (const TModelName& m : table)
        if (m.model == model)
            return m.name;
    return nullptr;
}

std::string Bracketed(VMainWindowLink& window, const char* key, const char* czech)
{
    return "[" + window.getLangText("Texts", key, czech) + "]";
}

const char* const Unknown = "Nezn\xE1m\xFD";

}  // namespace

std::string ModemTypeName(VMainWindowLink& window, uint16_t code, const std::string& makerText,
                          const std::string& modelText)
{
    const std::string model = modelText.empty() ? std::string() : " " + modelText;
    const uint16_t modelBits = code & 0x0FFF;
    switch (code & 0xF000) {
    case 0x0000:
        return Bracketed(window, "ModemUntested", "Nezji\x9At\xECn");
    case 0x1000:
        if (const char* name = FindModel(SiemensModels, modelBits))
            return name;
        return "Siemens " + model;
    case 0x2000:
        if (const char* name = FindModel(EricssonModels, modelBits))
            return name;
        return "Ericsson " + model;
    case 0x3000:
        return "Nokia" + model;
    case 0x4000:
        return "Alcatel" + model;
    case 0x5000:
        return "Motorola" + model;
    case 0xE000:
        return Bracketed(window, "ModemError", "Chyba");
    case 0xF000:
        return Bracketed(window, "ModemUnknown", Unknown);
    default: {
        const std::string name = makerText + model;
        return name.empty() ? window.getLangText("Texts", "ModemUnknown", Unknown) : name;
    }
    }
}

}  // namespace Uniset
