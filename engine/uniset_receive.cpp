// The receive path of the connection engine: lines in the command modes,
// the end-of-call recogniser and data frames in a data call.
#include "engine/uniset.h"

#include "foundation/utils.h"
#include "serial/vtscomm32.h"

bool VUniSET::receivedByte(uint32_t now, uint8_t byte)
{
    if (mode == 3)
        return receivedDataByte(now, byte);
    return receivedCommandByte(now, byte);
}

bool VUniSET::smsPromptSeen()
{
    return mode == 2 && rxBuffer.equalsString("> ");
}

// ---- Command modes --------------------------------------------------------

namespace {

bool EndsWithLineEnd(const TInputBuffer& b)
{
    const uint32_t n = b.length();
    return n >= 2 && b.at(n - 2) == '\r' && b.at(n - 1) == '\n';
}

// "AT...\r": an echoed command line and nothing after it.
bool UnansweredEcho(const TInputBuffer& b)
{
    const uint32_t n = b.length();
    return n >= 3 && b.at(n - 1) == '\r' && (b.at(0) == 'A' || b.at(0) == 'a') && (b.at(1) == 'T' || b.at(1) == 't');
}

}  // namespace

bool VUniSET::receivedCommandByte(uint32_t now, uint8_t byte)
{
    if (byte == 0)
        return false;

    if (discardingLine) {
        // Only the last byte is kept, to find the CR LF that ends the
        // dropped line.
        const bool lineEnd = byte == '\n' && rxBuffer.length() == 1 && rxBuffer.at(0) == '\r';
        rxBuffer.clear();
        lastReceiveTick = now;
        if (lineEnd) {
            discardingLine = false;
            // The announced PDU line has passed, dropped.
            if (mode == 1)
                mode = 0;
            return true;
        }
        rxBuffer.appendByte(byte);
        return false;
    }

    // The echo of a line whose answer never came ends in a bare CR; the
    // next line's echo would be read as its continuation ("AT^SMSO=?\rAT^SMSO=?\r\r\n")
    // and mistaken for another command. It starts a line of its own.
    if ((byte == 'A' || byte == 'a') && mode == 0 && UnansweredEcho(rxBuffer))
        rxBuffer.clear();
    rxBuffer.appendByte(byte);
    bool result = false;
    // Only the LF just stored can end a line: the other bytes skip the
    // look at the buffer's end.
    if (byte == '\n' && EndsWithLineEnd(rxBuffer)) {
        if (mode == 1) {
            notify11(now);
            mode = 0;
        } else {
            lineReceived(now);
        }
        if (EndsWithLineEnd(rxBuffer)) {
            rxBuffer.clear();
            result = true;
        }
    } else if (rxBuffer.length() >= MaxLineLength) {
        // A device that never ends its line must not grow the buffer for
        // ever: the line is dropped up to its line end.
        const uint8_t last = rxBuffer.at(rxBuffer.length() - 1);
        rxBuffer.clear();
        rxBuffer.appendByte(last);
        discardingLine = true;
    }
    lastReceiveTick = now;
    return result;
}

// ---- Data call ------------------------------------------------------------

VUniSET::TCallEnd VUniSET::stepRecogniser(uint32_t now, uint8_t b)
{
    static const char Carrier[] = "ARRIER";  // states 9..14
    static const char Dialtone[] = "IALTONE";  // states 17..23
    const int s = recogniser;
    int next = 0;
    switch (s) {
    case 1:
        if (b == '\n')
            next = 2;
        break;
    case 2:
        if (b == 'O') next = 3;
        else if (b == 'N') next = 6;
        else if (b == '0') next = 4;
        else if (b == '3') next = 15;
        else if (b == '6') next = 24;
        break;
    case 3:
        if (b == 'K')
            next = 4;
        break;
    case 4:
        if (b == '\r')
            next = 5;
        break;
    case 5:
        if (b == '\n') {
            if (escapePending) {
                recogniser = 0;
                return ceOK;
            }
            next = 5;
        }
        break;
    case 6:
        if (b == 'O')
            next = 7;
        break;
    case 7:
        if (b == ' ')
            next = 8;
        break;
    case 8:
        if (b == 'C') next = 9;
        else if (b == 'D') next = 17;
        break;
    case 15:
        if (b == '\r')
            next = 16;
        break;
    case 16:
        if (b == '\n') {
            recogniser = 0;
            return ceNoCarrier;
        }
        break;
    case 24:
        if (b == '\r')
            next = 25;
        break;
    case 25:
        if (b == '\n') {
            recogniser = 0;
            return ceNoDialtone;
        }
        break;
    case 26:
        if (b == '+')
            next = Utils::IsTickElapsed(lastReceiveTick, 1000, now) ? 26 : 27;
        break;
    case 27:
        if (b == '+')
            next = Utils::IsTickElapsed(lastReceiveTick, 1000, now) ? 26 : 28;
        break;
    default:
        if (s >= 9 && s <= 14 && b == uint8_t(Carrier[s - 9]))
            next = s + 1;
        else if (s >= 17 && s <= 23 && b == uint8_t(Dialtone[s - 17]))
            next = s + 1;
        // State 28 (a "+++" from the line) has no transitions: the next
        // byte starts afresh.
        break;
    }
    recogniser = next;

    if (recogniser == 0) {
        switch (b) {
        case 'O': recogniser = 3; break;
        case 'N': recogniser = 6; break;
        case '0': recogniser = 4; break;
        case '3': recogniser = 15; break;
        case '6': recogniser = 24; break;
        case '\r': recogniser = 1; break;
        case '+':
            if (Utils::IsTickElapsed(lastReceiveTick, 700, now))
                recogniser = 26;
            break;
        default: break;
        }
        if (recogniser == 0)
            escapePending = false;
    }
    return ceNone;
}

