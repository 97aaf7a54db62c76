#include "engine/uniset.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/main_window_link.h"
#include "engine/perif_cpin.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"
#include "foundation/utils.h"
#include "platform/tick.h"
#include "serial/comm_component.h"
#include "serial/vtscomm32.h"

VUniSET::VUniSET(VTixCommunicationComponent* port, VMainWindowLink* window)
    : port(port), window(window), handlers(this),
      sendList(std::make_unique<VListViewFile>(true)),
      receivedList(std::make_unique<VListViewFile>(false))
{
    // The buffers grow by a tenth when full: from empty, a first line of a
    // few hundred bytes would move them dozens of times. Room for the
    // usual lines up front keeps receiving and sending from allocating.
    rxBuffer.reserve(BufferReserve);
    txBuffer.reserve(BufferReserve);
    window->bindFileList(VMainWindowLink::ListFilesOut, &sendList->getModel());
    window->bindFileList(VMainWindowLink::ListFilesIn, &receivedList->getModel());
}

VUniSET::~VUniSET()
{
    // The sender lets go of its rows before they go, and the views of the
    // lists before their models go. (The transfers' rows go with the lists;
    // the handlers, deleted after them, never touch them again.)
    handlers.sendingFile().clearQueue();
    window->bindFileList(VMainWindowLink::ListFilesOut, nullptr);
    window->bindFileList(VMainWindowLink::ListFilesIn, nullptr);
}

void VUniSET::start()
{
    const uint32_t now = Platform::GetTickCount();
    handlers.start(now);
    lastSendTick = now;
    lastReceiveTick = now;
    resetDisplays();
    showState();
    updateStatusBar();
    restart(now);
}

// ---- Modes ----------------------------------------------------------------

void VUniSET::setMode(int newMode)
{
    // Whatever of a frame is left when a data call ends would otherwise
    // prefix the next command line.
    if (mode == 3 && newMode != 3) {
        rxBuffer.clear();
        deferredEnd = ceNone;
    }
    // Only the tail of a dropped overlong line is left: no frame start.
    if (discardingLine && newMode == 3) {
        discardingLine = false;
        rxBuffer.clear();
    }
    // A data call's silence counts from the line that began it.
    if (newMode == 3 && mode != 3)
        lastFrameTick = lastReceiveTick;
    carrierSeen = false;
    recogniser = 0;
    window->flushTerminalLine();
    mode = newMode;
}

void VUniSET::expectPduLine()
{
    mode = 1;
}

void VUniSET::beginSmsText()
{
    mode = 2;
    txBuffer.clear();
}

bool VUniSET::idleElapsed(uint32_t limit, uint32_t now) const
{
    return Utils::IsTickElapsed(lastSendTick, limit, now);
}

[[gnu::hot]] bool VUniSET::portConnected() const  // on every tick
{
    return port && port->Connected();
}

TVTSComm32* VUniSET::serialPort() const
{
    return dynamic_cast<TVTSComm32*>(port);
}

// ---- Port steps -------------------------------------------------------------

void VUniSET::reopenPort(uint32_t now, uint32_t closedMs, bool resetAfter)
{
    if (port)
        port->StopComm();
    reopen.pending = true;
    reopen.start = now;
    reopen.limit = closedMs;
    reopen.resetAfter = resetAfter;
}

void VUniSET::pulseRTS(uint32_t now, uint32_t lowMs)
{
    startPulse(rtsPulse, &VTSComm32Signals::SetRTS, now, lowMs);
}

void VUniSET::pulseDTR(uint32_t now, uint32_t lowMs)
{
    startPulse(dtrPulse, &VTSComm32Signals::SetDTR, now, lowMs);
}

void VUniSET::startPulse(TPortStep& step, bool (VTSComm32Signals::*set)(bool), uint32_t now, uint32_t lowMs)
{
    if (TVTSComm32* serial = serialPort())
        (serial->Signals().*set)(false);
    step.pending = true;
    step.start = now;
    step.limit = lowMs;
}

void VUniSET::stepPort(uint32_t now)
{
    const std::pair<TPortStep*, bool (VTSComm32Signals::*)(bool)> pulses[] = {
        {&rtsPulse, &VTSComm32Signals::SetRTS}, {&dtrPulse, &VTSComm32Signals::SetDTR}};
    for (const auto& [pulse, set] : pulses) {
        if (pulse->pending && Utils::IsTickElapsed(pulse->start, pulse->limit, now)) {
            pulse->pending = false;
            if (TVTSComm32* serial = serialPort())
                (serial->Signals().*set)(true);
        }
    }
    if (reopen.pending && Utils::IsTickElapsed(reopen.start, reopen.limit, now)) {
        reopen.pending = false;
        if (port) {
            try {
                port->StartComm();
            } catch (const ECommsError&) {
                // The port reports itself failed, which the engine follows.
            }
        }
        if (reopen.resetAfter)
            resetAll(now);
        else
            restart(now);
    }
}

void VUniSET::setPIN(const std::string& text)
{
    handlers.cpin().setPIN(text);
}

void VUniSET::restart(uint32_t now)
{
    mode = 0;
    handlers.restart(now);
}

void VUniSET::resetAll(uint32_t now)
{
    mode = 0;
    handlers.reset(now);
}

// ---- Broadcasts -----------------------------------------------------------

