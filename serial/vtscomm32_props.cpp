#include "serial/vtscomm32_props.h"

#include "serial/vtscomm32.h"

bool VTSComm32Signals::SetDTR(bool value)
{
    dtr_ = value;
    return owner_->escape(value ? Serial::SETDTR : Serial::CLRDTR);
}

bool VTSComm32Signals::SetRTS(bool value)
{
    rts_ = value;
    return owner_->escape(value ? Serial::SETRTS : Serial::CLRRTS);
}

void VTSComm32Signals::SetDTRControl(VTixSignalControl_DTR value)
{
    if (value == dtrControl_)
        return;
    dtrControl_ = value;
    owner_->UpdateDCB2();
}

void VTSComm32Signals::SetRTSControl(VTixSignalControl_RTS value)
{
    if (value == rtsControl_)
        return;
    rtsControl_ = value;
    owner_->UpdateDCB2();
}

void VTSComm32Signals::SetCTSHandshake(bool value)
{
    if (value == ctsHandshake_)
        return;
    ctsHandshake_ = value;
    owner_->UpdateDCB2();
}

void VTSComm32Signals::SetDSRHandshake(bool value)
{
    if (value == dsrHandshake_)
        return;
    dsrHandshake_ = value;
    owner_->UpdateDCB2();
}

void VTSComm32Signals::SetXOnOffTransmit(bool value)
{
    if (value == xOnOffTransmit_)
        return;
    xOnOffTransmit_ = value;
    owner_->UpdateDCB();
}

void VTSComm32Signals::SetXOnOffReceive(bool value)
{
    if (value == xOnOffReceive_)
        return;
    xOnOffReceive_ = value;
    owner_->UpdateDCB();
}

void VTSComm32Signals::Assign(const VTSComm32Signals& source)
{
    if (&source == this)
        return;
    ctsHandshake_ = source.ctsHandshake_;
    dsrHandshake_ = source.dsrHandshake_;
    dtrControl_ = source.dtrControl_;
    dtr_ = source.dtr_;
    rtsControl_ = source.rtsControl_;
    rts_ = source.rts_;
    owner_->UpdateDCB2();
}

void VTSComm32Chars::Assign(const VTSComm32Chars& source)
{
    if (&source == this)
        return;
    XOn = source.XOn;
    XOff = source.XOff;
    Evt = source.Evt;
    owner_->UpdateDCB();
}

uint32_t VTSComm32Timeouts::Get(int index) const
{
    if (index < 0 || index >= Count)
        return 0;
    return values_[static_cast<size_t>(index)];
}

void VTSComm32Timeouts::Set(int index, uint32_t value)
{
    if (index < 0 || index >= Count || values_[static_cast<size_t>(index)] == value)
        return;
    values_[static_cast<size_t>(index)] = value;
    owner_->UpdateDCB2();
}

void VTSComm32Timeouts::Assign(const VTSComm32Timeouts& source)
{
    if (&source == this)
        return;
    values_ = source.values_;
    owner_->UpdateDCB2();
}
