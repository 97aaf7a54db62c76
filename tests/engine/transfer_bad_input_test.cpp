// Frames no station of this program sends, in the middle of a transfer on
// a lossy link with a round trip: frames cut short, counts and lengths
// past the frame or the file, Acks that name ranges outside the file,
// unknown kinds, a frame envelope broken off; and remote names of control
// bytes and of 255 bytes. Each is ignored or refused, nothing crashes
// (the sanitizer build runs this too), and the transfer ends with the
// file byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "engine/perif_protikus.h"
#include "tests/engine/frame_link.h"
#include "tests/support/files.h"

namespace {

using T = TTransferRig;

std::string Controls()
{
    std::string bytes;
    for (int b = 0; b < 0x20; ++b)
        bytes += char(b);
    return bytes;
}

}  // namespace

TEST(TransferBadInput, FramesOfTheWrongShapeAreIgnoredAndTheTransferEnds)
{
    const std::string bytes = SeededBytes(3000, 9);
    TFrameLink link;
    VListItemFile* row = link.caller.queue(link.caller.file("bad.bin", bytes), TFrameLink::CalleeNumber);
    ASSERT_TRUE(link.connect());
    for (TFrameFilter* f : {&link.toCallee, &link.toCaller}) {
        f->delayMs = 100;
        f->lossPercent = 3;
    }
    // To the receiver, between the sender's frames.
    const std::vector<std::string> toReceiver = {
        T::Wire(0x42, T::Le24(0) + T::Le16(8) + "abc"),                   // count past the frame
        T::Wire(0x42, "\x01\x02"),                                        // no room for offset and count
        T::Wire(0x42, T::Le24(2998) + T::Le16(8) + "12345678"),           // past the offered size
        T::Wire(0x42, T::Le24(0xFFFFFF) + T::Le16(0xFFFF) + "x"),         // at the end of 24 bits
        T::Wire(0x42, T::Le24(8) + T::Le16(0)),                           // nothing in it
        T::Wire(0x40, "\x01"),                                            // an Offer cut short
        T::Wire(0x43, "\x01" + Controls()),                               // a second name
        T::Wire(0x44, "zz"),                                              // an unknown kind
        T::Wire(0x00, ""),                                                // an empty answer
        T::Wire(0x41, "trailing"),                                        // End with a payload
        std::string("\x80\x05\xB0\xA0", 4),                               // an envelope broken off
        T::Wire(0x42, T::Le24(16) + T::Le16(4) + "abcd").substr(0, 12) + "\x55",  // a wrong sum
    };
    // To the sender.
    const std::vector<std::string> toSender = {
        T::Wire(0x00, "\x42\x01\x02"),                                    // an Ack cut short
        T::Wire(0x00, "\x42" + T::Le24(8) + T::Le24(1)),                  // no whole range
        T::Ack(8, {{5000, 8}, {0xFFFFF0, 0xFFFF}, {2999, 65535}}, 8),     // ranges outside the file
        T::Ack(0xFFFFFF, {}, 0),                                          // an end past the file
        T::Ack(16, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}, 16),  // seven ranges
        T::Wire(0x00, "\x40"),                                            // an Accept cut short
        T::Wire(0x00, "\x41"),                                            // a Complete too early
        T::Wire(0x00, "\x43\xFF"),                                        // all names delivered
        T::Wire(0x00, "\x55\x01"),                                        // an unknown kind
    };
    size_t nextIn = 0;
    size_t nextOut = 0;
    int turns = 0;
    const bool done = link.runUntil(
        [&] {
            // One bad frame every half second of link time, once the
            // data phase runs.
            if (row->getState() == 2 && link.caller.sender().getSendOffset() > 0 && ++turns % 50 == 0) {
                if (nextIn < toReceiver.size())
                    link.callee.line(toReceiver[nextIn++]);
                if (nextOut < toSender.size())
                    link.caller.line(toSender[nextOut++]);
            }
            return row->getState() == 3 && link.callee.receivedCount() == 1 &&
                   link.callee.received(0)->getState() == 7;
        },
        600000);
    ASSERT_TRUE(done) << "sent row " << row->getState() << ", received " << link.callee.receivedCount();
    EXPECT_EQ(nextIn, toReceiver.size());
    EXPECT_EQ(nextOut, toSender.size());
    VListItemFile* in = link.callee.received(0);
    EXPECT_EQ(in->getPath(), "bad.bin");
    EXPECT_EQ(in->getSize(), 3000);
    const std::string target = link.callee.dir.File("saved.bin");
    ASSERT_TRUE(in->save(target));
    EXPECT_TRUE(TestSupport::ReadFile(target) == bytes);
}

TEST(TransferBadInput, RemoteNamesOfControlBytesOrTooLongAreCutAndTheTransferEnds)
{
    const std::string names[] = {
        Controls(),                              // nothing visible
        std::string(255, 'n'),                   // the longest a frame's names need
        "ab\x01\x1F" "cd" + std::string(200, '\x7F') + "ef",
        std::string(255, '\0'),
    };
    for (const std::string& name : names) {
        TTransferRig rig;
        rig.answered("+420601000001");
        rig.line(TCallsRig::Bytes(T::GM22Identity));
        ASSERT_NE(rig.protikus().getCurrent(), nullptr);
        rig.sent();
        rig.line(T::Offer(5));
        rig.line(T::Wire(0x43, "\x01" + name));
        rig.line(T::Block(0, "hello"));
        rig.line(T::End());
        const std::vector<std::string> answers = rig.frames();
        ASSERT_FALSE(answers.empty());
        EXPECT_EQ(answers.back(), "80 01 B0 A0 00 41 13") << "Complete";
        ASSERT_EQ(rig.receivedCount(), 1);
        VListItemFile* in = rig.received(0);
        EXPECT_EQ(in->getState(), 7);
        EXPECT_LE(in->getPath().size(), VListItemFile::RemoteNameLimit);
        for (const char c : in->getPath())
            EXPECT_GE(uint8_t(c), 0x20) << in->getPath();
        const std::string target = rig.dir.File("saved.bin");
        ASSERT_TRUE(in->save(target));
        EXPECT_EQ(TestSupport::ReadFile(target), "hello");
    }
}
