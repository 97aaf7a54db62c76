// The file-transfer page: the list of files to send and the list of files
// received, bound to the engine's file lists.
#include <QBoxLayout>
#include <QHeaderView>
#include <QTreeView>

#include "app/form_helpers.h"
#include "app/form_main.h"
#include "app/list_view_binding.h"

using FormHelpers::Cz;
using FormHelpers::Named;

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

}  // namespace

void TFormMain::buildFilesPage()
{
    auto* page = new QVBoxLayout(SheetFiles);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(8);
    ListFilesOutBinding = FileList(SheetFiles, "ListFilesOut", "C\xEDl");
    ListFilesInBinding = FileList(SheetFiles, "ListFilesIn", "Zdroj");
    ListFilesOut = ListFilesOutBinding->view();
    ListFilesIn = ListFilesInBinding->view();
    page->addWidget(ListFilesOut, 1);
    page->addWidget(ListFilesIn, 1);
}

void TFormMain::bindFileList(TControl List, VListViewModel* Model)
{
    if (List == VMainWindowLink::ListFilesOut && ListFilesOutBinding)
        ListFilesOutBinding->bind(Model);
    else if (List == VMainWindowLink::ListFilesIn && ListFilesInBinding)
        ListFilesInBinding->bind(Model);
}

std::string TFormMain::tempFolder() { return tempDir; }
