#pragma once
#include "engine/perif.h"

// The signal quality handler (AT+CSQ). Until it is built this stand-in
// reports known values (rssi 15, ber 99: the usual answer) and takes the
// values of every "+CSQ: " line it sees, as the handler does.
class VPerifCSQ : public VPerif {
public:
    explicit VPerifCSQ(VUniSET* owner);

    bool isBusy() const override;
    void onResponse(uint32_t now) override;
    virtual bool isKnown() const;
    // The values as the device reported them (-1 unknown, 99 not known by
    // the device).
    virtual void getValues(int& rssi, int& ber) const;
    // Asks for a reading at the next turn on which no handler waits (the
    // registration handler after an unsolicited report).
    virtual void requestRead();

protected:
    int rssi = 15;
    int ber = 99;
};
