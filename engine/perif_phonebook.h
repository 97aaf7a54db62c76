#pragma once
#include "engine/perif.h"

// The phonebook handler. Until it is built this stand-in has nothing to
// read or write.
class VPerifPhonebook : public VPerif {
public:
    explicit VPerifPhonebook(VUniSET* owner);

    bool isBusy() const override;
    // Readiness: nothing left to read or write, the wanted memory selected.
    virtual bool isReady() const;
};
