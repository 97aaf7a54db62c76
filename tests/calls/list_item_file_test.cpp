#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <string>

#include "calls/list_item_file.h"
#include "calls/list_view_file.h"
#include "calls/list_view_model.h"
#include "platform/codepage.h"
#include "tests/support/code_pages.h"
#include "tests/support/files.h"

using TestSupport::Cz;

namespace {

struct FileRows : ::testing::Test {
    TestSupport::TempDir dir{"file-rows"};
    VListViewFile sendList{true};
    VListViewFile receivedList{false};

    VListItemFile* addSend(const std::string& path, const std::string& number = "123")
    {
        auto item = std::make_unique<VListItemFile>(sendList.getMaxId() + 1);
        item->setOutgoing(true);
        VListItemFile* row = item.get();
        sendList.addItem(std::move(item));
        row->setPath(path);
        row->setPeerNumber(number);
        return row;
    }
    // Column texts of a row as the program holds them (bytes).
    static std::string cell(VListViewFile& list, int row, int column)
    {
        VListViewModel& m = list.getModel();
        return Platform::Utf16ToAnsi(m.data(m.index(row, column)).toString().toStdU16String(),
                                     Platform::SystemCodePage());
    }
};

}  // namespace

TEST(FileRowTexts, StateTextsAreTheCzechOnesAndUnknownStatesShowQuestionMarks)
{
    const char* texts[] = {"Nenalezen", "Připraven", "Posílám", "Odeslán", "Chyba od.",
                           "Přijímám",  "Chyba př.", "Přijat",  "Uložen"};
    for (int state = 0; state <= 8; ++state)
        EXPECT_EQ(VListItemFile::StateText(state), Cz(texts[state])) << state;
    EXPECT_STREQ(VListItemFile::StateText(-1), "??");
    EXPECT_STREQ(VListItemFile::StateText(9), "??");
}

TEST(FileRowTexts, LengthColumn)
{
    struct Case {
        int64_t size, progress;
        const char* text;
    } cases[] = {
        {1000, 250, "25 %"},
        {1000, 1000, "1000 B"},  // complete: the size again
        {1000, -1, "1000 B"},
        {1000, 999, "99 %"},      // rounded down
        {0, 0, "0 B"},
        {0, 5, "0 B"},            // no share of nothing
        {-1, 2048, "2,0+ KB"},
        {-1, 0, "0+ B"},
        {-1, -1, "-"},
        {INT64_MAX, INT64_MAX / 2, "49 %"},  // no overflow of the product
        {3 * 1024 * 1024, -1, "3,0 MB"},
    };
    for (const Case& c : cases) {
        VListItemFile row(1);
        row.setSize(c.size);
        row.setProgress(c.progress);
        VListItem::MirrorItem mirror;
        row.refreshTexts(mirror);
        ASSERT_EQ(mirror.subItems.size(), 3u);
        EXPECT_EQ(mirror.subItems[0], c.text) << c.size << " " << c.progress;
    }
}

TEST_F(FileRows, AnOutgoingRowLooksAtItsFile)
{
    const std::string file = dir.File("data.bin");
    ASSERT_TRUE(TestSupport::WriteFile(file, std::string(1000, 'x')));
    VListItemFile* ready = addSend(file, "+420601");
    VListItemFile* missing = addSend(dir.File("none.bin"));
    EXPECT_EQ(ready->getState(), 1);
    EXPECT_EQ(ready->getSize(), 1000);
    EXPECT_EQ(ready->getProgress(), -1);
    EXPECT_EQ(missing->getState(), 0);
    EXPECT_EQ(missing->getSize(), -1);
    sendList.tick();
    EXPECT_EQ(cell(sendList, 0, 0), file);
    EXPECT_EQ(cell(sendList, 0, 1), "1000 B");
    EXPECT_EQ(cell(sendList, 0, 2), Cz("Připraven"));
    EXPECT_EQ(cell(sendList, 0, 3), "+420601");
    EXPECT_EQ(cell(sendList, 1, 1), "-");
    EXPECT_EQ(cell(sendList, 1, 2), "Nenalezen");
    VListViewModel& m = sendList.getModel();
    EXPECT_EQ(m.data(m.index(0, 0), VListViewModel::ImageRole).toInt(), 1);
    EXPECT_EQ(m.data(m.index(1, 0), VListViewModel::ImageRole).toInt(), 0);
    // Sending: a share, then the size again.
    ready->setState(2);
    ready->setProgress(250);
    sendList.tick();
    EXPECT_EQ(cell(sendList, 0, 1), "25 %");
    EXPECT_EQ(cell(sendList, 0, 2), Cz("Posílám"));
    ready->setProgress(1000);
    ready->setState(3);
    sendList.tick();
    EXPECT_EQ(cell(sendList, 0, 1), "1000 B");
    EXPECT_EQ(m.data(m.index(0, 0), VListViewModel::ImageRole).toInt(), 3);
    // The same path again changes nothing; an edit of the path looks again.
    ready->setState(4);
    sendList.tick();
    ready->setPath(file);
    EXPECT_EQ(ready->getState(), 4);
    EXPECT_EQ(sendList.getState(), VStatedObject::stNotStarted);
    ready->setText(0, dir.File("none.bin"));
    EXPECT_EQ(ready->getState(), 0);
    ready->setText(3, "777");
    EXPECT_EQ(ready->getPeerNumber(), "777");
    sendList.tick();
    // Other columns take nothing.
    ready->setText(1, "5 B");
    ready->setText(2, "x");
    EXPECT_EQ(sendList.getState(), VStatedObject::stNotStarted);
    EXPECT_EQ(ready->getNumberText(), "0");
    EXPECT_EQ(sendList.findByNumberText("1"), missing);
}

