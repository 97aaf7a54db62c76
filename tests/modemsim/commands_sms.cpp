// SMS after 3GPP TS 27.005 in PDU mode: memories +CPMS, the format +CMGF
// (PDU only), listing +CMGL, reading +CMGR, writing +CMGW and sending
// +CMGS with the PDU typed after a "> " prompt, sending from memory +CMSS,
// deleting +CMGD, the SMS centre +CSCA and the new-message indications
// +CNMI. Lengths count the octets of the TPDU, without the SMS-centre part.
#include <algorithm>
#include <memory>

#include "tests/modemsim/at_core.h"
#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

namespace ModemSim {

namespace {

constexpr char kCtrlZ = 0x1A, kEsc = 0x1B;
constexpr int kMaxTpdu = 164;       // the longest SMS-SUBMIT
constexpr size_t kMaxTyped = 1024;  // hex digits kept of a PDU being typed

// A refusal a script queued, or the card check of commands that need the
// card. True when that answered the command.
bool Refused(TCommandContext& ctx, bool needsCard)
{
    TSmsState& sms = ctx.device.sms;
    if (!sms.refusals.empty()) {
        ctx.reply = sms.refusals.front();
        sms.refusals.pop_front();
        ctx.device.Host().Note("SMS command refused by the script");
        return true;
    }
    if (needsCard)
        if (const int err = ctx.device.SimError()) {
            ctx.reply.Cms(Cms::FromSimError(err));
            return true;
        }
    return false;
}

// A number parameter in lo..hi; else "+CMS ERROR: 304" and false.
bool SmsInt(TCommandContext& ctx, const std::string& item, int lo, int hi, int& value)
{
    if (ParseInt(item, value) && value >= lo && value <= hi)
        return true;
    ctx.reply.Cms(Cms::InvalidPduParameter);
    return false;
}

// Set-command parameters, at least one and at most `most`; else +CMS 304.
bool SmsParams(TCommandContext& ctx, size_t most, std::vector<std::string>& items, std::vector<bool>* quoted = nullptr)
{
    if (!Params(ctx, items, quoted))
        return false;
    if (items.size() > most || items[0].empty()) {
        ctx.reply.Cms(Cms::InvalidPduParameter);
        return false;
    }
    return true;
}

// The answer of a command that ends after its prompt, framed as at_core does.
void AnswerLate(TDevice& dev, TAtCore& core, TReply reply, int64_t now)
{
    bool noFinal = false;
    if (dev.faults.deferred) {
        dev.faults.deferred->Apply(reply);
        noFinal = dev.faults.deferred->noFinal;
        dev.faults.deferred.reset();
    }
    std::string bytes;
    for (size_t i = 0; i < reply.lines.size(); ++i)
        bytes += core.FrameInfo(reply.lines[i], i == 0);
    if (noFinal)
        dev.Host().Note("final result dropped by a fault switch");
    else if (dev.dropFinals > 0) {
        --dev.dropFinals;
        dev.Host().Note("final result dropped");
    } else
        bytes += core.FrameFinal(reply);
    core.SendRaw(bytes, now + std::max(0, reply.delayMs));
}

// A message goes out: needs a centre (in the PDU or +CSCA) and the network.
bool CanSend(TDevice& dev, const std::string& pduBytes, TReply& reply)
{
    if (pduBytes[0] == 0 && dev.sms.centre.empty())
        reply.Cms(Cms::CentreUnknown);
    else if (dev.fun != 1 || (dev.stat != 1 && dev.stat != 5))
        reply.Cms(Cms::NoNetwork);
    else
        return true;
    return false;
}

// Logs the sent PDU; returns its message reference.
int Send(TDevice& dev, const std::string& pdu)
{
    TSmsState& sms = dev.sms;
    const int reference = sms.nextReference;
    sms.nextReference = (reference + 1) % 256;
    sms.sent.push_back(pdu);
    dev.Host().Note("SMS sent: " + pdu);
    return reference;
}

// ^Z ended the PDU of a +CMGS or +CMGW.
void EndEntry(TDevice& dev, const TSmsEntry& entry, TReply& reply)
{
    std::string bytes;
    if (SmsTpduLength(entry.text) != entry.length || !SmsHexToBytes(entry.text, bytes)) {
        dev.Host().Note("PDU does not fit its length " + std::to_string(entry.length) + ": " + entry.text);
        reply.Cms(Cms::InvalidPduParameter);
        return;
    }
    const std::string pdu = UpperAscii(entry.text);
    if (entry.send) {
        // SMS-SUBMIT or SMS-COMMAND only.
        const int type = static_cast<unsigned char>(bytes[1 + static_cast<unsigned char>(bytes[0])]) & 3;
        if (type != 1 && type != 2) {
            reply.Cms(Cms::InvalidPduParameter);
            return;
        }
        if (CanSend(dev, bytes, reply))
            reply.Info("+CMGS: " + std::to_string(Send(dev, pdu)));
        return;
    }
    TSmsMemory& memory = dev.sms.Mem(1);
    const int index = memory.FreeIndex();
    if (index == 0) {
        reply.Cms(Cms::MemoryFull);
        return;
    }
    memory.messages[index] = TSmsMessage{entry.stat, pdu};
    dev.Host().Note("SMS written to " + memory.name + " " + std::to_string(index));
    reply.Info("+CMGW: " + std::to_string(index));
}

// One byte typed after the prompt. ^Z ends the PDU, Esc cancels it (OK);
// the PDU is one line, so line ends are ignored. False when done.
bool EntryByte(TDevice& dev, TAtCore& core, const std::shared_ptr<TSmsEntry>& entry, char c)
{
    if (dev.sms.entry != entry)
        return false;  // the device was reset meanwhile
    const int64_t now = dev.Host().SteadyMs();
    if (c == kCtrlZ || c == kEsc) {
        dev.sms.entry.reset();
        TReply reply;
        if (c == kCtrlZ)
            EndEntry(dev, *entry, reply);
        else
            dev.Host().Note("PDU entry cancelled");
        AnswerLate(dev, core, reply, now);
        dev.sms.FlushIndications(core, now);
        return false;
    }
    if (c == static_cast<char>(dev.sreg[5])) {
        if (!entry->text.empty())
            entry->text.pop_back();
    } else if (c == '\r' || c == '\n')
        return true;
    else if (entry->text.size() < kMaxTyped)
        entry->text += c;
    if (dev.echo && static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F)
        core.SendRaw(std::string(1, c), now);
    return true;
}

// +CMGS / +CMGW: the command's answer waits for the PDU typed after "\r\n> ".
void OpenEntry(TCommandContext& ctx, bool send, int length, int stat)
{
    TDevice* dev = &ctx.device;
    TAtCore* core = &ctx.core;
    auto entry = std::make_shared<TSmsEntry>();
    entry->send = send;
    entry->length = length;
    entry->stat = stat;
    dev->sms.entry = entry;
    if (dev->sms.noPrompts > 0) {
        --dev->sms.noPrompts;
        dev->Host().Note("waiting for the PDU without a prompt");
    } else
        ctx.reply.onDelivered = [dev, core, entry] {
            if (dev->sms.entry == entry)
                core->SendRaw("\r\n> ", dev->Host().SteadyMs());
        };
    ctx.reply.final = TReply::TFinal::None;
    core->SetRawInput([dev, core, entry](char c) { return EntryByte(*dev, *core, entry, c); });
}

void Cpms(TCommandContext& ctx)
{
    if (Refused(ctx, true))
        return;
    TSmsState& sms = ctx.device.sms;
    auto counts = [&](int which) {
        const TSmsMemory& m = sms.Mem(which);
        return std::to_string(m.Used()) + "," + std::to_string(m.total);
    };
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: {
        std::string all;
        for (const TSmsMemory& m : sms.memories)
            all += (all.empty() ? "" : ",") + Quote(m.name);
        ctx.reply.Info("+CPMS: (" + all + "),(" + all + "),(" + Quote(sms.memories[0].name) + ")");
        break;
    }
    case TCmdKind::Read: {
        std::string value;
        for (int k = 0; k < 3; ++k)
            value += (k ? "," : "") + Quote(sms.Mem(k).name) + "," + counts(k);
        ctx.reply.Info("+CPMS: " + value);
        break;
    }
    case TCmdKind::Set: {
        std::vector<std::string> items;
        if (!Params(ctx, items))
            return;
        int chosen[3] = {sms.mem[0], sms.mem[1], sms.mem[2]};
        for (size_t k = 0; k < items.size(); ++k) {
            const int m = sms.MemoryIndex(UpperAscii(items[k]));
            // Only the first memory receives.
            if (k > 2 || m < 0 || (k == 2 && m != 0)) {
                ctx.reply.Cms(Cms::OperationNotAllowed);
                return;
            }
            chosen[k] = m;
        }
        for (int k = 0; k < 3; ++k)
            sms.mem[k] = chosen[k];
        ctx.reply.Info("+CPMS: " + counts(0) + "," + counts(1) + "," + counts(2));
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

// PDU mode only.
void Cmgf(TCommandContext& ctx)
{
    if (Refused(ctx, false))
        return;
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: ctx.reply.Info("+CMGF: (0)"); break;
    case TCmdKind::Read: ctx.reply.Info("+CMGF: 0"); break;
    case TCmdKind::Set: {
        int mode = 0;
        if (!ParseInt(ctx.cmd.args, mode))
            ctx.reply.Cms(Cms::InvalidPduParameter);
        else if (mode != 0)
            ctx.reply.Cms(Cms::OperationNotSupported);
        break;
    }
    case TCmdKind::Exec: break;
    }
}

// A message as +CMGL and +CMGR give it: header, then the PDU on a line of
// its own. An unread message is read from then on.
void ShowMessage(TReply& reply, const std::string& header, TSmsMessage& message)
{
    reply.Info(header + std::to_string(message.stat) + ",," + std::to_string(SmsTpduLength(message.pdu)));
    reply.Info(message.pdu);
    if (message.stat == 0)
        message.stat = 1;
}

void Cmgl(TCommandContext& ctx)
{
    if (Refused(ctx, true))
        return;
    int stat = 0;
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: ctx.reply.Info("+CMGL: (0-4)"); return;
    case TCmdKind::Read: ctx.reply.Error(); return;
    case TCmdKind::Set: {
        // Text-mode names ("ALL", "REC UNREAD") are not PDU-mode values.
        std::vector<std::string> items;
        std::vector<bool> quoted;
        if (!SmsParams(ctx, 1, items, &quoted))
            return;
        if (quoted[0]) {
            ctx.reply.Cms(Cms::InvalidPduParameter);
            return;
        }
        if (!SmsInt(ctx, items[0], 0, 4, stat))
            return;
        break;
    }
    case TCmdKind::Exec: break;
    }
    for (auto& [index, message] : ctx.device.sms.Mem(0).messages)
        if (stat == 4 || message.stat == stat)
            ShowMessage(ctx.reply, "+CMGL: " + std::to_string(index) + ",", message);
}

// The opening of commands that only have a set form: a refusal or the card
// check, a bare OK for the test form, ERROR for the others. True when that
// answered the command.
bool NotASet(TCommandContext& ctx)
{
    if (Refused(ctx, true) || ctx.cmd.kind == TCmdKind::Test)
        return true;
    if (ctx.cmd.kind == TCmdKind::Set)
        return false;
    ctx.reply.Error();
    return true;
}

// The index parameter of +CMGR, +CMSS, +CMGD: false (answered) when not one.
bool IndexParam(TCommandContext& ctx, const std::string& item, int& index)
{
    return SmsInt(ctx, item, 0, 1 << 30, index);
}

void Cmgr(TCommandContext& ctx)
{
    std::vector<std::string> items;
    int index = 0;
    if (NotASet(ctx) || !SmsParams(ctx, 1, items) || !IndexParam(ctx, items[0], index))
        return;
    auto& messages = ctx.device.sms.Mem(0).messages;
    const auto it = messages.find(index);
    if (it == messages.end()) {
        ctx.reply.Cms(Cms::InvalidIndex);
        return;
    }
    ShowMessage(ctx.reply, "+CMGR: ", it->second);
}

void CmgwOrCmgs(TCommandContext& ctx, bool send)
{
    std::vector<std::string> items;
    int length = 0, stat = 2;
    if (NotASet(ctx) || !SmsParams(ctx, send ? 1 : 2, items) || !SmsInt(ctx, items[0], 1, kMaxTpdu, length))
        return;
    if (items.size() > 1 && !items[1].empty() && !SmsInt(ctx, items[1], 0, 3, stat))
        return;
    OpenEntry(ctx, send, length, stat);
}

void Cmss(TCommandContext& ctx)
{
    std::vector<std::string> items;
    int index = 0;
    if (NotASet(ctx) || !Params(ctx, items))
        return;
    if (items.size() > 1) {
        // Another destination than the stored one is not offered.
        ctx.reply.Cms(Cms::OperationNotSupported);
        return;
    }
    if (!IndexParam(ctx, items[0], index))
        return;
    TDevice& dev = ctx.device;
    auto& messages = dev.sms.Mem(1).messages;
    const auto it = messages.find(index);
    if (it == messages.end()) {
        ctx.reply.Cms(Cms::InvalidIndex);
        return;
    }
    TSmsMessage& message = it->second;
    std::string bytes;
    if (message.stat < 2 || !SmsHexToBytes(message.pdu, bytes)) {
        ctx.reply.Cms(Cms::OperationNotAllowed);  // a received message
        return;
    }
    if (!CanSend(dev, bytes, ctx.reply))
        return;
    ctx.reply.Info("+CMSS: " + std::to_string(Send(dev, message.pdu)));
    message.stat = 3;
}

void Cmgd(TCommandContext& ctx)
{
    if (Refused(ctx, true))
        return;
    TSmsMemory& memory = ctx.device.sms.Mem(0);
    if (ctx.cmd.kind == TCmdKind::Test) {
        std::string used;
        for (const auto& entry : memory.messages)
            used += (used.empty() ? "" : ",") + std::to_string(entry.first);
        ctx.reply.Info("+CMGD: (" + used + "),(0-4)");
        return;
    }
    if (ctx.cmd.kind != TCmdKind::Set) {
        ctx.reply.Error();
        return;
    }
    std::vector<std::string> items;
    int index = 0, flag = 0;
    if (!SmsParams(ctx, 2, items) || !IndexParam(ctx, items[0], index))
        return;
    if (items.size() > 1 && !items[1].empty() && !SmsInt(ctx, items[1], 0, 4, flag))
        return;
    if (flag == 0) {
        if (index < 1 || index > memory.total) {
            ctx.reply.Cms(Cms::InvalidIndex);
            return;
        }
        memory.messages.erase(index);
    } else {
        // 1 read, 2 read and sent, 3 read, sent and unsent, 4 all.
        for (auto it = memory.messages.begin(); it != memory.messages.end();) {
            const int s = it->second.stat;
            const bool drop = flag == 4 || s == 1 || (flag >= 2 && s == 3) || (flag == 3 && s == 2);
            it = drop ? memory.messages.erase(it) : std::next(it);
        }
    }
    ctx.device.Host().Note("SMS deleted from " + memory.name);
}

// A centre number: an optional "+" and 1 to 20 digits.
bool CentreNumber(const std::string& number)
{
    const size_t digits = number.size() - (!number.empty() && number[0] == '+' ? 1 : 0);
    if (digits < 1 || digits > 20)
        return false;
    for (size_t i = number.size() - digits; i < number.size(); ++i)
        if (number[i] < '0' || number[i] > '9')
            return false;
    return true;
}

void Csca(TCommandContext& ctx)
{
    if (Refused(ctx, true))
        return;
    TSmsState& sms = ctx.device.sms;
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: break;
    case TCmdKind::Read: ctx.reply.Info("+CSCA: " + sms.CentreValue()); break;
    case TCmdKind::Set: {
        std::vector<std::string> items;
        int type = 0;
        if (!Params(ctx, items))
            return;
        // An empty centre is refused: the card keeps its number.
        if (items.size() > 2 || !CentreNumber(items[0])) {
            ctx.reply.Cms(Cms::InvalidPduParameter);
            return;
        }
        const bool plus = items[0][0] == '+';
        type = plus ? 145 : 129;
        if (items.size() > 1 && !items[1].empty() && !SmsInt(ctx, items[1], 128, 255, type))
            return;
        sms.centre = plus ? items[0].substr(1) : items[0];
        sms.centreType = type;
        ctx.device.Host().Note("SMS centre " + sms.CentreValue());
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

// The number lists of every group of a test answer:
// "+CNMI: (0-3),(0,2)" gives {0,1,2,3}, {0,2}.
std::vector<std::vector<int>> NumberGroups(const std::string& testAnswer)
{
    std::vector<std::vector<int>> groups;
    for (size_t open = testAnswer.find('('); open != std::string::npos; open = testAnswer.find('(', open + 1))
        groups.push_back(FirstNumberList(testAnswer.substr(open)));
    return groups;
}

void Cnmi(TCommandContext& ctx)
{
    TDevice& dev = ctx.device;
    const std::string& test = dev.Profile().cnmiTest;
    if (Absent(ctx, test) || Refused(ctx, false))
        return;
    TSmsState& sms = dev.sms;
    const auto groups = NumberGroups(test);
    switch (ctx.cmd.kind) {
    case TCmdKind::Test: AnswerTest(ctx, test); break;
    case TCmdKind::Read: {
        std::string value;
        for (size_t k = 0; k < 5 && k < std::max<size_t>(groups.size(), 1); ++k)
            value += (k ? "," : "") + std::to_string(sms.cnmi[k]);
        ctx.reply.Info("+CNMI: " + value);
        break;
    }
    case TCmdKind::Set: {
        // Empty or left-out values stay as they are.
        std::vector<std::string> items;
        if (!Params(ctx, items))
            return;
        if (items.size() > groups.size() || items.size() > 5) {
            ctx.reply.Cms(Cms::InvalidPduParameter);
            return;
        }
        int values[5];
        std::copy(std::begin(sms.cnmi), std::end(sms.cnmi), values);
        for (size_t k = 0; k < items.size(); ++k) {
            if (items[k].empty())
                continue;
            if (!ParseInt(items[k], values[k])) {
                ctx.reply.Cms(Cms::InvalidPduParameter);
                return;
            }
            if (!ListContains(groups[k], values[k])) {
                ctx.reply.Cms(Cms::OperationNotSupported);
                return;
            }
        }
        std::copy(std::begin(values), std::end(values), sms.cnmi);
        // Held indications: bfr 1 clears them, bfr 0 sends them after the OK.
        if (sms.cnmi[0] != 0 && sms.cnmi[4] == 1)
            sms.heldIndications.clear();
        TDevice* d = &dev;
        TAtCore* core = &ctx.core;
        ctx.reply.onDelivered = [d, core] { d->sms.FlushIndications(*core, d->Host().SteadyMs()); };
        break;
    }
    case TCmdKind::Exec: ctx.reply.Error(); break;
    }
}

}  // namespace

void RegisterSmsCommands(TCommandRegistry& r)
{
    r.Add("+CPMS", Cpms);
    r.Add("+CMGF", Cmgf);
    r.Add("+CMGL", Cmgl);
    r.Add("+CMGR", Cmgr);
    r.Add("+CMGW", [](TCommandContext& ctx) { CmgwOrCmgs(ctx, false); });
    r.Add("+CMGS", [](TCommandContext& ctx) { CmgwOrCmgs(ctx, true); });
    r.Add("+CMSS", Cmss);
    r.Add("+CMGD", Cmgd);
    r.Add("+CSCA", Csca);
    r.Add("+CNMI", Cnmi);
}

}  // namespace ModemSim
