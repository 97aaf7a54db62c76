// The phonebook handler's side of the answers: echoes, the memory list,
// the selected memory, index ranges, entries, write limits and the final
// results of its commands.
#include "engine/handler_text.h"
#include "engine/perif_phonebook.h"
#include "engine/uniset.h"
#include "foundation/input_buffer.h"
#include "foundation/tixutils_text.h"
#include "phonebook/phonebook.h"

namespace {

// first..last of an index range such as "1-250" or "7" (one position).
// False when the first is negative or the last lies before it.
bool TakeRange(std::string token, int& first, int& last)
{
    first = Tixutils::CutInteger(token, -1, true);
    if (first < 0)
        return false;
    if (token.empty())
        last = first;
    else if (Tixutils::CutPrefix(token, "-"))
        last = Tixutils::CutInteger(token, -1, false);
    else
        last = -1;
    return last >= first;
}

}  // namespace

void VPerifPhonebook::onResponse(uint32_t now)
{
    const std::string_view line = owner->getRxBuffer().view();
    bool failed = true;
    const std::string echo = Tixutils::ExtractStringIC(line, "AT+CPB", "\r\r\n", failed);
    if (!failed) {
        // The echo of a line of the handler's own, already taken apart as
        // it was sent: the device may echo it otherwise (without what its
        // character set lacks), and its values are those that were sent.
        if (step == stepNone)
            classifyCommand(now, echo);
        return;
    }
    if (step == stepNone)
        return;
    bool handled = false;
    if (step == stepStorages || step == stepSelected) {
        std::string rest = Tixutils::ExtractString(line, "+CPBS: ", "\r\n", failed);
        if (!failed) {
            handled = true;
            // A list is the late answer of AT+CPBS=?, whichever was asked
            // last: no memory is named "SM,ME".
            if (step == stepStorages || rest.starts_with('('))
                takeStorageList(std::move(rest));
            else {
                const std::string name = Tixutils::CutString(rest);
                selectItemIfNone(name);
                phonebook->setDeviceStorage(name);
            }
        }
    } else if (step == stepRange || step == stepRead) {
        std::string rest = Tixutils::ExtractString(line, "+CPBR: ", "\r\n", failed);
        if (!failed) {
            handled = true;
            if (step == stepRange)
                takeIndexRange(std::move(rest));
            else
                takeEntry(std::move(rest));
        }
    } else if (step == stepLimits || step == stepWrite) {
        std::string rest = Tixutils::ExtractString(line, "+CPBW: ", "\r\n", failed);
        if (!failed) {
            handled = true;
            if (step == stepLimits)
                takeWriteLimits(std::move(rest));
        }
    }
    if (line == "\r\n")
        handled = true;
    else if (line == "OK\r\n") {
        unanswered = 0;
        takeOk();
    } else if (HandlerText::IsErrorResult(line)) {
        unanswered = 0;
        const std::string more = Tixutils::ExtractStringIC(line, "+CME ERROR: INCORRECT PASSWORD", "\r\n", failed);
        takeError(now, Tixutils::TrimControls(line), !failed && more.empty());
    }
    if (!handled)
        step = stepNone;
}

void VPerifPhonebook::takeStorageList(std::string rest)
{
    if (rest.size() >= 2 && rest.front() == '(' && rest.back() == ')')
        rest = rest.substr(1, rest.size() - 2);
    while (!rest.empty()) {
        const size_t before = rest.size();
        phonebook->storageByName(Tixutils::CutString(rest));
        // A character no token takes would otherwise stop the loop.
        if (rest.size() == before)
            rest.erase(0, 1);
    }
    phonebook->setStoragesKnown(true);
}

void VPerifPhonebook::takeIndexRange(std::string rest)
{
    int first = -1, last = -1;
    if (!TakeRange(Tixutils::CutString_(rest, true, ","), first, last))
        return;
    Tixutils::CutSpaces(rest, " ");
    if (rest.empty()) {
        // Positions without lengths: all of them, lengths unknown.
        phonebook->setIndexRange(first, last, 0, 0);
        return;
    }
    std::string numberToken = Tixutils::CutString_(rest, true, ",");
    const int numberLength = Tixutils::CutInteger(numberToken, -1);
    const int textLength = Tixutils::CutInteger(rest, -1, true);
    if (numberLength >= 0 && textLength >= 0)
        phonebook->setIndexRange(first, last, numberLength, textLength);
}

