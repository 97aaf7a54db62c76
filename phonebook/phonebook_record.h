#pragma once
#include <string>

class VTixPhoneBookStorage;

// One phonebook entry of a memory: its position, its number and text as
// the device holds them, and as the user edited them. An edit is kept
// until it is committed (markPending); the handler then writes it and,
// once the device took it, sets the device values to what it wrote, which
// clears the modified marks and the pending mark.
//
// Numbers are texts as Tixutils::GsmNumberType2Phone writes them: digits,
// "+" in front for the international type 145, ",type" behind another
// type. Texts are code page bytes, kept as the device sent them.
//
// Entries belong to their memory, which creates and deletes them
// (VTixPhoneBookStorage::getRecord, removeRecord).
class VTixPhoneBookRecord {
public:
    // The row where the user types a new entry: after every real position.
    static constexpr int NewEntryIndex = 10000;
    // Writes the device may refuse (or leave unanswered) before the entry
    // is given up: a device that refuses a value keeps refusing it, and
    // the later entries of the memory would wait behind it for ever.
    static constexpr int MaxWriteRefusals = 3;

    // What an edited number is checked for.
    enum TNumberCheck {
        ncGood,
        ncBadCharacters,  // letters, ";", quotes, ...: no dial string has them
        ncTooLong         // more digits than the memory takes
    };
    // Checks a number as typed: digits, "*", "#", a leading "+", blanks
    // and "-" between them, and a type after a comma. `maxLength` counts
    // the digits that go to the device (0: no limit).
    static TNumberCheck CheckNumber(const std::string& text, int maxLength);
    // The digits of a number as the device is sent them: the blanks and
    // "-" that only group them for the eye left out.
    static std::string DialDigits(const std::string& digits);

    VTixPhoneBookRecord(VTixPhoneBookStorage* storage, int index);
    VTixPhoneBookRecord(const VTixPhoneBookRecord&) = delete;
    VTixPhoneBookRecord& operator=(const VTixPhoneBookRecord&) = delete;
    virtual ~VTixPhoneBookRecord();

    // Committed and modified, and not given up: the handler is to write
    // (or delete) it.
    virtual bool needsWrite() const;
    // Committed with nothing in it and not the new-entry row: an entry
    // that never reached the device and was given up (dropped unwritten).
    virtual bool isEmptyPending() const;
    // Commits the edits. Without `force` nothing happens while nothing is
    // modified; with it the entry stays pending even so.
    virtual void markPending(bool force);
    virtual bool belongsTo(const VTixPhoneBookStorage* memory) const;

    // ---- Device values ------------------------------------------------
    const std::string& deviceNumber() const { return deviceNumberText; }
    // The device number's digits (without "+") and type byte (0 when empty).
    std::string deviceDigits() const;
    int deviceType() const;
    const std::string& getDeviceText() const { return deviceText; }
    void setDeviceNumber(const std::string& text);
    // Digits as the device lists them (type 129 until setDeviceType).
    void setDeviceDigits(const std::string& digits);
    void setDeviceType(int type);
    void setDeviceText(const std::string& text);

    // ---- Edited values ------------------------------------------------
    // False when the number is refused (the edited number stays): a text
    // Tixutils::GsmPhone2NumberType rejects or CheckNumber finds bad. The
    // number is kept as typed, its grouping blanks included.
    bool setEditedNumber(const std::string& text);
    // A text other than the device text loses its control characters
    // (no line of the phonebook file could hold them) and is cut to the
    // memory's text length; double quotes stay: only the write command
    // leaves them out.
    void setEditedText(const std::string& text);
    const std::string& getEditedNumber() const { return editedNumber; }
    const std::string& getEditedText() const { return editedText; }

    VTixPhoneBookStorage* getStorage() const { return storage; }
    int getIndex() const { return index; }
    bool isPending() const { return pending; }
    bool isNumberModified() const { return numberModified; }
    bool isTextModified() const { return textModified; }

    // ---- Refused writes -------------------------------------------------
    // The device refused a write of this entry (or left it unanswered);
    // `text` is what it said. MaxWriteRefusals of them give the entry up:
    // it is not written again until it is edited anew.
    void noteRefusal(const std::string& text);
    // A new edit: the next commit writes the entry again.
    void clearRefusals();
    int getRefusals() const { return refusals; }
    bool isGivenUp() const { return refusals >= MaxWriteRefusals; }
    // The device's word on the last refused write, "" when none.
    const std::string& getRefusalText() const { return refusalText; }

private:
    // The device number's digits and type byte.
    void splitDeviceNumber(std::string& digits, int& type) const;
    // Edited values follow the device values where not modified; the
    // marks clear where they became equal; the memory is told.
    void syncEdits();

    VTixPhoneBookStorage* storage;
    std::string deviceNumberText;
    std::string deviceText;
    bool pending = false;
    std::string editedNumber;
    std::string editedText;
    int index;
    bool numberModified = false;
    bool textModified = false;
    int refusals = 0;
    std::string refusalText;
};
