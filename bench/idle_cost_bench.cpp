// Idle cost of the main window, measured beside the floor of any Qt
// program. Run by hand (offscreen, never in CI):
//   build/bench/idle_cost_bench [--seconds N] [--rounds N] [--settle N]
//                               [--cpus PROGRAM,BARE | --cpus none] [--pages NAME,...]
//
// The real main window runs in this process on the simulated TC35 (the
// zelvitor-modemsim tool, a child process, so that the device's own work is
// not counted); beside it runs idle_bare_qt, a bare Qt Widgets program with
// an 800 x 600 window and one precise 10 ms timer. Once the program has
// started (device ready, signal, clock, alarm and battery known, the SMS
// listed and the phonebooks read, so no reading is counted) each page is
// put in front in turn, and after a short settling time the CPU time of both
// processes (utime + stime from /proc/<pid>/stat) is taken over the same
// interval, in several rounds. Per page it prints both as percent of one
// core over all rounds and their ratio, with the scheduler's finer figures
// beside them and the lowest and highest ratio of a single round.
//
// A 10 ms wake-up costs both processes 30-100 us on this kind of virtual
// machine, swinging by two times from second to second; the program's own
// work in an idle tick is a few microseconds. So a single 10 s round can
// show a ratio anywhere from 0.5 to 2.5: take many rounds.
// --cpus PROGRAM,BARE keeps each on a processor of its own, the two
// swapping processors every other round (or both on one: then each pays
// for the other's wake-ups); by default the scheduler places them.
//
// Pages are named by their objectName, so the list stays valid as pages
// gain content; the terminal is the tab of its docked form.
//
// Under callgrind each round's interval is dumped apart, named after its
// page, so its instruction count is the idle cost without the noise:
//   valgrind --tool=callgrind build/bench/idle_cost_bench --rounds 1 --seconds 20
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <signal.h>
#include <sstream>
#include <string>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

#include "app/app_info.h"
#include "app/form_main.h"
#include "app/form_main_controls.h"
#include "engine/perif_cala.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cclk.h"
#include "engine/perif_csq.h"
#include "engine/perif_phonebook.h"
#include "engine/perif_smss.h"
#include "engine/uniset.h"
#include "platform/qt/qt_text.h"
#include "platform/tick.h"
#include "tests/support/phonebook_pause.h"
#include "widgets/frame_cache_style.h"

namespace {

const char* const DefaultPages = "SheetGeneral,VTixTerminal1_Form,SheetSMS,SheetCalls,SheetPhonebook,SheetFiles";

struct TOptions {
    int seconds = 10;
    int rounds = 6;
    int settleSeconds = 5;
    // Processors of the program and the bare program, -1 for none.
    int programCpu = -1;
    int bareCpu = -1;
    std::vector<std::string> pages;
};

std::vector<std::string> SplitNames(const std::string& text)
{
    std::vector<std::string> names;
    std::stringstream in(text);
    for (std::string name; std::getline(in, name, ',');)
        if (!name.empty())
            names.push_back(name);
    return names;
}

[[noreturn]] void Fail(const std::string& why)
{
    std::fprintf(stderr, "idle_cost_bench: %s\n", why.c_str());
    std::exit(1);
}

TOptions ParseArguments(int argc, char* argv[])
{
    TOptions o;
    o.pages = SplitNames(DefaultPages);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            Fail("usage: idle_cost_bench [--seconds N] [--rounds N] [--settle N] [--cpus P,B|none] [--pages NAME,...]");
        const std::string value = argv[++i];
        if (arg == "--seconds")
            o.seconds = std::max(1, std::atoi(value.c_str()));
        else if (arg == "--rounds")
            o.rounds = std::max(1, std::atoi(value.c_str()));
        else if (arg == "--settle")
            o.settleSeconds = std::max(0, std::atoi(value.c_str()));
        else if (arg == "--cpus" && value == "none")
            o.programCpu = o.bareCpu = -1;
        else if (arg == "--cpus" && std::sscanf(value.c_str(), "%d,%d", &o.programCpu, &o.bareCpu) == 2 &&
                 o.programCpu >= 0 && o.bareCpu >= 0)
            continue;
        else if (arg == "--cpus")
            Fail("--cpus takes two processor numbers (program,bare) or none");
        else if (arg == "--pages")
            o.pages = SplitNames(value);
        else
            Fail("unknown argument " + arg);
    }
    return o;
}

