#include "tests/modemsim/at_core.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

namespace ModemSim {

namespace {

bool Printable(char c)
{
    return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
}

// What a device woken by its alarm from power-down still does.
bool AllowedInAlarmMode(const std::string& name)
{
    static const std::set<std::string> allowed = {"E", "V", "Q", "Z", "&F", "&W", "S", "I", "+CMEE", "+CALA",
                                                  "+CCLK", "^SMSO", "+CFUN", "^SBC", "+CBC", "+CGMI", "+CGMM",
                                                  "+CGMR", "+CGSN", "+GMI", "+GMM", "+GMR", "+GSN", "+IPR"};
    return allowed.count(name) != 0;
}

int NumericCode(const std::string& text)
{
    if (text.rfind("CONNECT", 0) == 0)
        return 1;
    if (text == "RING")
        return 2;
    if (text == "NO CARRIER")
        return 3;
    if (text == "NO DIALTONE")
        return 6;
    if (text == "BUSY")
        return 7;
    if (text == "NO ANSWER")
        return 8;
    return 4;
}

}  // namespace

TAtCore::TAtCore(TDevice& device, const TCommandRegistry& registry, TTranscript& transcript)
    : device_(device), registry_(registry), transcript_(transcript)
{
}

void TAtCore::Receive(const std::string& bytes, int64_t now)
{
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (Busy(now) || !held_.empty()) {
            held_.append(bytes, i, std::string::npos);
            return;
        }
        Process(bytes[i], now);
    }
}

void TAtCore::Echo(const std::string& bytes, int64_t now)
{
    if (device_.echo)
        Queue(now, bytes);
}

void TAtCore::Process(char c, int64_t now)
{
    if (rawInput_) {
        // The hook may replace itself; keep it alive while it runs.
        TRawInput hook = rawInput_;
        const uint64_t serial = rawSerial_;
        if (!hook(c) && serial == rawSerial_)
            rawInput_ = nullptr;
        return;
    }
    const char cr = static_cast<char>(device_.sreg[3]);
    const char bs = static_cast<char>(device_.sreg[5]);
    switch (state_) {
    case TInputState::Idle:
        if (c == 'A' || c == 'a') {
            state_ = TInputState::GotA;
            echoed_.assign(1, c);
            Echo(std::string(1, c), now);
        } else if (Printable(c))
            Echo(std::string(1, c), now);
        break;
    case TInputState::GotA:
        if (c == 'T' || c == 't') {
            state_ = TInputState::InLine;
            echoed_ += c;
            line_.clear();
            Echo(std::string(1, c), now);
        } else if (c == '/') {
            state_ = TInputState::Idle;
            Echo("/", now);
            echoed_ = "AT";
            ExecuteLine(lastLine_, now);
        } else if (c == 'A' || c == 'a') {
            echoed_.assign(1, c);
            Echo(std::string(1, c), now);
        } else {
            state_ = TInputState::Idle;
            if (Printable(c) || c == bs)
                Echo(std::string(1, c), now);
        }
        break;
    case TInputState::InLine:
        if (c == cr) {
            Echo(std::string(1, c), now);
            state_ = TInputState::Idle;
            lastLine_ = line_;
            ExecuteLine(line_, now);
        } else if (c == bs) {
            Echo(std::string(1, c), now);
            if (!line_.empty())
                line_.pop_back();
        } else if (Printable(c)) {
            // Over-long lines are kept short; the command then fails.
            if (line_.size() < 4096)
                line_ += c;
            Echo(std::string(1, c), now);
        }
        break;
    }
}

void TAtCore::ExecuteLine(const std::string& line, int64_t now)
{
    transcript_.Add(TDirection::Command, echoed_ + line);
    if (lineListener_)
        lineListener_(echoed_ + line, now);

    TReply final;
    int64_t t = now;
    bool dropFinal = false;
    device_.faults.deferred.reset();
    std::vector<TAtCommand> cmds;
    if (now < device_.errorUntil)
        final.Error();
    else if (line.size() >= 4096 || !SplitCommandLine(line, cmds))
        final.Error();
    else if (cmds.empty()) {
        // A bare "AT": only a switch for every command can touch it.
        TAtCommand bare;
        if (std::optional<TFaultShape> fault = device_.faults.Fire(bare)) {
            device_.Host().Note(fault->note);
            fault->Apply(final);
            t += std::max(0, final.delayMs);
            dropFinal = fault->noFinal;
        }
    } else {
        for (const TAtCommand& cmd : cmds) {
            const TCommandHandler* handler = registry_.Find(cmd.name);
            if (!handler) {
                final.Error();
                break;
            }
            TReply reply;
            std::optional<TFaultShape> fault = device_.faults.Fire(cmd);
            if (fault)
                device_.Host().Note(fault->note);
            if (fault && fault->replace) {
                // The switch answers in the command's place.
            } else if (device_.power == TPowerState::AlarmMode && !AllowedInAlarmMode(cmd.name))
                reply.Cme(Cme::NotAllowed);
            else {
                TCommandContext ctx{device_, *this, cmd, reply};
                (*handler)(ctx);
            }
            if (fault && reply.final == TReply::TFinal::None && !fault->replace) {
                // Answered after its prompt: shaped when that answer goes out.
                device_.faults.deferred = std::move(fault);
                fault.reset();
            }
            if (fault) {
                fault->Apply(reply);
                dropFinal = dropFinal || fault->noFinal;
            }
            int delay = reply.delayMs;
            const auto& delays = device_.Profile().delays;
            const auto it = delays.find(cmd.FormKey());
            if (it != delays.end())
                delay += it->second;
            t += std::max(0, delay);
            for (size_t i = 0; i < reply.lines.size(); ++i)
                Queue(t, FrameInfo(reply.lines[i], i == 0));
            if (reply.onDelivered)
                device_.Host().After(static_cast<int>(t - now), std::move(reply.onDelivered));
            if (reply.final != TReply::TFinal::Ok) {
                final = std::move(reply);
                final.lines.clear();
                break;
            }
        }
    }
    if (final.final == TReply::TFinal::None) {
        // The command answers later by itself (e.g. after the text at a "> " prompt).
    } else if (dropFinal) {
        device_.Host().Note("final result dropped by a fault switch");
    } else if (device_.dropFinals > 0) {
        --device_.dropFinals;
        device_.Host().Note("final result dropped");
    } else
        Queue(t, FrameFinal(final));
    busyUntil_ = t;
}

