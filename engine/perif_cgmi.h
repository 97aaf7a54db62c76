#pragma once
#include <cstdint>
#include <string>

#include "engine/perif.h"

// The maker handler ("AT+CGMI"): keeps the answer as a text and as the
// maker bits of the modem type code (0x1000 "SIEMENS", 0x2000 "ERICSSON",
// 0xF000 any other maker, 0xE000 the device answered with an error, 0
// untested). The model handler and the SIM PIN handler wait for it.
class VPerifCGMI : public VPerif {
public:
    // Repeats after answers that name no maker wait this long, doubling
    // up to the maximum, so that such a device is not asked non-stop.
    static constexpr uint32_t FirstRetryDelay = 2000;
    static constexpr uint32_t MaxRetryDelay = 32000;

    explicit VPerifCGMI(VUniSET* owner);

    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // Maker bits of the modem type code.
    virtual int getCode() const;
    virtual std::string getText() const;
    // Kind 0 untested, 1 the device answered with an error, 2 an answer text.
    virtual void setValue(const std::string& text, int kind);
    // Identified (not untested, not an error) and not waiting.
    virtual bool isIdentified() const;

    // The wait before asking again after `emptyAnswers` answers in a row
    // that named nothing (0: none).
    static uint32_t RetryDelayAfter(int emptyAnswers);
    // Characters of code 32 or below cut from both ends.
    static std::string Trim(const std::string& text);

private:
    void answerWithoutText(uint32_t now);

    bool pending = false;
    int makerCode = 0;
    std::string makerText;
    int emptyAnswers = 0;
    uint32_t emptyAnswerTick = 0;
};
