#include "tests/engine/settled_handlers.h"

#include <memory>

#include "engine/perif_active.h"
#include "engine/perif_cala.h"
#include "engine/perif_calls.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_cmee.h"
#include "engine/perif_cops.h"
#include "engine/perif_cpin.h"
#include "engine/perif_creg.h"
#include "engine/perif_csq.h"
#include "engine/perif_power.h"
#include "engine/perif_smss.h"

namespace {

class SettledActive : public VPerifActive {
public:
    using VPerifActive::VPerifActive;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isSettled() const override { return true; }
    bool isAnswering() const override { return true; }
};

class FullPower : public VPerifPower {
public:
    using VPerifPower::VPerifPower;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isFullPower() const override { return true; }
    bool isSteady() const override { return true; }
    int getMode() const override { return 1; }
};

class KnownCMEE : public VPerifCMEE {
public:
    using VPerifCMEE::VPerifCMEE;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isKnown() const override { return true; }
};

class IdentifiedCGMI : public VPerifCGMI {
public:
    using VPerifCGMI::VPerifCGMI;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isIdentified() const override { return true; }
};

class IdentifiedCGMM : public VPerifCGMM {
public:
    using VPerifCGMM::VPerifCGMM;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isIdentified() const override { return true; }
};

class ReadyCPIN : public VPerifCPIN {
public:
    using VPerifCPIN::VPerifCPIN;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isReady() const override { return true; }
};

class RegisteredCREG : public VPerifCREG {
public:
    using VPerifCREG::VPerifCREG;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isRegistered() const override { return true; }
};

class SettledCOPS : public VPerifCOPS {
public:
    using VPerifCOPS::VPerifCOPS;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool hasOperator() const override { return true; }
    bool isSettled() const override { return true; }
};

class KnownCSQ : public VPerifCSQ {
public:
    using VPerifCSQ::VPerifCSQ;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isKnown() const override { return true; }
};

class ResolvedCCLK : public VPerifCCLK {
public:
    using VPerifCCLK::VPerifCCLK;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isResolved() const override { return true; }
};

class ResolvedCALA : public VPerifCALA {
public:
    using VPerifCALA::VPerifCALA;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isResolved() const override { return true; }
};

class SettledCalls : public VPerifCalls {
public:
    using VPerifCalls::VPerifCalls;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isSettled() const override { return true; }
};

// SMS: the settings known, nothing to read or send.
class SettledSMSs : public VPerifSMSs {
public:
    using VPerifSMSs::VPerifSMSs;
    void tick(uint32_t) override {}
    bool isBusy() const override { return false; }
    bool isInitialised() const override { return true; }
};

template <class T>
void Put(VUniSET& engine, int slot, int except)
{
    if (slot != except)
        engine.getHandlers().replaceHandler(slot, std::make_unique<T>(&engine));
}

}  // namespace

void InstallSettledStartup(VUniSET& engine, int except)
{
    Put<SettledActive>(engine, VPerifModem::hActive, except);
    Put<FullPower>(engine, VPerifModem::hPower, except);
    Put<KnownCMEE>(engine, VPerifModem::hCMEE, except);
    Put<IdentifiedCGMI>(engine, VPerifModem::hCGMI, except);
    Put<IdentifiedCGMM>(engine, VPerifModem::hCGMM, except);
    Put<ReadyCPIN>(engine, VPerifModem::hCPIN, except);
    Put<RegisteredCREG>(engine, VPerifModem::hCREG, except);
}

void InstallSettledStatus(VUniSET& engine)
{
    Put<SettledCOPS>(engine, VPerifModem::hCOPS, -1);
    Put<KnownCSQ>(engine, VPerifModem::hCSQ, -1);
    Put<ResolvedCCLK>(engine, VPerifModem::hCCLK, -1);
    Put<ResolvedCALA>(engine, VPerifModem::hCALA, -1);
    Put<SettledSMSs>(engine, VPerifModem::hSMSs, -1);
}

void InstallSettledCalls(VUniSET& engine)
{
    Put<SettledCalls>(engine, VPerifModem::hCalls, -1);
}
