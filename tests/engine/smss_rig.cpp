#include "tests/engine/smss_rig.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>

#include "tests/engine/settled_handlers.h"
#include "tests/engine/stand_in_handlers.h"

namespace SmssTest {

const char* const kHello = "0791246030500200040C9124707721436500004230513154034005E8329BFD06";
const char* const kBanka = "07912460305002000409D0C2B07B1D0600004230513154034005E8329BFD06";
const char* const kAhoj = "0011000C912470772143650000A90441F45B0D";
const char* const kCau = "0791246030500200000C9124602021436500004230514100000003C3701D";

std::string TPlainCombo::item(int index) const
{
    return index >= 0 && index < count() ? items[size_t(index)] : std::string();
}

void TPlainCombo::clear()
{
    items.clear();
    selected = -1;
    typed.clear();
}

void TPlainCombo::setItemIndex(int index)
{
    selected = index >= 0 && index < count() ? index : -1;
    typed.clear();
}

std::string TPlainCombo::text() const
{
    return selected >= 0 ? items[size_t(selected)] : typed;
}

void TPlainCombo::setText(const std::string& text)
{
    selected = -1;
    typed = text;
}

TSmsRig::TSmsRig(uint32_t start, int modelCode) : THandlerRig(start), list(window.smsListOwned)
{
    InstallSettledStartup(engine);
    InstallSettledStatus(engine);
    if (modelCode >= 0)
        modem.replaceHandler(VPerifModem::hCGMM, std::make_unique<CodedCGMM>(&engine, modelCode));
    auto handler = std::make_unique<VPerifSMSs>(&engine);
    sms = handler.get();
    modem.replaceHandler(VPerifModem::hSMSs, std::move(handler));
    list.SetSCACombo(&combo);
    sms->start(now);
}

std::string TSmsRig::stepUntilSent(uint32_t limit)
{
    for (uint32_t t = 0; t < limit; t += 10) {
        std::string out = step(10);
        if (!out.empty())
            return out;
    }
    return std::string();
}

void TSmsRig::answer(const std::string& command, const std::vector<std::string>& info, const std::string& final)
{
    line(command + "\r\r\n");
    // Framed as a device frames them: the first information line after a
    // blank line, the rest (a PDU after its header) right after it.
    for (size_t i = 0; i < info.size(); ++i)
        line((i == 0 ? "\r\n" : "") + info[i] + "\r\n");
    if (!final.empty())
        line("\r\n" + final + "\r\n");
}

void TSmsRig::settle(bool twoMemories, int steps)
{
    const struct {
        const char* command;
        std::string info;
    } settings[] = {
        {"AT+CSCA?", "+CSCA: \"+420603052000\",145"},
        {"AT+CNMI=?", "+CNMI: (0-3),(0-3),(0,2),(0,1),(0,1)"},
        {"AT+CNMI=2,1,2,1,0", ""},
        {"AT+CPMS=?", twoMemories ? "+CPMS: (\"SM\",\"ME\"),(\"SM\",\"ME\"),(\"SM\")"
                                  : "+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"},
        {"AT+CPMS?", "+CPMS: \"SM\",3,30,\"SM\",3,30,\"SM\",3,30"},
    };
    for (int i = 0; i < steps && i < int(std::size(settings)); ++i) {
        const std::string out = step();
        EXPECT_EQ(out, std::string(settings[i].command) + "\r");
        if (settings[i].info.empty())
            answer(settings[i].command, {});
        else
            answer(settings[i].command, {settings[i].info});
    }
}

void TSmsRig::ready(bool twoMemories)
{
    settle(twoMemories);
    EXPECT_EQ(stepUntilSent(11000), "AT+CMGL=4\r");
    answer("AT+CMGL=4", {});
}

VTixSMSRecord* TSmsRig::draft(const std::string& text, const std::string& number)
{
    VTixSMSRecord* sms = list.smsDoesExist(VTixSMSList::ProgramStorage, 0);
    sms->SetState(VTixSMS_stateSIMUnsent);
    sms->SetMessageType(VTixSMS_smsTypeSUBMIT);
    sms->SetUserNumber(number);
    sms->SetText(text);
    return sms;
}

}  // namespace SmssTest
