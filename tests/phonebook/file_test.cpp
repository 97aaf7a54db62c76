// The phonebook file byte for byte: what saving writes, what the scan
// pass offers and the apply pass loads, the messages of refused lines, and
// a save that fails leaving the old file whole.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "phonebook/phonebook.h"
#include "tests/phonebook/book_rig.h"
#include "tests/support/files.h"

namespace {

using TestSupport::ReadFile;
using TestSupport::TempDir;
using TestSupport::WriteFile;

struct PhonebookFile : ::testing::Test {
    TBookRig rig;
    VTixPhoneBook& model = rig.model;
    TempDir dir{"pbfile"};
    std::string path = dir.File("Phonebook.ini");

    std::vector<std::string> Scan(const std::string& text, std::string* message = nullptr)
    {
        WriteFile(path, text);
        std::vector<std::string> list;
        const std::string m = model.loadFromFile(path, true, true, list, false);
        if (message)
            *message = m;
        return list;
    }
    std::string Apply(const std::string& text, std::vector<std::string> list, bool deleteOld, bool keep)
    {
        WriteFile(path, text);
        return model.loadFromFile(path, deleteOld, keep, list, true);
    }
    // "index=number|text" of the edited values, in order.
    std::string Entries(const std::string& name)
    {
        std::string out;
        const VTixPhoneBookStorage* s = model.storageByName(name);
        for (int i = 0; i < s->recordCount(); ++i) {
            const VTixPhoneBookRecord* r = s->recordAtPosition(i);
            out += (out.empty() ? "" : " ") + std::to_string(r->getIndex()) + "=" + r->getEditedNumber() + "|" +
                   r->getEditedText() + (r->needsWrite() ? "*" : "");
        }
        return out;
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            names.push_back(e.path().filename().string());
        return names;
    }
};

}  // namespace

