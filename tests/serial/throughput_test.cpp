// A mebibyte through the component to a pseudo-terminal peer and back.
#include <gtest/gtest.h>

#include "serial/vtscomm32.h"
#include "tests/serial/pty_peer.h"
#include "tests/support/qt_app.h"

using SerialTest::ProcessUntil;
using SerialTest::TPtyPeer;

TEST(SerialThroughput, MebibyteEchoedBackArrivesIntact)
{
    TestSupport::App();
    TPtyPeer peer;
    peer.StartReader(true);
    std::string received;
    TVTSComm32 comm;
    comm.SetReceiveDataEvent([&](VTixCommunicationComponent*, const char* b, uint16_t n) { received.append(b, n); });
    comm.SetBaudRate(TBaudRate::_256000);
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(comm.Connected());

    std::string sent(1 << 20, '\0');
    uint32_t x = 12345;
    for (char& c : sent) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    // In pieces of every size, as the engine writes lines and frames.
    size_t done = 0;
    for (size_t piece = 1; done < sent.size(); piece = piece * 3 % 8191 + 1) {
        const size_t n = std::min(piece, sent.size() - done);
        ASSERT_TRUE(comm.WriteCommData(sent.data() + done, static_cast<int32_t>(n)));
        done += n;
    }
    ASSERT_TRUE(ProcessUntil([&] { return received.size() >= sent.size(); }, 120000))
        << received.size() << " of " << sent.size();
    EXPECT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent);
    EXPECT_EQ(peer.Received().size(), sent.size());
}
