#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "tests/modemsim/command_registry.h"
#include "tests/modemsim/device.h"
#include "tests/modemsim/transcript.h"

// The device's command interpreter: takes the bytes the program sends,
// echoes them, finds "AT" command lines (A/ repeats the last one; NUL, ESC
// and other noise before a command are skipped), runs their commands
// through the registry and frames the answers after V.25ter (CR LF around
// every result, ATV0 numeric codes, ATQ1 quiet, +CMEE error forms).
// Answers wait in a timed output queue, so a command can take its time;
// input that comes meanwhile waits until the answer is out.
namespace ModemSim {

class TAtCore {
public:
    using TWriter = std::function<void(const std::string& bytes)>;
    // Raw input hook for later modes (SMS text after "> ", data calls):
    // gets each byte while installed; returns false to hand input back.
    using TRawInput = std::function<bool(char c)>;
    // Called for every executed command line (text as received).
    // Told of each command line as it is taken, with the time it was taken at.
    using TLineListener = std::function<void(const std::string& line, int64_t now)>;

    TAtCore(TDevice& device, const TCommandRegistry& registry, TTranscript& transcript);

    void SetWriter(TWriter writer) { writer_ = std::move(writer); }
    void SetLineListener(TLineListener listener) { lineListener_ = std::move(listener); }
    void SetRawInput(TRawInput hook)
    {
        rawInput_ = std::move(hook);
        ++rawSerial_;
    }
    // Output pacing: bytes leave at this many bits a second / 10 (0 = at once).
    void SetPacing(int baud) { paceBaud_ = baud; }

    // Bytes from the program (already checked for baud and power).
    void Receive(const std::string& bytes, int64_t now);
    // An unsolicited result line, framed, queued for now.
    void Unsolicited(const std::string& line, int64_t now);
    // Raw bytes to the program (garbage, prompts), queued for now.
    void SendRaw(const std::string& bytes, int64_t now);

    // Writes what is due, and takes held input once the device is free.
    void Pump(int64_t now);
    // Milliseconds until Pump has something to do (-1: nothing pending).
    int NextPumpMs(int64_t now) const;
    // Forget queued output and held input (reset, power off).
    void Clear();
    bool Busy(int64_t now) const { return now < busyUntil_; }

    // Framing helpers, public for the command families that need a
    // result code of their own (e.g. "NO CARRIER").
    std::string FrameInfo(const std::string& line, bool first) const;
    std::string FrameFinal(const TReply& reply) const;

private:
    void Process(char c, int64_t now);
    void ExecuteLine(const std::string& line, int64_t now);
    void Queue(int64_t due, std::string bytes);
    void Echo(const std::string& bytes, int64_t now);
    void Write(std::string bytes);

    enum class TInputState { Idle, GotA, InLine };

    TDevice& device_;
    const TCommandRegistry& registry_;
    TTranscript& transcript_;
    TWriter writer_;
    TLineListener lineListener_;
    TRawInput rawInput_;
    uint64_t rawSerial_ = 0;

    TInputState state_ = TInputState::Idle;
    std::string line_;      // after "AT"
    std::string echoed_;    // the "AT" as typed, for the transcript
    std::string lastLine_;  // for A/
    std::string held_;      // input received while busy
    int64_t busyUntil_ = 0;

    struct TOut {
        int64_t due;
        std::string bytes;
    };
    std::deque<TOut> out_;
    int paceBaud_ = 0;
    double nextByteAt_ = 0;  // pacing: when the next byte may leave (ms)
};

}  // namespace ModemSim
