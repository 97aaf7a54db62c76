#pragma once
#include "engine/perif.h"

// The call handler. Until it is built this stand-in reports its settings
// as known and nothing to do.
class VPerifCalls : public VPerif {
public:
    explicit VPerifCalls(VUniSET* owner);

    bool isBusy() const override;
    // Readiness: settings known, nothing pending.
    virtual bool isSettled() const;
    // A new command may go out now.
    virtual bool isReadyForCommand() const;
};
