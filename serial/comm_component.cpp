#include "serial/comm_component.h"

VTixCommunicationComponent::VTixCommunicationComponent() = default;
VTixCommunicationComponent::~VTixCommunicationComponent() = default;

TEventReceiveData VTixCommunicationComponent::GetReceiveDataEvent() const
{
    return OnReceiveData;
}

void VTixCommunicationComponent::SetReceiveDataEvent(TEventReceiveData Handler)
{
    OnReceiveData = std::move(Handler);
}

TEventChangeState VTixCommunicationComponent::GetOnStateChange() const
{
    return OnStateChange;
}

void VTixCommunicationComponent::SetOnStateChange(TEventChangeState Handler)
{
    OnStateChange = std::move(Handler);
}

TAdvancedEventReceiveData VTixCommunicationComponent::GetAdvancedReceiveDataEvent() const
{
    return OnAdvancedReceiveData;
}

void VTixCommunicationComponent::SetAdvancedReceiveDataEvent(TAdvancedEventReceiveData Handler)
{
    OnAdvancedReceiveData = std::move(Handler);
}

TAdvancedEventChangeState VTixCommunicationComponent::GetOnAdvancedStateChange() const
{
    return OnAdvancedStateChange;
}

void VTixCommunicationComponent::SetOnAdvancedStateChange(TAdvancedEventChangeState Handler)
{
    OnAdvancedStateChange = std::move(Handler);
}

bool VTixCommunicationComponent::WriteAdvancedCommData(void* Channel, const char* Buffer, int32_t Length)
{
    const bool mainChannel = TreatMainChannelAsNil ? Channel == nullptr : Channel == this;
    if (!mainChannel)
        return false;
    return WriteCommData(Buffer, Length);
}

bool VTixCommunicationComponent::ConfigDialog(bool)
{
    return true;
}

bool VTixCommunicationComponent::WriteCommData(const std::string& Text)
{
    return WriteCommData(Text.data(), static_cast<int32_t>(Text.size()));
}

void VTixCommunicationComponent::DoReceiveData(const char* Buffer, uint16_t Length)
{
    if (OnReceiveData)
        OnReceiveData(this, Buffer, Length);
    if (OnAdvancedReceiveData)
        OnAdvancedReceiveData(this, TreatMainChannelAsNil ? nullptr : this, Buffer, Length);
}

void VTixCommunicationComponent::DoAdvancedStateChange(void* Channel, TCommState State)
{
    if (Channel == nullptr) {
        if (OnStateChange)
            OnStateChange(this, State);
        if (!TreatMainChannelAsNil)
            Channel = this;
    }
    if (OnAdvancedStateChange)
        OnAdvancedStateChange(this, Channel, State);
}
