#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/tix_item_operation.h"
#include "sms/sca_combo.h"
#include "sms/sms_breakers.h"
#include "sms/sms_record.h"
#include "sms/sms_storage.h"

class VTixSMSList;

// A change of a record: (list, operation, record).
using TNotifySMSEvent = std::function<void(VTixSMSList* sender, VTixItemOperation operation,
                                           VTixSMSRecord* sms)>;
// A record's state changed.
using VSMSMessageStateChange = std::function<void(VTixSMSList* smsList, VTixSMSRecord* sms)>;
// A storage was made (vtioAdd) or is being removed (vtioRemove).
using VSMSStorageChange = std::function<void(VTixSMSList* sender, const std::string& storage,
                                             VTixItemOperation operation)>;
// A language text: section, key, default, item index (-1 none).
using VSMSLangLookup = std::function<std::string(const std::string& section, const std::string& key,
                                                 const std::string& defaultText, int index)>;

// What shows the records, one row per record in the list's order: the
// item model implements it. Rows are told before they change.
class VTixSMSListView {
public:
    virtual ~VTixSMSListView() = default;
    // A row for the record at the end.
    virtual void smsRowAdded(VTixSMSRecord* sms) = 0;
    // The record's row shows new values.
    virtual void smsRowChanged(VTixSMSRecord* sms) = 0;
    // The record's row goes (the record is still whole).
    virtual void smsRowRemoved(VTixSMSRecord* sms) = 0;
    // Every row anew: the view was attached (rows for all records) or
    // detached (no rows).
    virtual void smsRowsReset() = 0;
    // Column captions or widths changed (language, state column shown).
    virtual void smsColumnsChanged() = 0;
};

// The SMS model: every record read from the device's memories or composed
// in the program ("PC"), in order of creation, with the change
// notifications, the counter of pending operations and the part-marker
// templates. The list owns its records; its destructor deletes them, with
// vtioRemove to the callbacks still registered (a derived list whose
// members are called back clears the messages in its own destructor).
class VTixSMSList {
public:
    // The storage of messages composed in the program or delivered to it.
    static constexpr const char* ProgramStorage = "PC";
    // Widths of the first two columns; the text column takes the rest.
    static constexpr int IdentWidth = 60;
    static constexpr int StateWidth = 60;

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
    // Deletes the records of the device's memories (all but "PC"), last first.
    void clearDeviceMessages();

    // ---- Storages (sms_list_storages.cpp) --------------------------------------
    // The storage of that name, made when absent (unlisted unless "PC";
    // OnStorageChange vtioAdd). An empty name makes nothing (null).
    VTixSMSStorage* storageDoesExist(const std::string& name);
    VTixSMSStorage* getStorageByName(const std::string& name) const;
    VTixSMSStorage* getStorage(int position) const;
    int getStorageCount() const { return int(storages_.size()); }
    // An existing storage is to be listed again.
    void invalidateStorage(const std::string& name);
    // Every storage, last first: OnStorageChange vtioRemove, then deleted.
    void clearStorages();
    VSMSStorageChange OnStorageChange;

    // ---- The handler's work queues (sms_list_storages.cpp) ----------------------
    // The record (made when absent) is to be read: state Unknown.
    VTixSMSRecord* wantRead(const std::string& storage, int index);
    // The next read: index 0 lists the whole storage, above 0 reads one
    // message. `storage` names the handler's current memory; with
    // `anyStorage` an unlisted memory elsewhere is chosen too (the
    // storage then names it). True when there is something to do; it
    // can be true with index -1 when the wanted messages are elsewhere
    // (asking again with an empty storage gives their storage).
    bool getWantedReads(std::string& storage, int& index, bool anyStorage);
    // A record with parts asks it of each part (false); a "PC" record is
    // deleted at once (true); any other gets state Deleting (false).
    bool wantDelete(VTixSMSRecord* sms);
    // The next delete after `index` in `storage`; with none there and
    // index below 1, the first of any storage (both given back).
    bool getWantedDelete(std::string& storage, int& index);
    // The first record without parts whose queue holds a Write or a Send,
    // those of `storage` first: the record, the entry's destination, and
    // whether it is a Write.
    bool getWantedWrite(VTixSMSRecord*& sms, std::string& storage, bool& isWrite);
    // A record without parts whose built PDU is the hex text. A match in
    // `where` (a storage) ends the search, else the last match counts;
    // with `wanting` only records that want an operation, and with `send`
    // too the first that wants a Send to `where` (a number).
    VTixSMSRecord* getSMSbyPDU(const std::string& hex, const std::string& where, bool wanting, bool send);
    // Loads a PDU read from the device into the record of (storage, index),
    // made when absent; `length` is not used. False when it cannot be read
    // (the record is then ReadFailed).
    bool setPDUtext(const std::string& storage, int index, int length, const std::string& pdu,
                    bool withoutSCA);

