#pragma once
#include "engine/perif.h"

// The power mode handler (AT+CFUN, ^SMSO). Until it is built this stand-in
// reports a device in normal (full) power that the user left there.
class VPerifPower : public VPerif {
public:
    explicit VPerifPower(VUniSET* owner);

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
};
