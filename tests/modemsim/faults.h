#pragma once
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/modemsim/at_command.h"
#include "tests/modemsim/command_registry.h"

// Fault switches: how the device misbehaves for the commands a switch
// names. All are off unless a profile ([faults] section), a script line
// ("fault <switch>") or a test (TModemSim::AddFault) sets one.
//
// One switch as text:
//
//   <commands> <what> [<arguments>] [x<count>] [<percent>%] [after <ms>]
//
// <commands>:
//   *                 every command
//   +CPMS=            one form, as the [delays] keys name it: set "+CPMS=",
//                     read "+CPMS?", test "+CPMS=?", action "+CGMI", "D";
//                     "AT" names the bare "AT"
//   +CPMS="ME"*       a prefix of the command as written (upper case)
// <what>:
//   nofinal           the command runs; its final result never comes
//   late <ms>[-<ms>]  the command runs; its answer comes that much later
//                     (a range is drawn from the seeded generator)
//   bareok            the command does not run; it answers a bare OK
//   nochange          a set command answers OK and changes nothing (it does
//                     not run); other forms are left alone
//   noinfo            the command runs; its information lines are left out
//                     (a +CMGW that answers OK without "+CMGW: <index>")
//   answer <final>    the command does not run; it answers <final>: ERROR,
//                     +CME ERROR: <n>, +CMS ERROR: <n>, or a result code
//                     such as NO ANSWER, BUSY, NO CARRIER
// x<count>            the switch fires this many times, then it is spent
// <percent>%          it fires for that share of the commands it names
// after <ms>          (answer) the answer comes that much later
//
// The data link of a call between linked devices (the bytes this device
// passes on to the other one, each piece as the program wrote it) takes
// switches of its own, named "link":
//   link delay <ms>[-<ms>]   each piece arrives that much later (a range is
//                            drawn per piece); pieces keep their order
//   link lose                a piece is lost (with a share: "link lose 3%")
//   link reorder <ms>        a piece is held back that much more, so that
//                            later ones overtake it (with a share)
//   link drop after <ms>     a data call's carrier drops that long after
//                            it connected: DCD falls, the device goes back
//                            to the command mode without a result code, and
//                            the other device hears nothing more
// Counts and shares work as above (a drop counts calls, the others pieces).
//
// Switches are tried in the order they were added; the first that fires
// shapes the command. Commands answered after a prompt (+CMGS, +CMGW) are
// shaped when their answer goes out.
namespace ModemSim {

struct TFaultSwitch {
    enum class TKind { NoFinal, Late, BareOk, NoChange, NoInfo, Answer, LinkDelay, LinkLose, LinkReorder, LinkDrop };

    std::string commands;  // "*", a form key, or a prefix ending in "*"
    TKind kind = TKind::NoFinal;
    int lateMs = 0, lateMaxMs = 0;  // Late, LinkDelay: the range; Answer, LinkReorder, LinkDrop: the time
    TReply answer;                  // Answer: the final result
    int count = -1;                 // -1: for ever
    int percent = 100;
    std::string text;  // the switch as written, for the transcript

    // Throws std::invalid_argument naming the text on a bad switch.
    static TFaultSwitch Parse(const std::string& text);
    bool Names(const TAtCommand& cmd) const;
    // The command does not run; the switch gives the whole answer.
    bool Replaces(const TAtCommand& cmd) const;
    // A switch of the data link, not of a command.
    bool OfLink() const { return kind >= TKind::LinkDelay; }
};

// What a fired switch does to one answer.
struct TFaultShape {
    bool replace = false;  // the command does not run: the answer is `reply`
    TReply reply;
    bool noFinal = false;
    bool noInfo = false;
    int lateMs = 0;
    std::string note;  // for the transcript

    // Applies the shape to a reply the command gave.
    void Apply(TReply& out) const;
};

class TFaults {
public:
    explicit TFaults(uint32_t seed = 1) : random_(seed) {}

    void Add(const TFaultSwitch& fault) { switches_.push_back(fault); }
    void Add(const std::string& text) { Add(TFaultSwitch::Parse(text)); }
    void Clear() { switches_.clear(); }
    void Seed(uint32_t seed) { random_.seed(seed); }
    bool Empty() const { return switches_.empty(); }

    // The first switch that fires for this command, counted down; none
    // when no switch names it or chance passed it by.
    std::optional<TFaultShape> Fire(const TAtCommand& cmd);
    // The data link: the first switch of this kind that fires, counted
    // down; its time (a drawn delay, the hold back, the drop) in ms.
    std::optional<int> FireLink(TFaultSwitch::TKind kind);

    // A command answered after its prompt keeps the shape it fired until
    // its answer goes out.
    std::optional<TFaultShape> deferred;

private:
    std::vector<TFaultSwitch> switches_;
    std::mt19937 random_;
};

}  // namespace ModemSim
