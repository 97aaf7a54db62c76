#include "engine/perif_modem.h"

#include "engine/main_window_link.h"
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
#include "engine/uniset.h"

VPerifModem::VPerifModem(VUniSET* owner) : VPerif(owner)
{
    handlers[hActive] = std::make_unique<VPerifActive>(owner);
    handlers[hPower] = std::make_unique<VPerifPower>(owner);
    handlers[hCMEE] = std::make_unique<VPerifCMEE>(owner);
    handlers[hCGMI] = std::make_unique<VPerifCGMI>(owner);
    handlers[hCGMM] = std::make_unique<VPerifCGMM>(owner);
    handlers[hCPIN] = std::make_unique<VPerifCPIN>(owner);
    handlers[hCOPS] = std::make_unique<VPerifCOPS>(owner);
    handlers[hCREG] = std::make_unique<VPerifCREG>(owner);
    handlers[hCSQ] = std::make_unique<VPerifCSQ>(owner);
    handlers[hCCLK] = std::make_unique<VPerifCCLK>(owner);
    handlers[hCALA] = std::make_unique<VPerifCALA>(owner);
    handlers[hCBC] = std::make_unique<VPerifCBC>(owner);
    handlers[hCalls] = std::make_unique<VPerifCalls>(owner);
    handlers[hSMSs] = std::make_unique<VPerifSMSs>(owner);
    handlers[hProtikus] = std::make_unique<VPerifProtikus>(owner);
    handlers[hSendingFile] = std::make_unique<VPerifSendingFile>(owner);
    handlers[hReceivingFile] = std::make_unique<VPerifReceivingFile>(owner);
    handlers[hPhonebook] = std::make_unique<VPerifPhonebook>(owner);
}

VPerifModem::~VPerifModem()
{
    for (int i = HandlerCount - 1; i >= 0; --i)
        handlers[size_t(i)].reset();
}

// Broadcasts index the array on every step: a handler may replace nothing
// and stop nothing, but it may start a nested broadcast (a line sent from
// inside onResponse), which must not disturb this one.
#define BROADCAST(call)                                   \
    for (size_t i = 0; i < handlers.size(); ++i)          \
        if (VPerif* h = handlers[i].get())                \
            h->call;

void VPerifModem::start(uint32_t now) { BROADCAST(start(now)) }
void VPerifModem::dataTick(uint32_t now) { BROADCAST(dataTick(now)) }
void VPerifModem::restart(uint32_t now) { BROADCAST(restart(now)) }
void VPerifModem::reset(uint32_t now) { BROADCAST(reset(now)) }
void VPerifModem::onResponse(uint32_t now) { BROADCAST(onResponse(now)) }
void VPerifModem::onCommandSent(uint32_t now) { BROADCAST(onCommandSent(now)) }
void VPerifModem::onSms11(uint32_t now) { BROADCAST(onSms11(now)) }
void VPerifModem::onSmsPromptEnd(uint32_t now, uint8_t cancelled)
{
    BROADCAST(onSmsPromptEnd(now, cancelled))
}
void VPerifModem::onFrame(uint32_t now) { BROADCAST(onFrame(now)) }
void VPerifModem::onFrameSent(uint32_t now) { BROADCAST(onFrameSent(now)) }

bool VPerifModem::pollingAllowed() const
{
    VMainWindowLink& w = owner->getWindow();
    switch (w.optionAutomation()) {
    case 0:
        return true;
    case 1:
        return !w.terminalFocused();
    default:
        return w.isChecked(VMainWindowLink::CheckRegul) || w.userLevel() == 0;
    }
}

void VPerifModem::tick(uint32_t now)
{
    if (!pollingAllowed())
        return;
    BROADCAST(tick(now))
}

#undef BROADCAST

bool VPerifModem::isBusy() const
{
    return isBusyExcept(nullptr);
}

bool VPerifModem::isBusyExcept(const VPerif* except, const VPerif* alsoExcept) const
{
    for (const auto& h : handlers)
        if (h && h.get() != except && h.get() != alsoExcept && h->isBusy())
            return true;
    return false;
}

bool VPerifModem::isSiemensQuirk() const
{
    if (cgmi().getCode() == 0x1000) {
        const int model = cgmm().getCode();
        if (model == 0x202 || model == 0x101)
            return false;
    }
    return true;
}

bool VPerifModem::allInitialised()
{
    auto missing = [this](const char* tag) {
        owner->setMissing(tag);
        return false;
    };
    // Asked in table order; the battery handler is not asked, so a device
    // without battery information still becomes ready.
    if (!active().isSettled()) return missing("AT");
    if (!power().isFullPower()) return missing("AT+CFUN;^SMSO");
    if (!cmee().isKnown()) return missing("AT+CMEE");
    if (!cgmi().isIdentified()) return missing("AT+CGMI");
    if (!cgmm().isIdentified()) return missing("AT+CGMM");
    if (!cpin().isReady()) return missing("AT+CPIN");
    if (!cops().hasOperator()) return missing("AT+COPS");
    if (!creg().isRegistered()) return missing("AT+CREG");
    if (!csq().isKnown()) return missing("AT+CSQ");
    if (!cclk().isResolved()) return missing("AT+CCLK");
    if (!cala().isResolved()) return missing("AT+CALA");
    if (!calls().isSettled()) return missing("(Calls)");
    if (!smss().isInitialised()) return missing("(SMSs)");
    if (!protikus().isSettled()) return missing("(protikus)");
    if (!sendingFile().isSettled()) return missing("(sfile)");
    if (!receivingFile().isIdle()) return missing("(rfile)");
    if (!phonebook().isReady()) return missing("(Phonebook)");
    return true;
}