TEST_F(FileRows, OnlyTheSendListsPathAndDestinationAreEditableAndNotWhileSending)
{
    VListItemFile* row = addSend(dir.File("a"));
    VListItemFile* received = receivedList.getItem(0);
    EXPECT_EQ(received, nullptr);
    receivedList.addItem(receivedList.createItem(4));
    received = receivedList.getItem(0);
    ASSERT_NE(received, nullptr);
    EXPECT_EQ(received->getNumber(), 4);
    sendList.tick();
    receivedList.tick();
    for (int column = 0; column < 4; ++column) {
        const int editable = column == 0 || column == 3 ? 1 : 0;
        EXPECT_EQ(sendList.canEditCell(0, row, column), editable) << column;
        EXPECT_EQ(bool(sendList.getModel().flags(sendList.getModel().index(0, column)) & Qt::ItemIsEditable),
                  bool(editable));
        EXPECT_EQ(receivedList.canEditCell(0, received, column), 0);
        EXPECT_FALSE(receivedList.getModel().flags(receivedList.getModel().index(0, column)) & Qt::ItemIsEditable);
    }
    // The sender goes on with what it started.
    row->setState(2);
    EXPECT_EQ(sendList.canEditCell(0, row, 0), 0);
    EXPECT_EQ(sendList.canEditCell(0, row, 3), 0);
    EXPECT_FALSE(sendList.getModel().setData(sendList.getModel().index(0, 0), "/elsewhere"));
    EXPECT_EQ(row->getPath(), dir.File("a"));
    row->setState(3);
    EXPECT_TRUE(sendList.getModel().setData(sendList.getModel().index(0, 3), "555"));
    EXPECT_EQ(row->getPeerNumber(), "555");
}

TEST(FileRowTexts, RemoteNamesKeepOnlyAShortPlainName)
{
    struct Case {
        std::string given, kept;
    } cases[] = {
        {"../../etc/passwd", "passwd"},
        {"C:\\Users\\x\\a.txt", "a.txt"},
        {"C:a.txt", "a.txt"},
        {std::string("a\x01") + "b.txt", "ab.txt"},
        {"a\x7F" "b\x1F.txt", "ab.txt"},
        {"..", ""},
        {".", ""},
        {"dir/", ""},
        {"", ""},
        {"x/..", ""},
        {std::string(".\0.", 3), ""},
        {std::string(300, 'a'), std::string(20, 'a')},
        {"...", "..."},
        // The path is a file-system name, UTF-8: a name in UTF-8 stays,
        // any other is text of the system code page; 20 letters at most.
        {"šipka.txt", "šipka.txt"},
        {"\x9A" "ipka.txt", "šipka.txt"},
        {"caf\xE9", "café"},
        {"příliš žluťoučký kůň.txt", "příliš žluťoučký kůň"},
        {"xpříliš žluťou\xC4", "xpříliš žluťou"},  // a sender cut "č" in two
        {"abcdefghijklmnopqrs\xC4\x8D", "abcdefghijklmnopqrsč"},
        {"abcdefghijklmnopq\xC4", "abcdefghijklmnopq\xC3\x84"},  // short: a cp1250 "Ä"
        {"\x8Alechtick\xFD \xE8\xE1p \xE8" "ern\xFD.txt", "Šlechtický čáp černý"},
    };
    for (const Case& c : cases) {
        VListItemFile row(1);
        row.setPath("old");
        row.setRemoteName(c.given);
        EXPECT_EQ(row.getPath(), c.kept) << c.given;
        EXPECT_EQ(VListItemFile::CleanRemoteName(c.given), c.kept);
    }
    // A row to send keeps the file it sends.
    VListItemFile out(1);
    out.setOutgoing(true);
    out.setPath("/nonexistent/a");
    out.setRemoteName("b");
    EXPECT_EQ(out.getPath(), "/nonexistent/a");
}

