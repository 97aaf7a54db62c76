// The serial port component's settings as one line of text and as keys of
// an ini file, and the port list behind the combo boxes.
#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "foundation/tixutils_format.h"
#include "foundation/tixutils_quote.h"
#include "foundation/tixutils_text.h"
#include "platform/ini_file.h"
#include "serial/port_list.h"
#include "serial/vtscomm32.h"

namespace {

// A whole decimal number, else def.
long long NumberDef(const std::string& text, long long def)
{
    if (text.empty())
        return def;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != 0)
        return def;
    return value;
}

// "<before>/<after>" of a word; no "/" leaves after empty.
void SplitSlash(const std::string& word, std::string& before, std::string& after)
{
    const size_t slash = word.find('/');
    before = word.substr(0, slash);
    after = slash == std::string::npos ? std::string() : word.substr(slash + 1);
}

std::string SignalsText(const VTSComm32Signals& s)
{
    return std::to_string(s.DTRControl()) + "/" + Tixutils::BoolToChar(s.DTR()) + " " +
           std::to_string(s.RTSControl()) + "/" + Tixutils::BoolToChar(s.RTS());
}

std::string TimeoutsText(const VTSComm32Timeouts& t)
{
    std::string text;
    for (int i = 0; i < VTSComm32Timeouts::Count; ++i) {
        if (i)
            text += ' ';
        text += std::to_string(t.Get(i));
    }
    return text;
}

// An ini value drops blanks at its ends and one pair of enclosing quotes
// (either kind) on reading; a port name that reading would change is
// written inside double quotes, so it comes back whole. Others are written
// as they are.
std::string IniValueOf(const std::string& value)
{
    const bool enclosed = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                          value.back() == value.front();
    if (enclosed || Platform::TrimBlanks(value) != value)
        return "\"" + value + "\"";
    return value;
}

bool LessIgnoringCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'a' && ca <= 'z')
            ca = static_cast<unsigned char>(ca - 32);
        if (cb >= 'a' && cb <= 'z')
            cb = static_cast<unsigned char>(cb - 32);
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

}  // namespace

// ---- The configuration line ------------------------------------------------------

std::string TVTSComm32::GetConfigAsString()
{
    // Quotes doubled and control characters as #NN codes, so that any port
    // name reads back as one field.
    auto quoted = [](const std::string& s) { return s.empty() ? std::string("\"\"") : Tixutils::TixQuotedStr(s, true); };
    return quoted(commPort_) + "," + quoted(std::to_string(GetBaudRateInt())) + "," +
           quoted(std::to_string(TDataBitsLookup[static_cast<size_t>(dataBits_)])) + "," +
           quoted(TStopBitsLookup[static_cast<size_t>(stopBits_)]) + "," +
           quoted(TParityLookup[static_cast<size_t>(parity_)]) + "," + quoted(SignalsText(signals_)) + "," +
           quoted(TimeoutsText(timeouts_));
}

bool TVTSComm32::applySignalsText(const std::string& Field, bool alwaysSendLines)
{
    bool changed = false;
    const size_t blank = Field.find(' ');
    const std::string first = Field.substr(0, blank);
    std::string rest = blank == std::string::npos ? std::string() : Field.substr(blank + 1);
    Tixutils::CutSpaces(rest, " ");

    std::string control, line;
    SplitSlash(first, control, line);
    const long long dtrControl = NumberDef(control, -1);
    if (dtrControl >= 0 && dtrControl <= 2 && dtrControl != signals_.DTRControl()) {
        signals_.SetDTRControl(static_cast<VTixSignalControl_DTR>(dtrControl));
        changed = true;
    }
    const bool dtr = Tixutils::CharToBoolDef(line, signals_.DTR());
    if (alwaysSendLines || dtr != signals_.DTR()) {
        changed = changed || dtr != signals_.DTR();
        signals_.SetDTR(dtr);
    }

    SplitSlash(rest, control, line);
    const long long rtsControl = NumberDef(control, -1);
    if (rtsControl >= 0 && rtsControl <= 3 && rtsControl != signals_.RTSControl()) {
        signals_.SetRTSControl(static_cast<VTixSignalControl_RTS>(rtsControl));
        changed = true;
    }
    const bool rts = Tixutils::CharToBoolDef(line, signals_.RTS());
    if (alwaysSendLines || rts != signals_.RTS()) {
        changed = changed || rts != signals_.RTS();
        signals_.SetRTS(rts);
    }
    return changed;
}

