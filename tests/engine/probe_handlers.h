#pragma once
#include <array>
#include <string>
#include <vector>

#include "engine/perif_modem.h"
#include "engine/uniset.h"

// Handlers that write every broadcast they get into a shared log, as
// "<slot>:<operation>" with the receive line (onResponse, onSms11, onFrame)
// or the sent data (onCommandSent, onFrameSent) after a second ":". Each
// keeps the behaviour of the handler whose place it takes, and can be made
// busy or quiet.
struct TProbeState {
    int slot = -1;
    // busy: waits for an answer whatever the handler says; quiet: never
    // waits (quiet wins).
    bool busy = false;
    bool quiet = false;
    std::vector<std::string>* log = nullptr;
};

template <class T>
class TProbe : public T, public TProbeState {
public:
    TProbe(VUniSET* owner, int slot, std::vector<std::string>* log) : T(owner)
    {
        this->slot = slot;
        this->log = log;
    }

    // A handler's start and restart call its own restart and reset: only
    // the outermost of these is a broadcast the probe logs.
    void start(uint32_t now) override { lifecycle("start", [&] { T::start(now); }); }
    void tick(uint32_t now) override { note("tick"); T::tick(now); }
    void dataTick(uint32_t now) override { note("dataTick"); T::dataTick(now); }
    void restart(uint32_t now) override { lifecycle("restart", [&] { T::restart(now); }); }
    void reset(uint32_t now) override { lifecycle("reset", [&] { T::reset(now); }); }
    void onResponse(uint32_t now) override
    {
        note("onResponse", rx());
        T::onResponse(now);
    }
    void onCommandSent(uint32_t now) override
    {
        note("onCommandSent", tx());
        T::onCommandSent(now);
    }
    void onSms11(uint32_t now) override
    {
        note("onSms11", rx());
        T::onSms11(now);
    }
    void onSmsPromptEnd(uint32_t now, uint8_t cancelled) override
    {
        note("onSmsPromptEnd", std::to_string(cancelled));
        T::onSmsPromptEnd(now, cancelled);
    }
    void onFrame(uint32_t now) override
    {
        note("onFrame", rx());
        T::onFrame(now);
    }
    void onFrameSent(uint32_t now) override
    {
        note("onFrameSent", tx());
        T::onFrameSent(now);
    }
    bool isBusy() const override { return !quiet && (busy || T::isBusy()); }

private:
    template <class F>
    void lifecycle(const char* op, F call)
    {
        if (lifecycleDepth == 0)
            note(op);
        ++lifecycleDepth;
        call();
        --lifecycleDepth;
    }
    int lifecycleDepth = 0;

    std::string rx() const { return std::string(this->getOwner()->getRxBuffer().view()); }
    std::string tx() const { return std::string(this->getOwner()->getTxBuffer().view()); }
    void note(const char* op, const std::string& data = std::string())
    {
        if (!log)
            return;
        std::string e = std::to_string(slot) + ":" + op;
        if (!data.empty())
            e += ":" + data;
        log->push_back(e);
    }
};

// Puts a probe into every slot of the engine's container; returns them by slot.
std::array<TProbeState*, VPerifModem::HandlerCount> InstallProbes(VUniSET& engine,
                                                                   std::vector<std::string>& log);

// Entries of the log that name `op` (e.g. "onResponse"), in order.
std::vector<std::string> LogOf(const std::vector<std::string>& log, const std::string& op);
