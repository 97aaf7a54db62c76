#pragma once
#include <cstdint>
#include <string>

#include "engine/perif_identity.h"

// The model handler ("AT+CGMM"): keeps the answer as a text (the canonical
// model name where a model is recognised by its ending) and as the model
// bits of the modem type code (0x00E error, 0x00F a model the program does
// not know, 0 untested, else a model of the maker's table). It waits for
// an identified maker; a maker the program does not know gives 0x00F, so
// that start-up goes on with such a device.
class VPerifCGMM : public VPerifIdentity {
public:
    explicit VPerifCGMM(VUniSET* owner);

    void tick(uint32_t now) override;

    // Model bits of the modem type code.
    virtual int getCode() const;
    virtual int getModel() const;
    const std::string& getText() const override;
    // The maker changed: a model text kept as unknown is decoded anew.
    virtual void makerChanged();
    void setValue(const std::string& text, int kind) override;
    // Identified (not untested, not an error) and not waiting.
    virtual bool isIdentified() const;

private:
    int modelCode = 0;
    std::string modelText;
};
