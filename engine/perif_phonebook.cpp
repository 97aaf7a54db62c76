#include "engine/perif_phonebook.h"

#include <algorithm>

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/perif_active.h"
#include "engine/perif_cpin.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/input_buffer.h"
#include "foundation/tixutils_text.h"
#include "foundation/utils.h"
#include "phonebook/phonebook.h"

using W = VMainWindowLink;

VPerifPhonebook::VPerifPhonebook(VUniSET* owner)
    : VPerif(owner), phonebook(std::make_unique<VTixPhoneBook>())
{
    phonebook->setLanguage([this](const std::string& section, const std::string& key, const std::string& def) {
        return window().getLangText(section, key, def);
    });
    phonebook->OnStoragesChanged = [this](VTixPhoneBook& model) { layoutStorageTabs(model); };
}

VPerifPhonebook::~VPerifPhonebook()
{
    phonebook->OnStoragesChanged = nullptr;
}

void VPerifPhonebook::start(uint32_t now)
{
    restart(now);
}

void VPerifPhonebook::restart(uint32_t now)
{
    reset(now);
    step = stepNone;
}

void VPerifPhonebook::reset(uint32_t)
{
    phonebook->clear();
    limitsRefusals = 0;
    unanswered = 0;
    pauseStart = 0;
    pauseState = 0;
}

bool VPerifPhonebook::isBusy() const
{
    return step != stepNone;
}

bool VPerifPhonebook::isReady()
{
    std::string name;
    int first = -1, last = -1;
    if (phonebook->nextReadRange(name, first, last))
        return false;
    name.clear();
    std::string number, text;
    int index = -1, type = 0;
    if (phonebook->nextWrite(name, index, number, type, text))
        return false;
    return phonebook->getWantedStorage() == currentStorageName();
}

std::string VPerifPhonebook::currentStorageName() const
{
    const VTixPhoneBookStorage* storage = phonebook->getDeviceStorage();
    return storage ? storage->getName() : std::string();
}

void VPerifPhonebook::setWantedStorage(const std::string& text)
{
    phonebook->setWantedStorage(text);
}

void VPerifPhonebook::setDisplayedStorage(const std::string& text)
{
    phonebook->setDisplayedStorage(text);
}

uint32_t VPerifPhonebook::pauseLeft(uint32_t now) const
{
    if (pauseState != 1 || Utils::IsTickElapsed(pauseStart, PauseMs, now))
        return 0;
    return PauseMs + 1 - (now - pauseStart);
}

void VPerifPhonebook::startPause(uint32_t now)
{
    pauseStart = now;
    pauseState = 1;
}

bool VPerifPhonebook::pauseHolds(uint32_t now)
{
    if (pauseState != 1)
        return false;
    if (!Utils::IsTickElapsed(pauseStart, PauseMs, now))
        return true;
    // Over for good: the same tick count 49.7 days on is no pause.
    pauseState = 2;
    return false;
}

void VPerifPhonebook::selectStorage(uint32_t now, const std::string& name)
{
    limitsRefusals = 0;
    sendLineF(now, "AT+CPBS=\"" + HandlerText::QuotableText(name) + "\"");
}

uint32_t VPerifPhonebook::answerLimit() const
{
    if (step != stepRead)
        return AnswerMs;
    // A typed read of a huge or reversed interval waits within bounds.
    const int64_t entries = argCount == 2 ? std::max<int64_t>(1, int64_t(secondArg) - firstArg + 1) : 1;
    return uint32_t(std::min<int64_t>(ReadBaseMs + ReadEntryMs * entries, MaxAnswerMs));
}

void VPerifPhonebook::tick(uint32_t now)
{
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isFullPower() || !m.cpin().isReady())
        return;
    const bool timedOut = step != stepNone && elapsed(answerLimit(), now);
    if (!timedOut && m.isBusy())
        return;
    if (timedOut)
        noteUnanswered(now, false);
    choose(now);
}

