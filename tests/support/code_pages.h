#pragma once
#include <string>

#include "platform/codepage.h"

// Czech texts of the tests are written in UTF-8 and compared as the
// program holds them: cp1250 bytes.
namespace TestSupport {

inline std::string Cz(const std::string& utf8)
{
    return Platform::Utf8ToAnsi(utf8, Platform::CP_CZECH);
}

}  // namespace TestSupport
