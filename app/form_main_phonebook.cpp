// The phonebook page: one tab per memory over the tree of the shown
// memory, edited in place; the selector of the memory the device works
// with; "Read phonebooks"; writing and reading the phonebook file.
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "app/app_info.h"
#include "app/form_helpers.h"
#include "app/form_main.h"
#include "app/radio_group.h"
#include "app/tab_control.h"
#include "engine/perif_modem.h"
#include "engine/perif_phonebook.h"
#include "engine/uniset.h"
#include "phonebook/phonebook.h"
#include "phonebook/phonebook_item_model.h"
#include "phonebook/ui/form_import_pb.h"
#include "phonebook/ui/mf_edit.h"
#include "phonebook/ui/mf_num_edit.h"
#include "phonebook/ui/virtual_string_tree_ex.h"
#include "phonebook/ui/vst_editor.h"
#include "platform/qt/qt_text.h"
#include "translation/tixlanguage.h"
#include "widgets/eliding_header_style.h"
#include "widgets/image_list.h"

using FormHelpers::Cz;
using FormHelpers::Named;
using Platform::FromQString;
using Platform::ToQString;

namespace {

// The state pictures of the tree: 0 none, 1 a modified entry (a pencil),
// 2 the row of a new entry (a plus), 3 an entry the device refused (a red
// cross).
std::unique_ptr<TImageList> MakePhonebookStateImages()
{
    auto list = std::make_unique<TImageList>(16, 16);
    QImage blank(16, 16, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    list->Add(blank);

    QImage pencil = blank;
    {
        QPainter p(&pencil);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 128), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 12), QPointF(12, 4));
        p.setPen(QPen(QColor(255, 200, 0), 1.5));
        p.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 4.5));
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(2, 14), QPointF(4, 12));
    }
    list->Add(pencil);

    QImage plus = blank;
    {
        QPainter p(&plus);
        p.fillRect(QRect(6, 2, 4, 12), QColor(0, 128, 0));
        p.fillRect(QRect(2, 6, 12, 4), QColor(0, 128, 0));
    }
    list->Add(plus);

    QImage cross = blank;
    {
        QPainter p(&cross);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    }
    list->Add(cross);
    return list;
}

// The program's code of a key and the shift state of an event.
int KeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Delete:
        return VTixPhoneBook::vkDelete;
    case Qt::Key_Insert:
        return VTixPhoneBook::vkInsert;
    case Qt::Key_C:
        return VTixPhoneBook::vkC;
    default:
        return 0;
    }
}

int ShiftState(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= VTixPhoneBook::ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= VTixPhoneBook::ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= VTixPhoneBook::ssCtrl;
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    if (buttons & Qt::LeftButton)
        shift |= VTixPhoneBook::ssLeft;
    if (buttons & Qt::RightButton)
        shift |= VTixPhoneBook::ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= VTixPhoneBook::ssMiddle;
    return shift;
}

// A name without an extension gets ".ini"; any extension is kept.
std::string WithPhonebookExtension(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + ".ini";
    return path;
}

// The tree's selected rows in tree order.
std::vector<int> SelectedRows(const QAbstractItemView& tree)
{
    std::vector<int> rows;
    for (const QModelIndex& index : tree.selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool Within(const QWidget* widget, const QWidget* ancestor)
{
    return widget && ancestor && (widget == ancestor || ancestor->isAncestorOf(widget));
}

}  // namespace

// An event filter of the tree: its own keys (the cell editor's keys are
// the editor's).
class TPhonebookTreeKeys : public QObject {
public:
    TPhonebookTreeKeys(TFormMain* form) : QObject(form), FForm(form) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        return FForm->phonebookTreeKey(static_cast<QKeyEvent*>(event));
    }

private:
    TFormMain* FForm;
};

