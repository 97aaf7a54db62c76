#pragma once
#include <string>

#include "foundation/tixutils_datetime.h"
#include "foundation/tixutils_text.h"

// The date-text conversion of the SMS model's unit, which the clock and
// alarm handlers share with the SMS model.
namespace Tixsmslist {

// Parses a copy of Text with Tixutils::CutDateTime and the given
// separators and date order. On success the date-time goes to Result and
// the result is true; otherwise Result is left as it was. Text itself is
// never changed; what follows the date and time in it is not looked at.
bool AnsiToDateTime(const std::string& Text, Tixutils::TDateTime& Result,
                    const std::string& DateSeps, const std::string& TimeSeps,
                    const std::string& DateTimeSeps, Tixutils::VDateOrder Order);

}  // namespace Tixsmslist
