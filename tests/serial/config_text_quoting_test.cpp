// Port names that need quoting in the configuration line: whatever the
// name, the line the component writes reads back to the same settings.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "platform/ini_file.h"
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

// An ini value loses blanks at its ends and one pair of enclosing quotes of
// either kind when read: names that reading would change are written
// quoted, so every name without a line break comes back from the ini keys.
TEST(SerialConfigQuoting, PortNameReadsBackFromIniKeys)
{
    TestSupport::App();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Platform::TIniFile ini(dir.filePath("port.ini").toStdString());
    struct TCase {
        std::string port;
        std::string written;  // the raw ini line
    };
    const TCase cases[] = {
        {"''", "CommPort=\"''\""},
        {"'COM1'", "CommPort=\"'COM1'\""},
        {"\"COM1\"", "CommPort=\"\"COM1\"\""},
        {" COM1", "CommPort=\" COM1\""},
        {"COM1\t", "CommPort=\"COM1\t\""},
        {"'COM1\"", "CommPort='COM1\""},
        {"'", "CommPort='"},
        {"a'b'", "CommPort=a'b'"},
        {"COM3", "CommPort=COM3"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.port);
        TVTSComm32 comm;
        comm.SetAutoReconnect(false);
        comm.SetCommPort(c.port);
        comm.SaveToIni(ini, "Port");
        ASSERT_FALSE(ini.ReadSectionValues("Port").empty());
        EXPECT_EQ(ini.ReadSectionValues("Port").front(), c.written);
        TVTSComm32 other;
        other.SetAutoReconnect(false);
        other.LoadFromIni(ini, "Port");
        EXPECT_EQ(other.GetCommPort(), c.port);
        EXPECT_EQ(other.GetConfigAsString(), comm.GetConfigAsString());
    }

    // The configuration line a fuzzer found: a port named by two single
    // quotes came back from the ini keys as the default port.
    TVTSComm32 comm;
    comm.SetAutoReconnect(false);
    comm.SetConfigAsString(std::string("''\t\0\0\0\x80O", 8));
    EXPECT_EQ(comm.GetCommPort(), "''");
    comm.SaveToIni(ini, "Found");
    TVTSComm32 other;
    other.SetAutoReconnect(false);
    other.LoadFromIni(ini, "Found");
    EXPECT_EQ(other.GetConfigAsString(), comm.GetConfigAsString());
}
