#include "sms/sms_list.h"

#include <algorithm>

#include "foundation/tixutils_debug.h"

namespace {

const char* const kProgramStorage = VTixSMSList::ProgramStorage;

}  // namespace

VTixSMSList::VTixSMSList() = default;

VTixSMSList::~VTixSMSList()
{
    clearMessages();
    clearStorages();
    SetListView(nullptr);
}

VTixSMSRecord* VTixSMSList::smsDoesExist(const std::string& storage, int index)
{
    const std::string name = storage.empty() ? std::string(kProgramStorage) : storage;
    if (name == kProgramStorage) {
        if (index == 0) {
            // A new program message: the next program index not in use.
            do
                ++lastPCIndex_;
            while (getSMSByIndex(name, lastPCIndex_));
            index = lastPCIndex_;
        } else
            lastPCIndex_ = std::max(lastPCIndex_, index);
    }
    if (VTixSMSRecord* sms = getSMSByIndex(name, index))
        return sms;
    records_.push_back(std::make_unique<VTixSMSRecord>());
    VTixSMSRecord* sms = records_.back().get();
    sms->AfterCreate(this, VTixSMS_state_Unknown);
    sms->SetIndex(index);
    sms->SetStorage(name);
    if (view_) {
        view_->smsRowAdded(sms);
        sms->SetListItem(view_);
    }
    DoSendSMSChangeNotify(vtioAdd, sms);
    return sms;
}

VTixSMSRecord* VTixSMSList::getSMSByIndex(const std::string& storage, int index) const
{
    for (const auto& sms : records_)
        if (sms->GetIndex() == index && sms->GetStorage() == storage)
            return sms.get();
    return nullptr;
}

VTixSMSRecord* VTixSMSList::getSMS(int position) const
{
    return position >= 0 && position < int(records_.size()) ? records_[size_t(position)].get()
                                                            : nullptr;
}

void VTixSMSList::messageDeleted(VTixSMSRecord* sms)
{
    const auto owns = [sms](const std::unique_ptr<VTixSMSRecord>& p) { return p.get() == sms; };
    if (!sms || sms->IsBeingDestroyed() ||
        std::find_if(records_.begin(), records_.end(), owns) == records_.end())
        return;
    // May delete its parts or its parent: look for it again afterwards.
    sms->BeforeDestruction();
    const auto it = std::find_if(records_.begin(), records_.end(), owns);
    if (it == records_.end())
        return;
    std::unique_ptr<VTixSMSRecord> gone = std::move(*it);
    records_.erase(it);
}

void VTixSMSList::messageDeleted(const std::string& storage, int index)
{
    while (VTixSMSRecord* sms = getSMSByIndex(storage, index))
        messageDeleted(sms);
}

void VTixSMSList::clearMessages()
{
    while (!records_.empty())
        messageDeleted(records_.back().get());
}

void VTixSMSList::clearDeviceMessages()
{
    // Deleting one record may take its parts or parent along: look again
    // from the end after each.
    for (;;) {
        VTixSMSRecord* last = nullptr;
        for (auto it = records_.rbegin(); it != records_.rend() && !last; ++it)
            if ((*it)->GetStorage() != kProgramStorage)
                last = it->get();
        if (!last)
            return;
        messageDeleted(last);
    }
}

// ---- Notifications ----------------------------------------------------------

void VTixSMSList::BeginUpdate()
{
    ++updateCount_;
}

void VTixSMSList::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ > 0)
        return;
    // A callback may delete records: walk a copy and skip the gone ones.
    std::vector<VTixSMSRecord*> held;
    for (const auto& sms : records_)
        if (sms->GetHeldNotify() != vtioNone)
            held.push_back(sms.get());
    for (VTixSMSRecord* sms : held) {
        const bool present = std::any_of(records_.begin(), records_.end(),
                                         [sms](const auto& p) { return p.get() == sms; });
        if (present && sms->GetHeldNotify() != vtioNone)
            DoSendSMSChangeNotify(sms->GetHeldNotify(), sms);
    }
}

void VTixSMSList::RegisterSMSChangeNotify(TNotifySMSEvent* callback)
{
    if (callback && std::find(callbacks_.begin(), callbacks_.end(), callback) == callbacks_.end())
        callbacks_.push_back(callback);
}

void VTixSMSList::UnRegisterSMSChangeNotify(TNotifySMSEvent* callback)
{
    const auto it = std::find(callbacks_.begin(), callbacks_.end(), callback);
    if (it == callbacks_.end())
        return;
    *it = callbacks_.back();  // the last entry takes the place
    callbacks_.pop_back();
}

void VTixSMSList::DoSendSMSChangeNotify(VTixItemOperation operation, VTixSMSRecord* sms)
{
    if (!sms)
        return;
    ++changeCount_;
    if (operation != vtioRemove && updateCount_ > 0) {
        const VTixItemOperation held = sms->GetHeldNotify();
        if (held == vtioNone || held == vtioUpdate)
            sms->SetHeldNotify(operation);
        return;
    }
    sms->SetHeldNotify(vtioNone);
    // A callback may register or unregister others: call those of the moment.
    const std::vector<TNotifySMSEvent*> callbacks = callbacks_;
    for (auto it = callbacks.rbegin(); it != callbacks.rend(); ++it)
        if (std::find(callbacks_.begin(), callbacks_.end(), *it) != callbacks_.end() && **it)
            (**it)(this, operation, sms);
}

// ---- Pending operations -----------------------------------------------------

void VTixSMSList::IncPendingSomeOperations()
{
    ++pending_;
}

void VTixSMSList::DecPendingSomeOperations()
{
    if (pending_ <= 0) {
        pending_ = 0;
        Tixutils::DoGlobalDebug("PendingSomeOperations<0");
        return;
    }
    --pending_;
}

// ---- The view ---------------------------------------------------------------

void VTixSMSList::UpdateListItem(VTixSMSRecord* sms)
{
    ++changeCount_;
    if (view_ && sms && sms->GetListItem() == view_)
        view_->smsRowChanged(sms);
}

void VTixSMSList::ReleaseListItem(VTixSMSRecord* sms, void* row)
{
    ++changeCount_;
    // A row of a view detached since has gone with that view's reset.
    if (view_ && sms && row == view_)
        view_->smsRowRemoved(sms);
}
