#pragma once
#include <array>
#include <cstdint>

#include "engine/file_frames.h"
#include "engine/perif.h"

class Protikus;
class VListItemFile;

// The file receiver: takes the files the other station of a data call
// sends (see engine/file_frames.h). Each Offer makes a row of the received
// list, each Block goes into the row's temporary file, and every frame is
// answered at once with what is still missing. It sends nothing on its own
// and has no timer.
//
// The current row is held (VListItem::hold) until the transfer ends.
class VPerifReceivingFile : public VPerif {
public:
    // Longest gap one missing range names.
    static constexpr int64_t RangeSize = 8;

    explicit VPerifReceivingFile(VUniSET* owner);

    void start(uint32_t now) override;
    void restart(uint32_t now) override;
    // Drops the transfer: a row being received becomes "receive failed";
    // what arrived stays and can still be saved.
    void reset(uint32_t now) override;
    void onFrame(uint32_t now) override;
    bool isBusy() const override;

    // Readiness: no transfer in progress.
    virtual bool isIdle() const;
    // The call of `party` ended: its transfer is dropped.
    virtual void abandon(uint32_t now, Protikus* party);

    VListItemFile* getCurrent() const { return current; }
    Protikus* getRemote() const { return remote; }
    int64_t getNextExpected() const { return nextExpected; }
    int getRangeCount() const { return rangeCount; }
    FileFrames::TRange getRange(int i) const { return ranges[size_t(i)]; }

private:
    void onOffer(uint32_t now, const uint8_t* payload, int length);
    void onName(uint32_t now, const uint8_t* payload, int length);
    void onBlock(uint32_t now, const uint8_t* payload, int length);
    void onEnd(uint32_t now);
    // Adds gaps of at most RangeSize bytes from next expected towards
    // `limit` while a slot is free.
    void addGaps(int64_t limit);
    void sendAck(uint32_t now, int64_t acknowledged);
    void reply(uint32_t now, uint8_t kind);
    // The number of the call whose party sends.
    std::string callNumber() const;
    // Lets go of the current row; a row still receiving becomes failed.
    void dropCurrent();

    VListItemFile* current = nullptr;
    Protikus* remote = nullptr;
    int64_t nextExpected = 0;
    std::array<FileFrames::TRange, FileFrames::RangeSlots> ranges{};
    int rangeCount = 0;
    // The current row got a Name or a Block: an Offer now is another file.
    bool started = false;
};
