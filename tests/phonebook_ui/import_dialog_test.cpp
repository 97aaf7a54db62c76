// The import dialog: one row per memory of the file, "SM" checked at the
// start, descriptions from the language, check boxes toggled by a double
// click, OK collecting the checked codes, Cancel collecting nothing.
#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phonebook/ui/form_import_pb.h"
#include "tests/phonebook_ui/pb_rig.h"

using namespace PhonebookUiTest;

namespace {

struct ImportDialog : ::testing::Test {
    void SetUp() override { TestSupport::AppWithDevices(); }
    static std::string Text(const QModelIndex& index) { return Platform::FromQString(index.data().toString()); }
    static std::string Cz(const char* utf8) { return Platform::FromQString(QString::fromUtf8(utf8)); }
    // Descriptions of two memories only, as a language file may have.
    TFormImportPB::TLangText language = [](const std::string& section, const std::string& key,
                                           const std::string& def) -> std::string {
        if (section == "Phonebook" && key == "Storage_SM")
            return "SIM karta";
        if (section == "Phonebook" && key == "Storage_FD")
            return "Pevn\xE1 volba";
        if (section == "FormImportPB" && key == "VSTStorages_Hint_1")
            return "Memory description";
        return def;
    };
};

}  // namespace

TEST_F(ImportDialog, TheFormAndItsControlsAsDesigned)
{
    TFormImportPB dialog(nullptr, language);
    EXPECT_EQ(dialog.objectName(), "FormImportPB");
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Import telefonního seznamu"));
    EXPECT_EQ(dialog.VSTStorages->objectName(), "VSTStorages");
    QAbstractItemModel* m = dialog.VSTStorages->model();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("Kód"));
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Popis");
    EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString(), QString::fromUtf8("Kód paměti"));
    EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(), "Memory description");
    EXPECT_EQ(dialog.VSTStorages->columnWidth(0), 50);
    EXPECT_EQ(dialog.VSTStorages->columnWidth(1), 243);
    EXPECT_TRUE(dialog.VSTStorages->header()->sectionsMovable());
    EXPECT_EQ(dialog.CheckDeleteOld->text(), QString::fromUtf8("Před nahrátím smazat všechny záznamy"));
    EXPECT_FALSE(dialog.CheckDeleteOld->isChecked());
    EXPECT_EQ(dialog.CheckPreservePositions->text(), QString::fromUtf8("Zachovat pozice záznamů podle souboru"));
    EXPECT_FALSE(dialog.CheckPreservePositions->isChecked());
    EXPECT_EQ(dialog.BtnOK->text(), "OK");
    EXPECT_EQ(dialog.BtnCancel->text(), "Storno");
    // The form translation may set the column captions.
    EXPECT_TRUE(m->setHeaderData(0, Qt::Horizontal, QStringLiteral("Code")));
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Code");
    EXPECT_TRUE(dialog.SelectedStorages.empty());
}

TEST_F(ImportDialog, OnlySimCardCheckedAndOkGivesIt)
{
    TFormImportPB dialog(nullptr, language);
    dialog.StoragesInFile = {"SM"};
    dialog.show();
    QAbstractItemModel* m = dialog.VSTStorages->model();
    ASSERT_EQ(m->rowCount(), 1);
    EXPECT_EQ(Text(m->index(0, 0)), "SM");
    EXPECT_EQ(Text(m->index(0, 1)), "SIM karta");
    EXPECT_EQ(m->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_TRUE(m->flags(m->index(0, 0)) & Qt::ItemIsUserCheckable);
    dialog.BtnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.SelectedStorages, std::vector<std::string>{"SM"});
}

TEST_F(ImportDialog, OtherMemoriesStartUncheckedAndDoubleClicksToggle)
{
    TFormImportPB dialog(nullptr, language);
    dialog.StoragesInFile = {"FD", "ME", "sm", "XY"};
    dialog.FormShow();
    QAbstractItemModel* m = dialog.VSTStorages->model();
    ASSERT_EQ(m->rowCount(), 4);
    for (int row = 0; row < 4; ++row)
        EXPECT_FALSE(dialog.RowChecked(row)) << row << ": only \"SM\" exactly starts checked";
    EXPECT_EQ(Text(m->index(0, 1)), Cz("Pevná volba"));
    EXPECT_EQ(Text(m->index(3, 1)), "") << "no description";
    dialog.BtnOK->click();
    EXPECT_TRUE(dialog.SelectedStorages.empty()) << "nothing checked, nothing to load";

    dialog.resize(400, 300);
    dialog.show();
    const QRect cell = dialog.VSTStorages->visualRect(m->index(1, 1));
    QWidget* viewport = dialog.VSTStorages->viewport();
    SendMouseEvent(viewport, QEvent::MouseButtonPress, cell.center(), Qt::LeftButton, Qt::LeftButton);
    SendMouseEvent(viewport, QEvent::MouseButtonRelease, cell.center(), Qt::LeftButton, Qt::NoButton);
    SendMouseEvent(viewport, QEvent::MouseButtonDblClick, cell.center(), Qt::LeftButton, Qt::LeftButton);
    SendMouseEvent(viewport, QEvent::MouseButtonRelease, cell.center(), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(dialog.RowChecked(1)) << "a double click checks ME";
    EXPECT_TRUE(m->setData(m->index(3, 0), int(Qt::Checked), Qt::CheckStateRole)) << "its check box";
    dialog.BtnOK->click();
    EXPECT_EQ(dialog.SelectedStorages, (std::vector<std::string>{"ME", "XY"})) << "in tree order";
    dialog.SetRowChecked(1, false);
    EXPECT_FALSE(dialog.RowChecked(1));
}

TEST_F(ImportDialog, CancelCollectsNothing)
{
    TFormImportPB dialog(nullptr);
    dialog.StoragesInFile = {"SM", "ME"};
    dialog.show();
    EXPECT_EQ(Text(dialog.VSTStorages->model()->index(0, 1)), "") << "no language, no descriptions";
    dialog.BtnCancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.SelectedStorages.empty());
}
