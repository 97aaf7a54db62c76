#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace Fuzz {

// Reads a fuzz input piece by piece: control bytes from the front, texts
// up to a separator, the rest. Past the end every reader gives zeros or
// empty texts, so a target never has to check the length first.
class TInput {
public:
    // Separates the texts of an input (rare in every format the targets
    // read, easy for a fuzzer to find).
    static constexpr char Separator = '\x01';

    TInput(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

    bool empty() const { return pos_ >= size_; }
    size_t remaining() const { return size_ - pos_; }

    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    bool flag() { return byte() & 1; }
    uint16_t u16()
    {
        const uint16_t hi = byte();
        return uint16_t(hi << 8 | byte());
    }
    uint32_t u32()
    {
        const uint32_t hi = u16();
        return hi << 16 | u16();
    }
    // A value in [0, n) (0 for n == 0).
    unsigned below(unsigned n) { return n ? byte() % n : 0; }
    // Any 32-bit value, small ones and the extremes more likely.
    int32_t interestingInt()
    {
        switch (byte() % 8) {
        case 0: return int32_t(u32());
        case 1: return -1 - int32_t(byte());
        case 2: return INT32_MIN + int32_t(byte());
        case 3: return INT32_MAX - int32_t(byte());
        default: return int32_t(byte()) - 16;
        }
    }
    // The bytes up to the next separator (which is consumed) or the end.
    std::string text()
    {
        std::string s;
        while (pos_ < size_) {
            const char c = char(data_[pos_++]);
            if (c == Separator)
                break;
            s += c;
        }
        return s;
    }
    std::string rest()
    {
        std::string s(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
        pos_ = size_;
        return s;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The whole input split at the separator.
inline std::vector<std::string> SplitInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (char(data[i]) == TInput::Separator)
            parts.emplace_back();
        else
            parts.back() += char(data[i]);
    }
    return parts;
}

}  // namespace Fuzz

// A property a target checks: on failure the condition and its place are
// printed and the process aborts (a crash to the fuzzer and to the replay).
#define FUZZ_REQUIRE(cond)                                                                      \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);   \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)
