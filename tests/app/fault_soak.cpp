#include "tests/app/fault_soak.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "app/app_info.h"
#include "app/form_main.h"
#include "app/form_main_controls.h"
#include "app/radio_group.h"
#include "app/sms_memo.h"
#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_active.h"
#include "engine/perif_cala.h"
#include "engine/perif_calls.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_cmee.h"
#include "engine/perif_cops.h"
#include "engine/perif_cpin.h"
#include "engine/perif_creg.h"
#include "engine/perif_csq.h"
#include "engine/perif_phonebook.h"
#include "engine/perif_power.h"
#include "engine/perif_protikus.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"
#include "engine/perif_smss.h"
#include "engine/uniset.h"
#include "phonebook/phonebook.h"
#include "phonebook/phonebook_record.h"
#include "phonebook/phonebook_storage.h"
#include "platform/codepage.h"
#include "platform/qt/qt_text.h"
#include "platform/tick.h"
#include "serial/vtscomm32.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"
#include "sms/sms_record.h"
#include "tests/engine/recording_window.h"
#include "tests/modemsim/modem_sim.h"
#include "tests/support/config_home.h"
#include "tests/support/device_time.h"
#include "tests/support/input_devices.h"
#include "tests/support/phonebook_pause.h"

namespace Soak {

namespace {

const char* const kOwnNumber = "+420601000001";
const char* const kStation = "+420601000002";
const char* const kSmsTo = "+420777123456";
constexpr int64_t kMinuteMs = 60000;
// Start-up on the faulty device, before the user begins.
constexpr int64_t kStartUpMs = 240000;

// ---- The device and its faults --------------------------------------

ModemSim::TProfile FaultyDevice(uint32_t seed)
{
    ModemSim::TProfile p = ModemSim::TProfile::Builtin("tc35");
    p.ownNumber = kOwnNumber;
    p.smsMemories = {{"SM", 30}, {"ME", 100}};
    p.faultSeed = seed;
    p.faults = {
        // One dial answered NO ANSWER, one data call's carrier dropped
        // without a word, a memory the device does not switch to.
        "D answer NO ANSWER after 6000 x1",
        "link drop after 3000 x1",
        "+CPMS=\"ME\"* nochange",
        // Empty slots answered with a bare OK.
        "+CMGR= bareok 30%",
        // 2 % refused, 5 % without a final result, 5 % late by 1-5 s.
        "+CMG* answer +CMS ERROR: 500 1%",
        "+CPB* answer +CME ERROR: 100 1%",
        "* answer ERROR 1%",
        "* nofinal 5%",
        "* late 1000-5000 5%",
    };
    return p;
}

// ---- The second station: an engine that takes every file ------------

class TStation {
public:
    TStation(ModemSim::TSimOptions options, const std::string& inbox)
        : sim(std::make_unique<ModemSim::TModemSim>(std::move(options)))
    {
        window.defaultAnswer = VMainWindowLink::IDYES;
        window.texts[VMainWindowLink::EditPIN] = "0000";
        window.tempDir = inbox;
    }
    ~TStation()
    {
        engine.reset();
        port.StopComm();
        sim->Stop();
    }
    bool Open(std::string& error)
    {
        if (!sim->Start(&error))
            return false;
        port.SetCommPort(sim->PtyPath());
        port.SetBaudRate(TBaudRate::__19200);
        port.SetReceiveDataEvent([this](VTixCommunicationComponent*, const char* buffer, uint16_t length) {
            const uint32_t now = Platform::GetTickCount();
            for (uint16_t i = 0; i < length && engine; ++i)
                engine->receivedByte(now, uint8_t(buffer[i]));
        });
        if (!port.StartComm()) {
            error = "the station's port did not open";
            return false;
        }
        engine = std::make_unique<VUniSET>(&port, &window);
        engine->start();
        return true;
    }
    // The station's user answers every call.
    void Tick(uint32_t now)
    {
        VPerifCalls& calls = engine->getHandlers().calls();
        for (int i = 0; i < VPerifCalls::RowCount; ++i)
            if (calls.row(i).state == 6)
                calls.setAnswerPending(true);
        engine->tick(now);
        // What the recording window keeps is of no use here and would grow.
        window.calls.clear();
        window.terminal.clear();
        window.messages.clear();
    }

