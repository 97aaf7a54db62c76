#include "tests/engine/probe_handlers.h"

#include <memory>

#include "engine/perif_active.h"
#include "engine/perif_calls.h"
#include "engine/perif_cala.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_cmee.h"
#include "engine/perif_cops.h"
#include "engine/perif_cpin.h"
#include "engine/perif_creg.h"
#include "engine/perif_csq.h"
#include "engine/perif_phonebook.h"
#include "engine/perif_power.h"
#include "engine/perif_protikus.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"
#include "engine/perif_smss.h"

namespace {

template <class T>
TProbeState* Install(VUniSET& engine, int slot, std::vector<std::string>& log)
{
    auto probe = std::make_unique<TProbe<T>>(&engine, slot, &log);
    TProbeState* state = probe.get();
    if (!engine.getHandlers().replaceHandler(slot, std::move(probe)))
        return nullptr;
    return state;
}

}  // namespace

std::array<TProbeState*, VPerifModem::HandlerCount> InstallProbes(VUniSET& engine,
                                                                   std::vector<std::string>& log)
{
    std::array<TProbeState*, VPerifModem::HandlerCount> p{};
    p[VPerifModem::hActive] = Install<VPerifActive>(engine, VPerifModem::hActive, log);
    p[VPerifModem::hPower] = Install<VPerifPower>(engine, VPerifModem::hPower, log);
    p[VPerifModem::hCMEE] = Install<VPerifCMEE>(engine, VPerifModem::hCMEE, log);
    p[VPerifModem::hCGMI] = Install<VPerifCGMI>(engine, VPerifModem::hCGMI, log);
    p[VPerifModem::hCGMM] = Install<VPerifCGMM>(engine, VPerifModem::hCGMM, log);
    p[VPerifModem::hCPIN] = Install<VPerifCPIN>(engine, VPerifModem::hCPIN, log);
    p[VPerifModem::hCOPS] = Install<VPerifCOPS>(engine, VPerifModem::hCOPS, log);
    p[VPerifModem::hCREG] = Install<VPerifCREG>(engine, VPerifModem::hCREG, log);
    p[VPerifModem::hCSQ] = Install<VPerifCSQ>(engine, VPerifModem::hCSQ, log);
    p[VPerifModem::hCCLK] = Install<VPerifCCLK>(engine, VPerifModem::hCCLK, log);
    p[VPerifModem::hCALA] = Install<VPerifCALA>(engine, VPerifModem::hCALA, log);
    p[VPerifModem::hCBC] = Install<VPerifCBC>(engine, VPerifModem::hCBC, log);
    p[VPerifModem::hCalls] = Install<VPerifCalls>(engine, VPerifModem::hCalls, log);
    p[VPerifModem::hSMSs] = Install<VPerifSMSs>(engine, VPerifModem::hSMSs, log);
    p[VPerifModem::hProtikus] = Install<VPerifProtikus>(engine, VPerifModem::hProtikus, log);
    p[VPerifModem::hSendingFile] = Install<VPerifSendingFile>(engine, VPerifModem::hSendingFile, log);
    p[VPerifModem::hReceivingFile] =
        Install<VPerifReceivingFile>(engine, VPerifModem::hReceivingFile, log);
    p[VPerifModem::hPhonebook] = Install<VPerifPhonebook>(engine, VPerifModem::hPhonebook, log);
    return p;
}

std::vector<std::string> LogOf(const std::vector<std::string>& log, const std::string& op)
{
    std::vector<std::string> out;
    for (const auto& e : log) {
        const size_t colon = e.find(':');
        if (colon == std::string::npos)
            continue;
        const size_t end = e.find(':', colon + 1);
        if (e.compare(colon + 1, end == std::string::npos ? std::string::npos : end - colon - 1, op) == 0)
            out.push_back(e);
    }
    return out;
}
