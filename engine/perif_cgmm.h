#pragma once
#include <cstdint>
#include <string>

#include "engine/perif.h"

// The model handler ("AT+CGMM"): keeps the answer as a text (the canonical
// model name where a model is recognised by its ending) and as the model
// bits of the modem type code (0x00E error, 0x00F a model the program does
// not know, 0 untested, else a model of the maker's table). It waits for
// an identified maker; a maker the program does not know gives 0x00F, so
// that start-up goes on with such a device.
class VPerifCGMM : public VPerif {
public:
    explicit VPerifCGMM(VUniSET* owner);

    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // Model bits of the modem type code.
    virtual int getCode() const;
    virtual int getModel() const;
    virtual std::string getText() const;
    // The maker changed: a model text kept as unknown is decoded anew.
    virtual void makerChanged();
    // Kind 0 untested, 1 the device answered with an error, 2 an answer text.
    virtual void setValue(const std::string& text, int kind);
    // Identified (not untested, not an error) and not waiting.
    virtual bool isIdentified() const;

private:
    void answerWithoutText(uint32_t now);

    bool pending = false;
    int modelCode = 0;
    std::string modelText;
    int emptyAnswers = 0;
    uint32_t emptyAnswerTick = 0;
};
