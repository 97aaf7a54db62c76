#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"
#include "tests/engine/calls_rig.h"
#include "tests/support/files.h"

// One station for file transfers on the handler rig: the call and
// remote-party handlers, the real file sender and receiver, every other
// handler a settled stand-in of a device of the given maker and model (an
// Ericsson GM22 unless said otherwise: it takes files). Files to send are
// made in a private folder ("out"); received files go to its "in" folder.
struct TTransferRig : TCallsRig {
    explicit TTransferRig(int maker = 0x2000, int model = 0x102, uint32_t start = 100000);

    VPerifSendingFile& sender() { return modem.sendingFile(); }
    VPerifReceivingFile& receiver() { return modem.receivingFile(); }
    // The station runs the previous release's file sender and receiver
    // (tests/engine/previous_transfer.h); before anything is queued.
    void usePreviousRelease();

    // A file to send with these bytes; its path.
    std::string file(const std::string& name, const std::string& bytes);
    // A row of the send list for the file and number, queued by the walk of
    // the send list (as the page's send button does).
    VListItemFile* queue(const std::string& path, const std::string& number);
    // The call rows: row 0 becomes an active data call, dialled by this
    // station (the echo of the dial) or answered (RING, the caller's
    // number, ATA), then "CONNECT 9600"; the engine is in data mode after.
    void dialled(const std::string& number);
    void answered(const std::string& number);
    // The caller's exchange with a station that answers as a GM22 with
    // the given capability answer: the identity and capability requests go
    // out, the answers come back.
    void exchange(const std::string& capabilitiesAnswerHex = FilesCapabilitiesAnswer);
    // The frames written since the last call, as hex, one per entry
    // (other bytes as one entry of their own).
    std::vector<std::string> frames();
    // The engine's ticks for `ms`; the frames they wrote.
    std::vector<std::string> runFrames(uint32_t ms);
    // A frame from the other station: its hex bytes without the check byte.
    void frame(const std::string& hexWithoutSum) { line(Frame(hexWithoutSum)); }

    // Every file below the private folder, as paths relative to it.
    std::vector<std::string> filesBelow() const;
    std::string inFolder() const { return dir.File("in"); }
    std::string outFolder() const { return dir.File("out"); }
    VListItemFile* received(int i) { return engine.getReceivedList().getItem(i); }
    int receivedCount() { return engine.getReceivedList().getCount(); }

    // The capability answer of a station that takes files (32 ms), of one
    // that does not, and the identity answer of a GM22.
    static const std::string FilesCapabilitiesAnswer;
    static const std::string NoFilesCapabilitiesAnswer;
    static const std::string GM22IdentityAnswer;
    // The GM22's identity request, as the caller opens the exchange.
    static const std::string GM22Identity;
    // Splits written bytes into frames, other bytes kept together; as
    // they are, and as hex.
    static std::vector<std::string> SplitRaw(const std::string& bytes);
    static std::vector<std::string> SplitFrames(const std::string& bytes);
    // A whole frame of this type and payload, and little-endian numbers.
    static std::string Wire(uint8_t type, const std::string& payload);
    static std::string Le24(uint32_t value);
    static std::string Le16(uint32_t value);
    // The file-transfer frames, whole.
    static std::string Offer(uint32_t size) { return Wire(0x40, Le24(size)); }
    static std::string Name(const std::string& name) { return Wire(0x43, "\x01" + name); }
    static std::string Block(uint32_t offset, const std::string& data)
    {
        return Wire(0x42, Le24(offset) + Le16(uint32_t(data.size())) + data);
    }
    static std::string End() { return Wire(0x41, ""); }
    // An Ack: the end, the ranges as (start, length), the resume offset.
    static std::string Ack(uint32_t end, const std::vector<std::pair<uint32_t, uint32_t>>& ranges, uint32_t resume);

    TestSupport::TempDir dir{"transfer"};
};
