// The SMS page of the real window without a device (the SMS handler takes
// the first request and sends nothing): its controls, the buttons and the
// default button by the selection, new messages, the edits and the memo,
// the number check, Store, Send and Delete with their walks.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/sms_memo.h"
#include "app/sms_state_delegate.h"
#include "engine/perif_smss.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"
#include "tests/app/sms_page_fixture.h"
#include "tests/support/input_devices.h"
#include "translation/tixlanguage.h"
#include "widgets/image_list.h"

using namespace MainWindowTest;
using Platform::FromQString;
using TestSupport::KeyClick;
using TestSupport::KeyClicks;

TEST_F(SmsPage, ControlsAsDesignedAndTranslated)
{
    TFormMain& f = w();
    struct TText {
        QWidget* control;
        const char* name;
        const char* czech;
        const char* english;
    };
    const std::vector<TText> texts = {
        {f.LabelSMSLen, "LabelSMSLen", "Délka:  ", "Length:  "},
        {f.LabelSMSTextLen, "LabelSMSTextLen", "0", nullptr},
        {f.LabelSMSCaptState, "LabelSMSCaptState", "Stav:  ", "State:  "},
        {f.LabelSMSValid, "LabelSMSValid", "Doba platnosti:", "Validity Period:"},
        {f.LabelSMSnumber, "LabelSMSnumber", "Telefonní číslo:", "Phone Number:"},
        {f.LabelSMSText, "LabelSMSText", "Text:", "Text:"},
        {f.BtnSMSNew, "BtnSMSNew", "Nová", "New"},
        {f.BtnSMSWrite, "BtnSMSWrite", "Uložit", "Store"},
        {f.BtnSMSSend, "BtnSMSSend", "Odeslat", "Send"},
        {f.BtnSMSDel, "BtnSMSDel", "Smazat", "Delete"},
        {f.CheckBox1, "CheckBox1", "Zakódovat 8-bitově", "8-bit Encoding"},
        {f.CheckBox2, "CheckBox2", "Pouze na displej", "Only to a display"},
        {f.CheckBox3, "CheckBox3", "Potvrdit příjem", "Confirm receipt"},
    };
    auto textOf = [](QWidget* c) {
        if (auto* l = qobject_cast<QLabel*>(c))
            return FromQString(l->text());
        return FromQString(static_cast<QAbstractButton*>(c)->text());
    };
    for (const TText& t : texts) {
        ASSERT_NE(t.control, nullptr) << t.name;
        EXPECT_EQ(t.control->objectName().toStdString(), t.name);
        EXPECT_TRUE(f.SheetSMS->isAncestorOf(t.control)) << t.name;
        EXPECT_EQ(textOf(t.control), Cz(t.czech)) << t.name;
    }
    EXPECT_EQ(State(), Cz("Není odeslána"));
    EXPECT_EQ(f.ListSMSs->objectName(), "ListSMSs");
    EXPECT_EQ(f.MemoSMS->objectName(), "MemoSMS");
    EXPECT_EQ(f.EditSMStel->objectName(), "EditSMStel");
    EXPECT_EQ(f.EditSMSValidity->objectName(), "EditSMSValidity");
    EXPECT_EQ(f.PopupListSMS->objectName(), "PopupListSMS");
    EXPECT_EQ(f.ItemSMSDelete->objectName(), "ItemSMSDelete");
    EXPECT_TRUE(f.PopupListSMS->actions().contains(f.ItemSMSDelete));
    EXPECT_EQ(FromQString(f.ItemSMSDelete->text()), Cz("Smazat"));
    EXPECT_EQ(f.ItemSMSDelete->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_FALSE(f.ItemSMSDelete->icon().isNull());
    EXPECT_EQ(f.ListSMSs->contextMenuPolicy(), Qt::CustomContextMenu);

    // Start: Store, Send and Delete disabled, Send the design's default.
    EXPECT_TRUE(f.BtnSMSNew->isEnabled());
    EXPECT_EQ(Buttons(), "--- send");
    for (QCheckBox* c : {f.CheckBox1, f.CheckBox2, f.CheckBox3}) {
        EXPECT_FALSE(c->isVisibleTo(f.SheetSMS));
        EXPECT_FALSE(c->isEnabled());
    }
    EXPECT_EQ(f.MemoSMS->font().family(), "Arial");
    EXPECT_EQ(f.MemoSMS->MaxLength(), 160);

    // The list: rows whole, several selected, nothing edited, no root.
    EXPECT_EQ(f.ListSMSs->model(), &model());
    EXPECT_FALSE(f.ListSMSs->rootIsDecorated());
    EXPECT_TRUE(f.ListSMSs->allColumnsShowFocus());
    EXPECT_EQ(f.ListSMSs->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(f.ListSMSs->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(f.ListSMSs->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QPalette p = f.ListSMSs->palette();
    EXPECT_EQ(p.color(QPalette::Inactive, QPalette::Highlight), p.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(p.color(QPalette::Inactive, QPalette::HighlightedText),
              p.color(QPalette::Active, QPalette::HighlightedText));
    // Captions and widths from the list, with the view's real width.
    const int width = f.ListSMSs->width();
    ASSERT_GT(width, 300);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(f.ListSMSs->header()->sectionSize(c), list().GetColumnWidth(c, width)) << c;
    EXPECT_EQ(FromQString(model().headerData(1, Qt::Horizontal).toString()), Cz("Stav"));

    // The state's picture beside the place.
    VTixSMSRecord* sms = Received(1, VTixSMS_stateSIMRecvUnread);
    auto* delegate = dynamic_cast<TSMSStateDelegate*>(f.ListSMSs->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    for (VTixSMS_textSMSstates state : {VTixSMS_stateSIMRecvUnread, VTixSMS_stateSIMSent, VTixSMS_state_Deleting}) {
        sms->SetState(state);
        QStyleOptionViewItem option;
        delegate->initStyleOption(&option, Index(sms));
        ASSERT_FALSE(option.icon.isNull()) << int(state);
        EXPECT_EQ(option.icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
                  f.ImageListSMSStates->Image(state).convertToFormat(QImage::Format_ARGB32))
            << int(state);
        QStyleOptionViewItem text;
        delegate->initStyleOption(&text, model().index(Row(sms), 2));
        EXPECT_TRUE(text.icon.isNull());
    }

    // English: the texts, the state and the captions; the widths again.
    Focus(sms);
    sms->SetState(VTixSMS_stateSIMSent);
    f.VTixLanguage1->SetCurrLanguage("English");
    for (const TText& t : texts) {
        if (t.english) {
            EXPECT_EQ(textOf(t.control), t.english) << t.name;
        }
    }
    EXPECT_EQ(FromQString(f.ItemSMSDelete->text()), "Delete");
    EXPECT_EQ(State(), "Sent");
    EXPECT_EQ(FromQString(model().headerData(1, Qt::Horizontal).toString()), "State");
    f.VTixLanguage1->SetCurrLanguage("\xC8" "esky");
    EXPECT_EQ(State(), Cz("Odeslána"));
    EXPECT_EQ(textOf(f.BtnSMSSend), Cz("Odeslat"));
}

TEST_F(SmsPage, ButtonsAndDefaultFollowTheSelection)
{
    VTixSMSRecord* unsent = Device(1, VTixSMS_stateSIMUnsent, "draft");
    VTixSMSRecord* read = Received(2);
    VTixSMSRecord* sending = Device(3, VTixSMS_stateBeingSent, "going");
    VTixSMSRecord* failed = Device(4, VTixSMS_stateSendFailed, "again");
    // Nothing selected: New is the default.
    w().refreshSMSPage();
    EXPECT_EQ(Buttons(), "--- new");
    EXPECT_EQ(State(), "");
    EXPECT_TRUE(w().MemoSMS->isReadOnly());
    EXPECT_TRUE(w().EditSMStel->isReadOnly());
    EXPECT_TRUE(w().EditSMSValidity->isReadOnly());
    EXPECT_FALSE(w().ItemSMSDelete->isEnabled());

    struct TCase {
        const char* what;
        std::vector<VTixSMSRecord*> selected;  // the first is current
        const char* buttons;
        bool memoReadOnly, validityReadOnly, itemDelete;
        const char* state;
    };
    const std::vector<TCase> cases = {
        {"one unsent", {unsent}, "WSD send", false, false, true, "Neodeslaná"},
        {"one received", {read}, "--D new", true, true, true, "Přečtená"},
        {"unsent with one being sent", {unsent, sending}, "--- new", false, false, true, "Neodeslaná"},
        {"being sent focused", {sending}, "--- new", true, true, false, "Posílá se..."},
        {"unsent and failed", {failed, unsent}, "WSD send", false, false, true, "Chyba odeslání"},
        {"received with unsent", {unsent, read}, "--D new", false, false, true, "Neodeslaná"},
    };
    for (const TCase& c : cases) {
        Focus(c.selected[0]);
        for (size_t i = 1; i < c.selected.size(); ++i)
            AlsoSelect(c.selected[i]);
        EXPECT_EQ(Buttons(), c.buttons) << c.what;
        EXPECT_EQ(w().MemoSMS->isReadOnly(), c.memoReadOnly) << c.what;
        EXPECT_EQ(w().EditSMStel->isReadOnly(), c.memoReadOnly) << c.what;
        EXPECT_EQ(w().EditSMSValidity->isReadOnly(), c.validityReadOnly) << c.what;
        EXPECT_EQ(w().ItemSMSDelete->isEnabled(), c.itemDelete) << c.what;
        EXPECT_EQ(State(), Cz(c.state)) << c.what;
    }
    // The focused message's fields.
    Focus(read);
    EXPECT_EQ(Memo(), "hello");
    EXPECT_EQ(Tel(), "+420777123456");
    EXPECT_EQ(FromQString(w().LabelSMSTextLen->text()), "5");
    // A state change of any message refreshes: the one being sent is sent.
    Focus(unsent);
    AlsoSelect(sending);
    sending->SetState(VTixSMS_stateSIMSent);
    EXPECT_EQ(Buttons(), "WSD send");
    // A SIMSent message that is read-only by its type: number and memo
    // read-only, validity not.
    Focus(sending);
    EXPECT_EQ(State(), Cz("Odeslána"));
    EXPECT_FALSE(w().EditSMSValidity->isReadOnly());
}

TEST_F(SmsPage, NewMessageAndTypingInTheMemo)
{
    VTixSMSRecord* old = Received(1);
    Focus(old);
    w().BtnSMSNew->click();
    ASSERT_EQ(model().rowCount(), 2);
    VTixSMSRecord* fresh = list().getSMSByIndex("PC", 1);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(w().focusedSMS(), fresh);
    EXPECT_EQ(selection().selectedRows().size(), 1);
    EXPECT_TRUE(selection().isRowSelected(Row(fresh), QModelIndex()));
    EXPECT_EQ(Cell(1, 0), "1: PC");
    EXPECT_EQ(Cell(1, 1), Cz("Neodeslaná"));
    EXPECT_EQ(fresh->GetMessageType(), VTixSMS_smsTypeSUBMIT);
    EXPECT_EQ(Validity(), "3d");
    EXPECT_EQ(Memo(), "");
    EXPECT_EQ(Tel(), "");
    EXPECT_EQ(Buttons(), "WSD send");
    EXPECT_FALSE(w().MemoSMS->isReadOnly());

    // Three lines: each break counts once in the message, twice in the memo.
    w().MemoSMS->setFocus();
    KeyClicks(w().MemoSMS, "a");
    KeyClick(w().MemoSMS, Qt::Key_Return, Qt::NoModifier, "\r");
    KeyClicks(w().MemoSMS, "b");
    KeyClick(w().MemoSMS, Qt::Key_Return, Qt::NoModifier, "\r");
    KeyClicks(w().MemoSMS, "c");
    EXPECT_EQ(FromQString(w().LabelSMSTextLen->text()), "5");
    EXPECT_EQ(Memo(), "a\r\nb\r\nc");
    EXPECT_EQ(fresh->GetText(), "a\nb\nc");
    EXPECT_EQ(fresh->GetWindowTag(), 0u);
    // Return in the memo is no click of the default button.
    EXPECT_EQ(model().rowCount(), 2);
    EXPECT_EQ(smss().getMySMS(), nullptr);

    // 160 characters as the memo counts them: the 161st is refused.
    w().MemoSMS->SetMemoText(QString(158, QLatin1Char('x')));
    KeyClick(w().MemoSMS, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(w().MemoSMS->MemoLength(), 160);
    KeyClicks(w().MemoSMS, "y");
    EXPECT_EQ(w().MemoSMS->MemoLength(), 160);
    EXPECT_EQ(fresh->GetText().size(), 159u);
    EXPECT_EQ(FromQString(w().LabelSMSTextLen->text()), "159");
    // A paste of 200 is cut to 160.
    w().MemoSMS->SetMemoText(QString());
    QApplication::clipboard()->setText(QString(200, QLatin1Char('z')));
    w().MemoSMS->paste();
    EXPECT_EQ(w().MemoSMS->MemoLength(), 160);
    EXPECT_EQ(fresh->GetText(), std::string(160, 'z'));

    // A second New: the next program index, the first keeps its text.
    w().BtnSMSNew->click();
    EXPECT_EQ(Cell(2, 0), "2: PC");
    EXPECT_EQ(w().focusedSMS(), list().getSMSByIndex("PC", 2));
    EXPECT_EQ(fresh->GetText(), std::string(160, 'z'));
    EXPECT_EQ(Memo(), "");
    EXPECT_EQ(fresh->GetValidityText(), "3d");
}

TEST_F(SmsPage, EditedMarkAndTextsShownUnchanged)
{
    VTixSMSRecord* sm = Device(1, VTixSMS_stateSIMUnsent, "plain");
    VTixSMSRecord* breaks = Device(2, VTixSMS_stateSIMUnsent, "one\r\ntwo\rthree\nfour");
    w().BtnSMSNew->click();
    VTixSMSRecord* pc = w().focusedSMS();
    ASSERT_NE(pc, nullptr);

    // A message with CR LF, a lone CR and LF: shown and left unchanged, black.
    Focus(breaks);
    EXPECT_EQ(Memo(), "one\r\r\ntwo\rthree\r\nfour");
    EXPECT_EQ(FromQString(w().LabelSMSTextLen->text()), "19");
    Focus(sm);
    EXPECT_EQ(breaks->GetText(), "one\r\ntwo\rthree\nfour");
    EXPECT_FALSE(breaks->GetFieldsChanged());
    EXPECT_EQ(breaks->GetWindowTag(), 0u);
    Focus(breaks);
    EXPECT_TRUE(IsBlack(w().MemoSMS));
    EXPECT_TRUE(IsBlack(w().EditSMStel));

    // An SM message changed and stored: blue whenever focused again.
    Focus(sm);
    w().MemoSMS->selectAll();
    KeyClicks(w().MemoSMS, "new");
    EXPECT_EQ(sm->GetText(), "new");
    w().BtnSMSWrite->click();
    EXPECT_EQ(sm->GetWindowTag(), 1u);
    EXPECT_EQ(smss().getMySMS(), sm);
    EXPECT_EQ(sm->GetState(), VTixSMS_stateBeingStored);
    HandlerDone();
    sm->SetState(VTixSMS_stateSIMUnsent);
    Focus(breaks);
    EXPECT_TRUE(IsBlack(w().MemoSMS));
    Focus(sm);
    for (QWidget* e : {static_cast<QWidget*>(w().MemoSMS), static_cast<QWidget*>(w().EditSMStel),
                       static_cast<QWidget*>(w().EditSMSValidity)})
        EXPECT_TRUE(IsBlue(e)) << e->objectName().toStdString();
    // A number typed into an SM message and left marks it too.
    Focus(breaks);
    w().EditSMStel->setText("123");
    Focus(sm);
    EXPECT_EQ(breaks->GetUserPhone(), "123");
    EXPECT_EQ(breaks->GetWindowTag(), 1u);
    // A program message never.
    Focus(pc);
    w().MemoSMS->SetMemoText("pc text");
    w().EditSMStel->setText("+420602000000");
    Focus(sm);
    EXPECT_EQ(pc->GetText(), "pc text");
    EXPECT_EQ(pc->GetUserPhone(), "+420602000000");
    EXPECT_EQ(pc->GetWindowTag(), 0u);
    Focus(pc);
    EXPECT_TRUE(IsBlack(w().MemoSMS));

    // Ctrl+click: the current row moves, the old one stays selected and
    // still takes the edits.
    Focus(pc);
    w().EditSMSValidity->setText("2d");
    CtrlClick(sm);
    EXPECT_EQ(selection().selectedRows().size(), 2);
    EXPECT_EQ(pc->GetValidityText(), "2d");
    // A number being typed survives a refresh by another message's state.
    w().EditSMStel->setText("+42060");
    breaks->SetState(VTixSMS_stateSendFailed);
    EXPECT_EQ(Tel(), "+42060");
    // ... and the record's own change shows.
    sm->SetUserPhone("+420111");
    w().refreshSMSPage();
    EXPECT_EQ(Tel(), "+420111");
}

TEST_F(SmsPage, StoreAndSendWalks)
{
    VTixSMSRecord* read = Received(1);
    VTixSMSRecord* unsent = Device(2, VTixSMS_stateSIMUnsent, "second");
    // Store with a received message first stores nothing.
    Focus(read);
    AlsoSelect(unsent);
    w().BtnSMSWrite->setEnabled(true);  // the walk itself stops at the first
    w().BtnSMSWriteClick();
    EXPECT_EQ(smss().getMySMS(), nullptr);
    EXPECT_EQ(unsent->GetState(), VTixSMS_stateSIMUnsent);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(w().lastSMSNumber.empty());
    // Send with the same selection sends the second.
    w().BtnSMSSendClick();
    EXPECT_EQ(smss().getMySMS(), unsent);
    EXPECT_EQ(unsent->GetState(), VTixSMS_stateBeingSent);
    EXPECT_EQ(w().lastSMSNumber, "+420777123456");
    EXPECT_EQ(read->GetText(), "hello");
}

TEST_F(SmsPage, StoreKeepsEveryDraftsOwnEdits)
{
    w().BtnSMSNew->click();
    VTixSMSRecord* first = w().focusedSMS();
    w().MemoSMS->SetMemoText("first text");
    w().EditSMStel->setText("+420111111111");
    w().BtnSMSNew->click();
    VTixSMSRecord* second = w().focusedSMS();
    w().MemoSMS->SetMemoText("second text");
    w().EditSMStel->setText("+420222222222");
    w().EditSMSValidity->setText("1d");
    AlsoSelect(first);
    ASSERT_EQ(Buttons(), "WSD send");
    w().BtnSMSWrite->click();
    // Both handed over in list order (the handler takes the first); the
    // focused one's edits went into it alone.
    EXPECT_EQ(smss().getMySMS(), first);
    EXPECT_EQ(first->GetText(), "first text");
    EXPECT_EQ(first->GetUserPhone(), "+420111111111");
    EXPECT_EQ(first->GetValidityText(), "3d");
    EXPECT_EQ(second->GetText(), "second text");
    EXPECT_EQ(second->GetUserPhone(), "+420222222222");
    EXPECT_EQ(second->GetValidityText(), "1d");
    EXPECT_EQ(w().lastSMSNumber, "+420222222222");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SmsPage, NumberCheckAndTheOfferedNumber)
{
    // Right after start: no number, nothing to offer.
    w().BtnSMSNew->click();
    VTixSMSRecord* first = w().focusedSMS();
    w().MemoSMS->SetMemoText("no number");
    w().BtnSMSSend->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Cz("Číslo nebylo vloženo."));
    EXPECT_EQ(boxes[0].flags, MsgBox::MB_OK | MsgBox::MB_SETFOREGROUND);
    EXPECT_EQ(smss().getMySMS(), nullptr);
    EXPECT_EQ(first->GetState(), VTixSMS_stateSIMUnsent);

    // One sent to a number.
    w().EditSMStel->setText("+420603000001");
    w().BtnSMSSend->click();
    EXPECT_EQ(smss().getMySMS(), first);
    EXPECT_EQ(w().lastSMSNumber, "+420603000001");
    HandlerDone();

    // The next without a number: the question offers it; No sends nothing.
    w().BtnSMSNew->click();
    VTixSMSRecord* second = w().focusedSMS();
    answers = {MsgBox::IDNO};
    w().BtnSMSSend->click();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, Cz("Číslo nebylo vloženo. Odeslat na +420603000001 ?"));
    EXPECT_EQ(boxes[1].flags, MsgBox::MB_YESNO | MsgBox::MB_SETFOREGROUND);
    EXPECT_EQ(smss().getMySMS(), nullptr);
    EXPECT_EQ(Tel(), "");
    // Yes: the number is in the message before the handler takes it (its
    // taking makes the record BeingSent).
    std::string numberWhenTaken;
    const VSMSMessageStateChange page = list().OnMessageStateChange;
    list().OnMessageStateChange = [&](VTixSMSList* l, VTixSMSRecord* sms) {
        if (sms->GetState() == VTixSMS_stateBeingSent)
            numberWhenTaken = sms->GetUserPhone();
        page(l, sms);
    };
    answers = {MsgBox::IDYES};
    w().BtnSMSSend->click();
    list().OnMessageStateChange = page;
    EXPECT_EQ(numberWhenTaken, "+420603000001");
    EXPECT_EQ(smss().getMySMS(), second);
    EXPECT_EQ(second->GetUserPhone(), "+420603000001");
    EXPECT_EQ(Tel(), "+420603000001");
    HandlerDone();

    // A selected message that is not focused is checked by its own
    // number: with one it goes without a question.
    second->SetState(VTixSMS_stateSIMUnsent);
    w().BtnSMSNew->click();
    VTixSMSRecord* third = w().focusedSMS();
    w().EditSMStel->setText("+420999");
    AlsoSelect(second);
    const size_t before = boxes.size();
    w().BtnSMSSend->click();
    EXPECT_EQ(boxes.size(), before);
    EXPECT_EQ(smss().getMySMS(), second);
    EXPECT_EQ(second->GetUserPhone(), "+420603000001");
    EXPECT_EQ(w().lastSMSNumber, "+420999");
    EXPECT_EQ(third->GetUserPhone(), "+420999");
    HandlerDone();

    // A non-focused draft without a number gets the offered number itself
    // (the field keeps the focused one's).
    w().BtnSMSNew->click();
    VTixSMSRecord* fourth = w().focusedSMS();
    fourth->SetUserPhone("");
    third->SetState(VTixSMS_stateSIMUnsent);
    Focus(third);
    AlsoSelect(fourth);
    fourth->SetUserPhone("");
    answers = {MsgBox::IDYES};
    w().BtnSMSWrite->click();
    EXPECT_EQ(smss().getMySMS(), third);
    EXPECT_EQ(fourth->GetUserPhone(), "+420999");
    EXPECT_EQ(Tel(), "+420999");
    EXPECT_EQ(boxes.back().text, Cz("Číslo nebylo vloženo. Odeslat na +420999 ?"));
}

TEST_F(SmsPage, DeleteByButtonKeyAndMenu)
{
    w().BtnSMSNew->click();
    VTixSMSRecord* pc1 = w().focusedSMS();
    w().BtnSMSNew->click();
    VTixSMSRecord* pc2 = w().focusedSMS();
    VTixSMSRecord* sm = Received(3);
    VTixSMSRecord* keep = Received(4);
    ASSERT_EQ(model().rowCount(), 4);

    // One program row: gone at once.
    Focus(pc1);
    w().BtnSMSDel->click();
    EXPECT_EQ(model().rowCount(), 3);
    EXPECT_EQ(list().getSMSByIndex("PC", 1), nullptr);
    // An SM row: Deleting, in the list until the handler deletes it.
    Focus(sm);
    w().BtnSMSDel->click();
    EXPECT_EQ(sm->GetState(), VTixSMS_state_Deleting);
    EXPECT_EQ(Cell(Row(sm), 1), Cz("Maže se..."));
    EXPECT_EQ(Buttons(), "--- new");
    EXPECT_FALSE(w().ItemSMSDelete->isEnabled());

    // Two adjacent program rows and an SM row together, by Del in the list.
    sm->SetState(VTixSMS_stateSIMRecvRead);
    w().BtnSMSNew->click();
    VTixSMSRecord* pc3 = w().focusedSMS();
    w().BtnSMSNew->click();
    VTixSMSRecord* pc4 = w().focusedSMS();
    ASSERT_EQ(Row(pc4), Row(pc3) + 1);
    Focus(pc3);
    AlsoSelect(pc4);
    AlsoSelect(pc2);
    AlsoSelect(sm);
    w().ListSMSs->setFocus();
    KeyClick(w().ListSMSs, Qt::Key_Delete);
    EXPECT_EQ(Row(pc2), -1);
    EXPECT_EQ(Row(pc3), -1);
    EXPECT_EQ(Row(pc4), -1);
    EXPECT_EQ(model().rowCount(), 2);
    EXPECT_EQ(sm->GetState(), VTixSMS_state_Deleting);
    EXPECT_EQ(keep->GetState(), VTixSMS_stateSIMRecvRead);

    // The menu item alike.
    Focus(keep);
    EXPECT_TRUE(w().ItemSMSDelete->isEnabled());
    w().ItemSMSDelete->trigger();
    EXPECT_EQ(keep->GetState(), VTixSMS_state_Deleting);
    // Del with nothing deletable does nothing.
    KeyClick(w().ListSMSs, Qt::Key_Delete);
    EXPECT_EQ(model().rowCount(), 2);
}

TEST_F(SmsPage, SelectionKeptWhileOtherRowsComeAndGo)
{
    VTixSMSRecord* a = Received(1);
    VTixSMSRecord* b = Device(2, VTixSMS_stateSIMUnsent, "b");
    VTixSMSRecord* c = Received(3);
    Focus(b);
    AlsoSelect(c);
    w().MemoSMS->SetMemoText("typed");
    // Another message arrives and one is deleted by the handler.
    Received(4, VTixSMS_stateSIMRecvUnread);
    list().messageDeleted(a);
    EXPECT_EQ(w().focusedSMS(), b);
    EXPECT_EQ(selection().selectedRows().size(), 2);
    EXPECT_TRUE(selection().isRowSelected(Row(c), QModelIndex()));
    EXPECT_EQ(Memo(), "typed");
    EXPECT_EQ(b->GetText(), "typed");
    EXPECT_EQ(Buttons(), "--D new");
    // The focused row itself deleted: its edits go nowhere, the page
    // follows the row that becomes current.
    list().messageDeleted(b);
    EXPECT_NE(w().focusedSMS(), b);
    if (VTixSMSRecord* now = w().focusedSMS()) {
        EXPECT_EQ(Memo(), smsTextToMemo(now->GetText()));
    }
    // Every row gone: the edits are emptied and read-only.
    list().clearMessages();
    EXPECT_EQ(w().focusedSMS(), nullptr);
    EXPECT_EQ(Memo(), "");
    EXPECT_TRUE(w().MemoSMS->isReadOnly());
    EXPECT_EQ(Buttons(), "--- new");
}

TEST_F(SmsPage, ReturnClicksTheDefaultButton)
{
    // At start the design's default, Send, is disabled: Return does nothing.
    w().ListSMSs->setFocus();
    KeyClick(w().ListSMSs, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(model().rowCount(), 0);
    // Nothing selected, refreshed: Return in the list makes a new message.
    w().refreshSMSPage();
    KeyClick(w().ListSMSs, Qt::Key_Return, Qt::NoModifier, "\r");
    ASSERT_EQ(model().rowCount(), 1);
    VTixSMSRecord* draft = w().focusedSMS();
    ASSERT_NE(draft, nullptr);
    // Now Send is the default: Return in the number field sends.
    w().MemoSMS->SetMemoText("by return");
    w().EditSMStel->setFocus();
    KeyClicks(w().EditSMStel, "123");
    KeyClick(w().EditSMStel, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(smss().getMySMS(), draft);
    EXPECT_EQ(draft->GetUserPhone(), "123");
    EXPECT_EQ(draft->GetText(), "by return");
    EXPECT_EQ(model().rowCount(), 1);
    // Being sent: New is the default again; Return in the validity field.
    EXPECT_EQ(Buttons(), "--- new");
    KeyClick(w().EditSMSValidity, Qt::Key_Enter, Qt::NoModifier, "\r");
    EXPECT_EQ(model().rowCount(), 2);
}

TEST_F(SmsPage, TheTextColumnFollowsTheWindowsSize)
{
    auto textColumn = [&] { return w().ListSMSs->header()->sectionSize(2); };
    auto wanted = [&] { return list().GetColumnWidth(2, w().ListSMSs->width()); };
    RunFor(20);
    EXPECT_EQ(textColumn(), wanted());
    const int before = textColumn();
    w().resize(1000, 700);
    RunFor(50);
    EXPECT_EQ(textColumn(), wanted());
    EXPECT_GT(textColumn(), before + 300);
    // Resized while another page shows: the columns follow when it is back.
    w().PageControl1->setCurrentWidget(w().SheetGeneral);
    RunFor(20);
    w().resize(700, 600);
    RunFor(50);
    w().PageControl1->setCurrentWidget(w().SheetSMS);
    RunFor(50);
    EXPECT_EQ(textColumn(), wanted());
    EXPECT_LT(textColumn(), before + 100);
}
