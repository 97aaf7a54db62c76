#include "engine/perif_cops.h"

#include "engine/handler_text.h"
#include "engine/main_window_link.h"
#include "engine/perif_active.h"
#include "engine/perif_cpin.h"
#include "engine/perif_creg.h"
#include "engine/perif_modem.h"
#include "engine/perif_power.h"
#include "engine/uniset.h"
#include "foundation/tixutils_misc.h"
#include "foundation/tixutils_text.h"

using W = VMainWindowLink;

namespace {

bool StartsWithCC(const std::string& s)
{
    return s.compare(0, 3, "CC ") == 0;
}

// A known long name is not replaced by one that starts with "CC ".
bool KeepsLongName(const std::string& known, const std::string& offered)
{
    return !known.empty() && !StartsWithCC(known) && StartsWithCC(offered);
}

int ComboObjectOf(const std::string& numeric)
{
    return HandlerText::StrToIntDef(numeric, -2);
}

// A field of a network-list group that holds no name: the lists of
// supported modes and formats are parenthesised ranges.
std::string NameField(const std::string& field)
{
    return !field.empty() && field[0] == '(' ? std::string() : field;
}

}  // namespace

// ---- Operator record ------------------------------------------------------

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

// ---- Handler --------------------------------------------------------------

VPerifCOPS::VPerifCOPS(VUniSET* owner) : VPerif(owner) {}

VPerifCOPS::~VPerifCOPS() = default;

void VPerifCOPS::restart(uint32_t now)
{
    reset(now);
}

void VPerifCOPS::reset(uint32_t)
{
    operators.clear();
    window().operatorComboClear();
    mode = -1;
    format = -1;
    setCurrentIndex(-1);
    requestedIndex = -1;
    setLongName("");
    setShortName("");
    setNumericName("");
    pendingKind = 0;
    delayAfterError = false;
}

bool VPerifCOPS::isBusy() const
{
    return pendingKind != 0;
}

bool VPerifCOPS::hasOperator() const
{
    return currentIndex >= 0;
}

bool VPerifCOPS::isSettled() const
{
    return currentIndex == -2 || (currentIndex >= 0 && namesKnown == 7);
}

const VPerifCOPS::Operator* VPerifCOPS::operatorAt(int index) const
{
    if (index < 0 || index >= int(operators.size()))
        return nullptr;
    return operators[size_t(index)].second.get();
}

