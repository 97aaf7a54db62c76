// Calls: dialling (ATD, voice with ";"), answering (ATA), hanging up (ATH,
// +CHUP), the phone activity (+CPAS), caller identification (+CLIP) and
// the Ericsson call reports (*ECAM, *ECAV), with incoming calls from a
// linked device or a script, and the online data mode of a data call
// with its "+++" escape, DCD while a data call is up, the data link's
// fault switches (delay, loss, pieces overtaking, a carrier that drops
// without a word) and a DTR drop that ends the call.
#include <algorithm>

#include "serial/modem_lines.h"
#include "tests/modemsim/at_core.h"
#include "tests/modemsim/call_state.h"
#include "tests/modemsim/command_helpers.h"
#include "tests/modemsim/device.h"

namespace ModemSim {

namespace {

using TPhase = TCallState::TPhase;
using TKind = TPeerEvent::TKind;

constexpr int RingEveryMs = 3000;
constexpr int UnknownNumberMs = 2000;
constexpr int EscapeGuardMs = 1000;
const char* const ConnectText = "CONNECT 9600";
const char* const NoCarrier = "NO CARRIER";

int64_t Now(TDevice& d)
{
    return d.Host().SteadyMs();
}

int NumberType(const std::string& number)
{
    return !number.empty() && number[0] == '+' ? 145 : 129;
}

// A result code that ends a command after its line was taken (CONNECT,
// BUSY, NO CARRIER), or reports the end of a voice call.
void LateResult(TDevice& d, TAtCore& core, const std::string& text)
{
    TReply reply;
    reply.final = text == "OK" ? TReply::TFinal::Ok : TReply::TFinal::Text;
    reply.finalText = text;
    core.SendRaw(core.FrameFinal(reply), Now(d));
}

// "*ECAV: 1,<status>,<type>" while the call reports are on; not into the
// data of an online call. A command's report goes out with its answer
// (`reply`), so that it comes before the command's result code.
void Report(TDevice& d, TAtCore& core, int status, TReply* reply = nullptr)
{
    const TCallState& c = d.calls;
    if (c.ecam != 1 || c.online)
        return;
    std::string line = "*ECAV: 1," + std::to_string(status) + "," + (c.data ? "2" : "1");
    if (status == 6)
        line += ",,,\"" + c.peer + "\"," + std::to_string(NumberType(c.peer));
    else if (status == 0)
        line += ",8,16";
    if (reply)
        reply->Info(line);
    else
        core.Unsolicited(line, Now(d));
}

void Send(TDevice& d, const std::weak_ptr<TCallPeerBox>& to, TKind kind, std::string bytes = std::string())
{
    const auto box = to.lock();
    if (!box)
        return;
    TPeerEvent event;
    event.kind = kind;
    event.from = d.Profile().ownNumber;
    event.data = d.calls.data;
    event.bytes = std::move(bytes);
    event.sender = d.calls.self;
    box->Push(std::move(event));
}

void GoOffline(TDevice& d, TAtCore& core)
{
    TCallState& c = d.calls;
    if (c.online)
        core.SetRawInput(nullptr);
    c.online = false;
    c.pluses = 0;
    c.toPeer.clear();
}

void SetCarrier(TDevice& d, bool on)
{
    if (d.calls.carrier == on)
        return;
    d.calls.carrier = on;
    d.Host().SetLine(Serial::MS_RLSD_ON, on);
}

// The call ends here; `tellPeer` tells the other device, `result` is the
// result code the program gets (none for a call that only rang); `reply`
// is the answer of the command that ended it.
void Finish(TDevice& d, TAtCore& core, bool tellPeer, const char* result, TReply* reply = nullptr)
{
    TCallState& c = d.calls;
    if (c.phase == TPhase::Idle)
        return;
    if (tellPeer)
        Send(d, c.peerBox, TKind::Released);
    // A data dial still listens for the byte that aborts it.
    if (c.online || (c.phase == TPhase::Dialling && c.data))
        core.SetRawInput(nullptr);
    GoOffline(d, core);
    SetCarrier(d, false);
    c.phase = TPhase::Idle;
    ++c.serial;
    if (result)
        LateResult(d, core, result);
    Report(d, core, 0, reply);
    c.peer.clear();
    c.peerBox.reset();
    c.data = false;
    c.outgoing = false;
    d.Host().Note("call ended");
}

// One piece of data on its way to the other device, shaped by the data
// link's switches.
void PassOn(TDevice& d, std::string bytes)
{
    using K = TFaultSwitch::TKind;
    TCallState& c = d.calls;
    if (d.faults.FireLink(K::LinkLose)) {
        d.Host().Note("link: " + std::to_string(bytes.size()) + " bytes lost");
        return;
    }
    const int64_t now = Now(d);
    int64_t due = now + d.faults.FireLink(K::LinkDelay).value_or(0);
    if (const auto held = d.faults.FireLink(K::LinkReorder)) {
        due += *held;
        d.Host().Note("link: " + std::to_string(bytes.size()) + " bytes held back");
    } else {
        due = std::max(due, c.linkDueMs);
        c.linkDueMs = due;
    }
    if (due <= now && c.linkPending == 0) {
        Send(d, c.peerBox, TKind::Data, std::move(bytes));
        return;
    }
    // Pieces due at one time leave in the order they were written.
    ++c.linkPending;
    TDevice* dev = &d;
    const uint64_t call = c.serial;
    d.Host().After(static_cast<int>(due - now), [dev, call, box = c.peerBox, bytes = std::move(bytes)]() mutable {
        --dev->calls.linkPending;
        if (dev->calls.serial == call)
            Send(*dev, box, TKind::Data, std::move(bytes));
    });
}

void FlushToPeer(TDevice& d)
{
    TCallState& c = d.calls;
    c.flushQueued = false;
    if (c.toPeer.empty())
        return;
    if (c.online)
        PassOn(d, std::move(c.toPeer));
    c.toPeer.clear();
}

// The carrier of a data call is gone without a word: no result code, the
// device back in the command mode, nothing more to or from the other one.
void CarrierLost(TDevice& d, TAtCore& core)
{
    TCallState& c = d.calls;
    GoOffline(d, core);
    SetCarrier(d, false);
    c.phase = TPhase::Idle;
    ++c.serial;
    c.peer.clear();
    c.peerBox.reset();
    c.data = false;
    c.outgoing = false;
    d.Host().Note("carrier lost");
}

void ToPeer(TDevice& d, const std::string& bytes)
{
    TCallState& c = d.calls;
    c.toPeer += bytes;
    if (c.flushQueued)
        return;
    c.flushQueued = true;
    TDevice* dev = &d;
    d.Host().After(0, [dev] { FlushToPeer(*dev); });
}

// A byte from the program in online mode: data for the other device, or
// part of a "+++" with a quiet second before and after it, which returns
// to the command mode with the call kept.
void OnlineByte(TDevice& d, TAtCore& core, char ch)
{
    TCallState& c = d.calls;
    const int64_t now = Now(d);
    const bool quietBefore = now - c.lastInputMs >= EscapeGuardMs;
    c.lastInputMs = now;
    if (ch == '+' && ((c.pluses == 0 && quietBefore) || (c.pluses > 0 && c.pluses < 3))) {
        if (++c.pluses == 3) {
            const uint64_t escape = ++c.escapeSerial;
            TDevice* dev = &d;
            TAtCore* co = &core;
            d.Host().After(EscapeGuardMs, [dev, co, escape] {
                TCallState& s = dev->calls;
                if (!s.online || s.pluses != 3 || s.escapeSerial != escape)
                    return;
                GoOffline(*dev, *co);
                dev->Host().Note("escape to command mode");
                LateResult(*dev, *co, "OK");
            });
        }
        return;
    }
    std::string bytes(size_t(c.pluses), '+');
    c.pluses = 0;
    ++c.escapeSerial;
    bytes += ch;
    ToPeer(d, bytes);
}

void EnterOnline(TDevice& d, TAtCore& core)
{
    TCallState& c = d.calls;
    c.online = true;
    c.pluses = 0;
    c.lastInputMs = Now(d);
    c.linkDueMs = 0;
    SetCarrier(d, true);
    TDevice* dev = &d;
    TAtCore* co = &core;
    if (const auto after = d.faults.FireLink(TFaultSwitch::TKind::LinkDrop)) {
        const uint64_t call = c.serial;
        d.Host().After(*after, [dev, co, call] {
            if (dev->calls.serial == call && dev->calls.phase == TPhase::Active)
                CarrierLost(*dev, *co);
        });
    }
    core.SetRawInput([dev, co](char ch) {
        OnlineByte(*dev, *co, ch);
        return true;
    });
}

void RingAgain(TDevice& d, TAtCore& core, uint64_t call)
{
    TCallState& c = d.calls;
    if (c.serial != call || c.phase != TPhase::Alerting)
        return;
    core.Unsolicited("RING", Now(d));
    if (c.clip == 1)
        core.Unsolicited("+CLIP: \"" + c.peer + "\"," + std::to_string(NumberType(c.peer)), Now(d));
    TDevice* dev = &d;
    TAtCore* co = &core;
    d.Host().After(RingEveryMs, [dev, co, call] { RingAgain(*dev, *co, call); });
}

void Incoming(TDevice& d, TAtCore& core, const std::string& from, bool data, std::weak_ptr<TCallPeerBox> sender)
{
    TCallState& c = d.calls;
    c.phase = TPhase::Alerting;
    c.outgoing = false;
    c.data = data;
    c.peer = from;
    c.peerBox = std::move(sender);
    ++c.serial;
    d.Host().Note(std::string("incoming ") + (data ? "data" : "voice") + " call from " + from);
    Report(d, core, 6);
    RingAgain(d, core, c.serial);
}

void Dial(TCommandContext& ctx)
{
    TDevice& d = ctx.device;
    TCallState& c = d.calls;
    std::string number = ctx.cmd.args;
    const bool voice = !number.empty() && number.back() == ';';
    if (voice)
        number.pop_back();
    while (!number.empty() && number.back() == ' ')
        number.pop_back();
    if (number.empty() || c.phase != TPhase::Idle) {
        ctx.reply.Error();
        return;
    }
    c.phase = TPhase::Dialling;
    c.outgoing = true;
    c.data = !voice;
    c.peer = number;
    c.peerBox = c.link ? c.link->Find(number) : std::weak_ptr<TCallPeerBox>();
    const uint64_t call = ++c.serial;
    TDevice* dev = &d;
    TAtCore* core = &ctx.core;
    Report(d, ctx.core, 1, &ctx.reply);
    const bool reachable = !c.peerBox.expired();
    if (reachable)
        Send(d, c.peerBox, TKind::Ring);
    // Nobody answers an unknown number; a known one rings for a while,
    // then the network gives up.
    d.Host().After(reachable ? d.Profile().ringOutMs : UnknownNumberMs, [dev, core, call, reachable] {
        if (dev->calls.serial == call && dev->calls.phase == TPhase::Dialling)
            Finish(*dev, *core, reachable, reachable ? dev->Profile().ringOutResult.c_str() : NoCarrier);
    });
    if (voice)
        return;
    // A data dial ends with its CONNECT or its failure; any byte from the
    // program gives it up.
    ctx.reply.final = TReply::TFinal::None;
    core->SetRawInput([dev, core, call](char) {
        if (dev->calls.serial == call && dev->calls.phase == TPhase::Dialling)
            Finish(*dev, *core, true, NoCarrier);
        return false;
    });
}

void Answer(TCommandContext& ctx)
{
    TDevice& d = ctx.device;
    TCallState& c = d.calls;
    if (ctx.cmd.kind != TCmdKind::Exec) {
        ctx.reply.Error();
        return;
    }
    if (c.phase != TPhase::Alerting) {
        ctx.reply.final = TReply::TFinal::Text;
        ctx.reply.finalText = NoCarrier;
        return;
    }
    c.phase = TPhase::Active;
    ++c.serial;
    Send(d, c.peerBox, TKind::Answered);
    Report(d, ctx.core, 3, &ctx.reply);
    if (c.data) {
        ctx.reply.final = TReply::TFinal::Text;
        ctx.reply.finalText = ConnectText;
        EnterOnline(d, ctx.core);
    }
}

void HangUp(TCommandContext& ctx)
{
    Finish(ctx.device, ctx.core, true, nullptr, &ctx.reply);
}

}  // namespace

void HandlePeerEvent(TDevice& d, TAtCore& core, const TPeerEvent& event)
{
    TCallState& c = d.calls;
    switch (event.kind) {
    case TKind::Ring:
        if (c.phase != TPhase::Idle) {
            Send(d, event.sender, TKind::Busy);
            return;
        }
        Incoming(d, core, event.from, event.data, event.sender);
        break;
    case TKind::Answered:
        if (c.phase != TPhase::Dialling)
            return;
        c.phase = TPhase::Active;
        ++c.serial;
        Report(d, core, 3);
        if (c.data) {
            LateResult(d, core, ConnectText);
            EnterOnline(d, core);
        }
        break;
    case TKind::Busy:
        if (c.phase == TPhase::Dialling)
            Finish(d, core, false, "BUSY");
        break;
    case TKind::Released:
        // A call that only rang ends without a result code.
        Finish(d, core, false, c.phase == TPhase::Alerting ? nullptr : NoCarrier);
        break;
    case TKind::Data:
        if (c.online)
            core.SendRaw(event.bytes, Now(d));
        break;
    }
}

void IncomingCall(TDevice& d, TAtCore& core, const std::string& from, bool data)
{
    if (d.calls.phase != TPhase::Idle)
        return;
    Incoming(d, core, from, data, std::weak_ptr<TCallPeerBox>());
}

void RemoteHangup(TDevice& d, TAtCore& core)
{
    Finish(d, core, true, d.calls.phase == TPhase::Alerting ? nullptr : NoCarrier);
}

void ProgramDtr(TDevice& d, TAtCore& core, bool dtr)
{
    TCallState& c = d.calls;
    const bool fell = c.dtr && !dtr;
    c.dtr = dtr;
    if (fell && (c.phase == TPhase::Active || c.phase == TPhase::Dialling)) {
        d.Host().Note("DTR dropped: call cleared");
        Finish(d, core, true, NoCarrier);
    }
}

void RegisterCallCommands(TCommandRegistry& r)
{
    r.Add("D", Dial);
    r.Add("A", Answer);
    r.Add("H", HangUp);
    r.Add("+CHUP", [](TCommandContext& ctx) {
        if (ctx.cmd.kind == TCmdKind::Exec)
            HangUp(ctx);
        else if (ctx.cmd.kind != TCmdKind::Test)
            ctx.reply.Error();
    });
    r.Add("+CPAS", [](TCommandContext& ctx) {
        if (ctx.cmd.kind == TCmdKind::Test) {
            ctx.reply.Info("+CPAS: (0,3,4)");
            return;
        }
        if (ctx.cmd.kind != TCmdKind::Exec) {
            ctx.reply.Error();
            return;
        }
        const TPhase phase = ctx.device.calls.phase;
        ctx.reply.Info(std::string("+CPAS: ") + (phase == TPhase::Idle ? "0" : phase == TPhase::Alerting ? "3" : "4"));
    });
    // +CLIP and *ECAM: 0 or 1.
    auto setting = [](TCommandContext& ctx, const char* name, int& value) {
        switch (ctx.cmd.kind) {
        case TCmdKind::Test: ctx.reply.Info(std::string(name) + ": (0,1)"); break;
        case TCmdKind::Read:
            ctx.reply.Info(std::string(name) + ": " + std::to_string(value) +
                           (std::string(name) == "+CLIP" ? ",1" : ""));
            break;
        case TCmdKind::Set: {
            int v = 0;
            if (!ParseInt(ctx.cmd.args, v) || v < 0 || v > 1) {
                ctx.reply.Error();
                return;
            }
            value = v;
            break;
        }
        case TCmdKind::Exec: ctx.reply.Error(); break;
        }
    };
    r.Add("+CLIP", [setting](TCommandContext& ctx) { setting(ctx, "+CLIP", ctx.device.calls.clip); });
    r.Add("*ECAM", [setting](TCommandContext& ctx) {
        if (!ctx.device.Profile().ecam) {
            ctx.reply.Error();
            return;
        }
        setting(ctx, "*ECAM", ctx.device.calls.ecam);
    });
}

}  // namespace ModemSim
