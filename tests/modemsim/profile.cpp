#include "tests/modemsim/profile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "tests/modemsim/at_command.h"
#include "tests/modemsim/faults.h"
#include "tests/modemsim/sms_state.h"

namespace ModemSim {

namespace {

std::vector<TOperatorInfo> CzechNetworks(bool withForbidden)
{
    std::vector<TOperatorInfo> ops = {
        {2, "T-Mobile CZ", "TMO CZ", "23001"},
        {1, "Vodafone CZ", "VF CZ", "23003"},
    };
    if (withForbidden)
        ops.push_back({3, "O2 - CZ", "O2 CZ", "23002"});
    return ops;
}

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

[[noreturn]] void Bad(int line, const std::string& what)
{
    throw std::invalid_argument("profile line " + std::to_string(line) + ": " + what);
}

long long Number(const std::string& v, int line, int base = 10)
{
    if (v.empty())
        Bad(line, "number expected");
    size_t used = 0;
    long long n = 0;
    try {
        n = std::stoll(v, &used, base);
    } catch (const std::exception&) {
        Bad(line, "not a number: " + v);
    }
    if (used != v.size())
        Bad(line, "not a number: " + v);
    return n;
}

bool Flag(const std::string& v, int line)
{
    const std::string l = Lower(v);
    if (l == "1" || l == "yes" || l == "true" || l == "on")
        return true;
    if (l == "0" || l == "no" || l == "false" || l == "off")
        return false;
    Bad(line, "yes or no expected: " + v);
}

// status,"long","short","numeric" (or status,"long","numeric").
TOperatorInfo ParseOperator(const std::string& v, int line)
{
    std::vector<std::string> parts;
    std::string cur;
    bool quoted = false;
    for (char c : v) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted) {
            parts.push_back(Trim(cur));
            cur.clear();
        } else
            cur += c;
    }
    parts.push_back(Trim(cur));
    if (quoted || (parts.size() != 3 && parts.size() != 4))
        Bad(line, "operator: status,\"long\",\"short\",\"numeric\" expected");
    TOperatorInfo op;
    op.status = static_cast<int>(Number(parts[0], line));
    op.longName = parts[1];
    if (parts.size() == 4) {
        op.shortName = parts[2];
        op.numeric = parts[3];
    } else
        op.numeric = parts[2];
    return op;
}

// ---- SMS memories and messages

// The three messages a TC35 holds on its card: a read and an unread
// DELIVER ("hello" from +420777123456 and from "Banka") and an unsent
// SUBMIT ("Ahoj" to +420777123456, valid 3 days).
std::vector<TProfile::TSmsEntry> Tc35Messages()
{
    return {
        {"SM", 1, 1, "0791246030500200040C9124707721436500004230513154034005E8329BFD06"},
        {"SM", 2, 0, "07912460305002000409D0C2B07B1D0600004230513154034005E8329BFD06"},
        {"SM", 3, 2, "0011000C912470772143650000A90441F45B0D"},
    };
}

