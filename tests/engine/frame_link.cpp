#include "tests/engine/frame_link.h"

#include <algorithm>

#include "engine/perif_protikus.h"
#include "engine/protikus.h"

std::string SeededBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = char(random() & 0xFF);
    return bytes;
}

const std::string TFrameLink::CallerNumber = "+420601000001";
const std::string TFrameLink::CalleeNumber = "+420601000002";

int TFrameFilter::KindOf(const std::string& frame)
{
    if (frame.size() < 6 || (uint8_t(frame[0]) & 0xF0) != 0x80)
        return -1;
    const auto type = uint8_t(frame[4]);
    if (type == 0 && frame.size() > 6)
        return ReplyKind + uint8_t(frame[5]);
    return type;
}

std::string TFrameFilter::pass(const std::string& bytes)
{
    std::string out;
    for (const std::string& piece : pieces(bytes))
        out += piece;
    return out;
}

void TFrameFilter::carry(uint32_t now, const std::string& bytes)
{
    for (std::string& piece : pieces(bytes)) {
        // `now` is link time (it does not wrap with the tick); a frame
        // never arrives in the turn it was written.
        uint32_t at = now + std::max<uint32_t>(delayMs, 1);
        if (reorderPercent > 0 && reorderMs > 0 && KindOf(piece) >= 0 && int(random() % 100) < reorderPercent) {
            at += 1 + random() % reorderMs;
            ++reordered[KindOf(piece)];
        }
        onTheWay.emplace(at, std::move(piece));
    }
}

std::string TFrameFilter::arrive(uint32_t now)
{
    std::string out;
    while (!onTheWay.empty() && onTheWay.begin()->first <= now) {
        out += onTheWay.begin()->second;
        onTheWay.erase(onTheWay.begin());
    }
    return out;
}

std::vector<std::string> TFrameFilter::pieces(const std::string& bytes)
{
    std::vector<std::string> out;
    for (std::string piece : TTransferRig::SplitRaw(bytes)) {
        const int kind = KindOf(piece);
        if (kind < 0) {
            out.push_back(std::move(piece));
            continue;
        }
        const int n = ++seen[kind];
        const auto drop = dropNth.find(kind);
        if ((drop != dropNth.end() && drop->second == n) ||
            (lossPercent > 0 && int(random() % 100) < lossPercent)) {
            ++lost[kind];
            continue;
        }
        const auto raise = raiseNth.find(kind);
        if (raise != raiseNth.end() && raise->second == n) {
            piece[1] = char(uint8_t(piece[1]) + 1);
            ++damaged[kind];
        } else if (corruptPercent > 0 && int(random() % 100) < corruptPercent) {
            const size_t at = 2 + random() % (piece.size() - 2);
            piece[at] = char(uint8_t(piece[at]) ^ uint8_t(1u << (random() % 8)));
            ++damaged[kind];
        }
        out.push_back(std::move(piece));
    }
    return out;
}

TFrameLink::TFrameLink(uint32_t start) : caller(0x2000, 0x102, start), callee(0x2000, 0x102, start), now(start), begin(start)
{
}

bool TFrameLink::connect(uint32_t limitMs)
{
    caller.dialled(CalleeNumber);
    callee.answered(CallerNumber);
    now = begin = std::max(caller.now, callee.now);
    caller.now = callee.now = now;
    caller.sent();
    callee.sent();
    auto known = [](TTransferRig& station) {
        const Protikus* party = station.protikus().getCurrent();
        return party && !party->isCapabilitiesMissing();
    };
    return runUntil([&] { return known(caller) && known(callee); }, limitMs);
}

void TFrameLink::turn()
{
    now += 10;
    caller.now = callee.now = now;
    // Link time, which does not wrap with the tick.
    const uint32_t t = elapsed();
    caller.line(toCaller.arrive(t));
    callee.line(toCallee.arrive(t));
    caller.engine.tick(now);
    callee.engine.tick(now);
    toCallee.carry(t, caller.sent());
    toCaller.carry(t, callee.sent());
}

bool TFrameLink::runUntil(const std::function<bool()>& cond, uint32_t limitMs)
{
    const uint32_t until = elapsed() + limitMs;
    while (!cond()) {
        if (elapsed() >= until)
            return false;
        turn();
    }
    return true;
}
