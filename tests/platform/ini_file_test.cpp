#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ini_file.h"
#include "tests/support/files.h"

using namespace Platform;

using TestSupport::TempFile;

TEST(IniFile, ReadsWithProfileSemantics)
{
    TempFile t;
    t.Write("; comment\r\n[General]\r\n  CommPort = COM3 \r\nAutomatic=1\r\n[project]\nPIN=\"1234\"\nBad=12x\n");
    TIniFile ini(t.Path());
    EXPECT_TRUE(ini.Loaded());
    EXPECT_EQ(ini.ReadString("general", "commport", "x"), "COM3");
    EXPECT_TRUE(ini.ReadBool("GENERAL", "Automatic", false));
    EXPECT_EQ(ini.ReadString("Project", "PIN", ""), "1234");  // enclosing quotes dropped
    EXPECT_EQ(ini.ReadInteger("Project", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadString("Missing", "PIN", "def"), "def");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"General", "project"}));
    EXPECT_EQ(ini.ReadSection("general"), (std::vector<std::string>{"CommPort", "Automatic"}));
}

TEST(IniFile, WritesKeepOtherLinesAndPlaceKeysInTheirSection)
{
    TempFile t;
    t.Write("; keep me\r\n[General]\r\nCommPort=COM1\r\n\r\n[Other]\r\nx=1\r\n");
    TIniFile ini(t.Path());
    EXPECT_TRUE(ini.WriteString("GENERAL", "commport", "/dev/ttyUSB0"));
    EXPECT_TRUE(ini.WriteInteger("General", "UserAdvanced", 2));
    EXPECT_TRUE(ini.WriteBool("Project", "TestSignal", true));
    EXPECT_EQ(t.Read(),
              "; keep me\r\n[General]\r\ncommport=/dev/ttyUSB0\r\nUserAdvanced=2\r\n\r\n"
              "[Other]\r\nx=1\r\n\r\n[Project]\r\nTestSignal=1\r\n");
    TIniFile again(t.Path());
    EXPECT_EQ(again.ReadInteger("general", "useradvanced", 0), 2);
    EXPECT_TRUE(again.DeleteKey("Other", "x"));
    EXPECT_TRUE(again.EraseSection("general"));
    EXPECT_FALSE(TIniFile(t.Path()).SectionExists("General"));
    EXPECT_TRUE(TIniFile(t.Path()).SectionExists("Other"));
}

TEST(IniFile, NewFileGetsTheCreateModeAndFailedWritesReportFalse)
{
    TempFile t;
    TIniFile ini(t.Path());
    EXPECT_FALSE(ini.Loaded());
    ini.SetCreateMode(0600);
    EXPECT_TRUE(ini.WriteString("Project", "PIN", "1234"));
    struct stat st {};
    ASSERT_EQ(stat(t.Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    TIniFile nowhere("/nonexistent-folder/x.cfg");
    EXPECT_FALSE(nowhere.WriteString("a", "b", "c"));
    EXPECT_EQ(nowhere.ReadString("a", "b", "?"), "c");  // kept in memory
}

TEST(IniFile, DeferredWritesWaitForUpdateFile)
{
    TempFile t;
    TIniFile ini(t.Path());
    ini.SetWriteThrough(false);
    ini.WriteString("A", "k", "v");
    EXPECT_FALSE(TIniFile(t.Path()).Loaded());
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(TIniFile(t.Path()).ReadString("a", "K", ""), "v");
}

TEST(IniFile, InMemoryTextBehavesAsAFileAndTouchesNoDisk)
{
    const std::string text = "; keep me\r\n[General]\r\n  CommPort = \"COM3\" \r\n[Other]\nx=1";
    TIniFile ini = TIniFile::InMemory(text);
    EXPECT_TRUE(ini.Loaded());
    EXPECT_EQ(ini.FileName(), "");
    EXPECT_EQ(ini.ReadString("general", "commport", "?"), "COM3");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"General", "Other"}));
    EXPECT_EQ(ini.MemoryText(), text);

    // Written through: the text is what a file would hold.
    EXPECT_TRUE(ini.WriteInteger("Other", "y", 2));
    EXPECT_EQ(ini.MemoryText(), "; keep me\r\n[General]\r\n  CommPort = \"COM3\" \r\n[Other]\r\nx=1\r\ny=2\r\n");

    // Deferred: kept until UpdateFile, dropped by Reload before it.
    ini.SetWriteThrough(false);
    ini.WriteString("New", "k", "v");
    EXPECT_EQ(ini.ReadString("New", "k", ""), "v");
    EXPECT_EQ(ini.MemoryText().find("[New]"), std::string::npos);
    ini.Reload();
    EXPECT_FALSE(ini.SectionExists("New"));
    ini.WriteString("New", "k", "v");
    EXPECT_TRUE(ini.UpdateFile());
    ini.Reload();
    EXPECT_EQ(ini.ReadString("new", "K", ""), "v");
    EXPECT_EQ(ini.MemoryText().substr(ini.MemoryText().size() - 19), "y=2\r\n\r\n[New]\r\nk=v\r\n");

    TIniFile empty = TIniFile::InMemory("");
    EXPECT_TRUE(empty.Loaded());
    EXPECT_TRUE(empty.ReadSections().empty());
}