void VPerifPhonebook::noteUnanswered(uint32_t now, bool lost)
{
    const int was = step;
    step = stepNone;
    if (was == stepWrite && ownWrite.active) {
        // Counts as refused on its entry, or a device that never answers
        // it would get it for ever.
        refuseOwnWrite(now, window().getLangText(VTixPhoneBook::Section, "NoAnswer",
                                                 "Za\xF8\xEDzen\xED neodpov\xEC" "d\xECl" "o"));
        return;
    }
    // Sent again at once: a result only late comes to the next one. A
    // result the link watcher gave up on, after its silence, was lost; that
    // only so often.
    if (!lost || ++unanswered < MaxUnanswered)
        return;
    unanswered = 0;
    // The memory list and the selected memory are asked again (a late
    // answer still tells them); a memory that gives no range, no entries
    // or no write limits is given up.
    if (was != stepRange && was != stepRead && was != stepLimits)
        return;
    if (VTixPhoneBookStorage* storage = phonebook->getDeviceStorage())
        for (int i = 0; i < VTixPhoneBookStorage::MaxFailures; ++i)
            storage->addFailure();
}

bool VPerifPhonebook::choose(uint32_t now)
{
    // After an error even the memory list and the selected memory wait
    // out the pause, or a device without phonebooks is asked for ever.
    if (pauseHolds(now))
        return false;
    if (!phonebook->isStoragesKnown()) {
        sendLine(now, "AT+CPBS=?");
        return true;
    }
    const std::string device = currentStorageName();
    if (device.empty()) {
        sendLine(now, "AT+CPBS?");
        return true;
    }
    if (pauseState == 0) {
        startPause(now);
        return false;
    }

    std::string name = device;
    int first = -1, last = -1;
    if (phonebook->nextReadRange(name, first, last)) {
        if (name != device)
            selectStorage(now, name);
        else if (first == -1)
            sendLine(now, "AT+CPBR=?");
        else if (!window().isChecked(W::CheckPhonebookActive))
            return false;
        else if (first == last)
            sendLineF(now, "AT+CPBR=" + std::to_string(first));
        else
            sendLineF(now, "AT+CPBR=" + std::to_string(first) + "," + std::to_string(last));
        return true;
    }

    name = device;
    int index = -1, type = 0;
    std::string number, text;
    if (phonebook->nextWrite(name, index, number, type, text)) {
        if (name != device)
            selectStorage(now, name);
        else if (index == -1)
            sendLine(now, "AT+CPBW=?");
        else
            sendWrite(now, index, number, type, text);
        return true;
    }

    name.clear();
    if (phonebook->nextReadRange(name, first, last)) {
        selectStorage(now, name);
        return true;
    }
    name.clear();
    if (phonebook->nextWrite(name, index, number, type, text)) {
        selectStorage(now, name);
        return true;
    }
    const std::string& wanted = phonebook->getWantedStorage();
    if (wanted.empty() || wanted == device)
        return false;
    selectStorage(now, wanted);
    return true;
}

void VPerifPhonebook::sendWrite(uint32_t now, int index, const std::string& number, int type,
                                const std::string& text)
{
    VTixPhoneBookStorage* storage = phonebook->getDeviceStorage();
    const VTixPhoneBookRecord* entry = storage ? storage->findRecord(index, false) : nullptr;
    ownWrite.index = index;
    ownWrite.number = entry ? entry->getEditedNumber() : std::string();
    ownWrite.text = entry ? entry->getEditedText() : std::string();
    sendingOwnWrite = true;
    if (number.empty() && type == 0)
        sendLineF(now, "AT+CPBW=" + std::to_string(index));
    else
        // The entry keeps its text as typed; what cannot stand in a quoted
        // string of a command line (quotes, control characters) stays out
        // of the line.
        sendLineF(now, "AT+CPBW=" + std::to_string(index) + ",\"" + HandlerText::QuotableText(number) + "\"," +
                           std::to_string(type) + ",\"" + HandlerText::QuotableText(text) + "\"");
    sendingOwnWrite = false;
}

