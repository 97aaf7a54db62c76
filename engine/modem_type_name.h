#pragma once
#include <cstdint>
#include <string>

class VMainWindowLink;

namespace Uniset {

// The display name of a modem type code: maker bits 15-12 (0 untested,
// 1 Siemens, 2 Ericsson, 3 Nokia, 4 Alcatel, 5 Motorola, E error, F
// unknown), model bits 11-0 (a model of the maker's table, else the model
// text is shown). The maker and model texts are the device's answers; a
// peer station's code comes with two empty texts. The program's own words
// ("Nezjištěn", "Chyba", "Neznámý") come from the window's language.
std::string ModemTypeName(VMainWindowLink& window, uint16_t code, const std::string& makerText,
                          const std::string& modelText);

}  // namespace Uniset
