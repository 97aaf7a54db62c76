#pragma once
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The line between linked simulated devices: each device has an inbox of
// call events; a device that dials finds the inbox of the dialled number
// in the link and posts there. Posting takes only the inbox's own lock,
// never a device's, so two devices can post to each other at any time.
namespace ModemSim {

class TCallPeerBox;

struct TPeerEvent {
    enum class TKind {
        Ring,      // a call from `from` (a data call when `data`)
        Answered,  // the called device answered
        Busy,      // the called device has a call already
        Released,  // the other device hung up (or gave up dialling)
        Data,      // bytes of a data call
    };
    TKind kind = TKind::Ring;
    std::string from;  // the sender's own number
    bool data = false;
    std::string bytes;
    std::weak_ptr<TCallPeerBox> sender;  // where replies go
};

class TCallPeerBox {
public:
    void Push(TPeerEvent event);
    std::vector<TPeerEvent> Take();
    // Wakes the owning device's thread after a push.
    void SetWake(std::function<void()> wake);

private:
    std::mutex mutex_;
    std::vector<TPeerEvent> events_;
    std::function<void()> wake_;
};

class TCallLink {
public:
    // An empty number is not reachable and is not added.
    void Add(const std::string& number, std::weak_ptr<TCallPeerBox> box);
    std::weak_ptr<TCallPeerBox> Find(const std::string& number) const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::weak_ptr<TCallPeerBox>> boxes_;
};

}  // namespace ModemSim
