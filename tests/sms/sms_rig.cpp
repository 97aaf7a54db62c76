#include "tests/sms/sms_rig.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "foundation/tixutils_gsm.h"
#include "platform/codepage.h"
#include "platform/debug_sink.h"

namespace SmsRig {

TZone::TZone(const char* zone)
{
    if (const char* old = std::getenv("TZ")) {
        had_ = true;
        old_ = old;
    }
    ::setenv("TZ", zone, 1);
    ::tzset();
}

TZone::~TZone()
{
    if (had_)
        ::setenv("TZ", old_.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TFixedNow::TFixedNow(Tixutils::TDateTime value)
{
    Tixutils::SetNowFunction([value] { return value; });
}

TFixedNow::~TFixedNow()
{
    Tixutils::SetNowFunction(nullptr);
}

TDebugNotes::TDebugNotes()
{
    Platform::SetDebugSink([this](const std::string& t) { texts.push_back(t); });
}

TDebugNotes::~TDebugNotes()
{
    Platform::SetDebugSink(nullptr);
}

Tixutils::TDateTime At(int year, int month, int day, int hour, int minute, int second)
{
    Tixutils::TDateTime date = 0, time = 0;
    Tixutils::TryEncodeDate(year, month, day, date);
    Tixutils::TryEncodeTime(hour, minute, second, 0, time);
    return date + time;
}

std::string Hex(const std::string& spaced)
{
    std::string out;
    for (char c : spaced)
        if (c != ' ')
            out += c;
    return out;
}

std::string Text(Tixutils::TDateTime value)
{
    int y, mo, d, h, mi, s, ms;
    Tixutils::DecodeDate(value, y, mo, d);
    Tixutils::DecodeTime(value, h, mi, s, ms);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d.%d.%d %d:%02d:%02d", d, mo, y, h, mi, s);
    return buf;
}

std::unique_ptr<VTixSMSRecord> Read(const std::string& hex, VTixSMS_textSMSstates state,
                                    VTixSMS_PDUFormat format, VTixSMSList* list)
{
    auto sms = std::make_unique<VTixSMSRecord>();
    sms->AfterCreate(list, state);
    sms->SetPDUFormat(format);
    sms->SetPDUText(Hex(hex));
    return sms;
}

std::unique_ptr<VTixSMSRecord> Submit(VTixSMSList* list)
{
    auto sms = std::make_unique<VTixSMSRecord>();
    sms->AfterCreate(list, VTixSMS_stateSIMUnsent);
    sms->SetMessageType(VTixSMS_smsTypeSUBMIT);
    return sms;
}

std::string Built(VTixSMSRecord& sms)
{
    sms.create1part();
    return sms.GetPDUText();
}

std::string AgreeingCharacters()
{
    std::string chars;
    for (int code = 0; code < 128; ++code) {
        const char c = Tixutils::TranslateGSM2Ascii(code);
        if (Ts23038(code) == 0 || Tixutils::TranslateAscii2GSM(c) != code)
            continue;
        if (Platform::AnsiCharToUnicode(uint8_t(c), Platform::CP_CZECH) == Ts23038(code))
            chars += c;
    }
    return chars;
}

}  // namespace SmsRig
