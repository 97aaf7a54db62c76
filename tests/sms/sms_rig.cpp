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

char16_t Ts23038(int code)
{
    static const char16_t table[128] = {
        0x0040, 0x00A3, 0x0024, 0x00A5, 0x00E8, 0x00E9, 0x00F9, 0x00EC, 0x00F2, 0x00C7, 0x000A,
        0x00D8, 0x00F8, 0x000D, 0x00C5, 0x00E5, 0x0394, 0x005F, 0x03A6, 0x0393, 0x039B, 0x03A9,
        0x03A0, 0x03A8, 0x03A3, 0x0398, 0x039E, 0x0000, 0x00C6, 0x00E6, 0x00DF, 0x00C9, 0x0020,
        0x0021, 0x0022, 0x0023, 0x00A4, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B,
        0x002C, 0x002D, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036,
        0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x00A1, 0x0041,
        0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047, 0x0048, 0x0049, 0x004A, 0x004B, 0x004C,
        0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,
        0x0058, 0x0059, 0x005A, 0x00C4, 0x00D6, 0x00D1, 0x00DC, 0x00A7, 0x00BF, 0x0061, 0x0062,
        0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D,
        0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077, 0x0078,
        0x0079, 0x007A, 0x00E4, 0x00F6, 0x00F1, 0x00FC, 0x00E0,
    };
    return code >= 0 && code < 128 ? table[code] : 0;
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
