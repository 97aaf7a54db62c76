#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/modemsim/command_registry.h"
#include "tests/modemsim/profile.h"

// The SMS side of a simulated device after 3GPP TS 27.005 in PDU mode: its
// message memories, the three memories chosen by +CPMS (read and delete,
// write and send, receive), the SMS centre, the +CNMI settings, the log of
// sent messages and the faults a script queued for the next SMS commands.
namespace ModemSim {

class TAtCore;
class TDevice;
struct TScriptAction;

// +CMS ERROR numbers of 3GPP TS 27.005.
namespace Cms {
constexpr int OperationNotAllowed = 302, OperationNotSupported = 303, InvalidPduParameter = 304,
              SimNotInserted = 310, SimPinRequired = 311, SimFailure = 313, SimBusy = 314,
              SimPukRequired = 316, InvalidIndex = 321, MemoryFull = 322, CentreUnknown = 330,
              NoNetwork = 331;
// The +CMS ERROR of a card that is not ready (+CME number of TDevice::SimError).
int FromSimError(int cme);
}  // namespace Cms

// The bytes of hex text (either case); false for an odd length or a non-hex digit.
bool SmsHexToBytes(const std::string& hex, std::string& bytes);
// Octets of the TPDU of a PDU in hex, that is the PDU without its SMS-centre
// part (the length +CMGS, +CMGW, +CMGL, +CMGR and +CMT count); -1 when the
// text is not hex, the centre part does not fit or no TPDU follows it.
int SmsTpduLength(const std::string& pduHex);

struct TSmsMessage {
    int stat = 0;     // 0 received unread, 1 received read, 2 stored unsent, 3 stored sent
    std::string pdu;  // hex, upper case, SMS-centre part included
};

struct TSmsMemory {
    std::string name;
    int total = 0;
    std::map<int, TSmsMessage> messages;  // by index, 1..total

    int Used() const { return static_cast<int>(messages.size()); }
    int FreeIndex() const;  // the lowest free index; 0 when full
};

// The PDU a +CMGS or +CMGW waits for, typed after the "> " prompt.
struct TSmsEntry {
    bool send = false;  // +CMGS (else +CMGW)
    int length = 0;     // announced TPDU octets
    int stat = 2;       // +CMGW <stat>
    std::string text;   // the hex typed so far
};

struct TSmsState {
    std::vector<TSmsMemory> memories;
    // +CPMS memories as indexes into `memories`: reading and deleting,
    // writing and sending, receiving. Only the first memory receives.
    int mem[3] = {0, 0, 0};
    std::string centre;     // SMS centre digits, without "+"
    int centreType = 129;   // 145 international, 129 otherwise
    int cnmi[5] = {};       // mode, mt, bm, ds, bfr
    int nextReference = 1;  // message reference of the next send (0..255)
    // Every PDU sent (by +CMGS as the program wrote it, by +CMSS as stored),
    // hex upper case, oldest first.
    std::vector<std::string> sent;
    std::deque<TReply> refusals;  // finals for the next SMS commands (script "refuse")
    int noPrompts = 0;            // the next +CMGS/+CMGW give no prompt (script "noprompt")
    std::shared_ptr<TSmsEntry> entry;  // the PDU of a +CMGS/+CMGW being typed; null: none
    std::string heldIndications;       // new-message indications the device holds back

    // Memories, centre and messages from the profile.
    void Load(const TProfile& profile);
    // ATZ, AT&F and power-up: the indication settings; a PDU being typed is dropped.
    void ResetSettings();

    TSmsMemory& Mem(int which) { return memories[static_cast<size_t>(mem[which])]; }
    // -1 when the device has no memory of that name.
    int MemoryIndex(const std::string& name) const;
    const TSmsMessage* Find(const std::string& memory, int index) const;
    // Sends the held indications, unless +CNMI mode 0 or a PDU entry still holds them.
    void FlushIndications(TAtCore& core, int64_t now);
    // "+CSCA: " value: the number quoted, "+" in front of an international one, and the type.
    std::string CentreValue() const;
};

// A message arrives from the network (script "deliver"): stored in the
// receive memory and announced by "+CMTI", or routed to the program as
// "+CMT" without being stored, as the +CNMI settings select.
void SmsDeliver(TDevice& device, TAtCore& core, const std::string& pdu, int64_t now);
// The SMS script actions: deliver, refuse, noprompt.
void ApplySmsAction(TDevice& device, TAtCore& core, const TScriptAction& action, int64_t now);

}  // namespace ModemSim