std::string TAtCore::FrameInfo(const std::string& line, bool first) const
{
    if (!device_.verbose)
        return line + "\r\n";
    return (first ? "\r\n" : "") + line + "\r\n";
}

std::string TAtCore::FrameFinal(const TReply& reply) const
{
    using F = TReply::TFinal;
    if (reply.final == F::None || device_.quiet)
        return "";
    std::string text;
    int code = 0;
    switch (reply.final) {
    case F::Ok: text = "OK"; code = 0; break;
    case F::Error: text = "ERROR"; code = 4; break;
    case F::Cme:
        if (device_.cmee == 0) {
            text = "ERROR";
            code = 4;
        } else {
            const char* verbose = device_.cmee == 2 ? Cme::Text(reply.code) : nullptr;
            const std::string err =
                "+CME ERROR: " + (verbose ? std::string(verbose) : std::to_string(reply.code));
            return device_.verbose ? "\r\n" + err + "\r\n" : err + "\r\n";
        }
        break;
    case F::Cms: {
        const std::string err = "+CMS ERROR: " + std::to_string(reply.code);
        return device_.verbose ? "\r\n" + err + "\r\n" : err + "\r\n";
    }
    case F::Text: text = reply.finalText; code = NumericCode(text); break;
    case F::None: return "";
    }
    if (device_.verbose)
        return "\r\n" + text + "\r\n";
    return std::to_string(code) + "\r";
}

void TAtCore::Unsolicited(const std::string& line, int64_t now)
{
    Queue(now, device_.verbose ? "\r\n" + line + "\r\n" : line + "\r\n");
}

void TAtCore::SendRaw(const std::string& bytes, int64_t now)
{
    Queue(now, bytes);
}

void TAtCore::Queue(int64_t due, std::string bytes)
{
    if (bytes.empty())
        return;
    auto pos = std::upper_bound(out_.begin(), out_.end(), due,
                                [](int64_t d, const TOut& o) { return d < o.due; });
    out_.insert(pos, TOut{due, std::move(bytes)});
}

void TAtCore::Write(std::string bytes)
{
    if (writer_)
        writer_(bytes);
}

void TAtCore::Pump(int64_t now)
{
    std::string batch;  // unpaced output leaves in one write
    while (!out_.empty() && out_.front().due <= now) {
        TOut& front = out_.front();
        if (paceBaud_ <= 0) {
            batch += front.bytes;
            out_.pop_front();
            continue;
        }
        const double byteMs = 10000.0 / paceBaud_;
        // A line idle for a while, or a thread woken late, sends at most
        // 16 characters at once; a late wake-up must not cost the line its
        // rate (starting over from now would send one character per wake).
        if (nextByteAt_ < now - 16 * byteMs)
            nextByteAt_ = now - 16 * byteMs;
        if (nextByteAt_ > now)
            break;
        const size_t can = 1 + static_cast<size_t>((now - nextByteAt_) / byteMs);
        const size_t k = std::min(can, front.bytes.size());
        Write(front.bytes.substr(0, k));
        nextByteAt_ += k * byteMs;
        if (k < front.bytes.size()) {
            front.bytes.erase(0, k);
            break;
        }
        out_.pop_front();
    }
    if (!batch.empty())
        Write(std::move(batch));
    if (!Busy(now) && !held_.empty()) {
        std::string input;
        input.swap(held_);
        Receive(input, now);
    }
}

int TAtCore::NextPumpMs(int64_t now) const
{
    int64_t wait = -1;
    auto consider = [&](int64_t ms) {
        ms = std::max<int64_t>(ms, 0);
        if (wait < 0 || ms < wait)
            wait = ms;
    };
    if (!out_.empty()) {
        if (out_.front().due > now)
            consider(out_.front().due - now);
        else if (paceBaud_ > 0) {
            const double byteMs = 10000.0 / paceBaud_;
            const double at = std::max(nextByteAt_, static_cast<double>(now)) + 7 * byteMs;
            consider(std::max<int64_t>(1, static_cast<int64_t>(std::ceil(at - now))));
        } else
            consider(0);
    }
    if (!held_.empty())
        consider(busyUntil_ - now);
    return static_cast<int>(std::min<int64_t>(wait, 1 << 30));
}

void TAtCore::Clear()
{
    out_.clear();
    held_.clear();
    line_.clear();
    state_ = TInputState::Idle;
    busyUntil_ = 0;
    rawInput_ = nullptr;
}

}  // namespace ModemSim
