// VTixSMSRecord: life cycle, indexed fields, the field getters and setters.
#include "sms/sms_record.h"

#include "foundation/tixutils_gsm.h"
#include "sms/pdu_octets.h"
#include "sms/sms_list.h"

using Tixutils::TDateTime;

namespace {

bool isReceived(VTixSMS_textSMSstates state)
{
    return state == VTixSMS_stateSIMRecvUnread || state == VTixSMS_stateSIMRecvRead;
}

// Splits "+digits" into the digits and type 145; other texts keep the type.
void splitPlus(const std::string& text, std::string& digits, uint8_t& type)
{
    if (!text.empty() && text[0] == '+') {
        digits = text.substr(1);
        type = Tixutils::GsmTypeInternational;
    } else
        digits = text;
}

std::string withPlus(const std::string& digits, uint8_t type)
{
    return type == Tixutils::GsmTypeInternational ? "+" + digits : digits;
}

}  // namespace

VTixSMSRecord::VTixSMSRecord() = default;

VTixSMSRecord::~VTixSMSRecord()
{
    BeforeDestruction();
}

// ---- Indexed fields ---------------------------------------------------------

void VTixSMSRecord::setFieldString(int index, const std::string& text)
{
    if (index < 0 || index > 4 || strings_[index] == text)
        return;
    strings_[index] = text;
    changedMark_ = true;
}

void VTixSMSRecord::setFieldByte(int index, uint8_t value)
{
    if (index >= 0 && index <= 6)
        bytes_[index] = value;
}

void VTixSMSRecord::setFieldBoolean(int index, bool value)
{
    if (index >= 0 && index <= 1)
        booleans_[index] = value;
}

std::string VTixSMSRecord::getFieldString(int index) const
{
    return index >= 0 && index <= 4 ? strings_[index] : std::string();
}

uint8_t VTixSMSRecord::getFieldByte(int index) const
{
    return index >= 0 && index <= 6 ? bytes_[index] : 0;
}

bool VTixSMSRecord::getFieldBoolean(int index) const
{
    return index >= 0 && index <= 1 ? booleans_[index] : false;
}

void VTixSMSRecord::AfterCreate(VTixSMSList* list, VTixSMS_textSMSstates state)
{
    list_ = list;
    listItem_ = nullptr;
    state_ = state;
    pduFormat_ = VTixSMS_pduFmtWithSCA;
    kind_ = VTixSMS_smsKindStandard;
    setFieldString(fsSCA, "");
    setFieldByte(fbSCAType, 0);
    setFieldBoolean(fbFirstOctetValid, false);
    setFieldByte(fbFirstOctet, 0);
    setFieldByte(fbMR, 0);
    setFieldString(fsUserNumber, "");
    setFieldByte(fbUserNumberType, 0);
    setFieldByte(fbPID, 0);
    setFieldByte(fbDCS, 0);
    scts_ = 0;
    setFieldBoolean(fbValidityRelative, true);
    validity_ = 3.0;
    setFieldString(fsText, "");
    fieldsStale_ = false;
    pduStale_ = false;
    editedSinceLoad_ = false;
    internal_ = false;
    pduCount_ = 0;
    keptTPDU_.clear();
    resetCellBroadcast();
    windowTag_ = 0;
}

// ---- The setter rule --------------------------------------------------------

void VTixSMSRecord::refreshIfStale()
{
    if (fieldsStale_ && !internal_)
        refreshFields();
}

bool VTixSMSRecord::beginSet()
{
    if (internal_)
        return true;
    if (IsReadOnly())
        return false;
    refreshIfStale();
    return true;
}

void VTixSMSRecord::endSet(bool tpdu)
{
    if (internal_)
        return;
    if (tpdu)
        keptTPDU_.clear();
    editedSinceLoad_ = true;
    SetChangedFields(true);
}

void VTixSMSRecord::refreshRow()
{
    if (!internal_ && list_)
        list_->UpdateListItem(this);
}

void VTixSMSRecord::notify(VTixItemOperation op)
{
    if (list_)
        list_->DoSendSMSChangeNotify(op, this);
}

void VTixSMSRecord::SetChangedFields(bool changed)
{
    pduStale_ = changed;
    if (changed)
        notify(vtioUpdate);
}

// ---- Message type -----------------------------------------------------------

