#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "engine/perif_modem.h"
#include "foundation/input_buffer.h"

class VTixCommunicationComponent;
class TVTSComm32;
class VTSComm32Signals;
class VMainWindowLink;
class VListViewFile;
class VListItemFile;

// The connection engine: one per connection to the device on the serial
// port. It writes command lines and data frames, logs what it writes in
// the terminal, collects received bytes into lines (command modes) or data
// frames (a data call), offers every line to all 18 handlers in their
// fixed order, tracks the connection mode and keeps the displayed progress
// state and the status displays of the main window.
//
// Modes: 0 commands, 1 the next line is an SMS PDU line, 2 SMS text after
// the "> " prompt, 3 data call.
// Progress states: 0 ready, 1 a feature missing, 2 working, 3 no answer,
// 4 disconnected, 5 finishing, 6 finished.
//
// Everything runs on the main thread; `now` is the millisecond tick.
class VUniSET {
public:
    // Data bytes a frame can carry.
    static constexpr int MaxFrameData = 2070;
    // A received line that grows this long without a line end is dropped.
    static constexpr uint32_t MaxLineLength = 64 * 1024;
    // Room the receive and send buffers have from the start: the longest
    // usual line (a listed SMS PDU, a command) fits without a move.
    static constexpr uint32_t BufferReserve = 512;
    // A partial data frame that gets no byte for this long is dropped.
    static constexpr uint32_t FrameIdleGap = 2000;
    // Once the device is ready and nothing was received or sent for this
    // long, the handlers are polled every QuietPassMs instead of on every
    // tick (a request of the user's brings the next pass at once, see
    // wake). An answer or a sent line brings the pass on every tick back.
    static constexpr uint32_t QuietAfterMs = 200;
    static constexpr uint32_t QuietPassMs = 200;

    // Neither is owned; both must outlive the engine.
    VUniSET(VTixCommunicationComponent* port, VMainWindowLink* window);
    VUniSET(const VUniSET&) = delete;
    VUniSET& operator=(const VUniSET&) = delete;

    virtual void start();
    virtual ~VUniSET();
    virtual void resetDisplays();
    // Total length of a frame from its first two bytes; -1 when the first
    // byte starts no frame.
    virtual int frameLength(uint8_t first, uint8_t second);
    virtual void showState();
    virtual void answeredAgain();
    virtual void portLost();
    virtual bool isDown();
    virtual void tick(uint32_t now);
    // Receives the progress text; does nothing.
    virtual void stateTextChanged(const std::string& text);
    virtual bool smsPromptSeen();
    // Writes one command line: the text (length -1: up to its NUL) and CR.
    // Every handler is told before this returns.
    virtual void sendLine(uint32_t now, const char* text, int length);
    // Writes one data frame; false (nothing written) for more than
    // MaxFrameData bytes.
    virtual bool sendFrame(uint32_t now, uint8_t type, const void* data, int length);
    virtual void addSendFile(const std::string& fileName, const std::string& phoneNumber);
    // Row of the send list's view; -1 for none.
    virtual void removeSendFile(int row);
    virtual void walkSendList(bool dropFinished);
    virtual VListItemFile* addReceivedFile();
    virtual VListItemFile* receivedItemOf(int row);
    // The file sender and receiver drop their transfers and let go of
    // their rows (closing).
    void releaseTransfers();
    virtual void poll(uint32_t now);
    virtual void dataTick(uint32_t now);
    virtual void restart(uint32_t now);
    virtual void resetAll(uint32_t now);
    virtual void lineReceived(uint32_t now);
    virtual void lineSent(uint32_t now);
    virtual void notify11(uint32_t now);
    virtual void smsPromptEnded(uint32_t now, uint8_t cancelled);
    // Gives the received frame to the handlers if its sum is right; whether it was.
    virtual bool checkFrame(uint32_t now);
    virtual void frameSent(uint32_t now);

    // One received byte; true when it completed a line (command modes), an
    // end-of-call text or a data frame (data call).
    bool receivedByte(uint32_t now, uint8_t byte);
    // Writes raw bytes; always true.
    bool sendData(const void* text, int length, uint32_t now);
    void setMode(int mode);
    void expectPduLine();
    void beginSmsText();
    // More than `limit` ms since the last write.
    bool idleElapsed(uint32_t limit, uint32_t now) const;
    bool portConnected() const;
    // Ready, in command mode, the port open, and nothing received or sent for
    // QuietAfterMs: the handlers can only act on their own timers (or on
    // a request of the window, taken up at the next pass).
    bool isQuiet(uint32_t now) const;
    // The next tick polls the handlers even while quiet: the user did
    // something the handlers may have to act on.
    void wake() { passWanted = true; }
    bool isPassWanted() const { return passWanted; }
    // The last tick fell between the spaced passes: only the clock and the
    // alarm edits followed the time.
    bool wasTickQuiet() const { return tickQuiet; }
    VTixCommunicationComponent* getPort() const { return port; }
    // Staged close: true once both file lists have stopped and the state
    // is "finished".
    bool finish();
    void setPIN(const std::string& text);

