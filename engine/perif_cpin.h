#pragma once
#include <string>

#include "engine/perif.h"

// The SIM PIN handler (AT+CPIN). Until it is built this stand-in reports a
// ready card and never asks the user anything.
class VPerifCPIN : public VPerif {
public:
    explicit VPerifCPIN(VUniSET* owner);

    bool isBusy() const override;
    // PIN texts go in quotes (all devices but the Siemens M1 and A1).
    virtual bool usesQuotes() const;
    virtual bool isReady() const;
    // Asks the user for the PIN when the card wants one (from the engine's tick).
    virtual void askPIN();
    // The options dialog's PIN edit changed.
    virtual void setPIN(const std::string& pin);
    // The user agreed to send the PIN.
    virtual void confirmPIN();
    // Query the card again (after a power change).
    virtual void requery();

protected:
    std::string pin;
};
