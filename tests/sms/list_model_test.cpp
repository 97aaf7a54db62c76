// VTixSMSListModel over a VTixSMSList: rows that follow the records with
// the row signals of a Qt model (checked by Qt's model tester), captions,
// widths, state texts and the state role, language changes, attaching and
// detaching; and the SMS-centre list in its combo box and file.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <fstream>
#include <memory>

#include "sms/sms_list.h"
#include "sms/sms_list_model.h"

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "sms-model-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

QString Q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

const char* const kHello = "0791246030500200040C9124707721436500004230513154034005E8329BFD06";

class Combo : public VTixSCACombo {
public:
    std::vector<std::string> items;
    int selected = -1;
    std::string typed;
    int count() const override { return int(items.size()); }
    std::string item(int i) const override { return i >= 0 && i < count() ? items[size_t(i)] : ""; }
    void clear() override
    {
        items.clear();
        selected = -1;
        typed.clear();
    }
    void add(const std::string& text) override { items.push_back(text); }
    int itemIndex() const override { return selected; }
    void setItemIndex(int i) override
    {
        selected = i >= 0 && i < count() ? i : -1;
        typed.clear();
    }
    std::string text() const override { return selected >= 0 ? items[size_t(selected)] : typed; }
    void setText(const std::string& t) override
    {
        selected = -1;
        typed = t;
    }
};

}  // namespace

TEST(SmsListModel, RowsFollowTheRecords)
{
    App();
    VTixSMSList list;
    list.smsDoesExist("SM", 3);  // before the model: a row when attached
    auto model = std::make_unique<VTixSMSListModel>(&list);
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->columnCount(), 3);

    VTixSMSRecord* pc = list.smsDoesExist("PC", 0);
    VTixSMSRecord* sm = list.smsDoesExist("SM", 0);
    EXPECT_EQ(inserted.count(), 2);
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->getMessageByListItem(1), pc);
    EXPECT_EQ(model->getMessageByListItem(3), nullptr);
    EXPECT_EQ(model->rowOf(sm), 2);
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), "3: SM");
    EXPECT_EQ(model->data(model->index(1, 0)).toString(), "1: PC");
    EXPECT_EQ(model->data(model->index(2, 0)).toString(), "SM: ?");
    EXPECT_EQ(model->data(model->index(0, 1)).toString(), Q("Zjišťuji..."));
    EXPECT_EQ(model->data(model->index(0, 0), VTixSMSListModel::StateRole).toInt(), VTixSMS_state_Unknown);
    EXPECT_EQ(model->data(model->index(1, 0), VTixSMSListModel::RecordRole).value<quintptr>(), quintptr(pc));

    // A record read from the device shows its state and text.
    const int before = changed.count();
    sm->SetState(VTixSMS_stateSIMRecvRead);
    list.setPDUtext("SM", 0, 0, kHello, false);
    EXPECT_GT(changed.count(), before);
    EXPECT_EQ(changed.last().at(0).value<QModelIndex>().row(), 2);
    EXPECT_EQ(model->data(model->index(2, 1)).toString(), Q("Přečtená"));
    EXPECT_EQ(model->data(model->index(2, 2)).toString(), "hello");
    EXPECT_EQ(model->data(model->index(2, 0), VTixSMSListModel::StateRole).toInt(), VTixSMS_stateSIMRecvRead);
    sm->SetIndex(7);
    EXPECT_EQ(model->data(model->index(2, 0)).toString(), "7: SM");
    // Every state has its text.
    const char* texts[] = {"Zjišťuji...", "Chyba čtení PDU", "Přijatá", "Přečtená", "Neodeslaná",
                           "Posílá se...", "Ukládá se...", "Chyba odeslání", "Odeslána", "Maže se..."};
    for (int s = 0; s < VTixSMS_stateCount; ++s) {
        pc->SetState(VTixSMS_textSMSstates(s));
        EXPECT_EQ(model->data(model->index(1, 1)).toString(), Q(texts[s])) << s;
    }

    list.messageDeleted(pc);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->rowOf(sm), 1);
    list.clearMessages();
    EXPECT_EQ(model->rowCount(), 0);
    list.smsDoesExist("SM", 1);
    EXPECT_EQ(model->rowCount(), 1);
    // Detached when it goes; the list lives on without rows to tell.
    model.reset();
    EXPECT_EQ(list.GetListView(), nullptr);
    list.smsDoesExist("SM", 2)->SetState(VTixSMS_stateSIMRecvRead);
    EXPECT_EQ(list.getSMSByIndex("SM", 2)->GetListItem(), nullptr);
}