    std::unique_ptr<ModemSim::TModemSim> sim;
    TVTSComm32 port;
    TRecordingWindow window;
    std::unique_ptr<VUniSET> engine;
};

// ---- Handlers' readiness ---------------------------------------------

struct TReadiness {
    const char* name;
    bool (*ready)(VPerifModem&);
};

const TReadiness kReadiness[] = {
    {"link watcher", [](VPerifModem& m) { return m.active().isSettled(); }},
    {"power", [](VPerifModem& m) { return m.power().isFullPower(); }},
    {"error mode", [](VPerifModem& m) { return m.cmee().isKnown(); }},
    {"maker", [](VPerifModem& m) { return m.cgmi().isIdentified(); }},
    {"model", [](VPerifModem& m) { return m.cgmm().isIdentified(); }},
    {"SIM PIN", [](VPerifModem& m) { return m.cpin().isReady(); }},
    {"operator", [](VPerifModem& m) { return m.cops().hasOperator(); }},
    {"registration", [](VPerifModem& m) { return m.creg().isRegistered(); }},
    {"signal", [](VPerifModem& m) { return m.csq().isKnown(); }},
    {"clock", [](VPerifModem& m) { return m.cclk().isResolved(); }},
    {"alarm", [](VPerifModem& m) { return m.cala().isResolved(); }},
    {"calls", [](VPerifModem& m) { return m.calls().isSettled(); }},
    {"SMS", [](VPerifModem& m) { return m.smss().isInitialised(); }},
    {"remote station", [](VPerifModem& m) { return m.protikus().isSettled(); }},
    {"file sender", [](VPerifModem& m) { return m.sendingFile().isSettled(); }},
    {"file receiver", [](VPerifModem& m) { return m.receivingFile().isIdle(); }},
    {"phonebook", [](VPerifModem& m) { return m.phonebook().isReady(); }},
};

struct TReadyWatch {
    int64_t outSince = -1;
    THandlerStat stat;
};

// ---- The scripted user's actions ---------------------------------------

enum class TEnd { Open, Done, Failed };

struct TAction {
    std::string kind;
    int64_t startMs = 0;
    std::function<TEnd()> check;
    std::function<std::string()> shown;  // what the window shows of it
    TEnd end = TEnd::Open;
    int64_t endMs = 0;
};

// Commands by device time, kept compactly as the transcript is let go.
class TCommandLog {
public:
    // Writes the entries as text lines, each after `prefix`.
    static void Dump(const std::vector<ModemSim::TTranscriptEntry>& entries, std::ofstream* dump, const char* prefix)
    {
        if (!dump || !dump->is_open())
            return;
        for (const auto& e : entries) {
            static const char* const kinds[] = {"<-  ", "->  ", "CMD ", "DROP", "EV  "};
            char ms[32];
            std::snprintf(ms, sizeof ms, "%10.3f ", e.ms / 1000.0);
            *dump << prefix << ms << kinds[int(e.direction)] << " " << ModemSim::TTranscript::Escape(e.data) << "\n";
        }
    }
    void Take(ModemSim::TTranscript& transcript, int& faults, std::ofstream* dump)
    {
        const std::vector<ModemSim::TTranscriptEntry> entries = transcript.Take();
        Dump(entries, dump, "");
        for (const auto& e : entries) {
            if (e.direction == ModemSim::TDirection::Event && e.data.rfind("fault ", 0) == 0)
                ++faults;
            if (e.direction != ModemSim::TDirection::Command)
                continue;
            ++count;
            if (ModemSim::TTranscript::IsStatusPoll(e.data))
                continue;
            const auto it = ids.emplace(e.data, int(names.size())).first;
            if (it->second == int(names.size()))
                names.push_back(e.data);
            times[size_t(it->second)].push_back(e.ms);
        }
    }
    ModemSim::TTranscript::TBurst Worst(int64_t windowMs) const
    {
        ModemSim::TTranscript::TBurst most;
        for (const auto& [id, at] : times) {
            size_t first = 0;
            for (size_t last = 0; last < at.size(); ++last) {
                while (at[last] - at[first] >= windowMs)
                    ++first;
                if (int(last - first + 1) > most.count)
                    most = {names[id], int(last - first + 1), at[first]};
            }
        }
        return most;
    }
    size_t count = 0;

private:
    std::map<std::string, int> ids;
    std::vector<std::string> names;
    std::map<size_t, std::vector<int64_t>> times;
};

std::string SmsStateText(const VTixSMSRecord* sms, VTixSMSListModel& model)
{
    const int row = model.rowOf(sms);
    return row < 0 ? "(no row)" : Platform::FromQString(model.data(model.index(row, 1)).toString());
}

class TSoak {
public:
    explicit TSoak(const TSoakOptions& options) : options_(options), random_(options.seed) {}
    TSoakReport Run();

private:
    bool StartUp();
    void Loop(int64_t untilMs, bool acting);
    void Sample();
    void ScriptedUser(int64_t now);
    void Inject(int64_t now);
    void StartSms(int n);
    void StartPhonebookEdit(int n);
    void StartCall(int n);
    void StartFile(int n);
    int64_t Now() const { return sim_->NowMs(); }
    void Say(const std::string& line)
    {
        if (options_.progress)
            options_.progress(line);
    }