void VUniSET::poll(uint32_t now) { handlers.tick(now); }
void VUniSET::dataTick(uint32_t now) { handlers.dataTick(now); }
void VUniSET::lineReceived(uint32_t now) { handlers.onResponse(now); }
void VUniSET::lineSent(uint32_t now) { handlers.onCommandSent(now); }
void VUniSET::notify11(uint32_t now) { handlers.onSms11(now); }
void VUniSET::smsPromptEnded(uint32_t now, uint8_t cancelled)
{
    handlers.onSmsPromptEnd(now, cancelled);
}
void VUniSET::frameSent(uint32_t now) { handlers.onFrameSent(now); }

// ---- Sending --------------------------------------------------------------

void VUniSET::sendLine(uint32_t now, const char* text, int length)
{
    if (!text) {
        window->messageBox("VUniSET::sendLine: line=NULL", "Error", VMainWindowLink::MB_ICONERROR);
        return;
    }
    if (length < 0)
        length = int(std::strlen(text));

    // Ordinary command lines are prepared without allocation.
    constexpr int FixedLine = 400;
    std::array<char, FixedLine + 1> fixed;
    std::vector<char> heap;
    char* line = fixed.data();
    if (length > FixedLine) {
        heap.resize(size_t(length) + 1);
        line = heap.data();
    }
    std::memcpy(line, text, size_t(length));
    line[length] = '\r';
    sendData(line, length + 1, now);
    lineSent(now);
}

bool VUniSET::sendData(const void* text, int length, uint32_t now)
{
    if (length < 0)
        length = 0;
    const char* bytes = static_cast<const char*>(text);
    if (!bytes)
        length = 0;

    window->terminalAddLine(bytes, length, mode == 3);
    if (port && length > 0)
        port->WriteCommData(bytes, length);

    if (mode != 2)
        txBuffer.clear();
    txBuffer.appendBytes(bytes, length);

    if (mode == 2 && txBuffer.length() > 0) {
        const uint8_t last = txBuffer.at(txBuffer.length() - 1);
        if (last == 26) {
            smsPromptEnded(now, 0);
            mode = 0;
        } else if (last == '\r' || last == 27) {
            smsPromptEnded(now, 1);
            mode = 0;
        }
        // The "> " prompt is still in the receive buffer.
        if (mode == 0)
            rxBuffer.clear();
    }

    if (mode == 3) {
        const bool guarded = idleElapsed(1000, now);
        escapePending = guarded && length == 3 && std::memcmp(bytes, "+++", 3) == 0;
    }

    lastSendTick = now;
    return true;
}

bool VUniSET::sendFrame(uint32_t now, uint8_t type, const void* data, int length)
{
    if (length < 0 || length > MaxFrameData || (length > 0 && !data))
        return false;
    std::array<uint8_t, MaxFrameData + 6> frame;
    frame[0] = uint8_t(0x80 + ((length >> 8) & 0x0F));
    frame[1] = uint8_t(length & 0xFF);
    frame[2] = 0xB0;
    frame[3] = 0xA0;
    frame[4] = type;
    if (length > 0)
        std::memcpy(frame.data() + 5, data, size_t(length));
    uint32_t sum = 1;
    for (int i = 0; i < length + 5; ++i)
        sum += frame[size_t(i)];
    frame[size_t(length) + 5] = uint8_t(sum & 0xFF);
    sendData(frame.data(), length + 6, now);
    frameSent(now);
    return true;
}

int VUniSET::frameLength(uint8_t first, uint8_t second)
{
    if ((first & 0xF0) != 0x80)
        return -1;
    return ((first & 0x0F) << 8) + second + 6;
}

// ---- File lists -----------------------------------------------------------

void VUniSET::addSendFile(const std::string& fileName, const std::string& phoneNumber)
{
    auto item = std::make_unique<VListItemFile>(std::max(sendList->getMaxId(), 0) + 1);
    item->setOutgoing(true);
    VListItemFile* row = item.get();
    sendList->addItem(std::move(item));
    row->setPath(fileName);
    row->setPeerNumber(phoneNumber);
}

void VUniSET::removeSendFile(int row)
{
    if (row < 0)
        return;
    VListItemFile* item = sendList->getItemOwner(row);
    if (!item)
        return;
    handlers.sendingFile().dequeue(item);
    item->requestStop();
}

void VUniSET::walkSendList(bool dropFinished)
{
    VPerifSendingFile& sender = handlers.sendingFile();
    sender.clearQueue();
    for (int i = 0; i < sendList->getCount(); ++i) {
        VListItemFile* item = sendList->getItem(i);
        switch (item->getState()) {
        case 1:
            sender.enqueue(item);
            break;
        case 3:
            if (dropFinished) {
                item->requestStop();
            } else {
                item->setState(1);
                sender.enqueue(item);
            }
            break;
        case 4:
            item->setState(1);
            sender.enqueue(item);
            break;
        default:
            break;
        }
    }
}

VListItemFile* VUniSET::addReceivedFile()
{
    receivedList->setTempFolder(window->tempFolder());
    auto item = std::make_unique<VListItemFile>(std::max(receivedList->getMaxId(), 0) + 1);
    item->setOutgoing(false);
    VListItemFile* row = item.get();
    receivedList->addItem(std::move(item));
    return row;
}

void VUniSET::releaseTransfers()
{
    const uint32_t now = Platform::GetTickCount();
    handlers.sendingFile().reset(now);
    handlers.receivingFile().reset(now);
}

VListItemFile* VUniSET::receivedItemOf(int row)
{
    return receivedList->getItemOwner(row);
}
