// The file-transfer page: the list of files to send with its buttons, and
// the list of files received with the save button, bound to the engine's
// file lists; and the hidden test buttons that make a data call by hand.
#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <sys/stat.h>

#include "app/form_helpers.h"
#include "app/form_main.h"
#include "app/list_view_binding.h"
#include "calls/list_item_file.h"
#include "engine/perif_calls.h"
#include "engine/uniset.h"
#include "foundation/tixutils_format.h"
#include "platform/codepage.h"
#include "platform/qt/qt_text.h"

using FormHelpers::Cz;
using FormHelpers::Label;
using FormHelpers::Named;
using Platform::FromQString;

namespace {

// A report list with the columns "Soubor", "Délka", "Stav" and the last one.
TListViewBinding* FileList(QWidget* parent, const char* name, const char* lastColumn)
{
    auto* view = Named(new QTreeView(parent), name);
    auto* binding = new TListViewBinding(
        view, {Cz("Soubor"), Cz("D\xE9lka"), Cz("Stav"), Cz(lastColumn)});
    view->header()->setStretchLastSection(true);
    view->setColumnWidth(0, 260);
    return binding;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text)
{
    auto* b = Named(new QPushButton(Cz(text), parent), name);
    b->setMinimumWidth(75);
    return b;
}

}  // namespace

void TFormMain::buildFilesPage()
{
    auto* page = new QVBoxLayout(SheetFiles);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(6);
    ListFilesOutBinding = FileList(SheetFiles, "ListFilesOut", "C\xEDl");
    ListFilesInBinding = FileList(SheetFiles, "ListFilesIn", "Zdroj");
    ListFilesOut = ListFilesOutBinding->view();
    ListFilesIn = ListFilesInBinding->view();
    LabelFilesSend = Label(SheetFiles, "LabelFilesSend", "K odesl\xE1n\xED", ListFilesOut);
    LabelFilesRecv = Label(SheetFiles, "LabelFilesRecv", "P\xF8ijat\xE9", ListFilesIn);

    BtnSendFiles = Button(SheetFiles, "BtnSendFiles", "Odeslat");
    CheckHideSent = Named(new QCheckBox(Cz("Skr\xFDt odeslan\xE9"), SheetFiles), "CheckHideSent");
    CheckHideSent->setChecked(true);
    BtnFilesNew = Button(SheetFiles, "BtnFilesNew", "P\xF8idat...");
    BtnFilesDel = Button(SheetFiles, "BtnFilesDel", "Odebrat");
    BtnSaveFile = Button(SheetFiles, "BtnSaveFile", "Ulo\x9Eit");
    BtnTestSrc = Button(SheetFiles, "BtnTestSrc", "Src");
    BtnTestDst = Button(SheetFiles, "BtnTestDst", "Dst");
    BtnTestSrc->setVisible(false);
    BtnTestDst->setVisible(false);

    page->addWidget(LabelFilesSend);
    page->addWidget(ListFilesOut, 1);
    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(BtnSendFiles);
    sendRow->addWidget(CheckHideSent);
    sendRow->addStretch(1);
    sendRow->addWidget(BtnFilesNew);
    sendRow->addWidget(BtnFilesDel);
    page->addLayout(sendRow);
    page->addWidget(LabelFilesRecv);
    page->addWidget(ListFilesIn, 1);
    auto* receivedRow = new QHBoxLayout;
    receivedRow->addWidget(BtnTestSrc);
    receivedRow->addWidget(BtnTestDst);
    receivedRow->addStretch(1);
    receivedRow->addWidget(BtnSaveFile);
    page->addLayout(receivedRow);

    OpenDialogFiles = {"OpenDialogFiles", "Soubory k odesl\xE1n\xED", "", "", "", "", false};
    OpenDialogFiles.several = true;
    // Saving never writes over a file (the row refuses it), so the dialog
    // does not ask about one either.
    SaveDialogFile = {"SaveDialogFile", "P\xF8ijat\xFD soubor", "", "", "", "", true};
    SaveDialogFile.confirmOverwrite = false;
    RunFilesDialog = [this](TFileDialogSetup& setup, std::vector<std::string>& chosen) {
        return runFilesDialog(setup, chosen);
    };

    connect(BtnFilesNew, &QPushButton::clicked, this, [this] { BtnFilesNewClick(); });
    connect(BtnFilesDel, &QPushButton::clicked, this, [this] { BtnFilesDelClick(); });
    connect(BtnSendFiles, &QPushButton::clicked, this, [this] { BtnSendFilesClick(); });
    connect(BtnSaveFile, &QPushButton::clicked, this, [this] { BtnSaveFileClick(); });
    connect(BtnTestSrc, &QPushButton::clicked, this, [this] { BtnTestSrcClick(); });
    connect(BtnTestDst, &QPushButton::clicked, this, [this] { BtnTestDstClick(); });
}

