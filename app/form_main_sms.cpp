// The SMS page: the messages of the SMS list, the focused message's text,
// number and validity, and the buttons that compose a message, hand the
// selected messages to the SMS handler to be stored or sent, or delete
// them. The page keeps no message data: the edits are copied from the
// focused record and back into it.
#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>

#include "app/app_info.h"
#include "app/form_helpers.h"
#include "app/form_main.h"
#include "app/sms_memo.h"
#include "app/sms_state_delegate.h"
#include "engine/perif_smss.h"
#include "engine/uniset.h"
#include "foundation/tixutils_format.h"
#include "foundation/tixutils_gsm.h"
#include "platform/qt/qt_text.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"
#include "widgets/image_list.h"
#include "widgets/widget_pictures.h"

using FormHelpers::Button;
using FormHelpers::Cz;
using FormHelpers::Label;
using FormHelpers::Named;
using FormHelpers::SetTextColor;
using Platform::FromQString;
using Platform::ToQString;

namespace {

bool Sendable(const VTixSMSRecord* sms)
{
    const VTixSMS_textSMSstates s = sms->GetState();
    return s == VTixSMS_stateSIMUnsent || s == VTixSMS_stateSendFailed || s == VTixSMS_stateSIMSent;
}

bool Deletable(const VTixSMSRecord* sms)
{
    const VTixSMS_textSMSstates s = sms->GetState();
    return s != VTixSMS_stateBeingSent && s != VTixSMS_state_Deleting;
}

// The record keeps this word for the page: 1 marks a message of the
// device that the page changed.
constexpr uint32_t EditedMark = 1;

// The delete picture of the list's menu: a red cross.
QIcon DeletePicture()
{
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
    p.end();
    return QIcon(QPixmap::fromImage(picture));
}

void SetLineText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}

}  // namespace

// Keys of the page's controls: Return clicks the default button (a main
// window has no dialog default of its own), Del in the list deletes.
class TSMSPageKeys : public QObject {
public:
    explicit TSMSPageKeys(TFormMain* form) : QObject(form), FForm(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            return FForm->smsPageKey(watched, static_cast<QKeyEvent*>(event));
        // The text column takes what the view's width leaves: again at
        // every resize, and when a view first shown has columns waiting.
        // (The events come to a window being destroyed too: its members
        // are looked at only for these two.)
        const QEvent::Type type = event->type();
        if ((type == QEvent::Resize || type == QEvent::Show) && watched == FForm->ListSMSs &&
            (type == QEvent::Resize || FForm->smsColumnsPending))
            FForm->applySMSColumns();
        return false;
    }

private:
    TFormMain* FForm;
};

