#include "tests/engine/frame_link.h"

#include <algorithm>

#include "engine/perif_protikus.h"
#include "engine/protikus.h"

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
    for (std::string piece : TTransferRig::SplitRaw(bytes)) {
        const int kind = KindOf(piece);
        if (kind < 0) {
            out += piece;
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
        out += piece;
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
    // What each wrote in the turn before arrives now.
    std::string in;
    in.swap(pendingToCaller);
    caller.line(in);
    in.clear();
    in.swap(pendingToCallee);
    callee.line(in);
    caller.engine.tick(now);
    callee.engine.tick(now);
    pendingToCallee = toCallee.pass(caller.sent());
    pendingToCaller = toCaller.pass(callee.sent());
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
