// The SMS handler: final results of its commands, the end of a send or
// store request, and giving up a command that keeps failing.
#include "engine/main_window_link.h"
#include "engine/perif_smss.h"
#include "engine/uniset.h"

void VPerifSMSs::finalResult(uint32_t now, bool ok)
{
    // A result before the prompt ends the text mode the command opened;
    // left open, anyone's next line would count as a cancelled PDU.
    if ((pending == pdCmgs || pending == pdCmgw) && owner->getMode() == 2)
        owner->setMode(0);
    if (ok)
        succeeded(now);
    else
        failedResult(now);
    pending = pdNone;
    if (!ok)
        errorPause = true;
}

bool VPerifSMSs::answerUnusable() const
{
    switch (pending) {
    case pdCscaRead: return scaKnown == 0;
    case pdCnmiTest:
        for (int v : cnmi)
            if (v == -1)
                return true;
        return false;
    case pdCpmsTest: return !storagesListed;
    case pdCpmsRead: return !memoriesKnown();
    default: return false;
    }
}

bool VPerifSMSs::memoriesKnown() const
{
    return !mem[0].empty() && used[0] != -1 && total[0] != -1 && !mem[1].empty() && used[1] != -1 && total[1] != -1;
}

void VPerifSMSs::succeeded(uint32_t now)
{
    VTixSMSList* l = list();
    if (pending == pdCpmsRead && cpmsLine == 2) {
        mem[2] = mem[0];
        used[2] = used[0];
        total[2] = total[0];
    }
    // Asked again at once it would get the same: counted as a refusal,
    // with the pause.
    if (answerUnusable()) {
        if (pending == pdCpmsRead)
            registerStorages();
        countFailure(now);
        errorPause = true;
        return;
    }
    switch (pending) {
    case pdCscaSet:
        deviceSCA = sentSCA;
        deviceSCAType = sentSCAType;
        scaReceived(sentSCA, uint8_t(sentSCAType));
        scaKnown = 1;
        sentSCA.clear();
        sentSCAType = -1;
        break;
    case pdCnmiSet:
        for (int k = 0; k < CnmiCount; ++k)
            if (cnmiSent[k] >= 0)
                cnmi[k] = cnmiSent[k];
        break;
    case pdCpmsSet:
        used[0] = -1;
        // The AT+CPMS? this brings tells whether the device really switched;
        // when the memories cannot be read, its OK is taken at its word.
        switchAsked = cpmsTarget;
        if (memoriesGivenUp)
            mem[0] = cpmsTarget;
        break;
    case pdCpmsRead:
        registerStorages();
        checkSwitch();
        break;
    case pdCmglAll:
        if (l)
            if (VTixSMSStorage* storage = l->getStorageByName(mem[0]))
                storage->SetFirstRead(true);
        settleOwedPdu();
        dropUnlisted();
        msgIndex = -1;
        msgStat = -1;
        lastListTick = now;
        break;
    case pdCmgr:
        endRead();
        msgIndex = -1;
        msgStat = -1;
        break;
    case pdCmgd:
        if (msgIndex >= 1 && l)
            l->messageDeleted(mem[0], msgIndex);
        break;
    case pdCmgs:
    case pdCmgw:
        joinUserAndMy(true);
        sendInProgress = false;
        pduSent = false;
        break;
    case pdCmss:
        if (mySMS)
            mySMS->SetState(VTixSMS_stateSIMSent);
        mySMS = nullptr;
        if (userSMS) {
            window().messageBox("CMSS / OK: userSMS!=NULL", "Error", VMainWindowLink::MB_ICONERROR);
            userSMS = nullptr;
        }
        sendInProgress = false;
        pduSent = false;
        break;
    default: break;
    }
    if (lastCommand == failedCommand) {
        failures = 0;
        failedCommand.clear();
    }
}

void VPerifSMSs::failedResult(uint32_t now)
{
    switch (pending) {
    case pdCmgs:
    case pdCmgw:
        sendInProgress = false;
        pduSent = false;
        joinUserAndMy(false);
        break;
    case pdCmss:
        sendInProgress = false;
        pduSent = false;
        if (mySMS)
            mySMS->SetState(VTixSMS_stateSendFailed);
        mySMS = nullptr;
        break;
    default: break;
    }
    countFailure(now);
}

void VPerifSMSs::countFailure(uint32_t)
{
    switch (pending) {
    case pdCscaSet:
    case pdCscaRead:
    case pdCnmiSet:
    case pdCnmiTest:
    case pdCpmsSet:
    case pdCpmsTest:
    case pdCpmsRead:
    case pdCmglAll:
    case pdCmgr:
    case pdCmgd:
    case pdCmgs:
    case pdCmss:
    case pdCmgw: break;
    default: return;  // repeated as long as its step wants it
    }
    if (lastCommand == failedCommand)
        ++failures;
    else {
        failedCommand = lastCommand;
        failures = 1;
    }
    if (failures < GiveUpAfter)
        return;
    giveUp();
    failures = 0;
    failedCommand.clear();
}