void TFormMain::buildSMSPage()
{
    ImageListSMSStates = Widgets::MakeSMSStateImageList();
    auto* page = new QVBoxLayout(SheetSMS);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(6);

    ListSMSs = Named(new QTreeView(SheetSMS), "ListSMSs");
    ListSMSs->setRootIsDecorated(false);
    ListSMSs->setItemsExpandable(false);
    ListSMSs->setUniformRowHeights(true);
    ListSMSs->setAllColumnsShowFocus(true);
    ListSMSs->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListSMSs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListSMSs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListSMSs->setIconSize(QSize(16, 16));
    ListSMSs->header()->setStretchLastSection(false);
    ListSMSs->header()->setSectionsMovable(false);
    // The selection looks the same with and without focus.
    QPalette palette = ListSMSs->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    ListSMSs->setPalette(palette);
    ListSMSs->setItemDelegate(new TSMSStateDelegate(*ImageListSMSStates, ListSMSs));
    // Told before the view's selection model, which moves the current row
    // off rows that go.
    connect(SMSListModel.get(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                smsRowsLeavingFirst = first;
                smsRowsLeavingLast = last;
            });
    connect(SMSListModel.get(), &QAbstractItemModel::rowsRemoved, this, [this] {
        smsRowsLeavingFirst = smsRowsLeavingLast = -1;
        refreshSMSPage();
    });
    ListSMSs->setModel(SMSListModel.get());
    connect(SMSListModel.get(), &VTixSMSListModel::columnsChanged, this, [this] {
        smsColumnsPending = true;
        applySMSColumns();
    });

    PopupListSMS = Named(new QMenu(ListSMSs), "PopupListSMS");
    ItemSMSDelete = Named(PopupListSMS->addAction(DeletePicture(), Cz("Smazat")), "ItemSMSDelete");
    ItemSMSDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    ItemSMSDelete->setShortcutContext(Qt::WidgetShortcut);
    ListSMSs->setContextMenuPolicy(Qt::CustomContextMenu);
    page->addWidget(ListSMSs, 1);

    auto* fields = new QHBoxLayout;
    fields->setSpacing(6);
    EditSMStel = Named(new QLineEdit(SheetSMS), "EditSMStel");
    EditSMStel->setMinimumWidth(120);
    LabelSMSnumber = Label(SheetSMS, "LabelSMSnumber", "Telefonn\xED \xE8\xEDslo:", EditSMStel);
    EditSMSValidity = Named(new QLineEdit(SheetSMS), "EditSMSValidity");
    EditSMSValidity->setMinimumWidth(60);
    EditSMSValidity->setMaximumWidth(120);
    LabelSMSValid = Label(SheetSMS, "LabelSMSValid", "Doba platnosti:", EditSMSValidity);
    fields->addWidget(LabelSMSnumber);
    fields->addWidget(EditSMStel, 2);
    fields->addSpacing(8);
    fields->addWidget(LabelSMSValid);
    fields->addWidget(EditSMSValidity, 1);
    page->addLayout(fields);

    auto* lower = new QHBoxLayout;
    lower->setSpacing(8);
    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    auto* captions = new QHBoxLayout;
    captions->setSpacing(0);
    MemoSMS = Named(new TSMSMemo(SheetSMS), "MemoSMS");
    MemoSMS->setFont(QFont(QStringLiteral("Arial"), MemoSMS->font().pointSize()));
    MemoSMS->SetMaxLength(160);
    MemoSMS->setMinimumHeight(80);
    LabelSMSText = Label(SheetSMS, "LabelSMSText", "Text:", MemoSMS);
    LabelSMSLen = Label(SheetSMS, "LabelSMSLen", "D\xE9lka:  ");
    LabelSMSTextLen = Label(SheetSMS, "LabelSMSTextLen", "0");
    LabelSMSCaptState = Label(SheetSMS, "LabelSMSCaptState", "Stav:  ");
    LabelSMSState = Label(SheetSMS, "LabelSMSState", "Nen\xED odesl\xE1na");
    for (QLabel* l : {LabelSMSTextLen, LabelSMSState})
        l->setTextFormat(Qt::PlainText);
    captions->addWidget(LabelSMSText);
    captions->addStretch(1);
    captions->addWidget(LabelSMSLen);
    captions->addWidget(LabelSMSTextLen);
    captions->addSpacing(16);
    captions->addWidget(LabelSMSCaptState);
    captions->addWidget(LabelSMSState);
    text->addLayout(captions);
    text->addWidget(MemoSMS, 1);
    lower->addLayout(text, 1);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    BtnSMSNew = Button(SheetSMS, "BtnSMSNew", "Nov\xE1");
    BtnSMSWrite = Button(SheetSMS, "BtnSMSWrite", "Ulo\x9Eit");
    BtnSMSSend = Button(SheetSMS, "BtnSMSSend", "Odeslat");
    BtnSMSDel = Button(SheetSMS, "BtnSMSDel", "Smazat");
    BtnSMSSend->setDefault(true);
    for (QPushButton* b : {BtnSMSWrite, BtnSMSSend, BtnSMSDel})
        b->setEnabled(false);
    for (QPushButton* b : {BtnSMSNew, BtnSMSWrite, BtnSMSSend, BtnSMSDel})
        buttons->addWidget(b);
    buttons->addStretch(1);
    CheckBox1 = Named(new QCheckBox(Cz("Zak\xF3" "dovat 8-bitov\xEC"), SheetSMS), "CheckBox1");
    CheckBox2 = Named(new QCheckBox(Cz("Pouze na displej"), SheetSMS), "CheckBox2");
    CheckBox3 = Named(new QCheckBox(Cz("Potvrdit p\xF8\xEDjem"), SheetSMS), "CheckBox3");
    for (QCheckBox* c : {CheckBox1, CheckBox2, CheckBox3}) {
        c->setVisible(false);
        c->setEnabled(false);
        buttons->addWidget(c);
    }
    lower->addLayout(buttons);
    page->addLayout(lower, 1);

    // Events.
    connect(ListSMSs->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                ListSMSsCurrentChanged(current, previous);
            });
    connect(ListSMSs->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        // With a new current row its change follows and refreshes, after
        // the edits went into the message left.
        if (focusedSMS() == smsCurrent)
            refreshSMSPage();
    });
    connect(ListSMSs, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupListSMS->popup(ListSMSs->viewport()->mapToGlobal(pos)); });
    connect(ItemSMSDelete, &QAction::triggered, this, [this] { ItemSMSDeleteClick(); });
    connect(BtnSMSNew, &QPushButton::clicked, this, [this] { BtnSMSNewClick(); });
    connect(BtnSMSWrite, &QPushButton::clicked, this, [this] { BtnSMSWriteClick(); });
    connect(BtnSMSSend, &QPushButton::clicked, this, [this] { BtnSMSSendClick(); });
    connect(BtnSMSDel, &QPushButton::clicked, this, [this] { BtnSMSDelClick(); });
    connect(MemoSMS, &TSMSMemo::memoChanged, this, [this] { MemoSMSChange(); });
    auto* keys = new TSMSPageKeys(this);
    for (QObject* o : {static_cast<QObject*>(ListSMSs), static_cast<QObject*>(EditSMStel),
                       static_cast<QObject*>(EditSMSValidity)})
        o->installEventFilter(keys);
    VSMSList1->OnMessageStateChange = [this](VTixSMSList* list, VTixSMSRecord* sms) {
        VSMSList1MessageStateChange(list, sms);
    };
}

