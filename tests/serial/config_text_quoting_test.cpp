// Port names that need quoting in the configuration line: whatever the
// name, the line the component writes reads back to the same settings.
#include <gtest/gtest.h>

#include <string>

#include "serial/vtscomm32.h"
#include "tests/support/qt_app.h"

namespace {

// The settings of `line` as a second component writes them again.
std::string ReadBack(const std::string& line)
{
    TVTSComm32 other;
    other.SetConfigAsString(line);
    return other.GetConfigAsString();
}

}  // namespace

TEST(SerialConfigQuoting, PortNameWithQuotesReadsBack)
{
    TestSupport::App();
    TVTSComm32 comm;
    comm.SetCommPort("/dev/my\"port\"");
    comm.SetBaudRateInt(115200);
    const std::string line = comm.GetConfigAsString();
    EXPECT_EQ(line.substr(0, 20), "\"/dev/my\"\"port\"\"\",\"1");
    EXPECT_EQ(ReadBack(line), line);

    TVTSComm32 other;
    other.SetConfigAsString(line);
    EXPECT_EQ(other.GetCommPort(), "/dev/my\"port\"");
    EXPECT_EQ(other.GetBaudRateInt(), 115200u);
}

TEST(SerialConfigQuoting, PortNameWithControlCharactersStaysOneLine)
{
    TestSupport::App();
    TVTSComm32 comm;
    comm.SetCommPort("COM\r\n5\x01");
    const std::string line = comm.GetConfigAsString();
    EXPECT_EQ(line.find_first_of("\r\n\x01"), std::string::npos);
    EXPECT_EQ(ReadBack(line), line);
    TVTSComm32 other;
    other.SetConfigAsString(line);
    EXPECT_EQ(other.GetCommPort(), "COM\r\n5\x01");
}

TEST(SerialConfigQuoting, PlainNamesAreWrittenAsBefore)
{
    TestSupport::App();
    TVTSComm32 comm;
    comm.SetCommPort("COM3");
    EXPECT_EQ(comm.GetConfigAsString(), "\"COM3\",\"19200\",\"8\",\"1\",\"None\",\"1/1 1/1\",\"10 0 0 0 0\"");
}