void TFormMain::bindFileList(TControl List, VListViewModel* Model)
{
    if (List == VMainWindowLink::ListFilesOut && ListFilesOutBinding)
        ListFilesOutBinding->bind(Model);
    else if (List == VMainWindowLink::ListFilesIn && ListFilesInBinding)
        ListFilesInBinding->bind(Model);
}

std::string TFormMain::tempFolder() { return tempDir; }

int TFormMain::SelectedRow(QTreeView* view)
{
    if (!view || !view->model() || !view->selectionModel())
        return -1;
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void TFormMain::BtnFilesNewClick()
{
    std::vector<std::string> chosen;
    if (!uniset || !RunFilesDialog || !RunFilesDialog(OpenDialogFiles, chosen))
        return;
    const std::string number = FromQString(EditNumber->text());
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it)
        uniset->addSendFile(*it, number);
}

void TFormMain::BtnFilesDelClick()
{
    const int row = SelectedRow(ListFilesOut);
    if (uniset && row >= 0)
        uniset->removeSendFile(row);
}

void TFormMain::BtnSendFilesClick()
{
    if (uniset)
        uniset->walkSendList(CheckHideSent->isChecked());
}

void TFormMain::BtnSaveFileClick()
{
    const int row = SelectedRow(ListFilesIn);
    VListItemFile* item = uniset && row >= 0 ? uniset->receivedItemOf(row) : nullptr;
    if (!item)
        return;
    SaveDialogFile.initialDir = ExtractFilePath(item->getPath());
    SaveDialogFile.fileName = ExtractFileName(item->getPath());
    std::string target;
    if (!RunFileDialog || !RunFileDialog(SaveDialogFile, target) || target.empty())
        return;
    // The row takes the target as its path only once it saved there.
    if (item->save(target))
        return;
    struct stat st {};
    const bool exists = ::lstat(target.c_str(), &st) == 0;
    const std::string shown = Platform::Utf8ToAnsi(target, Platform::SystemCodePage());
    const std::string message =
        exists ? text("FileExists", "Soubor \"%1\" ji\x9E existuje.")
               : text("FileNotSaved", "Soubor \"%1\" se nepoda\xF8ilo ulo\x9Eit.");
    messageBox2(Tixutils::SafePrintf(message, {shown}), VMainWindowLink::MB_ICONEXCLAMATION);
}

void TFormMain::BtnTestSrcClick()
{
    if (!uniset)
        return;
    VCall& row = uniset->getHandlers().calls().row(0);
    row.outgoing = true;
    row.remote.outgoing = true;
    row.number = FromQString(EditNumber->text());
    row.setType(2);
    row.setState(3);
    uniset->setMode(3);
}

void TFormMain::BtnTestDstClick()
{
    if (!uniset)
        return;
    VCall& row = uniset->getHandlers().calls().row(0);
    row.remote.outgoing = false;
    row.number = FromQString(EditNumber->text());
    row.setType(2);
    row.setState(3);
    uniset->setMode(3);
}
