#pragma once
#include "engine/perif.h"

// The link watcher: does the device answer. Until it is built this
// stand-in reports a device that answers and has settled, and it never
// waits for anything.
class VPerifActive : public VPerif {
public:
    explicit VPerifActive(VUniSET* owner);

    bool isBusy() const override;
    virtual void setState(int state);
    // Answered and settled: the other handlers may send.
    virtual bool isSettled() const;
    // The device answers.
    virtual bool isAnswering() const;
    // A connection attempt is under way (the port display shows
    // "connecting" rather than "no answer").
    virtual bool isChecking() const;
};
