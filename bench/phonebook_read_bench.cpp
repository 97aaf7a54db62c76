// Reading a full SIM phonebook (250 entries) at 115200 baud from the
// simulated device, paced at the program's line speed, into the phonebook
// page of the real window (offscreen). Measured:
//   read_s        the device's "AT+CPBR=?" to the final OK of the read
//   transfer_s    the read command to its final OK (the part of read_s
//                 after the engine's 500 ms settling between commands);
//   first_byte_s  of it, the device's time before its first answer byte
//   bound_s       the line-rate bound of that exchange: its answer bytes
//                 x 10 bits / baud
//   open_to_rows  port open to 250 rows in the tree; the handler's 10 s
//                 pause before reading is passed by the tick clock and is
//                 not in this figure (add 10 s for the real program)
//   gammu_s       "gammu getallmemory SM" on a fresh simulator of the same
//                 profile and speed, for comparison (0 without gammu)
// Run by hand: build-dir/bench/phonebook_read_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <string>

#include "app/app_info.h"
#include "app/form_main.h"
#include "engine/uniset.h"
#include "phonebook/phonebook_item_model.h"
#include "platform/tick.h"
#include "serial/vtscomm32.h"
#include "tests/modemsim/modem_sim.h"
#include "tests/support/event_loop.h"
#include "tests/support/gammu.h"
#include "tests/support/phonebook_pause.h"

namespace {

constexpr int Baud = 115200;

ModemSim::TSimOptions FullSim()
{
    ModemSim::TSimOptions options;
    options.profile = ModemSim::TProfile::Builtin("tc35");
    ModemSim::TPhonebookMemory* sm = options.profile.phonebooks.Find("SM");
    for (int i = 1; i <= 250; ++i) {
        const std::string n = std::to_string(1000 + i).substr(1);
        sm->entries[i] = {"420777000" + n, 145, ModemSim::Utf8ToUtf16("Kontakt \xC4\x8D." + n)};
    }
    options.paceBaud = -1;
    return options;
}

void BM_FullSimPhonebookAt115200(benchmark::State& state)
{
    QTemporaryDir home;
    ::setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    ::setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());
    for (auto _ : state) {
        ModemSim::TModemSim sim(FullSim());
        if (!sim.Start()) {
            state.SkipWithError("the simulator did not start");
            return;
        }
        Platform::SetTickOffset(0);
        auto window = std::make_unique<TFormMain>();
        FormMain = window.get();
        window->VTixAppInfo1->SetInhibitApplRunning(true);
        window->VTixAppInfo1->SetMessageBoxResponder(
            [](const std::string&, const std::string&, unsigned) { return 7; });
        window->createDialogs();
        window->show();
        window->PageControl1->setCurrentWidget(window->SheetPhonebook);
        window->VTSComm321->SetCommPort(sim.PtyPath());
        window->VTSComm321->SetBaudRateInt(Baud);
        QElapsedTimer open;
        open.start();
        if (!window->VTSComm321->StartComm()) {
            state.SkipWithError("the port did not open");
            return;
        }
        window->Timer1->start();
        const bool shown = TestSupport::ProcessUntil(
            [&] {
                if (window->uniset)
                    TestSupport::PassPhonebookPause(window->uniset->getHandlers());
                return window->VTPhonebookModel->rowCount() >= 250;
            },
            120000);
        const double openToRows = open.elapsed() / 1000.0;
        if (!shown) {
            state.SkipWithError("the rows were not shown");
            return;
        }

        int64_t asked = -1, read = -1, ok = -1, firstByte = -1;
        size_t bytes = 0;
        bool reading = false;
        std::string answer;
        for (const auto& e : sim.Transcript().Entries()) {
            if (e.direction == ModemSim::TDirection::Command && e.data == "AT+CPBR=?" && asked < 0)
                asked = e.ms;
            if (e.direction == ModemSim::TDirection::Command && e.data == "AT+CPBR=1,250" && read < 0) {
                read = e.ms;
                reading = true;
            }
            if (reading && ok < 0 && e.direction == ModemSim::TDirection::Sent) {
                if (firstByte < 0)
                    firstByte = e.ms;
                bytes += e.data.size();
                answer += e.data;
                if (answer.find("\r\nOK\r\n") != std::string::npos)
                    ok = e.ms;
            }
        }
        window.reset();
        FormMain = nullptr;
        sim.Stop();
        Platform::SetTickOffset(0);

        double gammu = 0;
        if (TestSupport::HaveGammu()) {
            ModemSim::TModemSim fresh(FullSim());
            if (fresh.Start()) {
                QElapsedTimer t;
                t.start();
                const std::string all =
                    TestSupport::RunGammu(fresh.PtyPath(), "getallmemory SM", "at" + std::to_string(Baud));
                gammu = t.elapsed() / 1000.0;
                if (all.find("memory sm, location 250") == std::string::npos)
                    state.SkipWithError("gammu did not list the 250th entry");
            }
        }
        state.counters["read_s"] = asked >= 0 && ok >= 0 ? (ok - asked) / 1000.0 : -1;
        state.counters["transfer_s"] = read >= 0 && ok >= 0 ? (ok - read) / 1000.0 : -1;
        state.counters["first_byte_s"] = read >= 0 && firstByte >= 0 ? (firstByte - read) / 1000.0 : -1;
        state.counters["bound_s"] = double(bytes) * 10 / Baud;
        state.counters["answer_bytes"] = double(bytes);
        state.counters["open_to_rows_s"] = openToRows;
        state.counters["gammu_s"] = gammu;
    }
}
BENCHMARK(BM_FullSimPhonebookAt115200)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
