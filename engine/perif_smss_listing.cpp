// The SMS handler: what a listing, a read and a memory switch leave in the
// list. A complete listing tells which messages memory 1 holds, a read
// answered without a message tells that its slot is empty, and the memory
// read after a switch tells whether the device really switched.
#include <algorithm>
#include <string_view>

#include "engine/perif_smss.h"

namespace {

bool Has(const std::vector<int>& indexes, int index)
{
    return std::find(indexes.begin(), indexes.end(), index) != indexes.end();
}

// The hex digits a PDU line begins with, upper case.
std::string HexRun(std::string_view text)
{
    std::string hex;
    for (char c : text) {
        const bool digit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!digit)
            break;
        hex += c >= 'a' ? char(c - 'a' + 'A') : c;
    }
    return hex;
}

}  // namespace

bool VPerifSMSs::keepsState(const VTixSMSRecord* sms) const
{
    return sms == mySMS || sms->GetState() == VTixSMS_state_Deleting;
}

VTixSMSRecord* VPerifSMSs::recordFor(const std::string& storage, const std::string& pdu)
{
    VTixSMSList* l = list();
    if (VTixSMSRecord* known = l->getSMSByIndex(storage, msgIndex))
        return known;
    if (storage != VTixSMSList::ProgramStorage && msgIndex >= 1) {
        const std::string listed = HexRun(pdu);
        for (int i = 0; i < l->getSMSCount() && !listed.empty(); ++i) {
            VTixSMSRecord* copy = l->getSMS(i);
            if (copy == userSMS || copy->GetIndex() >= 1 || copy->GetStorage() != storage ||
                copy->GetPDUCount() == 0)
                continue;
            std::string held;
            try {
                held = copy->GetPDUText();
            } catch (const std::exception&) {
                continue;  // edited since: no longer what the device holds
            }
            if (HexRun(held) == listed) {
                copy->SetIndex(msgIndex);
                return copy;
            }
        }
    }
    return l->smsDoesExist(storage, msgIndex);
}

void VPerifSMSs::dropUnlisted()
{
    VTixSMSList* l = list();
    if (!l || mem[0].empty())
        return;
    std::vector<VTixSMSRecord*> gone;
    for (int i = 0; i < l->getSMSCount(); ++i) {
        VTixSMSRecord* sms = l->getSMS(i);
        if (sms->GetStorage() != mem[0] || sms == mySMS || sms == userSMS || sms->GetPartCount() > 0)
            continue;
        const int index = sms->GetIndex();
        if (!Has(listedIndexes, index) && !Has(announcedWhileListing, index))
            gone.push_back(sms);
    }
    // One at a time: deleting a part may take its parent along.
    for (VTixSMSRecord* sms : gone)
        for (int i = 0; i < l->getSMSCount(); ++i)
            if (l->getSMS(i) == sms) {
                l->messageDeleted(sms);
                break;
            }
    listedIndexes.clear();
    announcedWhileListing.clear();
}

void VPerifSMSs::settleOwedPdu()
{
    const int index = owedPdu;
    owedPdu = -1;
    VTixSMSList* l = list();
    if (!l || index < 1 || mem[0].empty())
        return;
    VTixSMSRecord* sms = l->smsDoesExist(mem[0], index);
    if (!keepsState(sms))
        sms->SetState(VTixSMS_state_ReadFailed);
}

void VPerifSMSs::endRead()
{
    VTixSMSList* l = list();
    if (!l || readIndex < 1)
        return;
    VTixSMSRecord* sms = l->getSMSByIndex(mem[0], readIndex);
    readIndex = -1;
    if (!sms || sms->GetState() != VTixSMS_state_Unknown || sms == mySMS)
        return;
    if (readGotMessage)
        sms->SetState(VTixSMS_state_ReadFailed);  // read, but not into this record
    else
        l->messageDeleted(sms);  // an empty slot: announced, and deleted since
}

void VPerifSMSs::checkSwitch()
{
    const std::string asked = switchAsked;
    switchAsked.clear();
    if (asked.empty())
        return;
    if (mem[0] == asked) {
        if (switchMissed == asked) {
            switchMissed.clear();
            switchMisses = 0;
        }
        return;
    }
    // It said OK and kept the memory it had (it may alias the two).
    switchMisses = switchMissed == asked ? switchMisses + 1 : 1;
    switchMissed = asked;
    errorPause = true;
    if (switchMisses < GiveUpAfter)
        return;
    switchMissed.clear();
    switchMisses = 0;
    giveUpSwitch(asked);
}

void VPerifSMSs::giveUpSwitch(const std::string& name)
{
    unselectableMemories.push_back(name);
    if (name == homeStorage)
        homeStorage.clear();  // no way back: the device stays where it is
    else
        giveUpMemory(name, true);
}

bool VPerifSMSs::unselectable(const std::string& name) const
{
    return std::find(unselectableMemories.begin(), unselectableMemories.end(), name) !=
           unselectableMemories.end();
}

void VPerifSMSs::giveUpMemory(const std::string& name, bool unreachable)
{
    VTixSMSList* l = list();
    if (!l)
        return;
    if (VTixSMSStorage* storage = l->getStorageByName(name))
        storage->SetFirstRead(true);
    for (int i = 0; i < l->getSMSCount(); ++i) {
        VTixSMSRecord* sms = l->getSMS(i);
        const VTixSMS_textSMSstates state = sms->GetState();
        const bool there =
            name.empty() ? sms->GetStorage() != VTixSMSList::ProgramStorage : sms->GetStorage() == name;
        if (there && (state == VTixSMS_state_Unknown || (unreachable && state == VTixSMS_state_Deleting)))
            sms->SetState(VTixSMS_state_ReadFailed);
    }
}
