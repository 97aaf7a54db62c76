#pragma once
#include <cstdint>
#include <string>

#include "engine/perif_identity.h"

// The maker handler ("AT+CGMI"): keeps the answer as a text and as the
// maker bits of the modem type code (0x1000 "SIEMENS", 0x2000 "ERICSSON",
// 0xF000 any other maker, 0xE000 the device answered with an error, 0
// untested). The model handler and the SIM PIN handler wait for it.
class VPerifCGMI : public VPerifIdentity {
public:
    explicit VPerifCGMI(VUniSET* owner);

    void tick(uint32_t now) override;

    // Maker bits of the modem type code.
    virtual int getCode() const;
    const std::string& getText() const override;
    void setValue(const std::string& text, int kind) override;
    // Identified (not untested, not an error) and not waiting.
    virtual bool isIdentified() const;

private:
    int makerCode = 0;
    std::string makerText;
};
