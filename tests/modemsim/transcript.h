#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Everything the simulated device received and sent, with times, for tests
// to assert on and for the tool's transcript file. Thread-safe: the
// simulator's thread writes, tests read and wait.
namespace ModemSim {

enum class TDirection {
    Received,  // bytes from the program, as read from the pty
    Sent,      // bytes to the program, as written to the pty
    Command,   // one command line the device executed (text after "AT", no CR)
    Dropped,   // bytes read but not understood (baud mismatch, powered off)
    Event      // something the device did (reset, power, fault, line change)
};

struct TTranscriptEntry {
    int64_t ms = 0;  // since the simulator started
    TDirection direction = TDirection::Event;
    std::string data;
};

class TTranscript {
public:
    // Entry times come from `clock` (ms, any origin; null: the host's
    // steady clock), counted from the transcript's creation.
    explicit TTranscript(std::function<int64_t()> clock = nullptr);

    void Add(TDirection direction, const std::string& data);

    std::vector<TTranscriptEntry> Entries() const;
    // Moves the entries out and starts an empty transcript (a long run
    // keeps what it needs of them and lets the rest go). Entry indexes
    // count from the new start afterwards.
    std::vector<TTranscriptEntry> Take();
    size_t Size() const;
    // All bytes of one direction concatenated (Received or Sent).
    std::string Stream(TDirection direction) const;
    // The executed command lines (as received, "AT" included), in order.
    std::vector<std::string> Commands() const;

    // Waits until a command line equal to `command` (ignoring case; "AT"
    // prefix optional in both) appears at entry index `from` or later.
    // Returns the entry index, or -1 on time-out.
    int WaitForCommand(const std::string& command, int timeoutMs, size_t from = 0) const;
    // Waits until the bytes sent to the program since entry `from` contain
    // `text`. Returns true when they do.
    bool WaitForSent(const std::string& text, int timeoutMs, size_t from = 0) const;
    // Waits for an event entry containing `text`.
    bool WaitForEvent(const std::string& text, int timeoutMs, size_t from = 0) const;

    // The command line sent most often within any `windowMs` of the
    // transcript's time, among those `counted` accepts (null: all).
    struct TBurst {
        std::string command;  // as received, "AT" included
        int count = 0;
        int64_t atMs = 0;     // where the window starts
    };
    TBurst MostRepeated(int64_t windowMs, const std::function<bool(const std::string&)>& counted = nullptr) const;
    // The status handlers' periodic reads (signal, registration, operator,
    // clock, alarm, battery, SIM and power state, the bare "AT" probe),
    // which repeat by design.
    static bool IsStatusPoll(const std::string& command);
    // Everything but the status polls.
    static bool NotStatusPoll(const std::string& command) { return !IsStatusPoll(command); }

    // The host's steady time of the last entry (ms since the epoch of
    // std::chrono::steady_clock), whatever clock the entries use: tells a
    // test how long the line has been quiet.
    int64_t LastEntryHostMs() const;

    // Human-readable dump: one entry a line, time, direction, escaped bytes.
    std::string ToText() const;
    static std::string Escape(const std::string& bytes);

private:
    int64_t NowMs() const;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::function<int64_t()> clock_;
    int64_t start_ = 0;
    int64_t lastHostMs_ = 0;
    std::vector<TTranscriptEntry> entries_;
};

}  // namespace ModemSim
