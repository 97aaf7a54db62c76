#pragma once
#include <string>

#include "engine/perif.h"

// The maker handler (AT+CGMI). Until it is built this stand-in reports an
// identified maker that the program does not know by name (code 0xF000)
// with an empty answer text.
class VPerifCGMI : public VPerif {
public:
    explicit VPerifCGMI(VUniSET* owner);

    bool isBusy() const override;
    // Maker bits of the modem type code (0x1000 Siemens, 0x2000 Ericsson,
    // 0xE000 error, 0xF000 unknown, 0 untested).
    virtual int getCode() const;
    virtual std::string getText() const;
    // Kind 0 untested, 1 the device answered with an error, 2 an answer text.
    virtual void setValue(const std::string& text, int kind);
    virtual bool isIdentified() const;
};