TEST_F(PhonebookFile, SavesEveryMemoryWithItsEditedValues)
{
    rig.Sm({{1, "+420777123456", "Jan \"Honza\" Novak"}, {2, "603555111", "Petr"}});
    model.storageByName("FD");
    EXPECT_EQ(model.saveToFile(path), "");
    EXPECT_EQ(ReadFile(path), "[SM]\r\n1,\"+420777123456\",\"Jan \"\"Honza\"\" Novak\"\r\n"
                              "2,\"603555111\",\"Petr\"\r\n\r\n[FD]\r\n\r\n");
    // One selected row is no selection; edits are what is written.
    rig.Entry(2)->setEditedText("Petr \xC8" "ern\xFD");
    EXPECT_EQ(model.saveToFile(path, {1}), "");
    EXPECT_EQ(ReadFile(path), "[SM]\r\n1,\"+420777123456\",\"Jan \"\"Honza\"\" Novak\"\r\n"
                              "2,\"603555111\",\"Petr \xC8" "ern\xFD\"\r\n\r\n[FD]\r\n\r\n");
    // Two or more rows: only those of the shown memory, the new-entry row too.
    rig.Entry(10000)->setEditedNumber("+1");
    EXPECT_EQ(model.saveToFile(path, {1, 2}), "");
    EXPECT_EQ(ReadFile(path), "[SM]\r\n2,\"603555111\",\"Petr \xC8" "ern\xFD\"\r\n10000,\"+1\",\"\"\r\n\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"Phonebook.ini"}) << "no temporary left";
}

TEST_F(PhonebookFile, ADeviceTextWithQuotesLoadsBackUnmodified)
{
    rig.Sm({{1, "+420777123456", "Jan \"Honza\" Novak"}, {2, "603555111", "A, B"}});
    ASSERT_EQ(model.saveToFile(path), "");
    std::vector<std::string> list;
    ASSERT_EQ(model.loadFromFile(path, false, false, list, false), "");
    ASSERT_EQ(list, std::vector<std::string>{"SM"});
    EXPECT_EQ(model.loadFromFile(path, true, true, list, true), "");
    EXPECT_EQ(Entries("SM"), "1=+420777123456|Jan \"Honza\" Novak 2=603555111|A, B 10000=|")
        << "same values, nothing to write";
    EXPECT_EQ(rig.NextWrite(), "");
}

TEST_F(PhonebookFile, TheScanOffersTheDevicesWritableMemoriesOnce)
{
    rig.Sm({});
    rig.Read("ME", 1, 100, {});
    rig.Read("LD", 0, 10, {});
    model.setDisplayedStorage("SM");
    std::string message = "x";
    EXPECT_EQ(Scan("[sm]\r\n1,\"1\",\"a\"\r\n[LD]\r\n[XY]\r\n[]\r\n[ME\r\n [ME]\r\n[Me]\r\n[SM]\r\n", &message),
              (std::vector<std::string>{"SM", "ME"}));
    EXPECT_EQ(message, "");
    EXPECT_EQ(Entries("SM"), "10000=|") << "the scan loads nothing, deletes nothing";
    EXPECT_EQ(model.storageCount(), 3) << "no memory made for a section";
    EXPECT_EQ(Scan("[XY]\r\n1,\"1\",\"a\"\r\n"), std::vector<std::string>{});
}

TEST_F(PhonebookFile, WithoutKeptPositionsEntriesTakeTheFreePositionsInFileOrder)
{
    rig.Sm({});
    EXPECT_EQ(Apply("[sm]\r\n40,\"+420602000040\",\"Ctyricet\"\r\n"
                    "\r\n"
                    "x\r\n"
                    "7 \"602000007\" Sedm\r\n"
                    "0,\"603\",\"Nula\",ignored\r\n"
                    "[ME]\r\n1,\"604\",\"Jinde\"\r\n",
                    {"SM"}, false, false),
              "");
    EXPECT_EQ(Entries("SM"), "1=+420602000040|Ctyricet* 2=602000007|Sedm* 3=603|Nula* 10000=|")
        << "short lines skipped, blanks separate fields, memories not chosen skipped";
    EXPECT_EQ(model.storageByName("ME")->recordCount(), 0);
    // A number the parser refuses leaves the number empty.
    EXPECT_EQ(Apply("[SM]\r\n1,\"12\"\"3\",\"Bad number\"\r\n", {"SM"}, false, false), "");
    EXPECT_EQ(Entries("SM"), "1=+420602000040|Ctyricet* 2=602000007|Sedm* 3=603|Nula* 4=|Bad number* 10000=|");
}

TEST_F(PhonebookFile, KeptPositionsAndTheMessagesOfRefusedLines)
{
    rig.Sm({{1, "601", "A"}});
    const std::string file = "[SM]\r\n300,\"6\",\"Too far\"\r\n5,\"605\",\"E\"\r\nx,\"6\",\"No index\"\r\n";
    EXPECT_EQ(Apply(file, {"sm"}, false, true), "Ulo\x9E" "en\xFD z\xE1znam na \xF8\xE1" "dku 3 m\xE1 chybn\xFD "
                                                "index (-1, lze 1..250)")
        << "the last refused line, counted from 0";
    EXPECT_EQ(Apply("[SM]\r\n300,\"6\",\"Too far\"\r\n", {"SM"}, false, true),
              "Ulo\x9E" "en\xFD z\xE1znam na \xF8\xE1" "dku 1 m\xE1 chybn\xFD index (300, lze 1..250)");
    EXPECT_EQ(Entries("SM"), "1=601|A 5=605|E* 10000=|");
    // Delete old: every entry of the chosen memory cleared, then refilled.
    EXPECT_EQ(Apply("[SM]\r\n5,\"605\",\"E\"\r\n", {"SM"}, true, true), "");
    EXPECT_EQ(Entries("SM"), "1=|* 5=605|E* 10000=|") << "1 is deleted on the device";
    model.setLanguage([](const std::string& section, const std::string& key, const std::string& def) {
        return section + "/" + key + ":" + def;
    });
    EXPECT_EQ(Apply("[SM]\r\n0,\"6\",\"Zero\"\r\n", {"SM"}, false, true).rfind("Phonebook/LoadingBadIndex:", 0),
              0u);
}

TEST_F(PhonebookFile, TooManyEntriesNameTheLastLineThatDidNotFit)
{
    rig.Read("FD", 1, 3, {{2, "602", "B"}});
    rig.Show("FD");
    EXPECT_EQ(Apply("[FD]\r\n9,\"1\",\"One\"\r\n9,\"3\",\"Three\"\r\n9,\"4\",\"Four\"\r\n9,\"5\",\"Five\"\r\n",
                    {"FD"}, false, false),
              "Ulo\x9E" "en\xFD z\xE1znam na \xF8\xE1" "dku 4 (Five: 5) se ji\x9E nevejde do pam\xECti za\xF8\xEDzen\xED");
    EXPECT_EQ(Entries("FD"), "1=1|One* 2=602|B 3=3|Three* 10000=|");
}

TEST_F(PhonebookFile, AMemoryOfUnknownRangeTakesNothing)
{
    rig.Sm({});
    model.setDeviceStorage("ME");
    model.setWriteLimits(1, 100, 20, 18);  // writable, no index range yet
    std::vector<std::string> list{"ME"};
    for (bool keep : {false, true}) {
        WriteFile(path, "[ME]\r\n-1,\"1\",\"Minus\"\r\n1,\"2\",\"One\"\r\n");
        EXPECT_NE(model.loadFromFile(path, false, keep, list, true), "") << keep;
        EXPECT_EQ(Entries("ME"), "10000=|") << "no entry -1 or 1 made";
    }
}

TEST_F(PhonebookFile, AMissingFileIsReportedFromTheCommonTexts)
{
    rig.Sm({{1, "601", "A"}});
    std::vector<std::string> list{"SM"};
    EXPECT_EQ(model.loadFromFile(dir.File("none.ini"), true, true, list, true),
              "Nepoda\xF8ilo se nal\xE9zt soubor " + dir.File("none.ini"));
    EXPECT_EQ(model.loadFromFile(dir.Path(), true, true, list, false), "Nepoda\xF8ilo se nal\xE9zt soubor " + dir.Path())
        << "a folder is no phonebook file";
    EXPECT_EQ(Entries("SM"), "1=601|A 10000=|") << "nothing changed";
    model.setLanguage([](const std::string& section, const std::string& key, const std::string& def) {
        return section == "Common" && key == "FileNotFound" ? std::string("Cannot find file %1") : def;
    });
    EXPECT_EQ(model.loadFromFile("/nowhere/x.ini", false, false, list, false), "Cannot find file /nowhere/x.ini");
}

TEST_F(PhonebookFile, AFailedSaveKeepsTheOldFileWhole)
{
    rig.Sm({{1, "+420777123456", std::string(18, 'x')}});
    for (int i = 2; i <= 60; ++i)
        rig.Read("SM", 1, 250, {{i, "+4207770000" + std::to_string(i), "Entry " + std::to_string(i)}});
    const std::string old = "[SM]\r\n1,\"1\",\"old\"\r\n\r\n";
    WriteFile(path, old);
    // A child under a file-size limit smaller than the new file: writing
    // fails (SIGXFSZ ignored, so the write reports EFBIG).
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{512, 512};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string message = model.saveToFile(path);
        ::_exit(message == "Nelze zapsat seznam do souboru " + path ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of a signal: " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not report its failure";
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(Files(), std::vector<std::string>{"Phonebook.ini"}) << "no temporary left";

    // A file in a folder that does not exist cannot be written.
    EXPECT_EQ(model.saveToFile(dir.File("no/such.ini")), "Nelze zapsat seznam do souboru " + dir.File("no/such.ini"));
}

TEST_F(PhonebookFile, WhereNoTemporaryCanBeMadeTheFileIsWrittenInPlace)
{
    rig.Sm({{1, "601", "A"}});
    // A name so long that the temporary's longer name is refused.
    const std::string name = std::string(250, 'p') + ".ini";
    const std::string longPath = dir.File(name);
    WriteFile(longPath, "old");
    EXPECT_EQ(model.saveToFile(longPath), "");
    EXPECT_EQ(ReadFile(longPath), "[SM]\r\n1,\"601\",\"A\"\r\n\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{name});
}

TEST_F(PhonebookFile, WhatWasSavedReadsBackByteForByte)
{
    // Typed entries and the file's own lines: quotes, Czech letters (cp1250),
    // grouping blanks and dashes in numbers, an empty name, an empty number.
    const std::string file = "[SM]\r\n"
                             "1,\"+420 603 555 111\",\"Jan \"\"Honza\"\" Nov\xE1k\"\r\n"
                             "2,\"603-555-112\",\"\"\r\n"
                             "3,\"\",\"\x8E" "ofie \x8A\x9D" "astn\xE1\"\r\n"
                             "6,\"777\",\"Say \"\"hi\"\"\"\r\n"
                             "7,\"*31#603555113\",\"O\"\"Brien\"\r\n"
                             "\r\n";
    rig.Sm({});
    ASSERT_EQ(Apply(file, {"SM"}, false, true), "");
    EXPECT_EQ(Entries("SM"), "1=+420 603 555 111|Jan \"Honza\" Nov\xE1k* 2=603-555-112|* 3=|\x8E" "ofie \x8A\x9D"
                             "astn\xE1* 6=777|Say \"hi\"* 7=*31#603555113|O\"Brien* 10000=|");
    ASSERT_EQ(model.saveToFile(path), "");
    EXPECT_EQ(ReadFile(path), file);
    // The write keeps only what a command line can carry.
    EXPECT_EQ(rig.NextWrite(), "SM 1:420603555111:145:Jan \"Honza\" Nov\xE1k");
    // Loaded into a fresh model and saved again: the same bytes.
    TBookRig again;
    again.Sm({});
    std::vector<std::string> list{"SM"};
    ASSERT_EQ(again.model.loadFromFile(path, false, true, list, true), "");
    const std::string second = dir.File("Again.ini");
    ASSERT_EQ(again.model.saveToFile(second), "");
    EXPECT_EQ(ReadFile(second), file);
}
