#include "tests/engine/engine_on_sim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>

#include "platform/tick.h"
#include "tests/support/device_time.h"
#include "tests/support/phonebook_pause.h"

namespace EngineTest {

QCoreApplication& CoreApp()
{
    static int argc = 1;
    static char name[] = "zelvitor-engine-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

TEngineOnSim::TEngineOnSim(ModemSim::TProfile profile)
{
    CoreApp();
    sim = std::make_unique<ModemSim::TModemSim>(std::move(profile));
}

TEngineOnSim::TEngineOnSim(ModemSim::TSimOptions options)
{
    CoreApp();
    sim = std::make_unique<ModemSim::TModemSim>(std::move(options));
}

TEngineOnSim::~TEngineOnSim()
{
    engine.reset();
    port.StopComm();
    sim->Stop();
}

bool TEngineOnSim::Boot(std::string* error)
{
    if (!sim->Start(error))
        return false;
    if (useTestPort) {
        testPorts = std::make_unique<Serial::TTestPortFactory>(sim->ModemLines());
        port.SetPortFactory(testPorts->Factory());
    }
    if (beforeOpen)
        beforeOpen(*sim);
    port.SetCommPort(sim->PtyPath());
    port.SetBaudRate(TBaudRate::__19200);
    port.SetReceiveDataEvent([this](VTixCommunicationComponent*, const char* buffer, uint16_t length) {
        const uint32_t now = Platform::GetTickCount();
        for (uint16_t i = 0; i < length; ++i) {
            const uint8_t b = uint8_t(buffer[i]);
            received += char(b);
            pending += char(b);
            if (engine && engine->receivedByte(now, b)) {
                completed.push_back(pending);
                pending.clear();
            }
        }
    });
    if (!port.StartComm()) {
        if (error)
            *error = "the port did not open: " + sim->PtyPath();
        return false;
    }
    engine = std::make_unique<VUniSET>(&port, &window);
    engine->start();
    return true;
}

namespace {

// Runs the event loop, and every 10 ms the tick of each rig's engine given
// (the phonebook pause passed where the rig asks for it), until cond holds
// or the time-out passes; returns cond().
bool RunTicking(const std::vector<TEngineOnSim*>& rigs, const std::function<bool()>& cond, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    qint64 lastTick = -10;
    TestSupport::TClockSkipper skipper;
    const bool skip = !rigs.empty() && std::all_of(rigs.begin(), rigs.end(), [](TEngineOnSim* r) { return r->skipIdleTime; });
    while (!cond()) {
        if (timer.elapsed() > timeoutMs)
            return cond();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (timer.elapsed() - lastTick >= 10) {
            lastTick = timer.elapsed();
            for (TEngineOnSim* rig : rigs) {
                if (rig->passPhonebookPause)
                    TestSupport::PassPhonebookPause(rig->Engine().getHandlers());
                rig->Engine().tick(Platform::GetTickCount());
            }
            if (skip) {
                if (rigs.size() == 1)
                    skipper.Skip({&rigs[0]->Sim()});
                else
                    skipper.Skip({&rigs[0]->Sim(), &rigs[1]->Sim()});
            }
        }
        QThread::msleep(1);
    }
    return true;
}

}  // namespace

bool TEngineOnSim::RunUntil(const std::function<bool()>& cond, int timeoutMs, bool ticking)
{
    std::vector<TEngineOnSim*> rigs;
    if (ticking && engine)
        rigs.push_back(this);
    return RunTicking(rigs, cond, timeoutMs);
}

void TEngineOnSim::RunFor(int ms, bool ticking)
{
    QElapsedTimer timer;
    timer.start();
    RunUntil([&] { return timer.elapsed() >= ms; }, ms + 1000, ticking);
}

ModemSim::TSimOptions TEngineOnSim::OnDeviceTime(ModemSim::TProfile profile)
{
    ModemSim::TSimOptions options;
    options.profile = std::move(profile);
    options.clock = TestSupport::DeviceClock();
    return options;
}

bool TEngineOnSim::RunForDeviceTime(int64_t ms)
{
    const int64_t end = sim->NowMs() + ms;
    // Bounded in host time: even a clock that never runs ahead ends.
    return RunUntil([&] { return sim->NowMs() >= end; }, static_cast<int>(ms / 2 + 20000));
}

bool RunBoth(TEngineOnSim& a, TEngineOnSim& b, const std::function<bool()>& cond, int timeoutMs)
{
    return RunTicking({&a, &b}, cond, timeoutMs);
}

}  // namespace EngineTest
