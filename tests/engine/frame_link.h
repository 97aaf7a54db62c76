#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/engine/transfer_rig.h"

// `size` bytes of a seeded generator: the same file on every run.
std::string SeededBytes(size_t size, uint32_t seed);

// What one direction of a frame link does to the frames it carries:
// seeded, so that every run loses and damages the same frames.
struct TFrameFilter {
    // Kinds of frames: the type of the sender's frames (0x40 Offer ...),
    // ReplyKind + the kind of a receiver's answer (type 0, first payload
    // byte), the type of any other frame.
    static constexpr int ReplyKind = 0x100;
    static constexpr int Accept = ReplyKind + 0x40, Complete = ReplyKind + 0x41, Ack = ReplyKind + 0x42,
                         NameReceived = ReplyKind + 0x43;
    static int KindOf(const std::string& frame);

    explicit TFrameFilter(uint32_t seed = 1) : random(seed) {}

    // Whole frames lost, and frames with one bit flipped after the two
    // length bytes (the check byte catches it), in percent.
    int lossPercent = 0;
    int corruptPercent = 0;
    // Drops the n-th frame (1 = the first) of a kind.
    std::map<int, int> dropNth;
    // Raises the low length byte of the n-th frame of a kind by one: the
    // receiving engine takes the next frame's first byte into it.
    std::map<int, int> raiseNth;

    // One-way delay: what a station writes arrives at the first turn at
    // least this long later (and never in the turn it was written). A
    // share of the frames is held back a further 1..reorderMs, so that
    // later frames overtake them.
    uint32_t delayMs = 0;
    int reorderPercent = 0;
    uint32_t reorderMs = 0;

    // Frames of each kind seen, lost (dropped included), damaged and held
    // back.
    std::map<int, int> seen, lost, damaged, reordered;

    // The bytes one station wrote in a turn, as the other receives them.
    std::string pass(const std::string& bytes);
    // The same, on the way: written at `now`, they arrive by `arrive`.
    void carry(uint32_t now, const std::string& bytes);
    // What has arrived by `now`, in the order of arrival.
    std::string arrive(uint32_t now);

    std::mt19937 random;

private:
    // The frames (and other bytes) that pass, each on its own.
    std::vector<std::string> pieces(const std::string& bytes);
    // On the way: arrival time, then the order of writing.
    std::multimap<uint32_t, std::string> onTheWay;
};

// Two stations of this program on the handler rig (both GM22, model part
// 0x102) in one data call: the first dialled the second. Each turn moves
// the one clock on by 10 ms, hands each station what the other wrote and
// what has come through the filter of that direction by now (what was
// written in the turn before, without a delay) and ticks both engines.
// Deterministic: no real time, no waiting.
class TFrameLink {
public:
    static const std::string CallerNumber;
    static const std::string CalleeNumber;

    explicit TFrameLink(uint32_t start = 100000);

    // The call: the caller's row active by the echo of its dial, the
    // callee's by RING and its answer; "CONNECT 9600" on both. Then turns
    // until both know each other's capabilities (the caller asks when it
    // has files queued for the callee); false when that fails.
    bool connect(uint32_t limitMs = 10000);
    void turn();
    // Turns until cond holds or limitMs of link time passed; cond().
    bool runUntil(const std::function<bool()>& cond, uint32_t limitMs);
    // Link time in ms since the link was made.
    uint32_t elapsed() const { return now - begin; }

    TTransferRig caller;
    TTransferRig callee;
    TFrameFilter toCallee{11};
    TFrameFilter toCaller{22};

private:
    uint32_t now;
    uint32_t begin;
};
