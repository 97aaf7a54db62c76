#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/perif.h"

// The operator handler ("AT+COPS"): finds out which operator the device
// is registered with, learns all three forms of its name (long, short,
// numeric) by switching the response format and restores the device's own
// format afterwards, keeps the list of known operators that mirrors the
// main window's operator combo box, reads the list of available networks
// when the user asks for it ("AT+COPS=?", sent by the main window), and
// registers manually with an operator the user picks in the combo box.
//
// Current index: -1 not known (read it), -2 the device reported a mode but
// no operator, else the index of the current operator in the list.
class VPerifCOPS : public VPerif {
public:
    // Repeat of an unanswered command, and the pause after an error.
    static constexpr uint32_t RepeatMs = 700;
    static constexpr uint32_t ErrorDelayMs = 700;
    // A network search is given up after this long.
    static constexpr uint32_t SearchMs = 40000;
    // Automatic mode without an operator is read again this often.
    static constexpr uint32_t RereadMs = 5000;
    // ... and while registered, at most this often.
    static constexpr uint32_t RegisteredRereadMs = 2000;

    // One known operator.
    class Operator {
    public:
        Operator(std::string longName, std::string shortName, std::string numericName,
                 int status);
        virtual ~Operator() = default;
        // Long name, else short, else numeric, else "Neznámý operátor".
        virtual std::string name() const;

        // As listed by the device: 0 unknown, 1 available, 2 current,
        // 3 forbidden (2 for a record made from the current operator).
        int status;
        std::string longName;
        std::string shortName;
        std::string numericName;
    };

    explicit VPerifCOPS(VUniSET* owner);
    ~VPerifCOPS() override;

    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    virtual void setLongName(const std::string& text);
    virtual void setShortName(const std::string& text);
    virtual void setNumericName(const std::string& text);
    // The current operator's display name ("Oper. nezjištěn" when none).
    virtual std::string currentName() const;
    virtual void setCurrentIndex(int index);
    // The user picked an operator in the combo box (its item index);
    // other indices are ignored.
    virtual void requestSelect(int index);
    // Operator names go in quotes (all devices but the Siemens M1 and A1).
    virtual bool quoteOperatorNames() const;
    // Index of the record matching the names (last first), -1 when none;
    // a match takes the names it lacks from the arguments.
    virtual int findOperator(const std::string& longName, const std::string& shortName,
                             const std::string& numericName);
    // Appends a record (and a combo item); returns its index.
    virtual int addOperator(std::unique_ptr<Operator> record);
    // The code followed by a blank (no table of code names is kept).
    virtual std::string describeCode(const std::string& code) const;
    // Records an "AT+COPS" command from the text after "AT+COPS".
    virtual void noteCommand(const std::string& tail, uint32_t now);
    // A current operator is known.
    virtual bool hasOperator() const;
    // No operator reported, or the current one's three names are settled.
    virtual bool isSettled() const;

    // Index of the current operator in the list; -1 not known, -2 none.
    int getCurrentIndex() const { return currentIndex; }
    // Entries of the list, in combo-box order; the record of an entry
    // (null when the entry has none).
    int operatorCount() const { return int(operators.size()); }
    const Operator* operatorAt(int index) const;
    int getMode() const { return mode; }
    int getFormat() const { return format; }
    int getNamesKnown() const { return namesKnown; }
    int getRequestedIndex() const { return requestedIndex; }
    // The device's own format, still to be set back (-1 none).
    int getFormatToRestore() const { return formatToRestore; }
    int getPendingKind() const { return pendingKind; }
    const std::string& getCurrentLong() const { return currentLong; }
    const std::string& getCurrentShort() const { return currentShort; }
    const std::string& getCurrentNumeric() const { return currentNumeric; }

protected:
    // The answer to "AT+COPS?".
    void takeReadAnswer(const std::string& text);
    // The answer to "AT+COPS=?".
    void takeNetworkList(const std::string& text);
    void takeNetworkGroup(const std::string& group);
    // The final "OK" of a set command.
    void takeSetConfirmed();
    // The names of record `index` become the current names.
    void takeRecordNames(int index);

    // Each entry: the display name when added, and its record.
    std::vector<std::pair<std::string, std::unique_ptr<Operator>>> operators;
    int currentIndex = -1;
    // 0 none, 1 a set command, 2 "AT+COPS?", 3 "AT+COPS=?".
    int pendingKind = 0;
    bool delayAfterError = false;
    // 0 automatic, 1 manual, 2 deregister, 4 manual/automatic; -1 unknown.
    int mode = -1;
    // 0 long, 1 short, 2 numeric; -1 unknown.
    int format = -1;
    // Bits: 1 long, 2 short, 4 numeric name settled.
    int namesKnown = 0;
    std::string currentLong;
    std::string currentShort;
    std::string currentNumeric;
    int requestedIndex = -1;
    int sentMode = -1;
    int sentFormat = -1;
    int formatToRestore = -1;
    std::string sentOperator;
};