    TSoakOptions options_;
    std::mt19937 random_;
    TSoakReport report_;
    QTemporaryDir root_;
    std::unique_ptr<TestSupport::PrivateConfigHome> configHome_;
    std::string home_;
    std::unique_ptr<ModemSim::TModemSim> sim_;
    std::unique_ptr<TStation> station_;
    std::unique_ptr<TFormMain> window_;
    TestSupport::TClockSkipper skipper_;
    TCommandLog commands_;
    std::vector<TReadyWatch> ready_;
    std::vector<std::unique_ptr<TAction>> actions_;
    int64_t userStartMs_ = 0;
    int minute_ = -1;
    int step_ = 0;
    int64_t nextCmtiMs_ = 0, ringAtMs_ = 0;
    int ringsLeft_ = 3;
    std::vector<std::string> filesOffered_;
    std::ofstream dump_;
};

bool TSoak::StartUp()
{
    configHome_ = std::make_unique<TestSupport::PrivateConfigHome>();
    home_ = root_.path().toStdString() + "/home";
    QDir().mkpath(QString::fromStdString(home_ + "/Documents/Tix/Zelvitor"));
    QDir().mkpath(QString::fromStdString(home_ + "/inbox"));
    ::setenv("HOME", home_.c_str(), 1);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configHome_->Path());
    Platform::SetTickOffset(0);

    ModemSim::TSimOptions a, b;
    a.profile = FaultyDevice(options_.seed);
    b.profile = ModemSim::TProfile::Builtin("m20");
    b.profile.baud = 0;
    b.profile.ownNumber = kStation;
    if (options_.deviceTime) {
        a.clock = TestSupport::DeviceClock();
        b.clock = TestSupport::DeviceClock();
    }
    sim_ = std::make_unique<ModemSim::TModemSim>(a);
    station_ = std::make_unique<TStation>(b, home_ + "/inbox/");
    ModemSim::TModemSim::Link(*sim_, *station_->sim);
    std::string error;
    if (!sim_->Start(&error) || !station_->Open(error)) {
        report_.startError = error;
        return false;
    }

