#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/tix_item_operation.h"
#include "sms/sms_breakers.h"
#include "sms/sms_record.h"

class VTixSMSList;

// A change of a record: (list, operation, record).
using TNotifySMSEvent = std::function<void(VTixSMSList* sender, VTixItemOperation operation,
                                           VTixSMSRecord* sms)>;
// A record's state changed.
using VSMSMessageStateChange = std::function<void(VTixSMSList* smsList, VTixSMSRecord* sms)>;

// The SMS model: every record read from the device's memories or composed
// in the program ("PC"), in order of creation, with the change
// notifications, the counter of pending operations and the part-marker
// templates. The list owns its records; its destructor deletes them, with
// vtioRemove to the callbacks still registered (a derived list whose
// members are called back clears the messages in its own destructor).
class VTixSMSList {
public:
    VTixSMSList();
    virtual ~VTixSMSList();
    VTixSMSList(const VTixSMSList&) = delete;
    VTixSMSList& operator=(const VTixSMSList&) = delete;

    // The record of (storage, index), made when absent. An empty storage is
    // "PC"; "PC" with index 0 asks for a new program message with the next
    // free program index.
    VTixSMSRecord* smsDoesExist(const std::string& storage, int index);
    // Lookup only.
    VTixSMSRecord* getSMSByIndex(const std::string& storage, int index) const;
    // By position in creation order; none out of range.
    VTixSMSRecord* getSMS(int position) const;
    int getSMSCount() const { return int(records_.size()); }

    // Takes the record out of the list and deletes it (its parts with it;
    // a parent left without parts goes too). Unknown records are ignored.
    void messageDeleted(VTixSMSRecord* sms);
    // The same for every record of that storage and index.
    void messageDeleted(const std::string& storage, int index);
    // Deletes all records, last first.
    void clearMessages();

    // Nested batches: inside, notifications other than vtioRemove are held
    // per record (a held vtioAdd stays, a held vtioUpdate takes the newer
    // one) and the last EndUpdate sends them.
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return updateCount_ > 0; }
    // Change callbacks: the registrant owns the variable; an empty one is
    // skipped; the last registered is told first.
    void RegisterSMSChangeNotify(TNotifySMSEvent* callback);
    void UnRegisterSMSChangeNotify(TNotifySMSEvent* callback);
    void DoSendSMSChangeNotify(VTixItemOperation operation, VTixSMSRecord* sms);

    // Unlisted storages and queued Write and Send operations.
    void IncPendingSomeOperations();
    // At 0 it stays 0 and a debug note is written.
    void DecPendingSomeOperations();
    bool GetPendingSomeOperations() const { return pending_ > 0; }
    int GetPendingSomeOperationsCount() const { return pending_; }

    // Accept any TP-PID when reading.
    bool GetUnknownPIDisOK() const { return unknownPIDisOK_; }
    void SetUnknownPIDisOK(bool ok) { unknownPIDisOK_ = ok; }

    // Called after a record's state changed.
    VSMSMessageStateChange OnMessageStateChange;

    // Part-marker templates; assigning copies all six.
    VTixSMS_BreakerDispatcher& GetBreakers() { return breakers_; }
    const VTixSMS_BreakerDispatcher& GetBreakers() const { return breakers_; }
    void SetBreakers(const VTixSMS_BreakerDispatcher& breakers) { breakers_.Assign(breakers); }

    // The view of the records: told when a record's row must show new
    // values, and when a record lets its row go. The list itself shows
    // nothing.
    virtual void UpdateListItem(VTixSMSRecord* sms);
    virtual void ReleaseListItem(VTixSMSRecord* sms, void* row);

private:
    std::vector<std::unique_ptr<VTixSMSRecord>> records_;
    std::vector<TNotifySMSEvent*> callbacks_;
    int lastPCIndex_ = 0;
    int updateCount_ = 0;
    int pending_ = 0;
    bool unknownPIDisOK_ = false;
    VTixSMS_BreakerDispatcher breakers_;
};