// ---- The list ------------------------------------------------------------------

void TFormMain::applySMSColumns()
{
    // A widget not shown yet has no real width: the columns wait for it.
    if (!ListSMSs || !ListSMSs->isVisible()) {
        smsColumnsPending = true;
        return;
    }
    smsColumnsPending = false;
    for (int c = 0; c < SMSListModel->columnCount(); ++c)
        ListSMSs->setColumnWidth(c, SMSListModel->columnWidth(c, ListSMSs->width()));
}

VTixSMSRecord* TFormMain::focusedSMS() const
{
    const QModelIndex current = ListSMSs ? ListSMSs->currentIndex() : QModelIndex();
    return current.isValid() ? SMSListModel->getMessageByListItem(current.row()) : nullptr;
}

std::vector<VTixSMSRecord*> TFormMain::selectedSMSs() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : ListSMSs->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<VTixSMSRecord*> records;
    for (const int row : rows)
        if (VTixSMSRecord* sms = SMSListModel->getMessageByListItem(row))
            records.push_back(sms);
    return records;
}

void TFormMain::ListSMSsCurrentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Leaving a message stores the edits into it (a row on its way out
    // takes nothing).
    const bool leaving = previous.isValid() && previous.row() >= smsRowsLeavingFirst &&
                         previous.row() <= smsRowsLeavingLast;
    if (previous.isValid() && !leaving)
        if (VTixSMSRecord* sms = SMSListModel->getMessageByListItem(previous.row()))
            storeSMSEdits(sms);
    smsCurrent = current.isValid() ? SMSListModel->getMessageByListItem(current.row()) : nullptr;
    if (!smsCurrent) {
        MemoSMS->SetMemoText(QString());
        EditSMStel->clear();
        EditSMSValidity->clear();
    }
    refreshSMSPage();
}

bool TFormMain::smsPageKey(QObject* watched, QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        QPushButton* button = BtnSMSSend->isDefault() ? BtnSMSSend : BtnSMSNew;
        if (button->isEnabled())
            button->click();
        return true;
    }
    if (key == Qt::Key_Delete && watched == ListSMSs && event->modifiers() == Qt::NoModifier) {
        if (ItemSMSDelete->isEnabled())
            ItemSMSDelete->trigger();
        return true;
    }
    return false;
}

