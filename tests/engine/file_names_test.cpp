// Names of files with letters outside ASCII over a data call: the sender's
// Name frame cut at 20 bytes without splitting a UTF-8 letter, and the
// receiver's row holding a UTF-8 name as it came and any other through the
// system code page.
#include <gtest/gtest.h>

#include <string>

#include "calls/list_item_file.h"
#include "tests/engine/transfer_rig.h"

namespace {

using T = TTransferRig;
const std::string Accept = TCallsRig::Bytes("80 02 B0 A0 00 40 01 14");

// The payload of the first Name frame among written frames.
std::string NamePayload(const std::vector<std::string>& frames)
{
    for (const std::string& hex : frames) {
        const std::string b = TCallsRig::Bytes(hex);
        if (b.size() >= 7 && (uint8_t(b[0]) & 0xF0) == 0x80 && uint8_t(b[4]) == 0x43)
            return b.substr(5, b.size() - 6);
    }
    return "(no Name frame)";
}

}  // namespace

TEST(FileNames, TheNameFrameNeverSplitsALetter)
{
    struct Case {
        std::string file, sent;
    } cases[] = {
        {"a.txt", "a.txt"},
        {"příliš žluťoučký.txt", "příliš žluťouč"},         // 20 bytes end after "č"
        {"xpříliš žluťoučký.txt", "xpříliš žluťou"},         // 20 bytes end within "č"
        {"€€€€€€€€.txt", "€€€€€€"},                          // three bytes each
        {std::string(25, 'a'), std::string(20, 'a')},
    };
    for (const Case& c : cases) {
        TTransferRig rig;
        rig.dialled("+420601000002");
        VListItemFile* row = rig.queue(rig.file(c.file, "hello"), "+420601000002");
        ASSERT_EQ(row->getState(), 1) << c.file;
        rig.exchange();
        rig.sent();
        rig.runFrames(10);  // Offer
        rig.line(Accept);
        EXPECT_EQ(NamePayload(rig.runFrames(1010)), "\x01" + c.sent) << c.file;
    }
}

TEST(FileNames, TheReceiverKeepsUtf8AndReadsOtherNamesInTheSystemCodePage)
{
    struct Case {
        std::string name, path;
    } cases[] = {
        {"žluťoučký.txt", "žluťoučký.txt"},
        {"\x9Elu\x9Dou\xE8k\xFD.txt", "žluťoučký.txt"},  // as a cp1250 station names it
        {"xpříliš žluťou\xC4", "xpříliš žluťou"},        // cut within "č" by the sender
    };
    for (const Case& c : cases) {
        TTransferRig rig;
        rig.answered("+420601000001");
        rig.line(TCallsRig::Bytes(T::GM22Identity));
        rig.sent();
        rig.line(T::Offer(5) + T::Name(c.name));
        ASSERT_NE(rig.receiver().getCurrent(), nullptr);
        EXPECT_EQ(rig.receiver().getCurrent()->getPath(), c.path);
    }
}