VTixSMS_MessageType VTixSMSRecord::GetMessageType()
{
    refreshIfStale();
    if (state_ == VTixSMS_state_Unknown || state_ == VTixSMS_state_ReadFailed)
        return VTixSMS_smsType_Unknown;
    if (kind_ == VTixSMS_smsKindCBMnolen)
        return VTixSMS_smsTypeCellInfo;
    if (!booleans_[fbFirstOctetValid])
        return VTixSMS_smsType_Unknown;
    const bool received = isReceived(state_);
    switch (bytes_[fbFirstOctet] & VTixSMS_bitMTI) {
    case 0:
        if (!received)
            return VTixSMS_smsTypeDELIVER_REPORT;
        return kind_ == VTixSMS_smsKindCBMwithlen ? VTixSMS_smsTypeCellInfo : VTixSMS_smsTypeDELIVER;
    case 1: return received ? VTixSMS_smsTypeSUBMIT_REPORT : VTixSMS_smsTypeSUBMIT;
    case 2: return received ? VTixSMS_smsTypeSTATUS_REPORT : VTixSMS_smsTypeCOMMAND;
    default: return VTixSMS_smsTypeRESERVED;
    }
}

void VTixSMSRecord::SetMessageType(VTixSMS_MessageType type)
{
    if (state_ == VTixSMS_state_Unknown || state_ == VTixSMS_state_ReadFailed)
        return;
    int mti = -1;
    if (isReceived(state_)) {
        switch (type) {
        case VTixSMS_smsTypeDELIVER: mti = 0; break;
        case VTixSMS_smsTypeSUBMIT_REPORT: mti = 1; break;
        case VTixSMS_smsTypeSTATUS_REPORT: mti = 2; break;
        case VTixSMS_smsTypeRESERVED: mti = 3; break;
        default: break;
        }
    } else {
        switch (type) {
        case VTixSMS_smsTypeDELIVER_REPORT: mti = 0; break;
        case VTixSMS_smsTypeSUBMIT: mti = 1; break;
        case VTixSMS_smsTypeCOMMAND: mti = 2; break;
        case VTixSMS_smsTypeRESERVED: mti = 3; break;
        default: break;
        }
    }
    if (mti < 0 || !beginSet())
        return;
    if (booleans_[fbFirstOctetValid] && (bytes_[fbFirstOctet] & VTixSMS_bitMTI) == mti)
        return;
    bytes_[fbFirstOctet] = uint8_t((bytes_[fbFirstOctet] & ~VTixSMS_bitMTI) | mti);
    booleans_[fbFirstOctetValid] = true;
    endSet();
    refreshRow();
}

bool VTixSMSRecord::IsReadOnly()
{
    const VTixSMS_MessageType type = GetMessageType();
    return type != VTixSMS_smsType_Unknown && type != VTixSMS_smsTypeSUBMIT;
}

// ---- Numbers ----------------------------------------------------------------

std::string VTixSMSRecord::numberText(int digitsField, int typeField, bool converted)
{
    refreshIfStale();
    const std::string& digits = strings_[digitsField];
    const uint8_t type = bytes_[typeField];
    return converted ? Tixutils::GsmNumberType2Phone(digits, type) : withPlus(digits, type);
}

bool VTixSMSRecord::setNumber(int digitsField, int typeField, const std::string& text,
                              bool converted)
{
    if (!beginSet())
        return false;
    std::string digits;
    uint8_t type = bytes_[typeField];
    if (converted) {
        int t = 0;
        if (!Tixutils::GsmPhone2NumberType(text, digits, t))
            return false;  // a text the conversion rejects changes nothing
        type = uint8_t(t);
    } else
        splitPlus(text, digits, type);
    if (digits == strings_[digitsField] && type == bytes_[typeField])
        return false;
    setFieldString(digitsField, digits);
    setFieldByte(typeField, type);
    // The centre is outside the TPDU: octets kept as read stay valid.
    endSet(digitsField != fsSCA);
    return true;
}

bool VTixSMSRecord::setByte(int index, uint8_t value, bool tpdu)
{
    if (!beginSet() || value == bytes_[index])
        return false;
    bytes_[index] = value;
    endSet(tpdu);
    return true;
}

std::string VTixSMSRecord::GetSCA()
{
    return numberText(fsSCA, fbSCAType, false);
}

void VTixSMSRecord::SetSCA(const std::string& number)
{
    setNumber(fsSCA, fbSCAType, number, false);
}

uint8_t VTixSMSRecord::GetSCAType()
{
    refreshIfStale();
    return bytes_[fbSCAType];
}

void VTixSMSRecord::SetSCAType(uint8_t type)
{
    setByte(fbSCAType, type, false);
}

std::string VTixSMSRecord::GetFullSCA()
{
    return numberText(fsSCA, fbSCAType, true);
}

void VTixSMSRecord::SetFullSCA(const std::string& phone)
{
    setNumber(fsSCA, fbSCAType, phone, true);
}

bool VTixSMSRecord::GetTypeBit(uint8_t mask)
{
    refreshIfStale();
    return (bytes_[fbFirstOctet] & mask) != 0;
}

void VTixSMSRecord::SetTypeBit(uint8_t mask, bool on)
{
    refreshIfStale();  // the bits kept are those of the octets loaded
    const uint8_t first = bytes_[fbFirstOctet];
    setByte(fbFirstOctet, uint8_t(on ? first | mask : first & ~mask));
}