void TVTSComm32::SetConfigAsString(const std::string& Line)
{
    std::string s = Line;
    bool changed = false;

    const std::string port = Tixutils::CutString(s);
    if (!port.empty() && port != "*" && port != commPort_) {
        commPort_ = port;
        changed = true;
    }
    const int rate = IndexOfNumber(TBaudRateLookup, NumberDef(Tixutils::CutString(s), GetBaudRateInt()));
    if (rate >= 0 && static_cast<TBaudRate>(rate) != baudRate_) {
        baudRate_ = static_cast<TBaudRate>(rate);
        changed = true;
    }
    const int bits = IndexOfNumber(
        TDataBitsLookup, NumberDef(Tixutils::CutString(s), TDataBitsLookup[static_cast<size_t>(dataBits_)]));
    if (bits >= 0 && static_cast<TDataBits>(bits) != dataBits_) {
        dataBits_ = static_cast<TDataBits>(bits);
        changed = true;
    }
    const int stop = IndexOfText(TStopBitsLookup, Tixutils::CutString(s));
    if (stop >= 0 && static_cast<TStopBits>(stop) != stopBits_) {
        stopBits_ = static_cast<TStopBits>(stop);
        changed = true;
    }
    const int parity = IndexOfText(TParityLookup, Tixutils::CutString(s));
    if (parity >= 0 && static_cast<TParity>(parity) != parity_) {
        parity_ = static_cast<TParity>(parity);
        changed = true;
    }
    if (applySignalsText(Tixutils::CutString(s), false))
        changed = true;

    std::string timeouts = Tixutils::CutString(s);
    for (int i = 0; i < VTSComm32Timeouts::Count; ++i) {
        std::string token = Tixutils::CutString(timeouts);
        const long long value = NumberDef(token, timeouts_.values_[static_cast<size_t>(i)]);
        if (value >= 0 && value <= 0xFFFFFFFFLL && value != timeouts_.values_[static_cast<size_t>(i)]) {
            timeouts_.values_[static_cast<size_t>(i)] = static_cast<uint32_t>(value);
            changed = true;
        }
    }

    // What was stored directly reaches the port through a restart.
    if (changed) {
        if (Connected())
            StopComm();
        if (autoReconnect_)
            startFromSetting();
    } else if (!Connected() && autoReconnect_) {
        startFromSetting();
    }
}

// ---- Ini files ------------------------------------------------------------------------

void TVTSComm32::SaveToIni(Platform::TIniFile& IniFile, const std::string& Section)
{
    IniFile.WriteString(Section, "CommPort", IniValueOf(commPort_));
    IniFile.WriteInteger(Section, "CommBaudRate", static_cast<int>(GetBaudRateInt()));
    IniFile.WriteInteger(Section, "CommDataBits", TDataBitsLookup[static_cast<size_t>(dataBits_)]);
    IniFile.WriteString(Section, "CommStopBits", TStopBitsLookup[static_cast<size_t>(stopBits_)]);
    IniFile.WriteString(Section, "CommParity", TParityLookup[static_cast<size_t>(parity_)]);
    IniFile.WriteString(Section, "CommSignals", SignalsText(signals_));
    IniFile.WriteString(Section, "CommTimeouts", TimeoutsText(timeouts_));
}

