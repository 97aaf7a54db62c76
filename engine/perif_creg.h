#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/perif.h"

// The network registration handler: switches on the device's unsolicited
// registration reports ("AT+CREG=1", "AT+CREG=2" with location for
// Ericsson devices), reads the state with "AT+CREG?" where reports are off
// or the state is unknown, and parses every "+CREG: " line, solicited or
// not. It holds the report setting, the registration state, the location
// area code and the cell id; every change redraws the engine's
// registration text. An unsolicited report asks the signal handler for a
// new reading.
class VPerifCREG : public VPerif {
public:
    explicit VPerifCREG(VUniSET* owner);

    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // Registered at home or roaming, no setting left to send, not waiting.
    virtual bool isRegistered() const;
    // Stores the four values and redraws the registration text when any changed.
    virtual void setValues(int mode, int stat, int lac, int cell);
    // Registration state of TS 27.007 (-1 not known).
    virtual int getStat() const;
    // Location area code and cell id (-1 not known).
    virtual int getLac() const;
    virtual int getCell() const;

    // Report setting n (-1 unknown) and the setting still to establish
    // (-2 not decided, -1 none).
    int getMode() const { return mode; }
    int getWantedMode() const { return wantedMode; }

    // One field of a "+CREG: " value, and whether it was quoted.
    struct TField {
        std::string text;
        bool quoted = false;
    };
    // Splits a value by the comma-text rule, keeping which fields were quoted.
    static std::vector<TField> SplitFields(const std::string& value);
    // What a "+CREG: " value says: whether it is a read answer (else an
    // unsolicited report, which does not name the setting), the setting,
    // the state, the location area code and the cell id (-1 when not
    // given or not a number); false when the value has no known shape. A
    // read answer's second field is an unquoted state, a report's second
    // field a quoted location; newer devices append an access technology
    // to either, which is accepted and ignored.
    static bool ParseValue(const std::string& value, bool& readAnswer, int& mode, int& stat,
                           int& lac, int& cell);

protected:
    int mode = -1;
    int stat = -1;
    int lac = -1;
    int cellId = -1;

private:
    void parseTail(const std::string& tail);

    bool pending = false;
    bool holdAfterError = false;
    int sentMode = -1;
    int wantedMode = -2;
};
