// VTixSMSRecord: the queue of wanted operations (write to a storage, send
// to a number) and its upkeep between a parent and its parts.
#include "foundation/tixutils_gsm.h"
#include "foundation/tixutils_text.h"
#include "sms/sms_list.h"
#include "sms/sms_record.h"

namespace {

bool isCounted(VTixSMSOperation op)
{
    return op == VTixSMSOperation_Write || op == VTixSMSOperation_Send;
}

// Order in which the parts' operations decide the parent's entry.
int rank(VTixSMSOperation op)
{
    switch (op) {
    case VTixSMSOperation_Write:
    case VTixSMSOperation_Send: return 4;
    case VTixSMSOperation_SendFailed: return 3;
    case VTixSMSOperation_Prepare: return 2;
    case VTixSMSOperation_Sent: return 1;
    default: return 0;
    }
}

}  // namespace

void VTixSMSRecord::wantedOperation(const std::string& destination, VTixSMSOperation operation)
{
    if (operation == VTixSMSOperation_NoOp)
        return;
    const bool needsDestination = operation == VTixSMSOperation_Prepare ||
                                  operation == VTixSMSOperation_Sent ||
                                  operation == VTixSMSOperation_SendFailed;
    if (needsDestination && destination.empty())
        return;
    std::string entry = destination;
    if (operation == VTixSMSOperation_Send) {
        if (destination.empty()) {
            if (GetUserFixedPhone().empty())
                return;
        } else {
            std::string digits;
            int type = 0;
            if (Tixutils::GsmPhone2NumberType(destination, digits, type))
                entry = Tixutils::GsmNumberType2Phone(digits, type);
        }
    }
    for (VTixSMSRecord* part : parts_)
        part->wantedOperation(destination, operation);
    wanted_.push_back(VTixSMSRecord_WantSendWrite{operation, entry});
    if (list_ && isCounted(operation))
        list_->IncPendingSomeOperations();
    notify(vtioUpdate);
}

void VTixSMSRecord::doneWantedOperation(int position, VTixSMSOperation newOperation, bool inner)
{
    if (position < 0 || position >= int(wanted_.size()))
        return;
    const VTixSMSOperation old = wanted_[size_t(position)].Operation;
    if (old == newOperation)
        return;
    if (list_ && isCounted(old))
        list_->DecPendingSomeOperations();
    if (list_ && isCounted(newOperation))
        list_->IncPendingSomeOperations();
    const std::string destination = wanted_[size_t(position)].Destination;
    if (newOperation != VTixSMSOperation_NoOp)
        wanted_[size_t(position)].Operation = newOperation;
    else
        wanted_.erase(wanted_.begin() + position);
    notify(vtioUpdate);
    if (inner)
        return;
    for (VTixSMSRecord* part : parts_)
        part->doneOperation(destination, old, newOperation, true);
    if (parent_)
        parent_->recomputeParentEntry(position);
}

void VTixSMSRecord::recomputeParentEntry(int position)
{
    VTixSMSOperation result = VTixSMSOperation_NoOp;
    for (VTixSMSRecord* part : parts_) {
        if (position >= int(part->wanted_.size()))
            continue;
        const VTixSMSOperation op = part->wanted_[size_t(position)].Operation;
        if (result == VTixSMSOperation_NoOp || rank(op) > rank(result))
            result = op;
    }
    doneWantedOperation(position, result, true);
}

void VTixSMSRecord::doneOperation(const std::string& destination, VTixSMSOperation operation,
                                  VTixSMSOperation newOperation, bool all)
{
    for (int i = int(wanted_.size()) - 1; i >= 0; --i) {
        const auto& entry = wanted_[size_t(i)];
        if (entry.Operation != operation)
            continue;
        bool match = entry.Destination == destination;
        if (!match && entry.Destination.empty()) {
            if (operation == VTixSMSOperation_Send)
                match = destination == GetUserFixedPhone();
            else if (operation == VTixSMSOperation_Write)
                match = destination == storage_;
        }
        if (!match)
            continue;
        doneWantedOperation(i, newOperation, all);
        if (!all)
            break;
    }
}

void VTixSMSRecord::clearWantedOperations(VTixSMSOperation operation)
{
    for (VTixSMSRecord* part : parts_)
        part->clearWantedOperations(operation);
    for (int i = int(wanted_.size()) - 1; i >= 0; --i)
        if (wanted_[size_t(i)].Operation == operation)
            doneWantedOperation(i, VTixSMSOperation_NoOp, true);
}

bool VTixSMSRecord::wantsAnyOperation()
{
    for (const auto& entry : wanted_) {
        if (entry.Operation == VTixSMSOperation_Write && !entry.Destination.empty())
            return true;
        if (entry.Operation == VTixSMSOperation_Send &&
            (entry.Destination.empty() || entry.Destination == GetUserFixedPhone()))
            return true;
    }
    return false;
}

bool VTixSMSRecord::getWantsOperation(const std::string& destination,
                                      VTixSMSOperation operation) const
{
    for (const auto& entry : wanted_)
        if (entry.Operation == operation && entry.Destination == destination)
            return true;
    return false;
}

bool VTixSMSRecord::getIsOperation(int position, const std::string& destination,
                                   VTixSMSOperation operation) const
{
    return position >= 0 && position < int(wanted_.size()) &&
           wanted_[size_t(position)].Operation == operation &&
           wanted_[size_t(position)].Destination == destination;
}

bool VTixSMSRecord::getWantedOperation(int position, std::string& destination,
                                       VTixSMSOperation& operation) const
{
    if (position < 0 || position >= int(wanted_.size()))
        return false;
    destination = wanted_[size_t(position)].Destination;
    operation = wanted_[size_t(position)].Operation;
    return true;
}

bool VTixSMSRecord::findWantedOperationIC(int& position, std::string& destination,
                                          VTixSMSOperation& operation) const
{
    for (size_t i = 0; i < wanted_.size(); ++i)
        if (wanted_[i].Destination.size() == destination.size() &&
            Tixutils::ComparePrefixIC(wanted_[i].Destination, destination)) {
            position = int(i);
            destination = wanted_[i].Destination;
            operation = wanted_[i].Operation;
            return true;
        }
    operation = VTixSMSOperation_NoOp;
    return false;
}
