#pragma once
#include <string>

#include "engine/perif.h"

// The clock handler (AT+CCLK). Until it is built this stand-in reports the
// probe as over (a device without a clock) and shows nothing.
class VPerifCCLK : public VPerif {
public:
    explicit VPerifCCLK(VUniSET* owner);

    bool isBusy() const override;
    // Device time minus PC time in whole seconds.
    virtual int getOffset() const;
    // What followed date and time in the last "+CCLK: " answer ("+04").
    virtual std::string getZoneSuffix() const;
    virtual void setOffset(int seconds);
    // The running clock display, from the engine's tick.
    virtual void refreshDisplay(uint32_t now);
    // The probe is over: clock known or absent.
    virtual bool isResolved() const;

protected:
    int offset = 0;
};
