// The file sender's frames: Offer, Name, Block and End out, the receiver's
// answers in.
#include <algorithm>
#include <cerrno>
#include <unistd.h>

#include "calls/list_item_file.h"
#include "engine/main_window_link.h"
#include "engine/perif_sending_file.h"
#include "engine/uniset.h"

using namespace FileFrames;

namespace {

const char* const ReadErrorText = "Chyba \xE8ten\xED ze souboru - kon\xE8\xEDm p\xF8" "enos";

}  // namespace

void VPerifSendingFile::sendOffer(uint32_t now)
{
    uint8_t size[3];
    Put24(size, uint32_t(fileSize));
    sendFrame(now, Offer, size, 3);
}

void VPerifSendingFile::sendName(uint32_t now)
{
    const std::string name = FileNameOf(current->getPath()).substr(0, NameLimit);
    uint8_t payload[1 + NameLimit];
    payload[0] = InfoFileName;
    std::copy(name.begin(), name.end(), payload + 1);
    sendFrame(now, Name, payload, int(1 + name.size()));
}

void VPerifSendingFile::sendEnd(uint32_t now)
{
    sendFrame(now, End, nullptr, 0);
}

bool VPerifSendingFile::sendNextBlock(uint32_t now)
{
    if (!current || file < 0)
        return false;
    int64_t offset;
    int64_t count;
    if (rangeCount > 0) {
        // Gaps the receiver reported go first, also once everything went
        // out in order: a lost last Block comes back only as a gap.
        TRange& gap = ranges[0];
        offset = gap.start;
        count = std::min<int64_t>(gap.end - gap.start, blockSize);
        // A gap longer than a Block goes out one Block at a time; a short
        // one is sent again at each pause until an Ack no longer names it.
        if (gap.end - gap.start > blockSize)
            gap.start += count;
    } else {
        if (sendOffset >= fileSize) {
            progressFlags |= pfAllSent;
            return false;
        }
        offset = sendOffset;
        count = std::min<int64_t>(blockSize, fileSize - offset);
    }
    if (offset == sendOffset)
        sendOffset += count;

    ssize_t got;
    do
        got = ::pread(file, block.data() + BlockHeader, size_t(count), off_t(offset));
    while (got < 0 && errno == EINTR);
    if (got <= 0) {
        endTransfer(false);
        window().messageBox(ReadErrorText, "Error", VMainWindowLink::MB_ICONERROR);
        return false;
    }
    Put24(block.data(), uint32_t(offset));
    Put16(block.data() + 3, uint32_t(got));
    sendFrame(now, Block, block.data(), BlockHeader + int(got));
    return true;
}

void VPerifSendingFile::onFrameSent(uint32_t now)
{
    const TInputBuffer& tx = owner->getTxBuffer();
    if (tx.length() < 6)
        return;
    const uint8_t type = tx.at(4);
    if (type >= Offer && type <= Name)
        setLastSendTime(now);
}

void VPerifSendingFile::onFrame(uint32_t)
{
    if (!remote)
        return;
    const TInputBuffer& rx = owner->getRxBuffer();
    const int length = int(rx.length()) - 6;
    if (length < 1)
        return;
    const auto* frame = reinterpret_cast<const uint8_t*>(rx.data());
    if (frame[4] != Reply)
        return;
    const uint8_t* payload = frame + 5;
    switch (payload[0]) {
    case Accept:
        // The first Accept only: a repeated one keeps the wishes.
        if (length >= 2 && !(progressFlags & pfAccepted)) {
            progressFlags |= pfAccepted;
            wanted = payload[1];
        }
        break;
    case NameReceived:
        if (length >= 2)
            wanted = uint8_t(wanted & ~payload[1]);
        break;
    case Complete:
        // Only once everything went out: a late Complete of the previous
        // file must not end this one.
        if (progressFlags & pfAllSent)
            progressFlags |= pfComplete;
        break;
    case Ack:
        readAck(payload, length);
        break;
    default:
        break;
    }
}

void VPerifSendingFile::readAck(const uint8_t* payload, int length)
{
    // Anything but the kind, the end, whole ranges and the resume offset
    // is no Ack.
    if (length < AckFixed || (length - AckFixed) % AckRange != 0)
        return;
    const int count = (length - AckFixed) / AckRange;
    const int64_t acknowledged = Get24(payload + 1);
    int64_t resume = Get24(payload + length - 3);
    rangeCount = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* range = payload + 4 + AckRange * i;
        const int64_t start = Get24(range);
        if (i >= RangeSlots) {
            resume = std::min(resume, start);
            continue;
        }
        // Only what the file holds can be missing.
        const int64_t end = std::min<int64_t>(start + Get16(range + 3), fileSize);
        if (start < end)
            ranges[size_t(rangeCount++)] = TRange{start, end};
    }
    resume = std::min(resume, fileSize);
    if (resume != acknowledged)
        sendOffset = resume;
    lowestUnconfirmed = resume;
    for (int i = 0; i < rangeCount; ++i)
        lowestUnconfirmed = std::min(lowestUnconfirmed, ranges[size_t(i)].start);
    if (current)
        current->setProgress(lowestUnconfirmed);
}
