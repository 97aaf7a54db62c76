// The end of the user's session: SIGTERM and SIGHUP (through a pipe, so the
// work runs on the main thread) and the session manager's request to save.
// Either way the staged close runs with its forced port close, and the wait
// for it is bounded.
#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QThread>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "app/app_info.h"
#include "app/form_main.h"
#include "foundation/utils.h"
#include "platform/tick.h"

namespace {

int SignalPipe[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost.
    [[maybe_unused]] const ssize_t n = ::write(SignalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

bool TFormMain::InstallTerminationSignals()
{
    if (SignalPipe[0] >= 0)
        return true;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    SignalPipe[0] = fds[0];
    SignalPipe[1] = fds[1];
    struct sigaction sa {};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    const bool ok = ::sigaction(SIGTERM, &sa, nullptr) == 0 && ::sigaction(SIGHUP, &sa, nullptr) == 0;
    return ok;
}

void TFormMain::setUpSessionHandling()
{
    if (SignalPipe[0] >= 0) {
        signalNotifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, this);
        connect(signalNotifier, &QSocketNotifier::activated, this, [this] { terminationSignalArrived(); });
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager& manager) { commitDataRequest(manager); }, Qt::DirectConnection);
}

void TFormMain::removeSessionHandling()
{
    if (signalNotifier) {
        signalNotifier->setEnabled(false);
        signalNotifier->deleteLater();
        signalNotifier = nullptr;
    }
    if (auto* app = QCoreApplication::instance())
        disconnect(app, nullptr, this, nullptr);
}

void TFormMain::terminationSignalArrived()
{
    char buffer[16];
    while (::read(SignalPipe[0], buffer, sizeof buffer) > 0) {
    }
    endSession();
}

void TFormMain::commitDataRequest(QSessionManager& manager)
{
    if (closeDone)
        return;
    if (!configClean && !closeQueryAsked && !closeQueryBusy && manager.allowsInteraction()) {
        closeQueryAsked = closeQueryBusy = true;
        const int answer = VTixAppInfo1->MessageBox2(confirmSaveQuestion(), MsgBox::MB_YESNOCANCEL);
        closeQueryBusy = false;
        manager.release();
        if (answer == MsgBox::IDCANCEL) {
            closeQueryAsked = false;
            manager.cancel();
            return;
        }
        if (answer == MsgBox::IDYES) {
            if (!saveConfig(configFileName)) {
                closeQueryAsked = false;
                manager.cancel();
                return;
            }
        } else {
            configClean = true;
        }
    }
    endSession();
}

void TFormMain::endSession()
{
    if (closeDone)
        return;
    sessionEnding = true;
    if (closeQueryBusy) {
        // The save question is on screen: it goes, counted as "No".
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    } else if (!closeQueryAsked) {
        closeQueryAsked = true;
        configClean = true;
    }
    close();
    runCloseToEnd(SessionCloseLimit);
}

void TFormMain::runCloseToEnd(uint32_t limit)
{
    const uint32_t start = Platform::GetTickCount();
    while (!closeDone && !Utils::IsTickElapsed(start, limit, Platform::GetTickCount())) {
        if (!tickGuard)
            tick();
        else if (closing)
            close();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!closeDone)
            QThread::msleep(5);
    }
    if (!closeDone)
        closeFinished();  // the engine never finished: go all the same
    close();
    QCoreApplication::processEvents();
    QCoreApplication::quit();
}
