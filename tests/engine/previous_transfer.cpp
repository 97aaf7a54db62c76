// The previous release's file sender and receiver, step for step; only
// the names of their fields differ, and the message texts are left out.
#include "tests/engine/previous_transfer.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "calls/list_item_file.h"
#include "engine/main_window_link.h"
#include "engine/perif_calls.h"
#include "engine/perif_modem.h"
#include "engine/perif_protikus.h"
#include "engine/protikus.h"

using namespace FileFrames;

// ---- Sender --------------------------------------------------------------------

TPreviousSender::~TPreviousSender()
{
    if (fd >= 0)
        ::close(fd);
}

void TPreviousSender::start(uint32_t now) { restart(now); }
void TPreviousSender::restart(uint32_t now) { reset(now); }

void TPreviousSender::reset(uint32_t)
{
    if (item && item->getState() == 2)
        item->setState(4);
    dropCurrent();
}

bool TPreviousSender::isBusy() const { return item != nullptr || fd >= 0; }

void TPreviousSender::abandon(uint32_t now, Protikus* which)
{
    if (which && which == party)
        restart(now);
}

void TPreviousSender::dropCurrent()
{
    if (item)
        item->release();
    item = nullptr;
    party = nullptr;
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void TPreviousSender::beginTransfer(VListItemFile* row, int blockSize)
{
    if (!row)
        return;
    if (item || fd >= 0) {
        window().messageBox("busy", "ERROR", VMainWindowLink::MB_ICONEXCLAMATION);
        return;
    }
    const int opened = ::open(row->getPath().c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat st {};
    if (opened < 0 || ::fstat(opened, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > MaxSize) {
        if (opened >= 0)
            ::close(opened);
        row->setState(4);
        window().messageBox2("cannot send", VMainWindowLink::MB_ICONEXCLAMATION);
        return;
    }
    fd = opened;
    fileBytes = st.st_size;
    item = row;
    item->hold();
    item->setSize(fileBytes);
    item->setState(2);
    size = std::clamp(blockSize, 1, MaxBlockSize);
    gapCount = 0;
    offset = 0;
    flags = 0;
    wishes = 0xFF;
    party = modem().protikus().getCurrent();
}

void TPreviousSender::endTransfer(bool ok)
{
    if (!item)
        return;
    const auto it = std::find(queue.begin(), queue.end(), item);
    if (it != queue.end()) {
        queue.erase(it);
        item->release();
    }
    item->setState(ok ? 3 : 4);
    if (ok)
        item->setProgress(fileBytes);
    dropCurrent();
}

void TPreviousSender::startFromQueue()
{
    VPerifModem& m = modem();
    const VPerifCalls& calls = m.calls();
    const int r = calls.singleActiveDataCall();
    if (r < 0)
        return;
    Protikus* other = m.protikus().getCurrent();
    if (!other || other->isCapabilitiesMissing() || !other->acceptsFiles())
        return;
    for (VListItemFile* row : queue) {
        if (row->getState() == 1 && row->getPeerNumber() == calls.row(r).number) {
            beginTransfer(row, AutoBlockSize);
            other->idleMark = false;
            return;
        }
    }
}

void TPreviousSender::dataTick(uint32_t now)
{
    if (party)
        party->idleMark = false;
    if (!item && fd < 0 && queue.empty())
        return;
    const VPerifModem& m = modem();
    for (int i = 0; i < VPerifModem::HandlerCount; ++i) {
        if (i == VPerifModem::hSendingFile || i == VPerifModem::hReceivingFile)
            continue;
        const VPerif* h = m.handlerAt(i);
        if (h && h->isBusy())
            return;
    }
    if (!item && fd < 0)
        startFromQueue();
    if (!item || fd < 0)
        return;
    uint32_t pause = RepeatPause;
    if ((flags & 0xF) == (pfAccepted | pfNamed) && party)
        pause = party->getBlockInterval();
    if (!elapsed(pause, now))
        return;
    if (!(flags & pfAccepted)) {
        uint8_t bytes[3];
        Put24(bytes, uint32_t(fileBytes));
        sendFrame(now, Offer, bytes, 3);
    } else if (!(flags & pfNamed)) {
        if (wishes & InfoFileName) {
            const std::string name = FileNameOf(item->getPath()).substr(0, NameLimit);
            uint8_t payload[1 + NameLimit];
            payload[0] = InfoFileName;
            std::copy(name.begin(), name.end(), payload + 1);
            sendFrame(now, Name, payload, int(1 + name.size()));
        } else {
            flags |= pfNamed;
        }
    } else if (!(flags & pfAllSent)) {
        sendNextBlock(now);
    } else if (!(flags & pfComplete)) {
        if (!sendNextBlock(now) && item)
            sendFrame(now, End, nullptr, 0);
    } else {
        endTransfer(true);
    }
}

bool TPreviousSender::sendNextBlock(uint32_t now)
{
    if (!item || fd < 0)
        return false;
    int64_t at;
    int64_t count;
    if (gapCount > 0) {
        TRange& gap = gaps[0];
        at = gap.start;
        count = std::min<int64_t>(gap.end - gap.start, size);
        if (gap.end - gap.start > size)
            gap.start += count;
    } else {
        if (offset >= fileBytes) {
            flags |= pfAllSent;
            return false;
        }
        at = offset;
        count = std::min<int64_t>(size, fileBytes - at);
    }
    if (at == offset)
        offset += count;
    const ssize_t got = ::pread(fd, buffer.data() + BlockHeader, size_t(count), off_t(at));
    if (got <= 0) {
        endTransfer(false);
        return false;
    }
    Put24(buffer.data(), uint32_t(at));
    Put16(buffer.data() + 3, uint32_t(got));
    sendFrame(now, Block, buffer.data(), BlockHeader + int(got));
    return true;
}

void TPreviousSender::onFrameSent(uint32_t now)
{
    const TInputBuffer& tx = owner->getTxBuffer();
    if (tx.length() >= 6 && tx.at(4) >= Offer && tx.at(4) <= Name)
        setLastSendTime(now);
}

void TPreviousSender::onFrame(uint32_t)
{
    if (!party)
        return;
    const TInputBuffer& rx = owner->getRxBuffer();
    const int length = int(rx.length()) - 6;
    const auto* frame = reinterpret_cast<const uint8_t*>(rx.data());
    if (length < 1 || frame[4] != Reply)
        return;
    const uint8_t* payload = frame + 5;
    switch (payload[0]) {
    case Accept:
        if (length >= 2 && !(flags & pfAccepted)) {
            flags |= pfAccepted;
            wishes = payload[1];
        }
        break;
    case NameReceived:
        if (length >= 2)
            wishes = uint8_t(wishes & ~payload[1]);
        break;
    case Complete:
        if (flags & pfAllSent)
            flags |= pfComplete;
        break;
    case Ack:
        readAck(payload, length);
        break;
    default:
        break;
    }
}

void TPreviousSender::readAck(const uint8_t* payload, int length)
{
    if (length < AckFixed || (length - AckFixed) % AckRange != 0)
        return;
    const int count = (length - AckFixed) / AckRange;
    const int64_t acknowledged = Get24(payload + 1);
    int64_t resume = Get24(payload + length - 3);
    gapCount = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* range = payload + 4 + AckRange * i;
        const int64_t start = Get24(range);
        if (i >= RangeSlots) {
            resume = std::min(resume, start);
            continue;
        }
        const int64_t end = std::min<int64_t>(start + Get16(range + 3), fileBytes);
        if (start < end)
            gaps[size_t(gapCount++)] = TRange{start, end};
    }
    resume = std::min(resume, fileBytes);
    if (resume != acknowledged)
        offset = resume;
    int64_t lowest = resume;
    for (int i = 0; i < gapCount; ++i)
        lowest = std::min(lowest, gaps[size_t(i)].start);
    if (item)
        item->setProgress(lowest);
}

// ---- Receiver -------------------------------------------------------------------

void TPreviousReceiver::start(uint32_t now) { restart(now); }
void TPreviousReceiver::restart(uint32_t now) { reset(now); }
void TPreviousReceiver::reset(uint32_t) { dropCurrent(); }
bool TPreviousReceiver::isBusy() const { return item != nullptr; }
bool TPreviousReceiver::isIdle() const { return item == nullptr; }

void TPreviousReceiver::abandon(uint32_t now, Protikus* which)
{
    if (which && which == party)
        restart(now);
}

void TPreviousReceiver::dropCurrent()
{
    if (item) {
        if (item->getState() == 5)
            item->setState(6);
        item->release();
    }
    item = nullptr;
    party = nullptr;
    gapCount = 0;
    started = false;
}

void TPreviousReceiver::reply(uint32_t now, uint8_t kind)
{
    const uint8_t payload[2] = {kind, InfoFileName};
    sendFrame(now, Reply, payload, kind == Complete ? 1 : 2);
}

void TPreviousReceiver::addGaps(int64_t limit)
{
    while (gapCount < RangeSlots && expected < limit) {
        const int64_t end = std::min(expected + RangeSize, limit);
        gaps[size_t(gapCount++)] = TRange{expected, end};
        expected = end;
    }
}

void TPreviousReceiver::sendAck(uint32_t now, int64_t acknowledged)
{
    std::array<uint8_t, AckFixed + AckRange * RangeSlots> payload{};
    uint8_t* p = payload.data();
    *p++ = Ack;
    Put24(p, uint32_t(acknowledged));
    p += 3;
    for (int i = 0; i < gapCount; ++i) {
        Put24(p, uint32_t(gaps[size_t(i)].start));
        Put16(p + 3, uint32_t(gaps[size_t(i)].end - gaps[size_t(i)].start));
        p += AckRange;
    }
    Put24(p, uint32_t(expected));
    p += 3;
    sendFrame(now, Reply, payload.data(), int(p - payload.data()));
}

void TPreviousReceiver::onFrame(uint32_t now)
{
    const TInputBuffer& rx = owner->getRxBuffer();
    const int length = int(rx.length()) - 6;
    if (length < 0)
        return;
    const auto* frame = reinterpret_cast<const uint8_t*>(rx.data());
    const uint8_t type = frame[4];
    const uint8_t* payload = frame + 5;
    if (!item) {
        if (type == End) {
            reply(now, Complete);
            return;
        }
        if (type != Offer)
            return;
    }
    switch (type) {
    case Offer: {
        Protikus* other = modem().protikus().getCurrent();
        if (length < 3 || !other)
            return;
        if (item && started)
            dropCurrent();
        party = other;
        if (!item) {
            item = owner->addReceivedFile();
            item->hold();
        }
        const VPerifCalls& calls = modem().calls();
        for (int i = 0; i < VPerifCalls::RowCount; ++i)
            if (&calls.row(i).remote == party)
                item->setPeerNumber(calls.row(i).number);
        item->setSize(Get24(payload));
        item->setProgress(0);
        item->setState(5);
        gapCount = 0;
        expected = 0;
        started = false;
        reply(now, Accept);
        break;
    }
    case Name:
        if (length < 1)
            return;
        started = true;
        if (payload[0] == InfoFileName && item->getPath().empty())
            item->setRemoteName(std::string(reinterpret_cast<const char*>(payload + 1), size_t(length - 1)));
        reply(now, NameReceived);
        break;
    case Block: {
        if (length < BlockHeader)
            return;
        const int64_t at = Get24(payload);
        const int64_t count = Get16(payload + 3);
        if (count > length - BlockHeader || at + count > item->getSize())
            return;
        started = true;
        item->writeBlock(at, int(count), payload + BlockHeader);
        for (int i = gapCount - 1; i >= 0; --i) {
            const TRange& r = gaps[size_t(i)];
            if (r.start >= at && r.end <= at + count) {
                std::copy(gaps.begin() + i + 1, gaps.begin() + gapCount, gaps.begin() + i);
                --gapCount;
            }
        }
        if (expected < at)
            addGaps(at);
        if (expected == at)
            expected += count;
        sendAck(now, at + count);
        int64_t progress = expected;
        for (int i = 0; i < gapCount; ++i)
            progress = std::min(progress, gaps[size_t(i)].start);
        item->setProgress(std::clamp<int64_t>(progress, 0, item->getSize()));
        break;
    }
    case End: {
        const int64_t total = item->getSize();
        addGaps(total);
        if (gapCount > 0 || expected < total) {
            sendAck(now, total);
            return;
        }
        reply(now, Complete);
        if (item->getState() != 6)
            item->setState(item->isSaved() ? 8 : 7);
        dropCurrent();
        break;
    }
    default:
        break;
    }
}
