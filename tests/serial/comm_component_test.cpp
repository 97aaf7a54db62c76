// The abstract link: channels of the advanced write, the order of the
// receive events, the base dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/comm_component.h"

namespace {

// A link that only records what is written to it.
class RecordingLink : public VTixCommunicationComponent {
public:
    std::string GetConfigAsString() override { return {}; }
    void SetConfigAsString(const std::string&) override {}
    bool StartComm() override { return true; }
    void StopComm() override {}
    bool WriteCommData(const char* Buffer, int32_t Length) override
    {
        written.append(Buffer, static_cast<size_t>(Length));
        return accept;
    }
    using VTixCommunicationComponent::WriteCommData;
    bool Connected() const override { return true; }
    TCommState ConnectionState() const override { return CommStateConnected; }

    std::string written;
    bool accept = true;
};

TEST(CommComponent, AdvancedWriteGoesOnlyToTheMainChannel)
{
    RecordingLink link;
    EXPECT_TRUE(link.TreatMainChannelAsNil);
    EXPECT_FALSE(link.WriteAdvancedCommData(&link, "a", 1));
    EXPECT_TRUE(link.WriteAdvancedCommData(nullptr, "b", 1));
    int other = 0;
    EXPECT_FALSE(link.WriteAdvancedCommData(&other, "c", 1));
    link.TreatMainChannelAsNil = false;
    EXPECT_FALSE(link.WriteAdvancedCommData(nullptr, "d", 1));
    EXPECT_TRUE(link.WriteAdvancedCommData(&link, "e", 1));
    link.accept = false;
    EXPECT_FALSE(link.WriteAdvancedCommData(&link, "f", 1));  // the write's own answer
    EXPECT_EQ(link.written, "bef");
    link.accept = true;
    EXPECT_TRUE(link.WriteCommData(std::string("AT\r")));
    EXPECT_EQ(link.written, "befAT\r");
}

TEST(CommComponent, ReceiveEventsInOrderWithTheSameBuffer)
{
    RecordingLink link;
    std::vector<std::string> calls;
    const char* seen = nullptr;
    link.SetReceiveDataEvent([&](VTixCommunicationComponent* sender, const char* buffer, uint16_t n) {
        EXPECT_EQ(sender, &link);
        seen = buffer;
        calls.push_back("plain:" + std::string(buffer, n));
    });
    link.SetAdvancedReceiveDataEvent([&](VTixCommunicationComponent*, void* channel, const char* buffer, uint16_t n) {
        EXPECT_EQ(buffer, seen);
        calls.push_back(std::string(channel ? "self:" : "nil:") + std::string(buffer, n));
    });
    const char data[] = "OK\r\n";
    link.DoReceiveData(data, 4);
    link.TreatMainChannelAsNil = false;
    link.DoReceiveData(data, 2);
    EXPECT_EQ(calls, (std::vector<std::string> {"plain:OK\r\n", "nil:OK\r\n", "plain:OK", "self:OK"}));
    EXPECT_TRUE(link.GetReceiveDataEvent());
    EXPECT_TRUE(link.GetAdvancedReceiveDataEvent());
}

TEST(CommComponent, AdvancedStateChange)
{
    RecordingLink link;
    std::vector<std::string> calls;
    link.SetOnStateChange([&](VTixCommunicationComponent*, TCommState s) { calls.push_back("state" + std::to_string(s)); });
    link.SetOnAdvancedStateChange([&](VTixCommunicationComponent*, void* channel, TCommState s) {
        calls.push_back(std::string(channel == &link ? "self" : channel ? "other" : "nil") + std::to_string(s));
    });
    link.DoAdvancedStateChange(nullptr, CommStateConnected);
    link.TreatMainChannelAsNil = false;
    link.DoAdvancedStateChange(nullptr, CommStateFailed);
    int other = 0;
    link.DoAdvancedStateChange(&other, CommStateDisconnected);
    EXPECT_EQ(calls, (std::vector<std::string> {"state2", "nil2", "state0", "self0", "other1"}));
}

TEST(CommComponent, BaseDialogShowsNothingAndSucceeds)
{
    RecordingLink link;
    EXPECT_TRUE(link.ConfigDialog(true));
    EXPECT_TRUE(link.ConfigDialog(false));
}

}  // namespace