// ---- Refresh and edits ---------------------------------------------------------

void TFormMain::refreshSMSPage()
{
    if (!ListSMSs)
        return;
    VTixSMSRecord* sms = focusedSMS();
    ItemSMSDelete->setEnabled(sms && Deletable(sms));
    if (!sms) {
        MemoSMS->setReadOnly(true);
        EditSMStel->setReadOnly(true);
        EditSMSValidity->setReadOnly(true);
        LabelSMSState->clear();
        smsShown = nullptr;
    } else {
        const bool sendable = Sendable(sms);
        EditSMSValidity->setReadOnly(!sendable);
        const bool editable = sendable && !sms->IsReadOnly();
        MemoSMS->setReadOnly(!editable);
        EditSMStel->setReadOnly(!editable);
        MemoSMS->SetMemoText(ToQString(smsTextToMemo(sms->GetText())));
        // The number and validity shown: the record's, unless the user
        // typed over them and the record did not change since.
        const std::string phone = sms->GetUserPhone();
        const std::string validity = sms->GetValidityText();
        if (sms != smsShown || phone != smsShownPhone)
            SetLineText(EditSMStel, ToQString(phone));
        if (sms != smsShown || validity != smsShownValidity)
            SetLineText(EditSMSValidity, ToQString(validity));
        smsShown = sms;
        smsShownPhone = phone;
        smsShownValidity = validity;
        const QColor color = sms->GetWindowTag() == EditedMark ? QColor(0, 0, 255) : QColor(0, 0, 0);
        for (QWidget* w : {static_cast<QWidget*>(MemoSMS), static_cast<QWidget*>(EditSMStel),
                           static_cast<QWidget*>(EditSMSValidity)})
            SetTextColor(w, color);
        const QString state = ToQString(VSMSList1->GetStateText(sms->GetState()));
        if (LabelSMSState->text() != state)
            LabelSMSState->setText(state);
    }

    const std::vector<VTixSMSRecord*> selected = selectedSMSs();
    bool deletableAll = !ListSMSs->selectionModel()->selectedRows().isEmpty();
    bool sendableAll = deletableAll;
    for (const VTixSMSRecord* s : selected) {
        deletableAll = deletableAll && Deletable(s);
        sendableAll = sendableAll && Sendable(s);
    }
    BtnSMSDel->setEnabled(deletableAll);
    BtnSMSWrite->setEnabled(sendableAll);
    BtnSMSSend->setEnabled(sendableAll);
    BtnSMSNew->setDefault(!sendableAll);
    BtnSMSSend->setDefault(sendableAll);
}

void TFormMain::storeSMSEdits(VTixSMSRecord* sms)
{
    if (!sms)
        return;
    sms->SetText(memoTextToSms(FromQString(MemoSMS->MemoText())));
    sms->SetUserPhone(FromQString(EditSMStel->text()));
    sms->SetValidityText(FromQString(EditSMSValidity->text()));
    if (sms->GetFieldsChanged() && sms->GetStorage() != VTixSMSList::ProgramStorage)
        sms->SetWindowTag(EditedMark);
}

void TFormMain::MemoSMSChange()
{
    VTixSMSRecord* sms = focusedSMS();
    if (!sms)
        return;
    sms->SetText(memoTextToSms(FromQString(MemoSMS->MemoText())));
    // In septets for 7-bit data: a character of the extension table takes
    // two (the escape and its code).
    const QString length = QString::number(VTixSMSRecord::RoomTaken(sms->GetEncoding(), sms->GetText()));
    if (LabelSMSTextLen->text() != length)
        LabelSMSTextLen->setText(length);
}

void TFormMain::VSMSList1MessageStateChange(VTixSMSList*, VTixSMSRecord*)
{
    refreshSMSPage();
}

// ---- Buttons ----------------------------------------------------------------------

