#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <typeinfo>
#include <type_traits>
#include <vector>

// Positional formatting of message texts ("%1 of %2") from values of mixed
// types, the value-to-text conversions behind it, and a few number texts.
namespace Tixutils {

// Type tags of a formatting value, in the order of their codes.
enum TVarType : int {
    vtInteger = 0,
    vtBoolean = 1,
    vtChar = 2,
    vtExtended = 3,
    vtString = 4,      // short string
    vtPointer = 5,
    vtPChar = 6,
    vtObject = 7,
    vtClass = 8,
    vtWideChar = 9,
    vtPWideChar = 10,
    vtAnsiString = 11,
    vtCurrency = 12,   // fixed point, 4 decimals
    vtVariant = 13,    // held as its text
    vtInterface = 14,
    vtWideString = 15,
    vtInt64 = 16,
};

// One value for SafePrintf: a tag and the value. Built implicitly from
// integers, bool, char, floating point, C and byte strings, wide strings
// and pointers; the named makers cover the other tags.
struct TVarRec {
    int VType = vtInteger;
    int64_t Int = 0;             // integer, int64, boolean, characters, currency
    double Float = 0;            // extended
    const void* Ptr = nullptr;   // pointer, object, interface
    std::string Text;            // strings, class name, variant text
    std::u16string Wide;         // wide strings

    TVarRec() = default;
    TVarRec(bool v) : VType(vtBoolean), Int(v) {}
    TVarRec(char v) : VType(vtChar), Int(static_cast<unsigned char>(v)) {}
    TVarRec(char16_t v) : VType(vtWideChar), Int(v) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                            !std::is_same_v<T, char> && !std::is_same_v<T, char16_t>,
                                        int> = 0>
    TVarRec(T v)
        : VType((sizeof(T) < sizeof(int) || (sizeof(T) == sizeof(int) && std::is_signed_v<T>)) ? vtInteger
                                                                                                : vtInt64),
          Int(static_cast<int64_t>(v))
    {
    }
    TVarRec(float v) : VType(vtExtended), Float(v) {}
    TVarRec(double v) : VType(vtExtended), Float(v) {}
    TVarRec(long double v) : VType(vtExtended), Float(double(v)) {}
    TVarRec(const char* v) : VType(vtPChar), Text(v ? v : "") {}
    TVarRec(const std::string& v) : VType(vtAnsiString), Text(v) {}
    TVarRec(const char16_t* v) : VType(vtPWideChar), Wide(v ? v : u"") {}
    TVarRec(const std::u16string& v) : VType(vtWideString), Wide(v) {}
    TVarRec(const void* v) : VType(vtPointer), Ptr(v) {}
    TVarRec(std::nullptr_t) : VType(vtPointer) {}

    static TVarRec ShortString(const std::string& v);
    // "(" + class name + ")"; polymorphic objects give their dynamic class.
    template <class T>
    static TVarRec Object(const T* object)
    {
        TVarRec r;
        r.VType = vtObject;
        r.Ptr = object;
        if (object) {
            if constexpr (std::is_polymorphic_v<T>)
                r.Text = ClassNameOf(typeid(*object));
            else
                r.Text = ClassNameOf(typeid(T));
        }
        return r;
    }
    static TVarRec Class(const std::string& className);
    static TVarRec Currency(int64_t tenThousandths);
    static TVarRec Variant(const std::string& text);
    static TVarRec Interface(const void* pointer);
    // Any tag, for values whose type this program does not know.
    static TVarRec Tagged(int tag);

    // The unqualified class name of a type ("VTixList").
    static std::string ClassNameOf(const std::type_info& type);
};

// Fills the placeholders of format: "%n" takes value n (1-based); "%w:n"
// pads value n to width w (one pad character: right-aligned, two:
// left-aligned, three: centred; "0" or "-" as the first pad character pads
// with that character); "%(n)" may enclose a placeholder; "%%" is "%".
// A placeholder naming no value vanishes. Never throws, never reads outside
// the format.
std::string SafePrintf(const std::string& format, const TVarRec* values, int lastIndex);
std::string SafePrintf(const std::string& format, const std::vector<TVarRec>& values);
std::string SafePrintf(const std::string& format, std::initializer_list<TVarRec> values);

// The value's text; width sets the field width of a floating-point value.
std::string TVarRecAsString(const TVarRec& value, int width);

// "1" or "0".
std::string BoolToChar(bool value);
// "0"/"1" exactly, then "false"/"true" ignoring case; else def.
bool CharToBoolDef(const std::string& text, bool def);
// ":" and the address in upper-case hex (at least eight digits).
std::string ObjToStr(const void* object);
// Every "%d" / "%s" of the format replaced, left to right.
std::string SafePrintf_d(const std::string& format, int value);
std::string SafePrintf_s(const std::string& format, const std::string& text);

// ---- Number texts ------------------------------------------------------

// The lowest digits bits, most significant first.
std::string IntToBin(uint32_t value, int digits);
// "0"/"1" characters, most significant first; def for any other character.
int BinToIntDef(const std::string& text, int def);
// A decimal number with "." or "," as its decimal separator; def when the
// text is no number.
double StrToFloatDef(const std::string& text, double def);
// A fixed-point text as an integer scaled by 10^decimals ("1,26" with 1
// decimal is 13; the first surplus digit rounds, a 5 to the even value:
// "12,345" gives 1234, "12,355" 1236). "$" or
// "0x" read hexadecimal unless decimalOnly. error is set for any character
// that is no part of the number, for an overflow (2147483647) and for a
// text without digits (def).
int Text001ToInt(const std::string& text, int decimals, bool& error, bool decimalOnly, int def);
// The reverse, with the decimal separator of the C locale in force.
std::string IntToText001(int value, int decimals);
// A duration text such as "1d 2h 30m" in seconds (see Utils::ParseDuration);
// defaultUnits (1 week, 4 day, 5 hour, 6 minute, 7 second: positions in
// the unit letters) is the unit of a trailing number without a letter.
// Other defaultUnits throw std::invalid_argument.
int TextHMStoInt(const std::string& text, bool& error, const std::string& letters, int defaultUnits);
int TextHMStoInt(const std::string& text, bool& error, const std::string& letters);
// Seconds as a duration text (see Utils::FormatDuration).
std::string IntToTextHMS(int seconds, const std::string& letters);

}  // namespace Tixutils
