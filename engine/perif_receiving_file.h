#pragma once
#include "engine/perif.h"

class Protikus;

// The file receiver. Until it is built this stand-in never receives.
class VPerifReceivingFile : public VPerif {
public:
    explicit VPerifReceivingFile(VUniSET* owner);

    bool isBusy() const override;
    // Readiness: no transfer in progress.
    virtual bool isIdle() const;
    // The call of `party` ended; nothing is being received yet.
    virtual void abandon(uint32_t now, Protikus* party);
};
