#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/perif.h"

// The operator handler (AT+COPS). Until it is built this stand-in reports
// a settled handler with a current operator; it keeps the operator list
// that mirrors the main window's combo box and the current names.
class VPerifCOPS : public VPerif {
public:
    // One known operator.
    class Operator {
    public:
        Operator(std::string longName, std::string shortName, std::string numericName,
                 int status);
        virtual ~Operator() = default;
        // Long name, else short, else numeric, else "Neznámý operátor".
        virtual std::string name() const;

        int status;
        std::string longName;
        std::string shortName;
        std::string numericName;
    };

    explicit VPerifCOPS(VUniSET* owner);
    ~VPerifCOPS() override;

    bool isBusy() const override;
    virtual void setLongName(const std::string& text);
    virtual void setShortName(const std::string& text);
    virtual void setNumericName(const std::string& text);
    // The current operator's display name ("Oper. nezjištěn" when none).
    virtual std::string currentName() const;
    // The user picked an operator in the combo box.
    virtual void requestSelect(int index);
    // Appends a record (and a combo item); returns its index.
    virtual int addOperator(std::unique_ptr<Operator> record);
    virtual bool hasOperator() const;
    virtual bool isSettled() const;

    // Index of the current operator in the list; -1 not known, -2 none.
    int getCurrentIndex() const { return currentIndex; }
    // Entries of the list, in combo-box order; the record of an entry
    // (null when the entry has none).
    int operatorCount() const { return int(operators.size()); }
    const Operator* operatorAt(int index) const;

protected:
    // Each entry: the display name when added, and its record.
    std::vector<std::pair<std::string, std::unique_ptr<Operator>>> operators;
    int currentIndex = -1;
    std::string currentLong;
    std::string currentShort;
    std::string currentNumeric;
};