VPerif* VPerifModem::handlerAt(int index) const
{
    if (index < 0 || index >= HandlerCount)
        return nullptr;
    return handlers[size_t(index)].get();
}

namespace {

bool FitsSlot(int index, VPerif* h)
{
    switch (index) {
    case VPerifModem::hActive: return dynamic_cast<VPerifActive*>(h) != nullptr;
    case VPerifModem::hPower: return dynamic_cast<VPerifPower*>(h) != nullptr;
    case VPerifModem::hCMEE: return dynamic_cast<VPerifCMEE*>(h) != nullptr;
    case VPerifModem::hCGMI: return dynamic_cast<VPerifCGMI*>(h) != nullptr;
    case VPerifModem::hCGMM: return dynamic_cast<VPerifCGMM*>(h) != nullptr;
    case VPerifModem::hCPIN: return dynamic_cast<VPerifCPIN*>(h) != nullptr;
    case VPerifModem::hCOPS: return dynamic_cast<VPerifCOPS*>(h) != nullptr;
    case VPerifModem::hCREG: return dynamic_cast<VPerifCREG*>(h) != nullptr;
    case VPerifModem::hCSQ: return dynamic_cast<VPerifCSQ*>(h) != nullptr;
    case VPerifModem::hCCLK: return dynamic_cast<VPerifCCLK*>(h) != nullptr;
    case VPerifModem::hCALA: return dynamic_cast<VPerifCALA*>(h) != nullptr;
    case VPerifModem::hCBC: return dynamic_cast<VPerifCBC*>(h) != nullptr;
    case VPerifModem::hCalls: return dynamic_cast<VPerifCalls*>(h) != nullptr;
    case VPerifModem::hSMSs: return dynamic_cast<VPerifSMSs*>(h) != nullptr;
    case VPerifModem::hProtikus: return dynamic_cast<VPerifProtikus*>(h) != nullptr;
    case VPerifModem::hSendingFile: return dynamic_cast<VPerifSendingFile*>(h) != nullptr;
    case VPerifModem::hReceivingFile: return dynamic_cast<VPerifReceivingFile*>(h) != nullptr;
    case VPerifModem::hPhonebook: return dynamic_cast<VPerifPhonebook*>(h) != nullptr;
    default: return false;
    }
}

}  // namespace

bool VPerifModem::replaceHandler(int index, std::unique_ptr<VPerif> handler)
{
    if (!handler || !FitsSlot(index, handler.get()))
        return false;
    handlers[size_t(index)] = std::move(handler);
    return true;
}

// The slots hold exactly these classes (or classes derived from them):
// the constructor and replaceHandler see to it.
VPerifActive& VPerifModem::active() const { return static_cast<VPerifActive&>(*handlers[hActive]); }
VPerifPower& VPerifModem::power() const { return static_cast<VPerifPower&>(*handlers[hPower]); }
VPerifCMEE& VPerifModem::cmee() const { return static_cast<VPerifCMEE&>(*handlers[hCMEE]); }
VPerifCGMI& VPerifModem::cgmi() const { return static_cast<VPerifCGMI&>(*handlers[hCGMI]); }
VPerifCGMM& VPerifModem::cgmm() const { return static_cast<VPerifCGMM&>(*handlers[hCGMM]); }
VPerifCPIN& VPerifModem::cpin() const { return static_cast<VPerifCPIN&>(*handlers[hCPIN]); }
VPerifCOPS& VPerifModem::cops() const { return static_cast<VPerifCOPS&>(*handlers[hCOPS]); }
VPerifCREG& VPerifModem::creg() const { return static_cast<VPerifCREG&>(*handlers[hCREG]); }
VPerifCSQ& VPerifModem::csq() const { return static_cast<VPerifCSQ&>(*handlers[hCSQ]); }
// The two asked on every tick (hot: kept with the tick's code).
[[gnu::hot]] VPerifCCLK& VPerifModem::cclk() const { return static_cast<VPerifCCLK&>(*handlers[hCCLK]); }
[[gnu::hot]] VPerifCALA& VPerifModem::cala() const { return static_cast<VPerifCALA&>(*handlers[hCALA]); }
VPerifCBC& VPerifModem::cbc() const { return static_cast<VPerifCBC&>(*handlers[hCBC]); }
VPerifCalls& VPerifModem::calls() const { return static_cast<VPerifCalls&>(*handlers[hCalls]); }
VPerifSMSs& VPerifModem::smss() const { return static_cast<VPerifSMSs&>(*handlers[hSMSs]); }
VPerifProtikus& VPerifModem::protikus() const
{
    return static_cast<VPerifProtikus&>(*handlers[hProtikus]);
}
VPerifSendingFile& VPerifModem::sendingFile() const
{
    return static_cast<VPerifSendingFile&>(*handlers[hSendingFile]);
}
VPerifReceivingFile& VPerifModem::receivingFile() const
{
    return static_cast<VPerifReceivingFile&>(*handlers[hReceivingFile]);
}
VPerifPhonebook& VPerifModem::phonebook() const
{
    return static_cast<VPerifPhonebook&>(*handlers[hPhonebook]);
}
