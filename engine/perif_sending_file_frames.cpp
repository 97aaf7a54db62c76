// The file sender's frames: Offer, Name, Block and End out, the receiver's
// answers in.
#include <algorithm>
#include <cerrno>
#include <unistd.h>

#include "calls/list_item_file.h"
#include "engine/main_window_link.h"
#include "engine/perif_sending_file.h"
#include "engine/protikus.h"
#include "engine/uniset.h"
#include "foundation/utils.h"
#include "platform/codepage.h"

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
    // File-system names are UTF-8: the cut never splits a letter.
    std::string name = FileNameOf(current->getPath());
    name.resize(Platform::Utf8HeadLength(name, NameLimit));
    uint8_t payload[1 + NameLimit];
    payload[0] = InfoFileName;
    std::copy(name.begin(), name.end(), payload + 1);
    sendFrame(now, Name, payload, int(1 + name.size()));
}

void VPerifSendingFile::sendEnd(uint32_t now)
{
    // Its answer, an Ack with the size as its end, measures too.
    logSent(fileSize, now);
    sendFrame(now, End, nullptr, 0);
}

uint32_t VPerifSendingFile::holdTime() const
{
    const uint32_t pace = remote ? remote->getBlockInterval() : RepeatPause;
    return std::min<uint32_t>(roundTrip + AckSlack + pace, LongestHold);
}

VPerifSendingFile::TGap* VPerifSendingFile::dueGap(uint32_t now)
{
    for (int i = 0; i < rangeCount; ++i) {
        TGap& gap = ranges[size_t(i)];
        if (!gap.resent || Utils::IsTickElapsed(gap.resentTick, holdTime(), now))
            return &gap;
    }
    return nullptr;
}

bool VPerifSendingFile::hasBlockToSend(uint32_t now)
{
    return sendOffset < fileSize || dueGap(now) != nullptr;
}

void VPerifSendingFile::logSent(int64_t end, uint32_t now)
{
    sentLog[size_t(sentNext)] = TSent{end, now};
    sentNext = (sentNext + 1) % SentLog;
    sentCount = std::min(sentCount + 1, SentLog);
}

void VPerifSendingFile::measure(int64_t end, uint32_t now)
{
    // The newest send that ended there; an Ack of an older one makes the
    // sample short, which costs at most a gap sent once more.
    for (int k = 1; k <= sentCount; ++k) {
        const TSent& sent = sentLog[size_t((sentNext - k + SentLog) % SentLog)];
        if (sent.end != end)
            continue;
        const uint32_t sample = std::min<uint32_t>(now - sent.tick, LongestHold);
        roundTrip = roundTripMeasured ? (roundTrip * 7 + sample) / 8 : sample;
        roundTripMeasured = true;
        return;
    }
}

bool VPerifSendingFile::sendNextBlock(uint32_t now)
{
    if (!current || file < 0)
        return false;
    int64_t offset;
    int64_t count;
    if (TGap* gap = dueGap(now)) {
        // Gaps the receiver reported go first, also once everything went
        // out in order: a lost last Block comes back only as a gap. A gap
        // longer than a Block goes out one Block at a time; once all of it
        // went, it waits for the Acks that answer it.
        offset = gap->next;
        count = std::min<int64_t>(gap->end - gap->next, blockSize);
        gap->next += count;
        if (gap->next >= gap->end) {
            gap->next = gap->start;
            gap->resent = true;
            gap->resentTick = now;
        }
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
    logSent(offset + got, now);
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

void VPerifSendingFile::onFrame(uint32_t now)
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
        readAck(now, payload, length);
        break;
    default:
        break;
    }
}

void VPerifSendingFile::readAck(uint32_t now, const uint8_t* payload, int length)
{
    // Anything but the kind, the end, whole ranges and the resume offset
    // is no Ack.
    if (length < AckFixed || (length - AckFixed) % AckRange != 0)
        return;
    const int count = (length - AckFixed) / AckRange;
    const int64_t acknowledged = Get24(payload + 1);
    int64_t resume = Get24(payload + length - 3);
    measure(acknowledged, now);

    // The gaps named now; one named before keeps what was sent of it.
    std::array<TGap, RangeSlots> named{};
    int namedCount = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* range = payload + 4 + AckRange * i;
        const int64_t start = Get24(range);
        if (i >= RangeSlots) {
            resume = std::min(resume, start);
            continue;
        }
        // Only what the file holds can be missing.
        const int64_t end = std::min<int64_t>(start + Get16(range + 3), fileSize);
        if (start >= end)
            continue;
        TGap gap{start, end, start, false, 0};
        for (int k = 0; k < rangeCount; ++k)
            if (ranges[size_t(k)].start == start && ranges[size_t(k)].end == end)
                gap = ranges[size_t(k)];
        named[size_t(namedCount++)] = gap;
    }
    ranges = named;
    rangeCount = namedCount;

    resume = std::min(resume, fileSize);
    if (resume < std::min<int64_t>(acknowledged, fileSize)) {
        // The receiver stands below the Block it acknowledges: it takes
        // nothing more until it gets the bytes from there in order. Acks
        // of Blocks sent before the last move back say the same: one move
        // per round trip.
        if (!rewound || Utils::IsTickElapsed(rewindTick, holdTime(), now)) {
            sendOffset = resume;
            rewound = true;
            rewindTick = now;
        }
    } else if (resume > sendOffset) {
        // The receiver has more than was sent in order: on from there.
        sendOffset = resume;
    }
    lowestUnconfirmed = resume;
    for (int i = 0; i < rangeCount; ++i)
        lowestUnconfirmed = std::min(lowestUnconfirmed, ranges[size_t(i)].start);
    if (current)
        current->setProgress(lowestUnconfirmed);
}
