#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/tix_item_operation.h"
#include "foundation/tixutils_datetime.h"
#include "sms/sms_types.h"

class VTixSMSList;

// One short message as the program holds it: read from a memory of the
// device (storage name and index) or composed in the program (storage
// "PC"). It keeps the message twice, as decoded fields and as the PDU
// octets of TS 23.040, and keeps the two in step lazily: changing a field
// marks the PDU stale, loading PDU octets marks the fields stale, and the
// next reader of the stale side rebuilds it. It also carries the state in
// the device, the queue of operations wanted with it, and for a long text
// the parent and part records.
//
// Records are made and owned by a VTixSMSList; a record without a list
// works as a codec on its own (no notifications, no parts).
//
// Codec failures are std::runtime_error with the text
// "VTixSMSRecord.<operation>: <reason>"; an unreadable PDU never raises but
// sets the state ReadFailed.
class VTixSMSRecord {
public:
    // Indexes of the string fields.
    static constexpr int fsSCA = 0;        // SMS-centre number, digits only
    static constexpr int fsUserNumber = 1; // other party's number, digits only
    static constexpr int fsUDH = 2;        // user-data header as last built or read
    static constexpr int fsText = 3;       // message text
    static constexpr int fsComment = 4;    // the user's comment, never encoded
    // Indexes of the byte fields.
    static constexpr int fbSCAType = 0;
    static constexpr int fbFirstOctet = 1;
    static constexpr int fbMR = 2;
    static constexpr int fbUserNumberType = 3;
    static constexpr int fbPID = 4;
    static constexpr int fbDCS = 5;
    static constexpr int fbZone = 6;       // time-zone octet of the SCTS, as read
    // Indexes of the boolean fields.
    static constexpr int fbFirstOctetValid = 0;
    static constexpr int fbValidityRelative = 1;

    static constexpr int MaxPDUBytes = 176;
    // Longest address (destination or SMS centre) in digits, TS 23.040.
    static constexpr int MaxAddressDigits = 20;
    // Absolute validity that stands for an enhanced validity format whose
    // octets were not read.
    static constexpr Tixutils::TDateTime EnhancedValidity = -1.0;

    VTixSMSRecord();
    virtual ~VTixSMSRecord();
    VTixSMSRecord(const VTixSMSRecord&) = delete;
    VTixSMSRecord& operator=(const VTixSMSRecord&) = delete;

    // ---- Indexed fields (out-of-range indexes are ignored) ---------------
    // Assigns only a different text and then sets the changed mark.
    virtual void setFieldString(int index, const std::string& text);
    virtual void setFieldByte(int index, uint8_t value);
    virtual void setFieldBoolean(int index, bool value);
    std::string getFieldString(int index) const;
    uint8_t getFieldByte(int index) const;
    bool getFieldBoolean(int index) const;

    // Binds the list and sets every field to its start value: no row, the
    // state, format with SMS-centre address, kind standard, empty numbers,
    // validity three days relative, no PDU.
    virtual void AfterCreate(VTixSMSList* list, VTixSMS_textSMSstates state);

    // ---- Message type -----------------------------------------------------
    VTixSMS_MessageType GetMessageType();
    // Sets TP-MTI for a type of the record's direction (nothing in the
    // states Unknown and ReadFailed).
    void SetMessageType(VTixSMS_MessageType type);
    // Only Unknown and SUBMIT messages are editable.
    bool IsReadOnly();

