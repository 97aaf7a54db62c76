// SMS PDUs as the device lists them, and the validity a user types: any text
// into VTixSMSRecord::SetPDUText (each format, received and sending state)
// and into SetValidityText. Nothing raises, nothing is read past the octet
// count, and a PDU that reads builds octets that read and build the same.
//
// Input: a control byte (format, state, whether the PDU is raw octets to be
// written as hex), the PDU text, the separator, the validity text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "foundation/tixutils_datetime.h"
#include "foundation/tixutils_quote.h"
#include "fuzz/support/fuzz_input.h"
#include "sms/sms_list.h"

namespace {

const VTixSMS_textSMSstates kStates[] = {
    VTixSMS_stateSIMRecvUnread, VTixSMS_stateSIMRecvRead, VTixSMS_stateSIMUnsent,
    VTixSMS_stateSIMSent,       VTixSMS_state_Unknown,    VTixSMS_state_ReadFailed,
};

// A fixed clock and a zone with summer time, the same on every run.
void SetUpOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    ::setenv("TZ", "Europe/Prague", 1);
    ::tzset();
    Tixutils::TDateTime now = 0;
    Tixutils::TryEncodeDate(2024, 6, 1, now);
    Tixutils::SetNowFunction([now] { return now + 0.4375; });
}

std::unique_ptr<VTixSMSRecord> Fresh(VTixSMSList* list, VTixSMS_textSMSstates state,
                                     VTixSMS_PDUFormat format)
{
    auto sms = std::make_unique<VTixSMSRecord>();
    sms->AfterCreate(list, state);
    sms->SetPDUFormat(format);
    return sms;
}

// Builds a record that read; the octets must read and build the same.
void CheckFixedPoint(VTixSMSRecord& sms, VTixSMSList* list)
{
    std::string built;
    try {
        sms.create1part();
        built = sms.GetPDUText();
    } catch (const std::exception&) {
        FUZZ_REQUIRE(!"a message that was read builds");
    }
    FUZZ_REQUIRE(sms.GetPDUCount() <= VTixSMSRecord::MaxPDUBytes);
    FUZZ_REQUIRE(sms.GetCMGWlen() >= 0 && sms.GetCMGWlen() <= sms.GetPDUCount());
    auto again = Fresh(list, sms.GetState(), sms.GetPDUFormat());
    again->SetPDUText(built);
    FUZZ_REQUIRE(again->GetState() != VTixSMS_state_ReadFailed);
    again->create1part();
    FUZZ_REQUIRE(again->GetPDUText() == built);
    FUZZ_REQUIRE(again->pdusEqual(&sms));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetUpOnce();
    Fuzz::TInput in(data, size);
    const uint8_t control = in.byte();
    const auto format = VTixSMS_PDUFormat(control % 3);
    const VTixSMS_textSMSstates state = kStates[control / 3 % 6];
    const bool raw = control & 0x80;
    std::string pdu = in.text();
    if (raw)
        pdu = Tixutils::BytesToHexaString(pdu);
    const std::string validity = in.text();

    VTixSMSList list;
    list.SetUnknownPIDisOK(control & 0x40);
    try {
        auto sms = Fresh(&list, state, format);
        sms->SetPDUText(pdu);
        // The same text over octets left from before: a reader that looked
        // past the count would see them and differ.
        auto dirty = Fresh(&list, state, format);
        for (int i = 0; i < VTixSMSRecord::MaxPDUBytes; ++i)
            dirty->SetPDUByte(i, uint8_t(0xA5 ^ i));
        dirty->SetPDUText(pdu);
        if (sms->GetPDUCount() > 0) {
            FUZZ_REQUIRE(dirty->GetState() == sms->GetState());
            FUZZ_REQUIRE(dirty->fieldsEqual(sms.get()));
        }
        if (sms->GetPDUCount() > 0 && sms->GetState() != VTixSMS_state_ReadFailed)
            CheckFixedPoint(*sms, &list);

        // A typed validity on a message being composed.
        auto typed = Fresh(&list, VTixSMS_stateSIMUnsent, format);
        typed->SetMessageType(VTixSMS_smsTypeSUBMIT);
        typed->SetUserNumber("+420777123456");
        typed->SetText(sms->GetText());
        typed->SetValidityText(validity);
        const bool relative = typed->GetValidityIsRelative();
        const double before = relative ? typed->GetValidityRel() : typed->GetValidityAbs();
        const std::string shown = typed->GetValidityText();
        typed->SetValidityText(shown);
        const double after = relative ? typed->GetValidityRel() : typed->GetValidityAbs();
        // What is shown reads back as the same validity (within the 32-bit
        // seconds the text shows; dates before 1899 are composed by the date
        // reader as date + time, not as the negative scale wants).
        const bool shownWhole = relative ? std::abs(before) < 20000 : before >= 0 && before < 2958465;
        if (typed->GetValidityIsRelative() == relative && shownWhole)
            FUZZ_REQUIRE(std::abs(after - before) < 1.0 / 86400);
        // Built, it reads; that reading is a fixed point like any other (the
        // typed record itself may hold what the octets cannot: a year 202).
        typed->create1part();
        auto sent = Fresh(&list, VTixSMS_stateSIMUnsent, format);
        sent->SetPDUText(typed->GetPDUText());
        FUZZ_REQUIRE(sent->GetState() == VTixSMS_stateSIMUnsent);
        CheckFixedPoint(*sent, &list);
    } catch (const std::exception&) {
        FUZZ_REQUIRE(!"nothing raises");
    }
    return 0;
}
