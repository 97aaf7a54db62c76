#pragma once
#include <cstdint>
#include <string>

#include "engine/perif.h"
#include "engine/retry_hold.h"

// The clock handler: finds out whether the device has a real-time clock
// ("AT+CCLK=?"), reads it ("AT+CCLK?") and keeps it as an offset in whole
// seconds from the PC's clock, so that the main window's clock group shows
// the device time running without asking the device on every tick. A
// clock-setting command ("AT+CCLK=" with a time) that the main window
// sends is recognised, and its offset taken once the device confirms it.
//
// States: 0 not yet probed, 1 the device has a clock (not yet read),
// 2 clock known, 3 the device has no clock.
class VPerifCCLK : public VPerif {
public:
    // Repeat of an unanswered command.
    static constexpr uint32_t RepeatMs = 2000;
    // Re-read while "Aktualizovat hodnoty" is checked.
    static constexpr uint32_t RefreshMs = 300000;
    // The display does not move right after a command of this handler.
    static constexpr uint32_t DisplayQuietMs = 200;

    explicit VPerifCCLK(VUniSET* owner);
    ~VPerifCCLK() override;

    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // Records a clock command from the text after "AT+CCLK".
    virtual void noteCommand(const std::string& tail);
    // Stores the state and switches the clock group (when forced or changed).
    virtual void setState(int state, bool force = false);
    // Device time minus PC time in whole seconds.
    virtual int getOffset() const;
    // What followed date and time in the last good "+CCLK: " answer
    // ("+04"); empty unless the clock is known. Never holds a double
    // quote or a control character.
    virtual std::string getZoneSuffix() const;
    std::string timeZoneSuffix() const { return getZoneSuffix(); }
    // Stores the offset and shows it as a duration text.
    virtual void setOffset(int seconds);
    // The running clock display, from the engine's tick.
    virtual void refreshDisplay(uint32_t now);
    // The date and time formats changed (a new language): the clock is
    // shown anew at the next tick.
    void formatsChanged() { displayDue = true; }
    // The probe is over: clock known or absent.
    virtual bool isResolved() const;

    int getState() const { return state; }
    int getPendingKind() const { return pendingKind; }

protected:
    // 0 none, 1 "AT+CCLK=?", 2 a set command, 3 "AT+CCLK?".
    int pendingKind = 0;
    int state = 0;
    std::string zoneSuffix;
    int offset = 0;
    int pendingOffset = 0;
    uint32_t lastReadTick = 0;
    // The read under way has brought a time.
    bool readAnswered = false;
    // When the running display was last made and how long its second
    // lasted from then; due at once after a change of offset or state.
    uint32_t lastDisplayTick = 0;
    uint32_t displayWaitMs = 0;
    bool displayDue = true;
    TRetryHold hold;
};