TEST(FileRowTexts, StateTextsAreHeldInTheSystemCodePage)
{
    VListItemFile row(1);
    row.setState(5);
    VListItem::MirrorItem shown;
    row.refreshTexts(shown);
    EXPECT_EQ(shown.subItems[1], Cz("Přijímám"));
}

// Paths are file-system names (UTF-8), the other columns texts of the
// system code page: both show with their letters, and an edited path
// finds its file.
TEST_F(FileRows, PathsShowAndEditAsUtf8AndTheOtherColumnsInTheSystemCodePage)
{
    const std::string name = dir.File("příliš žluťoučký.txt");
    ASSERT_TRUE(TestSupport::WriteFile(name, "abc"));
    VListItemFile* row = addSend(dir.File("a"), Cz("+420 č. 1"));
    VListViewModel& m = sendList.getModel();
    sendList.tick();
    EXPECT_EQ(m.data(m.index(0, 2)).toString(), QStringLiteral("Nenalezen"));
    ASSERT_TRUE(m.setData(m.index(0, 0), QString::fromUtf8(name.c_str())));
    EXPECT_EQ(row->getPath(), name);
    EXPECT_EQ(row->getState(), 1);
    sendList.tick();
    EXPECT_EQ(m.data(m.index(0, 0)).toString(), QString::fromUtf8(name.c_str()));
    EXPECT_EQ(m.data(m.index(0, 2)).toString(), QStringLiteral("Připraven"));
    EXPECT_EQ(m.data(m.index(0, 3)).toString(), QStringLiteral("+420 č. 1"));
    ASSERT_TRUE(m.setData(m.index(0, 3), QStringLiteral("Žluťoučký")));
    EXPECT_EQ(row->getPeerNumber(), Cz("Žluťoučký"));
}

TEST_F(FileRows, QtsModelTesterFindsNothingWrongWithEitherList)
{
    int complaints = 0;
    static int* counter = nullptr;
    counter = &complaints;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context,
                                                               const QString& text) {
        if (type != QtDebugMsg)
            ++*counter;
        fprintf(stderr, "%s: %s\n", context.category, qPrintable(text));
    });
    for (VListViewFile* list : {&sendList, &receivedList}) {
        QAbstractItemModelTester tester(&list->getModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
        QItemSelectionModel marks(&list->getModel());
        list->bindListView(&marks);
        auto add = [&](int number, const std::string& path) {
            auto item = std::make_unique<VListItemFile>(number);
            item->setOutgoing(list->isEditable());
            VListItemFile* row = item.get();
            list->addItem(std::move(item));
            row->setPath(path);
            return row;
        };
        add(3, "c");
        add(1, "a");
        add(2, "b");
        list->tick();
        ASSERT_EQ(list->getModel().rowCount(), 3);
        marks.setCurrentIndex(list->getModel().index(1, 0), QItemSelectionModel::ClearAndSelect);
        list->getItem(1)->setState(7);
        list->getItem(0)->requestStop();
        add(0, "zero");
        add(5, "e");
        list->tick();
        list->getItem(3)->requestStop();
        list->getItem(2)->setPeerNumber("9");
        list->tick();
        QItemSelectionModel other(&list->getModel());
        list->bindListView(&other);
        list->tick();
        list->bindListView(nullptr);
        list->tick();
        EXPECT_EQ(list->getModel().rowCount(), 3);
        list->requestStop();
        list->tick();
        EXPECT_EQ(list->getModel().rowCount(), 0);
        EXPECT_TRUE(list->requestStop());
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(complaints, 0);
}

TEST(FileRowTexts, AFailureTextShowsInPlaceOfTheStateTextUntilTheStateChanges)
{
    VListItemFile row(1);
    row.setOutgoing(true);
    row.setFailed("Neodpov\xED" "d\xE1");
    EXPECT_EQ(row.getState(), 4);
    VListItem::MirrorItem failed;
    row.refreshTexts(failed);
    EXPECT_EQ(failed.subItems[1], Cz("Neodpovídá"));
    EXPECT_EQ(failed.image, 4);
    // Another state, even failed again by other means, shows its own text.
    row.setState(4);
    VListItem::MirrorItem plain;
    row.refreshTexts(plain);
    EXPECT_EQ(plain.subItems[1], Cz("Chyba od."));
    EXPECT_TRUE(row.getFailText().empty());
}