void TFormMain::BtnSMSNewClick()
{
    VTixSMSRecord* sms = VSMSList1->smsDoesExist(VTixSMSList::ProgramStorage, 0);
    if (!sms)
        return;
    sms->SetState(VTixSMS_stateSIMUnsent);
    sms->SetMessageType(VTixSMS_smsTypeSUBMIT);
    sms->SetValidityText("3d");
    const int row = SMSListModel->rowOf(sms);
    QItemSelectionModel* selection = ListSMSs->selectionModel();
    selection->clearSelection();
    if (row >= 0) {
        const QModelIndex index = SMSListModel->index(row, 0);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        ListSMSs->scrollTo(index);
    }
    MemoSMS->SetMemoText(QString());
    EditSMStel->clear();
    EditSMSValidity->clear();
    smsShown = nullptr;
    refreshSMSPage();
}

bool TFormMain::checkSMSNumber(VTixSMSRecord* sms, std::string& number)
{
    // The focused message's number is the one in the field.
    const bool focused = sms == focusedSMS();
    number = focused ? FromQString(EditSMStel->text()) : sms->GetUserPhone();
    if (!number.empty()) {
        // A number with anything but digits would go to another one: its
        // letters have no semi-octet of their own.
        std::string digits;
        int type = 0;
        if (Tixutils::GsmPhone2NumberType(number, digits, type) && Tixutils::GsmIsDialNumber(digits))
            return false;
        const std::string bad = text("SMSBadPhone", "Na \xE8\xEDslo \"%1\" nelze poslat zpr\xE1vu: sm\xED obsahovat "
                                                    "jen \xE8\xEDslice, * a #, na za\xE8\xE1tku +.");
        messageBox2(Tixutils::SafePrintf(bad, {number}), int(MB_OK | MB_ICONEXCLAMATION));
        return true;
    }
    const std::string noPhone = text("SMSNoPhone", "\xC8\xEDslo nebylo vlo\x9E" "eno.");
    if (lastSMSNumber.empty()) {
        messageBox2(noPhone, int(MB_OK));
        return true;
    }
    const std::string question =
        noPhone + " " + text("SMSNoPhoneQuery", "Odeslat na") + " " + lastSMSNumber + " ?";
    if (messageBox2(question, int(MB_YESNO)) != IDYES)
        return true;
    // The offered number goes into the message itself, so that it does
    // not leave without one.
    number = lastSMSNumber;
    sms->SetUserPhone(number);
    if (focused)
        EditSMStel->setText(ToQString(number));
    if (sms->GetFieldsChanged() && sms->GetStorage() != VTixSMSList::ProgramStorage)
        sms->SetWindowTag(EditedMark);
    return false;
}

void TFormMain::BtnSMSWriteClick()
{
    for (VTixSMSRecord* sms : selectedSMSs()) {
        if (!Sendable(sms))
            break;
        std::string number;
        if (checkSMSNumber(sms, number))
            break;
        lastSMSNumber = number;
        // The edits are the focused message's only; other selected
        // messages keep their own.
        if (sms == focusedSMS())
            storeSMSEdits(sms);
        if (uniset)
            uniset->getHandlers().smss().wantWrite(sms);
    }
}

void TFormMain::BtnSMSSendClick()
{
    storeSMSEdits(focusedSMS());
    for (VTixSMSRecord* sms : selectedSMSs()) {
        if (!Sendable(sms))
            continue;
        std::string number;
        if (checkSMSNumber(sms, number))
            break;
        lastSMSNumber = number;
        if (uniset)
            uniset->getHandlers().smss().wantSendWrite(sms, true);
    }
}

void TFormMain::BtnSMSDelClick()
{
    // Taken first: rows leave the list during the walk.
    const std::vector<VTixSMSRecord*> selected = selectedSMSs();
    for (VTixSMSRecord* sms : selected) {
        // A record may have gone with one deleted before it.
        if (SMSListModel->rowOf(sms) < 0 || !Deletable(sms))
            continue;
        VSMSList1->wantDelete(sms);
    }
    refreshSMSPage();
}

void TFormMain::ItemSMSDeleteClick()
{
    BtnSMSDelClick();
}
