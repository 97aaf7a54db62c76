// The SMS handler: recognising its own commands, reading the device's
// response lines, PDU lines and the end of the text after the prompt.
#include <algorithm>
#include <array>
#include <string_view>

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/perif_modem.h"
#include "engine/perif_smss.h"
#include "engine/uniset.h"
#include "foundation/tixutils_misc.h"
#include "platform/codepage.h"
#include "platform/ini_file.h"

namespace {

using HandlerText::StartsIC;
using HandlerText::StrToIntDef;

bool EndsIC(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && StartsIC(text.substr(text.size() - suffix.size()), suffix);
}

// The line begins with the prefix and ends with the suffix (ASCII case
// ignored, neither overlapping the other); `rest` is what lies between.
bool Match(std::string_view line, std::string_view prefix, std::string_view suffix, std::string& rest)
{
    if (line.size() < prefix.size() + suffix.size() || !StartsIC(line, prefix) || !EndsIC(line, suffix))
        return false;
    rest.assign(line.substr(prefix.size(), line.size() - prefix.size() - suffix.size()));
    return true;
}

// The rest after a command prefix; an empty rest is no match.
bool CommandRest(std::string_view text, std::string_view prefix, std::string& rest)
{
    if (!StartsIC(text, prefix) || text.size() == prefix.size())
        return false;
    rest.assign(text.substr(prefix.size()));
    return true;
}

// A message index of a command: -1 when it is no number or below 1.
int IndexOf(std::string_view text)
{
    const int index = StrToIntDef(text, -1);
    return index < 1 ? -1 : index;
}

bool IsNumber(std::string_view text)
{
    // No default of StrToIntDef is a number it can give for both.
    return StrToIntDef(text, 0) == StrToIntDef(text, 1);
}

// The preferred +CNMI values, one list per parameter, each ended by -1.
constexpr std::array<int, 22> CnmiPreferred = {2, 3, 1, 0, -1, 1, 3, 2, 0, -1, 1, 3, 2, 0, -1,
                                               1, 0, -1, 0, 1, -1, -1};

}  // namespace

std::vector<std::string>& VPerifSMSs::split(const std::string& text)
{
    std::vector<std::string>& fields = modem().getFields();
    Tixutils::VSetCommaText(fields, text);
    return fields;
}

// ---- Commands --------------------------------------------------------------------

void VPerifSMSs::onCommandSent(uint32_t now)
{
    // Another handler's line while our message awaits its result: the
    // answers that come now are that line's, so ours can no longer be
    // told. The request ends unknown, as after its time-out; left pending,
    // it would hold every later send for good.
    if (mySMS && sendInProgress && (pending == pdCmss || (pduSent && (pending == pdCmgs || pending == pdCmgw))))
        endUnanswered();
    pending = pdNone;
    const std::string_view line = owner->getTxBuffer().view();
    if (line.size() < 3 || !StartsIC(line, "AT") || line.back() != '\r')
        return;
    const std::string command(line.substr(2, line.size() - 3));
    commandSeen(command);
    if (pending != pdNone) {
        setLastSendTime(now);
        lastCommand = command;
    }
}

