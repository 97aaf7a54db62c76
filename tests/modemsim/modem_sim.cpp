#include "tests/modemsim/modem_sim.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace ModemSim {

// Wake-ups of the simulator's thread, and the program's RTS/DTR changes,
// which arrive on whatever thread changed them. Shared with the modem-line
// listener so a late call after the simulator is gone is harmless.
struct TModemSim::TInbox {
    int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    std::mutex mutex;
    std::vector<std::pair<bool, bool>> lineChanges;

    ~TInbox()
    {
        if (fd >= 0)
            ::close(fd);
    }
    void Signal()
    {
        const uint64_t one = 1;
        if (fd >= 0 && ::write(fd, &one, sizeof one) < 0) {
            // The counter is already non-zero: the thread wakes anyway.
        }
    }
    void Drain()
    {
        uint64_t value;
        while (fd >= 0 && ::read(fd, &value, sizeof value) > 0) {
        }
    }
    void PushLines(bool rts, bool dtr)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            lineChanges.emplace_back(rts, dtr);
        }
        Signal();
    }
    std::vector<std::pair<bool, bool>> TakeLines()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::pair<bool, bool>> out;
        out.swap(lineChanges);
        return out;
    }
};

namespace {

int64_t HostSteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

TModemSim::TModemSim(TProfile profile) : TModemSim(TSimOptions{std::move(profile), nullptr, nullptr, 0, nullptr}) {}

TModemSim::TModemSim(TSimOptions options)
    : options_(std::move(options)),
      transcript_(std::make_shared<TTranscript>(options_.clock)),
      lines_(options_.lines ? options_.lines : std::make_shared<Serial::TModemLines>()),
      inbox_(std::make_shared<TInbox>())
{
    if (!options_.clock)
        options_.clock = HostSteadyMs;
    start_ = options_.clock();
    if (!options_.time)
        options_.time = std::make_shared<TSystemTime>();
    RegisterAllCommands(registry_);
    // Calls: events from a linked device wake this device's thread.
    callBox_ = std::make_shared<TCallPeerBox>();
    std::weak_ptr<TInbox> inbox = inbox_;
    callBox_->SetWake([inbox] {
        if (auto box = inbox.lock())
            box->Signal();
    });
}

void TModemSim::Link(TModemSim& a, TModemSim& b)
{
    std::shared_ptr<TCallLink> link = a.callLink_ ? a.callLink_ : b.callLink_;
    if (!link)
        link = std::make_shared<TCallLink>();
    for (TModemSim* sim : {&a, &b}) {
        sim->callLink_ = link;
        link->Add(sim->options_.profile.ownNumber, sim->callBox_);
    }
}

TModemSim::~TModemSim()
{
    Stop();
}

int64_t TModemSim::SteadyMs() const
{
    return options_.clock() - start_;
}

int64_t TModemSim::NextDueMs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!core_)
        return -1;
    if (pty_.IsOpen() && pty_.Readable())
        return 0;
    const int64_t now = SteadyMs();
    int64_t due = core_->NextPumpMs(now);
    if (!timers_.empty()) {
        const int64_t t = std::max<int64_t>(0, timers_.begin()->first - now);
        due = due < 0 ? t : std::min(due, t);
    }
    return due;
}

