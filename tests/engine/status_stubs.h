#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/uniset.h"
#include "tests/engine/recording_window.h"

// What the start-up handlers (link watcher, power, error mode, maker,
// model, SIM PIN, registration) report, set by a test. Their stand-ins send
// nothing and wait for nothing, so that the operator, signal, clock, alarm
// and battery handlers can be driven line by line with chosen ticks.
struct TStubStatus {
    bool answering = true;
    bool fullPower = true;
    bool steady = true;
    bool simReady = true;
    int powerMode = 1;
    int regStat = 1;
    int makerCode = 0xF000;
    int modelCode = 0x00F;
    // The clock handler's stand-in (used where the clock is not under test).
    bool clockResolved = true;
    int clockOffset = 0;
};

// Puts a stand-in into every slot of the engine's container except those
// in `real`: the start-up handlers and the clock report `status`, every
// other one is quiet (sends nothing, waits for nothing). `status` must
// outlive the engine.
void InstallStatusStubs(VUniSET& engine, TStubStatus& status, std::initializer_list<int> real);

// An engine without a port, a recording window, the start-up stand-ins
// and the PC clock pinned to a chosen time. Lines written by the handlers
// are read from the window's terminal log.
class TStatusRig {
public:
    // `real`: the slots that keep their real handlers. `pcNow`: the PC's
    // date-time for Tixutils::Now() (days since 1899-12-30). The engine
    // is started and restarted at tick `t0`.
    explicit TStatusRig(std::initializer_list<int> real, double pcNow = 37598.4);
    ~TStatusRig();
    TStatusRig(const TStatusRig&) = delete;
    TStatusRig& operator=(const TStatusRig&) = delete;

    // Feeds one received line (give it its CR LF) at tick `now`.
    void line(uint32_t now, const std::string& text);
    // The handlers' polling tick / the engine's whole tick.
    void poll(uint32_t now) { engine.poll(now); }
    void tick(uint32_t now) { engine.tick(now); }
    // Lines written since the last call, without their CR.
    std::vector<std::string> sent();
    // Polls at `now` and returns what that wrote (empty: nothing).
    std::string pollSent(uint32_t now);
    // Answers: echo of the command, the info lines, then the final code.
    void answer(uint32_t now, const std::string& command, const std::vector<std::string>& info,
                const std::string& final = "OK");
    void setPcNow(double value) { pcNow = value; }

    TRecordingWindow window;
    TStubStatus status;
    VUniSET engine{nullptr, &window};
    VPerifModem& modem = engine.getHandlers();
    uint32_t t0;
    double pcNow;

private:
    size_t seen = 0;
};

// Days since 1899-12-30 of a civil date and time.
double DateTimeOf(int year, int month, int day, int hour, int minute, int second);
