#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/perif.h"

class Protikus;

// The remote-party handler: dials the stations to which files wait (a
// data call, hung up by the call handler once the link is idle), runs the
// identity and capability exchange with the other station of a data call,
// shows that station on the call page (LabelTheOther), and ends the data
// call from the calling side when no station is left to serve.
//
// Exchange frames: 0x12 carries the own identity block and asks for the
// other's, 0x11 the same for the capability block; frame 0x00 with 0x12
// or 0x11 and the block is the answer; frame 0x00 with 0x01 ends a
// request.
class VPerifProtikus : public VPerif {
public:
    // An exchange frame without its answer is sent again after this long.
    static constexpr uint32_t AnswerWait = 1000;
    // A station is dialled at most this often until a file goes to it
    // (each call costs the user money), with these pauses after the
    // first and the second call that sent nothing; then its ready rows
    // fail with NoAnswerText.
    static constexpr int MaxDials = 3;
    static constexpr uint32_t RedialPauses[MaxDials - 1] = {10000, 30000};
    // The row text of a file whose station did not answer (cp1250).
    static const char* const NoAnswerText;

    explicit VPerifProtikus(VUniSET* owner);

    void start(uint32_t now) override;
    // Dials the first station (command mode).
    void tick(uint32_t now) override;
    // The exchange (data call).
    void dataTick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    void onFrame(uint32_t now) override;
    void onFrameSent(uint32_t now) override;
    bool isBusy() const override;

    // Readiness: no station waits and no party is served, or the party
    // served is known.
    virtual bool isSettled() const;
    // The call of `party` ended: the handler lets it go when it serves it.
    virtual void abandon(uint32_t now, Protikus* party);
    // Takes over the remote party of the only active call when it is a
    // data call of that direction.
    virtual void attach(bool outgoing);
    virtual void addStation(const std::string& number);
    // Removes the first entry equal to the number; its count of dials
    // starts afresh.
    virtual void removeStation(const std::string& number);
    virtual void clearStations();
    // A file went to the station: its count of dials starts afresh.
    void stationServed(const std::string& number);
    // Dials made to the station since it was queued or last served.
    int dialsTo(const std::string& number) const;
    // Shows the party served in the current language (also after a
    // language change).
    virtual void showParty();

    Protikus* getCurrent() const { return current; }
    const std::vector<std::string>& getStations() const { return stations; }
    // 0 none, 1 identity asked, 2 capabilities asked, 3 both asked with
    // the capabilities last, 4 both asked with the identity last.
    int getPending() const { return pending; }

private:
    // A station dialled: how often since it was queued or served, and when
    // it may be dialled again.
    struct TDialRecord {
        std::string number;
        int dials = 0;
        uint32_t endedTick = 0;
        uint32_t pause = 0;
    };
    TDialRecord* recordOf(const std::string& number);
    // The own dial whose call just ended: a call that sent nothing counts
    // against the station.
    void dialEnded(uint32_t now);
    // This station's modem type code, as the status bar names it.
    uint16_t ownModemType() const;
    template <size_t N>
    void sendBlock(uint32_t now, uint8_t kind, const std::array<uint8_t, N>& block, bool answer);
    void sendIdentity(uint32_t now, bool answer);
    void sendCapabilities(uint32_t now, bool answer);

    int pending = 0;
    std::vector<std::string> stations;
    Protikus* current = nullptr;
    std::vector<TDialRecord> dialRecords;
    // The own dial under way, until its call ended.
    bool dialOpen = false;
    std::string dialNumber;
};
