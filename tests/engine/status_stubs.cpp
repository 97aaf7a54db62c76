#include "tests/engine/status_stubs.h"

#include <memory>

#include <algorithm>

#include "engine/perif_active.h"
#include "engine/perif_cala.h"
#include "engine/perif_calls.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cops.h"
#include "engine/perif_csq.h"
#include "engine/perif_phonebook.h"
#include "engine/perif_protikus.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"
#include "engine/perif_smss.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_cmee.h"
#include "engine/perif_cpin.h"
#include "engine/perif_creg.h"
#include "engine/perif_power.h"
#include "foundation/tixutils_datetime.h"
#include "platform/tick.h"

namespace {

// The common part of every stand-in: it reacts to nothing.
template <class T>
class TQuiet : public T {
public:
    TQuiet(VUniSET* owner, TStubStatus& status) : T(owner), status(status) {}
    void start(uint32_t) override {}
    void tick(uint32_t) override {}
    void restart(uint32_t) override {}
    void reset(uint32_t) override {}
    void onResponse(uint32_t) override {}
    void onCommandSent(uint32_t) override {}
    bool isBusy() const override { return false; }

protected:
    TStubStatus& status;
};

class TStubActive : public TQuiet<VPerifActive> {
public:
    using TQuiet::TQuiet;
    bool isSettled() const override { return status.answering; }
    bool isAnswering() const override { return status.answering; }
    bool isChecking() const override { return false; }
};

class TStubPower : public TQuiet<VPerifPower> {
public:
    using TQuiet::TQuiet;
    bool isFullPower() const override { return status.fullPower; }
    bool isSteady() const override { return status.steady; }
    int getMode() const override { return status.powerMode; }
};

class TStubCMEE : public TQuiet<VPerifCMEE> {
public:
    using TQuiet::TQuiet;
    bool isKnown() const override { return true; }
};

// The stubs name no maker or model.
const std::string& NoText()
{
    static const std::string empty;
    return empty;
}

class TStubCGMI : public TQuiet<VPerifCGMI> {
public:
    using TQuiet::TQuiet;
    int getCode() const override { return status.makerCode; }
    const std::string& getText() const override { return NoText(); }
    bool isIdentified() const override { return true; }
};

class TStubCGMM : public TQuiet<VPerifCGMM> {
public:
    using TQuiet::TQuiet;
    int getCode() const override { return status.modelCode; }
    int getModel() const override { return status.modelCode; }
    const std::string& getText() const override { return NoText(); }
    bool isIdentified() const override { return true; }
};

class TStubCPIN : public TQuiet<VPerifCPIN> {
public:
    using TQuiet::TQuiet;
    bool isReady() const override { return status.simReady; }
    void askPIN() override {}
};

class TStubCREG : public TQuiet<VPerifCREG> {
public:
    using TQuiet::TQuiet;
    bool isRegistered() const override { return status.regStat == 1 || status.regStat == 5; }
    int getStat() const override { return status.regStat; }
    int getLac() const override { return -1; }
    int getCell() const override { return -1; }
};

class TStubCCLK : public TQuiet<VPerifCCLK> {
public:
    using TQuiet::TQuiet;
    int getOffset() const override { return status.clockOffset; }
    bool isResolved() const override { return status.clockResolved; }
    void refreshDisplay(uint32_t) override {}
};

template <class T>
class TSilent : public T {
public:
    explicit TSilent(VUniSET* owner) : T(owner) {}
    void start(uint32_t) override {}
    void tick(uint32_t) override {}
    void dataTick(uint32_t) override {}
    void restart(uint32_t) override {}
    void reset(uint32_t) override {}
    void onResponse(uint32_t) override {}
    void onCommandSent(uint32_t) override {}
    bool isBusy() const override { return false; }
};

template <class T>
void Put(VUniSET& engine, int slot, TStubStatus& status, std::initializer_list<int> real)
{
    if (std::find(real.begin(), real.end(), slot) == real.end())
        engine.getHandlers().replaceHandler(slot, std::make_unique<T>(&engine, status));
}

template <class T>
void PutSilent(VUniSET& engine, int slot, std::initializer_list<int> real)
{
    if (std::find(real.begin(), real.end(), slot) == real.end())
        engine.getHandlers().replaceHandler(slot, std::make_unique<TSilent<T>>(&engine));
}

}  // namespace

