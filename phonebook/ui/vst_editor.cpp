#include "phonebook/ui/vst_editor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMessageBox>

#include "phonebook/ui/mf_button_edit.h"
#include "phonebook/ui/mf_combo_edit.h"
#include "phonebook/ui/mf_date_time_edit.h"
#include "phonebook/ui/mf_edit.h"
#include "phonebook/ui/mf_num_edit.h"
#include "platform/qt/qt_text.h"

TVSTEditor::TVSTEditor(QObject* Parent) : QStyledItemDelegate(Parent)
{
    Reporter = [](const std::string& text) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), Platform::ToQString(text),
                        QMessageBox::Ok);
        box.exec();
    };
}

TVSTEditor::~TVSTEditor()
{
    // An open edit is cancelled now, while the view can still give the
    // control back through this delegate.
    if (m_editing && !m_editing->Stopped())
        m_editing->CancelEdit();
    if (m_editing)
        m_editing->DetachOwner();
    if (m_link)
        m_link->DetachOwner();
    if (m_editing)
        GiveBack(m_editing->Control());
    m_editing.reset();
}

TVSTEditor::TSlot& TVSTEditor::SlotOf(TVSTEditorType Kind)
{
    switch (Kind) {
    case etButtonEditor:
        return m_buttonEditor;
    case etComboEditor:
        return m_comboEditor;
    case etNumEditor:
        return m_numEditor;
    case etDateTimeEditor:
        return m_dateTimeEditor;
    default:
        return m_editor;
    }
}

QWidget* TVSTEditor::ControlOf(TVSTEditorType Kind) const
{
    switch (Kind) {
    case etEditor:
        return m_editor.Control;
    case etButtonEditor:
        return m_buttonEditor.Control;
    case etComboEditor:
        return m_comboEditor.Control;
    case etNumEditor:
        return m_numEditor.Control;
    case etDateTimeEditor:
        return m_dateTimeEditor.Control;
    default:
        return nullptr;
    }
}

void TVSTEditor::SetSlot(TVSTEditorType Kind, QWidget* Control)
{
    TSlot& slot = SlotOf(Kind);
    if (slot.Control == Control)
        return;
    slot.Control = Control;
    slot.Parent = Control ? Control->parentWidget() : nullptr;
}

TMFEdit* TVSTEditor::Editor() const { return qobject_cast<TMFEdit*>(m_editor.Control); }
void TVSTEditor::SetEditor(TMFEdit* Value) { SetSlot(etEditor, Value); }
TMFButtonEdit* TVSTEditor::ButtonEditor() const { return qobject_cast<TMFButtonEdit*>(m_buttonEditor.Control); }
void TVSTEditor::SetButtonEditor(TMFButtonEdit* Value) { SetSlot(etButtonEditor, Value); }
TMFComboEdit* TVSTEditor::ComboEditor() const { return qobject_cast<TMFComboEdit*>(m_comboEditor.Control); }
void TVSTEditor::SetComboEditor(TMFComboEdit* Value) { SetSlot(etComboEditor, Value); }
TMFNumEdit* TVSTEditor::NumEditor() const { return qobject_cast<TMFNumEdit*>(m_numEditor.Control); }
void TVSTEditor::SetNumEditor(TMFNumEdit* Value) { SetSlot(etNumEditor, Value); }
TMFDateTimeEdit* TVSTEditor::DateTimeEditor() const
{
    return qobject_cast<TMFDateTimeEdit*>(m_dateTimeEditor.Control);
}
void TVSTEditor::SetDateTimeEditor(TMFDateTimeEdit* Value) { SetSlot(etDateTimeEditor, Value); }

void TVSTEditor::NewLink(TVSTEditorLinkPtr& Link, TVSTEditorType Kind)
{
    Link = std::make_shared<TVSTEditorLink>(this, Kind);
    m_link = Link.get();
}

void TVSTEditor::LinkEditor(TVSTEditorLinkPtr& Link, const std::string& Text)
{
    NewLink(Link, etEditor);
    if (TMFEdit* e = Editor())
        e->SetText(Text);
}

void TVSTEditor::LinkButtonEditor(TVSTEditorLinkPtr& Link, const std::string& Text)
{
    NewLink(Link, etButtonEditor);
    if (TMFButtonEdit* e = ButtonEditor())
        e->SetText(Text);
}

void TVSTEditor::LinkComboEditor(TVSTEditorLinkPtr& Link, const std::string& Text)
{
    NewLink(Link, etComboEditor);
    if (TMFComboEdit* e = ComboEditor()) {
        if (e->Style() == csDropDownList)
            e->SetItemIndex(e->IndexOfItem(Text));
        else
            e->SetText(Text);
    }
}

void TVSTEditor::LinkNumEditor(TVSTEditorLinkPtr& Link, double Value)
{
    NewLink(Link, etNumEditor);
    if (TMFNumEdit* e = NumEditor())
        e->SetValue(Value);
}

void TVSTEditor::LinkDateTimeEditor(TVSTEditorLinkPtr& Link, Tixutils::TDateTime Date, Tixutils::TDateTime Time)
{
    NewLink(Link, etDateTimeEditor);
    if (TMFDateTimeEdit* e = DateTimeEditor()) {
        e->SetDate(Date);
        e->SetTime(Time);
    }
}

void TVSTEditor::Report(const std::string& Text)
{
    if (Reporter)
        Reporter(Text);
}

