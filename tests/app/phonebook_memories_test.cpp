// The phonebook page with several memories on the simulated device: one
// tab per memory, each showing its own entries; an edit open in a cell
// survives a click on another memory's tab; Enter on the new-entry row's
// offered position takes it; the memory selector follows the language.
// Pictures of the page in Czech and English are written under the build
// tree for a look by eye.
#include <QApplication>
#include <QPushButton>
#include <QTabBar>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/radio_group.h"
#include "app/tab_control.h"
#include "engine/perif_phonebook.h"
#include "phonebook/phonebook.h"
#include "phonebook/phonebook_item_model.h"
#include "phonebook/ui/mf_edit.h"
#include "phonebook/ui/mf_num_edit.h"
#include "phonebook/ui/virtual_string_tree_ex.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/input_devices.h"
#include "translation/tixlanguage.h"

using namespace MainWindowTest;
using Platform::FromQString;
using TestSupport::KeyClick;
using TestSupport::KeyClicks;

namespace {

struct PhonebookMemories : TMainWindowFixture {
    VPerifPhonebook& Handler() { return w().uniset->getHandlers().phonebook(); }
    VTixPhoneBook& Model() { return Handler().getPhonebook(); }
    QModelIndex Index(int row, int column = 0) { return w().VTPhonebookModel->index(row, column); }
    // The shown rows as "index:name", the new-entry row as ":".
    std::string Rows()
    {
        std::string out;
        for (int row = 0; row < w().VTPhonebookModel->rowCount(); ++row)
            out += (row ? "," : "") + FromQString(Index(row, 0).data().toString()) + ":" +
                   FromQString(Index(row, 2).data().toString());
        return out;
    }
    bool Idle()
    {
        PassPhonebookPause();
        return Handler().isReady() && !Handler().isBusy();
    }
    // The device ready and every memory worked through, the page shown.
    void ReadAll(QSize size)
    {
        ModemSim::TProfile profile = ModemSim::TProfile::Builtin("tc35");
        profile.phonebooks.Find("ME")->entries[2] = {"604000002", 129, u"Druhy"};
        StartSim(profile);
        ASSERT_NO_FATAL_FAILURE(StartOnSim(size));
        ASSERT_NO_FATAL_FAILURE(WaitUntilReady());
        ASSERT_TRUE(RunUntil([&] { return Idle(); }, 30000)) << sim->Transcript().ToText();
        w().PageControl1->setCurrentWidget(w().SheetPhonebook);
        RunFor(100);
    }
    // The tab of a memory, -1 when none.
    int Tab(const std::string& name)
    {
        const std::vector<std::string> tabs = w().TabsPBStorages->TabTexts();
        for (size_t i = 0; i < tabs.size(); ++i)
            if (tabs[i] == name)
                return int(i);
        return -1;
    }
    int Row(const std::string& memory, int index)
    {
        return Model().nodeOfRecord(Model().storageByName(memory)->findRecord(index, false));
    }
    VTixPhoneBookRecord* Entry(const std::string& memory, int index)
    {
        return Model().storageByName(memory)->findRecord(index, false);
    }
    // Opens the editor of a cell with F2 and types `text` over its text.
    QWidget* TypeOver(int row, int column, const QString& text)
    {
        w().VTPhonebook->setCurrentIndex(Index(row, column));
        KeyClick(w().VTPhonebook, Qt::Key_F2);
        QWidget* editor = column == 0 ? static_cast<QWidget*>(w().MFNumEdit1) : w().MFEdit1;
        EXPECT_TRUE(editor->isVisible()) << row << "," << column;
        KeyClick(editor, Qt::Key_A, Qt::ControlModifier);
        KeyClick(editor, Qt::Key_Delete);
        for (QChar c : text) {
            if (c == '+')
                KeyClick(editor, Qt::Key_Plus, Qt::NoModifier, QString(c));
            else
                KeyClicks(editor, QString(c));
        }
        return editor;
    }
    // The device's writes and deletes of a position of a memory.
    std::vector<std::string> WritesOf(const std::string& memory, int index)
    {
        std::vector<std::string> out;
        std::string selected = "SM";
        const std::string prefix = "AT+CPBW=" + std::to_string(index);
        for (const auto& c : sim->Transcript().Commands()) {
            if (c.rfind("AT+CPBS=\"", 0) == 0)
                selected = c.substr(9, c.size() - 10);
            else if (selected == memory && c.rfind(prefix, 0) == 0 &&
                     (c.size() == prefix.size() || c[prefix.size()] == ','))
                out.push_back(c);
        }
        return out;
    }
    bool Focused()
    {
        w().activateWindow();
        w().VTPhonebook->setFocus();
        return RunUntil([&] { return QApplication::focusWidget() == w().VTPhonebook; }, 2000);
    }
    std::vector<std::string> SelectorItems()
    {
        std::vector<std::string> out;
        for (const QString& item : w().RGroupPBStorage->Items())
            out.push_back(FromQString(item));
        return out;
    }
    // A click on a memory's tab, as the user gives it.
    void ClickTab(const std::string& name)
    {
        QTabBar* bar = w().TabsPBStorages->Tabs();
        const int tab = Tab(name);
        ASSERT_GE(tab, 0) << name;
        const QPoint at = bar->tabRect(tab).center();
        TestSupport::SendMouseEvent(bar, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        TestSupport::SendMouseEvent(bar, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
};

}  // namespace

TEST_F(PhonebookMemories, EveryMemoryHasAVisibleTabThatShowsItsEntries)
{
    ASSERT_NO_FATAL_FAILURE(ReadAll(QSize(640, 600)));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"SM", "1:Jan Nov?k,2:Petr,250:Posledni,:"},  // with the new-entry row
        {"ME", "2:Druhy,3:Kancelar,:"},
        {"FD", ""},     // PIN2: given up, never read
        {"LD", "1:"}};  // read-only: no new-entry row
    for (const QSize size : {QSize(640, 600), QSize(1400, 1000)}) {
        SCOPED_TRACE(size.width());
        w().resize(size);
        RunFor(200);
        QTabBar* bar = w().TabsPBStorages->Tabs();
        ASSERT_EQ(bar->count(), 4);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_GE(bar->height(), bar->sizeHint().height());
        const QRect window(QPoint(0, 0), w().size());
        for (const auto& [name, rows] : expected) {
            SCOPED_TRACE(name);
            const QRect tab = bar->tabRect(Tab(name));
            EXPECT_TRUE(window.contains(QRect(bar->mapTo(&w(), tab.topLeft()), tab.size()))) << "in sight";
            ClickTab(name);
            EXPECT_EQ(w().TabsPBStorages->TabIndex(), Tab(name));
            EXPECT_EQ(Model().displayedStorageName(), name);
            EXPECT_EQ(Rows(), rows);
        }
        ClickTab("SM");
        const std::string picture = "/phonebook_tabs_" + std::to_string(size.width()) + ".png";
        EXPECT_TRUE(w().grab().save(QString::fromStdString(ZELVITOR_TEST_BUILD_DIR + picture)));
    }
    EXPECT_EQ(Model().getWantedStorage(), "SM") << "showing a memory does not switch the device";
}

TEST_F(PhonebookMemories, EveryWayOfLeavingAnEditWritesItBack)
{
    ASSERT_NO_FATAL_FAILURE(ReadAll(QSize(640, 600)));
    if (!Focused())
        GTEST_SKIP() << "the platform gives no keyboard focus";
    // A click on another memory's tab.
    TypeOver(Row("SM", 2), 2, "Novak");
    ClickTab("ME");
    EXPECT_EQ(Model().displayedStorageName(), "ME");
    EXPECT_FALSE(w().MFEdit1->isVisible());
    EXPECT_EQ(Entry("SM", 2)->getEditedText(), "Novak");
    EXPECT_TRUE(Entry("SM", 2)->needsWrite()) << "the row was left: committed";
    // Tab in the editor.
    ASSERT_TRUE(Focused());
    TypeOver(Row("ME", 3), 2, "Sekretariat");
    KeyClick(w().MFEdit1, Qt::Key_Tab);
    EXPECT_FALSE(w().MFEdit1->isVisible());
    EXPECT_EQ(Entry("ME", 3)->getEditedText(), "Sekretariat");
    // The focus taken by another control.
    ASSERT_TRUE(Focused());
    TypeOver(Row("ME", 2), 2, "Treti");
    w().BtnWritePBToFile->setFocus();
    EXPECT_FALSE(w().MFEdit1->isVisible());
    EXPECT_EQ(Entry("ME", 2)->getEditedText(), "Treti");
    EXPECT_TRUE(Entry("ME", 2)->needsWrite()) << "the tree was left";
    // Every edit reaches the device once.
    ASSERT_TRUE(RunUntil([&] { return Idle() && !Entry("SM", 2)->isPending() && !Entry("ME", 3)->isPending() &&
                                      !Entry("ME", 2)->isPending(); },
                         30000))
        << sim->Transcript().ToText();
    EXPECT_EQ(WritesOf("SM", 2), std::vector<std::string>{"AT+CPBW=2,\"603555111\",129,\"Novak\""});
    EXPECT_EQ(WritesOf("ME", 3), std::vector<std::string>{"AT+CPBW=3,\"420212345678\",145,\"Sekretariat\""});
    EXPECT_EQ(WritesOf("ME", 2), std::vector<std::string>{"AT+CPBW=2,\"604000002\",129,\"Treti\""});
    // Closing the window.
    ClickTab("SM");
    ASSERT_TRUE(Focused());
    TypeOver(Row("SM", 1), 2, "Jan");
    w().configClean = true;
    w().close();
    EXPECT_EQ(Entry("SM", 1)->getEditedText(), "Jan");
    EXPECT_TRUE(Entry("SM", 1)->needsWrite());
    ASSERT_TRUE(RunUntil([&] { return w().closeDone; }, 10000));
}

TEST_F(PhonebookMemories, EnterTakesTheOfferedPositionAndSelectsOneRow)
{
    ASSERT_NO_FATAL_FAILURE(ReadAll(QSize(640, 600)));
    if (!Focused())
        GTEST_SKIP() << "the platform gives no keyboard focus";
    const int newRow = w().VTPhonebookModel->rowCount() - 1;
    KeyClick(TypeOver(newRow, 1, "+420 777 000 003"), Qt::Key_Return);
    EXPECT_EQ(w().VTPhonebook->selectionModel()->selectedRows().size(), 1) << "Enter moved the selection";
    KeyClick(TypeOver(newRow, 2, "Treti"), Qt::Key_Return);
    // The position editor offers the first free position; Enter takes it.
    w().VTPhonebook->setCurrentIndex(Index(newRow, 0));
    KeyClick(w().VTPhonebook, Qt::Key_F2);
    ASSERT_TRUE(w().MFNumEdit1->isVisible());
    EXPECT_EQ(w().MFNumEdit1->Value(), 3);
    // The editor stays within its row.
    const QRect cell = w().VTPhonebook->visualRect(Index(newRow, 0));
    EXPECT_LE(w().MFNumEdit1->geometry().bottom(), cell.bottom());
    EXPECT_GE(w().MFNumEdit1->geometry().top(), cell.top());
    w().grab().save(ZELVITOR_TEST_BUILD_DIR "/phonebook_position_editor.png");

    KeyClick(w().MFNumEdit1, Qt::Key_Return);
    EXPECT_FALSE(w().MFNumEdit1->isVisible());
    EXPECT_EQ(Rows(), "1:Jan Nov?k,2:Petr,3:Treti,250:Posledni,:");
    ASSERT_NE(Entry("SM", 3), nullptr);
    EXPECT_EQ(Entry("SM", 3)->getEditedNumber(), "+420 777 000 003");
    EXPECT_EQ(w().VTPhonebook->selectionModel()->selectedRows().size(), 1);
    ASSERT_TRUE(RunUntil([&] { return Idle() && !Entry("SM", 3)->isPending(); }, 30000))
        << sim->Transcript().ToText();
    EXPECT_EQ(WritesOf("SM", 3), std::vector<std::string>{"AT+CPBW=3,\"420777000003\",145,\"Treti\""});
}

TEST_F(PhonebookMemories, ANumberNoDialStringCanBeIsRefusedInTheEditor)
{
    ASSERT_NO_FATAL_FAILURE(ReadAll(QSize(640, 600)));
    if (!Focused())
        GTEST_SKIP() << "the platform gives no keyboard focus";
    const int row = Row("SM", 2);
    KeyClick(TypeOver(row, 1, "603x555"), Qt::Key_Return);
    ASSERT_TRUE(RunUntil([&] { return !boxes.empty() && w().MFEdit1->isVisible(); }, 2000));
    EXPECT_NE(boxes.back().text.find("\"603x555\""), std::string::npos) << boxes.back().text;
    EXPECT_NE(boxes.back().text.find(Cz("číslice")), std::string::npos) << boxes.back().text;
    EXPECT_EQ(Entry("SM", 2)->getEditedNumber(), "603555111") << "nothing taken";
    // The text comes back to be put right; Enter on the mended one takes it.
    EXPECT_EQ(FromQString(w().MFEdit1->text()), "603x555");
    EXPECT_EQ(w().VTPhonebook->currentIndex(), Index(row, 1));
    KeyClick(w().MFEdit1, Qt::Key_End);
    for (int i = 0; i < 4; ++i)
        KeyClick(w().MFEdit1, Qt::Key_Backspace);
    KeyClicks(w().MFEdit1, "-555");
    KeyClick(w().MFEdit1, Qt::Key_Return);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Entry("SM", 2)->getEditedNumber(), "603-555");
}