bool TModemSim::Start(std::string* error)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (started_) {
        if (error)
            *error = "already started";
        return false;
    }
    if (inbox_->fd < 0) {
        if (error)
            *error = "eventfd failed";
        return false;
    }
    std::vector<TScriptStep> steps;
    try {
        for (const std::string& line : options_.profile.script)
            steps.push_back(ParseScriptLine(line));
    } catch (const std::exception& e) {
        if (error)
            *error = e.what();
        return false;
    }
    if (!pty_.Open(error))
        return false;
    ptyPath_ = pty_.Path();
    TDeviceHost& host = *this;
    device_ = std::make_unique<TDevice>(options_.profile, options_.time, host);
    core_ = std::make_unique<TAtCore>(*device_, registry_, *transcript_);
    core_->SetWriter([this](const std::string& bytes) { WriteOutput(bytes); });
    core_->SetLineListener([this](const std::string& line, int64_t now) { OnLine(line, now); });
    if (options_.paceBaud > 0)
        core_->SetPacing(options_.paceBaud);
    for (TScriptStep& step : steps) {
        if (step.onCommand)
            onSteps_.push_back(std::move(step));
        else {
            const TScriptAction action = step.action;
            timers_.emplace(SteadyMs() + step.atMs, [this, action] { Apply(action, SteadyMs()); });
        }
    }
    transcript_->Add(TDirection::Event, "start " + options_.profile.name + " on " + ptyPath_);
    device_->calls.self = callBox_;
    device_->calls.link = callLink_;
    device_->PowerUp(false);
    device_->ProgramLines(lines_->Rts(), lines_->Dtr());
    device_->calls.dtr = lines_->Dtr();
    std::weak_ptr<TInbox> inbox = inbox_;
    lines_->SetOutputListener([inbox](bool rts, bool dtr) {
        if (auto box = inbox.lock())
            box->PushLines(rts, dtr);
    });
    started_ = true;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void TModemSim::Stop()
{
    stop_ = true;
    Wake();
    if (thread_.joinable())
        thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    if (started_)
        lines_->SetOutputListener(nullptr);
    pty_.Close();
}

std::string TModemSim::PtyPath() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return ptyPath_;
}

void TModemSim::Wake()
{
    inbox_->Signal();
}

int64_t TModemSim::RunTimers(int64_t now)
{
    // Steps that schedule further steps for "now" run in the same turn.
    for (int guard = 0; guard < 10000 && !timers_.empty() && timers_.begin()->first <= now; ++guard) {
        auto fn = std::move(timers_.begin()->second);
        timers_.erase(timers_.begin());
        fn();
    }
    return timers_.empty() ? -1 : std::max<int64_t>(0, timers_.begin()->first - now);
}

void TModemSim::Run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    int64_t ignoreMasterUntil = 0;
    while (!stop_) {
        int64_t now = SteadyMs();
        for (const auto& change : inbox_->TakeLines()) {
            transcript_->Add(TDirection::Event, std::string("RTS ") + (change.first ? "on" : "off") + ", DTR " +
                                                    (change.second ? "on" : "off"));
            device_->ProgramLines(change.first, change.second);
            ProgramDtr(*device_, *core_, change.second);
        }
        // Calls
        for (const TPeerEvent& event : callBox_->Take())
            HandlePeerEvent(*device_, *core_, event);
        core_->Pump(now);
        const int64_t nextTimer = RunTimers(now);
        device_->Tick();
        core_->Pump(now);

        int64_t timeout = std::min(device_->NextTickMs(), 1000);
        const int pump = core_->NextPumpMs(now);
        if (pump >= 0)
            timeout = std::min<int64_t>(timeout, pump);
        if (nextTimer >= 0)
            timeout = std::min(timeout, nextTimer);

        pollfd fds[2];
        fds[0] = {inbox_->fd, POLLIN, 0};
        int nfds = 1;
        const bool watchMaster = pty_.IsOpen() && now >= ignoreMasterUntil;
        if (watchMaster) {
            fds[1] = {pty_.MasterFd(), POLLIN, 0};
            nfds = 2;
        } else if (pty_.IsOpen())
            timeout = std::min<int64_t>(timeout, std::max<int64_t>(1, ignoreMasterUntil - now));
        lock.unlock();
        const int ready = ::poll(fds, nfds, static_cast<int>(timeout));
        lock.lock();
        if (ready <= 0)
            continue;
        if (fds[0].revents)
            inbox_->Drain();
        if (nfds == 2 && pty_.IsOpen()) {
            if (fds[1].revents & POLLIN)
                ReadInput(SteadyMs());
            else if (fds[1].revents & (POLLHUP | POLLERR))
                ignoreMasterUntil = SteadyMs() + 50;  // no reader: do not spin
        }
    }
}

bool TModemSim::SpeedMismatch(int programBaud) const
{
    return device_->baud != 0 && programBaud != 0 && programBaud != device_->baud;
}

