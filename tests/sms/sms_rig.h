#pragma once
#include <memory>
#include <string>
#include <vector>

#include "foundation/tixutils_datetime.h"
#include "sms/sms_list.h"
#include "sms/sms_record.h"
#include "tests/support/ts23038.h"

// What the SMS model tests share: a time zone and a clock of their own,
// the debug notes written, records made from hex text.
namespace SmsRig {

// Sets TZ for the test process (setenv + tzset) and restores it.
class TZone {
public:
    explicit TZone(const char* zone);
    ~TZone();
    TZone(const TZone&) = delete;
    TZone& operator=(const TZone&) = delete;

private:
    bool had_ = false;
    std::string old_;
};

// Now() and Date() answer this moment until destruction.
class TFixedNow {
public:
    explicit TFixedNow(Tixutils::TDateTime value);
    ~TFixedNow();
};

// Collects the developer debug notes.
class TDebugNotes {
public:
    TDebugNotes();
    ~TDebugNotes();
    std::vector<std::string> texts;
};

Tixutils::TDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// Hex text without blanks.
std::string Hex(const std::string& spaced);
// "15.3.2024 13:45:30".
std::string Text(Tixutils::TDateTime value);

// A record of its own (no list) in the given state and format, loaded with
// the hex text.
std::unique_ptr<VTixSMSRecord> Read(const std::string& hex,
                                    VTixSMS_textSMSstates state = VTixSMS_stateSIMRecvUnread,
                                    VTixSMS_PDUFormat format = VTixSMS_pduFmtWithSCA,
                                    VTixSMSList* list = nullptr);
// A composed SUBMIT (state SIMUnsent) of its own, or in the list.
std::unique_ptr<VTixSMSRecord> Submit(VTixSMSList* list = nullptr);
// The built PDU of a record (create1part, then GetPDUText).
std::string Built(VTixSMSRecord& sms);

using TestSupport::Ts23038;
// Characters of code page 1250 whose 7-bit code is the same in the
// program's tables and in TS 23.038 (and reads back to the character).
std::string AgreeingCharacters();

}  // namespace SmsRig