    // ---- Port steps that take time -----------------------------------
    // The main thread never waits for the device; these run on the tick.
    // Closes the port now and opens it again once more than `closedMs` ms
    // have passed; then every handler starts again (resetAll when
    // `resetAfter`, else restart). Handlers are not polled meanwhile. The
    // request lives here, not in a handler, because closing the port
    // restarts (and so resets) the handlers.
    void reopenPort(uint32_t now, uint32_t closedMs, bool resetAfter);
    bool isReopenPending() const { return reopen.pending; }
    // RTS low now, high again once more than `lowMs` ms have passed.
    void pulseRTS(uint32_t now, uint32_t lowMs);
    bool isRtsPulsePending() const { return rtsPulse.pending; }
    // The same with DTR: a device set to hang up on DTR clears its call.
    void pulseDTR(uint32_t now, uint32_t lowMs);
    bool isDtrPulsePending() const { return dtrPulse.pending; }
    // The port as the serial port component (baud rate, RTS line); null
    // for any other link.
    TVTSComm32* serialPort() const;

    void updateStatusBar();
    void makerChanged();
    void modelChanged();
    void showStatusText(const std::string& text);
    void showRegistration();
    void showOperator();
    void showSignal();

    // What the status displays show of the device's signal values: values
    // outside 0..31 (rssi) and 0..7 (ber), the device's 99 included, are
    // shown as unknown (-1).
    static int shownRssi(int rssi);
    static int shownBer(int ber);

    VMainWindowLink& getWindow() const { return *window; }
    VPerifModem& getHandlers() { return handlers; }
    const VPerifModem& getHandlers() const { return handlers; }
    // The line (or frame) being received; during onResponse one whole line.
    TInputBuffer& getRxBuffer() { return rxBuffer; }
    const TInputBuffer& getRxBuffer() const { return rxBuffer; }
    // The data last written; in mode 2 the text written after the prompt.
    TInputBuffer& getTxBuffer() { return txBuffer; }
    const TInputBuffer& getTxBuffer() const { return txBuffer; }
    int getMode() const { return mode; }
    int getState() const { return state; }
    const std::string& getMissing() const { return missing; }
    void setMissing(const std::string& tag) { missing = tag; }
    bool isEscapePending() const { return escapePending; }
    int getRecogniser() const { return recogniser; }
    uint32_t getLastSendTick() const { return lastSendTick; }
    uint32_t getLastReceiveTick() const { return lastReceiveTick; }
    // When the last sound frame arrived in the data call (or, before the
    // first, when the call entered the data mode).
    uint32_t getLastFrameTick() const { return lastFrameTick; }
    VListViewFile& getSendList() { return *sendList; }
    VListViewFile& getReceivedList() { return *receivedList; }

private:
    struct TPortStep {
        bool pending = false;
        uint32_t start = 0;
        uint32_t limit = 0;
        bool resetAfter = false;
    };
    void stepPort(uint32_t now);
    // A modem line low now, high again once `lowMs` have passed.
    void startPulse(TPortStep& step, bool (VTSComm32Signals::*set)(bool), uint32_t now, uint32_t lowMs);

    // Texts the data-call recogniser ends a call on.
    enum TCallEnd { ceNone, ceOK, ceNoCarrier, ceNoDialtone };

    // In the data call: a carrier that was up and is gone ends the call as
    // NO CARRIER (a port without modem lines never shows one). True when
    // the call ended.
    bool carrierLost(uint32_t now);
    bool receivedCommandByte(uint32_t now, uint8_t byte);
    bool receivedDataByte(uint32_t now, uint8_t byte);
    TCallEnd stepRecogniser(uint32_t now, uint8_t byte);
    bool endCall(uint32_t now, TCallEnd end);
    bool frameIsSound() const;
    // Drops a partial frame; acts on an end text seen inside it. True when
    // the call ended.
    bool dropPartialFrame(uint32_t now);

    VTixCommunicationComponent* port;
    VMainWindowLink* window;
    VPerifModem handlers;
    TInputBuffer rxBuffer;
    TInputBuffer txBuffer;
    std::unique_ptr<VListViewFile> sendList;
    std::unique_ptr<VListViewFile> receivedList;
    int state = 4;
    std::string missing;
    uint32_t lastSendTick = 0;
    uint32_t lastReceiveTick = 0;
    uint32_t lastFrameTick = 0;
    // DCD was seen up in this data call.
    bool carrierSeen = false;
    uint32_t lastPassTick = 0;
    bool passWanted = false;
    bool tickQuiet = false;
    int mode = 0;
    bool escapePending = false;
    int recogniser = 0;
    // A line too long to keep is being skipped up to its line end.
    bool discardingLine = false;
    // An end-of-call text seen inside a frame that is still being collected.
    TCallEnd deferredEnd = ceNone;
    TPortStep reopen;
    TPortStep rtsPulse;
    TPortStep dtrPulse;
};
