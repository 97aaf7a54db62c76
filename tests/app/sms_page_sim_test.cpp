// The SMS page of the real window on the simulated device: the device's
// messages listed, a new message stored, the stored one sent from the
// memory, a new one sent directly, the PDUs read back by python-gammu, a
// delivered message shown without a click, two deleted; and the page's
// screenshots in Czech and English.
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/form_options.h"
#include "app/radio_group.h"
#include "app/sms_memo.h"
#include "engine/perif_smss.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"
#include "sms/sms_storage.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/files.h"
#include "tests/support/gammu.h"
#include "tests/support/input_devices.h"
#include "translation/tixlanguage.h"

using namespace MainWindowTest;
using Platform::FromQString;
using TestSupport::KeyClicks;

namespace {

// "Cau" from +420602123456, delivered by the network.
const char* const kCau = "0791246030500200000C9124602021436500004230514100000003C3701D";

struct SmsPageOnSim : TMainWindowFixture {
    VTixSMSList& list() { return *w().VSMSList1; }
    VTixSMSListModel& model() { return *w().SMSListModel; }
    VPerifSMSs& smss() { return w().uniset->getHandlers().smss(); }
    std::string Cell(int row, int column) { return FromQString(model().data(model().index(row, column)).toString()); }
    // The rows as "place|state|text" lines.
    std::vector<std::string> Rows()
    {
        std::vector<std::string> rows;
        for (int r = 0; r < model().rowCount(); ++r)
            rows.push_back(Cell(r, 0) + "|" + Cell(r, 1) + "|" + Cell(r, 2));
        return rows;
    }
    bool HasCommand(const std::string& command)
    {
        const auto commands = sim->Transcript().Commands();
        return std::find(commands.begin(), commands.end(), command) != commands.end();
    }
    // A request of the page is done: the handler free again.
    bool Done() { return smss().getMySMS() == nullptr && !smss().isBusy(); }
    void Focus(const VTixSMSRecord* sms)
    {
        w().ListSMSs->selectionModel()->setCurrentIndex(
            model().index(model().rowOf(sms), 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // The device up, its memory SM listed (the first listing's pause passed).
    void Listed()
    {
        ASSERT_NO_FATAL_FAILURE(WaitUntilReady());
        ASSERT_TRUE(RunUntil([&] { return smss().isInitialised() && smss().getLastListTick() != 0; }, 20000))
            << sim->Transcript().ToText();
        Platform::SetTickOffset(Platform::GetTickOffset() + 10000);
        ASSERT_TRUE(RunUntil(
                        [&] {
                            const VTixSMSStorage* sm = list().getStorageByName("SM");
                            return sm && sm->GetFirstRead() && !smss().isBusy() && model().rowCount() == 3;
                        },
                        20000))
            << sim->Transcript().ToText();
        w().PageControl1->setCurrentWidget(w().SheetSMS);
        RunFor(50);
    }
    // The messages the device holds in SM by index.
    std::vector<int> DeviceIndexes()
    {
        std::vector<int> indexes;
        sim->WithDevice([&](ModemSim::TDevice& d) {
            for (const auto& [index, message] : d.sms.memories[0].messages)
                indexes.push_back(index);
        });
        return indexes;
    }
    std::vector<std::string> SentLog()
    {
        std::vector<std::string> sent;
        sim->WithDevice([&](ModemSim::TDevice& d) { sent = d.sms.sent; });
        return sent;
    }
};

// python-gammu's reading of each PDU ("number|text" lines), and its own
// SUBMIT TPDU for the same number, text and validity (its SMS-centre part
// cut off); false without python-gammu.
bool GammuReads(const std::vector<std::string>& pdus, std::vector<std::string>& lines, std::string& why)
{
    TestSupport::TempFile script;
    script.Write(
        "import binascii, sys\n"
        "try:\n"
        "    import gammu\n"
        "except Exception:\n"
        "    print('NOGAMMU'); sys.exit(0)\n"
        "for pdu in sys.argv[1:]:\n"
        "    d = gammu.DecodePDU(binascii.unhexlify(pdu))\n"
        "    sub = {'Number': d['Number'], 'Text': d['Text'], 'SMSC': {'Location': 0, 'Number': '',"
        " 'Validity': d['SMSC']['Validity']}, 'Coding': 'Default_No_Compression', 'Type': 'Submit',"
        " 'MessageReference': d['MessageReference'], 'UDH': {'Type': 'NoUDH', 'Text': b''}, 'Class': -1,"
        " 'ReplyViaSameSMSC': 0, 'RejectDuplicates': 0, 'DeliveryStatus': 0, 'ReplaceMessage': 0,"
        " 'Folder': 0, 'Location': 0, 'Memory': '', 'Name': '', 'InboxFolder': 0, 'State': 'UnSent'}\n"
        "    own = binascii.hexlify(gammu.EncodePDU(sub, 'Submit')).decode().upper()\n"
        "    own = own[2 + 2 * int(own[0:2], 16):]\n"
        "    print(d['Number'] + '|' + d['Text'] + '|' + own)\n");
    std::string command = "/usr/bin/python3 " + script.Path();
    for (const std::string& pdu : pdus)
        command += " " + pdu;
    const std::string output = TestSupport::CommandOutput(command + " 2>&1");
    if (output.rfind("NOGAMMU", 0) == 0 || output.find("No such file") != std::string::npos) {
        why = "python3-gammu cannot be loaded by /usr/bin/python3";
        return false;
    }
    size_t start = 0;
    while (start < output.size()) {
        const size_t end = output.find('\n', start);
        lines.push_back(output.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? output.size() : end + 1;
    }
    return true;
}

}  // namespace

TEST_F(SmsPageOnSim, StoreSendDeliverAndDeleteThroughThePage)
{
    Make(false);
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 600)));
    ASSERT_NO_FATAL_FAILURE(Listed());
    const std::vector<std::string> listed = Rows();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(Cell(0, 0), "1: SM");
    EXPECT_EQ(Cell(1, 1), Cz("Přijatá"));
    EXPECT_EQ(Cell(2, 2), "Ahoj");
    EXPECT_EQ(Cell(2, 1), Cz("Neodeslaná"));

