#include "engine/perif_cops.h"

#include <cstdlib>

#include "engine/main_window_link.h"
#include "engine/uniset.h"

VPerifCOPS::Operator::Operator(std::string longName, std::string shortName,
                               std::string numericName, int status)
    : status(status), longName(std::move(longName)), shortName(std::move(shortName)),
      numericName(std::move(numericName))
{
}

std::string VPerifCOPS::Operator::name() const
{
    if (!longName.empty())
        return longName;
    if (!shortName.empty())
        return shortName;
    if (!numericName.empty())
        return numericName;
    return "Nezn\xE1m\xFD oper\xE1tor";
}

VPerifCOPS::VPerifCOPS(VUniSET* owner) : VPerif(owner) {}

VPerifCOPS::~VPerifCOPS() = default;

bool VPerifCOPS::isBusy() const { return false; }

void VPerifCOPS::setLongName(const std::string& text)
{
    if (text == currentLong)
        return;
    currentLong = text;
    owner->showOperator();
}

void VPerifCOPS::setShortName(const std::string& text)
{
    if (text == currentShort)
        return;
    currentShort = text;
    owner->showOperator();
}

void VPerifCOPS::setNumericName(const std::string& text)
{
    if (text == currentNumeric)
        return;
    currentNumeric = text;
    owner->showOperator();
}

std::string VPerifCOPS::currentName() const
{
    if (!currentLong.empty())
        return currentLong;
    if (!currentShort.empty())
        return currentShort;
    if (!currentNumeric.empty())
        return currentNumeric;
    return window().getLangText("Texts", "OperNotFound", "Oper. nezji\x9A" "t\xECn");
}

void VPerifCOPS::requestSelect(int) {}

int VPerifCOPS::addOperator(std::unique_ptr<Operator> record)
{
    if (!record)
        return -1;
    const std::string text = record->name();
    char* end = nullptr;
    const long code = std::strtol(record->numericName.c_str(), &end, 10);
    const bool numeric = !record->numericName.empty() && end && *end == '\0';
    operators.emplace_back(text, std::move(record));
    window().operatorComboAddItem(text, numeric ? int(code) : -2);
    return int(operators.size()) - 1;
}

bool VPerifCOPS::hasOperator() const { return true; }
bool VPerifCOPS::isSettled() const { return true; }

const VPerifCOPS::Operator* VPerifCOPS::operatorAt(int index) const
{
    if (index < 0 || index >= int(operators.size()))
        return nullptr;
    return operators[size_t(index)].second.get();
}