void TFormMain::buildPhonebookPage()
{
    ImagesPhonebookStates = MakePhonebookStateImages();
    auto* page = new QHBoxLayout(SheetPhonebook);
    // The memory selector stands 2 pixels above the page's bottom.
    page->setContentsMargins(8, 8, 8, 2);
    page->setSpacing(8);

    TabsPBStorages = Named(new TTabControl(SheetPhonebook), "TabsPBStorages");
    VTPhonebook = Named(new TVirtualStringTreeEx, "VTPhonebook");
    TVirtualTreeExOptions options;
    options.SetExtendedOptions({toShadeBuffer});
    VTPhonebook->SetTreeOptions(options);
    VTPhonebook->SetShowVertGridLines(true);
    VTPhonebook->setRootIsDecorated(false);
    VTPhonebook->setUniformRowHeights(true);
    VTPhonebook->setAllColumnsShowFocus(true);
    VTPhonebook->setSelectionMode(QAbstractItemView::ExtendedSelection);
    VTPhonebook->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A click on the focused cell, or F2, edits it.
    VTPhonebook->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    VTPhonebook->setIconSize(QSize(16, 16));
    VTPhonebookModel = new VTixPhoneBookItemModel(VTPhonebook);
    VTPhonebook->setModel(VTPhonebookModel);
    QHeaderView* header = VTPhonebook->header();
    header->setMinimumSectionSize(20);
    header->setSectionsMovable(true);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    // A caption wider than its column ("Position" in 40 pixels) ends in
    // "…" rather than losing its first letters to the centring.
    TElidingHeaderStyle::Install(header);
    VTPhonebook->setColumnWidth(VTixPhoneBook::tcIndex, 40);
    VTPhonebook->setColumnWidth(VTixPhoneBook::tcNumber, 100);
    VTPhonebook->setColumnWidth(VTixPhoneBook::tcText, 141);
    TabsPBStorages->SetClient(VTPhonebook);

    // An international number, grouped or not, shows whole in the tree's
    // font.
    const int numberWidth = VTPhonebook->fontMetrics().horizontalAdvance(QStringLiteral("+420 777 000 003")) + 12;
    VTPhonebook->setColumnWidth(VTixPhoneBook::tcNumber, std::max(100, numberWidth));
    // The name takes what the tree has left over, more or less than its
    // design width.
    header->setSectionResizeMode(VTixPhoneBook::tcText, QHeaderView::Stretch);

    MFEdit1 = Named(new TMFEdit(SheetPhonebook), "MFEdit1");
    MFEdit1->SetAlignment(taCenter);
    MFEdit1->setMinimumWidth(20);
    MFEdit1->hide();
    MFNumEdit1 = Named(new TMFNumEdit(SheetPhonebook), "MFNumEdit1");
    MFNumEdit1->SetMaxValue(1000);
    MFNumEdit1->SetPrecision(0);
    MFNumEdit1->SetIncrement(1);
    MFNumEdit1->SetEditorEnabled(true);
    MFNumEdit1->SetTrackBarEnabled(false);
    MFNumEdit1->hide();
    VSTEditor1 = Named(new TVSTEditor(VTPhonebook), "VSTEditor1");
    VSTEditor1->SetEditor(MFEdit1);
    VSTEditor1->SetNumEditor(MFNumEdit1);
    VTPhonebook->setItemDelegate(VSTEditor1);

    CheckPhonebookActive =
        Named(new QCheckBox(Cz("Na\xE8\xEDst telefonn\xED seznamy"), SheetPhonebook), "CheckPhonebookActive");
    static_cast<QCheckBox*>(CheckPhonebookActive)->setChecked(true);
    BtnReadPBFromFile = Named(new QPushButton(Cz("Na\xE8\xEDst"), SheetPhonebook), "BtnReadPBFromFile");
    BtnWritePBToFile = Named(new QPushButton(Cz("Zapsat"), SheetPhonebook), "BtnWritePBToFile");
    RGroupPBStorage = Named(new TRadioGroup(Cz(" Pam\xEC\x9D "), SheetPhonebook), "RGroupPBStorage");
    RGroupPBStorage->SetItems({"SM", "FD", "LD", "MC", "RC", "ON", "ME"});

    auto* side = new QVBoxLayout;
    side->setSpacing(6);
    side->addWidget(CheckPhonebookActive);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnReadPBFromFile);
    buttons->addWidget(BtnWritePBToFile);
    buttons->addStretch(1);
    side->addLayout(buttons);
    side->addStretch(1);
    side->addWidget(RGroupPBStorage);
    page->addWidget(TabsPBStorages, 1);
    page->addLayout(side);

    // Cells: colours of rows waiting to be written, state pictures.
    VSTEditor1->OnInitStyleOption = [this](QStyleOptionViewItem& option, const QModelIndex& index) {
        const VTixPhoneBook* model = VTPhonebookModel->phonebook();
        if (!model)
            return;
        const bool selected = option.state & QStyle::State_Selected;
        const TColor back = model->treeBeforeItemErase(index.row(), selected);
        if (back != clNone)
            option.backgroundBrush = Platform::ToQColor(back);
        const TColor text = model->treePaintText(index.row(), selected, VTPhonebook->hasFocus());
        if (text != clNone) {
            option.palette.setColor(QPalette::Text, Platform::ToQColor(text));
            option.palette.setColor(QPalette::HighlightedText, Platform::ToQColor(text));
        }
        const int image = index.data(VTixPhoneBookItemModel::StateImageRole).toInt();
        const QImage picture = ImagesPhonebookStates->Image(image);
        if (!picture.isNull()) {
            option.icon = QIcon(QPixmap::fromImage(picture));
            option.decorationSize = picture.size();
            option.features |= QStyleOptionViewItem::HasDecoration;
        }
    };
    VSTEditor1->OnCreateEditor = [this](TVSTEditor* sender, const QModelIndex& index, TVSTEditorLinkPtr& link) {
        const VTixPhoneBook* model = VTPhonebookModel->phonebook();
        if (!model)
            return;
        const VTixPhoneBook::TTreeEditor editor = model->treeCreateEditor(index.row(), index.column());
        if (editor.kind == VTixPhoneBook::TTreeEditor::ekNumber) {
            MFNumEdit1->SetMinValue(editor.minValue);
            MFNumEdit1->SetMaxValue(editor.maxValue);
            sender->LinkNumEditor(link, editor.startValue);
            // Enter on the offered position takes it.
            link->SetModified(editor.offered);
        } else if (editor.kind == VTixPhoneBook::TTreeEditor::ekText) {
            MFEdit1->SetMaxLength(editor.maxLength);
            // A number the model did not take comes back as it was typed.
            const bool again = pbRefusedCell == index;
            sender->LinkEditor(link, again ? pbRefusedText : editor.startText);
            link->SetModified(again);
        }
        pbRefusedCell = QPersistentModelIndex();
    };
    connect(VSTEditor1, &QAbstractItemDelegate::closeEditor, this, [this] { phonebookEditorClosed(); });
    connect(VTPhonebookModel, &VTixPhoneBookItemModel::newTextTaken, this, [this] {
        // Not when the edit ended because another control took the focus:
        // the user went there.
        if (QWidget* focus = QApplication::focusWidget(); focus && !withinPhonebookTree(focus))
            return;
        if (VTPhonebook->isVisible() && VTPhonebook->focusPolicy() != Qt::NoFocus)
            VTPhonebook->setFocus();
    });
    // Told while the editor closes: the message and the new edit follow
    // once it has closed.
    connect(VTPhonebookModel, &VTixPhoneBookItemModel::newTextRefused, this,
            [this](int row, int column, const QString& typed, const QString& message) {
                const QPersistentModelIndex cell(VTPhonebookModel->index(row, column));
                QMetaObject::invokeMethod(
                    this, [this, cell, typed, message] { phonebookTextRefused(cell, typed, message); },
                    Qt::QueuedConnection);
            });
    connect(VTPhonebook->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (VTixPhoneBook* model = VTPhonebookModel->phonebook())
                    model->treeFocusChanging(previous.isValid() ? previous.row() : -1,
                                             current.isValid() ? current.row() : -1);
            });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* old, QWidget* now) { phonebookFocusChanged(old, now); });
    VTPhonebook->installEventFilter(new TPhonebookTreeKeys(this));

    TabsPBStorages->SetOnChange([this](QObject*) { TabsPBStoragesChange(); });
    RGroupPBStorage->SetOnClick([this](QObject*) { RGroupPBStorageClick(); });
    connect(BtnReadPBFromFile, &QPushButton::clicked, this, [this] { BtnReadPBFromFileClick(); });
    connect(BtnWritePBToFile, &QPushButton::clicked, this, [this] { BtnWritePBToFileClick(); });
    RunImportDialog = [](TFormImportPB& dialog) { return dialog.exec() == QDialog::Accepted; };
}

