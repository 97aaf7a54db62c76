#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "tests/modemsim/call_link.h"

// The calls of one simulated device: caller identification and call
// reports, the one call the device can have, and the online data mode of
// a data call. The call commands (commands_calls.cpp) and the events from
// a linked device change it; everything runs on the device's thread.
namespace ModemSim {

class TDevice;
class TAtCore;

struct TCallState {
    enum class TPhase {
        Idle,
        Dialling,  // own call, not answered yet
        Alerting,  // incoming call ringing
        Active,    // answered (voice, or data online or escaped)
    };

    // Settings: +CLIP and *ECAM (0 off, 1 on).
    int clip = 0;
    int ecam = 0;
    void ResetSettings()
    {
        clip = 0;
        ecam = 0;
    }

    TPhase phase = TPhase::Idle;
    bool data = false;
    bool outgoing = false;
    // Online data mode: bytes from the program go to the other device.
    bool online = false;
    std::string peer;                     // the other party's number
    std::weak_ptr<TCallPeerBox> peerBox;  // the other device, when linked
    // Bumped at every change of the call: timed steps of an older call do nothing.
    uint64_t serial = 0;

    // Escape from online mode: "+" bytes held back, and when the program
    // last sent a byte.
    int pluses = 0;
    int64_t lastInputMs = -1000000;
    uint64_t escapeSerial = 0;
    // Data bytes collected for one post to the other device.
    std::string toPeer;
    bool flushQueued = false;
    // The data link's switches (faults.h): when the last piece that keeps
    // its order is due at the other device, and the pieces on their way.
    int64_t linkDueMs = 0;
    int linkPending = 0;
    // DCD is on for this call (a data call that connected).
    bool carrier = false;
    // The program's DTR as last seen.
    bool dtr = false;

    // The device's own inbox and the link it is reachable in (set when
    // the simulator starts).
    std::weak_ptr<TCallPeerBox> self;
    std::shared_ptr<TCallLink> link;
};

// An event from the linked device (on the device's thread, under its lock).
void HandlePeerEvent(TDevice& device, TAtCore& core, const TPeerEvent& event);
// A call from a number outside the link (script action "ring").
void IncomingCall(TDevice& device, TAtCore& core, const std::string& from, bool data);
// The other party hangs up (script action "hangup").
void RemoteHangup(TDevice& device, TAtCore& core);
// The program's DTR changed: a fall ends a dialled or active call, as a
// device set to hang up on DTR does.
void ProgramDtr(TDevice& device, TAtCore& core, bool dtr);

}  // namespace ModemSim
