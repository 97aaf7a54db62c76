#include "phonebook/phonebook_record.h"

#include "foundation/tixutils_gsm.h"
#include "phonebook/phonebook_storage.h"

namespace {

bool IsCommandBreaker(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F || c == '"';
}

}  // namespace

VTixPhoneBookRecord::VTixPhoneBookRecord(VTixPhoneBookStorage* storage, int index)
    : storage(storage), index(index)
{
}

VTixPhoneBookRecord::~VTixPhoneBookRecord() = default;

bool VTixPhoneBookRecord::needsWrite() const
{
    return pending && (numberModified || textModified);
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
    std::string digits;
    int type = 0;
    if (!Tixutils::GsmPhone2NumberType(text, digits, type))
        return false;
    for (char c : digits)
        if (IsCommandBreaker(c))
            return false;
    // The device would refuse a longer number for ever, and every later
    // write of the memory would wait behind it.
    const int maxLength = storage ? storage->getMaxNumberLength() : 0;
    if (maxLength > 0 && digits.size() > size_t(maxLength))
        return false;
    editedNumber = Tixutils::GsmNumberType2Phone(digits, type);
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
            if (!IsCommandBreaker(c))
                clean += c;
        const int maxLength = storage ? storage->getMaxTextLength() : 0;
        if (maxLength > 0 && clean.size() > size_t(maxLength))
            clean.resize(size_t(maxLength));
    }
    if (clean == editedText)
        return;
    editedText = std::move(clean);
    textModified = true;
    syncEdits();
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
    if (!numberModified && !textModified)
        pending = false;
    if (storage)
        storage->recordChanged(this);
}
