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
    FileFrames::TRange getRange(int i) const { return ranges[size_t(i)]; }
    bool hasFile() const { return file >= 0; }

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
    void readAck(const uint8_t* payload, int length);
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
    std::array<FileFrames::TRange, FileFrames::RangeSlots> ranges{};
    int rangeCount = 0;
    uint32_t progressFlags = 0;
    Protikus* remote = nullptr;
    // A Block being assembled: offset, count, data.
    std::array<uint8_t, VUniSET::MaxFrameData> block{};
};
