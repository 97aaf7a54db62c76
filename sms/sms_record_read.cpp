// VTixSMSRecord: PDU octets to fields (SMS-DELIVER, SMS-SUBMIT,
// SMS-STATUS-REPORT and cell-broadcast pages), and the user-data header
// elements. Reading never runs past the octet count and never raises.
#include <algorithm>

#include "foundation/tixutils_datetime.h"
#include "foundation/tixutils_gsm.h"
#include "sms/pdu_octets.h"
#include "sms/sms_record.h"

using Tixutils::TDateTime;

namespace {

// The longest user data a message holds: 160 septets or 140 octets.
constexpr int kMaxSeptets = 160;
constexpr int kMaxOctets = 140;
// A cell-broadcast page: 93 septets in 82 octets.
constexpr int kPageSeptets = 93;
constexpr int kPageOctets = 82;

}  // namespace

// ---- Header elements ----------------------------------------------------------

std::string VTixSMSRecord::EncodeUserData(const std::vector<VTixSMSRecord_UserData>& elements)
{
    std::string raw;
    for (const auto& e : elements) {
        raw += char(e.IEI);
        if (e.First == 255 && e.Rest.empty()) {
            raw += '\0';  // an element without data
            continue;
        }
        raw += char(uint8_t(e.Rest.size() + 1));
        raw += char(e.First);
        raw += e.Rest;
    }
    if (raw.size() > 254)
        raw.resize(254);
    return raw;
}

bool VTixSMSRecord::DecodeUserData(const std::string& raw,
                                   std::vector<VTixSMSRecord_UserData>& elements)
{
    size_t pos = 0;
    while (raw.size() - pos >= 2) {
        VTixSMSRecord_UserData e;
        e.IEI = uint8_t(raw[pos]);
        const size_t length = uint8_t(raw[pos + 1]);
        pos += 2;
        if (length > raw.size() - pos)
            return false;
        if (length == 0)
            e.First = 255;
        else {
            e.First = uint8_t(raw[pos]);
            e.Rest = raw.substr(pos + 1, length - 1);
        }
        pos += length;
        elements.push_back(std::move(e));
    }
    return pos == raw.size();
}

void VTixSMSRecord::splitRawHeader()
{
    if (!userData_.empty() || strings_[fsUDH].empty())
        return;
    std::vector<VTixSMSRecord_UserData> elements;
    if (DecodeUserData(strings_[fsUDH], elements))
        userData_ = std::move(elements);
}

int VTixSMSRecord::GetUserDataCount()
{
    refreshIfStale();
    splitRawHeader();
    return int(userData_.size());
}

VTixSMSRecord_UserData VTixSMSRecord::GetUserData(int i)
{
    if (i < 0 || i >= GetUserDataCount())
        return VTixSMSRecord_UserData{255, 0, std::string()};
    return userData_[size_t(i)];
}

void VTixSMSRecord::SetUserData(int i, const VTixSMSRecord_UserData& element)
{
    if (i < 0 || i >= GetUserDataCount())
        return;
    userData_[size_t(i)] = element;
    endSet();
}

void VTixSMSRecord::addUserData(uint8_t iei, uint8_t first, const std::string& rest)
{
    GetUserDataCount();
    userData_.push_back(VTixSMSRecord_UserData{iei, first, rest});
    endSet();
}

// ---- Read -----------------------------------------------------------------------

bool VTixSMSRecord::refreshFields()
{
    fieldsStale_ = false;
    internal_ = true;
    const bool ok = readPDU();
    internal_ = false;
    pduStale_ = false;
    if (!ok)
        SetState(VTixSMS_state_ReadFailed);
    refreshRow();
    return ok;
}

