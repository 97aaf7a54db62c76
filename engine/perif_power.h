#pragma once
#include <string>

#include "engine/perif.h"

// The power mode handler: probes which power commands the device knows
// ("AT+CFUN=?", "AT^SMSO=?", "AT+CPIN=?"), follows the device's power mode
// and moves the device into the mode the user picks on the main window's
// four power items (normal, sleep, logoff, powered down). Most other
// handlers send only while it reports full power.
//
// Modes: 0 unknown (the probes run), 1 normal, 2 waking from sleep (RTS
// pulse given), 3 sleep, 4 woken from power-down by the alarm, 5 powered
// down, 6 leaving logoff, 7 logoff. Wanted modes: 0 not chosen, 1, 3, 5, 7.
// Sleep is left by a pulse on RTS, power-down by closing and reopening the
// port; both are timed steps of the engine, so nothing here waits.
class VPerifPower : public VPerif {
public:
    // Kinds of the handler's own command that await a final result.
    enum TPending : int {
        pkNone = 0,
        pkSetFun = 1,   // "AT+CFUN=" with a value
        pkReadFun = 2,  // "AT+CFUN?" (typed in the terminal)
        pkTestFun = 3,  // "AT+CFUN=?"
        pkSmso = 4,     // "AT^SMSO"
        pkTestSmso = 5, // "AT^SMSO=?"
        pkTestCpin = 6  // "AT+CPIN=?"
    };
    // How long the port stays closed when the device is woken from
    // power-down, and how long RTS stays low to wake it from sleep.
    static constexpr uint32_t ReopenDelay = 4000;
    static constexpr uint32_t RtsPulse = 100;

    explicit VPerifPower(VUniSET* owner);

    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    virtual void evaluateProbes();
    // Current and wanted mode are both normal.
    virtual bool isFullPower() const;
    // Current mode normal or logged off, and the wanted one.
    virtual bool isSteady() const;
    // Current mode: 1 normal, 2-3 sleep, 4-5 off, 6-7 logged off, 0 unknown.
    virtual int getMode() const;
    // Redraws the four power items.
    void showMode();
    // The user picked 1 normal, 3 sleep, 5 off or 7 logged off.
    void setWantedMode(int mode);

    int getWantedMode() const { return wantedPowerMode; }
    int getPending() const { return pendingKind; }
    // Probe results: 0 not probed, 1 "OK", 2 an error.
    int getFunSupport() const { return funSupport; }
    int getSmsoSupport() const { return smsoSupport; }
    int getCpinSupport() const { return cpinSupport; }
    // The fun values "AT+CFUN=?" listed (a number list, "" unknown).
    const std::string& getFunRange() const { return funRange; }

    // The fun values of a "+CFUN: " test answer as a number list: only its
    // first group counts ("(0,1,5),(0-1)" gives "0-1,5").
    static std::string FunRangeOf(const std::string& value);

private:
    // Power item (tag 0..3) showing a current or a wanted mode; -1 none.
    static int ItemOfMode(int mode);
    static int ItemOfWanted(int mode);
    bool funHas(int value) const;
    void parseFunTail(const std::string& tail);
    void restartPort(uint32_t now);

    int powerMode = 0;
    int wantedPowerMode = 0;
    int pendingKind = pkNone;
    int funValue = -1;
    int funReset = -1;
    int funSupport = 0;
    int smsoSupport = 0;
    int cpinSupport = 0;
    std::string funRange;
    bool holdAfterError = false;
};
