#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/perif.h"

class VTixPhoneBook;

// The phonebook handler, last of the handlers: keeps the phonebook model
// in step with the device's memories (AT+CPBS, AT+CPBR, AT+CPBW). It
// learns which memories the device has and which is selected, then, ten
// seconds later, asks each memory for its positions and lengths, reads its
// entries in whole intervals, asks for its write limits, writes what the
// user changed and deletes what the user cleared; the other memories
// follow, each selected in turn, and at last the device is switched to the
// memory the user chose. Every tick sends at most one command.
//
// It owns the model; the window reaches the model through it. Whenever
// the memory list changes it lays out the window's memory selector and
// memory tabs.
class VPerifPhonebook : public VPerif {
public:
    // Wait for the answer to a command; a read waits ReadBaseMs plus
    // ReadEntryMs for each entry asked for.
    static constexpr uint32_t AnswerMs = 700;
    static constexpr uint32_t ReadBaseMs = 1000;
    static constexpr uint32_t ReadEntryMs = 300;
    // Longest wait for a read's answer (a typed read of a huge interval).
    static constexpr uint32_t MaxAnswerMs = 0x7FFFFFFF;
    // Pause before reading and writing, and after an error.
    static constexpr uint32_t PauseMs = 10000;
    // A memory whose write limits the device refuses this often in a row
    // counts as read-only; a single refusal (a busy card) must not leave
    // every edit of the memory unwritten.
    static constexpr int LimitsTries = 3;
    // Own commands in a row whose result was lost (another line went out
    // while they waited: the link watcher gave up on them) before the
    // memory they were about is given up.
    static constexpr int MaxUnanswered = 3;
    // Values of `step`: the own command outstanding.
    enum TStep : int {
        stepStorages = 0,     // AT+CPBS=?
        stepSelect = 1,       // AT+CPBS="%s"
        stepSelected = 2,     // AT+CPBS?
        stepRange = 3,        // AT+CPBR=?
        stepRead = 4,         // AT+CPBR=%d / AT+CPBR=%d,%d
        stepLimits = 5,       // AT+CPBW=?
        stepWrite = 6,        // AT+CPBW=%d / AT+CPBW=%d,"%s",%d,"%s"
        stepNone = 7
    };

    explicit VPerifPhonebook(VUniSET* owner);
    ~VPerifPhonebook() override;

    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // Takes a command from the text after "AT+CPB" (sent or echoed).
    virtual void classifyCommand(uint32_t now, const std::string& text);
    // Nothing left to read or write, and the device on the wanted memory.
    virtual bool isReady();

    // The model's memory list changed: selector items and tabs anew.
    void layoutStorageTabs(VTixPhoneBook& model);
    // Name of the memory selected on the device, "" when none.
    std::string currentStorageName() const;
    // A selector item's or a tab's text from the window.
    void setWantedStorage(const std::string& text);
    void setDisplayedStorage(const std::string& text);

    VTixPhoneBook& getPhonebook() { return *phonebook; }
    const VTixPhoneBook& getPhonebook() const { return *phonebook; }
    int getStep() const { return step; }
    int getArgCount() const { return argCount; }
    int getFirstArg() const { return firstArg; }
    int getSecondArg() const { return secondArg; }
    const std::string& getTextArg() const { return textArg; }
    const std::string& getNumberArg() const { return numberArg; }
    uint32_t getPauseStart() const { return pauseStart; }
    // Milliseconds until the running pause is over (0: none runs).
    uint32_t pauseLeft(uint32_t now) const;

private:
    // How long the outstanding command may wait for its answer.
    uint32_t answerLimit() const;
    // Picks and sends the next command; false when none was sent.
    bool choose(uint32_t now);
    // Sends the line, with a memory name as AT+CPBS="%s".
    void selectStorage(uint32_t now, const std::string& name);
    void startPause(uint32_t now);
    // The pause runs; it ends for good once seen over.
    bool pauseHolds(uint32_t now);
    // The selector shows the memory if it shows none; the memory is then
    // the wanted one, as a click on the item would make it.
    void selectItemIfNone(const std::string& name);
    void takeStorageList(std::string rest);
    void takeIndexRange(std::string rest);
    void takeEntry(std::string rest);
    void takeWriteLimits(std::string rest);
    void takeOk();
    // `line`: the error result as the device gave it.
    void takeError(uint32_t now, const std::string& line, bool incorrectPassword);
    // Sends one of the handler's own writes or deletes of an entry.
    void sendWrite(uint32_t now, int index, const std::string& number, int type, const std::string& text);
    // The device refused the own write outstanding (or left it
    // unanswered), saying `text`: the entry notes it; short of giving the
    // entry up the pause runs before it is sent again.
    void refuseOwnWrite(uint32_t now, const std::string& text);
    // The own command outstanding got no result in time, or (`lost`) none
    // at all: MaxUnanswered lost in a row give its memory up.
    void noteUnanswered(uint32_t now, bool lost);

    int step = stepNone;
    std::string textArg;
    std::string numberArg;
    int firstArg = 0;
    int secondArg = 0;
    int argCount = 0;
    // Refusals of AT+CPBW=? in a row, in the memory selected.
    int limitsRefusals = 0;
    // Own commands whose result was lost, in a row.
    int unanswered = 0;
    uint32_t pauseStart = 0;
    // 0 never started, 1 running, 2 over.
    int pauseState = 0;
    // The handler's own write outstanding: the entry's edited values as
    // they were when it was sent. Once the device took it they are what
    // the entry holds as the device's, whatever the device echoed (a
    // device may drop or convert what its character set lacks; its next
    // read shows what it really keeps).
    struct TOwnWrite {
        bool active = false;
        int index = -1;
        std::string number;
        std::string text;
    };
    TOwnWrite ownWrite;
    // Set while the handler sends a write of its own.
    bool sendingOwnWrite = false;
    std::unique_ptr<VTixPhoneBook> phonebook;
    // The selector items last laid out.
    std::vector<std::string> storageItems;
    std::vector<std::string> storageTabs;
};