void VPerifPhonebook::refuseOwnWrite(uint32_t now, const std::string& text)
{
    ownWrite.active = false;
    VTixPhoneBookStorage* storage = phonebook->getDeviceStorage();
    VTixPhoneBookRecord* entry = storage ? storage->findRecord(ownWrite.index, false) : nullptr;
    if (!entry)
        return;
    entry->noteRefusal(text);
    // A refusal may pass (a busy card): the entry is sent again after the
    // pause. Once given up, the rest of the memory goes on at once.
    if (!entry->isGivenUp())
        startPause(now);
}

void VPerifPhonebook::onCommandSent(uint32_t now)
{
    // Another line while the own command waits: its answers will be that
    // line's, so the own command is left without its result.
    if (step != stepNone)
        noteUnanswered(now, true);
    ownWrite.active = sendingOwnWrite;
    bool failed = true;
    const std::string tail = Tixutils::ExtractStringIC(owner->getTxBuffer().view(), "AT+CPB", "\r", failed);
    if (!failed && !tail.empty())
        classifyCommand(now, tail);
}

void VPerifPhonebook::classifyCommand(uint32_t now, const std::string& text)
{
    argCount = 0;
    if (text.size() > 1) {
        const char kind = char(text[0] & ~0x20);
        if (kind == 'S') {
            if (text[1] == '?') {
                step = stepSelected;
            } else if (text[1] == '=' && text.size() >= 3) {
                if (text[2] == '?') {
                    step = stepStorages;
                } else {
                    std::string rest = text.substr(2);
                    std::string token = Tixutils::CutString(rest);
                    if (!token.empty()) {
                        textArg = std::move(token);
                        argCount = 1;
                        step = stepSelect;
                    }
                }
            }
        } else if (kind == 'R' && text[1] == '=' && text.size() >= 3) {
            if (text[2] == '?') {
                step = stepRange;
            } else {
                std::string rest = text.substr(2);
                firstArg = HandlerText::StrToIntDef(Tixutils::CutString(rest), -1);
                if (firstArg >= 0) {
                    if (!rest.empty()) {
                        secondArg = HandlerText::StrToIntDef(Tixutils::CutString(rest), -1);
                        argCount = secondArg < 0 ? 1 : 2;
                    } else {
                        argCount = 1;
                    }
                    step = stepRead;
                }
            }
        } else if (kind == 'W' && text[1] == '=' && text.size() >= 3) {
            if (text[2] == '?') {
                step = stepLimits;
            } else {
                std::string rest = text.substr(2);
                std::string token = Tixutils::CutString(rest);
                firstArg = Tixutils::CutInteger(token, -1);
                if (firstArg >= 0) {
                    step = stepWrite;
                    argCount = 1;
                    numberArg = Tixutils::CutString(rest);
                    if (!numberArg.empty()) {
                        argCount = 2;
                        secondArg = Tixutils::CutInteger(rest, -1);
                        if (secondArg >= 0) {
                            argCount = 3;
                            if (Tixutils::CutPrefix(rest, ",")) {
                                textArg = Tixutils::CutString(rest);
                                argCount = 4;
                            }
                        }
                    }
                }
            }
        }
    }
    if (step != stepNone)
        setLastSendTime(now);
}

void VPerifPhonebook::selectItemIfNone(const std::string& name)
{
    W& w = window();
    if (w.pbStorageItemIndex() >= 0)
        return;
    const int index = phonebook->storageIndex(name);
    if (index < 0)
        return;
    w.setPBStorageItemIndex(index);
    // A Qt item selected from code runs no click: the handler makes the
    // memory the wanted one itself, as the click would.
    if (size_t(index) < storageItems.size())
        phonebook->setWantedStorage(storageItems[size_t(index)]);
    else
        phonebook->setWantedStorage(name);
}

void VPerifPhonebook::layoutStorageTabs(VTixPhoneBook& model)
{
    W& w = window();
    model.fillStorageList(storageItems, std::string(), true);
    w.setPBStorageItems(storageItems);
    model.fillStorageList(storageTabs, std::string(), false);
    w.setPBStorageTabs(storageTabs);
    w.TabsPBStoragesChange();
}
