#include "sms/sms_breakers.h"

namespace {

constexpr const char* kDefaults[VTixSMS_BreakerDispatcher::Count] = {
    "", "", "%N/%T:", " >%M", "%N/%T:", "",
};

bool inRange(int index)
{
    return index >= 0 && index < VTixSMS_BreakerDispatcher::Count;
}

}  // namespace

VTixSMS_BreakerDispatcher::VTixSMS_BreakerDispatcher()
{
    for (int i = 0; i < Count; ++i)
        templates_[i] = kDefaults[i];
}

std::string VTixSMS_BreakerDispatcher::GetBreaker(int index) const
{
    return inRange(index) ? templates_[index] : std::string();
}

void VTixSMS_BreakerDispatcher::SetBreaker(int index, const std::string& text)
{
    if (inRange(index))
        templates_[index] = text;
}

std::string VTixSMS_BreakerDispatcher::GetDefaultBreaker(int index)
{
    return inRange(index) ? kDefaults[index] : std::string();
}

bool VTixSMS_BreakerDispatcher::NIsBreakerDefault(int index) const
{
    return inRange(index) && templates_[index] != kDefaults[index];
}

void VTixSMS_BreakerDispatcher::Assign(const VTixSMS_BreakerDispatcher& other)
{
    for (int i = 0; i < Count; ++i)
        templates_[i] = other.templates_[i];
}