void VPerifCOPS::setLongName(const std::string& text)
{
    if (text == currentLong)
        return;
    if (!KeepsLongName(currentLong, text))
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
    if (text != currentNumeric)
        currentNumeric = text;
    if (currentIndex >= 0) {
        window().operatorComboSetItemObject(currentIndex, ComboObjectOf(text));
        window().operatorComboRepaint();
        owner->showOperator();
    }
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

void VPerifCOPS::setCurrentIndex(int index)
{
    if (index == currentIndex)
        return;
    namesKnown = 0;
    currentIndex = index;
    W& w = window();
    if (index < 0) {
        w.operatorComboSetItemIndex(-1);
        w.operatorComboSetText("");
        w.setEnabled(W::BtnQueryOp, false);
    } else {
        w.operatorComboSetItemIndex(index);
        w.setEnabled(W::BtnQueryOp, true);
    }
}

void VPerifCOPS::requestSelect(int index)
{
    if (index >= 0 && index < int(operators.size()))
        requestedIndex = index;
}

bool VPerifCOPS::quoteOperatorNames() const
{
    return modem().isSiemensQuirk();
}

int VPerifCOPS::findOperator(const std::string& longName, const std::string& shortName,
                             const std::string& numericName)
{
    const int count = int(operators.size());
    if (!longName.empty()) {
        for (int i = count - 1; i >= 0; --i) {
            Operator& r = *operators[size_t(i)].second;
            if (r.longName == longName) {
                if (!shortName.empty())
                    r.shortName = shortName;
                if (!numericName.empty())
                    r.numericName = numericName;
                return i;
            }
        }
    }
    if (!shortName.empty()) {
        for (int i = count - 1; i >= 0; --i) {
            Operator& r = *operators[size_t(i)].second;
            if (r.shortName == shortName) {
                if (!KeepsLongName(r.longName, longName))
                    r.longName = longName;
                if (!numericName.empty())
                    r.numericName = numericName;
                return i;
            }
        }
    }
    if (!numericName.empty()) {
        for (int i = count - 1; i >= 0; --i) {
            Operator& r = *operators[size_t(i)].second;
            if (r.numericName == numericName) {
                if (!KeepsLongName(r.longName, longName))
                    r.longName = longName;
                if (!shortName.empty())
                    r.shortName = shortName;
                return i;
            }
        }
    }
    return -1;
}

int VPerifCOPS::addOperator(std::unique_ptr<Operator> record)
{
    if (!record)
        return -1;
    const std::string text = record->name();
    const int object = ComboObjectOf(record->numericName);
    operators.emplace_back(text, std::move(record));
    window().operatorComboAddItem(text, object);
    return int(operators.size()) - 1;
}

std::string VPerifCOPS::describeCode(const std::string& code) const
{
    return code + " ";
}

// ---- Polling --------------------------------------------------------------

void VPerifCOPS::tick(uint32_t now)
{
    if (delayAfterError) {
        if (!elapsed(ErrorDelayMs, now))
            return;
        delayAfterError = false;
    }
    VPerifModem& m = modem();
    if (!m.active().isAnswering() || !m.power().isFullPower() || !m.cpin().isReady())
        return;
    if (pendingKind == 3 && elapsed(SearchMs, now))
        pendingKind = 0;  // the network search is given up
    const bool maySend =
        (pendingKind != 0 && m.active().isAnswering() && elapsed(RepeatMs, now)) || !m.isBusy();
    if (!maySend)
        return;

    if (currentIndex == -1) {
        sendLine(now, "AT+COPS?");
        return;
    }
    if (currentIndex == -2) {
        if (mode == 0 || mode == 4) {
            // Registered: the operator should be there now. Still not on
            // every tick, or the handlers after this one never get a turn.
            if ((m.creg().getStat() == 1 && elapsed(RegisteredRereadMs, now)) ||
                elapsed(RereadMs, now))
                sendLine(now, "AT+COPS?");
        } else {
            sendLine(now, "AT+COPS=0,2");
        }
        return;
    }

    if (namesKnown != 7) {
        // Gathering the three names of the current operator, form by form.
        if (formatToRestore == -1)
            formatToRestore = format;
        static const char* const SetFormat[3] = {"AT+COPS=3,0", "AT+COPS=3,1", "AT+COPS=3,2"};
        const std::string* names[3] = {&currentLong, &currentShort, &currentNumeric};
        for (int form = 0; form < 3; ++form) {
            const int bit = 1 << form;
            if (namesKnown & bit)
                continue;
            if (!names[form]->empty()) {
                namesKnown |= bit;
                return;
            }
            sendLine(now, format == form ? "AT+COPS?" : SetFormat[form]);
            return;
        }
        return;
    }

    // Settled: the device's own format back first, then a pick of the user.
    // One command per tick: the second waits for the first one's answer.
    if (formatToRestore == format) {
        formatToRestore = -1;
    } else if (formatToRestore != -1) {
        sendLineF(now, "AT+COPS=3," + std::to_string(formatToRestore));
        return;
    }
    if (requestedIndex == currentIndex) {
        requestedIndex = -1;
    } else if (requestedIndex >= 0 && format != -1) {
        const Operator* r = operatorAt(requestedIndex);
        const std::string& raw =
            !r ? std::string() : format == 0 ? r->longName : format == 1 ? r->shortName : r->numericName;
        // A name from the device goes into the command: nothing in it may
        // end the quotes or the command.
        const std::string name = HandlerText::QuotableText(raw);
        if (name.empty()) {
            requestedIndex = -1;  // no name to register with in this format
        } else {
            const std::string quoted = quoteOperatorNames() ? "\"" + name + "\"" : name;
            sendLineF(now, "AT+COPS=1," + std::to_string(format) + "," + quoted);
            return;
        }
    }
    // Nothing to send: a command typed for this handler that got no answer
    // is given up, or it would keep every other handler quiet.
    if ((pendingKind == 1 || pendingKind == 2) && elapsed(RepeatMs, now))
        pendingKind = 0;
}

// ---- Sent lines -----------------------------------------------------------

void VPerifCOPS::noteCommand(const std::string& tail, uint32_t now)
{
    sentMode = -1;
    sentFormat = -1;
    sentOperator.clear();
    if (tail == "?") {
        pendingKind = 2;
    } else if (tail.size() >= 2 && tail[0] == '=') {
        if (tail == "=?") {
            pendingKind = 3;
        } else {
            std::vector<std::string> fields;
            Tixutils::VSetCommaText(fields, tail.substr(1));
            if (fields.size() >= 1)
                sentMode = HandlerText::StrToIntDef(fields[0], -1);
            if (fields.size() >= 2)
                sentFormat = HandlerText::StrToIntDef(fields[1], -1);
            if (fields.size() >= 3)
                sentOperator = fields[2];
            pendingKind = 1;
        }
    }
    if (pendingKind != 0)
        setLastSendTime(now);
}

void VPerifCOPS::onCommandSent(uint32_t now)
{
    // Any new command ends the wait for the previous one.
    pendingKind = 0;
    bool failed = true;
    const std::string tail =
        Tixutils::ExtractStringIC(owner->getTxBuffer().view(), "AT+COPS", "\r", failed);
    if (!failed && !tail.empty())
        noteCommand(tail, now);
}

// ---- Received lines -------------------------------------------------------

void VPerifCOPS::onResponse(uint32_t now)
{
    const std::string text = extractStringIC("+COPS: ", "\r\n");
    if (!text.empty()) {
        if (text[0] == '(' || pendingKind == 3)
            takeNetworkList(text);
        else
            takeReadAnswer(text);
        return;
    }
    const std::string echo = extractStringIC("AT+COPS", "\r\r\n");
    if (!echo.empty()) {
        noteCommand(echo, now);
        return;
    }
    if (pendingKind == 0)
        return;
    const std::string_view line = owner->getRxBuffer().view();
    if (HandlerText::EndsWithOk(line)) {
        if (pendingKind == 1 && sentMode != -1)
            takeSetConfirmed();
        pendingKind = 0;
    } else if (HandlerText::IsErrorLine(line)) {
        if (pendingKind == 1) {
            if (sentMode == 1) {
                // A refused manual registration: read the operator again,
                // and do not send the same pick after every re-read.
                setCurrentIndex(-1);
                requestedIndex = -1;
            } else if (sentMode == 3 && sentFormat >= 0 && sentFormat <= 2) {
                // A refused format is not asked for again; nor is a refused
                // restore of the device's own format tried for ever.
                if (namesKnown == 7 && sentFormat == formatToRestore)
                    formatToRestore = -1;
                namesKnown |= 1 << sentFormat;
            }
        }
        delayAfterError = true;
        setLastSendTime(now);
        pendingKind = 0;
    }
}

void VPerifCOPS::takeRecordNames(int index)
{
    const Operator* r = operatorAt(index);
    if (!r)
        return;
    const std::string longName = r->longName;
    const std::string shortName = r->shortName;
    const std::string numericName = r->numericName;
    setLongName(longName);
    setShortName(shortName);
    setNumericName(numericName);
}

void VPerifCOPS::takeReadAnswer(const std::string& text)
{
    std::vector<std::string> fields;
    Tixutils::VSetCommaText(fields, text);
    mode = fields.empty() ? -1 : HandlerText::StrToIntDef(fields[0], -1);
    if (mode == -3)
        mode = -1;
    if (fields.size() >= 2)
        format = HandlerText::StrToIntDef(fields[1], -1);
    if (fields.size() < 3) {
        setCurrentIndex(-2);
        return;
    }
    const std::string& name = fields[2];
    if (format == 0 && name.empty()) {
        mode = -1;
        return;
    }
    if (format >= 0 && format <= 2) {
        // A name in the current format that differs from the known one
        // belongs to another operator: the other two known names are that
        // operator's no longer, and would be copied into the wrong record.
        const std::string& known =
            format == 0 ? currentLong : format == 1 ? currentShort : currentNumeric;
        const bool sameOperator =
            known.empty() || known == name || (format == 0 && KeepsLongName(known, name));
        if (!sameOperator) {
            // Nor is the current entry: its combo item keeps its own code.
            setCurrentIndex(-1);
            if (format != 0)
                currentLong.clear();
            if (format != 1)
                currentShort.clear();
            if (format != 2)
                currentNumeric.clear();
        }
    }
    switch (format) {
    case 0: setLongName(name); break;
    case 1: setShortName(name); break;
    case 2: setNumericName(name); break;
    default: break;
    }
    setCurrentIndex(findOperator(currentLong, currentShort, currentNumeric));
    if (currentIndex < 0)
        setCurrentIndex(addOperator(
            std::make_unique<Operator>(currentLong, currentShort, currentNumeric, 2)));
    else
        takeRecordNames(currentIndex);
    owner->showOperator();
}

void VPerifCOPS::takeSetConfirmed()
{
    if ((sentMode == 0 || sentMode == 4) && mode != 0 && mode != 4)
        setCurrentIndex(-1);  // the operator will be read again
    if (sentMode != 3)
        mode = sentMode;
    if (sentFormat == -1)
        return;
    format = sentFormat;
    if (sentOperator.empty() || mode == 0)
        return;
    const std::string longName = format == 0 ? sentOperator : std::string();
    const std::string shortName = format == 1 ? sentOperator : std::string();
    const std::string numericName = format != 0 && format != 1 ? sentOperator : std::string();
    const int found = findOperator(longName, shortName, numericName);
    if (found < 0) {
        setLongName(longName);
        setShortName(shortName);
        setNumericName(numericName);
        setCurrentIndex(
            addOperator(std::make_unique<Operator>(longName, shortName, numericName, 2)));
        owner->showOperator();
    } else {
        setCurrentIndex(found);
        takeRecordNames(found);
    }
}

void VPerifCOPS::takeNetworkList(const std::string& text)
{
    if (text[0] != '(') {
        // The whole text is one group; a list of supported modes or formats
        // after it holds no names.
        size_t cut = 0;
        bool quoted = false;
        while (cut < text.size() && (quoted || text[cut] != '(')) {
            if (text[cut] == '"')
                quoted = !quoted;
            ++cut;
        }
        takeNetworkGroup(text.substr(0, cut));
        return;
    }
    size_t p = 0;
    while (p < text.size() && text[p] == '(') {
        size_t q = p + 1;
        bool quoted = false;
        while (q < text.size() && (quoted || text[q] != ')')) {
            if (text[q] == '"')
                quoted = !quoted;
            ++q;
        }
        if (q >= text.size())
            break;  // no closing ")": the group is not used and ends the list
        takeNetworkGroup(text.substr(p + 1, q - p - 1));
        // Only "),(" goes on: the lists after ",," are not networks.
        if (q + 2 < text.size() && text[q + 1] == ',' && text[q + 2] == '(')
            p = q + 2;
        else
            break;
    }
}

void VPerifCOPS::takeNetworkGroup(const std::string& group)
{
    std::vector<std::string> fields;
    Tixutils::VSetCommaText(fields, group);
    if (fields.size() < 3)
        return;
    const int status = HandlerText::StrToIntDef(fields[0], 0);
    std::string longName = NameField(fields[1]);
    std::string shortName;
    std::string numericName;
    if (fields.size() == 3) {
        numericName = NameField(fields[2]);
    } else {
        shortName = NameField(fields[2]);
        numericName = NameField(fields[3]);
    }
    if (longName.empty() && shortName.empty() && numericName.empty())
        return;  // no network in it (",,(0-4),(0-2)" of a device without networks)
    if (findOperator(longName, shortName, numericName) < 0) {
        addOperator(std::make_unique<Operator>(longName, shortName, numericName, status));
        owner->showOperator();
    }
}
