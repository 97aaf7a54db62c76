#include "tests/modemsim/transcript.h"

#include <cctype>
#include <cstdio>
#include <map>

#include "tests/modemsim/at_command.h"

namespace ModemSim {

namespace {

const char* DirectionName(TDirection d)
{
    switch (d) {
    case TDirection::Received: return "<-";
    case TDirection::Sent: return "->";
    case TDirection::Command: return "CMD";
    case TDirection::Dropped: return "DROP";
    case TDirection::Event: return "EV";
    }
    return "?";
}

}  // namespace

namespace {

int64_t HostMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

TTranscript::TTranscript(std::function<int64_t()> clock) : clock_(clock ? std::move(clock) : HostMs)
{
    start_ = clock_();
    lastHostMs_ = HostMs();
}

int64_t TTranscript::NowMs() const
{
    return clock_() - start_;
}

void TTranscript::Add(TDirection direction, const std::string& data)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back({NowMs(), direction, data});
        lastHostMs_ = HostMs();
    }
    changed_.notify_all();
}

int64_t TTranscript::LastEntryHostMs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastHostMs_;
}

std::vector<TTranscriptEntry> TTranscript::Entries() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

std::vector<TTranscriptEntry> TTranscript::Take()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TTranscriptEntry> out;
    out.swap(entries_);
    return out;
}

size_t TTranscript::Size() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

std::string TTranscript::Stream(TDirection direction) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    for (const auto& e : entries_)
        if (e.direction == direction)
            out += e.data;
    return out;
}

std::vector<std::string> TTranscript::Commands() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    for (const auto& e : entries_)
        if (e.direction == TDirection::Command)
            out.push_back(e.data);
    return out;
}

int TTranscript::WaitForCommand(const std::string& command, int timeoutMs, size_t from) const
{
    const std::string wanted = CommandKey(command);
    std::unique_lock<std::mutex> lock(mutex_);
    int found = -1;
    size_t scanned = from;
    changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (; scanned < entries_.size(); ++scanned) {
            const auto& e = entries_[scanned];
            if (e.direction == TDirection::Command && CommandKey(e.data) == wanted) {
                found = static_cast<int>(scanned);
                return true;
            }
        }
        return false;
    });
    return found;
}

bool TTranscript::WaitForSent(const std::string& text, int timeoutMs, size_t from) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        std::string sent;
        for (size_t i = from; i < entries_.size(); ++i)
            if (entries_[i].direction == TDirection::Sent)
                sent += entries_[i].data;
        return sent.find(text) != std::string::npos;
    });
}

bool TTranscript::WaitForEvent(const std::string& text, int timeoutMs, size_t from) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (size_t i = from; i < entries_.size(); ++i)
            if (entries_[i].direction == TDirection::Event && entries_[i].data.find(text) != std::string::npos)
                return true;
        return false;
    });
}

TTranscript::TBurst TTranscript::MostRepeated(int64_t windowMs,
                                             const std::function<bool(const std::string&)>& counted) const
{
    std::map<std::string, std::vector<int64_t>> times;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& e : entries_)
            if (e.direction == TDirection::Command && (!counted || counted(e.data)))
                times[e.data].push_back(e.ms);
    }
    TBurst most;
    for (const auto& [command, at] : times) {
        size_t first = 0;
        for (size_t last = 0; last < at.size(); ++last) {
            while (at[last] - at[first] >= windowMs)
                ++first;
            const int n = static_cast<int>(last - first + 1);
            if (n > most.count)
                most = TBurst{command, n, at[first]};
        }
    }
    return most;
}

bool TTranscript::IsStatusPoll(const std::string& command)
{
    const std::string key = CommandKey(command);
    if (key.empty())
        return true;  // the bare "AT" that asks whether the device answers
    static const char* const polls[] = {"+CSQ", "+CREG?", "+CGREG?", "+COPS?", "+CCLK?", "+CALA?", "+CBC",
                                        "^SBC?", "+CPIN?", "+CFUN?",  "+CPAS", "+CMEE?"};
    for (const char* p : polls)
        if (key == p)
            return true;
    return false;
}

std::string TTranscript::Escape(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

std::string TTranscript::ToText() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    for (const auto& e : entries_) {
        char head[48];
        std::snprintf(head, sizeof head, "%9.3f %-4s ", e.ms / 1000.0, DirectionName(e.direction));
        out += head;
        out += Escape(e.data);
        out += '\n';
    }
    return out;
}

}  // namespace ModemSim
