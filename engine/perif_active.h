#pragma once
#include <string>
#include <string_view>

#include "engine/perif.h"

// The link watcher, first of the handlers: finds out whether a device
// answers on the open port, wakes a device stuck in a data or text state
// (the raw bytes NUL ESC, then "AT"), flips the port between 19200 and
// 9600 baud while nothing answers, and holds every other handler back
// (it reports busy) until the device has answered and settled: 500 ms
// after an answer, 5000 ms after "SIM BUSY". A device that answers the
// same command with plain "ERROR" again and again looks reset: the user is
// asked whether to set it up again, which closes the port for about four
// seconds and resets every handler.
//
// States: 0 a command went out before the device ever answered (ESC "AT"
// every second), 1 not answering (the probe cycle runs), 2 wake-up bytes
// written ("AT" follows 100 ms later), 3 a command awaits its final
// result (probed again when it never comes), 4 answered and settling,
// 5 settled.
class VPerifActive : public VPerif {
public:
    // States 3 and 5 by name: a handler that gives up waiting for its own
    // command's result moves the watcher from the one to the other.
    static constexpr int AwaitingResult = 3;
    static constexpr int Settled = 5;
    // Time the port stays closed when the device is set up again.
    static constexpr uint32_t ReopenDelay = 4000;
    // A final result that never comes (lost on the line, dropped by the
    // device) would hold every handler back for good: after this long
    // without a line from the device the watcher probes it again (state 0).
    static constexpr uint32_t FinalResultTimeoutMs = 20000;
    // Commands that may rightly stay silent longer: a network search takes
    // minutes, a dial rings until it is answered, a message goes out over
    // the network (the handlers that sent them give up sooner on their own).
    static constexpr uint32_t SearchTimeoutMs = 180000;
    static constexpr uint32_t DialTimeoutMs = 90000;
    static constexpr uint32_t SendTimeoutMs = 60000;
    // How long the final result of this sent line may take.
    static uint32_t FinalResultLimit(std::string_view sentLine);

    explicit VPerifActive(VUniSET* owner);

    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    // In a data call only the settling after the last answer goes on.
    void dataTick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    // Until the device has answered and settled.
    bool isBusy() const override;

    virtual void setState(int state);
    // Answered and settled: the other handlers may send.
    virtual bool isSettled() const;
    // The device answers.
    virtual bool isAnswering() const;
    // A connection attempt is under way (the port display shows
    // "connecting" rather than "no answer").
    virtual bool isChecking() const;
    bool isConnecting() const { return isChecking(); }

    int getState() const { return state; }
    bool isResetQuestionDue() const { return resetQuestion; }

    // Whether a received line is a final result the watcher counts as an
    // answer (result codes, "RING", "CONNECT...", "NO CARRIER", ...).
    static bool IsAnswerLine(std::string_view line);

private:
    // State 4: the answer has settled once its time has passed.
    void settle(uint32_t now);
    void switchBaudRate();
    void askReset(uint32_t now);

    int state = 1;
    bool rawStepDue = false;
    int baudCountdown = 2;
    std::string savedCommand;
    uint32_t answerTime = 0;
    bool resetQuestion = false;
    bool simBusy = false;
    int errorCountdown = 4;
    bool portSeen = false;
    // State 3: since when the device has been silent, and for how long it may be.
    uint32_t heldSince = 0;
    uint32_t heldLimit = FinalResultTimeoutMs;
};