void TModemSim::ReadInput(int64_t now)
{
    char buf[4096];
    for (int i = 0; i < 16 && pty_.IsOpen(); ++i) {
        const long n = pty_.Read(buf, sizeof buf);
        if (n <= 0)
            break;
        const std::string chunk(buf, static_cast<size_t>(n));
        transcript_->Add(TDirection::Received, chunk);
        const int programBaud = pty_.ProgramBaud();
        if (!device_->Answers()) {
            transcript_->Add(TDirection::Dropped, chunk);
            continue;
        }
        if (SpeedMismatch(programBaud)) {
            // Characters at the wrong speed arrive as noise the device ignores.
            transcript_->Add(TDirection::Dropped, chunk);
            continue;
        }
        if (options_.paceBaud < 0)
            core_->SetPacing(device_->baud ? device_->baud : programBaud);
        core_->Receive(chunk, now);
    }
}

void TModemSim::WriteOutput(const std::string& bytes)
{
    if (!pty_.IsOpen() || bytes.empty())
        return;
    const int programBaud = pty_.ProgramBaud();
    if (SpeedMismatch(programBaud)) {
        transcript_->Add(TDirection::Event, "output lost at " + std::to_string(programBaud) +
                                                " baud: " + TTranscript::Escape(bytes));
        return;
    }
    const unsigned long written = pty_.Write(bytes);
    if (written > 0)
        transcript_->Add(TDirection::Sent, bytes.substr(0, written));
    if (written < bytes.size())
        transcript_->Add(TDirection::Event, "output lost, nobody reads: " + std::to_string(bytes.size() - written) +
                                                " bytes");
}

void TModemSim::Unsolicited(const std::string& line)
{
    if (core_)
        core_->Unsolicited(line, SteadyMs());
}

void TModemSim::After(int delayMs, std::function<void()> action)
{
    timers_.emplace(SteadyMs() + std::max(0, delayMs), std::move(action));
}

void TModemSim::SetLine(uint32_t msBit, bool on)
{
    const uint32_t bits = lines_->DeviceLines();
    lines_->SetDeviceLines(on ? bits | msBit : bits & ~msBit);
}

void TModemSim::Note(const std::string& event)
{
    transcript_->Add(TDirection::Event, event);
}

void TModemSim::OnLine(const std::string& line, int64_t now)
{
    const std::string command = CommandKey(line);
    for (size_t i = 0; i < onSteps_.size();) {
        if (onSteps_[i].command == command) {
            const TScriptAction action = onSteps_[i].action;
            onSteps_.erase(onSteps_.begin() + static_cast<long>(i));
            Apply(action, now);
        } else
            ++i;
    }
}

void TModemSim::Apply(const TScriptAction& a, int64_t now)
{
    using K = TScriptAction::TKind;
    switch (a.kind) {
    case K::Line:
        Note("inject line " + a.text);
        core_->Unsolicited(a.text, now);
        break;
    case K::Bytes:
        Note("inject bytes");
        core_->SendRaw(a.text, now);
        break;
    case K::Garbage: {
        std::string noise;
        uint32_t x = 0x2545F491u;
        for (int i = 0; i < a.a; ++i) {
            x = x * 1664525u + 1013904223u;
            noise += static_cast<char>(x >> 24);
        }
        Note("inject " + std::to_string(a.a) + " garbage bytes");
        core_->SendRaw(noise, now);
        break;
    }
    case K::NoFinal:
        ++device_->dropFinals;
        Note("next final result will be missing");
        break;
    case K::Reset:
        Note("reset, ERROR for " + std::to_string(a.a) + " ms");
        core_->Clear();
        device_->PowerUp(true);
        device_->errorUntil = now + a.a;
        break;
    case K::Disappear:
        Note("disappear");
        pty_.Close();
        disappeared_ = true;
        break;
    case K::Creg: {
        int lac = a.b, cell = a.c;
        if ((a.a == 1 || a.a == 5) && lac < 0) {
            lac = device_->Profile().lac;
            cell = device_->Profile().cellId;
        }
        device_->SetRegistration(a.a, lac, cell);
        break;
    }
    case K::Csq:
        device_->rssi = a.a;
        device_->ber = a.b;
        break;
    case K::PowerOff:
        core_->Clear();
        device_->PowerOff();
        break;
    case K::Deliver:
    case K::Refuse:
    case K::NoPrompt: ApplySmsAction(*device_, *core_, a, now); break;
    // Calls
    case K::Ring:
        IncomingCall(*device_, *core_, a.text, a.a != 0);
        break;
    case K::Hangup:
        RemoteHangup(*device_, *core_);
        break;
    case K::Fault:
        Note("fault switch set: " + a.text);
        device_->faults.Add(a.text);
        break;
    case K::NoFaults:
        Note("fault switches cleared");
        device_->faults.Clear();
        break;
    }
}