void VPerifSMSs::commandSeen(const std::string& command)
{
    std::string rest;
    VTixSMSList* l = list();
    if (CommandRest(command, "+CSCA", rest)) {
        if (rest == "?")
            pending = pdCscaRead;
        else if (rest == "=?")
            pending = pdCscaTest;
        else if (rest.size() >= 2 && rest[0] == '=') {
            const auto& items = split(rest.substr(1));
            if (items.size() == 2) {
                sentSCA = items[0];
                sentSCAType = StrToIntDef(items[1], 0);
                pending = pdCscaSet;
            }
        }
    } else if (CommandRest(command, "+CNMI", rest)) {
        if (rest == "?")
            pending = pdCnmiRead;
        else if (rest == "=?")
            pending = pdCnmiTest;
        else if (rest.size() >= 2 && rest[0] == '=') {
            const auto& items = split(rest.substr(1));
            for (size_t k = 0; k < CnmiCount; ++k)
                cnmiSent[k] = k < items.size() ? StrToIntDef(items[k], CnmiNone) : -1;
            pending = pdCnmiSet;
        }
    } else if (CommandRest(command, "+CPMS", rest)) {
        if (rest == "?") {
            pending = pdCpmsRead;
            cpmsLine = 0;
        } else if (rest == "=?")
            pending = pdCpmsTest;
        else if (rest.size() >= 2 && rest[0] == '=') {
            const auto& items = split(rest.substr(1));
            cpmsTarget = items.empty() ? std::string() : items[0];
            pending = pdCpmsSet;
        }
    } else if (CommandRest(command, "+CMGL=", rest)) {
        const int stat = StrToIntDef(rest, -1);
        if (stat == 4) {
            pending = pdCmglAll;
            owedPdu = -1;
            listedIndexes.clear();
            announcedWhileListing.clear();
        } else if (IsNumber(rest))
            pending = pdCmglOther;
    } else if (CommandRest(command, "+CMGR=", rest)) {
        msgIndex = IndexOf(rest);
        readIndex = msgIndex;
        readGotMessage = false;
        pending = pdCmgr;
    } else if (CommandRest(command, "+CMGD=", rest)) {
        msgIndex = IndexOf(rest);
        if (msgIndex >= 1)
            pending = pdCmgd;
    } else if (CommandRest(command, "+CMSS=", rest)) {
        msgIndex = IndexOf(rest);
        // A send from no index sends nothing: it must not hold up the
        // requests after it.
        if (msgIndex >= 1) {
            pending = pdCmss;
            sendInProgress = true;
            pduSent = false;
        }
    } else {
        const bool send = CommandRest(command, "+CMGS=", rest);
        if (!send && !CommandRest(command, "+CMGW=", rest))
            return;
        if (userSMS && l)
            l->messageDeleted(userSMS);
        userSMS = nullptr;
        if (l) {
            userSMS = l->smsDoesExist(send ? std::string(VTixSMSList::ProgramStorage) : mem[1], 0);
            if (modelWithoutSCA())
                userSMS->SetPDUFormat(VTixSMS_pduFmtWoutSCA);
            userSMS->SetState(send ? VTixSMS_stateBeingSent : VTixSMS_stateBeingStored);
        }
        owner->beginSmsText();
        msgLength = StrToIntDef(rest, -1);
        ownPduWent = false;
        pending = send ? pdCmgs : pdCmgw;
        sendInProgress = true;
        pduSent = false;
    }
}

// ---- Response lines -----------------------------------------------------------------

void VPerifSMSs::onResponse(uint32_t now)
{
    const std::string_view line = owner->getRxBuffer().view();
    std::string rest;
    VTixSMSList* l = list();

    if (Match(line, "AT", "\r\r\n", rest)) {
        commandSeen(rest);
        return;
    }
    if (Match(line, "+CMTI:", "\r\n", rest)) {
        if (window().windowMinimized())
            window().setFlashCount(5);
        const auto& items = split(rest);
        // Only a message of a device memory, with a place in it, can be read.
        if (items.size() == 2 && l && items[0] != VTixSMSList::ProgramStorage) {
            const int index = StrToIntDef(items[1], 0);
            const std::string storage = items[0];
            if (index >= 1 && Quotable(storage)) {
                l->wantRead(storage, index);
                // Stored after the listing was made: not gone when missing from it.
                if (pending == pdCmglAll)
                    announcedWhileListing.push_back(index);
            }
        }
        return;
    }
    if (Match(line, "+CMT: ", "\r\n", rest)) {
        takeCmt(rest);
        return;
    }
    if (pending == pdCscaRead && Match(line, "+CSCA: ", "\r\n", rest)) {
        const auto& items = split(rest);
        if (items.size() == 2) {
            scaKnown = 1;
            const std::string number = items[0];
            scaReceived(number, uint8_t(StrToIntDef(items[1], 0)));
        } else if (items.size() == 1) {
            scaKnown = 1;
            const std::string number = items[0];
            scaReceived(number, 0);
        }
        return;
    }
    if (Match(line, "+CNMI: ", "\r\n", rest)) {
        takeCnmi(rest);
        return;
    }
    if (Match(line, "+CPMS: ", "\r\n", rest)) {
        if (pending == pdCpmsRead)
            takeCpmsRead(rest);
        else if (pending == pdCpmsTest)
            takeCpmsTest(rest);
        return;
    }
    if (Match(line, "+CMGL: ", "\r\n", rest)) {
        settleOwedPdu();
        auto& items = split(rest);
        if (items.size() == 3)
            items.insert(items.begin() + 2, std::string());
        if (items.size() == 4) {
            msgIndex = StrToIntDef(items[0], 0);
            msgStat = StrToIntDef(items[1], -1);
            msgLength = StrToIntDef(items[3], 0);
            if (pending == pdCmglAll && msgIndex >= 1) {
                listedIndexes.push_back(msgIndex);
                owedPdu = msgIndex;
            }
        } else
            msgIndex = 0;
        owner->expectPduLine();
        return;
    }
    if (Match(line, "+CMGR: ", "\r\n", rest)) {
        auto& items = split(rest);
        if (items.size() == 2)
            items.insert(items.begin() + 1, std::string());
        if (items.size() == 3) {
            msgStat = StrToIntDef(items[0], -1);
            msgLength = StrToIntDef(items[2], 0);
        } else
            msgIndex = 0;
        if (pending == pdCmgr)
            readGotMessage = true;
        owner->expectPduLine();
        return;
    }
    if (Match(line, "+CMGS: ", "\r\n", rest) || Match(line, "+CMSS: ", "\r\n", rest))
        return;
    // Before the own PDU went out, a store's index or an OK belongs to an
    // earlier command whose result came late.
    const bool beforePdu = (pending == pdCmgs || pending == pdCmgw) && !pduSent;
    if (Match(line, "+CMGW: ", "\r\n", rest)) {
        const int index = StrToIntDef(rest, -1);
        // A copy kept in "PC" (memory 2 unknown) keeps the program's index.
        if (userSMS && index >= 1 && !beforePdu && userSMS->GetStorage() != VTixSMSList::ProgramStorage)
            userSMS->SetIndex(index);
    }
    if (pending == pdNone)
        return;
    if (Platform::SameTextIC(line, "OK\r\n")) {
        if (!beforePdu)
            finalResult(now, true);
    } else if (Platform::SameTextIC(line, "ERROR\r\n") || StartsIC(line, "+CME ERROR: ") ||
             StartsIC(line, "+CMS ERROR: "))
        finalResult(now, false);
}

