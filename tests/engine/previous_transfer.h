#pragma once
#include <array>
#include <cstdint>

#include "engine/file_frames.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"

// The file sender and receiver as the previous release of this program
// had them, kept unchanged so that tests can put a station of that
// release at the other end of a data call: the frames are the same, and
// files must still go both ways between the two releases. They take the
// slots of the current handlers (TTransferRig::usePreviousRelease) and
// keep all of their state to themselves.
//
// The previous sender serves the first gap the latest Ack names at each
// pause until an Ack no longer names it, and moves its send offset to the
// resume offset of every Ack whose resume differs from its end; the
// previous receiver keeps at most three gaps of 8 bytes and counts nothing
// that arrives past its next expected offset while they are taken.
class TPreviousSender : public VPerifSendingFile {
public:
    explicit TPreviousSender(VUniSET* owner) : VPerifSendingFile(owner) {}
    ~TPreviousSender() override;

    void start(uint32_t now) override;
    void dataTick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onFrame(uint32_t now) override;
    void onFrameSent(uint32_t now) override;
    bool isBusy() const override;
    void beginTransfer(VListItemFile* item, int blockSize) override;
    bool sendNextBlock(uint32_t now) override;
    void endTransfer(bool ok) override;
    void abandon(uint32_t now, Protikus* party) override;

private:
    void startFromQueue();
    void readAck(const uint8_t* payload, int length);
    void dropCurrent();

    VListItemFile* item = nullptr;
    int fd = -1;
    int size = AutoBlockSize;
    int64_t fileBytes = 0;
    int64_t offset = 0;
    uint8_t wishes = 0xFF;
    std::array<FileFrames::TRange, FileFrames::RangeSlots> gaps{};
    int gapCount = 0;
    uint32_t flags = 0;
    Protikus* party = nullptr;
    std::array<uint8_t, VUniSET::MaxFrameData> buffer{};
};

class TPreviousReceiver : public VPerifReceivingFile {
public:
    explicit TPreviousReceiver(VUniSET* owner) : VPerifReceivingFile(owner) {}

    void start(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onFrame(uint32_t now) override;
    bool isBusy() const override;
    bool isIdle() const override;
    void abandon(uint32_t now, Protikus* party) override;

private:
    void reply(uint32_t now, uint8_t kind);
    void addGaps(int64_t limit);
    void sendAck(uint32_t now, int64_t acknowledged);
    void dropCurrent();

    VListItemFile* item = nullptr;
    Protikus* party = nullptr;
    int64_t expected = 0;
    std::array<FileFrames::TRange, FileFrames::RangeSlots> gaps{};
    int gapCount = 0;
    bool started = false;
};