void TModemSim::ApplyNow(const TScriptAction& action)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!core_)
            return;
        Apply(action, SteadyMs());
    }
    Wake();
}

void TModemSim::InjectLine(const std::string& line)
{
    TScriptAction a;
    a.kind = TScriptAction::TKind::Line;
    a.text = line;
    ApplyNow(a);
}

void TModemSim::InjectBytes(const std::string& bytes)
{
    TScriptAction a;
    a.kind = TScriptAction::TKind::Bytes;
    a.text = bytes;
    ApplyNow(a);
}

void TModemSim::InjectGarbage(size_t count)
{
    TScriptAction a;
    a.kind = TScriptAction::TKind::Garbage;
    a.a = static_cast<int>(std::min<size_t>(count, 1 << 20));
    ApplyNow(a);
}

void TModemSim::DropFinalResults(int count)
{
    WithDevice([count](TDevice& d) { d.dropFinals += count; });
}

void TModemSim::AddFault(const std::string& text)
{
    TScriptAction a;
    a.kind = TScriptAction::TKind::Fault;
    a.text = TFaultSwitch::Parse(text).text;  // a bad switch throws here, in the test's thread
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!core_) {
            options_.profile.faults.push_back(a.text);  // set from the start
            return;
        }
    }
    ApplyNow(a);
}

void TModemSim::ClearFaults()
{
    TScriptAction a;
    a.kind = TScriptAction::TKind::NoFaults;
    ApplyNow(a);
}

void TModemSim::Reset(int errorMs)
{
    TScriptAction a;
    a.kind = TScriptAction::TKind::Reset;
    a.a = errorMs;
    ApplyNow(a);
}

void TModemSim::Disappear()
{
    TScriptAction a;
    a.kind = TScriptAction::TKind::Disappear;
    ApplyNow(a);
}

void TModemSim::RunScriptLine(const std::string& line)
{
    TScriptStep step = ParseScriptLine(line);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!core_)
            return;
        if (step.onCommand)
            onSteps_.push_back(std::move(step));
        else {
            const TScriptAction action = step.action;
            After(static_cast<int>(step.atMs), [this, action] { Apply(action, SteadyMs()); });
        }
    }
    Wake();
}

void TModemSim::WithDevice(const std::function<void(TDevice&)>& f)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!device_)
            return;
        f(*device_);
    }
    Wake();
}

void TModemSim::SetRegistration(int stat, int lac, int cell)
{
    TScriptAction a;
    a.kind = TScriptAction::TKind::Creg;
    a.a = stat;
    a.b = lac;
    a.c = cell;
    ApplyNow(a);
}

void TModemSim::SetSignal(int rssi, int ber)
{
    WithDevice([rssi, ber](TDevice& d) {
        d.rssi = rssi;
        d.ber = ber;
    });
}

void TModemSim::SetBattery(int chargerStatus, int level, int consumption)
{
    WithDevice([=](TDevice& d) {
        d.chargerStatus = chargerStatus;
        d.batteryLevel = level;
        if (consumption >= 0)
            d.consumption = consumption;
    });
}

void TModemSim::SetRing(bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SetLine(Serial::MS_RING_ON, on);
}

void TModemSim::SetCarrier(bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SetLine(Serial::MS_RLSD_ON, on);
}

void TModemSim::PowerOn()
{
    WithDevice([](TDevice& d) {
        if (d.power == TPowerState::Off)
            d.PowerUp(true);
    });
}

}  // namespace ModemSim