// Fails unless this process may use both processors asked for.
void CheckProcessors(const TOptions& o)
{
    if (o.programCpu < 0)
        return;
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        Fail("cannot read the processors allowed");
    for (int c : {o.programCpu, o.bareCpu})
        if (c >= CPU_SETSIZE || !CPU_ISSET(c, &allowed))
            Fail("processor " + std::to_string(c) + " is not one this process may use");
}

// Keeps every thread a process has now, and those they make later, to one
// processor (a thread that ended meanwhile is passed over).
void PinProcess(pid_t pid, int cpu)
{
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& entry : std::filesystem::directory_iterator(tasks))
        ::sched_setaffinity(pid_t(std::atoi(entry.path().filename().c_str())), sizeof one, &one);
}

// A child process that ends with this one. With `out` its standard output
// comes back through a pipe.
pid_t Spawn(const std::vector<std::string>& argv, int* out = nullptr)
{
    int fds[2] = {-1, -1};
    if (out && ::pipe(fds) != 0)
        Fail("no pipe");
    const pid_t pid = ::fork();
    if (pid < 0)
        Fail("cannot fork");
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (out) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
        }
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        std::fprintf(stderr, "idle_cost_bench: cannot run %s: %s\n", args[0], std::strerror(errno));
        ::_exit(127);
    }
    if (out) {
        ::close(fds[1]);
        *out = fds[0];
    }
    return pid;
}

std::string ReadLine(int fd)
{
    std::string line;
    char c;
    while (::read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

// utime + stime of a process, in seconds.
double CpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold spaces: fields count from
    // after its closing parenthesis (field 3, the state, comes first).
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        Fail("cannot read /proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        else if (i == 15)
            stime = std::stoull(field);
    }
    return double(utime + stime) / double(::sysconf(_SC_CLK_TCK));
}

// Time on a CPU of all threads of a process, those ended included, in
// seconds, from the kernel's nanosecond count: a finer cross-check of the
// 10 ms clock ticks that utime and stime count in.
double ScheduledSeconds(pid_t pid)
{
    clockid_t clock;
    timespec t{};
    if (::clock_getcpuclockid(pid, &clock) != 0 || ::clock_gettime(clock, &t) != 0)
        Fail("cannot read the processor time of process " + std::to_string(pid));
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Runs the event loop as the program's own would run it, for ms.
void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until cond holds (checked every 50 ms) or timeoutMs pass.
bool RunUntil(const std::function<bool()>& cond, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        RunFor(50);
    }
    return true;
}

bool StartedOnDevice(TFormMain& w)
{
    if (!w.uniset)
        return false;
    VPerifModem& m = w.uniset->getHandlers();
    TestSupport::PassPhonebookPause(m);
    int rssi = -1, ber = -1;
    m.csq().getValues(rssi, ber);
    const int battery = m.cbc().getState();
    return Platform::FromQString(w.ShapeProgress->toolTip()) == "P\xF8ipraven" && rssi >= 0 &&
           m.cclk().getState() == 2 && m.cala().getState() == 2 && (battery == 1 || battery == 3) &&
           m.cbc().getCharge() >= 0 && m.smss().isInitialised() && m.smss().getLastListTick() != 0 &&
           m.phonebook().isReady() && !m.isBusy();
}

}  // namespace

