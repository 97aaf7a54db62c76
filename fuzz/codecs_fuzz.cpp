// UTF-8, Base64, Base32 and XML character text as files and remote
// stations bring them, and the check sums over any bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/tixutils_codec.h"
#include "fuzz/support/fuzz_input.h"

using namespace Tixutils;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const uint8_t control = in.byte();
    const std::string s = in.rest();

    // UTF-8 in: never rejected, never longer than the bytes.
    const std::u16string wide = DecodeUTF8(s);
    FUZZ_REQUIRE(wide.size() <= s.size());
    // What the encoder writes decodes back unchanged (lone surrogates too);
    // an encoded NUL is the one thing dropped.
    {
        std::u16string w = wide;
        std::u16string noNul;
        for (char16_t c : w)
            if (c != 0)
                noNul += c;
        FUZZ_REQUIRE(DecodeUTF8(EncodeUTF8(noNul)) == noNul);
    }

    // Base64 and Base32: decoding any text is safe and what is encoded
    // comes back.
    DecodeBase64(s);
    FUZZ_REQUIRE(DecodeBase64(EncodeBase64(s, control & 1)) == s);
    DecodeBase32(s, control & 2);
    FUZZ_REQUIRE(DecodeBase32(EncodeBase32(s, false), false) == s);

    // XML character text.
    DecodeXML8S(s);
    DecodeXML8(s);
    FUZZ_REQUIRE(DecodeXML8S(EncodeXML8S(s)) == s);
    // Lone surrogates have no place in XML text and need not come back.
    bool plain = true;
    for (char16_t c : wide)
        plain = plain && c != 0 && (c < 0xD800 || c > 0xDFFF);
    if (plain)
        FUZZ_REQUIRE(DecodeXML8(EncodeXML8(wide)) == wide);

    uint8_t crc8 = control;
    UpdateCRC8(crc8, s.data(), int(s.size()));
    CountCRC8(s);
    uint16_t crc16 = control;
    UpdateCRC16(crc16, s.data(), int(s.size()));
    return 0;
}
