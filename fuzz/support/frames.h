#pragma once
#include <cstdint>
#include <string>

namespace Fuzz {

// A data-call frame with a right check byte around the type and payload
// (a payload beyond the 12-bit length field is cut).
inline std::string Frame(uint8_t type, const std::string& payload)
{
    std::string frame;
    const size_t length = payload.size() & 0x0FFF;
    frame += char(0x80 | (length >> 8));
    frame += char(length & 0xFF);
    frame += char(0xB0);
    frame += char(0xA0);
    frame += char(type);
    frame += payload.substr(0, length);
    unsigned sum = 1;
    for (const char c : frame)
        sum += uint8_t(c);
    return frame + char(sum & 0xFF);
}

}  // namespace Fuzz