bool VTixSMSRecord::readPDU()
{
    keptTPDU_.clear();
    if (pduCount_ == 0)
        return false;
    int pos = 0;
    std::string sca;
    uint8_t scaType = 0;
    if (pduFormat_ != VTixSMS_pduFmtWoutSCA && kind_ == VTixSMS_smsKindStandard) {
        const int length = pdu_[0];
        if (length > 10 || 1 + length >= pduCount_)
            return false;
        if (state_ == VTixSMS_state_ReadFailed)
            SetState(VTixSMS_state_Unknown);
        if (length > 0) {
            scaType = pdu_[1];
            for (int i = 2; i <= length; ++i) {
                const uint8_t lo = pdu_[i] & 0x0F, hi = pdu_[i] >> 4;
                if (lo == 0xF)
                    break;
                sca += Tixutils::NibToTelAsc(lo);
                if (hi == 0xF)
                    break;
                sca += Tixutils::NibToTelAsc(hi);
            }
        }
        pos = 1 + length;
    }
    const int tpduStart = pos;
    if (kind_ == VTixSMS_smsKindStandard) {
        bytes_[fbFirstOctet] = pdu_[pos++];
        booleans_[fbFirstOctetValid] = true;
    } else if (kind_ == VTixSMS_smsKindCBMwithlen)
        ++pos;
    strings_[fsSCA] = sca;
    bytes_[fbSCAType] = scaType;

    bool ok = false;
    const VTixSMS_MessageType type = GetMessageType();
    switch (type) {
    case VTixSMS_smsTypeDELIVER:
    case VTixSMS_smsTypeDELIVER_REPORT: ok = readDeliver(pos); break;
    case VTixSMS_smsTypeSUBMIT: ok = readSubmit(pos); break;
    case VTixSMS_smsTypeSTATUS_REPORT: ok = readStatusReport(pos); break;
    case VTixSMS_smsTypeCellInfo: ok = readCellBroadcast(pos); break;
    default: break;
    }
    // Layouts the builder does not write keep their octets as read.
    const bool enhanced = type == VTixSMS_smsTypeSUBMIT && !booleans_[fbValidityRelative] &&
                          validity_ == EnhancedValidity;
    if (ok && (type == VTixSMS_smsTypeSTATUS_REPORT || type == VTixSMS_smsTypeCellInfo || enhanced))
        keptTPDU_.assign(reinterpret_cast<const char*>(pdu_) + tpduStart, size_t(pduCount_ - tpduStart));
    return ok;
}

bool VTixSMSRecord::readAddress(int& pos, std::string& number, uint8_t& type)
{
    if (pduCount_ - pos < 2)
        return false;
    const int digits = pdu_[pos];
    type = pdu_[pos + 1];
    pos += 2;
    // Longer than any address: such a message could not be built again.
    if (digits > MaxAddressDigits)
        return false;
    const int octets = (digits + 1) / 2;
    if (pduCount_ - pos < octets)
        return false;
    number.clear();
    if ((type & 0x70) == 0x50) {
        // Alphanumeric: GSM text in the septets the semi-octets hold.
        int septets = digits * 4 / 7;
        // A sender that counted whole octets makes the fill bits of the
        // last one a septet of their own when they are seven: a 0 there is
        // no "@" but the end of the name ("Telekom" in 0x0E semi-octets).
        if (digits % 2 == 0 && septets > 0 && septets * 7 == octets * 8 &&
            SmsPdu::GetSeptet(pdu_ + pos, octets, septets - 1) == 0)
            --septets;
        number = SmsPdu::GetTextSeptets(pdu_ + pos, octets, 0, septets);
    } else {
        for (int i = 0; i < digits; ++i) {
            const uint8_t b = pdu_[pos + i / 2];
            number += Tixutils::NibToTelAsc(i % 2 == 0 ? b & 0x0F : b >> 4);
        }
    }
    pos += octets;
    return true;
}