    // New, number, text, Store.
    w().BtnSMSNew->click();
    ASSERT_EQ(model().rowCount(), 4);
    EXPECT_EQ(Cell(3, 0), "1: PC");
    w().EditSMStel->setFocus();
    KeyClicks(w().EditSMStel, "+420777123456");
    w().MemoSMS->setFocus();
    KeyClicks(w().MemoSMS, "Zkouska");
    EXPECT_EQ(FromQString(w().LabelSMSTextLen->text()), "7");
    const size_t before = sim->Transcript().Size();
    w().BtnSMSWrite->click();
    ASSERT_TRUE(RunUntil([&] { return HasCommand("AT+CMGW=21") && Done(); }, 20000)) << sim->Transcript().ToText();
    EXPECT_TRUE(sim->Transcript().WaitForSent("> ", 0, before));
    const std::string typed = sim->Transcript().Stream(ModemSim::TDirection::Received);
    EXPECT_NE(typed.find("0011000C912470772143650000A907DAF5BB3E5F8701\x1A"), std::string::npos);
    ASSERT_TRUE(RunUntil([&] { return list().getSMSByIndex("SM", 4) != nullptr; }, 10000));
    VTixSMSRecord* stored = list().getSMSByIndex("SM", 4);
    EXPECT_EQ(list().getSMSByIndex("PC", 1), nullptr);
    const int storedRow = model().rowOf(stored);
    ASSERT_GE(storedRow, 0);
    EXPECT_EQ(Cell(storedRow, 0), "4: SM");
    EXPECT_EQ(Cell(storedRow, 1), Cz("Neodeslaná"));
    EXPECT_EQ(Cell(storedRow, 2), "Zkouska");
    EXPECT_EQ(model().rowCount(), 4);
    EXPECT_EQ(w().lastSMSNumber, "+420777123456");

    // That row sent from the memory.
    Focus(stored);
    ASSERT_TRUE(w().BtnSMSSend->isEnabled());
    w().BtnSMSSend->click();
    ASSERT_TRUE(RunUntil([&] { return HasCommand("AT+CMSS=4") && Done(); }, 20000)) << sim->Transcript().ToText();
    EXPECT_EQ(stored->GetState(), VTixSMS_stateSIMSent);
    EXPECT_EQ(Cell(model().rowOf(stored), 1), Cz("Odeslána"));
    EXPECT_EQ(FromQString(w().LabelSMSState->text()), Cz("Odeslána"));

    // New, the same number, "Ahoj", Send.
    w().BtnSMSNew->click();
    VTixSMSRecord* direct = w().focusedSMS();
    ASSERT_NE(direct, nullptr);
    w().EditSMStel->setText("+420777123456");
    w().MemoSMS->setFocus();
    KeyClicks(w().MemoSMS, "Ahoj");
    w().BtnSMSSend->click();
    ASSERT_TRUE(RunUntil([&] { return HasCommand("AT+CMGS=18") && Done(); }, 20000)) << sim->Transcript().ToText();
    EXPECT_NE(sim->Transcript().Stream(ModemSim::TDirection::Received).find("0011000C912470772143650000A90441F45B0D\x1A"),
              std::string::npos);
    int pcRows = 0;
    for (int r = 0; r < model().rowCount(); ++r)
        if (Cell(r, 0).find("PC") != std::string::npos) {
            ++pcRows;
            EXPECT_EQ(Cell(r, 1), Cz("Odeslána"));
        }
    // (The handler joins the sent draft with the record it made of the
    // PDU: `direct` may be gone.)
    EXPECT_EQ(pcRows, 1);

