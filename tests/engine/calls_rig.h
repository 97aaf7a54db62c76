#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/perif_calls.h"
#include "engine/perif_protikus.h"
#include "tests/engine/handler_rig.h"
#include "tests/engine/status_stubs.h"

// The handler rig with the call and remote-party handlers real and every
// other slot a stand-in that reports a started, registered device of the
// chosen maker and model and sends nothing. The file sender and receiver
// stand-ins (and the remote-party handler) note when a call is let go.
struct TCallsRig : THandlerRig {
    explicit TCallsRig(int maker = 0x1000, int model = 0x301, uint32_t start = 100000);

    // Answers the start-up commands (call reports for Ericsson, caller
    // identification, phone activity 0): every row free, the handler
    // settled.
    void settle();
    // The engine's tick every 10 ms for `ms`; returns what was written.
    std::string runSent(uint32_t ms);
    // Row states, "0 0 6 0 0 0 0 0".
    std::string states();
    // The echo of a command and its final result.
    void reply(const std::string& command, const std::string& final = "OK");

    // Bytes from hex pairs ("80 08 B0"), and as hex pairs.
    static std::string Bytes(const std::string& hex);
    static std::string Hex(const std::string& bytes);
    // A frame as the other station sends it: the hex bytes and their check byte.
    static std::string Frame(const std::string& hexWithoutSum);

    VPerifCalls& calls() { return modem.calls(); }
    VPerifProtikus& protikus() { return modem.protikus(); }

    TStubStatus status;
    // "protikus", "sender", "receiver": who was told that a call ended.
    std::vector<std::string> abandoned;
};
