#include "phonebook/phonebook_record.h"

#include "foundation/tixutils_gsm.h"
#include "foundation/tixutils_text.h"
#include "phonebook/phonebook_storage.h"

namespace {

bool IsControl(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
}

// Blanks and dashes group the digits of a typed number for the eye.
bool IsGrouping(char c)
{
    return c == ' ' || c == '-';
}

bool IsDialDigit(char c)
{
    return (c >= '0' && c <= '9') || c == '*' || c == '#';
}

// The number as shown and saved: as GsmNumberType2Phone writes it, except
// that grouping blanks get no quotes around the number (it holds no
// comma, which is what the quotes are for).
std::string ShownNumber(const std::string& digits, int type)
{
    std::string text = Tixutils::GsmNumberType2Phone(digits, type);
    if (!text.empty() && text[0] == '"') {
        const size_t close = text.find('"', 1);
        if (close != std::string::npos) {
            text.erase(close, 1);
            text.erase(0, 1);
        }
    }
    return text;
}

}  // namespace

VTixPhoneBookRecord::TNumberCheck VTixPhoneBookRecord::CheckNumber(const std::string& text, int maxLength)
{
    std::string digits;
    int type = 0;
    if (!Tixutils::GsmPhone2NumberType(text, digits, type))
        return ncBadCharacters;
    size_t dialed = 0;
    for (char c : digits) {
        if (IsDialDigit(c))
            ++dialed;
        else if (!IsGrouping(c))
            return ncBadCharacters;
    }
    // "+" or "-" alone is no number (and no way to clear one).
    if (dialed == 0 && !Tixutils::TrimControls(text).empty())
        return ncBadCharacters;
    return maxLength > 0 && dialed > size_t(maxLength) ? ncTooLong : ncGood;
}

std::string VTixPhoneBookRecord::DialDigits(const std::string& digits)
{
    std::string out;
    out.reserve(digits.size());
    for (char c : digits)
        if (!IsGrouping(c))
            out += c;
    return out;
}

VTixPhoneBookRecord::VTixPhoneBookRecord(VTixPhoneBookStorage* storage, int index)
    : storage(storage), index(index)
{
}

VTixPhoneBookRecord::~VTixPhoneBookRecord() = default;

bool VTixPhoneBookRecord::needsWrite() const
{
    return pending && (numberModified || textModified) && !isGivenUp();
}

bool VTixPhoneBookRecord::isEmptyPending() const
{
    return pending && deviceNumberText.empty() && deviceText.empty() && editedNumber.empty() &&
           editedText.empty() && index != NewEntryIndex;
}

void VTixPhoneBookRecord::markPending(bool force)
{
    if (!numberModified && !textModified && !force)
        return;
    if (!pending) {
        pending = true;
        syncEdits();
    }
    if (force)
        pending = true;
}

bool VTixPhoneBookRecord::belongsTo(const VTixPhoneBookStorage* memory) const
{
    return storage == memory;
}

void VTixPhoneBookRecord::splitDeviceNumber(std::string& digits, int& type) const
{
    type = 0;
    Tixutils::GsmPhone2NumberType(deviceNumberText, digits, type);
}

std::string VTixPhoneBookRecord::deviceDigits() const
{
    std::string digits;
    int type;
    splitDeviceNumber(digits, type);
    return digits;
}

int VTixPhoneBookRecord::deviceType() const
{
    std::string digits;
    int type;
    splitDeviceNumber(digits, type);
    return type;
}

void VTixPhoneBookRecord::setDeviceNumber(const std::string& text)
{
    if (text == deviceNumberText)
        return;
    deviceNumberText = text;
    syncEdits();
}

void VTixPhoneBookRecord::setDeviceDigits(const std::string& digits)
{
    if (digits != deviceDigits())
        setDeviceNumber(Tixutils::GsmNumberType2Phone(digits, 0));
}

void VTixPhoneBookRecord::setDeviceType(int type)
{
    if (type != deviceType())
        setDeviceNumber(Tixutils::GsmNumberType2Phone(deviceDigits(), type));
}

void VTixPhoneBookRecord::setDeviceText(const std::string& text)
{
    if (text == deviceText)
        return;
    deviceText = text;
    syncEdits();
}

bool VTixPhoneBookRecord::setEditedNumber(const std::string& text)
{
    if (text == editedNumber)
        return true;
    // The device would refuse a longer number or a character no dial
    // string has for ever, and every later write of the memory would wait
    // behind it.
    if (CheckNumber(text, storage ? storage->getMaxNumberLength() : 0) != ncGood)
        return false;
    std::string digits;
    int type = 0;
    Tixutils::GsmPhone2NumberType(text, digits, type);
    std::string shown = ShownNumber(digits, type);
    if (shown != editedNumber)
        clearRefusals();
    editedNumber = std::move(shown);
    numberModified = true;
    syncEdits();
    return true;
}

void VTixPhoneBookRecord::setEditedText(const std::string& text)
{
    // The device's own text is taken as it is, so that a list saved from
    // the device loads back unmodified.
    std::string clean;
    if (text == deviceText) {
        clean = text;
    } else {
        clean.reserve(text.size());
        for (char c : text)
            if (!IsControl(c))
                clean += c;
        const int maxLength = storage ? storage->getMaxTextLength() : 0;
        if (maxLength > 0 && clean.size() > size_t(maxLength))
            clean.resize(size_t(maxLength));
    }
    if (clean == editedText)
        return;
    clearRefusals();
    editedText = std::move(clean);
    textModified = true;
    syncEdits();
}

void VTixPhoneBookRecord::noteRefusal(const std::string& text)
{
    if (refusals < MaxWriteRefusals)
        ++refusals;
    refusalText = text;
    if (storage)
        storage->recordChanged(this);
}

void VTixPhoneBookRecord::clearRefusals()
{
    if (refusals == 0 && refusalText.empty())
        return;
    refusals = 0;
    refusalText.clear();
    if (storage)
        storage->recordChanged(this);
}

void VTixPhoneBookRecord::syncEdits()
{
    if (!numberModified)
        editedNumber = deviceNumberText;
    else if (editedNumber == deviceNumberText)
        numberModified = false;
    if (!textModified)
        editedText = deviceText;
    else if (editedText == deviceText)
        textModified = false;
    if (!numberModified && !textModified) {
        pending = false;
        refusals = 0;
        refusalText.clear();
    }
    if (storage)
        storage->recordChanged(this);
}
