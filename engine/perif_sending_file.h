#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_frames.h"
#include "engine/perif.h"
#include "engine/uniset.h"

class VListItemFile;
class Protikus;

// The file sender: sends the rows of the send list that are queued for the
// station of the one data call, one at a time. A transfer offers the file's
// size until the receiver accepts, gives the file name when the receiver
// wants it, sends the file in small blocks at the pace the other station
// announced, serves the gaps the receiver reports, and repeats End until
// the receiver reports the file complete (see engine/file_frames.h).
//
// Blocks do not wait for their Acks, so on a call with a long round trip
// the Acks that come in tell of the receiver as it was a round trip ago. A
// gap goes again once per round trip (the sender measures it from the Acks
// of its Blocks), not at every pause while Acks sent before it arrived
// still name it; and the send offset goes back only for a receiver that
// stopped taking Blocks in order (resume below the acknowledged end), once
// per round trip, never for an Ack that merely trails the Blocks on their
// way.
//
// The queue and the current row hold their rows (VListItem::hold): a row
// removed from the list meanwhile stays alive until they let go of it.
class VPerifSendingFile : public VPerif {
public:
    // Data bytes per Block of a transfer started by the data call itself.
    static constexpr int AutoBlockSize = 8;
    // Data bytes one Block can carry.
    static constexpr int MaxBlockSize = VUniSET::MaxFrameData - FileFrames::BlockHeader;
    // Frames that wait for an answer are repeated after this long.
    static constexpr uint32_t RepeatPause = 1000;
    // Longest file name a Name frame carries.
    static constexpr size_t NameLimit = 20;
    // Sends remembered for measuring the round trip: a few seconds of
    // Blocks at the fastest pace.
    static constexpr int SentLog = 256;
    // The round trip taken before the first Ack of a transfer measures it.
    static constexpr uint32_t FirstRoundTrip = 1000;
    // An Ack may come this much later than the measured round trip: the
    // other station answers on its next tick, Blocks leave on ticks.
    static constexpr uint32_t AckSlack = 100;
    // However long the measured round trip, a gap goes again after this.
    static constexpr uint32_t LongestHold = 5000;

    // Progress flags of a transfer.
    enum TProgress : uint32_t {
        pfAccepted = 1,   // the receiver accepted the Offer
        pfNamed = 2,      // the name phase is over
        pfAllSent = 4,    // every byte went out once and no gap is left
        pfComplete = 8,   // the receiver has the whole file
    };

    explicit VPerifSendingFile(VUniSET* owner);
    ~VPerifSendingFile() override;

    void start(uint32_t now) override;
    void dataTick(uint32_t now) override;
    void restart(uint32_t now) override;
    // Drops the transfer: a row being sent becomes "send failed", so that
    // the next walk of the send list queues it again.
    void reset(uint32_t now) override;
    void onFrame(uint32_t now) override;
    void onFrameSent(uint32_t now) override;
    bool isBusy() const override;

    // Readiness: always true.
    virtual bool isSettled() const;
    // Starts sending `item` in blocks of `blockSize` bytes (1..MaxBlockSize).
    virtual void beginTransfer(VListItemFile* item, int blockSize);
    // Sends one Block: a stored gap first, else the next bytes in order.
    // False when there was nothing to send or reading failed.
    virtual bool sendNextBlock(uint32_t now);
    // The current row is sent (ok) or failed.
    virtual void endTransfer(bool ok);
    // The call of `party` ended: its transfer is dropped.
    virtual void abandon(uint32_t now, Protikus* party);
    // A new pass over the send list: the queue is emptied.
    virtual void clearQueue();
    virtual void enqueue(VListItemFile* item);
    virtual void dequeue(VListItemFile* item);
    // A queued row is ready (1) for the number.
    bool hasReadyFor(const std::string& number) const;
    // The station of the number cannot be reached: its ready rows fail
    // with the text; the next walk of the send list queues them again.
    void failStation(const std::string& number, const std::string& why);

    // The part of a path after its last "/".
    static std::string FileNameOf(const std::string& path);

    const std::vector<VListItemFile*>& getQueue() const { return queue; }
    VListItemFile* getCurrent() const { return current; }
    Protikus* getRemote() const { return remote; }
    uint32_t getProgressFlags() const { return progressFlags; }
    uint8_t getWanted() const { return wanted; }
    int64_t getFileSize() const { return fileSize; }
    int64_t getSendOffset() const { return sendOffset; }
    int64_t getLowestUnconfirmed() const { return lowestUnconfirmed; }
    int getRangeCount() const { return rangeCount; }
    FileFrames::TRange getRange(int i) const { return {ranges[size_t(i)].start, ranges[size_t(i)].end}; }
    bool hasFile() const { return file >= 0; }
    // The round trip as measured so far (smoothed), in ms.
    uint32_t getRoundTrip() const { return roundTrip; }
    // How long a gap sent again, or a move of the send offset back, waits
    // for Acks that answer it: the round trip and the slack.
    uint32_t holdTime() const;

protected:
    std::vector<VListItemFile*> queue;

private:
    // Another handler than this and the receiver waits for an answer. The
    // receiver is busy for as long as the other station sends; waiting for
    // it would stall two stations that offer files to each other at once.
    bool othersBusy() const;
    // The first ready row queued for the number of the one data call, when
    // the other station takes files.
    void startFromQueue(uint32_t now);
    void sendOffer(uint32_t now);
    void sendName(uint32_t now);
    void sendEnd(uint32_t now);
    void readAck(uint32_t now, const uint8_t* payload, int length);
    // A gap the receiver named that should go (again) now; null for none.
    struct TGap;
    TGap* dueGap(uint32_t now);
    // Something to send in the data phase: a due gap or bytes not sent yet.
    bool hasBlockToSend(uint32_t now);
    void logSent(int64_t end, uint32_t now);
    // A round trip from the Ack of the send that ended at `end`.
    void measure(int64_t end, uint32_t now);
    void closeFile();
    // Lets go of the current row and its transfer.
    void dropCurrent();
    // The open message, with the path, of a row whose file cannot be sent.
    void refuseOpen(VListItemFile* item);

    VListItemFile* current = nullptr;
    int file = -1;
    int blockSize = AutoBlockSize;
    // The size of the open file when it was opened: what is offered and sent.
    int64_t fileSize = 0;
    int64_t sendOffset = 0;
    int64_t lowestUnconfirmed = 0;
    uint8_t wanted = 0xFF;
    // A gap named by the latest Ack: where its next piece starts, and
    // whether (and when) all of it went again since an Ack named it.
    struct TGap {
        int64_t start = 0;
        int64_t end = 0;
        int64_t next = 0;
        bool resent = false;
        uint32_t resentTick = 0;
    };
    std::array<TGap, FileFrames::RangeSlots> ranges{};
    int rangeCount = 0;
    // Blocks and End frames sent: where each ended and when, newest last.
    struct TSent {
        int64_t end = 0;
        uint32_t tick = 0;
    };
    std::array<TSent, SentLog> sentLog{};
    int sentCount = 0;
    int sentNext = 0;
    uint32_t roundTrip = FirstRoundTrip;
    bool roundTripMeasured = false;
    // The send offset last went back at this tick.
    bool rewound = false;
    uint32_t rewindTick = 0;
    uint32_t progressFlags = 0;
    Protikus* remote = nullptr;
    // A Block being assembled: offset, count, data.
    std::array<uint8_t, VUniSET::MaxFrameData> block{};
};