void TFormMain::bindPhonebookPage()
{
    if (!uniset)
        return;
    VTixPhoneBook& model = uniset->getHandlers().phonebook().getPhonebook();
    model.setEditorAttached(true);
    VTPhonebookModel->setPhonebook(&model);
}

// ---- The handler's window operations ---------------------------------------------

void TFormMain::setPBStorageItems(const std::vector<std::string>& Items)
{
    QStringList items;
    for (const std::string& item : Items)
        items << ToQString(item);
    RGroupPBStorage->SetItems(items);
}

int TFormMain::pbStorageItemIndex()
{
    return RGroupPBStorage->ItemIndex();
}

void TFormMain::setPBStorageItemIndex(int Index)
{
    RGroupPBStorage->SetItemIndex(Index);
}

void TFormMain::setPBStorageTabs(const std::vector<std::string>& Names)
{
    TabsPBStorages->SetTabTexts(Names);
}

void TFormMain::TabsPBStoragesChange()
{
    const int tab = TabsPBStorages->TabIndex();
    if (!uniset || tab < 0)
        return;
    VPerifPhonebook& handler = uniset->getHandlers().phonebook();
    const std::string name = TabsPBStorages->TabText(tab);
    // Another memory takes the rows: the open edit is written back and its
    // row left first, or the new rows would drop what was typed.
    if (handler.getPhonebook().displayedStorageName() != name)
        leavePhonebookEdit();
    handler.setDisplayedStorage(name);
}

