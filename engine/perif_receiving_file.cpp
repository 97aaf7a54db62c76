#include "engine/perif_receiving_file.h"

#include <algorithm>
#include <string>

#include "calls/list_item_file.h"
#include "engine/perif_calls.h"
#include "engine/perif_modem.h"
#include "engine/perif_protikus.h"
#include "engine/uniset.h"

using namespace FileFrames;

VPerifReceivingFile::VPerifReceivingFile(VUniSET* owner) : VPerif(owner) {}

void VPerifReceivingFile::start(uint32_t now)
{
    restart(now);
}

void VPerifReceivingFile::restart(uint32_t now)
{
    reset(now);
}

void VPerifReceivingFile::reset(uint32_t)
{
    dropCurrent();
}

bool VPerifReceivingFile::isBusy() const
{
    return current != nullptr;
}

bool VPerifReceivingFile::isIdle() const
{
    return current == nullptr;
}

void VPerifReceivingFile::abandon(uint32_t now, Protikus* party)
{
    if (party && party == remote)
        restart(now);
}

void VPerifReceivingFile::dropCurrent()
{
    if (current) {
        if (current->getState() == 5)
            current->setState(6);
        current->release();
    }
    current = nullptr;
    remote = nullptr;
    rangeCount = 0;
    started = false;
}

std::string VPerifReceivingFile::callNumber() const
{
    const VPerifCalls& calls = modem().calls();
    for (int i = 0; i < VPerifCalls::RowCount; ++i)
        if (&calls.row(i).remote == remote)
            return calls.row(i).number;
    return std::string();
}

void VPerifReceivingFile::reply(uint32_t now, uint8_t kind)
{
    const uint8_t payload[2] = {kind, InfoFileName};
    // Accept and Name received carry the flags of the file name; Complete
    // carries only its kind.
    sendFrame(now, Reply, payload, kind == Complete ? 1 : 2);
}

void VPerifReceivingFile::onFrame(uint32_t now)
{
    // A call being hung up gets no more answers: its escape needs a quiet
    // line.
    if (modem().calls().isHangingUp())
        return;
    const TInputBuffer& rx = owner->getRxBuffer();
    const int length = int(rx.length()) - 6;
    if (length < 0)
        return;
    const auto* frame = reinterpret_cast<const uint8_t*>(rx.data());
    const uint8_t type = frame[4];
    const uint8_t* payload = frame + 5;
    if (!current) {
        if (type == Offer)
            onOffer(now, payload, length);
        // The sender repeats End until it hears Complete: a Complete lost
        // after the file was taken would keep it repeating all call long.
        else if (type == End)
            reply(now, Complete);
        return;
    }
    switch (type) {
    case Offer: onOffer(now, payload, length); break;
    case Name: onName(now, payload, length); break;
    case Block: onBlock(now, payload, length); break;
    case End: onEnd(now); break;
    default: break;
    }
}

void VPerifReceivingFile::onOffer(uint32_t now, const uint8_t* payload, int length)
{
    if (length < 3)
        return;
    // Without the other station known nothing would ever let go of the
    // transfer when the call ends.
    Protikus* party = modem().protikus().getCurrent();
    if (!party)
        return;
    // An Offer after a Name or a Block begins another file: the sender has
    // given up the one before.
    if (current && started)
        dropCurrent();
    remote = party;
    if (!current) {
        current = owner->addReceivedFile();
        current->hold();
    }
    current->setPeerNumber(callNumber());
    current->setSize(Get24(payload));
    current->setProgress(0);
    current->setState(5);
    rangeCount = 0;
    nextExpected = 0;
    started = false;
    reply(now, Accept);
}

void VPerifReceivingFile::onName(uint32_t now, const uint8_t* payload, int length)
{
    if (length < 1)
        return;
    started = true;
    if (payload[0] == InfoFileName && current->getPath().empty())
        current->setRemoteName(std::string(reinterpret_cast<const char*>(payload + 1), size_t(length - 1)));
    reply(now, NameReceived);
}

void VPerifReceivingFile::addGaps(int64_t limit)
{
    while (rangeCount < RangeSlots && nextExpected < limit) {
        const int64_t end = std::min(nextExpected + RangeSize, limit);
        ranges[size_t(rangeCount++)] = TRange{nextExpected, end};
        nextExpected = end;
    }
}

void VPerifReceivingFile::onBlock(uint32_t now, const uint8_t* payload, int length)
{
    if (length < BlockHeader)
        return;
    const int64_t offset = Get24(payload);
    const int64_t count = Get16(payload + 3);
    // A count the frame does not hold, or data past the offered size, is
    // no Block of this file.
    if (count > length - BlockHeader || offset + count > current->getSize())
        return;
    started = true;
    current->writeBlock(offset, int(count), payload + BlockHeader);

    // Gaps this Block fills are no longer missing.
    for (int i = rangeCount - 1; i >= 0; --i) {
        const TRange& r = ranges[size_t(i)];
        if (r.start >= offset && r.end <= offset + count) {
            std::copy(ranges.begin() + i + 1, ranges.begin() + rangeCount, ranges.begin() + i);
            --rangeCount;
        }
    }
    // A jump ahead leaves gaps; once they reach the Block, it is in order.
    if (nextExpected < offset)
        addGaps(offset);
    if (nextExpected == offset)
        nextExpected += count;
    sendAck(now, offset + count);

    int64_t progress = nextExpected;
    for (int i = 0; i < rangeCount; ++i)
        progress = std::min(progress, ranges[size_t(i)].start);
    current->setProgress(std::clamp<int64_t>(progress, 0, current->getSize()));
}

void VPerifReceivingFile::onEnd(uint32_t now)
{
    const int64_t size = current->getSize();
    addGaps(size);
    if (rangeCount > 0 || nextExpected < size) {
        sendAck(now, size);
        return;
    }
    reply(now, Complete);
    // A row whose file failed stays failed: what it holds is not the file.
    if (current->getState() != 6)
        current->setState(current->isSaved() ? 8 : 7);
    dropCurrent();
}

void VPerifReceivingFile::sendAck(uint32_t now, int64_t acknowledged)
{
    std::array<uint8_t, AckFixed + AckRange * RangeSlots> payload{};
    uint8_t* p = payload.data();
    *p++ = Ack;
    Put24(p, uint32_t(acknowledged));
    p += 3;
    for (int i = 0; i < rangeCount; ++i) {
        const TRange& r = ranges[size_t(i)];
        Put24(p, uint32_t(r.start));
        Put16(p + 3, uint32_t(r.end - r.start));
        p += AckRange;
    }
    Put24(p, uint32_t(nextExpected));
    p += 3;
    sendFrame(now, Reply, payload.data(), int(p - payload.data()));
}
