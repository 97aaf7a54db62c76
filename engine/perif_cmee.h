#pragma once
#include <string>

#include "engine/perif.h"

// The error-report mode handler: once per connection it switches the
// device's extended error reports to verbose texts ("AT+CMEE=2"), so that
// failures come back as "+CME ERROR: " with a text (the link watcher looks
// for "SIM BUSY" in them). It follows every "AT+CMEE" command anybody sends
// and every "+CMEE: " answer, and gives up after four failed attempts.
class VPerifCMEE : public VPerif {
public:
    explicit VPerifCMEE(VUniSET* owner);

    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    // A value awaits its confirming "OK".
    bool isBusy() const override;
    // The device's setting is known.
    virtual bool isKnown() const;

    // The setting when known (0 or more); -1 unknown; -2 to -5 after one
    // to four failed attempts (-5: no more attempts).
    int getMode() const { return cmeeMode; }

private:
    // The text after "AT+CMEE" of a sent line or an echo.
    void parseTail(const std::string& tail);

    int cmeeMode = -1;
    int cmeeAwaited = -1;
    bool retryWait = false;
};