void TFormMain::leavePhonebookEdit()
{
    VTixPhoneBook* model = VTPhonebookModel ? VTPhonebookModel->phonebook() : nullptr;
    if (!model)
        return;
    VSTEditor1->EndEditing();
    const QModelIndex current = VTPhonebook->currentIndex();
    model->treeExit(current.isValid() ? current.row() : -1);
}

void TFormMain::phonebookTextRefused(const QPersistentModelIndex& cell, const QString& typed,
                                     const QString& message)
{
    messageBox2(FromQString(message), MB_ICONEXCLAMATION);
    // The text comes back into its cell to be put right.
    if (!cell.isValid() || !VTPhonebook->isVisible())
        return;
    pbRefusedCell = cell;
    pbRefusedText = FromQString(typed);
    VTPhonebook->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
    VTPhonebook->edit(cell);
    pbRefusedCell = QPersistentModelIndex();
}

void TFormMain::refreshPhonebookTexts()
{
    if (!uniset)
        return;
    VPerifPhonebook& handler = uniset->getHandlers().phonebook();
    handler.layoutStorageTabs(handler.getPhonebook());
}

void TFormMain::RGroupPBStorageClick()
{
    const int item = RGroupPBStorage->ItemIndex();
    if (!uniset || item < 0)
        return;
    uniset->getHandlers().phonebook().setWantedStorage(FromQString(RGroupPBStorage->Items()[item]));
}

// ---- The tree -----------------------------------------------------------------------

