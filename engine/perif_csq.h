#pragma once
#include <cstdint>
#include <string>

#include "engine/perif.h"
#include "engine/retry_hold.h"

// The signal quality handler: keeps the received signal strength and the
// bit error rate current with "AT+CSQ". It asks once the device answers,
// has full power and the SIM is ready, then again every "Aktualizovat
// hodnoty" interval (the options' EditOftenCSQ, 1 to 3600 s, default 15 s)
// while that check box is checked. The values are kept as the device
// reports them; a 99 ("not known by the device") stays 99 and counts as
// known: what the display makes of it is the engine's business.
class VPerifCSQ : public VPerif {
public:
    // Repeat of an unanswered query.
    static constexpr uint32_t RepeatMs = 1000;
    static constexpr int DefaultIntervalS = 15;
    static constexpr int MaxIntervalS = 3600;

    explicit VPerifCSQ(VUniSET* owner);
    ~VPerifCSQ() override;

    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // Both values known and no query unanswered.
    virtual bool isKnown() const;
    // The values as the device reported them (-1 unknown).
    virtual void getValues(int& rssi, int& ber) const;
    void getSignal(int& rssi, int& ber) const { getValues(rssi, ber); }
    // Asks for a reading at the next turn on which no handler waits (the
    // registration handler after an unsolicited report).
    virtual void requestRead();

    // The polling interval in ms from the options edit's text (whole
    // seconds; not a number, 0 or less: 15 s; above 3600 s: 3600 s).
    static uint32_t IntervalOf(const std::string& text);

protected:
    bool pending = false;
    int rssi = -1;
    int ber = -1;
    bool readRequested = false;
    // After an error or unusable answer while the values are unknown.
    TRetryHold hold;
};
