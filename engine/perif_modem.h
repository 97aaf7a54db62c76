#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/perif.h"

class VPerifActive;
class VPerifPower;
class VPerifCMEE;
class VPerifCGMI;
class VPerifCGMM;
class VPerifCPIN;
class VPerifCOPS;
class VPerifCREG;
class VPerifCSQ;
class VPerifCCLK;
class VPerifCALA;
class VPerifCBC;
class VPerifCalls;
class VPerifSMSs;
class VPerifProtikus;
class VPerifSendingFile;
class VPerifReceivingFile;
class VPerifPhonebook;
// Calls: one call row of the call handler.
class VCall;

// The 18 feature handlers of one connection, embedded in the engine. It
// creates them in a fixed order, and every broadcast reaches them in that
// order: link watcher, power, error mode, maker, model, SIM PIN, operator,
// registration, signal, clock, alarm, battery, calls, SMS, remote station,
// file sender, file receiver, phonebook. No handler can stop a broadcast.
//
// Each handler class lives in its own header (engine/perif_active.h for
// VPerifModem::VPerifActive, ...); the names below make the qualified
// names usable.
class VPerifModem : public VPerif {
public:
    using VPerifActive = ::VPerifActive;
    using VPerifPower = ::VPerifPower;
    using VPerifCMEE = ::VPerifCMEE;
    using VPerifCGMI = ::VPerifCGMI;
    using VPerifCGMM = ::VPerifCGMM;
    using VPerifCPIN = ::VPerifCPIN;
    using VPerifCOPS = ::VPerifCOPS;
    using VPerifCREG = ::VPerifCREG;
    using VPerifCSQ = ::VPerifCSQ;
    using VPerifCCLK = ::VPerifCCLK;
    using VPerifCALA = ::VPerifCALA;
    using VPerifCBC = ::VPerifCBC;
    using VPerifCalls = ::VPerifCalls;
    using VPerifSMSs = ::VPerifSMSs;
    using VPerifProtikus = ::VPerifProtikus;
    using VPerifSendingFile = ::VPerifSendingFile;
    using VPerifReceivingFile = ::VPerifReceivingFile;
    using VPerifPhonebook = ::VPerifPhonebook;
    // Calls: one call row of the call handler.
    using VCall = ::VCall;

    // Slots, in creation and broadcast order.
    enum THandler : int {
        hActive, hPower, hCMEE, hCGMI, hCGMM, hCPIN, hCOPS, hCREG, hCSQ, hCCLK, hCALA, hCBC,
        hCalls, hSMSs, hProtikus, hSendingFile, hReceivingFile, hPhonebook,
        HandlerCount
    };

    // Creates the 18 handlers with the engine (not the container) as owner.
    explicit VPerifModem(VUniSET* owner);
    // Deletes the handlers from the last to the first.
    ~VPerifModem() override;

    void start(uint32_t now) override;
    // The polling tick, gated by the "Automatika" option.
    void tick(uint32_t now) override;
    void dataTick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    void onSms11(uint32_t now) override;
    void onSmsPromptEnd(uint32_t now, uint8_t cancelled) override;
    void onFrame(uint32_t now) override;
    void onFrameSent(uint32_t now) override;
    // Any handler waits for an answer.
    bool isBusy() const override;

    // A handler other than `except` (and `alsoExcept`) waits for an answer.
    virtual bool isBusyExcept(const VPerif* except, const VPerif* alsoExcept = nullptr) const;
    // False exactly for the Siemens M1 and A1 (they want texts unquoted).
    virtual bool isSiemensQuirk() const;
    // Asks the handlers' readiness in order (not the battery's); the first
    // that is not ready writes its tag into the engine's missing text.
    virtual bool allInitialised();

    // Whether the polling tick reaches the handlers now.
    bool pollingAllowed() const;

    VPerif* handlerAt(int index) const;
    // Puts `handler` into a slot in place of the handler there. It must be
    // of the slot's class or derived from it (tests watch the broadcasts
    // this way); returns false and keeps the old one otherwise.
    bool replaceHandler(int index, std::unique_ptr<VPerif> handler);

    VPerifActive& active() const;
    VPerifPower& power() const;
    VPerifCMEE& cmee() const;
    VPerifCGMI& cgmi() const;
    VPerifCGMM& cgmm() const;
    VPerifCPIN& cpin() const;
    VPerifCOPS& cops() const;
    VPerifCREG& creg() const;
    VPerifCSQ& csq() const;
    VPerifCCLK& cclk() const;
    VPerifCALA& cala() const;
    VPerifCBC& cbc() const;
    VPerifCalls& calls() const;
    VPerifSMSs& smss() const;
    VPerifProtikus& protikus() const;
    VPerifSendingFile& sendingFile() const;
    VPerifReceivingFile& receivingFile() const;
    VPerifPhonebook& phonebook() const;

    // Shared scratch list in which handlers split a comma-separated
    // response into fields.
    std::vector<std::string>& getFields() { return fields; }

private:
    std::vector<std::string> fields;
    std::array<std::unique_ptr<VPerif>, HandlerCount> handlers;
};
