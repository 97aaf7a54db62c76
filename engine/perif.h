#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "foundation/utils.h"

class VUniSET;
class VMainWindowLink;
class VPerifModem;

// Base of every AT feature handler. The container (VPerifModem) calls each
// operation below on all 18 handlers in one fixed order; the defaults do
// nothing. A handler decides on its own timers when to send, recognises its
// own command when the engine reports a sent line (onCommandSent), looks at
// every received line (onResponse) and says whether it waits for an answer
// (isBusy). Handlers hold the engine as owner and reach the other handlers
// through the engine's container.
//
// While onResponse runs, the engine's receive buffer holds exactly one line
// with its CR LF; while onCommandSent runs, its transmit buffer holds the
// line just written with its CR.
class VPerif {
public:
    explicit VPerif(VUniSET* owner);
    VPerif(const VPerif&) = delete;
    VPerif& operator=(const VPerif&) = delete;

    virtual void start(uint32_t now);
    virtual ~VPerif();
    // Writes one command line (the engine appends CR); every handler is
    // told before this returns.
    virtual void sendLine(uint32_t now, const char* text);
    virtual void sendLineF(uint32_t now, const std::string& text);
    // Writes one data frame; false when the data does not fit a frame.
    virtual bool sendFrame(uint32_t now, uint8_t type, const void* data, int length);
    // The polling tick, reached only when the container's gate allows.
    virtual void tick(uint32_t now);
    // Given instead of tick while a data call is up.
    virtual void dataTick(uint32_t now);
    virtual void restart(uint32_t now);
    virtual void reset(uint32_t now);
    virtual void onResponse(uint32_t now);
    virtual void onCommandSent(uint32_t now);
    // The announced SMS PDU line is in the receive buffer.
    virtual void onSms11(uint32_t now);
    // Text after the "> " prompt ended: cancelled 0 sent with Ctrl-Z, 1 cancelled.
    virtual void onSmsPromptEnd(uint32_t now, uint8_t cancelled);
    // A data frame with a right sum is in the receive buffer.
    virtual void onFrame(uint32_t now);
    // A data frame was just written (it is in the transmit buffer).
    virtual void onFrameSent(uint32_t now);
    virtual bool isBusy() const = 0;
    // Picks one value per group of a test-command answer such as
    // "(0-2),(1,3),0". `preferred` holds one list per group, each ended by
    // -1, laid end to end; an empty list (a second -1) ends the
    // preferences for that group and every later one. For each of the
    // first `groupCount` groups (at most chosen.size()) the chosen value is
    // the first preferred value the group contains, else the group's first
    // number, else -1. Never reads past the text or the arrays.
    virtual void chooseSupported(std::string_view text, std::span<const int> preferred,
                                 std::span<int> chosen, int groupCount);

    void setLastSendTime(uint32_t now);
    uint32_t getLastSendTime() const { return lastSendTime; }
    // More than `limit` ms since the last send, wrap-safe.
    bool elapsed(uint32_t limit, uint32_t now) const { return Utils::IsTickElapsed(lastSendTime, limit, now); }
    // The middle of the current receive line between prefix and suffix
    // (exact / ignoring ASCII case); empty when the line does not match.
    std::string extractString(std::string_view prefix, std::string_view suffix) const;
    std::string extractStringIC(std::string_view prefix, std::string_view suffix) const;

    VUniSET* getOwner() const { return owner; }

protected:
    // Short ways to the engine's window link and container.
    VMainWindowLink& window() const;
    VPerifModem& modem() const;

    VUniSET* owner;
    // Zero makes a handler's first time test pass at once.
    uint32_t lastSendTime = 0;
};
