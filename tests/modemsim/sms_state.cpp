#include "tests/modemsim/sms_state.h"

#include "foundation/tixutils_quote.h"

#include "tests/modemsim/at_core.h"
#include "tests/modemsim/device.h"
#include "tests/modemsim/script.h"

namespace ModemSim {

int Cms::FromSimError(int cme)
{
    switch (cme) {
    case Cme::SimNotInserted: return SimNotInserted;
    case Cme::SimPinRequired: return SimPinRequired;
    case Cme::SimPukRequired: return SimPukRequired;
    case Cme::SimBusy: return SimBusy;
    default: return SimFailure;
    }
}

namespace {

// Message class 0-3 after TS 23.038, -1 for none. `tpdu` is a DELIVER.
int DeliverClass(const std::string& tpdu)
{
    if (tpdu.size() < 3)
        return -1;
    const size_t addressOctets = (static_cast<unsigned char>(tpdu[1]) + 1) / 2;
    const size_t dcsAt = 3 + addressOctets + 1;  // first octet, length, type, digits, PID
    if (dcsAt >= tpdu.size())
        return -1;
    const int dcs = static_cast<unsigned char>(tpdu[dcsAt]);
    if ((dcs & 0xC0) == 0 && (dcs & 0x10))
        return dcs & 3;
    if ((dcs & 0xF0) == 0xF0)
        return dcs & 3;
    return -1;
}

std::string Urc(const TDevice& device, const std::string& line)
{
    return device.verbose ? "\r\n" + line + "\r\n" : line + "\r\n";
}

// Sends a new-message indication, or holds it as the +CNMI mode says: mode
// 0 keeps indications in the device; while a PDU is being typed mode 1
// drops them, mode 2 keeps them until the entry ends, mode 3 sends them.
void Indicate(TDevice& device, TAtCore& core, const std::string& bytes, int64_t now)
{
    TSmsState& sms = device.sms;
    const int mode = sms.cnmi[0];
    if (mode == 0 || (sms.entry && mode == 2))
        sms.heldIndications += bytes;
    else if (sms.entry && mode == 1)
        device.Host().Note("indication dropped while the PDU is typed");
    else
        core.SendRaw(bytes, now);
}

}  // namespace

bool SmsHexToBytes(const std::string& hex, std::string& bytes)
{
    bool failed = false;
    bytes = Tixutils::HexaStringToBytes(hex, failed);
    return !failed && hex.size() % 2 == 0;
}

int SmsTpduLength(const std::string& pduHex)
{
    std::string bytes;
    if (!SmsHexToBytes(pduHex, bytes) || bytes.empty())
        return -1;
    const size_t centre = 1 + static_cast<unsigned char>(bytes[0]);
    if (centre >= bytes.size())
        return -1;
    return static_cast<int>(bytes.size() - centre);
}

int TSmsMemory::FreeIndex() const
{
    for (int i = 1; i <= total; ++i)
        if (messages.find(i) == messages.end())
            return i;
    return 0;
}

void TSmsState::Load(const TProfile& profile)
{
    memories.clear();
    for (const auto& spec : profile.smsMemories)
        memories.push_back(TSmsMemory{spec.name, spec.total, {}});
    if (memories.empty())
        memories.push_back(TSmsMemory{"SM", 0, {}});
    for (const auto& entry : profile.smsMessages) {
        const int m = MemoryIndex(entry.memory);
        if (m >= 0)
            memories[static_cast<size_t>(m)].messages[entry.index] = TSmsMessage{entry.stat, UpperAscii(entry.pdu)};
    }
    const bool plus = !profile.smsCentre.empty() && profile.smsCentre[0] == '+';
    centre = plus ? profile.smsCentre.substr(1) : profile.smsCentre;
    centreType = plus ? 145 : 129;
    mem[0] = mem[1] = mem[2] = 0;
}

void TSmsState::ResetSettings()
{
    for (int& v : cnmi)
        v = 0;
    entry.reset();
    heldIndications.clear();
}

int TSmsState::MemoryIndex(const std::string& name) const
{
    for (size_t i = 0; i < memories.size(); ++i)
        if (memories[i].name == name)
            return static_cast<int>(i);
    return -1;
}

const TSmsMessage* TSmsState::Find(const std::string& memory, int index) const
{
    const int m = MemoryIndex(memory);
    if (m < 0)
        return nullptr;
    const auto& messages = memories[static_cast<size_t>(m)].messages;
    const auto it = messages.find(index);
    return it == messages.end() ? nullptr : &it->second;
}

std::string TSmsState::CentreValue() const
{
    return "\"" + std::string(centreType == 145 ? "+" : "") + centre + "\"," + std::to_string(centreType);
}

void TSmsState::FlushIndications(TAtCore& core, int64_t now)
{
    if (cnmi[0] == 0 || entry || heldIndications.empty())
        return;
    core.SendRaw(heldIndications, now);
    heldIndications.clear();
}

void SmsDeliver(TDevice& device, TAtCore& core, const std::string& pdu, int64_t now)
{
    TSmsState& sms = device.sms;
    std::string bytes;
    const int length = SmsTpduLength(pdu);
    if (length < 0 || !SmsHexToBytes(pdu, bytes)) {
        device.Host().Note("deliver: not a PDU: " + pdu);
        return;
    }
    if (device.power != TPowerState::On) {
        device.Host().Note("deliver: the device is not on, message lost");
        return;
    }
    const int mt = sms.cnmi[1];
    const std::string tpdu = bytes.substr(1 + static_cast<unsigned char>(bytes[0]));
    if (mt == 2 || (mt == 3 && DeliverClass(tpdu) == 3)) {
        device.Host().Note("SMS routed to the program");
        Indicate(device, core, Urc(device, "+CMT: ," + std::to_string(length)) + UpperAscii(pdu) + "\r\n", now);
        return;
    }
    TSmsMemory& memory = sms.Mem(2);
    const int index = memory.FreeIndex();
    if (index == 0) {
        device.Host().Note("deliver: " + memory.name + " is full, message rejected");
        return;
    }
    memory.messages[index] = TSmsMessage{0, UpperAscii(pdu)};
    device.Host().Note("SMS stored in " + memory.name + " " + std::to_string(index));
    if (mt == 1 || mt == 3)
        Indicate(device, core, Urc(device, "+CMTI: \"" + memory.name + "\"," + std::to_string(index)), now);
}

void ApplySmsAction(TDevice& device, TAtCore& core, const TScriptAction& a, int64_t now)
{
    using K = TScriptAction::TKind;
    switch (a.kind) {
    case K::Deliver: SmsDeliver(device, core, a.text, now); break;
    case K::Refuse: {
        TReply refusal;
        if (a.a == 1)
            refusal.Cms(a.b);
        else if (a.a == 2)
            refusal.Cme(a.b);
        else
            refusal.Error();
        device.sms.refusals.push_back(refusal);
        device.Host().Note("an SMS command will be refused: " + a.text);
        break;
    }
    case K::NoPrompt:
        ++device.sms.noPrompts;
        device.Host().Note("an SMS text entry will give no prompt");
        break;
    default: break;
    }
}

}  // namespace ModemSim