    const std::string cfg = home_ + "/Documents/Tix/Zelvitor/Zelvitor.cfg";
    std::ofstream(cfg, std::ios::binary) << "[General]\r\nCommPort=" << sim_->PtyPath() << "\r\nUserAdvanced=1\r\n";
    QSettings registry(QSettings::IniFormat, QSettings::UserScope, "Tix", "Zelvitor");
    registry.setValue("Options/ConfigFile", QString::fromStdString(cfg));
    registry.setValue("Options/TempDir", QString::fromStdString(home_ + "/Documents/Tix/Zelvitor/"));
    registry.sync();

    window_ = std::make_unique<TFormMain>();
    FormMain = window_.get();
    window_->VTixAppInfo1->SetInhibitApplRunning(true);
    window_->VTixAppInfo1->SetMessageBoxResponder([this](const std::string&, const std::string&, unsigned) {
        ++report_.messageBoxes;
        return int(MsgBox::IDNO);
    });
    window_->createDialogs();
    window_->RunFilesDialog = [this](TFormMain::TFileDialogSetup&, std::vector<std::string>& chosen) {
        chosen = filesOffered_;
        return !chosen.empty();
    };
    window_->VTSComm321->SetCommPort(sim_->PtyPath());
    window_->resize(1000, 700);
    window_->show();
    window_->VTixAppInfo1->SetInhibitApplRunning(false);