bool TFormMain::phonebookTreeKey(QKeyEvent* event)
{
    VTixPhoneBook* model = VTPhonebookModel->phonebook();
    // Keys of the cell editor reach the tree too when the editor leaves
    // them: they are the editor's.
    if (!model || QApplication::focusWidget() != VTPhonebook)
        return false;
    const int key = KeyCode(event->key());
    const int shift = ShiftState(event->modifiers());
    if (event->type() == QEvent::KeyPress) {
        // The keys used on release do nothing on their press (the tree's
        // own copy of the current cell included).
        const bool ctrlAlone = shift == VTixPhoneBook::ssCtrl;
        return (key == VTixPhoneBook::vkC && ctrlAlone) || key == VTixPhoneBook::vkInsert ||
               key == VTixPhoneBook::vkDelete;
    }
    // A held key repeats its press only; its release counts once.
    if (event->isAutoRepeat())
        return true;
    QItemSelectionModel* selection = VTPhonebook->selectionModel();
    const QModelIndex current = VTPhonebook->currentIndex();
    const VTixPhoneBook::TTreeKeyAction action =
        model->treeKeyUp(key, shift, SelectedRows(*VTPhonebook), current.isValid() ? current.row() : -1);
    for (int row : action.deselect)
        selection->select(VTPhonebookModel->index(row, 0),
                          QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    if (action.clearFocus)
        selection->clearCurrentIndex();
    if (action.focusRow >= 0) {
        const QModelIndex target = VTPhonebookModel->index(action.focusRow, action.editColumn);
        selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        VTPhonebook->scrollTo(target);
        VTPhonebook->edit(target);
    }
    if (action.copy)
        QGuiApplication::clipboard()->setText(ToQString(action.clipboard));
    return action.consumed;
}

void TFormMain::phonebookFocusChanged(QWidget* old, QWidget* now)
{
    // Leaving the tree for another control of the window commits the
    // focused row (its own cell editor is no leaving; another window is
    // none either).
    VTixPhoneBook* model = VTPhonebookModel ? VTPhonebookModel->phonebook() : nullptr;
    if (!model || !withinPhonebookTree(old) || !now || withinPhonebookTree(now) || now->window() != window())
        return;
    const QModelIndex current = VTPhonebook->currentIndex();
    model->treeExit(current.isValid() ? current.row() : -1);
}

bool TFormMain::withinPhonebookTree(const QWidget* widget) const
{
    // A cell editor that lost the focus is back on its page by the time
    // the focus change is told.
    return Within(widget, VTPhonebook) || Within(widget, MFEdit1) || Within(widget, MFNumEdit1);
}

void TFormMain::phonebookEditorClosed()
{
    VTixPhoneBook* model = VTPhonebookModel->phonebook();
    if (!model)
        return;
    const int row = model->treeEdited();
    if (row < 0)
        return;
    const QModelIndex target = VTPhonebookModel->index(row, 0);
    VTPhonebook->selectionModel()->setCurrentIndex(target,
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    VTPhonebook->scrollTo(target);
}

// ---- The phonebook file ---------------------------------------------------------------

bool TFormMain::choosePhonebookFile(TFileDialogSetup& dialog, std::string& name)
{
    if (!uniset || !RunFileDialog(dialog, name))
        return false;
    name = WithPhonebookExtension(name);
    return true;
}

void TFormMain::BtnReadPBFromFileClick()
{
    std::string name;
    if (!choosePhonebookFile(OpenDialogPB, name))
        return;
    VTixPhoneBook& model = uniset->getHandlers().phonebook().getPhonebook();
    TFormImportPB dialog(this, [this](const std::string& section, const std::string& key, const std::string& def) {
        return getLangText(section, key, def, -1);
    });
    VTixLanguage1->UpdateAllTexts(&dialog);
    std::string message = model.loadFromFile(name, false, false, dialog.StoragesInFile, false);
    if (!message.empty()) {
        messageBox2(message, MB_ICONERROR);
        return;
    }
    if (dialog.StoragesInFile.empty()) {
        messageBox2(text("NoStoragesToLoad",
                         "Zadan\xFD soubor obsahuje pouze pam\xECti, kter\xE9 p\xF8ipojen\xE9 za\xF8\xEDzen\xED "
                         "nepodporuje"),
                    MB_ICONEXCLAMATION);
        return;
    }
    if (!RunImportDialog(dialog))
        return;
    message = model.loadFromFile(name, dialog.CheckDeleteOld->isChecked(), dialog.CheckPreservePositions->isChecked(),
                                 dialog.SelectedStorages, true);
    if (!message.empty()) {
        messageBox2(message, MB_ICONERROR);
        return;
    }
    setPhonebookFileName(name);
}

void TFormMain::BtnWritePBToFileClick()
{
    std::string name;
    if (!choosePhonebookFile(SaveDialogPB, name))
        return;
    const std::string message =
        uniset->getHandlers().phonebook().getPhonebook().saveToFile(name, SelectedRows(*VTPhonebook));
    if (!message.empty()) {
        messageBox2(message, MB_ICONERROR);
        return;
    }
    setPhonebookFileName(name);
}
