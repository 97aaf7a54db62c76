// The SMS handler: life cycle, requests of the SMS page and the options
// dialog, and the tick that chooses the next command.
#include "engine/perif_smss.h"

#include <exception>

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/perif_active.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_creg.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/utils.h"

bool VPerifSMSs::Quotable(const std::string& name)
{
    if (name.empty())
        return false;
    for (char c : name)
        if (c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

VPerifSMSs::VPerifSMSs(VUniSET* owner) : VPerif(owner)
{
    onListChange = [this](VTixSMSList*, VTixItemOperation operation, VTixSMSRecord* sms) {
        listChanged(operation, sms);
    };
}

VPerifSMSs::~VPerifSMSs()
{
    if (registeredList)
        registeredList->UnRegisterSMSChangeNotify(&onListChange);
}

VTixSMSList* VPerifSMSs::list()
{
    VTixSMSList* current = window().smsList();
    if (current != registeredList) {
        if (registeredList)
            registeredList->UnRegisterSMSChangeNotify(&onListChange);
        registeredList = current;
        if (current)
            current->RegisterSMSChangeNotify(&onListChange);
    }
    return current;
}

bool VPerifSMSs::modelWithoutSCA() const
{
    return modem().cgmm().getCode() == ModelWithoutSCA;
}

// ---- Life cycle ---------------------------------------------------------------

void VPerifSMSs::start(uint32_t now)
{
    restart(now);
}

void VPerifSMSs::restart(uint32_t now)
{
    reset(now);
    // Drafts and messages delivered to the program are held nowhere else:
    // only the device's memories are read again.
    if (VTixSMSList* l = list()) {
        l->clearDeviceMessages();
        l->clearStorages();
    }
    deviceSCAType = 0;
}

void VPerifSMSs::reset(uint32_t)
{
    // A request in flight has no result to wait for any more.
    releaseRequest();
    dropUserSMS();
    pending = pdNone;
    errorPause = false;
    for (int& v : cnmi)
        v = -1;
    homeStorage.clear();
    for (int k = 0; k < 3; ++k) {
        mem[k].clear();
        used[k] = -1;
        total[k] = -1;
    }
    msgIndex = 0;
    msgStat = 0;
    msgLength = 0;
    storagesListed = false;
    userSMS = nullptr;
    mySMS = nullptr;
    scaKnown = 0;
    sentSCA.clear();
    sentSCAType = -1;
    lastListTick = 0;
    failures = 0;
    failedCommand.clear();
    escapeOwed = false;
    ownPduWent = false;
    idleChangeCount = -1;
    // A new connection tries every memory again.
    listedIndexes.clear();
    announcedWhileListing.clear();
    readIndex = -1;
    readGotMessage = false;
    owedPdu = -1;
    switchAsked.clear();
    switchMissed.clear();
    switchMisses = 0;
    unselectableMemories.clear();
    memoriesGivenUp = false;
}

bool VPerifSMSs::isBusy() const
{
    return pending != pdNone;
}

bool VPerifSMSs::isInitialised() const
{
    // A parameter the device offers no value for is as settled as a set one.
    for (int v : cnmi)
        if (v < 0 && v != CnmiNone)
            return false;
    return homeStorage.empty();
}

// ---- Requests -------------------------------------------------------------------

void VPerifSMSs::wantWrite(VTixSMSRecord* sms)
{
    wantSendWrite(sms, false);
}

void VPerifSMSs::wantSendWrite(VTixSMSRecord* sms, bool send)
{
    if (mySMS || !sms)
        return;
    mySMS = sms;
    sendNotStore = send;
    sms->SetState(send ? VTixSMS_stateBeingSent : VTixSMS_stateBeingStored);
    sendInProgress = false;
    pduSent = false;
    ownPduWent = false;
    // Failures counted for an earlier request do not count against this one.
    failures = 0;
    failedCommand.clear();
    if (modelWithoutSCA())
        sms->SetPDUFormat(VTixSMS_pduFmtWoutSCA);
}

void VPerifSMSs::setWantedSCA(const std::string& number)
{
    // Without a digit it is no number: written, it would empty the
    // device's centre.
    if (number.find_first_of("0123456789") == std::string::npos)
        return;
    if (number[0] == '+') {
        wantedSCA = number.substr(1);
        wantedSCAType = 145;
    } else {
        wantedSCA = number;
        wantedSCAType = 129;
    }
}

// ---- The tick -------------------------------------------------------------------

uint32_t VPerifSMSs::pendingTimeout() const
{
    switch (pending) {
    case pdCscaSet:
    case pdCscaRead:
    case pdCnmiSet:
    case pdCnmiRead:
    case pdCnmiTest:
    case pdCpmsSet:
    case pdCpmsRead:
    case pdCpmsTest:
    case pdCmglAll:
    case pdCmglOther:
    case pdCmgr:
    case pdCmgd: return CommandTimeoutMs;
    case pdCmgs:
    case pdCmss:
    case pdCmgw: return SendTimeoutMs;
    default: return ShortTimeoutMs;
    }
}

void VPerifSMSs::tick(uint32_t now)
{
    VTixSMSList* l = list();
    if (!l)
        return;
    if (escapeOwed) {
        // Another's line ended our prompt here, but the device still takes
        // what it gets as the PDU: Esc ends its wait.
        escapeOwed = false;
        owner->sendData("\x1B", 1, now);
        return;
    }
    // 1. Error pause.
    if (errorPause) {
        if (!elapsed(ErrorPauseMs, now))
            return;
        errorPause = false;
    }
    // 2. Readiness.
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isFullPower() || !m.creg().isRegistered())
        return;
    // 3, 4. The PDU after the prompt.
    const bool busy = m.isBusy();
    if (mySMS && sendInProgress && !pduSent && owner->smsPromptSeen()) {
        std::string text;
        try {
            text = mySMS->GetPDUText() + '\x1A';
            ownPduWent = true;
        } catch (const std::exception&) {
            // Edited since its command went out: the entry is cancelled.
            text = "\x1B";
        }
        owner->sendData(text.data(), int(text.size()), now);
    }
    // 5. Gate.
    const bool ownTimedOut = pending != pdNone && elapsed(pendingTimeout(), now);
    if (!ownTimedOut && busy)
        return;
    if (ownTimedOut && timedOut(now))
        return;

    bool stop = false;
    if (stepSCA(now) || stepCNMI(now) || stepMemories(now) || stepReadsAndDeletes(now, stop) || stop ||
        stepRequest(now, stop) || stop || stepHomeStorage(now))
        return;
    stepRelisting(now);
}

bool VPerifSMSs::timedOut(uint32_t now)
{
    if ((pending == pdCmgs || pending == pdCmgw) && owner->getMode() == 2) {
        // No prompt came: Esc ends the device's wait and the request.
        owner->sendData("\x1B", 1, now);
        setLastSendTime(now);
        return true;
    }
    if ((pending == pdCmgs || pending == pdCmgw || pending == pdCmss) && sendInProgress) {
        // Sent again it might go twice: the request ends with its result
        // unknown, and a result that still comes finds nothing waiting.
        endUnanswered();
    } else
        countFailure(now);
    pending = pdNone;
    // The link watcher holds every handler back while a command awaits its
    // final result; this one's wait is over, and the others get the line
    // before the next try.
    VPerifActive& watcher = modem().active();
    if (watcher.getState() == VPerifActive::AwaitingResult)
        watcher.setState(VPerifActive::Settled);
    setLastSendTime(now);
    errorPause = true;
    return true;
}

bool VPerifSMSs::stepSCA(uint32_t now)
{
    if (scaKnown == 0 && wantedSCA.empty() && wantedSCAType == 0) {
        sendLine(now, "AT+CSCA?");
        return true;
    }
    if (wantedSCA != deviceSCA || deviceSCAType != wantedSCAType) {
        sendLineF(now, "AT+CSCA=\"" + wantedSCA + "\"," + std::to_string(wantedSCAType));
        return true;
    }
    return false;
}

bool VPerifSMSs::stepCNMI(uint32_t now)
{
    bool wanted = false;
    for (int v : cnmi) {
        if (v == -1) {
            sendLine(now, "AT+CNMI=?");
            return true;
        }
        wanted = wanted || (v < 0 && v != CnmiNone);
    }
    if (!wanted)
        return false;
    // A wanted value v is held as v - 1000. A parameter the device offers
    // no value for is left empty (the device keeps its own), and one
    // already known goes as it is.
    std::string line = "AT+CNMI=";
    const int count = cnmi[4] == CnmiNoBfr ? 4 : 5;
    for (int k = 0; k < count; ++k) {
        if (k)
            line += ',';
        const int v = cnmi[k];
        if (v != CnmiNone)
            line += std::to_string(v < 0 ? v + 1000 : v);
    }
    sendLineF(now, line);
    return true;
}

bool VPerifSMSs::stepMemories(uint32_t now)
{
    if (!storagesListed) {
        sendLine(now, "AT+CPMS=?");
        return true;
    }
    if (!memoriesGivenUp && !memoriesKnown()) {
        sendLine(now, "AT+CPMS?");
        return true;
    }
    return false;
}

bool VPerifSMSs::switchMemory(uint32_t now, const std::string& storage)
{
    // A name that cannot be quoted is never sent, memory 1 is left only
    // when the way back can be sent too, and a memory the device does not
    // switch to is not asked for again.
    if (!Quotable(storage) || (homeStorage.empty() && !Quotable(mem[0])))
        return false;
    // Nor is memory 1 left when the device's memories cannot be read: the
    // switch could not be checked.
    if (unselectable(storage) || memoriesGivenUp) {
        giveUpMemory(storage, true);
        return false;
    }
    if (homeStorage.empty())
        homeStorage = mem[0];
    sendLineF(now, "AT+CPMS=\"" + storage + "\"");
    return true;
}

bool VPerifSMSs::stepReadsAndDeletes(uint32_t now, bool& stop)
{
    VTixSMSList* l = list();
    // Nothing was wanted, and neither the list nor memory 1 changed since.
    if (int64_t(l->GetChangeCount()) == idleChangeCount && mem[0] == idleMem1)
        return false;
    if (mem[0].empty()) {
        // Memory 1 could not be read: no message of the device can be.
        if (memoriesGivenUp)
            giveUpMemory(std::string(), true);
        idleChangeCount = int64_t(l->GetChangeCount());
        idleMem1 = mem[0];
        return false;
    }

    // 9. Reads.
    std::string storage = mem[0];
    int index = -1;
    bool reading = l->getWantedReads(storage, index, true);
    if (reading && index < 0 && storage == mem[0]) {
        // The messages wanted are in another memory: asked without a
        // memory, the list names it.
        std::string other;
        int otherIndex = -1;
        if (l->getWantedReads(other, otherIndex, true) && otherIndex >= 0 && !other.empty()) {
            storage = other;
            index = otherIndex;
        }
    }
    bool waiting = false;
    if (reading) {
        if (storage != mem[0]) {
            if (switchMemory(now, storage))
                return true;
            // Not to be reached: the deletes look in memory 1.
            storage = mem[0];
            index = -1;
        } else if (index == 0) {
            if (lastListTick == 0) {
                lastListTick = now;
                waiting = true;
            } else if (Utils::IsTickElapsed(lastListTick, ListPauseMs, now)) {
                sendLine(now, "AT+CMGL=4");
                return true;
            } else {
                stop = true;
                return false;
            }
        } else if (index > 0) {
            sendLineF(now, "AT+CMGR=" + std::to_string(index));
            return true;
        }
    }

    // 10. Deletes.
    const bool deleting = l->getWantedDelete(storage, index);
    if (deleting) {
        if (storage != mem[0]) {
            // A copy whose place is not known yet waits for its listing.
            if (index >= 1 && switchMemory(now, storage))
                return true;
        } else if (index > 0) {
            sendLineF(now, "AT+CMGD=" + std::to_string(index));
            return true;
        }
    }
    if (!waiting) {
        idleChangeCount = int64_t(l->GetChangeCount());
        idleMem1 = mem[0];
    }
    return false;
}

bool VPerifSMSs::stepRequest(uint32_t now, bool& stop)
{
    if (!mySMS)
        return false;
    if (sendInProgress) {
        stop = true;
        return false;
    }
    try {
        mySMS->preparePDUpart(0);
    } catch (const std::exception&) {
        // A message the codec cannot build (a number too long) is refused
        // here, once, rather than on every tick.
        releaseRequest();
        return false;
    }
    if (!sendNotStore) {
        sendLineF(now, "AT+CMGW=" + std::to_string(mySMS->GetCMGWlen()));
    } else if (mySMS->GetStorage() == mem[1] && mySMS->GetIndex() >= 1 && !mySMS->GetEditedSinceLoad()) {
        // Sent from memory only as the device holds it: an edited message
        // goes with its own PDU.
        sendLineF(now, "AT+CMSS=" + std::to_string(mySMS->GetIndex()));
    } else {
        sendLineF(now, "AT+CMGS=" + std::to_string(mySMS->GetCMGWlen()));
    }
    return true;
}

bool VPerifSMSs::stepHomeStorage(uint32_t now)
{
    if (homeStorage.empty())
        return false;
    if (homeStorage != mem[0] && Quotable(homeStorage)) {
        sendLineF(now, "AT+CPMS=\"" + homeStorage + "\"");
        return true;
    }
    homeStorage.clear();
    return false;
}

void VPerifSMSs::stepRelisting(uint32_t now)
{
    // Only while the device reports no new messages by itself.
    const bool reports = cnmi[0] != 0 && cnmi[0] != 1 && cnmi[1] != 0;
    if (reports || !window().isChecked(VMainWindowLink::CheckTestSignal))
        return;
    VTixSMSList* l = list();
    const VTixSMSStorage* receiving = l->getStorageByName(mem[2]);
    if (!receiving || !receiving->GetFirstRead())
        return;
    // The interval's text is read again at most once a second.
    if (!relistRead || Utils::IsTickElapsed(relistReadTick, RelistReadMs, now)) {
        const int seconds =
            HandlerText::StrToIntDef(window().editText(VMainWindowLink::EditOftenCSQ), RelistDefaultSeconds);
        relistInterval = uint32_t(seconds) * 1000u;
        relistReadTick = now;
        relistRead = true;
    }
    if (Utils::IsTickElapsed(lastListTick, relistInterval, now))
        l->invalidateStorage(mem[2]);
}
