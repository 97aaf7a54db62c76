// A pseudo-terminal has no modem lines: an idle port on one must not wake
// its read thread on a timer, and the refused line requests are answered
// without asking the kernel again; data still arrives at once.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <string>

#include "serial/termios_port.h"
#include "serial/vtscomm32.h"
#include "tests/serial/pty_peer.h"
#include "tests/support/qt_app.h"

using SerialTest::ProcessFor;
using SerialTest::ProcessUntil;
using SerialTest::TPtyPeer;
using namespace Serial;

namespace {

// The real termios port, counting how often the read thread waits and
// asks for the lines.
struct TCounts {
    std::atomic<int> waits{0};
    std::atomic<int> timedWaits{0};
    std::atomic<int> statusAsks{0};
};

class TCountingPort : public TTermiosPort {
public:
    explicit TCountingPort(TCounts& counts) : counts_(counts) {}
    unsigned WaitRead(int closeFd, int timeoutMs) override
    {
        ++counts_.waits;
        if (timeoutMs >= 0)
            ++counts_.timedWaits;
        return TTermiosPort::WaitRead(closeFd, timeoutMs);
    }
    int GetModemStatus(uint32_t& status) override
    {
        ++counts_.statusAsks;
        return TTermiosPort::GetModemStatus(status);
    }

private:
    TCounts& counts_;
};

TEST(PtyIdle, AnIdlePortOnAPseudoTerminalSleepsUntilDataComes)
{
    TestSupport::App();
    TPtyPeer peer;
    TCounts counts;
    TVTSComm32 comm;
    comm.SetPortFactory([&counts] { return std::make_unique<TCountingPort>(counts); });
    std::string received;
    comm.SetReceiveDataEvent([&received](VTixCommunicationComponent*, const char* buffer, uint16_t length) {
        received.append(buffer, length);
    });
    comm.SetCommPort(peer.SlavePath());
    ASSERT_TRUE(comm.Connected());
    ASSERT_TRUE(ProcessUntil([&] { return counts.waits.load() >= 1; }));

    // Half a second idle: a thread polling every 100 ms would wait five
    // times; this one waits once, without a time limit.
    ProcessFor(500);
    EXPECT_EQ(counts.waits.load(), 1);
    EXPECT_EQ(counts.timedWaits.load(), 0);
    // The main thread reads the lines on every tick: once the port has
    // said it has none, it is not asked again.
    EXPECT_EQ(comm.GetModemState(), 0u);
    const int asked = counts.statusAsks.load();
    EXPECT_GE(asked, 1);
    EXPECT_EQ(comm.GetModemState(), 0u);
    EXPECT_EQ(comm.GetModemState(), 0u);
    EXPECT_EQ(counts.statusAsks.load(), asked);

    // Data wakes it at once, and every byte arrives.
    peer.Write("OK\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return received == "OK\r\n"; }, 2000)) << received;
    // The bytes can reach this thread before the read thread waits again.
    EXPECT_TRUE(ProcessUntil([&] { return counts.waits.load() >= 2; }, 2000)) << counts.waits.load();
    EXPECT_EQ(counts.timedWaits.load(), 0);
    peer.Write(std::string(3000, 'x'));
    ASSERT_TRUE(ProcessUntil([&] { return received.size() == 4 + 3000; }, 5000)) << received.size();
}

TEST(PtyIdle, ARefusedLineRequestStaysRefused)
{
    TPtyPeer peer;
    TTermiosPort port;
    ASSERT_EQ(port.Open(peer.SlavePath()), 0);
    uint32_t status = 0x55;
    TLineCounts lineCounts;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(port.GetModemStatus(status), ENOTTY) << i;
        const int r = port.GetLineCounts(lineCounts);
        EXPECT_TRUE(r == ENOTTY || r == EINVAL) << i << " " << r;
    }
}

}  // namespace
