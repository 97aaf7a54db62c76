// VTixSMSRecord: a long text split into concatenated part records, and the
// part markers.
#include <algorithm>
#include <bitset>

#include "foundation/tixutils_debug.h"
#include "foundation/tixutils_gsm.h"
#include "sms/pdu_octets.h"
#include "sms/sms_list.h"
#include "sms/sms_record.h"

namespace {

constexpr uint8_t kConcatenationIEI = 0x00;
// IEI, length, reference, count, part number.
constexpr int kConcatenationOctets = 5;
constexpr char kSplitTwiceNote[] = "Asi nechces volat splitIfNeeded 2x na stejnou SMS";

// Room beside a user-data header of n octets (0: none): characters, or
// septets in 7-bit data.
int capacity(VTixSMS_Encoding encoding, int n)
{
    const int hdr = n > 0 ? n + 1 : 0;
    switch (encoding) {
    case VTixSMS_encoding8: return 140 - hdr;
    case VTixSMS_encoding16: return (140 - hdr) / 2;
    default: return 160 - (n > 0 ? SmsPdu::HeaderSeptets(n) : 0);
    }
}

// How many characters from pos on fit in that room (never an escape
// without its code).
size_t fitting(VTixSMS_Encoding encoding, const std::string& text, size_t pos, int room)
{
    const size_t left = text.size() - std::min(pos, text.size());
    if (encoding == VTixSMS_encoding8 || encoding == VTixSMS_encoding16)
        return std::min(left, size_t(std::max(0, room)));
    return Tixutils::GsmCharsFitting(text, text.size() - left, room);
}

std::string expand(const std::string& tmpl, int part, int count)
{
    std::string out;
    for (size_t i = 0; i < tmpl.size(); ++i) {
        if (tmpl[i] != '%') {
            out += tmpl[i];
            continue;
        }
        if (++i >= tmpl.size())
            break;
        switch (tmpl[i]) {
        case 'N': out += std::to_string(part + 1); break;
        case 'M': out += std::to_string(part + 2); break;
        case 'T': out += std::to_string(count); break;
        default: out += tmpl[i]; break;
        }
    }
    return out;
}

}  // namespace

int VTixSMSRecord::RoomTaken(VTixSMS_Encoding encoding, const std::string& text)
{
    return encoding == VTixSMS_encoding8 || encoding == VTixSMS_encoding16 ? int(text.size())
                                                                             : Tixutils::GsmSeptetLength(text);
}

bool VTixSMSRecord::splitIfNeeded()
{
    if (IsReadOnly())
        return false;
    const std::string text = GetText();
    const VTixSMS_Encoding encoding = GetEncoding();
    GetUserDataCount();
    const std::vector<VTixSMSRecord_UserData> own = userData_;
    const int ownOctets = own.empty() ? 0 : int(EncodeUserData(own).size());
    // Each message is filled to what fits beside its header.
    if (RoomTaken(encoding, text) <= std::max(0, capacity(encoding, ownOctets))) {
        if (!parts_.empty()) {
            Tixutils::DoGlobalDebug(kSplitTwiceNote);
            deleteParts();
        }
        return false;
    }
    if (!parts_.empty())
        Tixutils::DoGlobalDebug(kSplitTwiceNote);
    if (!list_)
        return false;  // parts live in the list
    // The old parts go first: their reference is free again.
    deleteParts();

    std::bitset<256> used;
    for (int r = 0; r < list_->getSMSCount(); ++r) {
        VTixSMSRecord* sms = list_->getSMS(r);
        for (int i = 0; i < sms->GetUserDataCount(); ++i)
            if (sms->userData_[size_t(i)].IEI == kConcatenationIEI)
                used.set(sms->userData_[size_t(i)].First);
    }
    int reference = 0;
    while (reference < 256 && used.test(size_t(reference)))
        ++reference;
    if (reference >= 256)
        return false;

    const int first = capacity(encoding, kConcatenationOctets + ownOctets);
    const int other = capacity(encoding, kConcatenationOctets);
    if (first < 1)
        return false;
    // The pieces of the parts, each filled to what fits.
    std::vector<std::string> pieces;
    for (size_t pos = 0; pos < text.size();) {
        const size_t take = fitting(encoding, text, pos, pieces.empty() ? first : other);
        if (take == 0 || pieces.size() == 255)
            return false;  // nothing fits, or more parts than the one-octet count
        pieces.push_back(text.substr(pos, take));
        pos += take;
    }
    const int count = int(pieces.size());

    list_->BeginUpdate();
    for (int p = 1; p <= count; ++p) {
        VTixSMSRecord* part = list_->smsDoesExist("PC", 0);
        part->parent_ = this;
        parts_.push_back(part);
        part->pduFormat_ = pduFormat_;
        part->state_ = state_;
        part->booleans_[fbFirstOctetValid] = booleans_[fbFirstOctetValid];
        part->bytes_[fbFirstOctet] = bytes_[fbFirstOctet] & (VTixSMS_bitMTI | VTixSMS_bitRP |
                                                             VTixSMS_bitSRR | VTixSMS_bitRD);
        part->strings_[fsSCA] = strings_[fsSCA];
        part->bytes_[fbSCAType] = bytes_[fbSCAType];
        part->strings_[fsUserNumber] = strings_[fsUserNumber];
        part->bytes_[fbUserNumberType] = bytes_[fbUserNumberType];
        part->bytes_[fbPID] = bytes_[fbPID];
        part->bytes_[fbDCS] = bytes_[fbDCS];
        part->booleans_[fbValidityRelative] = booleans_[fbValidityRelative];
        part->validity_ = validity_;
        part->bytes_[fbMR] = 0;
        part->strings_[fsText] = pieces[size_t(p - 1)];
        part->userData_.clear();
        part->userData_.push_back(VTixSMSRecord_UserData{
            kConcatenationIEI, uint8_t(reference), std::string{char(count), char(p)}});
        if (p == 1)
            part->userData_.insert(part->userData_.end(), own.begin(), own.end());
        part->refreshPDU();
    }
    list_->EndUpdate();
    notify(vtioUpdate);
    return true;
}

std::string VTixSMSRecord::createBreaker(int which, int part, int count, int* length)
{
    const std::string tmpl = list_ ? list_->GetBreakers().GetBreaker(which)
                                   : VTixSMS_BreakerDispatcher::GetDefaultBreaker(which);
    const std::string full = expand(tmpl, part, count);
    if (!length)
        return full;
    // A fixed room: what fits is stored, the rest of the room stays blank,
    // and the caller learns what the whole expansion needs.
    std::string out(size_t(std::max(0, *length)), ' ');
    std::copy_n(full.begin(), std::min(out.size(), full.size()), out.begin());
    *length = int(full.size());
    return out;
}

int VTixSMSRecord::findBreakerLength(int which, int part, int count)
{
    int length = 0;
    createBreaker(which, part, count, &length);
    return length;
}
