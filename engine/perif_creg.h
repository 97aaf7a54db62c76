#pragma once
#include "engine/perif.h"

// The network registration handler (AT+CREG). Until it is built this
// stand-in reports a device registered in its home network, location
// unknown; setValues changes what it reports.
class VPerifCREG : public VPerif {
public:
    explicit VPerifCREG(VUniSET* owner);

    bool isBusy() const override;
    virtual bool isRegistered() const;
    // Stores the four values and redraws the registration text when any changed.
    virtual void setValues(int mode, int stat, int lac, int cell);
    // Registration state of TS 27.007 (-1 not known).
    virtual int getStat() const;
    // Location area code and cell id (-1 not known).
    virtual int getLac() const;
    virtual int getCell() const;

protected:
    int mode = -1;
    int stat = 1;
    int lac = -1;
    int cellId = -1;
};
