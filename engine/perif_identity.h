#pragma once
#include <cstdint>
#include <string>

#include "engine/perif.h"
#include "engine/retry_hold.h"

// What the maker and model handlers share: one query command whose answer
// is a single text line ("+CGMI: text" or the bare text), asked again 700 ms
// after an unanswered query, and asked again after answers that named
// nothing with a wait that doubles from 2 s up to 32 s, so that such a
// device is not asked non-stop.
class VPerifIdentity : public VPerif {
public:
    static constexpr uint32_t FirstRetryDelay = 2000;
    static constexpr uint32_t MaxRetryDelay = 32000;

    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // Kind 0 untested, 1 the device answered with an error, 2 an answer text.
    virtual void setValue(const std::string& text, int kind) = 0;
    virtual const std::string& getText() const = 0;

protected:
    // `command` without CR, `answerPrefix` as the device puts it before the
    // text. With `dropBareResults` a bare line that reads "OK" in any case or
    // begins with "AT+" is no answer text (the maker handler); without it
    // (the model handler) such a line is taken as the text.
    VPerifIdentity(VUniSET* owner, const char* command, const char* answerPrefix, bool dropBareResults);

    // The common polling step once the handler's own conditions hold.
    // `forgetOnRepeat` drops the value before an unanswered query is repeated.
    void askWhenDue(uint32_t now, bool forgetOnRepeat);

private:
    void answerWithoutText(uint32_t now);

    const char* command;
    const char* answerPrefix;
    bool dropBareResults;
    bool pending = false;
    // Answers in a row that named nothing.
    TRetryHold emptyAnswerHold{FirstRetryDelay, MaxRetryDelay};
};