void VPerifSMSs::takeCmt(const std::string& rest)
{
    auto& items = split(rest);
    if (items.size() == 1 && items[0].size() >= 26) {
        msgIndex = 0;
        msgStat = 1;
        msgLength = -1;
        const std::string pdu = items[0];
        pduReceived(VTixSMSList::ProgramStorage, pdu);
        return;
    }
    if (items.size() == 1)
        items.insert(items.begin(), std::string());
    if (items.size() == 2) {
        msgIndex = 0;
        msgStat = 1;
        msgLength = StrToIntDef(items[1], 0);
    } else
        msgIndex = 0;
    owner->expectPduLine();
}

void VPerifSMSs::takeCnmi(const std::string& rest)
{
    if (pending == pdCnmiTest) {
        bool open = false;
        for (int v : cnmi)
            open = open || v < 0;
        if (!open)
            return;
        std::array<int, CnmiCount> chosen{};
        chooseSupported(rest, CnmiPreferred, chosen, CnmiCount);
        for (int k = 0; k < CnmiCount; ++k) {
            if (cnmi[k] >= 0)
                continue;
            // The parameters are small numbers; anything else a device
            // offers cannot be held as a wanted value (v - 1000) and counts
            // as no value offered.
            const bool offered = chosen[k] >= 0 && chosen[k] <= CnmiMaxOffered;
            cnmi[k] = offered ? chosen[k] - 1000 : (k == 4 ? CnmiNoBfr : CnmiNone);
        }
    } else if (pending == pdCnmiRead) {
        const auto& items = split(rest);
        for (size_t k = 0; k < CnmiCount && k < items.size(); ++k)
            cnmi[k] = StrToIntDef(items[k], CnmiNone);
    }
}

void VPerifSMSs::takeCpmsRead(const std::string& rest)
{
    const auto& items = split(rest);
    auto item = [&](size_t i) { return i < items.size() ? items[i] : std::string(); };
    // A line of counts only (the answer some devices give) names nothing.
    if (StrToIntDef(item(0), -1) != -1)
        return;
    const int k = cpmsLine;
    if (k >= 0 && k <= 2) {
        mem[k] = item(0);
        used[k] = StrToIntDef(item(1), -1);
        total[k] = StrToIntDef(item(2), -1);
    }
    if (items.size() > 3) {
        // The one-line form: all three memories.
        if (items.size() > 3)
            mem[1] = items[3];
        if (items.size() > 4)
            used[1] = StrToIntDef(items[4], -1);
        if (items.size() > 5)
            total[1] = StrToIntDef(items[5], -1);
        mem[2] = items.size() > 6 ? items[6] : mem[0];
        used[2] = items.size() > 7 ? StrToIntDef(items[7], -1) : used[0];
        total[2] = items.size() > 8 ? StrToIntDef(items[8], -1) : total[0];
    }
    ++cpmsLine;
}