TEST(SmsListModel, CaptionsWidthsAndLanguage)
{
    App();
    VTixSMSList list;
    VTixSMSListModel model(&list);
    QSignalSpy columns(&model, &VTixSMSListModel::columnsChanged);
    QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Id");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Stav");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Text");
    EXPECT_FALSE(model.headerData(3, Qt::Horizontal).isValid());
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());
    EXPECT_EQ(model.columnWidth(0, 500), 60);
    EXPECT_EQ(model.columnWidth(1, 500), 60);
    EXPECT_EQ(model.columnWidth(2, 500), 360);
    list.SetShowSMSStateAsText(false);
    EXPECT_EQ(columns.count(), 1);
    EXPECT_EQ(model.columnWidth(1, 500), 0);
    EXPECT_EQ(model.columnWidth(2, 500), 420);
    list.SetShowSMSStateAsText(false);
    EXPECT_EQ(columns.count(), 1);

    VTixSMSRecord* sms = list.smsDoesExist("SM", 1);
    sms->SetState(VTixSMS_stateSIMSent);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    std::vector<std::string> asked;
    list.SetLanguage([&](const std::string& section, const std::string& key, const std::string& def, int index) {
        asked.push_back(section + "/" + key + (index >= 0 ? "_" + std::to_string(index) : ""));
        if (key == "State")
            return std::string("State");
        if (key == "SMSState" && index == 8)
            return std::string("Sent");
        if (key == "SMSState" && index == 7)
            return std::string();  // an empty text shows as "???"
        return def;
    });
    EXPECT_GE(headers.count(), 1);
    EXPECT_EQ(changed.count(), 1);  // every row anew
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "State");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "Sent");
    sms->SetState(VTixSMS_stateSendFailed);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "???");
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "SMSList/SMSState_7"), 1);
    EXPECT_EQ(VTixSMSList::GetRowCaption(nullptr), "");
}

TEST(SmsListModel, SecondViewTakesTheRowsFromTheFirst)
{
    App();
    VTixSMSList list;
    list.smsDoesExist("SM", 1);
    VTixSMSListModel first(&list);
    VTixSMSListModel second(&list);
    EXPECT_EQ(list.GetListView(), &second);
    EXPECT_EQ(first.rowCount(), 0);
    EXPECT_EQ(first.list(), nullptr);
    EXPECT_EQ(second.rowCount(), 1);
    list.smsDoesExist("SM", 2);
    EXPECT_EQ(first.rowCount(), 0);
    EXPECT_EQ(second.rowCount(), 2);
}

TEST(SmsCentreList, FileComboAndNumbers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/tix_smsc.ini";
    {
        std::ofstream out(path, std::ios::binary);
        out << "+123\r\n+123 Doma\r\n  +420 603-052 \"T\"\n\r\n+999 Pr\xE1\x63\x65";
    }
    VTixSMSList list;
    Combo combo;
    combo.items = {"+420602909909 \"CZE Eurotel\""};  // presets of the form go
    combo.selected = 0;
    EXPECT_EQ(list.GetSCAFile(), "tix_smsc.ini");
    list.SetSCACombo(&combo);
    list.SetSCAFile(path);
    ASSERT_EQ(combo.items.size(), 5u);
    EXPECT_EQ(combo.items[1], "+123 Doma");
    EXPECT_EQ(combo.items[3], "");
    EXPECT_EQ(combo.items[4], "+999 Pr\xE1\x63\x65");
    // The number shown before, not an item: nothing selected (not forced).
    EXPECT_EQ(combo.selected, -1);
    EXPECT_EQ(combo.text(), "");

    list.SetSCANumber("+123");
    EXPECT_EQ(combo.selected, 0);
    EXPECT_EQ(list.GetSCANumber(), "+123");
    // "+123 Doma" is compared as "+123 ": not the number, shown as typed.
    list.SetSCANumber("+999");
    EXPECT_EQ(combo.selected, -1);
    EXPECT_EQ(combo.text(), "+999");
    combo.setItemIndex(1);
    EXPECT_EQ(list.GetSCANumber(), "+123");
    combo.setItemIndex(2);
    EXPECT_EQ(list.GetSCANumber(), "+420");
    combo.setText("  +420603052000 x");
    EXPECT_EQ(list.GetSCANumber(), "+420603052000");
    // Rebuilt: the number shown is selected again.
    combo.setItemIndex(0);
    list.rebuildSCACombo();
    EXPECT_EQ(combo.selected, 0);
    // Not forced, a typed text that is no item selects the first.
    combo.setText("+5");
    list.SetSCANumber("+5", false);
    EXPECT_EQ(combo.selected, 0);

    // Written back one item a line.
    const std::string copy = dir.path().toStdString() + "/copy.ini";
    list.SetSCAFile(copy);  // missing: an empty combo
    EXPECT_EQ(combo.count(), 0);
    combo.items = {"+1 a", "+2 b"};
    EXPECT_TRUE(list.saveSCAList());
    std::ifstream in(copy, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, "+1 a\r\n+2 b\r\n");
    // Without a combo there is no number.
    list.SetSCACombo(nullptr);
    EXPECT_EQ(list.GetSCANumber(), "");
    EXPECT_FALSE(list.saveSCAList());
}
