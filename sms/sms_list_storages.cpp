// VTixSMSList: the storages and the work queues the SMS handler takes its
// next read, delete and write from; loading PDUs read from the device.
#include <exception>

#include "sms/sms_list.h"

namespace {

const char* const kProgramStorage = VTixSMSList::ProgramStorage;

}  // namespace

// ---- Storages ----------------------------------------------------------------

VTixSMSStorage* VTixSMSList::storageDoesExist(const std::string& name)
{
    if (name.empty())
        return nullptr;
    if (VTixSMSStorage* storage = getStorageByName(name))
        return storage;
    storages_.push_back(std::make_unique<VTixSMSStorage>(this, name));
    ++changeCount_;
    if (OnStorageChange)
        OnStorageChange(this, name, vtioAdd);
    return storages_.back().get();
}

VTixSMSStorage* VTixSMSList::getStorageByName(const std::string& name) const
{
    for (const auto& storage : storages_)
        if (storage->GetName() == name)
            return storage.get();
    return nullptr;
}

VTixSMSStorage* VTixSMSList::getStorage(int position) const
{
    return position >= 0 && position < int(storages_.size()) ? storages_[size_t(position)].get()
                                                             : nullptr;
}

void VTixSMSList::invalidateStorage(const std::string& name)
{
    if (VTixSMSStorage* storage = getStorageByName(name))
        storage->SetFirstRead(false);
}

void VTixSMSList::clearStorages()
{
    while (!storages_.empty()) {
        const std::string name = storages_.back()->GetName();
        if (OnStorageChange)
            OnStorageChange(this, name, vtioRemove);
        // The callback may have cleared the storages itself.
        if (!storages_.empty() && storages_.back()->GetName() == name)
            storages_.pop_back();
        ++changeCount_;
    }
}

// ---- Reads ----------------------------------------------------------------------

VTixSMSRecord* VTixSMSList::wantRead(const std::string& storage, int index)
{
    VTixSMSRecord* sms = smsDoesExist(storage, index);
    sms->SetState(VTixSMS_state_Unknown);
    return sms;
}

int VTixSMSList::unknownIn(const std::string& storage, std::string* elsewhere) const
{
    int index = -1;
    int found = 0;
    for (const auto& sms : records_) {
        if (sms->GetState() != VTixSMS_state_Unknown || sms->GetStorage() == kProgramStorage)
            continue;
        if (sms->GetStorage() == storage) {
            index = found++ == 0 ? sms->GetIndex() : 0;
            if (found > 1)
                break;
        } else if (elsewhere && elsewhere->empty())
            *elsewhere = sms->GetStorage();
    }
    return index;
}

bool VTixSMSList::getWantedReads(std::string& storage, int& index, bool anyStorage)
{
    index = -1;
    if (!storage.empty()) {
        const VTixSMSStorage* named = storageDoesExist(storage);
        if (named && !named->GetFirstRead()) {
            index = 0;
            return true;
        }
    }
    if (anyStorage)
        for (const auto& st : storages_)
            if (st->GetName() != kProgramStorage && !st->GetFirstRead()) {
                storage = st->GetName();
                index = 0;
                return true;
            }
    std::string elsewhere;
    index = unknownIn(storage, &elsewhere);
    if (index < 0 && !elsewhere.empty()) {
        if (storage.empty())
            storage = elsewhere;
        index = unknownIn(storage, nullptr);
        return true;
    }
    return index >= 0;
}

// ---- Deletes --------------------------------------------------------------------

bool VTixSMSList::wantDelete(VTixSMSRecord* sms)
{
    if (!sms)
        return false;
    if (sms->GetPartCount() > 0) {
        for (int i = sms->GetPartCount() - 1; i >= 0; --i)
            wantDelete(sms->GetPart(i));
        return false;
    }
    if (sms->GetStorage() == kProgramStorage) {
        messageDeleted(sms);
        return true;
    }
    sms->SetState(VTixSMS_state_Deleting);
    return false;
}

bool VTixSMSList::getWantedDelete(std::string& storage, int& index)
{
    storageDoesExist(storage);
    const VTixSMSRecord* other = nullptr;
    for (const auto& sms : records_) {
        if (sms->GetPartCount() > 0 || sms->GetState() != VTixSMS_state_Deleting)
            continue;
        if (sms->GetStorage() == storage) {
            if (sms->GetIndex() > index) {
                index = sms->GetIndex();
                return true;
            }
        } else if (!other)
            other = sms.get();
    }
    if (other && index < 1) {
        storage = other->GetStorage();
        index = other->GetIndex();
        return true;
    }
    return false;
}

// ---- Writes ---------------------------------------------------------------------

bool VTixSMSList::getWantedWrite(VTixSMSRecord*& sms, std::string& storage, bool& isWrite)
{
    // Records of the named storage first, then any.
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& r : records_) {
            if (r->GetPartCount() > 0 || (pass == 0 && r->GetStorage() != storage))
                continue;
            for (int i = 0; i < r->getWantedOperationCount(); ++i) {
                std::string destination;
                VTixSMSOperation operation = VTixSMSOperation_NoOp;
                r->getWantedOperation(i, destination, operation);
                if (operation == VTixSMSOperation_Write || operation == VTixSMSOperation_Send) {
                    sms = r.get();
                    storage = destination;
                    isWrite = operation == VTixSMSOperation_Write;
                    return true;
                }
            }
        }
    return false;
}

VTixSMSRecord* VTixSMSList::getSMSbyPDU(const std::string& hex, const std::string& where,
                                        bool wanting, bool send)
{
    VTixSMSRecord* match = nullptr;
    for (const auto& r : records_) {
        if (r->GetPartCount() > 0)
            continue;
        if (wanting && !r->wantsAnyOperation())
            continue;
        if (wanting && send && !r->getWantsOperation(where, VTixSMSOperation_Send))
            continue;
        try {
            r->create1part();
        } catch (const std::exception&) {
            continue;  // a record that cannot be built matches nothing
        }
        if (r->GetPDUText() != hex)
            continue;
        if ((wanting && send) || r->GetStorage() == where)
            return r.get();
        match = r.get();
    }
    return match;
}

// ---- PDUs read from the device -----------------------------------------------------

bool VTixSMSList::setPDUtext(const std::string& storage, int index, int, const std::string& pdu,
                             bool withoutSCA)
{
    VTixSMSRecord* sms = smsDoesExist(storage, index);
    sms->SetPDUFormat(withoutSCA ? VTixSMS_pduFmtWoutSCA : VTixSMS_pduFmtWithSCA);
    sms->SetPDUText(pdu);
    // No octets (no hex, or none at all) are no message either.
    if (sms->GetPDUCount() == 0)
        sms->SetState(VTixSMS_state_ReadFailed);
    if (sms->GetState() == VTixSMS_state_ReadFailed)
        return false;
    try {
        sms->create1part();
    } catch (const std::exception&) {
        // Octets the builder cannot write again are no message either.
        sms->SetState(VTixSMS_state_ReadFailed);
        return false;
    }
    return sms->refreshFields();
}
