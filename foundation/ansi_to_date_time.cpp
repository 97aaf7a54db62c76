#include "foundation/ansi_to_date_time.h"

namespace Tixsmslist {

bool AnsiToDateTime(const std::string& Text, Tixutils::TDateTime& Result,
                    const std::string& DateSeps, const std::string& TimeSeps,
                    const std::string& DateTimeSeps, Tixutils::VDateOrder Order)
{
    std::string copy = Text;
    bool failed = true;
    const Tixutils::TDateTime value =
        Tixutils::CutDateTime(copy, failed, DateSeps, TimeSeps, DateTimeSeps, Order);
    if (failed)
        return false;
    Result = value;
    return true;
}

}  // namespace Tixsmslist
