// The file sender: its queue, the start of a transfer and its steps on the
// data tick. The frames it sends and reads are in perif_sending_file_frames.cpp.
#include "engine/perif_sending_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "calls/list_item_file.h"
#include "engine/main_window_link.h"
#include "engine/perif_calls.h"
#include "engine/perif_modem.h"
#include "engine/perif_protikus.h"
#include "engine/protikus.h"
#include "platform/codepage.h"

namespace {

// The sender's own messages (cp1250).
const char* const BusyText = "Je\x9At\xEC nebyl dokon\xE8" "en p\xF8" "edchoz\xED p\xF8" "enos!";
const char* const SizeText =
    "Velikost p\xF8" "en\xE1\x9A" "en\xFD" "ch soubor\xF9 je omezena na 16 MB (t.j. p\xF8" "enos del\x9A\xED ne\x9E asi 1 den)";
const char* const OpenText1 = "se nepoda\xF8ilo otev\xF8\xEDt. Zkontrolujte, zda nebyl smaz\xE1n a";
const char* const OpenText2 = "zda m\xE1te pr\xE1vo jej \xE8\xEDst.";

int OpenForReading(const std::string& path)
{
    int fd;
    // Never waits: a pipe or a device in place of the file is refused below.
    do
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

VPerifSendingFile::VPerifSendingFile(VUniSET* owner) : VPerif(owner) {}

VPerifSendingFile::~VPerifSendingFile()
{
    // The rows may be gone already (the engine lets go of them first).
    closeFile();
}

void VPerifSendingFile::start(uint32_t now)
{
    restart(now);
}

void VPerifSendingFile::restart(uint32_t now)
{
    reset(now);
}

void VPerifSendingFile::reset(uint32_t)
{
    if (current && current->getState() == 2)
        current->setState(4);
    dropCurrent();
}

bool VPerifSendingFile::isBusy() const
{
    return current != nullptr || file >= 0;
}

bool VPerifSendingFile::isSettled() const { return true; }

void VPerifSendingFile::abandon(uint32_t now, Protikus* party)
{
    if (party && party == remote)
        restart(now);
}

// ---- Queue -------------------------------------------------------------------

std::string VPerifSendingFile::FileNameOf(const std::string& path)
{
    const size_t cut = path.rfind('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

void VPerifSendingFile::clearQueue()
{
    for (VListItemFile* item : queue)
        item->release();
    queue.clear();
}

void VPerifSendingFile::enqueue(VListItemFile* item)
{
    if (!item || std::find(queue.begin(), queue.end(), item) != queue.end())
        return;
    item->hold();
    queue.push_back(item);
    // The number stands once in the stations to reach, last.
    VPerifProtikus& protikus = modem().protikus();
    protikus.removeStation(item->getPeerNumber());
    protikus.addStation(item->getPeerNumber());
}

void VPerifSendingFile::dequeue(VListItemFile* item)
{
    if (!item)
        return;
    const auto it = std::find(queue.begin(), queue.end(), item);
    if (it != queue.end()) {
        queue.erase(it);
        item->release();
    }
    modem().protikus().removeStation(item->getPeerNumber());
}

bool VPerifSendingFile::hasReadyFor(const std::string& number) const
{
    return std::any_of(queue.begin(), queue.end(),
                       [&](const VListItemFile* item) { return item->getState() == 1 && item->getPeerNumber() == number; });
}

void VPerifSendingFile::failStation(const std::string& number, const std::string& why)
{
    for (VListItemFile* item : queue)
        if (item->getState() == 1 && item->getPeerNumber() == number)
            item->setFailed(why);
}

// ---- Transfer ----------------------------------------------------------------

void VPerifSendingFile::refuseOpen(VListItemFile* item)
{
    item->setState(4);
    const std::string shown = Platform::Utf8ToAnsi(item->getPath(), Platform::SystemCodePage());
    window().messageBox2("Soubor \"" + shown + "\"\n" + OpenText1 + "\n" + OpenText2, VMainWindowLink::MB_ICONEXCLAMATION);
}

void VPerifSendingFile::beginTransfer(VListItemFile* item, int size)
{
    if (!item)
        return;
    if (current || file >= 0) {
        window().messageBox(BusyText, "ERROR", VMainWindowLink::MB_ICONEXCLAMATION);
        return;
    }
    // The file is opened first and its size taken from what was opened:
    // the size offered is the size sent, whatever happens to the path.
    const int fd = OpenForReading(item->getPath());
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        refuseOpen(item);
        return;
    }
    // Sizes and offsets travel in 24 bits.
    if (st.st_size > FileFrames::MaxSize) {
        ::close(fd);
        item->setState(4);
        window().messageBox2(SizeText, VMainWindowLink::MB_ICONEXCLAMATION);
        return;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    file = fd;
    fileSize = st.st_size;
    current = item;
    current->hold();
    current->setSize(fileSize);
    current->setState(2);
    blockSize = std::clamp(size, 1, MaxBlockSize);
    lowestUnconfirmed = 0;
    rangeCount = 0;
    sentCount = 0;
    sentNext = 0;
    roundTrip = FirstRoundTrip;
    roundTripMeasured = false;
    rewound = false;
    sendOffset = 0;
    progressFlags = 0;
    wanted = 0xFF;
    remote = modem().protikus().getCurrent();
}

void VPerifSendingFile::endTransfer(bool ok)
{
    if (!current)
        return;
    const auto it = std::find(queue.begin(), queue.end(), current);
    if (it != queue.end()) {
        queue.erase(it);
        current->release();
    }
    current->setState(ok ? 3 : 4);
    if (ok) {
        current->setProgress(fileSize);
        // The station takes files: its dials count afresh.
        modem().protikus().stationServed(current->getPeerNumber());
    }
    dropCurrent();
}

void VPerifSendingFile::closeFile()
{
    if (file >= 0)
        ::close(file);
    file = -1;
}

void VPerifSendingFile::dropCurrent()
{
    if (current)
        current->release();
    current = nullptr;
    remote = nullptr;
    closeFile();
}

bool VPerifSendingFile::othersBusy() const
{
    const VPerifModem& m = modem();
    for (int i = 0; i < VPerifModem::HandlerCount; ++i) {
        if (i == VPerifModem::hSendingFile || i == VPerifModem::hReceivingFile)
            continue;
        const VPerif* h = m.handlerAt(i);
        if (h && h->isBusy())
            return true;
    }
    return false;
}

void VPerifSendingFile::startFromQueue(uint32_t)
{
    VPerifModem& m = modem();
    const VPerifCalls& calls = m.calls();
    const int r = calls.singleActiveDataCall();
    if (r < 0)
        return;
    // The other station said that it takes files (on this call).
    Protikus* party = m.protikus().getCurrent();
    if (!party || party->isCapabilitiesMissing() || !party->acceptsFiles())
        return;
    const std::string& number = calls.row(r).number;
    for (VListItemFile* item : queue) {
        if (item->getState() == 1 && item->getPeerNumber() == number) {
            beginTransfer(item, AutoBlockSize);
            party->idleMark = false;
            return;
        }
    }
}

void VPerifSendingFile::dataTick(uint32_t now)
{
    if (remote)
        remote->idleMark = false;
    // Nothing queued and nothing under way: nothing to look at.
    if (!current && file < 0 && queue.empty())
        return;
    if (othersBusy())
        return;
    // A call being hung up gets no more frames: its escape needs a quiet
    // line.
    if (modem().calls().isHangingUp())
        return;
    if (!current && file < 0 && !queue.empty())
        startFromQueue(now);
    if (!current || file < 0)
        return;

    const bool dataPhase = (progressFlags & (pfAccepted | pfNamed | pfComplete)) == (pfAccepted | pfNamed);
    const bool block = dataPhase && hasBlockToSend(now);
    uint32_t pause = RepeatPause;
    // Blocks go at the pace the other station set, gaps found after all
    // went out too; what waits for an answer repeats at the slow pause.
    if (block && remote)
        pause = remote->getBlockInterval();
    if (!elapsed(pause, now))
        return;

    if (!(progressFlags & pfAccepted)) {
        sendOffer(now);
    } else if (!(progressFlags & pfNamed)) {
        if (wanted & FileFrames::InfoFileName)
            sendName(now);
        else
            progressFlags |= pfNamed;
    } else if (block) {
        sendNextBlock(now);
    } else if (!(progressFlags & pfComplete)) {
        progressFlags |= pfAllSent;
        sendEnd(now);
    } else {
        // Complete ends the transfer whether or not its row is still
        // queued: a row removed while it was sent must not stay current.
        endTransfer(true);
    }
}
