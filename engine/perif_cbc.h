#pragma once
#include <cstdint>
#include <string>

#include "engine/perif.h"
#include "engine/retry_hold.h"

// The battery and charger handler: battery charge, charger state and
// current consumption, with the standard "AT+CBC" or the Siemens "AT^SBC"
// (which also reports the consumption). It probes "AT+CBC=?" first and
// falls back to "AT^SBC=?"; the set that answers "OK" is used from then
// on. Unlike the other status handlers it does not wait for the SIM.
//
// States: 0 probe "AT+CBC=?", 1 use "AT+CBC", 2 probe "AT^SBC=?",
// 3 use "AT^SBC?", 4 no battery information.
class VPerifCBC : public VPerif {
public:
    // Repeat of an unanswered command.
    static constexpr uint32_t RepeatMs = 700;
    // Re-read while "Aktualizovat hodnoty" is checked.
    static constexpr uint32_t RefreshMs = 15000;

    explicit VPerifCBC(VUniSET* owner);
    ~VPerifCBC() override;

    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // Records a battery command from the text after "AT^SBC" (siemens) or
    // "AT+CBC".
    virtual void noteCommand(const std::string& tail, bool siemens);
    // Writes the values into the battery group; also after a language
    // change, so that the charger text is translated again.
    virtual void showValues();
    void showCharger() { showValues(); }
    // Stores the state and switches the battery group (when forced or changed).
    virtual void setState(int state, bool force = false);
    virtual bool isProbing() const;

    int getState() const { return state; }
    int getChargerState() const { return chargerState; }
    // Percent, -1 unknown.
    int getCharge() const { return charge; }
    int getChargeMax() const { return chargeMax; }
    // As reported, -1 unknown.
    int getConsumption() const { return consumption; }
    int getConsumptionMax() const { return consumptionMax; }

protected:
    // 0 none, 1 "AT^SBC=?", 3 "AT^SBC?", 4 "AT+CBC=?", 6 "AT+CBC" or "AT+CBC?".
    int pendingKind = 0;
    int state = 0;
    int chargerState = 0;
    int charge = -1;
    int chargeMax = 0;
    int consumption = -1;
    int consumptionMax = 0;
    uint32_t lastReadTick = 0;
    bool needRead = true;
    TRetryHold hold;
};