    for (const TReadiness& r : kReadiness) {
        ready_.push_back({});
        ready_.back().stat.name = r.name;
    }
    // Ready: every handler settled, the page shows it.
    const int64_t until = kStartUpMs;
    while (Now() < until) {
        Loop(std::min(until, Now() + 1000), false);
        if (window_->initDone && window_->uniset &&
            Platform::FromQString(window_->ShapeProgress->toolTip()) == "P\xF8ipraven")
            return true;
    }
    report_.startError = "not ready after " + std::to_string(kStartUpMs / 1000) + " s: " +
                         (window_->uniset ? window_->uniset->getMissing() : std::string("no engine"));
    return false;
}

// Runs the event loop (the window ticks itself) until device time `untilMs`.
void TSoak::Loop(int64_t untilMs, bool acting)
{
    QElapsedTimer tick;
    tick.start();
    while (Now() < untilMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (tick.elapsed() >= 10) {
            tick.restart();
            station_->Tick(Platform::GetTickCount());
            if (window_->uniset)
                TestSupport::PassPhonebookPause(window_->uniset->getHandlers());
            Sample();
            if (acting)
                ScriptedUser(Now());
            Inject(Now());
            if (options_.deviceTime)
                skipper_.Skip({sim_.get(), station_->sim.get()});
            commands_.Take(sim_->Transcript(), report_.faultsFired, &dump_);
            TCommandLog::Dump(station_->sim->Transcript().Take(), &dump_, "B ");
        }
        QThread::msleep(1);
    }
}

void TSoak::Sample()
{
    if (!window_->uniset || userStartMs_ == 0)
        return;
    VPerifModem& m = window_->uniset->getHandlers();
    const int64_t now = Now();
    for (size_t i = 0; i < ready_.size(); ++i) {
        TReadyWatch& w = ready_[i];
        if (kReadiness[i].ready(m)) {
            if (w.outSince >= 0 && now - w.outSince >= kNotableMs)
                ++w.stat.outOfReady;
            w.outSince = -1;
        } else {
            if (w.outSince < 0)
                w.outSince = now;
            w.stat.longestMs = std::max(w.stat.longestMs, now - w.outSince);
        }
    }
    for (auto& a : actions_)
        if (a->end == TEnd::Open && (a->end = a->check()) != TEnd::Open)
            a->endMs = now;
}

// Once a minute: an SMS at 0 s, a phonebook edit at 15 s, a call at 30 s
// (hung up 8 s later), a file at 45 s.
void TSoak::ScriptedUser(int64_t now)
{
    const int64_t t = now - userStartMs_;
    const int minute = int(t / kMinuteMs);
    if (minute != minute_) {
        minute_ = minute;
        step_ = 0;
        Say("minute " + std::to_string(minute) + ": " + std::to_string(commands_.count) + " commands");
    }
    const int64_t into = t % kMinuteMs;
    const int64_t at[] = {0, 15000, 30000, 38000, 45000};
    if (step_ >= 5 || into < at[step_])
        return;
    switch (step_++) {
    case 0: StartSms(minute); break;
    case 1: StartPhonebookEdit(minute); break;
    case 2: StartCall(minute); break;
    case 3:
        if (window_->BtnATH->isEnabled())
            window_->BtnATH->click();
        break;
    case 4: StartFile(minute); break;
    }
}

// Messages announced that the memory does not hold, and a RING without
// a number, at times drawn from the seed.
void TSoak::Inject(int64_t now)
{
    if (nextCmtiMs_ == 0) {
        nextCmtiMs_ = now + 30000 + int64_t(random_() % 90000);
        ringAtMs_ = now + 60000 + int64_t(random_() % 180000);
    }
    if (now >= nextCmtiMs_) {
        sim_->InjectLine("+CMTI: \"SM\"," + std::to_string(20 + random_() % 10));
        nextCmtiMs_ = now + 60000 + int64_t(random_() % 90000);
    }
    if (ringsLeft_ > 0 && now >= ringAtMs_) {
        sim_->InjectLine("RING");
        --ringsLeft_;
        ringAtMs_ = now + 3000;
    }
}

void TSoak::StartSms(int n)
{
    TFormMain& w = *window_;
    w.BtnSMSNew->click();
    if (!w.focusedSMS())
        return;
    const std::string text = "Soak " + std::to_string(n);
    w.EditSMStel->setText(QString::fromLatin1(kSmsTo));
    TestSupport::KeyClicks(w.MemoSMS, QString::fromStdString(text));
    w.BtnSMSSend->click();
    auto a = std::make_unique<TAction>();
    a->kind = "SMS send";
    a->startMs = Now();
    // The handler joins the sent draft with the record it makes of the
    // PDU, so the message is followed by its text.
    auto find = [&w, text]() -> VTixSMSRecord* {
        for (int i = 0; i < w.VSMSList1->getSMSCount(); ++i)
            if (w.VSMSList1->getSMS(i)->GetText() == text)
                return w.VSMSList1->getSMS(i);
        return nullptr;
    };
    auto left = std::make_shared<bool>(false);
    a->check = [find, left] {
        const VTixSMSRecord* sms = find();
        if (!sms)
            return TEnd::Failed;
        const int s = sms->GetState();
        if (s == VTixSMS_stateBeingSent)
            *left = true;
        if (s == VTixSMS_stateSIMSent)
            return TEnd::Done;
        if (s == VTixSMS_stateSendFailed || (*left && s == VTixSMS_stateSIMUnsent))
            return TEnd::Failed;
        return TEnd::Open;
    };
    a->shown = [&w, find] {
        const VTixSMSRecord* sms = find();
        return sms ? SmsStateText(sms, *w.SMSListModel) : std::string("(gone from the list)");
    };
    actions_.push_back(std::move(a));
}

void TSoak::StartPhonebookEdit(int n)
{
    VTixPhoneBook& book = window_->uniset->getHandlers().phonebook().getPhonebook();
    VTixPhoneBookStorage* sm = book.storageByName("SM");
    const int index = 1 + n % 3;
    VTixPhoneBookRecord* entry = sm ? sm->findRecord(index, false) : nullptr;
    if (!entry)
        return;
    const std::string text = "Soak " + std::to_string(n);
    entry->setEditedText(text);
    entry->markPending(false);
    auto a = std::make_unique<TAction>();
    a->kind = "phonebook edit";
    a->startMs = Now();
    a->check = [&book, index] {
        VTixPhoneBookStorage* memory = book.storageByName("SM");
        VTixPhoneBookRecord* e = memory ? memory->findRecord(index, false) : nullptr;
        if (!e)
            return TEnd::Failed;
        if (e->isGivenUp())
            return TEnd::Failed;
        return e->isPending() || e->needsWrite() ? TEnd::Open : TEnd::Done;
    };
    a->shown = [&book, index] {
        VTixPhoneBookStorage* memory = book.storageByName("SM");
        VTixPhoneBookRecord* e = memory ? memory->findRecord(index, false) : nullptr;
        return e ? (e->isGivenUp() ? "refused: " + e->getRefusalText() : std::string("waiting")) : "(no entry)";
    };
    actions_.push_back(std::move(a));
}

void TSoak::StartCall(int n)
{
    TFormMain& w = *window_;
    w.PageControl1->setCurrentWidget(w.SheetCalls);
    w.RGroupCallType->Button(0)->click();
    w.EditNumber->setText(QString::fromLatin1(kStation));
    w.BtnATDdata->click();
    auto a = std::make_unique<TAction>();
    a->kind = "call";
    a->startMs = Now();
    auto dialled = std::make_shared<bool>(false);
    const int64_t hangUpAt = Now() + 8000;
    a->check = [this, &w, dialled, hangUpAt] {
        VPerifCalls& calls = w.uniset->getHandlers().calls();
        bool free = true;
        for (int i = 0; i < VPerifCalls::RowCount; ++i)
            free = free && calls.row(i).state == 0;
        if (!free)
            *dialled = true;
        if (!free || Now() < hangUpAt)
            return TEnd::Open;
        return *dialled ? TEnd::Done : TEnd::Failed;
    };
    a->shown = [&w] { return Platform::FromQString(w.callRows[0].labelState->text()); };
    actions_.push_back(std::move(a));
    (void)n;
}

void TSoak::StartFile(int n)
{
    TFormMain& w = *window_;
    const std::string path = home_ + "/file" + std::to_string(n) + ".bin";
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 400 + n * 7; ++i)
            out.put(char(random_()));
    }
    w.PageControl1->setCurrentWidget(w.SheetFiles);
    w.EditNumber->setText(QString::fromLatin1(kStation));
    filesOffered_ = {path};
    w.BtnFilesNew->click();
    w.BtnSendFiles->click();
    auto a = std::make_unique<TAction>();
    a->kind = "file";
    a->startMs = Now();
    auto last = std::make_shared<int>(-1);
    auto find = [&w, path]() -> VListItemFile* {
        VListViewFile& list = w.uniset->getSendList();
        for (int i = 0; i < list.getCount(); ++i)
            if (list.getItem(i)->getPath() == path)
                return list.getItem(i);
        return nullptr;
    };
    a->check = [find, last] {
        VListItemFile* row = find();
        if (!row)  // a sent row leaves the list with the next Send
            return *last == 3 ? TEnd::Done : TEnd::Failed;
        *last = row->getState();
        return *last == 3 ? TEnd::Done : *last == 4 || *last == 0 ? TEnd::Failed : TEnd::Open;
    };
    a->shown = [find, last] {
        VListItemFile* row = find();
        return row ? std::string(VListItemFile::StateText(row->getState()))
                   : "(row gone, last seen " + std::string(VListItemFile::StateText(*last)) + ")";
    };
    actions_.push_back(std::move(a));
}