    // Bumped by every change of a record or a storage, so that a reader of
    // the work queues can tell that nothing changed since it last looked.
    uint32_t GetChangeCount() const { return changeCount_; }
    // A storage changed (listed or not).
    void storagesChanged() { ++changeCount_; }

    // ---- Rows and texts (sms_list_view.cpp) ------------------------------------------
    // Attaching a view detaches the previous one.
    void SetListView(VTixSMSListView* view);
    VTixSMSListView* GetListView() const { return view_; }
    // Repaint after every row change (kept for the view; rows are
    // repainted as they change in any case).
    bool UpdateOften = false;
    bool GetShowSMSStateAsText() const { return showStateAsText_; }
    void SetShowSMSStateAsText(bool show);
    // Texts come from the lookup, in the section LangSection; without one
    // the built-in defaults are used.
    void SetLanguage(VSMSLangLookup lookup);
    std::string LangSection = "SMSList";
    // Re-reads the captions and every row's texts.
    void changedLanguage();
    // Column 0 "Id", 1 the state, 2 the text.
    std::string GetColumnCaption(int column) const;
    // The state column is 0 wide without ShowSMSStateAsText; the text
    // column takes the view's width less the others and 20.
    int GetColumnWidth(int column, int viewWidth) const;
    // "3: SM", or "SM: ?" for an index of 0 or below.
    static std::string GetRowCaption(const VTixSMSRecord* sms);
    // "SMSState_<state>", "???" when the text is empty.
    std::string GetStateText(int state) const;

    // ---- SMS-centre list (sms_list_sca.cpp) ------------------------------------------
    // Setting either rebuilds the combo: the number shown is remembered,
    // the items and text cleared, the file's lines loaded as items and the
    // number selected again (not forced).
    void SetSCACombo(VTixSCACombo* combo);
    VTixSCACombo* GetSCACombo() const { return scaCombo_; }
    void SetSCAFile(const std::string& path);
    const std::string& GetSCAFile() const { return scaFile_; }
    void rebuildSCACombo();
    // The selected item's number, else the typed one: the leading run of
    // "+" and digits of the trimmed text.
    std::string GetSCANumber() const;
    // Selects the first item whose trimmed leading run of blanks, "+",
    // "-" and digits is the number; else, forced, shows the number as the
    // typed text, not forced, selects the first item when text is shown.
    void SetSCANumber(const std::string& number, bool forced = true);
    // Writes the items to SCAFile, one a line; false when it cannot.
    bool saveSCAList() const;

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
    // values, and when a record lets its row go; both reach the attached
    // view.
    virtual void UpdateListItem(VTixSMSRecord* sms);
    virtual void ReleaseListItem(VTixSMSRecord* sms, void* row);

private:
    // Records of `storage` in state Unknown outside "PC": the index of the
    // first, 0 for two or more, -1 for none; `elsewhere` tells whether
    // such records are in other storages (and gives the first one's).
    int unknownIn(const std::string& storage, std::string* elsewhere) const;
    std::string langText(const std::string& key, const std::string& defaultText, int index = -1) const;

    std::vector<std::unique_ptr<VTixSMSRecord>> records_;
    std::vector<std::unique_ptr<VTixSMSStorage>> storages_;
    std::vector<TNotifySMSEvent*> callbacks_;
    int lastPCIndex_ = 0;
    int updateCount_ = 0;
    int pending_ = 0;
    bool unknownPIDisOK_ = false;
    VTixSMS_BreakerDispatcher breakers_;
    uint32_t changeCount_ = 0;
    VTixSMSListView* view_ = nullptr;
    bool showStateAsText_ = true;
    VSMSLangLookup language_;
    VTixSCACombo* scaCombo_ = nullptr;
    std::string scaFile_ = "tix_smsc.ini";
};
