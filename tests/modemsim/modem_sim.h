#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/modem_lines.h"
#include "tests/modemsim/at_core.h"
#include "tests/modemsim/call_link.h"
#include "tests/modemsim/command_registry.h"
#include "tests/modemsim/device.h"
#include "tests/modemsim/profile.h"
#include "tests/modemsim/pty_device.h"
#include "tests/modemsim/script.h"
#include "tests/modemsim/transcript.h"

// A simulated GSM device on a pseudo-terminal. Create it with a profile,
// Start() it, hand PtyPath() to the program under test; the device answers
// from its own thread. Tests inject unsolicited lines and faults, change
// the device's state, drive the modem lines and read the transcript.
//
//   ModemSim::TModemSim sim(ModemSim::TProfile::Builtin("tc35"));
//   ASSERT_TRUE(sim.Start());
//   open(sim.PtyPath().c_str(), ...);
//   sim.Transcript().WaitForCommand("AT+CPIN?", 5000);
//   sim.InjectLine("+CREG: 1");
namespace ModemSim {

struct TSimOptions {
    TProfile profile = TProfile::Builtin("tc35");
    std::shared_ptr<TTimeSource> time;              // null: the host clock
    std::shared_ptr<Serial::TModemLines> lines;     // null: the simulator's own
    int paceBaud = 0;  // output pacing: 0 off, -1 at the program's line speed, else that rate
    // The device's time (ms, any origin) for its delays, timers and
    // transcript; null: the host's steady clock. A test that moves this
    // clock calls ClockMoved() so that the device looks at it again.
    std::function<int64_t()> clock;
};

class TModemSim : private TDeviceHost {
public:
    explicit TModemSim(TProfile profile);
    explicit TModemSim(TSimOptions options);
    ~TModemSim() override;
    TModemSim(const TModemSim&) = delete;
    TModemSim& operator=(const TModemSim&) = delete;

    // Opens the pseudo-terminal, powers the device up and starts its thread.
    bool Start(std::string* error = nullptr);
    void Stop();
    std::string PtyPath() const;
    bool Disappeared() const { return disappeared_; }

    TTranscript& Transcript() { return *transcript_; }
    Serial::TModemLines& ModemLines() { return *lines_; }
    std::shared_ptr<Serial::TModemLines> SharedModemLines() { return lines_; }

    // ---- injection (any thread)
    void InjectLine(const std::string& line);    // unsolicited result, framed CR LF
    void InjectBytes(const std::string& bytes);  // raw bytes as they are
    void InjectGarbage(size_t count);            // line noise
    void DropFinalResults(int count = 1);        // the next count command lines end without a result code
    // A fault switch (faults.h), e.g. "+CPMS= nochange" or "* nofinal 5%";
    // throws std::invalid_argument on a bad one. ClearFaults drops them all.
    void AddFault(const std::string& text);
    void ClearFaults();
    void Reset(int errorMs);                     // device reset; every command answers ERROR for errorMs
    void Disappear();                            // the pty closes, the program's port is gone
    // A script line (see script.h); "at" times count from now.
    void RunScriptLine(const std::string& line);

    // ---- device state (any thread)
    void SetRegistration(int stat, int lac = -1, int cell = -1);
    void SetSignal(int rssi, int ber);
    void SetBattery(int chargerStatus, int level, int consumption = -1);
    void SetRing(bool on);     // the RING line
    void SetCarrier(bool on);  // the DCD line
    void PowerOn();            // a powered-down device starts (as by its ignition line)
    // Runs f on the device under the simulator's lock (read or change
    // anything; unsolicited lines it causes go out afterwards).
    void WithDevice(const std::function<void(TDevice&)>& f);

    // ---- device time
    int64_t NowMs() const { return SteadyMs(); }
    // How long until the device does something by itself: an answer or
    // unsolicited line due, a timed step, a held command line; -1 for
    // nothing planned (the alarm and other slow checks apart). 0 while it
    // has work now or bytes from the program still unread.
    int64_t NextDueMs() const;
    void ClockMoved() { Wake(); }

    // ---- for extensions: the command table (change it before Start)
    TCommandRegistry& Registry() { return registry_; }

    // ---- calls: joins two simulators (before Start) so that each can dial
    // the other by its profile's own number; further simulators can join
    // either of them.
    static void Link(TModemSim& a, TModemSim& b);

private:
    // TDeviceHost
    int64_t SteadyMs() const override;
    void Unsolicited(const std::string& line) override;
    void After(int delayMs, std::function<void()> action) override;
    void SetLine(uint32_t msBit, bool on) override;
    void Note(const std::string& event) override;

    struct TInbox;
    void Run();
    void Wake();
    // The program's line speed differs from the device's fixed one.
    bool SpeedMismatch(int programBaud) const;
    void ReadInput(int64_t now);
    void WriteOutput(const std::string& bytes);
    // Under the lock. `now` is when the action counts as done: what it sends
    // is queued at that time, so a reaction to a command line goes out
    // before that line's answer however late this thread runs.
    void Apply(const TScriptAction& action, int64_t now);
    void ApplyNow(const TScriptAction& action);    // takes the lock, then wakes the thread
    void OnLine(const std::string& line, int64_t now);
    int64_t RunTimers(int64_t now);  // returns ms to the next timer, -1 none

    TSimOptions options_;
    std::shared_ptr<TTranscript> transcript_;
    std::shared_ptr<Serial::TModemLines> lines_;
    std::shared_ptr<TInbox> inbox_;
    TCommandRegistry registry_;
    // Calls: this device's inbox of call events and the link it is in.
    std::shared_ptr<TCallPeerBox> callBox_;
    std::shared_ptr<TCallLink> callLink_;

    mutable std::mutex mutex_;  // guards everything below
    std::unique_ptr<TDevice> device_;
    std::unique_ptr<TAtCore> core_;
    TPtyDevice pty_;
    std::string ptyPath_;
    std::multimap<int64_t, std::function<void()>> timers_;
    std::vector<TScriptStep> onSteps_;
    int64_t start_ = 0;  // the clock's reading at construction

    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> disappeared_{false};
    bool started_ = false;
};

}  // namespace ModemSim
