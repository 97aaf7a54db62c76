#pragma once
#include <string>

#include "engine/perif.h"

// The model handler (AT+CGMM). Until it is built this stand-in reports an
// identified model that the program does not know by name (0x00F) with an
// empty answer text.
class VPerifCGMM : public VPerif {
public:
    explicit VPerifCGMM(VUniSET* owner);

    bool isBusy() const override;
    // Model bits of the modem type code (0x00E error, 0x00F unknown, 0
    // untested, else a model of the maker's table).
    virtual int getCode() const;
    virtual int getModel() const;
    virtual std::string getText() const;
    // The maker changed: decode a kept model text anew.
    virtual void makerChanged();
    virtual void setValue(const std::string& text, int kind);
    virtual bool isIdentified() const;
};
