#include "sms/sms_storage.h"

#include "sms/sms_list.h"

VTixSMSStorage::VTixSMSStorage(VTixSMSList* list, const std::string& name)
    : list_(list), name_(name), listed_(name == VTixSMSList::ProgramStorage)
{
    if (!listed_ && list_)
        list_->IncPendingSomeOperations();
}

VTixSMSStorage::~VTixSMSStorage()
{
    if (!listed_ && list_)
        list_->DecPendingSomeOperations();
}

void VTixSMSStorage::SetFirstRead(bool listed)
{
    if (listed == listed_)
        return;
    listed_ = listed;
    if (!list_)
        return;
    if (listed)
        list_->DecPendingSomeOperations();
    else
        list_->IncPendingSomeOperations();
    list_->storagesChanged();
}
