#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
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
    TTranscript();

    void Add(TDirection direction, const std::string& data);

    std::vector<TTranscriptEntry> Entries() const;
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

    // Human-readable dump: one entry a line, time, direction, escaped bytes.
    std::string ToText() const;
    static std::string Escape(const std::string& bytes);

private:
    int64_t NowMs() const;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::chrono::steady_clock::time_point start_;
    std::vector<TTranscriptEntry> entries_;
};

}  // namespace ModemSim