void VPerifSMSs::takeCpmsTest(const std::string& rest)
{
    // A new memory list: every memory is tried again.
    unselectableMemories.clear();
    const size_t length = rest.size();
    size_t pos = 0;
    int separators = 0;
    while (separators < 3) {
        while (pos < length && rest[pos] == ' ')
            ++pos;
        if (pos >= length)
            break;
        bool opened = false;
        if (rest[pos] == '(') {
            opened = true;
            ++pos;
        }
        if (pos >= length)
            break;
        const char c = rest[pos];
        if (c == '"') {
            const size_t close = rest.find('"', pos + 1);
            if (close == std::string::npos) {
                pos = length;
            } else {
                storageListed(separators, rest.substr(pos + 1, close - pos - 1));
                pos = close + 1;
            }
        } else if (c == ',' && opened) {
            ++pos;
        } else if (c == ',' || c == ')') {
            if (c == ')')
                ++pos;
            if (pos < length && rest[pos] == ',')
                ++pos;
            ++separators;
        } else {
            ++pos;
        }
    }
    storagesListed = true;
}

void VPerifSMSs::storageListed(int, const std::string& name)
{
    VTixSMSList* l = list();
    if (l && Quotable(name))
        l->storageDoesExist(name);
}

void VPerifSMSs::registerStorages()
{
    for (int k = 0; k < 3; ++k)
        if (!mem[k].empty() && !IsNumber(mem[k])) {
            storageListed(k, mem[k]);
            // The counts of the storage, as the device gave them.
            if (VTixSMSList* l = list())
                if (VTixSMSStorage* storage = l->getStorageByName(mem[k])) {
                    storage->SetUsed(std::max(used[k], 0));
                    storage->SetCapacity(std::max(total[k], 0));
                }
        }
}

void VPerifSMSs::scaReceived(const std::string& number, uint8_t type)
{
    const bool plus = !number.empty() && number[0] == '+';
    const std::string digits = type == 145 && plus ? number.substr(1) : number;
    if (number != deviceSCA || type != deviceSCAType) {
        deviceSCAType = type;
        deviceSCA = digits;
        if (VTixSMSList* l = list())
            l->SetSCANumber(type == 145 && !plus ? "+" + number : number, true);
    }
    if (wantedSCA.empty() && wantedSCAType == 0) {
        wantedSCAType = type;
        wantedSCA = digits;
    }
}

// ---- PDU lines and the end of the text --------------------------------------------------

void VPerifSMSs::onSms11(uint32_t now)
{
    // Each message of a long listing restarts its time-out.
    if (pending == pdCmglAll || pending == pdCmglOther)
        setLastSendTime(now);
    owedPdu = -1;
    const std::string line(owner->getRxBuffer().view());
    pduReceived(msgIndex == 0 ? std::string(VTixSMSList::ProgramStorage) : mem[0], line);
}

void VPerifSMSs::pduReceived(const std::string& storage, const std::string& pdu)
{
    VTixSMSList* l = list();
    if (msgStat >= 0 && !storage.empty() && msgIndex >= 0 && l) {
        VTixSMSRecord* sms = recordFor(storage, pdu);
        if (keepsState(sms)) {
            // Marked for deletion, or being sent: the listing does not undo that.
            msgStat = -1;
            return;
        }
        if (sms->GetPDUCount() == 0 && window().windowMinimized())
            window().setFlashCount(5);
        const bool withoutSCA = modelWithoutSCA();
        if (withoutSCA)
            sms->SetPDUFormat(VTixSMS_pduFmtWoutSCA);
        switch (msgStat) {
        case 0: sms->SetState(VTixSMS_stateSIMRecvUnread); break;
        case 1: sms->SetState(VTixSMS_stateSIMRecvRead); break;
        case 2: sms->SetState(VTixSMS_stateSIMUnsent); break;
        case 3: sms->SetState(VTixSMS_stateSIMSent); break;
        default: break;
        }
        // Into the record found: a message of "PC" asked with index 0 got
        // a new index of its own.
        l->setPDUtext(sms->GetStorage(), sms->GetIndex(), msgLength, pdu, withoutSCA);
    }
    msgStat = -1;
}

void VPerifSMSs::onSmsPromptEnd(uint32_t, uint8_t cancelled)
{
    const TInputBuffer& sent = owner->getTxBuffer();
    if (cancelled) {
        pending = pdCancelled;
        dropUserSMS();
        // The own request ends with the entry; after another's line (CR)
        // the device still waits for the PDU until it gets Esc.
        if (mySMS && sendInProgress && !pduSent)
            releaseRequest();
        escapeOwed = sent.length() > 0 && sent.at(sent.length() - 1) == '\r';
    } else if (userSMS) {
        if (VTixSMSList* l = list())
            l->setPDUtext(userSMS->GetStorage(), userSMS->GetIndex(), msgLength, std::string(sent.view()),
                          modelWithoutSCA());
    }
    pduSent = true;
}
