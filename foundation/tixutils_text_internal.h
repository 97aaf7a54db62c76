#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Small helpers shared by the text scanners' sources; not for callers.
namespace Tixutils::TextInternal {

// 2^31: the largest magnitude a 32-bit value can take.
inline constexpr int64_t kIntLimit = int64_t(1) << 31;

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// The cursor as an index; a negative cursor counts as 0.
inline size_t cursor(int& Pos)
{
    if (Pos < 0)
        Pos = 0;
    return size_t(Pos);
}

}  // namespace Tixutils::TextInternal