void InstallStatusStubs(VUniSET& engine, TStubStatus& status, std::initializer_list<int> real)
{
    Put<TStubActive>(engine, VPerifModem::hActive, status, real);
    Put<TStubPower>(engine, VPerifModem::hPower, status, real);
    Put<TStubCMEE>(engine, VPerifModem::hCMEE, status, real);
    Put<TStubCGMI>(engine, VPerifModem::hCGMI, status, real);
    Put<TStubCGMM>(engine, VPerifModem::hCGMM, status, real);
    Put<TStubCPIN>(engine, VPerifModem::hCPIN, status, real);
    PutSilent<VPerifCOPS>(engine, VPerifModem::hCOPS, real);
    Put<TStubCREG>(engine, VPerifModem::hCREG, status, real);
    PutSilent<VPerifCSQ>(engine, VPerifModem::hCSQ, real);
    Put<TStubCCLK>(engine, VPerifModem::hCCLK, status, real);
    PutSilent<VPerifCALA>(engine, VPerifModem::hCALA, real);
    PutSilent<VPerifCBC>(engine, VPerifModem::hCBC, real);
    PutSilent<VPerifCalls>(engine, VPerifModem::hCalls, real);
    PutSilent<VPerifSMSs>(engine, VPerifModem::hSMSs, real);
    PutSilent<VPerifProtikus>(engine, VPerifModem::hProtikus, real);
    PutSilent<VPerifSendingFile>(engine, VPerifModem::hSendingFile, real);
    PutSilent<VPerifReceivingFile>(engine, VPerifModem::hReceivingFile, real);
    PutSilent<VPerifPhonebook>(engine, VPerifModem::hPhonebook, real);
}

double DateTimeOf(int year, int month, int day, int hour, int minute, int second)
{
    double date = 0;
    double time = 0;
    Tixutils::TryEncodeDate(year, month, day, date);
    Tixutils::TryEncodeTime(hour, minute, second, 0, time);
    return date + time;
}

TStatusRig::TStatusRig(std::initializer_list<int> real, double pcNowValue)
    : t0(Platform::GetTickCount()), pcNow(pcNowValue)
{
    Tixutils::SetNowFunction([this] { return pcNow; });
    InstallStatusStubs(engine, status, real);
    engine.start();
    engine.restart(t0);
    sent();
}

TStatusRig::~TStatusRig()
{
    Tixutils::SetNowFunction(nullptr);
}

void TStatusRig::line(uint32_t now, const std::string& text)
{
    for (char c : text)
        engine.receivedByte(now, uint8_t(c));
}

std::vector<std::string> TStatusRig::sent()
{
    std::vector<std::string> out;
    for (; seen < window.terminal.size(); ++seen) {
        std::string bytes = window.terminal[seen].bytes;
        if (!bytes.empty() && bytes.back() == '\r')
            bytes.pop_back();
        out.push_back(bytes);
    }
    return out;
}

std::string TStatusRig::pollSent(uint32_t now)
{
    poll(now);
    std::string joined;
    for (const auto& s : sent())
        joined += (joined.empty() ? "" : "|") + s;
    return joined;
}

void TStatusRig::answer(uint32_t now, const std::string& command,
                         const std::vector<std::string>& info, const std::string& final)
{
    line(now, command + "\r\r\n");
    for (const auto& i : info)
        line(now, i + "\r\n");
    if (!final.empty())
        line(now, final + "\r\n");
}
