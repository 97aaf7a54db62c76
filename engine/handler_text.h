#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/tixutils_datetime.h"

// Small text helpers of the operator, signal, clock, alarm and battery
// handlers: reading numbers out of answer fields, recognising final result
// codes, and making texts safe to put between the quotes of a command.
namespace HandlerText {

// A whole decimal number: blanks before it and a sign allowed, nothing
// after it. Default for anything else, and for a number beyond 32 bits.
int StrToIntDef(std::string_view text, int Default);

// The text without double quotes and control characters (CR, LF, Ctrl-Z,
// ESC, DEL and the rest), so that it can stand between the quotes of an
// AT command without ending the command or the quoted parameter early.
std::string QuotableText(std::string_view text);

// The text begins with the prefix, ASCII letters of either case alike.
bool StartsIC(std::string_view text, std::string_view prefix);

// The line ends with "OK\r\n".
bool EndsWithOk(std::string_view line);
// The line ends with "ERROR\r\n" or starts with "+CME ERROR: " or
// "+CMS ERROR: ".
bool IsErrorLine(std::string_view line);
// The line is an error result itself: exactly "ERROR\r\n", or starts with
// "+CME ERROR: " or "+CMS ERROR: ".
bool IsErrorResult(std::string_view line);
// The error says the command cannot be done at all, not that the device
// is busy: a bare "ERROR", or "+CME ERROR: " with "operation not allowed"
// or "operation not supported" (3 or 4 as numbers); with or without the
// line end.
bool SaysNotAllowed(std::string_view line);

// A count of seconds, rounded to the millisecond, with its fraction then
// dropped toward zero; clamped to the 32-bit range (0 for a value that is
// not a number).
int32_t WholeSeconds(double seconds);

// Milliseconds left of the second a date-time is in (0 to 1000): a display
// of whole seconds changes then, and needs nothing done before.
uint32_t MsToNextSecond(Tixutils::TDateTime value);

// The date and time as the device writes them, "yy/MM/dd,hh:mm:ss" (year
// modulo 100), after rounding to the millisecond and dropping the
// milliseconds.
std::string GsmDateTimeText(Tixutils::TDateTime value);

}  // namespace HandlerText