void VPerifPhonebook::takeEntry(std::string rest)
{
    const int index = Tixutils::CutInteger(rest, -1, true);
    if (index < 0)
        return;
    VTixPhoneBookRecord* entry = phonebook->recordAt(index);
    if (!entry)
        return;
    Tixutils::CutSpaces(rest, " ");
    if (!Tixutils::CutPrefix(rest, ","))
        return;
    Tixutils::CutSpaces(rest, " ");
    const std::string number = Tixutils::CutString(rest);
    Tixutils::CutSpaces(rest, " ");
    Tixutils::CutPrefix(rest, ",");
    if (!number.empty()) {
        entry->setDeviceDigits(number);
        const std::string type = Tixutils::CutString(rest);
        const int value = HandlerText::StrToIntDef(type, -1);
        if (value >= 0)
            entry->setDeviceType(value);
    } else {
        Tixutils::CutString(rest);
        const std::string mark = Tixutils::TrimControls(rest);
        if (mark.size() == 8 && Tixutils::ComparePrefixIC(mark, "NO ENTRY")) {
            entry->getStorage()->removeRecord(entry);
            return;
        }
    }
    // An entry without a number keeps its text too.
    Tixutils::CutSpaces(rest, " ");
    const std::string text = Tixutils::CutString(rest);
    if (!text.empty())
        entry->setDeviceText(text);
}

void VPerifPhonebook::takeWriteLimits(std::string rest)
{
    limitsRefusals = 0;
    const std::string range = Tixutils::CutString_(rest, true, ",");
    if (range.empty()) {
        phonebook->setWriteLimits(-1, -1, 0, 0);
        return;
    }
    int first = -1, last = -1;
    if (!TakeRange(range, first, last))
        return;
    std::string numberToken = Tixutils::CutString_(rest, true, ",");
    if (numberToken.empty()) {
        phonebook->setWriteLimits(-1, -1, 0, 0);
        return;
    }
    const int numberLength = Tixutils::CutInteger(numberToken, -1);
    if (numberLength < 0 || rest.empty())
        return;
    Tixutils::CutString_(rest, true, ",");  // the number types
    const int textLength = Tixutils::CutInteger(rest, -1, true);
    if (textLength >= 0)
        phonebook->setWriteLimits(first, last, numberLength, textLength);
}

void VPerifPhonebook::takeOk()
{
    switch (step) {
    case stepSelect:
        selectItemIfNone(textArg);
        phonebook->setDeviceStorage(textArg);
        break;
    case stepRead:
        if (argCount == 1)
            phonebook->rangeRead(firstArg, firstArg);
        else if (argCount == 2)
            phonebook->rangeRead(firstArg, secondArg);
        break;
    case stepWrite:
        if (VTixPhoneBookRecord* entry = phonebook->recordAt(firstArg)) {
            if (argCount == 1) {
                entry->getStorage()->removeRecord(entry);
            } else if (ownWrite.active && ownWrite.index == firstArg) {
                // Written: the entry holds what was edited, once.
                entry->setDeviceNumber(ownWrite.number);
                entry->setDeviceText(ownWrite.text);
            } else {
                if (argCount >= 2)
                    entry->setDeviceDigits(numberArg);
                if (argCount >= 3)
                    entry->setDeviceType(secondArg);
                if (argCount >= 4)
                    entry->setDeviceText(textArg);
            }
        }
        break;
    default:
        break;
    }
}

void VPerifPhonebook::takeError(uint32_t now, const std::string& line, bool incorrectPassword)
{
    switch (step) {
    case stepWrite:
        if (ownWrite.active) {
            refuseOwnWrite(now, line);
            break;
        }
        // A refused write typed in the terminal waits too.
        startPause(now);
        break;
    case stepStorages:
    case stepSelected:
    case stepRange:
    case stepRead:
        startPause(now);
        break;
    case stepSelect:
        for (int i = incorrectPassword ? 3 : 1; i > 0; --i)
            phonebook->storageFailed(textArg);
        break;
    case stepLimits:
        // A busy card is asked again after the pause; a memory the device
        // does not let be written is read-only at once.
        if (!HandlerText::SaysNotAllowed(line) && ++limitsRefusals < LimitsTries) {
            startPause(now);
            break;
        }
        limitsRefusals = 0;
        phonebook->setWriteLimits(-1, -1, 0, 0);
        break;
    default:
        break;
    }
}
