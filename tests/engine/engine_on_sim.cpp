#include "tests/engine/engine_on_sim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "platform/tick.h"
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

bool TEngineOnSim::RunUntil(const std::function<bool()>& cond, int timeoutMs, bool ticking)
{
    QElapsedTimer timer;
    timer.start();
    qint64 lastTick = -10;
    while (!cond()) {
        if (timer.elapsed() > timeoutMs)
            return cond();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (ticking && engine && timer.elapsed() - lastTick >= 10) {
            lastTick = timer.elapsed();
            if (passPhonebookPause)
                TestSupport::PassPhonebookPause(engine->getHandlers());
            engine->tick(Platform::GetTickCount());
        }
        QThread::msleep(1);
    }
    return true;
}

void TEngineOnSim::RunFor(int ms, bool ticking)
{
    QElapsedTimer timer;
    timer.start();
    RunUntil([&] { return timer.elapsed() >= ms; }, ms + 1000, ticking);
}

}  // namespace EngineTest
