#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/uniset.h"
#include "serial/test_port.h"
#include "serial/vtscomm32.h"
#include "tests/engine/recording_window.h"
#include "tests/modemsim/modem_sim.h"

class QCoreApplication;

namespace EngineTest {

// The one QCoreApplication of a test program (the serial component raises
// its events from the event loop).
QCoreApplication& CoreApp();

// A simulated device on a pseudo-terminal, the real serial port component
// opened on it, and an engine over both with a recording window. Received
// chunks go to the engine byte by byte with one tick per chunk, as the
// main window's receive handler does.
class TEngineOnSim {
public:
    explicit TEngineOnSim(ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35"));
    // With the simulator's full options (its own clock, line pacing).
    explicit TEngineOnSim(ModemSim::TSimOptions options);
    ~TEngineOnSim();

    // Starts the simulator, opens the port and starts the engine; false
    // (with a reason) when any of it fails.
    bool Boot(std::string* error = nullptr);

    // Before Boot: open the port through the serial component's test port
    // on the simulator's modem lines, so that RTS and DTR reach the device
    // and baud changes are recorded.
    void UseTestPort() { useTestPort = true; }
    // The test port factory (null without UseTestPort).
    Serial::TTestPortFactory* TestPorts() { return testPorts.get(); }
    // Runs after the simulator started and before the port opens.
    std::function<void(ModemSim::TModemSim&)> beforeOpen;

    // Device and program on one clock that runs ahead while nothing is on
    // its way (tests/support/device_time.h): the options for the rig's
    // constructor, and the switch (before running) that lets it run ahead.
    static ModemSim::TSimOptions OnDeviceTime(ModemSim::TProfile profile);
    bool skipIdleTime = false;
    // Runs (ticking) until `ms` of device time have passed.
    bool RunForDeviceTime(int64_t ms);

    // The phonebook handler's pause before reading is passed by moving
    // the tick clock (tests/support/phonebook_pause.h), not waited out.
    bool passPhonebookPause = true;

    // Runs the event loop (and the engine's 10 ms tick when `ticking`)
    // until cond holds or the time-out passes; returns cond().
    bool RunUntil(const std::function<bool()>& cond, int timeoutMs, bool ticking = true);
    void RunFor(int ms, bool ticking = true);

    ModemSim::TModemSim& Sim() { return *sim; }
    TVTSComm32& Port() { return port; }
    VUniSET& Engine() { return *engine; }
    TRecordingWindow window;
    // Every byte that reached the engine, and the lines it completed.
    std::string received;
    std::vector<std::string> completed;

private:
    std::unique_ptr<ModemSim::TModemSim> sim;
    bool useTestPort = false;
    // Outlives the port, whose openings it made.
    std::unique_ptr<Serial::TTestPortFactory> testPorts;
    TVTSComm32 port;
    std::unique_ptr<VUniSET> engine;
    std::string pending;
};

// Calls: two engines on two (linked) simulated devices, both ticked every
// 10 ms in one loop until cond holds or the time-out passes; returns cond().
bool RunBoth(TEngineOnSim& a, TEngineOnSim& b, const std::function<bool()>& cond, int timeoutMs);

}  // namespace EngineTest