bool VUniSET::endCall(uint32_t now, TCallEnd end)
{
    switch (end) {
    case ceOK:
        setMode(0);
        escapePending = false;
        recogniser = 0;
        return true;
    case ceNoCarrier:
    case ceNoDialtone:
        setMode(0);
        rxBuffer.clear();
        rxBuffer.appendString(end == ceNoCarrier ? "NO CARRIER\r\n" : "NO DIALTONE\r\n");
        lineReceived(now);
        rxBuffer.clear();
        return true;
    default:
        return false;
    }
}

bool VUniSET::carrierLost(uint32_t now)
{
    TVTSComm32* serial = serialPort();
    if (!serial)
        return false;
    if (serial->GetRLSD()) {
        carrierSeen = true;
        return false;
    }
    if (!carrierSeen)
        return false;
    // What is left of a frame is of the call that ended.
    rxBuffer.clear();
    deferredEnd = ceNone;
    return endCall(now, ceNoCarrier);
}

bool VUniSET::dropPartialFrame(uint32_t now)
{
    rxBuffer.clear();
    const TCallEnd end = deferredEnd;
    deferredEnd = ceNone;
    return endCall(now, end);
}

bool VUniSET::receivedDataByte(uint32_t now, uint8_t byte)
{
    // A frame that stalled (a stray frame-start byte, or a carrier lost
    // mid-frame) is not waited for any longer.
    if (!rxBuffer.isEmpty() && Utils::IsTickElapsed(lastReceiveTick, FrameIdleGap, now)) {
        if (dropPartialFrame(now)) {
            // The call has ended: this byte belongs to the command mode.
            receivedCommandByte(now, byte);
            return true;
        }
    }

    const TCallEnd end = stepRecogniser(now, byte);
    if (end != ceNone) {
        if (rxBuffer.isEmpty())
            return endCall(now, end);
        // Inside a frame the text may be file data: it ends the call only
        // if the frame turns out to be broken.
        if (deferredEnd == ceNone)
            deferredEnd = end;
    }

    if (rxBuffer.isEmpty() && frameLength(byte, 0) < 0)
        return false;
    rxBuffer.appendByte(byte);
    lastReceiveTick = now;

    if (rxBuffer.length() < 2)
        return false;
    const int total = frameLength(rxBuffer.at(0), rxBuffer.at(1));
    if (total < 0) {
        // Left over from before the call: not a frame.
        rxBuffer.clear();
        deferredEnd = ceNone;
        return false;
    }
    if (rxBuffer.length() < uint32_t(total))
        return false;

    const bool sound = checkFrame(now);
    rxBuffer.clear();
    const TCallEnd pending = deferredEnd;
    deferredEnd = ceNone;
    if (!sound)
        endCall(now, pending);
    return true;
}

// ---- Frames ---------------------------------------------------------------

bool VUniSET::frameIsSound() const
{
    const uint32_t n = rxBuffer.length();
    if (n < 6)
        return false;
    const uint8_t third = rxBuffer.at(2);
    if (third != 0xB0 && third != 0xA0)
        return false;
    uint32_t sum = 1;
    for (uint32_t i = 0; i + 1 < n; ++i)
        sum += rxBuffer.at(i);
    return uint8_t(sum & 0xFF) == rxBuffer.at(n - 1);
}

bool VUniSET::checkFrame(uint32_t now)
{
    if (!frameIsSound())
        return false;
    lastFrameTick = now;
    handlers.onFrame(now);
    return true;
}