    // ---- Fields (setters ignore a read-only record) -----------------------
    // "+" in front for type 145; setting "+..." stores the digits and type
    // 145, another text keeps the type.
    std::string GetSCA();
    void SetSCA(const std::string& number);
    uint8_t GetSCAType();
    void SetSCAType(uint8_t type);
    // Through the number conversions (type 145 <-> "+", 129 otherwise).
    std::string GetFullSCA();
    void SetFullSCA(const std::string& phone);
    bool GetTypeBit(uint8_t mask);
    void SetTypeBit(uint8_t mask, bool on);
    uint8_t GetMR();
    void SetMR(uint8_t mr);
    std::string GetUserNumber();
    void SetUserNumber(const std::string& number);
    uint8_t GetUserNumberType();
    void SetUserNumberType(uint8_t type);
    std::string GetUserPhone();
    void SetUserPhone(const std::string& phone);
    // The stored digits without blanks, "-", "(", ")", "." and "/"
    // (GetUserFixedPhone: with "+" for type 145).
    std::string GetFixedUserNumber();
    std::string GetUserFixedPhone();
    uint8_t GetPID();
    void SetPID(uint8_t pid);
    VTixSMS_Protocol GetProtocol();
    void SetProtocol(VTixSMS_Protocol protocol);
    uint8_t GetDCS();
    void SetDCS(uint8_t dcs);
    VTixSMS_Encoding GetEncoding();
    void SetEncoding(VTixSMS_Encoding encoding);
    // The service-centre time stamp as written in the PDU, its zone octet,
    // and the stamp in the PC's local time (with the offset in force then).
    Tixutils::TDateTime GetSCTS();
    uint8_t GetSCTSZone();
    Tixutils::TDateTime GetSCTSTime();
    // The two time stamps of a status report (service centre, discharge).
    Tixutils::TDateTime GetReportSCTS();
    Tixutils::TDateTime GetReportDT();
    bool GetValidityIsRelative();
    Tixutils::TDateTime GetValidityAbs();
    void SetValidityAbs(Tixutils::TDateTime when);
    Tixutils::TDateTime GetValidityRel();
    void SetValidityRel(Tixutils::TDateTime days);
    // "1t 2d 3h" for a relative validity, "d.M.yyyy H:mm:ss" for an
    // absolute one, empty for none.
    std::string GetValidityText();
    void SetValidityText(const std::string& text);
    std::string GetText();
    void SetText(const std::string& text);
    // Free text of the user; never read-only, never encoded.
    std::string GetComment() const { return strings_[fsComment]; }
    void SetComment(const std::string& text);

    // Cell-broadcast page identity (65535, 65535, 255, 255 when none).
    uint16_t GetCBSerial() { return cbSerial_; }
    uint16_t GetCBMessageId() { return cbMessageId_; }
    uint8_t GetCBPage() { return cbPage_; }
    uint8_t GetCBPages() { return cbPages_; }

    // ---- Place and state ----------------------------------------------------
    VTixSMS_textSMSstates GetState() const { return state_; }
    void SetState(VTixSMS_textSMSstates state);
    VTixSMS_PDUFormat GetPDUFormat() const { return pduFormat_; }
    void SetPDUFormat(VTixSMS_PDUFormat format);
    VTixSMS_smsKind GetKind() const { return kind_; }
    int GetIndex() const { return index_; }
    void SetIndex(int index);
    const std::string& GetStorage() const { return storage_; }
    void SetStorage(const std::string& storage);
    VTixSMSList* GetList() const { return list_; }
    // The list-view row that shows the record (opaque to the model).
    void* GetListItem() const { return listItem_; }
    void SetListItem(void* row);
    // A word of the window that shows the record; the record never reads it.
    uint32_t GetWindowTag() const { return windowTag_; }
    void SetWindowTag(uint32_t tag) { windowTag_ = tag; }

    // ---- Stale sides ----------------------------------------------------------
    // Fields changed since the PDU was last built; true also notifies the
    // list (vtioUpdate).
    bool GetFieldsChanged() const { return pduStale_; }
    void SetChangedFields(bool changed);
    bool GetPDUChanged() const { return fieldsStale_; }
    // A field was changed since PDU octets were last loaded (SetPDUText):
    // the octets the device holds no longer carry the message. Builds
    // leave it alone.
    bool GetEditedSinceLoad() const { return editedSinceLoad_; }