void TVSTEditor::SetLink(TVSTEditorLink* Link)
{
    if (Link) {
        if (m_link) {
            Report("TVSTEditor: Failure in SetLink (must be nil)!");
            return;
        }
        m_link = Link;
        return;
    }
    if (!m_link) {
        Report("TVSTEditor: Failure in SetLink (must not be nil)!");
        return;
    }
    // Cleared first: hiding a focused control sends events that must not
    // reach a link that is going away.
    const TVSTEditorType kind = m_link->Kind();
    m_link = nullptr;
    GiveBack(ControlOf(kind));
}

void TVSTEditor::GiveBack(QWidget* Control) const
{
    if (!Control)
        return;
    Control->hide();
    for (const TSlot* slot : {&m_editor, &m_buttonEditor, &m_comboEditor, &m_numEditor, &m_dateTimeEditor}) {
        if (slot->Control == Control) {
            if (Control->parentWidget() != slot->Parent) {
                Control->setParent(slot->Parent);
                Control->hide();
            }
            return;
        }
    }
}

TVSTEditorLinkPtr TVSTEditor::ActiveLinkOf(const QObject* Control) const
{
    if (!m_link || !m_link->Prepared() || m_link->Stopped() || m_link->Control() != Control)
        return nullptr;
    return m_link->weak_from_this().lock();
}

void TVSTEditor::ControlChanged(QObject* Sender)
{
    if (m_options.KeepControlEvents)
        return;
    if (const TVSTEditorLinkPtr link = ActiveLinkOf(Sender))
        link->EditChange(Sender);
}

void TVSTEditor::ControlKeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)
{
    if (m_options.KeepControlEvents)
        return;
    if (const TVSTEditorLinkPtr link = ActiveLinkOf(Sender))
        link->EditKeyDown(Sender, Key, Shift);
}

bool TVSTEditor::eventFilter(QObject* Watched, QEvent* Event)
{
    // Qt's own handling of Enter, Esc, Tab and the focus does not apply:
    // the link decides when an edit ends.
    const TVSTEditorLinkPtr link = ActiveLinkOf(Watched);
    return link && link->Watching() && link->EditWindowProc(Event);
}

void TVSTEditor::NodeEditEnded(TVSTEditorLink* Link)
{
    if (m_viewClosing || m_editing.get() != Link || !Link->Control())
        return;
    emit closeEditor(Link->Control(), QAbstractItemDelegate::NoHint);
}

bool TVSTEditor::EndEditing()
{
    if (!m_editing || m_editing->Stopped())
        return false;
    const TVSTEditorLinkPtr link = m_editing;
    return link->EndEdit();
}

void TVSTEditor::ReleaseEditing()
{
    if (!m_editing)
        return;
    const TVSTEditorLinkPtr link = std::move(m_editing);
    m_viewClosing = true;
    link->CancelEdit();
    m_viewClosing = false;
    GiveBack(link->Control());
}

QWidget* TVSTEditor::createEditor(QWidget* Parent, const QStyleOptionViewItem&, const QModelIndex& Index) const
{
    // Qt's delegate interface is const; lending a control changes state.
    auto* self = const_cast<TVSTEditor*>(this);
    self->ReleaseEditing();
    TVSTEditorLinkPtr link;
    if (OnCreateEditor)
        OnCreateEditor(self, Index, link);
    auto* view = Parent ? qobject_cast<QAbstractItemView*>(Parent->parentWidget()) : nullptr;
    if (!link || !view || !link->PrepareEdit(view, Index))
        return nullptr;
    self->m_editing = link;
    return link->Control();
}

void TVSTEditor::destroyEditor(QWidget* Editor, const QModelIndex& Index) const
{
    auto* self = const_cast<TVSTEditor*>(this);
    if (m_editing && m_editing->Control() == Editor) {
        self->ReleaseEditing();
        return;
    }
    for (const TSlot* slot : {&m_editor, &m_buttonEditor, &m_comboEditor, &m_numEditor, &m_dateTimeEditor}) {
        if (slot->Control == Editor) {
            GiveBack(Editor);
            return;
        }
    }
    QStyledItemDelegate::destroyEditor(Editor, Index);
}

void TVSTEditor::setEditorData(QWidget* Editor, const QModelIndex&) const
{
    // The start value came with the link; the first call begins the edit
    // (the view shows the editor right after it), later ones change nothing.
    if (m_editing && m_editing->Control() == Editor && !m_editing->Watching() && !m_editing->Stopped())
        m_editing->BeginEdit();
}

void TVSTEditor::setModelData(QWidget* Editor, QAbstractItemModel*, const QModelIndex&) const
{
    // The view commits (it moved to another cell): the link ends and writes
    // only what changed; the view closes the editor itself.
    if (!m_editing || m_editing->Control() != Editor)
        return;
    auto* self = const_cast<TVSTEditor*>(this);
    const TVSTEditorLinkPtr link = m_editing;
    self->m_viewClosing = true;
    link->EndEdit();
    self->m_viewClosing = false;
}

void TVSTEditor::updateEditorGeometry(QWidget* Editor, const QStyleOptionViewItem& Option,
                                      const QModelIndex& Index) const
{
    if (m_editing && m_editing->Control() == Editor)
        m_editing->SetBounds(Option.rect);
    else
        QStyledItemDelegate::updateEditorGeometry(Editor, Option, Index);
}

void TVSTEditor::initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const
{
    QStyledItemDelegate::initStyleOption(Option, Index);
    // The cell being edited shows its editor only: the control stands 6
    // pixels into the cell, and the old text would show through there.
    if (m_editing && m_editing->Control() && m_editing->Control()->isVisible() &&
        m_editing->Tree() == qobject_cast<const QAbstractItemView*>(Option->widget) &&
        m_editing->Row() == Index.row() && m_editing->Column() == Index.column())
        Option->text.clear();
    if (OnInitStyleOption)
        OnInitStyleOption(*Option, Index);
}
