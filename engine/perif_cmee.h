#pragma once
#include "engine/perif.h"

// The error-report mode handler (AT+CMEE). Until it is built this stand-in
// reports the mode as known.
class VPerifCMEE : public VPerif {
public:
    explicit VPerifCMEE(VUniSET* owner);

    bool isBusy() const override;
    virtual bool isKnown() const;
};