void VPerifSMSs::giveUp()
{
    VTixSMSList* l = list();
    switch (pending) {
    case pdCscaSet:
        // The wish is dropped: the device keeps its centre.
        wantedSCA = deviceSCA;
        wantedSCAType = deviceSCAType;
        break;
    case pdCscaRead: scaKnown = 1; break;
    case pdCnmiSet:
    case pdCnmiTest:
        for (int& v : cnmi)
            if (v < 0)
                v = CnmiNone;
        break;
    case pdCpmsSet: giveUpSwitch(cpmsTarget); break;
    // No list: the memories AT+CPMS? names are registered all the same.
    case pdCpmsTest: storagesListed = true; break;
    // Memory 1 unknown: nothing is read or deleted, sends still go.
    case pdCpmsRead: memoriesGivenUp = true; break;
    case pdCmglAll: giveUpMemory(mem[0], false); break;
    case pdCmgr:
        if (l && msgIndex >= 1)
            if (VTixSMSRecord* sms = l->getSMSByIndex(mem[0], msgIndex))
                sms->SetState(VTixSMS_state_ReadFailed);
        break;
    case pdCmgd:
        // Read again: what the device still holds shows.
        if (l && msgIndex >= 1)
            if (VTixSMSRecord* sms = l->getSMSByIndex(mem[0], msgIndex))
                sms->SetState(VTixSMS_state_Unknown);
        break;
    case pdCmgs:
    case pdCmss:
    case pdCmgw:
        releaseRequest();
        dropUserSMS();
        break;
    default: break;
    }
}

void VPerifSMSs::releaseRequest()
{
    if (!mySMS)
        return;
    VTixSMSRecord* sms = mySMS;
    mySMS = nullptr;
    sendInProgress = false;
    ownPduWent = false;
    sms->SetState(sendNotStore ? VTixSMS_stateSendFailed : VTixSMS_stateSIMUnsent);
}

void VPerifSMSs::endUnanswered()
{
    const bool store = !sendNotStore;
    const std::string copyStorage = userSMS ? userSMS->GetStorage() : std::string();
    releaseRequest();
    dropUserSMS();
    sendInProgress = false;
    pduSent = false;
    if (store && !copyStorage.empty())
        if (VTixSMSList* l = list())
            l->invalidateStorage(copyStorage);
}

void VPerifSMSs::dropUserSMS()
{
    VTixSMSRecord* copy = userSMS;
    userSMS = nullptr;
    if (copy)
        if (VTixSMSList* l = list())
            l->messageDeleted(copy);
}

void VPerifSMSs::listChanged(VTixItemOperation operation, VTixSMSRecord* sms)
{
    if (operation != vtioRemove)
        return;
    // Forgotten, never left dangling: a request the page deleted ends
    // without a result.
    if (sms == mySMS) {
        mySMS = nullptr;
        ownPduWent = false;
    }
    if (sms == userSMS)
        userSMS = nullptr;
}

void VPerifSMSs::joinUserAndMy(bool ok)
{
    if (!userSMS) {
        window().messageBox("VPerifModem::VPerifSMSs::joinUserAndMy: userSMS==NULL", "Error",
                            VMainWindowLink::MB_ICONERROR);
        return;
    }
    VTixSMSList* l = list();
    const bool store = pending == pdCmgw;
    VTixSMS_textSMSstates result;
    if (!store) {
        result = ok ? VTixSMS_stateSIMSent : VTixSMS_stateSendFailed;
        userSMS->SetState(result);
    } else if (!ok) {
        dropUserSMS();
        return;
    } else {
        result = VTixSMS_stateSIMUnsent;
        userSMS->SetState(result);
        if (userSMS->GetIndex() < 1 && userSMS->GetPDUCount() > 0 &&
            userSMS->GetStorage() != VTixSMSList::ProgramStorage) {
            // Stored without "+CMGW: <index>": a place of its own until the
            // next listing of its memory gives the real one.
            userSMS->SetIndex(nextIndexless--);
            if (l)
                l->invalidateStorage(userSMS->GetStorage());
        }
    }
    if (mySMS) {
        // The device took the PDU we sent after the prompt: the request is
        // done even where the copy, read back, builds other octets.
        if (mySMS->pdusEqual(userSMS) || (ok && ownPduWent)) {
            VTixSMSRecord* done = mySMS;
            mySMS = nullptr;
            ownPduWent = false;
            done->SetState(result);
            if (done->GetStorage() == VTixSMSList::ProgramStorage && l)
                l->messageDeleted(done);
        }
    }
    // A copy without a PDU was refused before the prompt: it shows nothing
    // the device holds. The copy is never kept in hand after its result,
    // so the next command cannot delete it.
    if (userSMS && userSMS->GetPDUCount() == 0)
        dropUserSMS();
    userSMS = nullptr;
}