bool VTixSMSRecord::readTimeStamp(int& pos, TDateTime& when, uint8_t* zone)
{
    if (pduCount_ - pos < 7)
        return false;
    int v[6];
    for (int i = 0; i < 6; ++i)
        v[i] = SmsPdu::FromSwappedDecimal(pdu_[pos + i]);
    const int year = v[0] < 90 ? 2000 + v[0] : 1900 + v[0];
    TDateTime date = 0;
    if (year < 1990 || year > 2090 || v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31)
        date = Tixutils::Date();
    else
        date = Tixutils::SafeEncodeDate(year, v[1], v[2]);
    TDateTime time = 0;
    if (!Tixutils::TryEncodeTime(v[3], v[4], v[5], 0, time)) {
        const TDateTime now = Tixutils::Now();
        time = now - Tixutils::Date();
    }
    when = date + time;
    if (zone)
        *zone = pdu_[pos + 6];
    pos += 7;
    return true;
}

void VTixSMSRecord::resetCellBroadcast()
{
    cbSerial_ = 65535;
    cbMessageId_ = 65535;
    cbPage_ = 255;
    cbPages_ = 255;
}

bool VTixSMSRecord::readPartyPidDcs(int& pos)
{
    if (!readAddress(pos, strings_[fsUserNumber], bytes_[fbUserNumberType]))
        return false;
    if (pduCount_ - pos < 2)
        return false;
    bytes_[fbPID] = pdu_[pos++];
    if (GetProtocol() != VTixSMS_protocolSMS)
        return false;
    bytes_[fbDCS] = pdu_[pos++];
    resetCellBroadcast();
    return true;
}

bool VTixSMSRecord::readDeliver(int& pos)
{
    if (!readPartyPidDcs(pos))
        return false;
    booleans_[fbValidityRelative] = false;
    validity_ = 0;
    if (pduCount_ - pos < 8)
        return false;
    readTimeStamp(pos, scts_, &bytes_[fbZone]);
    reportSCTS_ = 0;
    reportDT_ = 0;
    return readUserData(pos);
}

bool VTixSMSRecord::readSubmit(int& pos)
{
    if (pduCount_ - pos < 1)
        return false;
    bytes_[fbMR] = pdu_[pos++];
    if (!readPartyPidDcs(pos))
        return false;
    scts_ = 0;
    switch (bytes_[fbFirstOctet] >> 3 & 3) {
    case 0:
        booleans_[fbValidityRelative] = false;
        validity_ = 0;
        break;
    case 1:
        // Enhanced format: not read; the message keeps its octets.
        booleans_[fbValidityRelative] = false;
        validity_ = EnhancedValidity;
        return true;
    case 2:
        if (pduCount_ - pos < 1)
            return false;
        booleans_[fbValidityRelative] = true;
        validity_ = double(SmsPdu::RelativeValiditySeconds(pdu_[pos++])) / 86400.0;
        break;
    default:
        booleans_[fbValidityRelative] = false;
        if (!readTimeStamp(pos, validity_, nullptr))
            return false;
        break;
    }
    reportSCTS_ = 0;
    reportDT_ = 0;
    return readUserData(pos);
}

bool VTixSMSRecord::readStatusReport(int& pos)
{
    if (pduCount_ - pos < 1)
        return false;
    bytes_[fbMR] = pdu_[pos++];
    if (!readAddress(pos, strings_[fsUserNumber], bytes_[fbUserNumberType]))
        return false;
    bytes_[fbPID] = 0;
    bytes_[fbDCS] = 0;
    scts_ = 0;
    // Bits 4..3 here are TP-LP and an unused bit, no validity format: both
    // time stamps always follow.
    if (pduCount_ - pos < 8 || !readTimeStamp(pos, reportSCTS_, nullptr))
        return false;
    if (pduCount_ - pos < 8 || !readTimeStamp(pos, reportDT_, nullptr))
        return false;
    resetCellBroadcast();
    strings_[fsUDH].clear();
    userData_.clear();
    strings_[fsText].clear();
    return true;
}

