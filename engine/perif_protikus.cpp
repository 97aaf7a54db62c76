#include "engine/perif_protikus.h"

#include <algorithm>
#include <array>

#include "engine/main_window_link.h"
#include "engine/perif_calls.h"
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_modem.h"
#include "engine/perif_sending_file.h"
#include "engine/protikus.h"
#include "engine/uniset.h"

namespace {

constexpr uint8_t FrameAnswer = 0x00;
constexpr uint8_t FrameCapabilities = 0x11;
constexpr uint8_t FrameIdentity = 0x12;
constexpr uint8_t AnswerEndsRequest = 0x01;

}  // namespace

const char* const VPerifProtikus::NoAnswerText = "Neodpov\xED" "d\xE1";

VPerifProtikus::VPerifProtikus(VUniSET* owner) : VPerif(owner) {}

void VPerifProtikus::start(uint32_t now)
{
    restart(now);
}

void VPerifProtikus::restart(uint32_t now)
{
    reset(now);
}

void VPerifProtikus::reset(uint32_t)
{
    current = nullptr;
    window().setEditText(VMainWindowLink::LabelTheOther, std::string());
    window().setVisible(VMainWindowLink::LabelLabTheOther, false);
    pending = 0;
}

bool VPerifProtikus::isBusy() const
{
    return pending != 0;
}

bool VPerifProtikus::isSettled() const
{
    if (!current)
        return stations.empty();
    return !current->isIdentityMissing() && !current->isCapabilitiesMissing();
}

void VPerifProtikus::abandon(uint32_t now, Protikus* party)
{
    if (party && party == current)
        restart(now);
}

void VPerifProtikus::addStation(const std::string& number)
{
    stations.push_back(number);
}

void VPerifProtikus::removeStation(const std::string& number)
{
    const auto it = std::find(stations.begin(), stations.end(), number);
    if (it != stations.end())
        stations.erase(it);
    std::erase_if(dialRecords, [&](const TDialRecord& r) { return r.number == number; });
}

void VPerifProtikus::clearStations()
{
    stations.clear();
    dialRecords.clear();
}

VPerifProtikus::TDialRecord* VPerifProtikus::recordOf(const std::string& number)
{
    for (TDialRecord& r : dialRecords)
        if (r.number == number)
            return &r;
    return nullptr;
}

void VPerifProtikus::stationServed(const std::string& number)
{
    if (TDialRecord* r = recordOf(number))
        r->dials = 0;
}

int VPerifProtikus::dialsTo(const std::string& number) const
{
    for (const TDialRecord& r : dialRecords)
        if (r.number == number)
            return r.dials;
    return 0;
}

void VPerifProtikus::dialEnded(uint32_t now)
{
    dialOpen = false;
    TDialRecord* r = recordOf(dialNumber);
    if (!r || r->dials == 0)
        return;  // served meanwhile, or queued afresh
    if (r->dials < MaxDials) {
        r->endedTick = now;
        r->pause = RedialPauses[r->dials - 1];
        return;
    }
    // Enough money spent on a station that takes nothing: its files wait
    // for the user's next send.
    const std::string number = dialNumber;
    modem().sendingFile().failStation(number, NoAnswerText);
    removeStation(number);
}

void VPerifProtikus::showParty()
{
    if (!current)
        return;
    window().setEditText(VMainWindowLink::LabelTheOther, current->description(window()));
    window().setVisible(VMainWindowLink::LabelLabTheOther, true);
}

void VPerifProtikus::attach(bool outgoing)
{
    VPerifCalls& calls = modem().calls();
    const int r = calls.singleActiveDataCall();
    if (r < 0 || calls.row(r).isOutgoing() != outgoing)
        return;
    VCall& row = calls.row(r);
    current = &row.remote;
    current->outgoing = outgoing;
    current->autoHangup = row.hangupMark;
    current->idleMark = true;
    showParty();
}

uint16_t VPerifProtikus::ownModemType() const
{
    const VPerifModem& m = modem();
    return uint16_t((m.cgmi().getCode() & 0xF000) | (m.cgmm().getCode() & 0x0FFF));
}

template <size_t N>
void VPerifProtikus::sendBlock(uint32_t now, uint8_t kind, const std::array<uint8_t, N>& block, bool answer)
{
    if (!answer) {
        sendFrame(now, kind, block.data(), int(N));
        return;
    }
    // An answer: frame 0x00 whose payload is the kind and the block.
    std::array<uint8_t, N + 1> payload{kind};
    std::copy(block.begin(), block.end(), payload.begin() + 1);
    sendFrame(now, FrameAnswer, payload.data(), int(payload.size()));
}

void VPerifProtikus::sendIdentity(uint32_t now, bool answer)
{
    sendBlock(now, FrameIdentity, Protikus::OwnIdentity(ownModemType()), answer);
}

void VPerifProtikus::sendCapabilities(uint32_t now, bool answer)
{
    sendBlock(now, FrameCapabilities, Protikus::OwnCapabilities(ownModemType()), answer);
}

