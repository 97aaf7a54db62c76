// Phone numbers, semi-octet address fields and the GSM alphabets as a
// device's phonebook and SMS answers bring them.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/tixutils_gsm.h"
#include "fuzz/support/fuzz_input.h"

using namespace Tixutils;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const uint8_t mask = in.byte();
    const int type = in.interestingInt();
    const std::string field = in.text();
    const std::string text = in.text();

    {
        std::string number;
        uint8_t t = 0;
        if (GsmPDU2NumberType(field, number, t, mask)) {
            // A field read whole, written again, reads back the same. The
            // "+" of type 145 comes from the type, not from the digits.
            const std::string digits = t == GsmTypeInternational ? number.substr(1) : number;
            std::string back;
            uint8_t backType = 0;
            FUZZ_REQUIRE(GsmPDU2NumberType(GsmNumberType2PDU(digits, t, mask), back, backType, mask));
            FUZZ_REQUIRE(back == number && backType == t);
        }
        FUZZ_REQUIRE(number.size() <= 2 * field.size() + 1);
    }
    {
        std::string number;
        int t = -1;
        if (GsmPhone2NumberType(text, number, t)) {
            FUZZ_REQUIRE(t >= 0 && t <= 255);
            GsmNumberType2Phone(number, t);
        }
        GsmNumberType2Phone(text, type);
        GsmNumberType2PDU(text, uint8_t(type), mask);
    }
    for (char c : text) {
        TelAscToNib(c, 0xF);
        TranslateAscii2GSM(c);
        TranslateAscii2GSM_U(c);
    }
    for (size_t i = 0; i + 1 < field.size(); i += 2) {
        const int code = uint8_t(field[i]) << 8 | uint8_t(field[i + 1]);
        TranslateGSM2Ascii(code);
        TranslateGSM2Ascii(int16_t(code));
        TranslateGSM2Ascii_U(code);
        TranslateGSM2Ascii_U(int16_t(code));
        NibToTelAsc(uint8_t(field[i]));
    }
    TranslateGSM2Ascii(type);
    TranslateGSM2Ascii_U(type);
    return 0;
}
