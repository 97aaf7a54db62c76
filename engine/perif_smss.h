#pragma once
#include "engine/perif.h"

// The SMS handler. Until it is built this stand-in reports its
// new-message settings as known; it receives the PDU lines (onSms11) and
// the ends of the text after the prompt (onSmsPromptEnd) and ignores them.
class VPerifSMSs : public VPerif {
public:
    explicit VPerifSMSs(VUniSET* owner);

    bool isBusy() const override;
    // Readiness: new-message indication known, no storage change pending.
    virtual bool isInitialised() const;
};