    // ---- User-data header elements -------------------------------------------
    int GetUserDataCount();
    // Out of range: IEI 255, first octet 0, empty rest.
    VTixSMSRecord_UserData GetUserData(int i);
    void SetUserData(int i, const VTixSMSRecord_UserData& element);
    void addUserData(uint8_t iei, uint8_t first, const std::string& rest);
    // Elements to raw header octets (cut at 254) and back; DecodeUserData
    // is false for an element that runs past the end or a stray octet.
    static std::string EncodeUserData(const std::vector<VTixSMSRecord_UserData>& elements);
    static bool DecodeUserData(const std::string& raw, std::vector<VTixSMSRecord_UserData>& elements);

    // ---- PDU ---------------------------------------------------------------------
    // Hex text of the PDU; raises when fields changed since it was built.
    std::string GetPDUText();
    // Loads hex text (cut at CR, Ctrl-Z or Esc) and decodes it at once;
    // invalid hex leaves the PDU empty, more than 176 octets make the
    // record ReadFailed.
    void SetPDUText(const std::string& text);
    uint8_t GetPDUByte(int i);
    void SetPDUByte(int i, uint8_t value);
    void addPDUbyte(uint8_t value);
    int GetPDUCount() const { return pduCount_; }
    // Length for +CMGW/+CMGS: the octets without the SMS-centre part.
    virtual int GetCMGWlen();
    // Builds the PDU from the fields (the part number is not used).
    void preparePDUpart(int part);
    // Brings the PDU up to date and builds it. A status report, a cell
    // broadcast page and a SUBMIT with an enhanced validity keep their
    // octets as read.
    void create1part();
    // Decodes stale fields, then clears both stale marks.
    void refreshPDU();
    void fixChanges();
    // Decodes the PDU into the fields; false (state ReadFailed) when it
    // cannot be read.
    bool refreshFields();

    // ---- Long texts ---------------------------------------------------------------
    // Splits a text longer than one message into part records of the list.
    bool splitIfNeeded();
    // What a text takes of a message's room: characters, or septets in
    // 7-bit data (a character of the extension table takes two).
    static int RoomTaken(VTixSMS_Encoding encoding, const std::string& text);
    // Expands marker template `which` (0-5) for part `part` (from 0) of
    // `count`; with `length`, the output has that many characters and
    // `length` receives what the whole expansion needs.
    std::string createBreaker(int which, int part, int count, int* length = nullptr);
    int findBreakerLength(int which, int part, int count);
    VTixSMSRecord* GetParent() const { return parent_; }
    int GetPartCount() const { return int(parts_.size()); }
    VTixSMSRecord* GetPart(int i) const;

    // ---- Wanted operations ------------------------------------------------------------
    void wantedOperation(const std::string& destination, VTixSMSOperation operation);
    void doneOperation(const std::string& destination, VTixSMSOperation operation,
                       VTixSMSOperation newOperation, bool all);
    void doneWantedOperation(int position, VTixSMSOperation newOperation, bool inner);
    void clearWantedOperations(VTixSMSOperation operation);
    bool wantsAnyOperation();
    bool getWantsOperation(const std::string& destination, VTixSMSOperation operation) const;
    bool getIsOperation(int position, const std::string& destination,
                        VTixSMSOperation operation) const;
    int getWantedOperationCount() const { return int(wanted_.size()); }
    bool getWantedOperation(int position, std::string& destination,
                            VTixSMSOperation& operation) const;
    // The first entry whose destination equals the given one ignoring case:
    // its position, its own destination text and its operation.
    bool findWantedOperationIC(int& position, std::string& destination,
                               VTixSMSOperation& operation) const;

    // ---- Comparisons and texts ------------------------------------------------------------
    bool equals(VTixSMSRecord* other);
    bool fieldsEqual(VTixSMSRecord* other);
    // Same octets; false for none and for a record whose PDU is stale.
    bool pdusEqual(VTixSMSRecord* other);
    bool canBeDeleted() const { return true; }
    std::string printString();
    std::string configString();

