// The file transfer over a data call with all real handlers: as the
// receiving station, frames of any type and payload (with a right check
// byte) come from the other station; as the sending station, with a
// transfer under way, the other station's answers do. Whatever arrives,
// nothing is written past the offered size nor outside the temporary
// folder, no Block leaves past the file's end, and every offset and range
// stays within the file.
//
// Input: the start tick (4 bytes), the role (bit 0: sending), for the
// sending station the file size (2 bytes); then steps of an op byte:
// a frame (type byte, length byte, payload), an answer frame (type 0,
// length byte, payload), or time (one byte, 5 ms units).
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_calls.h"
#include "engine/perif_protikus.h"
#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"
#include "engine/protikus.h"
#include "fuzz/support/engine_rig.h"
#include "fuzz/support/fuzz_input.h"
#include "fuzz/support/frames.h"
#include "fuzz/support/qt_core_app.h"

namespace {

namespace fs = std::filesystem;

// A private folder for the run, in memory where the system allows (the
// receiver writes and syncs its temporary files on every block): "in"
// takes the received files, "out" holds the file to send.
struct TFolder {
    TFolder()
    {
        std::string pattern = std::string(Fuzz::TempFolder()) + "/transfer-XXXXXX";
        FUZZ_REQUIRE(::mkdtemp(pattern.data()) != nullptr);
        root = pattern;
        fs::create_directory(root + "/in");
        fs::create_directory(root + "/out");
    }
    ~TFolder()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string root;
};

const TFolder& Folder()
{
    static const TFolder folder;
    return folder;
}

std::string Payload(Fuzz::TInput& in)
{
    std::string payload;
    for (unsigned n = in.byte(); n > 0 && !in.empty(); --n)
        payload += char(in.byte());
    return payload;
}

uint32_t Le(const TInputBuffer& b, uint32_t at, int width)
{
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = v << 8 | b.at(at + uint32_t(i));
    return v;
}

void CheckReceived(VUniSET& engine, const std::string& in)
{
    const VPerifReceivingFile& receiver = engine.getHandlers().receivingFile();
    FUZZ_REQUIRE(receiver.getRangeCount() >= 0 && receiver.getRangeCount() <= FileFrames::RangeSlots);
    if (const VListItemFile* row = receiver.getCurrent()) {
        FUZZ_REQUIRE(receiver.getNextExpected() <= row->getSize());
        for (int i = 0; i < receiver.getRangeCount(); ++i) {
            const FileFrames::TRange r = receiver.getRange(i);
            FUZZ_REQUIRE(r.start >= 0 && r.start < r.end && r.end <= row->getSize());
        }
    }
    const VListViewFile& list = engine.getReceivedList();
    for (int i = 0; i < list.getCount(); ++i) {
        const VListItemFile* row = list.getItem(i);
        FUZZ_REQUIRE(row->getSize() >= 0 && row->getSize() <= FileFrames::MaxSize);
        FUZZ_REQUIRE(row->getProgress() <= row->getSize());
        FUZZ_REQUIRE(row->getPath().find('/') == std::string::npos);
        const std::string& temporary = row->temporaryName();
        if (temporary.empty())
            continue;
        FUZZ_REQUIRE(temporary.rfind(in + "/tixu", 0) == 0);
        struct stat st {};
        FUZZ_REQUIRE(::stat(temporary.c_str(), &st) == 0);
        FUZZ_REQUIRE(st.st_size <= row->getSize());
    }
}

void CheckSending(VUniSET& engine)
{
    const VPerifSendingFile& sender = engine.getHandlers().sendingFile();
    const int64_t size = sender.getFileSize();
    FUZZ_REQUIRE(sender.getSendOffset() >= 0 && sender.getSendOffset() <= size);
    FUZZ_REQUIRE(sender.getLowestUnconfirmed() >= 0 && sender.getLowestUnconfirmed() <= size);
    FUZZ_REQUIRE(sender.getRangeCount() >= 0 && sender.getRangeCount() <= FileFrames::RangeSlots);
    for (int i = 0; i < sender.getRangeCount(); ++i) {
        const FileFrames::TRange r = sender.getRange(i);
        FUZZ_REQUIRE(r.start >= 0 && r.start < r.end && r.end <= size);
    }
    if (const VListItemFile* row = sender.getCurrent())
        FUZZ_REQUIRE(row->getProgress() <= row->getSize());
    // The last frame sent: a Block lies within the file and is small.
    const TInputBuffer& tx = engine.getTxBuffer();
    if (tx.length() >= 11 && tx.at(4) == FileFrames::Block) {
        const uint32_t offset = Le(tx, 5, 3);
        const uint32_t count = Le(tx, 8, 2);
        FUZZ_REQUIRE(count >= 1 && count <= uint32_t(VPerifSendingFile::AutoBlockSize));
        FUZZ_REQUIRE(count == tx.length() - 11);
        FUZZ_REQUIRE(int64_t(offset) + count <= size);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TFolder& folder = Folder();
    const std::string in = folder.root + "/in";
    Fuzz::TInput input(data, size);
    {
        Fuzz::TEngineRig rig(input.u32());
        rig.window.temporaryFolder = in;
        VUniSET& engine = *rig.engine;
        VPerifModem& m = engine.getHandlers();
        const bool sending = input.flag();

        // One active data call of that direction; the other station takes
        // files.
        VCall& call = m.calls().row(0);
        call.number = "+420601000002";
        call.outgoing = sending;
        call.setType(2);
        call.setState(3);
        engine.setMode(3);
        m.protikus().attach(sending);
        Protikus* party = m.protikus().getCurrent();
        FUZZ_REQUIRE(party != nullptr);
        const auto caps = Protikus::OwnCapabilities(0x2102);
        party->setCapabilities(caps.data(), int(caps.size()));

        if (sending) {
            std::string bytes(input.u16() % 4096, '\0');
            for (size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = char(i * 7 + 3);
            const std::string path = folder.root + "/out/file.bin";
            Fuzz::WriteWholeFile(path, bytes);
            engine.addSendFile(path, call.number);
            engine.walkSendList(false);
            m.sendingFile().beginTransfer(engine.getSendList().getItem(0), VPerifSendingFile::AutoBlockSize);
            FUZZ_REQUIRE(m.sendingFile().isBusy());
            // Accepted and named: the data phase.
            rig.receive(Fuzz::Frame(0, std::string("\x40\x01", 2)));
            rig.receive(Fuzz::Frame(0, std::string("\x43\x01", 2)));
            rig.tick(1010);
            rig.tick(1010);
        }

        for (int steps = 0; !input.empty() && steps < 400; ++steps) {
            switch (input.byte() % 3) {
            case 0: {
                const uint8_t type = input.byte();
                rig.receive(Fuzz::Frame(type, Payload(input)));
                break;
            }
            case 1:
                rig.receive(Fuzz::Frame(0, Payload(input)));
                break;
            default:
                rig.tick(uint32_t(input.byte()) * 5);
                break;
            }
            CheckReceived(engine, in);
            if (sending)
                CheckSending(engine);
        }
        rig.tick(1000);
        CheckReceived(engine, in);
    }
    // The rows took their temporary files with them; nothing else was
    // written. Removing the folder succeeds only when it is empty, which
    // costs less than listing it.
    FUZZ_REQUIRE(::rmdir(in.c_str()) == 0);
    FUZZ_REQUIRE(::mkdir(in.c_str(), 0700) == 0);
    std::error_code ignored;
    fs::remove(folder.root + "/out/file.bin", ignored);
    return 0;
}