TSoakReport TSoak::Run()
{
    QElapsedTimer host;
    host.start();
    report_.seed = options_.seed;
    if (!options_.transcriptFile.empty())
        dump_.open(options_.transcriptFile, std::ios::binary);
    const int64_t start = sim_ ? Now() : 0;
    report_.started = StartUp();
    if (report_.started) {
        report_.rssStartKb = ResidentKb();
        userStartMs_ = Now();
        Say("ready after " + std::to_string(userStartMs_ / 1000) + " s of device time");
        Loop(userStartMs_ + options_.actingMs, true);
        Loop(Now() + options_.drainMs, false);
        report_.rssEndKb = ResidentKb();
    }
    report_.deviceMs = sim_ ? Now() - start : 0;
    report_.hostMs = host.elapsed();
    report_.commands = commands_.count;
    report_.worst = commands_.Worst(30000);
    VPerifModem* m = window_ && window_->uniset ? &window_->uniset->getHandlers() : nullptr;
    for (size_t i = 0; i < ready_.size(); ++i) {
        ready_[i].stat.readyAtEnd = m && kReadiness[i].ready(*m);
        report_.handlers.push_back(ready_[i].stat);
    }
    std::map<std::string, TActionStat> byKind;
    for (const auto& a : actions_) {
        TActionStat& s = byKind[a->kind];
        s.kind = a->kind;
        if (a->end == TEnd::Open) {
            ++s.hanging;
            s.notes.push_back("hanging " + std::to_string((Now() - a->startMs) / 1000) + " s: " +
                                  Platform::AnsiToUtf8(a->shown(), Platform::SystemCodePage()));
            continue;
        }
        (a->end == TEnd::Done ? s.done : s.failed) += 1;
        s.longestMs = std::max(s.longestMs, a->endMs - a->startMs);
        if (a->end == TEnd::Failed)
            s.notes.push_back("failed after " + std::to_string((a->endMs - a->startMs) / 1000) + " s: " +
                                  Platform::AnsiToUtf8(a->shown(), Platform::SystemCodePage()));
    }
    for (auto& [kind, s] : byKind)
        report_.actions.push_back(s);

    actions_.clear();
    window_.reset();
    FormMain = nullptr;
    QCoreApplication::processEvents();
    station_.reset();
    if (sim_)
        sim_->Stop();
    sim_.reset();
    Platform::SetTickOffset(0);
    return report_;
}

}  // namespace

