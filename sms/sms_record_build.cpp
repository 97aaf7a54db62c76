// VTixSMSRecord: the fields to PDU octets (SMS-SUBMIT and SMS-DELIVER layout
// after TS 23.040), the raw PDU and its hex text.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "foundation/tixutils_datetime.h"
#include "foundation/tixutils_gsm.h"
#include "foundation/tixutils_quote.h"
#include "sms/pdu_octets.h"
#include "sms/sms_record.h"

using Tixutils::TDateTime;

namespace {

[[noreturn]] void raise(const char* operation, const char* reason)
{
    throw std::runtime_error(std::string("VTixSMSRecord.") + operation + ": " + reason);
}

// The octets of a PDU being built; nothing of it reaches the record
// unless the whole build succeeds.
class PduWriter {
public:
    void add(uint8_t value)
    {
        if (out_.size() >= size_t(VTixSMSRecord::MaxPDUBytes))
            raise("preparePDUpart.myAddPDUbyte", "too many bytes");
        out_ += char(value);
    }
    void add(const std::string& octets)
    {
        for (char c : octets)
            add(uint8_t(c));
    }
    // Digits as semi-octets, low nibble first, an odd count closed by 0xF.
    void addSemiOctets(const std::string& digits)
    {
        for (size_t i = 0; i < digits.size(); i += 2) {
            const uint8_t lo = Tixutils::TelAscToNib(digits[i], 0xF);
            const uint8_t hi = i + 1 < digits.size() ? Tixutils::TelAscToNib(digits[i + 1], 0xF) : 0xF;
            add(uint8_t(hi << 4 | lo));
        }
    }
    void addTimeStamp(TDateTime when, uint8_t zone)
    {
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
        Tixutils::DecodeDate(when, year, month, day);
        Tixutils::DecodeTime(when, hour, minute, second, ms);
        for (int v : {year % 100, month, day, hour, minute, second})
            add(SmsPdu::ToSwappedDecimal(v));
        add(zone);
    }
    const std::string& octets() const { return out_; }

private:
    std::string out_;
};

// The 7-bit code of a character; one without a code goes as "?".
uint8_t septetOf(char c)
{
    const int code = Tixutils::TranslateAscii2GSM(c);
    return uint8_t(code < 0 ? Tixutils::TranslateAscii2GSM('?') : code);
}

bool isAlphanumeric(uint8_t type)
{
    return (type & 0x70) == 0x50;
}

}  // namespace

// ---- Raw PDU ----------------------------------------------------------------

std::string VTixSMSRecord::GetPDUText()
{
    if (pduStale_)
        raise("GetPDUText", "part not prepared");
    return Tixutils::BytesToHexaString2(pdu_, pduCount_);
}

void VTixSMSRecord::SetPDUText(const std::string& text)
{
    editedSinceLoad_ = false;
    pduCount_ = 0;
    keptTPDU_.clear();
    const std::string hex = text.substr(0, text.find_first_of("\r\x1A\x1B"));
    bool failed = false;
    const std::string octets = Tixutils::HexaStringToBytes(hex, failed);
    if (!failed) {
        if (octets.size() > size_t(MaxPDUBytes))
            fieldsStale_ = true;  // read as empty: the record becomes ReadFailed
        else
            for (char c : octets)
                addPDUbyte(uint8_t(c));
    }
    if (fieldsStale_)
        refreshFields();
}

uint8_t VTixSMSRecord::GetPDUByte(int i)
{
    if (pduStale_)
        raise("GetPDUByte", "part not prepared");
    return i >= 0 && i < pduCount_ ? pdu_[i] : 0;
}

void VTixSMSRecord::SetPDUByte(int i, uint8_t value)
{
    if (i < 0 || i >= MaxPDUBytes)
        return;
    while (pduCount_ < i)
        pdu_[pduCount_++] = 0;
    pdu_[i] = value;
    pduCount_ = std::max(pduCount_, i + 1);
    fieldsStale_ = true;
}

void VTixSMSRecord::addPDUbyte(uint8_t value)
{
    if (pduCount_ >= MaxPDUBytes)
        raise("addPDUbyte", "too many bytes");
    pdu_[pduCount_++] = value;
    fieldsStale_ = true;
}

int VTixSMSRecord::GetCMGWlen()
{
    if (pduCount_ == 0)
        return 0;
    switch (pduFormat_) {
    case VTixSMS_pduFmtWoutSCA: return pduCount_;
    case VTixSMS_pduFmtEmptySCA: return pduCount_ - 1;
    default: return std::max(0, pduCount_ - 1 - pdu_[0]);
    }
}

void VTixSMSRecord::refreshPDU()
{
    refreshIfStale();
    fieldsStale_ = false;
    pduStale_ = false;
}

void VTixSMSRecord::fixChanges()
{
    refreshPDU();
}

void VTixSMSRecord::create1part()
{
    refreshPDU();
    buildPDU();
}

void VTixSMSRecord::preparePDUpart(int)
{
    buildPDU();
}

// ---- Build ------------------------------------------------------------------