TEST_F(PhonebookMemories, TheSelectorAndThePageInBothLanguages)
{
    ASSERT_NO_FATAL_FAILURE(ReadAll(QSize(640, 600)));
    EXPECT_EQ(SelectorItems(), (std::vector<std::string>{Cz("SM (SIM karta)"), Cz("ME (V GSM modemu (v telefonu))"),
                                                         Cz("FD (Pevná volba)"), Cz("LD (Posledně volané)")}));
    ClickTab("ME");
    EXPECT_TRUE(w().grab().save(ZELVITOR_TEST_BUILD_DIR "/phonebook_page_cs.png"));
    w().VTixLanguage1->SetCurrLanguage("English");
    RunFor(100);
    EXPECT_EQ(SelectorItems(), (std::vector<std::string>{"SM (SIM card)", "ME (In the GSM modem (in the phone))",
                                                         "FD (Fixed dialing)", "LD (Last dialed)"}));
    EXPECT_EQ(w().RGroupPBStorage->ItemIndex(), 0) << "the choice stays";
    EXPECT_EQ(Model().displayedStorageName(), "ME") << "the shown memory stays";
    EXPECT_EQ(Rows(), "2:Druhy,3:Kancelar,:");
    EXPECT_TRUE(w().grab().save(ZELVITOR_TEST_BUILD_DIR "/phonebook_page_en.png"));
    w().VTixLanguage1->SetCurrLanguage(Cz("Česky"));
    RunFor(100);
    EXPECT_EQ(SelectorItems().front(), Cz("SM (SIM karta)"));
}
