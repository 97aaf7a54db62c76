#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

// Waiting in tests: run the Qt event loop until something holds, never
// for a fixed guess of how long it takes.
namespace TestSupport {

// Processes Qt events until cond holds or timeoutMs pass; returns cond().
inline bool ProcessUntil(const std::function<bool()>& cond, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > timeoutMs)
            return cond();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Processes Qt events for ms milliseconds.
inline void ProcessFor(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
}

}  // namespace TestSupport