uint8_t VTixSMSRecord::GetMR()
{
    refreshIfStale();
    return bytes_[fbMR];
}

void VTixSMSRecord::SetMR(uint8_t mr)
{
    setByte(fbMR, mr);
}

std::string VTixSMSRecord::GetUserNumber()
{
    return numberText(fsUserNumber, fbUserNumberType, false);
}

void VTixSMSRecord::SetUserNumber(const std::string& number)
{
    if (setNumber(fsUserNumber, fbUserNumberType, number, false))
        refreshRow();
}

uint8_t VTixSMSRecord::GetUserNumberType()
{
    refreshIfStale();
    return bytes_[fbUserNumberType];
}

void VTixSMSRecord::SetUserNumberType(uint8_t type)
{
    if (setByte(fbUserNumberType, type))
        refreshRow();
}

std::string VTixSMSRecord::GetUserPhone()
{
    return numberText(fsUserNumber, fbUserNumberType, true);
}

void VTixSMSRecord::SetUserPhone(const std::string& phone)
{
    if (setNumber(fsUserNumber, fbUserNumberType, phone, true))
        refreshRow();
}

std::string VTixSMSRecord::GetFixedUserNumber()
{
    refreshIfStale();
    // Blanks, dashes, brackets, points and slashes are for people only.
    return Tixutils::GsmStripNumberFormatting(strings_[fsUserNumber]);
}

std::string VTixSMSRecord::GetUserFixedPhone()
{
    const std::string fixed = GetFixedUserNumber();
    return fixed.empty() ? fixed : withPlus(fixed, bytes_[fbUserNumberType]);
}

// ---- Protocol and coding ----------------------------------------------------

uint8_t VTixSMSRecord::GetPID()
{
    refreshIfStale();
    return bytes_[fbPID];
}

void VTixSMSRecord::SetPID(uint8_t pid)
{
    setByte(fbPID, pid);
}

VTixSMS_Protocol VTixSMSRecord::GetProtocol()
{
    refreshIfStale();
    const uint8_t pid = bytes_[fbPID];
    const bool known = pid == 0x00 || pid == 0x20 || pid == 0x2E || pid == 0x2F ||
                       (pid >= 0x33 && pid <= 0x47);
    return known || (list_ && list_->GetUnknownPIDisOK()) ? VTixSMS_protocolSMS
                                                          : VTixSMS_protocol_Unknown;
}

void VTixSMSRecord::SetProtocol(VTixSMS_Protocol protocol)
{
    if (protocol == VTixSMS_protocolSMS)
        SetPID(0);
}

uint8_t VTixSMSRecord::GetDCS()
{
    refreshIfStale();
    return bytes_[fbDCS];
}

void VTixSMSRecord::SetDCS(uint8_t dcs)
{
    setByte(fbDCS, dcs);
}

VTixSMS_Encoding VTixSMSRecord::GetEncoding()
{
    const uint8_t dcs = GetDCS();
    if (dcs == 0x00 || (dcs >= 0xF0 && dcs <= 0xF3))
        return VTixSMS_encoding7;
    if (dcs >= 0xF4 && dcs <= 0xF7)
        return VTixSMS_encoding8;
    if (dcs & 0xE0)
        return VTixSMS_encoding_Unknown;
    switch (dcs >> 2 & 3) {
    case 0: return VTixSMS_encoding7;
    case 1: return VTixSMS_encoding8;
    case 2: return VTixSMS_encoding16;
    default: return VTixSMS_encoding_Unknown;
    }
}

void VTixSMSRecord::SetEncoding(VTixSMS_Encoding encoding)
{
    if (encoding == VTixSMS_encoding7)
        SetDCS(0x00);
    else if (encoding == VTixSMS_encoding8)
        SetDCS(0xF4);
}

// ---- Time stamps ------------------------------------------------------------

TDateTime VTixSMSRecord::GetSCTS()
{
    refreshIfStale();
    return scts_;
}

uint8_t VTixSMSRecord::GetSCTSZone()
{
    refreshIfStale();
    return bytes_[fbZone];
}

TDateTime VTixSMSRecord::GetSCTSTime()
{
    refreshIfStale();
    // The stamp is the centre's local time; its zone octet gives the way to
    // universal time, and the PC's zone rules for that instant the way back.
    const TDateTime universal = scts_ - SmsPdu::ZoneQuarterHours(bytes_[fbZone]) * 15 / 1440.0;
    return Tixutils::GMTtoLocalTime(universal);
}

TDateTime VTixSMSRecord::GetReportSCTS()
{
    refreshIfStale();
    return reportSCTS_;
}

