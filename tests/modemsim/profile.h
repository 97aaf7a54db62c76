#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/modemsim/phonebook_memories.h"

// What one simulated device is: identity, which optional commands it has
// and how it answers their test forms, its SIM card, its network and its
// timings. Built-in profiles model real devices; a profile file (ini-like
// text, see Parse) or plain C++ can change any field.
namespace ModemSim {

enum class TSimCard { Ready, Pin, Puk, Blocked, NoCard };

struct TOperatorInfo {
    int status = 1;  // 0 unknown, 1 available, 2 current, 3 forbidden (as listed by +COPS=?)
    std::string longName, shortName, numeric;
};

struct TProfile {
    std::string name;  // profile name, for messages only

    // Identity (+CGMI, +CGMM, +CGMR, +CGSN, +CIMI and their V.25ter twins).
    std::string manufacturer = "SIEMENS";
    std::string model = "TC35";
    std::string revision = "REVISION 04.00";
    std::string imei = "350000000000001";
    std::string imsi = "230011234567890";

    // Serial line: the rate the device is fixed to, 0 = autobauding (any).
    int baud = 0;

    // Optional features. A test answer of "ERROR" means the command does not
    // exist on this device (every form of it answers ERROR); an empty test
    // answer means the test form answers a bare "OK".
    std::string cfunTest = "+CFUN: (0,1,5,6,7,8),(0,1)";
    std::string smsoTest = "";       // AT^SMSO=?
    std::string cpinTest = "";       // AT+CPIN=?
    std::string cclkTest = "";       // AT+CCLK=?
    std::string calaTest = "+CALA: (0),(0),(0-16)";
    std::string cbcTest = "ERROR";   // AT+CBC=?, e.g. "+CBC: (0-3),(0-100)"
    std::string sbcTest = "^SBC: (0-5),(0-100),(0-5000)";
    std::string cscsTest = "+CSCS: (\"GSM\",\"IRA\",\"UCS2\")";
    std::string cregModes = "0-2";   // the n values +CREG= accepts
    bool copsShortNames = true;      // +COPS=? groups carry the short name
    bool gprs = false;               // +CGREG exists (GPRS registration follows GSM)
    bool siemensUrcs = true;         // ^SYSSTART after power-up, ^SMSO: MS OFF
    bool ericssonLocation = false;   // +CREG location and cell sent byte-swapped
    bool blockedAsCpin = false;      // a blocked card reads "+CPIN: BLOCKED" (else +CME 13)
    bool powerOnByDtr = true;        // a powered-down device starts on a DTR rising edge
    bool sleepOnCfun0 = true;        // +CFUN=0 is a sleep left by RTS (else: radio off)

    // Clock: zone suffix kept in +CCLK ("" = the device shows no zone).
    std::string clockZone = "";
    int64_t clockOffsetMs = 0;  // device time minus host time at start

    // SIM card.
    TSimCard sim = TSimCard::Ready;
    std::string pin = "1234";
    std::string puk = "12345678";
    int pinAttempts = 3;
    int pukAttempts = 10;
    int simBusyMs = 0;  // after power-up the card answers "SIM busy" this long

    // Network.
    std::vector<TOperatorInfo> operators;
    std::string homeOperator = "23001";  // numeric name of the one registered with automatically
    bool roaming = false;                // registered state 5 instead of 1
    int lac = 0x1A2B;
    int cellId = 0x3C4D;
    int registerMs = 0;    // searching (state 2) this long before registered
    int searchMs = 3000;   // +COPS=? network search
    int selectMs = 1000;   // +COPS=1/0 selection
    int rssi = 21, ber = 99;

    // Battery (+CBC / ^SBC).
    int chargerStatus = 0;  // bcs
    int batteryLevel = 80;  // bcl (in the range of the test answer)
    int consumption = 120;  // mA, ^SBC only

    // SMS (TS 27.005 PDU mode). Memories in the order +CPMS lists them;
    // the first one also receives. Messages the memories hold at start.
    struct TSmsMemorySpec {
        std::string name;
        int total = 0;
    };
    struct TSmsEntry {
        std::string memory;
        int index = 0;
        int stat = 0;     // 0 received unread, 1 received read, 2 stored unsent, 3 stored sent
        std::string pdu;  // hex, SMS-centre part included
    };
    std::vector<TSmsMemorySpec> smsMemories = {{"SM", 30}};     // sms_memories = SM/30,ME/100
    std::vector<TSmsEntry> smsMessages;                         // [sms] <mem> <index> <stat> <PDU>
    std::string cnmiTest = "+CNMI: (0-3),(0-3),(0,2),(0,1),(0,1)";  // AT+CNMI=?
    std::string smsCentre = "+420603052000";                    // +CSCA at start ("+": type 145)
    // Phonebook memories (keys phonebook, phonebook_entry, phonebook_pin2).
    TPhonebookMemories phonebooks = TPhonebookMemories::Default();
    // Calls: the device's own number, by which a linked device dials it
    // ("" cannot be reached), and the Ericsson call reports *ECAM/*ECAV
    // (without them every form of AT*ECAM answers ERROR).
    std::string ownNumber = "";
    bool ecam = false;
    // A linked station that does not answer rings this long, then the
    // network ends the dial with this result code.
    int ringOutMs = 30000;
    std::string ringOutResult = "NO CARRIER";

    // Per-command answer delays in ms, keyed by the command as written
    // without "AT", upper case, e.g. "+CPIN?" or "+CGMI" or "+COPS=?".
    std::map<std::string, int> delays;

    // Lines of a fault script (see TScript), run from the simulator's start.
    std::vector<std::string> script;
    // Fault switches (faults.h), one a line of a [faults] section, and the
    // seed of their chances (key fault_seed).
    std::vector<std::string> faults;
    uint32_t faultSeed = 1;

    // Built-in profiles: "tc35", "m20", "mc35i" (known maker, unknown model),
    // "gm22", "t10s", "wavecom" (unknown maker). Throws std::invalid_argument
    // for other names.
    static TProfile Builtin(const std::string& name);
    static std::vector<std::string> BuiltinNames();

    // Profile text: "key = value" lines, "#" or ";" comments, optional
    // "[section]" headers ignored except [script] and [delays] whose lines
    // are taken as they are, and [sms] whose lines replace the built-in
    // messages. "base = tc35" starts from a built-in. Unknown
    // keys and bad values throw std::invalid_argument naming the line.
    static TProfile Parse(const std::string& text);
    static TProfile Load(const std::string& path);

    const TOperatorInfo* FindOperator(const std::string& numeric) const;
};

}  // namespace ModemSim
