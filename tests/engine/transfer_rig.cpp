#include "tests/engine/transfer_rig.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "calls/list_view_file.h"
#include "engine/perif_calls.h"
#include "tests/engine/previous_transfer.h"

const std::string TTransferRig::FilesCapabilitiesAnswer = "80 06 B0 A0 00 11 00 00 0C 00 6A 5E";
const std::string TTransferRig::NoFilesCapabilitiesAnswer = "80 06 B0 A0 00 11 00 00 00 00 60 48";
const std::string TTransferRig::GM22IdentityAnswer = "80 09 B0 A0 00 12 01 01 50 00 01 FF 02 21 61";
const std::string TTransferRig::GM22Identity = "80 08 B0 A0 12 01 01 50 00 01 FF 02 21 60";

TTransferRig::TTransferRig(int maker, int model, uint32_t start) : TCallsRig(maker, model, start)
{
    std::filesystem::create_directory(inFolder());
    std::filesystem::create_directory(outFolder());
    window.tempDir = inFolder();
    modem.replaceHandler(VPerifModem::hSendingFile, std::make_unique<VPerifSendingFile>(&engine));
    modem.replaceHandler(VPerifModem::hReceivingFile, std::make_unique<VPerifReceivingFile>(&engine));
    sender().start(now);
    receiver().start(now);
    settle();
    window.clearCalls();
}

void TTransferRig::usePreviousRelease()
{
    modem.replaceHandler(VPerifModem::hSendingFile, std::make_unique<TPreviousSender>(&engine));
    modem.replaceHandler(VPerifModem::hReceivingFile, std::make_unique<TPreviousReceiver>(&engine));
    sender().start(now);
    receiver().start(now);
}

std::string TTransferRig::file(const std::string& name, const std::string& bytes)
{
    const std::string path = outFolder() + "/" + name;
    TestSupport::WriteFile(path, bytes);
    return path;
}

VListItemFile* TTransferRig::queue(const std::string& path, const std::string& number)
{
    engine.addSendFile(path, number);
    VListViewFile& list = engine.getSendList();
    VListItemFile* row = list.getItem(list.getCount() - 1);
    engine.walkSendList(false);
    return row;
}

void TTransferRig::dialled(const std::string& number)
{
    line("ATD" + number + "\r\r\n");
    line("CONNECT 9600\r\n");
    sent();
}

void TTransferRig::answered(const std::string& number)
{
    line("RING\r\n");
    line("+CLIP: \"" + number + "\",145\r\n");
    calls().setAnswerPending(true);
    run(10);
    line("ATA\r\r\nCONNECT 9600\r\n");
    sent();
}

void TTransferRig::exchange(const std::string& capabilitiesAnswerHex)
{
    run(10);
    line(Bytes(GM22IdentityAnswer));
    run(10);
    line(Bytes(capabilitiesAnswerHex));
}

std::vector<std::string> TTransferRig::SplitRaw(const std::string& bytes)
{
    std::vector<std::string> out;
    std::string other;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b0 = uint8_t(bytes[i]);
        if ((b0 & 0xF0) == 0x80 && i + 1 < bytes.size()) {
            const size_t total = size_t((b0 & 0x0F) << 8 | uint8_t(bytes[i + 1])) + 6;
            if (i + total <= bytes.size()) {
                if (!other.empty())
                    out.push_back(other);
                other.clear();
                out.push_back(bytes.substr(i, total));
                i += total;
                continue;
            }
        }
        other += bytes[i++];
    }
    if (!other.empty())
        out.push_back(other);
    return out;
}

std::vector<std::string> TTransferRig::SplitFrames(const std::string& bytes)
{
    std::vector<std::string> out = SplitRaw(bytes);
    for (std::string& piece : out)
        piece = Hex(piece);
    return out;
}

std::vector<std::string> TTransferRig::frames()
{
    return SplitFrames(sent());
}

std::vector<std::string> TTransferRig::runFrames(uint32_t ms)
{
    run(ms);
    return frames();
}

std::vector<std::string> TTransferRig::filesBelow() const
{
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
        if (!e.is_directory())
            out.push_back(std::filesystem::relative(e.path(), dir.Path()).string());
    std::sort(out.begin(), out.end());
    return out;
}

std::string TTransferRig::Wire(uint8_t type, const std::string& payload)
{
    std::string frame;
    frame += char(0x80 | ((payload.size() >> 8) & 0x0F));
    frame += char(payload.size() & 0xFF);
    frame += "\xB0\xA0";
    frame += char(type);
    return Frame(Hex(frame + payload));
}

std::string TTransferRig::Le24(uint32_t value)
{
    return std::string{char(value & 0xFF), char((value >> 8) & 0xFF), char((value >> 16) & 0xFF)};
}

std::string TTransferRig::Le16(uint32_t value)
{
    return std::string{char(value & 0xFF), char((value >> 8) & 0xFF)};
}

std::string TTransferRig::Ack(uint32_t end, const std::vector<std::pair<uint32_t, uint32_t>>& ranges, uint32_t resume)
{
    std::string payload = "\x42" + Le24(end);
    for (const auto& [start, length] : ranges)
        payload += Le24(start) + Le16(length);
    return Wire(0x00, payload + Le24(resume));
}