bool MemoryName(const std::string& name)
{
    if (name.empty() || name.size() > 8)
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// "SM/30,ME/100"
std::vector<TProfile::TSmsMemorySpec> ParseSmsMemories(const std::string& v, int line)
{
    std::vector<TProfile::TSmsMemorySpec> out;
    std::istringstream in(v);
    std::string item;
    while (std::getline(in, item, ',')) {
        item = Trim(item);
        const size_t slash = item.find('/');
        TProfile::TSmsMemorySpec spec;
        spec.name = UpperAscii(Trim(item.substr(0, slash)));
        if (slash == std::string::npos || !MemoryName(spec.name))
            Bad(line, "sms_memories: NAME/capacity items expected: " + item);
        spec.total = static_cast<int>(Number(Trim(item.substr(slash + 1)), line));
        if (spec.total < 1 || spec.total > 1000)
            Bad(line, "sms_memories: capacity 1 to 1000 expected: " + item);
        for (const auto& other : out)
            if (other.name == spec.name)
                Bad(line, "sms_memories: " + spec.name + " twice");
        out.push_back(spec);
    }
    if (out.empty())
        Bad(line, "sms_memories: at least one memory expected");
    return out;
}

// "<mem> <index> <stat> <PDU>"
TProfile::TSmsEntry ParseSmsLine(const std::string& v, int line)
{
    std::istringstream in(v);
    std::string memory, index, stat, pdu, more;
    in >> memory >> index >> stat >> pdu >> more;
    if (pdu.empty() || !more.empty())
        Bad(line, "sms: <memory> <index> <stat> <PDU> expected");
    TProfile::TSmsEntry e{UpperAscii(memory), static_cast<int>(Number(index, line)),
                          static_cast<int>(Number(stat, line)), UpperAscii(pdu)};
    if (e.stat < 0 || e.stat > 3)
        Bad(line, "sms: stat 0 to 3 expected");
    if (SmsTpduLength(e.pdu) < 1)
        Bad(line, "sms: not a PDU in hex: " + pdu);
    return e;
}

// Every message in a memory the profile has, within its capacity, once.
void CheckSmsMessages(const TProfile& p)
{
    std::set<std::pair<std::string, int>> seen;
    for (const auto& e : p.smsMessages) {
        const std::string where = e.memory + " " + std::to_string(e.index);
        const auto mem = std::find_if(p.smsMemories.begin(), p.smsMemories.end(),
                                      [&](const TProfile::TSmsMemorySpec& m) { return m.name == e.memory; });
        if (mem == p.smsMemories.end() || e.index < 1 || e.index > mem->total)
            throw std::invalid_argument("profile: sms message " + where + " is outside sms_memories");
        if (!seen.emplace(e.memory, e.index).second)
            throw std::invalid_argument("profile: sms message " + where + " given twice");
    }
}

}  // namespace

std::vector<std::string> TProfile::BuiltinNames()
{
    return {"tc35", "m20", "mc35i", "gm22", "t10s", "wavecom"};
}

TProfile TProfile::Builtin(const std::string& rawName)
{
    const std::string name = Lower(rawName);
    TProfile p;
    p.name = name;
    p.operators = CzechNetworks(true);
    if (name == "tc35") {
        // Siemens TC35 module: autobauding, cyclic sleep modes, ^SMSO,
        // ^SBC instead of +CBC, alarm; three messages on its card.
        p.smsMessages = Tc35Messages();
        return p;
    }
    if (name == "mc35i") {
        // A Siemens device the program does not know by model.
        p.model = "MC35i";
        p.revision = "REVISION 02.04";
        p.imei = "351000000000002";
        p.cfunTest = "+CFUN: (0,1,5,6,7,8,9),(0,1)";
        p.gprs = true;
        return p;
    }
    if (name == "m20") {
        // Older Siemens M20: fixed at 9600 baud, no +CFUN, +CREG without
        // location, network list without short names, +CBC, no alarm, and
        // the card asks for its PIN.
        p.model = "M20";
        p.revision = "REVISION 06.03";
        p.imei = "449000000000003";
        p.baud = 9600;
        p.cfunTest = "ERROR";
        p.calaTest = "ERROR";
        p.cbcTest = "+CBC: (0-3),(0-100)";
        p.sbcTest = "ERROR";
        p.cscsTest = "+CSCS: (\"GSM\",\"IRA\")";
        p.cregModes = "0-1";
        p.copsShortNames = false;
        p.sim = TSimCard::Pin;
        p.pin = "0000";
        p.batteryLevel = 100;
        return p;
    }
    if (name == "gm22") {
        // Ericsson GM22 module: location and cell byte-swapped in +CREG,
        // no ^SMSO, no alarm, no ^SBC.
        p.manufacturer = "ERICSSON";
        p.model = "1130202 GM22";
        p.revision = "R2A/3";
        p.imei = "520000000000004";
        p.cfunTest = "+CFUN: (0,1,4)";
        p.smsoTest = "ERROR";
        p.calaTest = "ERROR";
        p.cbcTest = "+CBC: (0-3),(0-100)";
        p.sbcTest = "ERROR";
        p.cscsTest = "+CSCS: (\"8859-1\",\"IRA\",\"GSM\",\"UCS2\")";
        p.siemensUrcs = false;
        p.sleepOnCfun0 = false;
        p.ericssonLocation = true;
        p.blockedAsCpin = true;
        p.ecam = true;
        p.chargerStatus = 1;
        p.batteryLevel = 100;
        return p;
    }
    if (name == "t10s") {
        // Ericsson T10s phone: reports its model as a product number, fixed
        // at 9600 baud, +CFUN only for full and radio off, alarm with text.
        p.manufacturer = "ERICSSON";
        p.model = "1101001";
        p.revision = "980313 1316 PRGCXC125101";
        p.imei = "520000000000005";
        p.baud = 9600;
        p.cfunTest = "+CFUN: (1,4)";
        p.smsoTest = "ERROR";
        p.calaTest = "+CALA: (1-3),(0)";
        p.cbcTest = "+CBC: (0-2),(0-100)";
        p.sbcTest = "ERROR";
        p.cscsTest = "+CSCS: (\"8859-1\",\"IRA\",\"GSM\")";
        p.siemensUrcs = false;
        p.ericssonLocation = true;
        p.blockedAsCpin = true;
        p.ecam = true;
        p.batteryLevel = 60;
        return p;
    }
    if (name == "wavecom") {
        // A maker the program does not know; its clock shows a time zone.
        p.manufacturer = "WAVECOM MODEM";
        p.model = "MULTIBAND  900E  1800";
        p.revision = "640b09gg.Q2406B 1266500 070703 17:06";
        p.imei = "330000000000006";
        p.cfunTest = "+CFUN: (0,1)";
        p.smsoTest = "ERROR";
        p.sleepOnCfun0 = false;
        p.calaTest = "+CALA: (0-7)";
        p.cbcTest = "ERROR";
        p.sbcTest = "ERROR";
        p.siemensUrcs = false;
        p.gprs = true;
        p.clockZone = "+04";
        return p;
    }
    throw std::invalid_argument("unknown profile: " + rawName);
}

