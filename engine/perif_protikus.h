#pragma once
#include "engine/perif.h"

// The remote-station handler. Until it is built this stand-in has no
// station to reach and no remote party.
class VPerifProtikus : public VPerif {
public:
    explicit VPerifProtikus(VUniSET* owner);

    bool isBusy() const override;
    // Readiness: no station pending, or the current party is known.
    virtual bool isSettled() const;
};