TDateTime VTixSMSRecord::GetReportDT()
{
    refreshIfStale();
    return reportDT_;
}

// ---- Text and comment -------------------------------------------------------

std::string VTixSMSRecord::GetText()
{
    refreshIfStale();
    return strings_[fsText];
}

void VTixSMSRecord::SetText(const std::string& text)
{
    if (!beginSet() || text == strings_[fsText])
        return;
    setFieldString(fsText, text);
    endSet();
    refreshRow();
}

void VTixSMSRecord::SetComment(const std::string& text)
{
    changedMark_ = false;
    setFieldString(fsComment, text);
    if (changedMark_)
        notify(vtioUpdate);
}

// ---- Place and state --------------------------------------------------------

void VTixSMSRecord::SetState(VTixSMS_textSMSstates state)
{
    if (state == state_)
        return;
    state_ = state;
    refreshRow();
    if (list_ && list_->OnMessageStateChange)
        list_->OnMessageStateChange(list_, this);
    notify(vtioUpdate);
}

void VTixSMSRecord::SetPDUFormat(VTixSMS_PDUFormat format)
{
    if (format == pduFormat_)
        return;
    pduFormat_ = format;
    SetChangedFields(true);
}

void VTixSMSRecord::SetIndex(int index)
{
    if (index == index_)
        return;
    index_ = index;
    refreshRow();
}

void VTixSMSRecord::SetStorage(const std::string& storage)
{
    if (storage == storage_)
        return;
    storage_ = storage;
    refreshRow();
}

void VTixSMSRecord::SetListItem(void* row)
{
    if (row == listItem_)
        return;
    void* old = listItem_;
    listItem_ = row;
    if (old && list_)
        list_->ReleaseListItem(this, old);
    if (row)
        refreshRow();
}

VTixSMSRecord* VTixSMSRecord::GetPart(int i) const
{
    return i >= 0 && i < int(parts_.size()) ? parts_[size_t(i)] : nullptr;
}

// ---- Comparisons ------------------------------------------------------------

bool VTixSMSRecord::equals(VTixSMSRecord* other)
{
    if (!other || other->state_ != state_)
        return false;
    return other->fieldsStale_ ? pdusEqual(other) : fieldsEqual(other);
}

bool VTixSMSRecord::fieldsEqual(VTixSMSRecord* other)
{
    if (!other)
        return false;
    refreshIfStale();
    other->refreshIfStale();
    GetUserDataCount();
    other->GetUserDataCount();
    for (int i : {fsSCA, fsUserNumber, fsText})
        if (strings_[i] != other->strings_[i])
            return false;
    for (int i = 0; i <= fbZone; ++i)
        if (bytes_[i] != other->bytes_[i])
            return false;
    return booleans_[0] == other->booleans_[0] && booleans_[1] == other->booleans_[1] &&
           validity_ == other->validity_ && scts_ == other->scts_ &&
           userData_ == other->userData_;
}

bool VTixSMSRecord::pdusEqual(VTixSMSRecord* other)
{
    // Runs in the receive path: a PDU not yet built is no match.
    if (!other || pduStale_ || other->pduStale_ || other->pduCount_ != pduCount_)
        return false;
    for (int i = 0; i < pduCount_; ++i)
        if (pdu_[i] != other->pdu_[i])
            return false;
    return true;
}

std::string VTixSMSRecord::printString()
{
    return std::to_string(int(state_)) + "\r\n" + GetText();
}

std::string VTixSMSRecord::configString()
{
    return printString();
}

// ---- Life cycle -------------------------------------------------------------

void VTixSMSRecord::BeforeDestruction()
{
    if (destroying_)
        return;
    destroying_ = true;
    if (listItem_) {
        void* row = listItem_;
        listItem_ = nullptr;
        if (list_)
            list_->ReleaseListItem(this, row);
    }
    notify(vtioRemove);
    if (VTixSMSRecord* parent = parent_) {
        parent_ = nullptr;
        auto& siblings = parent->parts_;
        for (size_t i = 0; i < siblings.size(); ++i)
            if (siblings[i] == this) {
                siblings[i] = siblings.back();  // the last part takes the place
                siblings.pop_back();
                break;
            }
        if (siblings.empty() && list_)
            list_->messageDeleted(parent);
    }
    deleteParts();
    userData_.clear();
    for (const auto& entry : wanted_)
        if (list_ && (entry.Operation == VTixSMSOperation_Write ||
                      entry.Operation == VTixSMSOperation_Send))
            list_->DecPendingSomeOperations();
    wanted_.clear();
}

void VTixSMSRecord::deleteParts()
{
    while (!parts_.empty()) {
        VTixSMSRecord* part = parts_.back();
        parts_.pop_back();
        part->parent_ = nullptr;  // so that it does not come back to this record
        if (list_)
            list_->messageDeleted(part);
    }
}