const TOperatorInfo* TProfile::FindOperator(const std::string& numeric) const
{
    for (const auto& op : operators)
        if (op.numeric == numeric)
            return &op;
    return nullptr;
}

TProfile TProfile::Parse(const std::string& text)
{
    TProfile p = Builtin("tc35");
    p.name = "custom";
    std::istringstream in(text);
    std::string raw;
    std::string section;
    int lineNo = 0;
    bool operatorsReplaced = false;
    bool smsReplaced = false;
    using Setter = std::function<void(const std::string&, int)>;
    auto str = [&](std::string& field) -> Setter {
        return [&field](const std::string& v, int) { field = v; };
    };
    auto num = [&](int& field) -> Setter {
        return [&field](const std::string& v, int l) { field = static_cast<int>(Number(v, l)); };
    };
    auto hex = [&](int& field) -> Setter {
        return [&field](const std::string& v, int l) { field = static_cast<int>(Number(v, l, 16)); };
    };
    auto flag = [&](bool& field) -> Setter {
        return [&field](const std::string& v, int l) { field = Flag(v, l); };
    };
    while (std::getline(in, raw)) {
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = Lower(Trim(line.substr(1, line.size() - 2)));
            if (section == "sms" && !smsReplaced) {
                p.smsMessages.clear();  // the file's messages replace the built-in ones
                smsReplaced = true;
            }
            continue;
        }
        if (section == "script") {
            p.script.push_back(line);
            continue;
        }
        if (section == "sms") {
            p.smsMessages.push_back(ParseSmsLine(line, lineNo));
            continue;
        }
        if (section == "faults") {
            try {
                TFaultSwitch::Parse(line);
            } catch (const std::invalid_argument& e) {
                Bad(lineNo, e.what());
            }
            p.faults.push_back(line);
            continue;
        }
        const size_t eq = section == "delays" ? line.rfind('=') : line.find('=');
        if (eq == std::string::npos)
            Bad(lineNo, "key = value expected");
        const std::string key = Trim(line.substr(0, eq));
        const std::string value = Trim(line.substr(eq + 1));
        if (section == "delays") {
            p.delays[UpperAscii(key)] = static_cast<int>(Number(value, lineNo));
            continue;
        }
        const std::string k = Lower(key);
        if (k == "base") {
            const std::vector<std::string> script = p.script;
            const std::vector<std::string> faults = p.faults;
            const auto delays = p.delays;
            const auto messages = p.smsMessages;
            try {
                p = Builtin(value);
            } catch (const std::invalid_argument& e) {
                Bad(lineNo, e.what());
            }
            if (smsReplaced)
                p.smsMessages = messages;
            p.script = script;
            p.faults.insert(p.faults.end(), faults.begin(), faults.end());
            p.delays.insert(delays.begin(), delays.end());
            continue;
        }
        if (k == "operator") {
            if (!operatorsReplaced)
                p.operators.clear();
            operatorsReplaced = true;
            p.operators.push_back(ParseOperator(value, lineNo));
            continue;
        }
        if (k == "sim") {
            const std::string v = Lower(value);
            if (v == "ready")
                p.sim = TSimCard::Ready;
            else if (v == "pin")
                p.sim = TSimCard::Pin;
            else if (v == "puk")
                p.sim = TSimCard::Puk;
            else if (v == "blocked")
                p.sim = TSimCard::Blocked;
            else if (v == "nocard" || v == "none")
                p.sim = TSimCard::NoCard;
            else
                Bad(lineNo, "sim: ready, pin, puk, blocked or nocard expected");
            continue;
        }
        if (k == "sms_memories") {
            p.smsMemories = ParseSmsMemories(value, lineNo);
            continue;
        }
        // Phonebook memories
        try {
            if (p.phonebooks.TakeProfileLine(k, value))
                continue;
        } catch (const std::invalid_argument& e) {
            Bad(lineNo, e.what());
        }
        if (k == "clock_offset") {
            p.clockOffsetMs = Number(value, lineNo) * 1000;
            continue;
        }
        const std::map<std::string, Setter> setters = {
            {"name", str(p.name)},
            {"manufacturer", str(p.manufacturer)},
            {"model", str(p.model)},
            {"revision", str(p.revision)},
            {"imei", str(p.imei)},
            {"imsi", str(p.imsi)},
            {"baud", num(p.baud)},
            {"cfun_test", str(p.cfunTest)},
            {"smso_test", str(p.smsoTest)},
            {"cpin_test", str(p.cpinTest)},
            {"cclk_test", str(p.cclkTest)},
            {"cala_test", str(p.calaTest)},
            {"cbc_test", str(p.cbcTest)},
            {"sbc_test", str(p.sbcTest)},
            {"cscs_test", str(p.cscsTest)},
            {"creg_modes", str(p.cregModes)},
            {"cops_short_names", flag(p.copsShortNames)},
            {"gprs", flag(p.gprs)},
            {"siemens_urcs", flag(p.siemensUrcs)},
            {"ericsson_location", flag(p.ericssonLocation)},
            {"blocked_as_cpin", flag(p.blockedAsCpin)},
            {"power_on_by_dtr", flag(p.powerOnByDtr)},
            {"sleep_on_cfun0", flag(p.sleepOnCfun0)},
            {"clock_zone", str(p.clockZone)},
            {"pin", str(p.pin)},
            {"puk", str(p.puk)},
            {"pin_attempts", num(p.pinAttempts)},
            {"puk_attempts", num(p.pukAttempts)},
            {"sim_busy_ms", num(p.simBusyMs)},
            {"home_operator", str(p.homeOperator)},
            {"roaming", flag(p.roaming)},
            {"lac", hex(p.lac)},
            {"cell", hex(p.cellId)},
            {"register_ms", num(p.registerMs)},
            {"search_ms", num(p.searchMs)},
            {"select_ms", num(p.selectMs)},
            {"rssi", num(p.rssi)},
            {"ber", num(p.ber)},
            {"charger_status", num(p.chargerStatus)},
            {"battery_level", num(p.batteryLevel)},
            {"consumption", num(p.consumption)},
            {"cnmi_test", str(p.cnmiTest)},
            {"sms_centre", str(p.smsCentre)},
            // Calls
            {"own_number", str(p.ownNumber)},
            {"ecam", flag(p.ecam)},
            {"ring_out_ms", num(p.ringOutMs)},
            {"ring_out_result", str(p.ringOutResult)},
            {"fault_seed",
             [&p](const std::string& v, int l) { p.faultSeed = static_cast<uint32_t>(Number(v, l)); }},
        };
        const auto it = setters.find(k);
        if (it == setters.end())
            Bad(lineNo, "unknown key: " + key);
        it->second(value, lineNo);
    }
    CheckSmsMessages(p);
    return p;
}

TProfile TProfile::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::invalid_argument("cannot read profile file: " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

}  // namespace ModemSim
