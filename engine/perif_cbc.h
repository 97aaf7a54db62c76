#pragma once
#include "engine/perif.h"

// The battery and charger handler (AT+CBC, AT^SBC). Until it is built this
// stand-in shows nothing.
class VPerifCBC : public VPerif {
public:
    explicit VPerifCBC(VUniSET* owner);

    bool isBusy() const override;
    // Writes the values into the battery group (also after a language change).
    virtual void showValues();
};
