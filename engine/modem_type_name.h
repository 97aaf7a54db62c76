#pragma once
#include <cstdint>
#include <string>

class VMainWindowLink;

namespace Uniset {

// The display name of a modem type code (maker bits 15-12, model bits
// 11-0) with the maker's and the model's answer texts. Texts of the
// program come from the window's language.
std::string ModemTypeName(VMainWindowLink& window, uint16_t code, const std::string& makerText,
                          const std::string& modelText);

}  // namespace Uniset