    // Both PDUs the device sent, read by an independent codec.
    const std::vector<std::string> sent = SentLog();
    ASSERT_EQ(sent.size(), 2u);
    // A message from the network: shown without a click.
    sim->RunScriptLine(std::string("at 0 deliver ") + kCau);
    ASSERT_TRUE(RunUntil([&] { return list().getSMSByIndex("SM", 5) && Cell(model().rowOf(list().getSMSByIndex("SM", 5)), 2) == "Cau"; },
                         20000))
        << sim->Transcript().ToText();
    EXPECT_TRUE(sim->Transcript().WaitForSent("+CMTI: \"SM\",5", 0));
    VTixSMSRecord* cau = list().getSMSByIndex("SM", 5);
    EXPECT_EQ(Cell(model().rowOf(cau), 0), "5: SM");
    EXPECT_EQ(Cell(model().rowOf(cau), 1), Cz("Přijatá"));

    // Rows 1 and 5 deleted.
    ASSERT_TRUE(RunUntil([&] { return Done(); }, 10000));
    VTixSMSRecord* first = list().getSMSByIndex("SM", 1);
    Focus(first);
    w().ListSMSs->selectionModel()->select(model().index(model().rowOf(cau), 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_TRUE(w().BtnSMSDel->isEnabled());
    w().BtnSMSDel->click();
    EXPECT_EQ(first->GetState(), VTixSMS_state_Deleting);
    EXPECT_EQ(cau->GetState(), VTixSMS_state_Deleting);
    ASSERT_TRUE(RunUntil(
                    [&] {
                        return !list().getSMSByIndex("SM", 1) && !list().getSMSByIndex("SM", 5) && Done();
                    },
                    20000))
        << sim->Transcript().ToText();
    EXPECT_TRUE(HasCommand("AT+CMGD=1"));
    EXPECT_TRUE(HasCommand("AT+CMGD=5"));
    EXPECT_EQ(DeviceIndexes(), (std::vector<int>{2, 3, 4}));
    for (const std::string& row : Rows()) {
        EXPECT_EQ(row.find("1: SM"), std::string::npos) << row;
        EXPECT_EQ(row.find("5: SM"), std::string::npos) << row;
    }
    EXPECT_EQ(model().rowCount(), 4);

    // Last, as it may be skipped: the sent PDUs read by python-gammu.
    std::vector<std::string> lines;
    std::string why;
    if (GammuReads(sent, lines, why)) {
        ASSERT_EQ(lines.size(), 2u) << (lines.empty() ? std::string() : lines[0]);
        const char* texts[2] = {"Zkouska", "Ahoj"};
        for (size_t i = 0; i < 2; ++i) {
            const std::string expected = std::string("+420777123456|") + texts[i] + "|";
            EXPECT_EQ(lines[i].substr(0, expected.size()), expected) << lines[i];
            // gammu's own SUBMIT of that number and text: our TPDU.
            EXPECT_EQ(lines[i].substr(expected.size()), sent[i].substr(2)) << lines[i];
        }
    } else
        GTEST_SKIP() << why;

}

TEST_F(SmsPageOnSim, Screenshots)
{
    Make(false);
    StartSim(ModemSim::TProfile::Builtin("tc35"));
    ASSERT_NO_FATAL_FAILURE(StartOnSim(QSize(640, 600)));
    ASSERT_NO_FATAL_FAILURE(Listed());
    // The beginner's level: the state column shown.
    FormOptions->RGroupAdvanced->SetItemIndex(0);
    FormOptions->RGroupAdvancedClick(nullptr);
    ASSERT_TRUE(list().GetShowSMSStateAsText());
    Focus(list().getSMSByIndex("SM", 2));
    w().BtnSMSNew->click();
    w().EditSMStel->setText("+420777123456");
    w().MemoSMS->SetMemoText("Zkouska");
    RunFor(100);
    struct TShot {
        const char* language;
        const char* file;
        const char* send;
        const char* read;
        const char* length;
    };
    for (const TShot& s : {TShot{"\xC8" "esky", "/sms_page_cs.png", "Odeslat", "Přečtená", "Délka:"},
                           TShot{"English", "/sms_page_en.png", "Send", "Read", "Length:"}}) {
        w().VTixLanguage1->SetCurrLanguage(s.language);
        RunFor(100);
        EXPECT_EQ(FromQString(w().BtnSMSSend->text()), Cz(s.send));
        EXPECT_TRUE(w().BtnSMSSend->isDefault());
        EXPECT_TRUE(w().BtnSMSSend->isEnabled());
        EXPECT_EQ(Cell(0, 1), Cz(s.read));
        const std::string length = Cz(s.length);
        EXPECT_EQ(FromQString(w().LabelSMSLen->text()).substr(0, length.size()), length);
        EXPECT_EQ(w().focusedSMS(), list().getSMSByIndex("PC", 1));
        EXPECT_GT(w().ListSMSs->header()->sectionSize(1), 0);
        const QImage shot = w().grab().toImage();
        ASSERT_FALSE(shot.isNull());
        EXPECT_EQ(shot.size(), QSize(640, 600) * w().devicePixelRatio());
        EXPECT_TRUE(shot.save(QString::fromStdString(std::string(ZELVITOR_TEST_BUILD_DIR) + s.file)));
    }
}
