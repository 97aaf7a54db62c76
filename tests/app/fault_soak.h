#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/modemsim/transcript.h"

// The whole program against a misbehaving device: the real main window
// (offscreen) on a simulated device whose fault switches are drawn from a
// seed (lost, late and refused final results, a memory that does not
// switch, empty slots, messages announced and gone, RING without a
// number, one dial answered NO ANSWER, one data call whose carrier drops
// silently), a second simulated station that takes files, and a scripted
// user who once a minute sends an SMS, edits a phonebook entry, dials and
// hangs up, and queues a small file for the second station. The report
// says what the device was asked, how long each handler was out of ready,
// how each user action ended, and the memory the process held.
//
// Needs a QApplication; changes HOME, XDG_CONFIG_HOME and the tick
// offset while it runs.
namespace Soak {

struct TSoakOptions {
    uint32_t seed = 1;
    // Device time the scripted user acts in, and after it the time every
    // action started is given to end.
    int64_t actingMs = 90000;
    int64_t drainMs = 60000;
    // Device and program on one clock that runs ahead while nothing is on
    // its way (false: the wall clock).
    bool deviceTime = true;
    // Where the device's transcript goes as it is let go ("": nowhere).
    std::string transcriptFile;
    // Progress lines while it runs (null: none).
    std::function<void(const std::string&)> progress;
};

struct THandlerStat {
    std::string name;
    int outOfReady = 0;       // stretches out of ready longer than kNotableMs
    int64_t longestMs = 0;    // the longest stretch out of ready
    bool readyAtEnd = false;
};

struct TActionStat {
    std::string kind;
    int done = 0, failed = 0, hanging = 0;
    int64_t longestMs = 0;           // from the action to its end, done or failed
    std::vector<std::string> notes;  // how each failed or hanging one showed
};

struct TSoakReport {
    uint32_t seed = 0;
    bool started = false;  // the window reached "ready" on the faulty device
    std::string startError;
    int64_t deviceMs = 0, hostMs = 0;
    size_t commands = 0;
    ModemSim::TTranscript::TBurst worst;  // the most any command but the polls came in 30 s
    std::vector<THandlerStat> handlers;
    std::vector<TActionStat> actions;
    int faultsFired = 0;
    int messageBoxes = 0;
    long rssStartKb = 0, rssEndKb = 0;

    int Hanging() const;
    std::string ToText() const;
};

// A stretch out of ready shorter than this is a command on its way, not a
// fall out of ready worth counting.
constexpr int64_t kNotableMs = 2000;

TSoakReport RunFaultSoak(const TSoakOptions& options);

// The process's resident set in KiB (0 where /proc cannot tell).
long ResidentKb();

}  // namespace Soak
