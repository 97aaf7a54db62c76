#pragma once
#include <cstdint>
#include <string>

#include "engine/perif.h"

// The SIM PIN handler: queries the card ("AT+CPIN?"), sends the PIN when
// the card asks for it and the user has agreed, and asks the user when it
// cannot go on by itself (no card, a PIN missing or not agreed to, a PIN
// the card refused). Its ready state is the gate of every later stage.
//
// The PIN comes from the options dialog's PIN edit (copied at start,
// later through setPIN); it is sent only after the user's consent (the
// question "QueryPIN1", or the dialog's "Vložit PIN" and OK buttons, which
// call confirmPIN). Only 4 to 8 digits are ever sent; anything else counts
// as no PIN. A PIN whose last attempt was refused, went unanswered or was
// abandoned is never sent again without a new consent.
//
// Steps: 1 query, 2 send the PIN, 3 PIN2, 4 PUK and new PIN, 5 PUK2 and new
// PIN2, 6 phone-to-SIM PIN, 7 PIN refused, missing or not agreed to, 8 to
// 11 the refused or missing PIN2, PUK, PUK2, phone-to-SIM PIN, 12 card
// blocked, 13 no card (the query failed), 14 ready.
class VPerifCPIN : public VPerif {
public:
    // Answer states besides a decided step (2..12, 14): idle, or waiting
    // for the answer to a CPIN command.
    static constexpr int AnswerWaiting = 0;
    static constexpr int AnswerIdle = 1;
    // Waits of the machine.
    static constexpr uint32_t QueryRepeat = 1700;
    static constexpr uint32_t PinTimeout = 35000;
    static constexpr uint32_t NoCardRetry = 5000;

    explicit VPerifCPIN(VUniSET* owner);

    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // PIN texts go in quotes (all devices but the Siemens M1 and A1).
    virtual bool usesQuotes() const;
    virtual bool isReady() const;
    // Asks the user for the PIN when the card wants one (from the engine's tick).
    virtual void askPIN();
    // The options dialog's PIN edit changed.
    virtual void setPIN(const std::string& pin);
    // The user agreed to send the PIN.
    virtual void confirmPIN();
    // Query the card again (after a power change); the agreement stays.
    virtual void requery();
    // The options dialog's "Vložit PIN": the same as confirmPIN.
    void enterPinAgain() { confirmPIN(); }

    int getStep() const { return step; }
    int getAnswerState() const { return answerState; }
    bool isPinConfirmed() const { return pinConfirmed; }
    const std::string& getPIN() const { return pin; }

    // A code the card can take: 4 to 8 decimal digits.
    static bool IsUsableCode(const std::string& code);

protected:
    std::string pin;

private:
    // The command of a sending step; empty when its codes are not usable.
    std::string commandOfStep(int forStep) const;
    // The decided step for a "+CPIN: " value; -1 for no decision.
    int decide(const std::string& value);
    void askBadPin();
    void askNoCard(uint32_t now);

    std::string puk;
    std::string pin2;
    std::string puk2;
    std::string phSimPin;
    std::string sentPin;
    int step = 1;
    int answerState = AnswerIdle;
    bool askRequest = false;
    bool pinConfirmed = false;
    int noCardAnswer = 0;
    bool badPinAsked = false;
    // The current PIN was refused by the card or got no answer in time:
    // it is not sent again until the user gives another PIN or agrees anew.
    bool pinRefused = false;
};