void TVTSComm32::LoadFromIni(Platform::TIniFile& IniFile, const std::string& Section)
{
    const std::string oldPort = commPort_;
    commPort_ = IniFile.ReadString(Section, "CommPort", commPort_);
    const bool portChanged = commPort_ != oldPort;
    if (portChanged)
        StopComm();

    const int rate = IndexOfNumber(TBaudRateLookup,
                                   IniFile.ReadInteger(Section, "CommBaudRate", static_cast<int>(GetBaudRateInt())));
    if (rate >= 0)
        baudRate_ = static_cast<TBaudRate>(rate);
    const int bits = IndexOfNumber(
        TDataBitsLookup,
        IniFile.ReadInteger(Section, "CommDataBits", TDataBitsLookup[static_cast<size_t>(dataBits_)]));
    if (bits >= 0)
        dataBits_ = static_cast<TDataBits>(bits);
    const int stop = IndexOfText(TStopBitsLookup, IniFile.ReadString(Section, "CommStopBits", ""));
    if (stop >= 0)
        stopBits_ = static_cast<TStopBits>(stop);
    const int parity = IndexOfText(TParityLookup, IniFile.ReadString(Section, "CommParity", ""));
    if (parity >= 0)
        parity_ = static_cast<TParity>(parity);

    applySignalsText(IniFile.ReadString(Section, "CommSignals", ""), true);

    std::string timeouts = IniFile.ReadString(Section, "CommTimeouts", "");
    for (int i = 0; i < VTSComm32Timeouts::Count; ++i) {
        const long long value = NumberDef(Tixutils::CutString(timeouts), timeouts_.Get(i));
        if (value >= 0 && value <= 0xFFFFFFFFLL)
            timeouts_.Set(i, static_cast<uint32_t>(value));
    }

    if (portChanged)
        startFromSetting();
    else
        UpdateDCB();
}

// ---- Port list ------------------------------------------------------------------------

void TVTSComm32::SetPortListRoots(std::string sysClassTty, std::string devDir)
{
    sysClassTty_ = std::move(sysClassTty);
    devDir_ = std::move(devDir);
}

bool TVTSComm32::CommPortListItems(std::string& Patterns, std::vector<std::string>& Items,
                                   std::string* SwitchedTo)
{
    const std::string patterns = Patterns;
    Patterns.clear();
    Items.clear();
    if (SwitchedTo)
        SwitchedTo->clear();
    const auto ports = Serial::ScanSerialPorts(sysClassTty_, devDir_);
    if (ports.empty())
        return false;

    // Patterns are tried from the last port to the first, as the list
    // has always been walked.
    int matches = 0;
    for (auto it = ports.rbegin(); it != ports.rend(); ++it) {
        if (it->portName.empty())
            continue;
        bool matched = false;
        for (size_t start = 0; start < patterns.size() && !matched;) {
            size_t end = patterns.find('\0', start);
            if (end == std::string::npos)
                end = patterns.size();
            std::string name = it->deviceName;
            matched = Tixutils::CutWildcard(name, patterns.substr(start, end - start)) == 0;
            start = end + 1;
        }
        if (matched && matches++ == 0)
            Patterns = it->portName;
        Items.push_back(it->portName);
    }

    if (matches == 1 && !Connected()) {
        SetCommPort(Patterns);
        if (SwitchedTo)
            *SwitchedTo = Patterns;
    }
    // The configured port is shown under its own name, once, even while
    // the system does not list it.
    bool present = false;
    for (std::string& item : Items) {
        if (item == commPort_ || Platform::SameTextIC(item, commPort_)) {
            present = true;
        } else if (!present && Serial::SamePort(item, commPort_)) {
            item = commPort_;
            present = true;
        }
    }
    if (!present && !commPort_.empty())
        Items.push_back(commPort_);
    std::sort(Items.begin(), Items.end(), LessIgnoringCase);
    return true;
}