void VPerifProtikus::tick(uint32_t now)
{
    // A dial goes out only where the device takes a command line: not in
    // the middle of an SMS exchange and not while another handler waits
    // for its answer. The call handler's own wait is its readiness: a dial
    // it gave up on is dialled again.
    if (stations.empty() || owner->getMode() != 0)
        return;
    VPerifModem& m = modem();
    for (int i = 0; i < VPerifModem::HandlerCount; ++i) {
        const VPerif* h = m.handlerAt(i);
        if (h && h != this && i != VPerifModem::hCalls && h->isBusy())
            return;
    }
    VPerifCalls& calls = m.calls();
    if (!calls.isReadyForCommand(now))
        return;
    bool callsOver = true;
    for (int i = 0; i < VPerifCalls::RowCount; ++i)
        callsOver = callsOver && calls.row(i).state <= 0;
    if (dialOpen && callsOver)
        dialEnded(now);
    if (stations.empty())
        return;
    const std::string first = stations.front();
    if (!VPerifCalls::IsDialable(first)) {
        removeStation(first);
        return;
    }
    TDialRecord* record = recordOf(first);
    if (record && record->dials > 0) {
        // Dialled before: again only for a file still ready for it, and
        // not before the pause is over.
        if (!modem().sendingFile().hasReadyFor(first)) {
            removeStation(first);
            return;
        }
        if (!Utils::IsTickElapsed(record->endedTick, record->pause, now))
            return;
    }
    for (int i = VPerifCalls::RowCount - 1; i >= 0; --i) {
        const VCall& r = calls.row(i);
        if (r.state == 0)
            continue;
        if (r.state != 1 || r.number != first)
            return;
    }
    if (!record) {
        dialRecords.push_back(TDialRecord{first});
        record = &dialRecords.back();
    }
    if (record->dials >= MaxDials) {
        // However its dials ended, no call beyond the limit.
        modem().sendingFile().failStation(first, NoAnswerText);
        removeStation(first);
        return;
    }
    ++record->dials;
    dialOpen = true;
    dialNumber = first;
    calls.setMarkNextConnect(true);
    sendLineF(now, "ATD" + first);
}

void VPerifProtikus::dataTick(uint32_t now)
{
    VPerifModem& m = modem();
    // A call being hung up gets no more exchange frames.
    if (m.calls().isHangingUp())
        return;
    if ((pending != 0 && !elapsed(AnswerWait, now)) || m.isBusyExcept(this))
        return;
    if (stations.empty()) {
        if (current && current->outgoing)
            m.calls().escapeDataCall(now);
        return;
    }
    if (!current) {
        attach(true);
        if (!current)
            return;
    }
    int need = (current->isIdentityMissing() ? 1 : 0) | (current->isCapabilitiesMissing() ? 2 : 0);
    // What was asked last (a) and what is still awaited (b).
    static const int Asked[5][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {3, 1}};
    const int p = pending >= 0 && pending <= 4 ? pending : 0;
    const int a = Asked[p][0];
    const int b = Asked[p][1];
    if (need & ~a)
        need &= ~a;
    else if (need & ~b)
        need &= ~b;

    if (need != 0) {
        current->idleMark = false;
        if (need & 1)
            sendIdentity(now, false);
        else
            sendCapabilities(now, false);
        return;
    }
    if (!current->idleMark || !current->outgoing) {
        current->idleMark = true;
        return;
    }
    VPerifCalls& calls = m.calls();
    const int r = calls.singleActiveDataCall();
    if (r >= 0)
        removeStation(calls.row(r).number);
}

void VPerifProtikus::onCommandSent(uint32_t now)
{
    setLastSendTime(now);
}

void VPerifProtikus::onFrame(uint32_t now)
{
    const TInputBuffer& rx = owner->getRxBuffer();
    if (rx.length() < 6)
        return;
    const auto* frame = reinterpret_cast<const uint8_t*>(rx.data());
    const uint8_t type = frame[4];
    const uint8_t* payload = frame + 5;
    // The payload ends before the check byte.
    const int length = int(rx.length()) - 6;

    switch (type) {
    case FrameAnswer: {
        if (!current || length < 1)
            return;
        switch (payload[0]) {
        case AnswerEndsRequest:
            pending = 0;
            break;
        case FrameCapabilities:
            current->setCapabilities(payload + 1, length - 1);
            pending = pending == 2 ? 0 : pending == 3 || pending == 4 ? 1 : pending;
            // The answer may be all this side ever hears of the other.
            showParty();
            break;
        case FrameIdentity:
            current->setIdentity(payload + 1, length - 1);
            pending = pending == 1 ? 0 : pending == 3 || pending == 4 ? 2 : pending;
            showParty();
            break;
        default:
            break;
        }
        break;
    }
    case FrameCapabilities:
    case FrameIdentity:
        // A call being hung up gets no more answers.
        if (modem().calls().isHangingUp())
            return;
        if (!current)
            attach(false);
        if (!current)
            return;
        if (type == FrameCapabilities)
            current->setCapabilities(payload, length);
        else
            current->setIdentity(payload, length);
        showParty();
        if (type == FrameCapabilities)
            sendCapabilities(now, true);
        else
            sendIdentity(now, true);
        break;
    default:
        break;
    }
}

void VPerifProtikus::onFrameSent(uint32_t now)
{
    const uint8_t type = owner->getTxBuffer().at(4);
    if (type == FrameCapabilities)
        pending = pending == 1 || pending == 3 || pending == 4 ? 3 : 2;
    else if (type == FrameIdentity)
        pending = pending == 2 || pending == 3 || pending == 4 ? 4 : 1;
    else
        pending = 0;
    if (pending != 0)
        setLastSendTime(now);
}
