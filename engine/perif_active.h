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
// result, 4 answered and settling, 5 settled.
class VPerifActive : public VPerif {
public:
    // Time the port stays closed when the device is set up again.
    static constexpr uint32_t ReopenDelay = 4000;

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
};