    // The list's change notification held during BeginUpdate.
    VTixItemOperation GetHeldNotify() const { return heldNotify_; }
    void SetHeldNotify(VTixItemOperation op) { heldNotify_ = op; }
    // Everything the list does before it destroys the record: its row
    // goes, vtioRemove is sent, it leaves its parent (a parent without
    // parts is deleted), its parts are deleted and its pending operations
    // are given back. Runs once.
    void BeforeDestruction();
    bool IsBeingDestroyed() const { return destroying_; }

protected:
    // No operation of the model changes the kind; a reader of cell
    // broadcasts sets it.
    void setKind(VTixSMS_smsKind kind) { kind_ = kind; }

private:
    friend class VTixSMSList;

    // The setter rule: false for a read-only record (unless the codec is
    // writing); decodes stale fields first.
    bool beginSet();
    // After a setter changed a value: the PDU is stale (and the octets kept
    // as read no longer describe the message when `tpdu`).
    void endSet(bool tpdu = true);
    void refreshIfStale();
    // A number with "+" for type 145, or through the number conversions.
    std::string numberText(int digitsField, int typeField, bool converted);
    // The setter rule for a number and its type; true when they changed.
    bool setNumber(int digitsField, int typeField, const std::string& text, bool converted);
    // The setter rule for a byte field; true when it changed.
    bool setByte(int index, uint8_t value, bool tpdu = true);
    void refreshRow();
    void notify(VTixItemOperation op);

    // Build and read (sms_record_build.cpp, sms_record_read.cpp).
    void buildPDU();
    bool readPDU();
    bool readAddress(int& pos, std::string& number, uint8_t& type);
    bool readTimeStamp(int& pos, Tixutils::TDateTime& when, uint8_t* zone);
    bool readUserData(int& pos);
    bool decodeUserText(int pos, int udl, int headerLength, VTixSMS_Encoding encoding,
                        int limit);
    // The other party's address, a PID that is accepted, the DCS.
    bool readPartyPidDcs(int& pos);
    bool readDeliver(int& pos);
    bool readSubmit(int& pos);
    bool readStatusReport(int& pos);
    bool readCellBroadcast(int& pos);
    void resetCellBroadcast();
    void splitRawHeader();

    // Parts are deleted from the list (they know their parent no more, so
    // the parent stays); a parent's entry follows its parts' entries.
    void deleteParts();
    void recomputeParentEntry(int position);

    VTixSMSList* list_ = nullptr;
    void* listItem_ = nullptr;

    std::string strings_[5];
    uint8_t bytes_[7] = {};
    bool booleans_[2] = {false, true};
    bool changedMark_ = false;

    VTixSMS_textSMSstates state_ = VTixSMS_state_Unknown;
    VTixSMS_PDUFormat pduFormat_ = VTixSMS_pduFmtWithSCA;
    VTixSMS_smsKind kind_ = VTixSMS_smsKindStandard;
    Tixutils::TDateTime scts_ = 0;
    Tixutils::TDateTime validity_ = 3.0;
    std::vector<VTixSMSRecord_UserData> userData_;
    uint16_t cbSerial_ = 65535;
    uint16_t cbMessageId_ = 65535;
    uint8_t cbPage_ = 255;
    uint8_t cbPages_ = 255;
    Tixutils::TDateTime reportSCTS_ = 0;
    Tixutils::TDateTime reportDT_ = 0;

    bool fieldsStale_ = false;
    bool pduStale_ = false;
    bool editedSinceLoad_ = false;
    bool internal_ = false;
    uint8_t pdu_[MaxPDUBytes] = {};
    int pduCount_ = 0;
    // TPDU octets as read for a layout the builder does not write (status
    // report, cell broadcast, enhanced validity); empty otherwise.
    std::string keptTPDU_;
    int textLength_ = 0;

    int index_ = 0;
    std::string storage_;
    std::vector<VTixSMSRecord_WantSendWrite> wanted_;
    VTixSMSRecord* parent_ = nullptr;
    std::vector<VTixSMSRecord*> parts_;
    uint32_t windowTag_ = 0;
    VTixItemOperation heldNotify_ = vtioNone;
    bool destroying_ = false;
};
