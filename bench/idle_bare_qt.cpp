// The floor the idle benchmark compares the program with: a bare Qt
// Widgets program with an 800 x 600 main window and one precise 10 ms
// timer whose tick does nothing. idle_cost_bench starts it as a child
// process; it ends when its parent does.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <csignal>
#include <sys/prctl.h>

int main(int argc, char* argv[])
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(800, 600);
    window.show();
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(10);
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    return app.exec();
}