int main(int argc, char* argv[])
{
    const TOptions options = ParseArguments(argc, argv);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    // A private home: the configuration, the registry's file and the
    // temporary folder live in a folder removed at the end.
    char homeTemplate[] = "/tmp/zelvitor-idle-XXXXXX";
    if (!::mkdtemp(homeTemplate))
        Fail("no temporary folder");
    const std::string home = homeTemplate;
    const std::string configHome = home + "/config";
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);

    int simOut = -1;
    const pid_t sim = Spawn({ZELVITOR_MODEMSIM, "--profile", "tc35"}, &simOut);
    const std::string pty = ReadLine(simOut);
    if (pty.empty())
        Fail("the simulated device did not start");
    // The device stays free to run anywhere; the two measured processes
    // are pinned at each round.
    CheckProcessors(options);
    const pid_t bare = Spawn({ZELVITOR_BARE_QT});

    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Zelvitor"));
    QApplication::setOrganizationName(QStringLiteral("Tix"));
    QApplication::setQuitOnLastWindowClosed(false);
    TFrameCacheStyle::Install();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(configHome));

    const std::string appFolder = home + "/Documents/Tix/Zelvitor/";
    const std::string cfg = appFolder + "Zelvitor.cfg";
    QDir().mkpath(QString::fromStdString(appFolder));
    {
        std::ofstream out(cfg, std::ios::binary);
        out << "[General]\r\nCommPort=" << pty << "\r\n";
    }
    {
        QSettings registry(QSettings::IniFormat, QSettings::UserScope, "Tix", "Zelvitor");
        registry.setValue("Options/ConfigFile", QString::fromStdString(cfg));
        registry.setValue("Options/TempDir", QString::fromStdString(appFolder));
    }

    auto window = std::make_unique<TFormMain>();
    FormMain = window.get();
    window->VTixAppInfo1->SetMessageBoxResponder(
        [](const std::string&, const std::string& text, unsigned) {
            std::fprintf(stderr, "idle_cost_bench: message box: %s\n", text.c_str());
            return int(MsgBox::IDNO);
        });
    window->createDialogs();
    window->resize(800, 600);
    window->show();

    if (options.programCpu >= 0)
        std::printf("Program on processor %d, bare program on processor %d.\n", options.programCpu,
                    options.bareCpu);
    std::printf("Started on %s; waiting for the device...\n", pty.c_str());
    std::fflush(stdout);
    if (!RunUntil([&] { return StartedOnDevice(*window); }, 90000))
        Fail("the program did not get ready on the simulated device");

    std::printf("%-20s %10s %10s %8s   %s\n", "page", "program %", "bare %", "ratio",
                "(scheduler: program %, bare %, ratio; rounds' ratios)");
    std::fflush(stdout);
    double worst = 0;
    for (const std::string& name : options.pages) {
        QWidget* page = window->PageControl1->findChild<QWidget*>(Platform::ToQString(name));
        if (!page || window->PageControl1->indexOf(page) < 0) {
            std::printf("%-20s (no such page)\n", name.c_str());
            continue;
        }
        window->PageControl1->setCurrentWidget(page);
        RunFor(options.settleSeconds * 1000);
        // Sums over the rounds: one 10 s round holds a few 10 ms clock ticks
        // of each process, and the machine's bursts come and go.
        double wall = 0, program = 0, floor = 0, sProgram = 0, sFloor = 0;
        double lowest = 1e9, highest = 0;  // the rounds' scheduler ratios
        for (int r = 0; r < options.rounds; ++r) {
            // The two processors are not alike (what else runs there, how
            // deep each sleeps): every other round the two swap them.
            if (options.programCpu >= 0) {
                const bool swapped = r % 2 == 1;
                PinProcess(::getpid(), swapped ? options.bareCpu : options.programCpu);
                PinProcess(bare, swapped ? options.programCpu : options.bareCpu);
                RunFor(1000);
            }
            const auto t0 = std::chrono::steady_clock::now();
            const double p0 = CpuSeconds(::getpid()), b0 = CpuSeconds(bare);
            const double sp0 = ScheduledSeconds(::getpid()), sb0 = ScheduledSeconds(bare);
            CALLGRIND_ZERO_STATS;
            RunFor(options.seconds * 1000);
            CALLGRIND_DUMP_STATS_AT(name.c_str());
            const double p1 = CpuSeconds(::getpid()), b1 = CpuSeconds(bare);
            const double sp1 = ScheduledSeconds(::getpid()), sb1 = ScheduledSeconds(bare);
            wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            program += p1 - p0;
            floor += b1 - b0;
            sProgram += sp1 - sp0;
            sFloor += sb1 - sb0;
            const double ratio = sb1 > sb0 ? (sp1 - sp0) / (sb1 - sb0) : 0;
            lowest = std::min(lowest, ratio);
            highest = std::max(highest, ratio);
        }
        const double ratio = floor > 0 ? program / floor : 0;
        worst = std::max(worst, ratio);
        std::printf("%-20s %10.2f %10.2f %8.2f   (%.2f, %.2f, %.2f; rounds %.2f-%.2f)\n", name.c_str(),
                    100.0 * program / wall, 100.0 * floor / wall, ratio, 100.0 * sProgram / wall,
                    100.0 * sFloor / wall, sFloor > 0 ? sProgram / sFloor : 0, lowest, highest);
        std::fflush(stdout);
    }
    std::printf("worst ratio %.2f\n", worst);

    window.reset();
    ::kill(bare, SIGTERM);
    ::kill(sim, SIGTERM);
    ::waitpid(bare, nullptr, 0);
    ::waitpid(sim, nullptr, 0);
    QDir(QString::fromStdString(home)).removeRecursively();
    return 0;
}