bool VTixSMSRecord::readCellBroadcast(int& pos)
{
    if (pduCount_ - pos < 7)
        return false;
    cbSerial_ = uint16_t(pdu_[pos] << 8 | pdu_[pos + 1]);
    cbMessageId_ = uint16_t(pdu_[pos + 2] << 8 | pdu_[pos + 3]);
    bytes_[fbDCS] = pdu_[pos + 4];
    cbPage_ = pdu_[pos + 5] >> 4;
    cbPages_ = pdu_[pos + 5] & 0x0F;
    pos += 6;
    strings_[fsUserNumber].clear();
    bytes_[fbUserNumberType] = 0;
    bytes_[fbPID] = 0;
    scts_ = Tixutils::Now();
    const bool hasHeader = (bytes_[fbFirstOctet] & VTixSMS_bitUDHI) != 0;
    const int headerLength = hasHeader ? pdu_[pos] : 0;
    switch (GetEncoding()) {
    case VTixSMS_encoding7: {
        if (!decodeUserText(pos, kPageSeptets, hasHeader ? headerLength : -1, VTixSMS_encoding7,
                            kPageSeptets))
            return false;
        std::string& text = strings_[fsText];
        while (!text.empty() && text.back() == '\r')
            text.pop_back();
        return true;
    }
    case VTixSMS_encoding8:
        // The 82 octets a page holds.
        return decodeUserText(pos, kPageOctets, hasHeader ? headerLength : -1, VTixSMS_encoding8,
                              kPageOctets);
    default:
        return false;
    }
}

bool VTixSMSRecord::readUserData(int& pos)
{
    if (pduCount_ - pos < 1)
        return false;
    const int udl = pdu_[pos++];
    if (pos == pduCount_) {
        strings_[fsText].clear();
        strings_[fsUDH].clear();
        userData_.clear();
        return udl == 0;
    }
    int headerLength = -1;
    if (bytes_[fbFirstOctet] & VTixSMS_bitUDHI) {
        headerLength = pdu_[pos];
        if (pos + 1 >= pduCount_)
            return false;
    }
    const VTixSMS_Encoding encoding = GetEncoding();
    if (encoding == VTixSMS_encoding_Unknown)
        return false;
    return decodeUserText(pos, udl, headerLength, encoding,
                          encoding == VTixSMS_encoding7 ? kMaxSeptets : kMaxOctets);
}

// User data from pos (the header length octet when headerLength >= 0):
// the header into its elements, then the text. A TP-UDL above `limit` is
// read as `limit`.
bool VTixSMSRecord::decodeUserText(int pos, int udl, int headerLength, VTixSMS_Encoding encoding,
                                   int limit)
{
    std::string& text = strings_[fsText];
    text.clear();
    strings_[fsUDH].clear();
    userData_.clear();
    const bool hasHeader = headerLength >= 0;
    const int available = pduCount_ - pos;
    const int hdr = hasHeader ? headerLength + 1 : 0;
    if (hdr > available)
        return false;
    if (hasHeader) {
        strings_[fsUDH].assign(reinterpret_cast<const char*>(pdu_) + pos + 1, size_t(headerLength));
        if (!DecodeUserData(strings_[fsUDH], userData_))
            return false;
    }
    const int total = std::min(udl, limit);
    if (encoding == VTixSMS_encoding7) {
        const int h = hasHeader ? SmsPdu::HeaderSeptets(headerLength) : 0;
        if (h > total || SmsPdu::SeptetOctets(total) > available)
            return false;
        text = SmsPdu::GetTextSeptets(pdu_ + pos, available, h, total);
        return true;
    }
    if (total > available || total < hdr)
        return false;
    if (encoding == VTixSMS_encoding8) {
        for (int i = hdr; i < total; ++i)
            text += Tixutils::TranslateGSM2Ascii(pdu_[pos + i]);
        return true;
    }
    if ((udl - hdr) % 2 != 0)
        return false;
    for (int i = hdr; i + 1 < total; i += 2)
        text += Tixutils::TranslateGSM2Ascii_U(pdu_[pos + i] << 8 | pdu_[pos + i + 1]);
    return true;
}