void VTixSMSRecord::buildPDU()
{
    refreshIfStale();
    const std::string text = strings_[fsText];
    textLength_ = int(text.size());
    PduWriter w;

    // SMS-centre part.
    if (kind_ == VTixSMS_smsKindStandard) {
        if (pduFormat_ == VTixSMS_pduFmtEmptySCA)
            w.add(0);
        else if (pduFormat_ == VTixSMS_pduFmtWithSCA) {
            const std::string& sca = strings_[fsSCA];
            if (sca.empty())
                w.add(0);
            else {
                if (sca.size() > size_t(MaxAddressDigits))
                    raise("preparePDUpart", "SMS-centre number too long");
                w.add(uint8_t((sca.size() + 1) / 2 + 1));
                w.add(bytes_[fbSCAType]);
                w.addSemiOctets(sca);
            }
        }
    }

    uint8_t first = bytes_[fbFirstOctet];
    std::string header = strings_[fsUDH];
    if (!keptTPDU_.empty()) {
        // A layout this builder does not write: the octets as read.
        w.add(keptTPDU_);
    } else {
        const bool submit = GetMessageType() == VTixSMS_smsTypeSUBMIT;
        const bool relative = booleans_[fbValidityRelative];
        // An enhanced validity that was never read is not written again.
        const bool hasValidity =
            submit && (relative || (validity_ != 0 && validity_ != EnhancedValidity));
        first = uint8_t(first & ~VTixSMS_bitVPF);
        if (hasValidity)
            first |= relative ? 0x10 : 0x18;
        const bool hasHeader = GetUserDataCount() > 0;
        header = hasHeader ? EncodeUserData(userData_) : std::string();
        if (hasHeader && header.size() + 1 > 140)
            raise("preparePDUpart", "user-data header too long");
        first = uint8_t(hasHeader ? first | VTixSMS_bitUDHI : first & ~VTixSMS_bitUDHI);
        w.add(first);
        if (submit)
            w.add(bytes_[fbMR]);

        // Other party's address.
        const uint8_t type = bytes_[fbUserNumberType];
        if (isAlphanumeric(type)) {
            // A name as GSM text; the count is the semi-octets it fills.
            const std::string& name = strings_[fsUserNumber];
            const int septets = Tixutils::GsmSeptetLength(name);
            std::string packed;
            SmsPdu::PutTextSeptets(packed, 0, name, septets);
            int semiOctets = (septets * 7 + 3) / 4;
            // A last "@" (code 0) that ends on an octet's end would read
            // back as the fill bits: one more semi-octet keeps it a letter.
            const auto* octets = reinterpret_cast<const uint8_t*>(packed.data());
            if (septets > 0 && septets * 7 % 8 == 0 && SmsPdu::GetSeptet(octets, int(packed.size()), septets - 1) == 0)
                ++semiOctets;
            if (semiOctets > MaxAddressDigits)
                raise("preparePDUpart", "destination number too long");
            packed.resize(size_t((semiOctets + 1) / 2), '\0');
            w.add(uint8_t(semiOctets));
            w.add(type);
            w.add(packed);
        } else {
            const std::string digits = GetFixedUserNumber();
            if (digits.size() > size_t(MaxAddressDigits))
                raise("preparePDUpart", "destination number too long");
            w.add(uint8_t(digits.size()));
            w.add(type);
            w.addSemiOctets(digits);
        }
        w.add(bytes_[fbPID]);
        w.add(bytes_[fbDCS]);

        if (submit) {
            if (hasValidity && relative) {
                const double s = std::floor(validity_ * 86400.0 + 0.5);
                const int64_t seconds = !(s > 0) ? 0 : s > 4e10 ? int64_t(4e10) : int64_t(s);
                w.add(SmsPdu::RelativeValidityOctet(seconds));
            } else if (hasValidity) {
                // The zone of the PC at that local time, summer or not.
                const int minutes = Tixutils::LocalTimeOffsetMinutes(validity_);
                w.addTimeStamp(validity_, SmsPdu::ZoneOctet(minutes / 15));
            }
        } else
            w.addTimeStamp(scts_, bytes_[fbZone]);

        const int n = int(header.size());
        const int length = int(text.size());
        switch (GetEncoding()) {
        case VTixSMS_encoding7: {
            const int h = hasHeader ? SmsPdu::HeaderSeptets(n) : 0;
            std::string ud;
            if (hasHeader)
                ud = char(n) + header;
            // Exactly the septets TP-UDL counts: whole characters, a
            // character of the extension table as its escape and code.
            const int udl = h + SmsPdu::PutTextSeptets(ud, h, text, std::max(0, 160 - h));
            ud.resize(size_t(SmsPdu::SeptetOctets(udl)), '\0');
            w.add(uint8_t(udl));
            w.add(ud);
            break;
        }
        case VTixSMS_encoding8: {
            const int hdr = hasHeader ? n + 1 : 0;
            const int udl = std::min(140, hdr + length);
            w.add(uint8_t(udl));
            if (hasHeader) {
                w.add(uint8_t(n));
                w.add(header);
            }
            // A character without a code goes as "?" so that the octets
            // read back build the same again.
            for (int k = 0; k < udl - hdr; ++k)
                w.add(septetOf(text[size_t(k)]));
            break;
        }
        case VTixSMS_encoding16: {
            const int hdr = hasHeader ? n + 1 : 0;
            // TP-UDL counts exactly the octets written: whole characters.
            const int chars = std::min(length, (140 - hdr) / 2);
            w.add(uint8_t(hdr + 2 * chars));
            if (hasHeader) {
                w.add(uint8_t(n));
                w.add(header);
            }
            for (int k = 0; k < chars; ++k) {
                const int code = Tixutils::TranslateAscii2GSM_U(text[size_t(k)]);
                w.add(uint8_t(code >> 8));
                w.add(uint8_t(code));
            }
            break;
        }
        default:
            // Unknown coding: no user data, but TP-UDL 0 all the same (a
            // message without it could not be read back).
            w.add(0);
            break;
        }
    }

    const std::string& octets = w.octets();
    std::copy(octets.begin(), octets.end(), pdu_);
    pduCount_ = int(octets.size());
    bytes_[fbFirstOctet] = first;
    strings_[fsUDH] = header;
    fieldsStale_ = false;
    pduStale_ = false;
}