int TSoakReport::Hanging() const
{
    int n = 0;
    for (const auto& a : actions)
        n += a.hanging;
    return n;
}

std::string TSoakReport::ToText() const
{
    std::ostringstream out;
    out << "fault soak, seed " << seed << ": " << deviceMs / 1000 << " s of device time in " << hostMs / 1000
        << " s\n";
    if (!started)
        out << "  did not start: " << startError << "\n";
    out << "  commands sent: " << commands << ", fault switches fired: " << faultsFired
        << ", message boxes: " << messageBoxes << "\n";
    out << "  most of one command in 30 s (status polls apart): " << worst.count << " x " << worst.command
        << " (from " << worst.atMs / 1000 << " s)\n";
    out << "  handlers (falls out of ready longer than " << kNotableMs / 1000 << " s, longest time out):\n";
    for (const auto& h : handlers)
        out << "    " << h.name << ": " << h.outOfReady << ", " << h.longestMs / 1000.0 << " s"
            << (h.readyAtEnd ? "" : ", NOT READY at the end") << "\n";
    out << "  user actions (done / failed with their state shown / hanging, longest to its end):\n";
    for (const auto& a : actions) {
        out << "    " << a.kind << ": " << a.done << " / " << a.failed << " / " << a.hanging << ", "
            << a.longestMs / 1000.0 << " s\n";
        for (const auto& note : a.notes)
            out << "      " << note << "\n";
    }
    out << "  RSS: " << rssStartKb << " KiB at the start, " << rssEndKb << " KiB at the end ("
        << (rssEndKb - rssStartKb) << " KiB)\n";
    return out.str();
}

TSoakReport RunFaultSoak(const TSoakOptions& options)
{
    TSoak soak(options);
    return soak.Run();
}

long ResidentKb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    if (!(statm >> pages >> resident))
        return 0;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace Soak
