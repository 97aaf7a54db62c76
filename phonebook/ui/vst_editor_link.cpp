#include "phonebook/ui/vst_editor_link.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTreeView>

#include "foundation/tixutils_datetime.h"
#include "phonebook/ui/mf_button_edit.h"
#include "phonebook/ui/mf_combo_edit.h"
#include "phonebook/ui/mf_date_time_edit.h"
#include "phonebook/ui/mf_num_edit.h"
#include "phonebook/ui/vst_editor.h"
#include "platform/qt/qt_text.h"

namespace {

// The change and key-down events of a control of a kind.
TMFEditEvents* EventsOf(QWidget* Control, TVSTEditorType Kind)
{
    switch (Kind) {
    case etEditor:
    case etButtonEditor:
    case etNumEditor:
        if (auto* e = qobject_cast<TMFCustomEdit*>(Control))
            return &e->Events;
        break;
    case etComboEditor:
        if (auto* e = qobject_cast<TMFCustomComboEdit*>(Control))
            return &e->Events;
        break;
    case etDateTimeEditor:
        if (auto* e = qobject_cast<TMFCustomDateTimeEdit*>(Control))
            return &e->Events;
        break;
    default:
        break;
    }
    return nullptr;
}

}  // namespace

TVSTEditorLink::TVSTEditorLink(TVSTEditor* Owner, TVSTEditorType Kind) : m_owner(Owner), m_kind(Kind) {}

TVSTEditorLink::~TVSTEditorLink()
{
    if (m_owner)
        m_owner->SetLink(nullptr);
}

bool TVSTEditorLink::PrepareEdit(QAbstractItemView* Tree, const QModelIndex& Node)
{
    if (m_stopped)
        return false;
    m_tree = Tree;
    m_node = Node;
    m_control = m_owner && Tree ? m_owner->ControlOf(m_kind) : nullptr;
    if (!m_control)
        return false;
    m_control->hide();
    m_control->setParent(Tree->viewport());
    m_control->hide();
    // The control takes the cell's height, as low as the row is: a
    // minimum of its own would let it spill over the rows below.
    m_savedMinHeight = m_control->minimumHeight();
    m_control->setMinimumHeight(0);
    if (!m_owner->Options().KeepControlEvents) {
        if (TMFEditEvents* events = EventsOf(m_control, m_kind)) {
            // The owner passes them on to whichever link edits then, so a
            // control never calls into a link that is gone.
            QPointer<TVSTEditor> owner = m_owner;
            events->OnChange = [owner](QObject* sender) {
                if (owner)
                    owner->ControlChanged(sender);
            };
            events->OnKeyDown = [owner](QObject* sender, int& key, Qt::KeyboardModifiers shift) {
                if (owner)
                    owner->ControlKeyDown(sender, key, shift);
            };
        }
    }
    if (m_kind == etEditor || m_kind == etComboEditor || m_kind == etNumEditor) {
        const QVariant a = Node.data(Qt::TextAlignmentRole);
        const TAlignment alignment =
            a.isValid() ? FromQtAlignment(Qt::Alignment(a.toInt())) : taLeftJustify;
        if (auto* edit = qobject_cast<TMFCustomEdit*>(m_control.data()))
            edit->SetAlignment(alignment);
        else if (auto* combo = qobject_cast<TMFCustomComboEdit*>(m_control.data()); combo && combo->lineEdit())
            combo->lineEdit()->setAlignment(ToQtAlignment(alignment) | Qt::AlignVCenter);
        m_control->setLayoutDirection(Tree->layoutDirection());
    }
    m_prepared = true;
    return true;
}

void TVSTEditorLink::SetBounds(QRect Rect)
{
    if (m_control)
        m_control->setGeometry(Rect.adjusted(6, 0, 0, 0));
}

QRect TVSTEditorLink::GetBounds() const
{
    return m_control ? m_control->geometry() : QRect();
}

bool TVSTEditorLink::BeginEdit()
{
    if (m_stopped)
        return false;
    if (m_control) {
        m_control->show();
        m_control->setFocus();
        // The owner filters the control's events and hands them here.
        if (m_owner)
            m_control->installEventFilter(m_owner);
        m_watching = true;
    }
    return true;
}

QString TVSTEditorLink::ControlText() const
{
    switch (m_kind) {
    case etEditor:
    case etButtonEditor:
        if (auto* e = qobject_cast<TMFCustomEdit*>(m_control.data()))
            return e->text();
        break;
    case etComboEditor:
        if (auto* e = qobject_cast<TMFCustomComboEdit*>(m_control.data()))
            return e->currentText();
        break;
    case etNumEditor:
        if (auto* e = qobject_cast<TMFCustomNumEdit*>(m_control.data()))
            return Platform::ToQString(e->GetText());
        break;
    case etDateTimeEditor:
        if (auto* e = qobject_cast<TMFCustomDateTimeEdit*>(m_control.data()))
            return Platform::ToQString(e->Kind() == dtkDate ? Tixutils::DateToStr(e->Date())
                                                           : Tixutils::TimeToStrEx(e->Time(), 0, false));
        break;
    default:
        break;
    }
    return {};
}

void TVSTEditorLink::Finish()
{
    // The view closes its editor first: it hands the focus back to the
    // tree only while the control still has it.
    if (m_owner)
        m_owner->NodeEditEnded(this);
    if (m_control) {
        m_control->hide();
        m_control->setMinimumHeight(m_savedMinHeight);
    }
    if (m_tree)
        m_tree->viewport()->update();
}

bool TVSTEditorLink::EndEdit()
{
    if (m_stopped)
        return false;
    const auto keep = shared_from_this();
    m_stopped = true;
    m_watching = false;
    if (m_modified) {
        const QString text = ControlText();
        if (m_tree && m_tree->model() && m_node.isValid())
            m_tree->model()->setData(m_node, text, Qt::EditRole);
        m_modified = false;
    }
    Finish();
    return true;
}

bool TVSTEditorLink::CancelEdit()
{
    if (m_stopped)
        return false;
    const auto keep = shared_from_this();
    m_stopped = true;
    m_watching = false;
    Finish();
    return true;
}

void TVSTEditorLink::ProcessMessage(QEvent* Message)
{
    if (m_control)
        QCoreApplication::sendEvent(m_control, Message);
}

void TVSTEditorLink::EditChange(QObject*)
{
    m_modified = true;
    if (OnChange)
        OnChange(m_control);
}

bool TVSTEditorLink::ControlBusy() const
{
    switch (m_kind) {
    case etButtonEditor:
        if (auto* e = qobject_cast<TMFCustomButtonEdit*>(m_control.data()))
            return e->ButtonClicking();
        break;
    case etComboEditor:
        if (auto* e = qobject_cast<TMFCustomComboEdit*>(m_control.data()))
            return e->DroppedDown();
        break;
    case etNumEditor:
        if (auto* e = qobject_cast<TMFCustomNumEdit*>(m_control.data()))
            return e->DroppedDown();
        break;
    case etDateTimeEditor:
        if (auto* e = qobject_cast<TMFCustomDateTimeEdit*>(m_control.data()))
            return e->DroppedDown();
        break;
    default:
        break;
    }
    return false;
}

void TVSTEditorLink::EditKeyDown(QObject*, int& Key, Qt::KeyboardModifiers Shift)
{
    const bool enter = Key == Qt::Key_Return || Key == Qt::Key_Enter;
    if (!enter && Key != Qt::Key_Escape && Key != Qt::Key_Up && Key != Qt::Key_Down)
        return;
    if (Shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return;
    if (QGuiApplication::mouseButtons() != Qt::NoButton || ControlBusy())
        return;
    const auto keep = shared_from_this();
    if (Key == Qt::Key_Escape) {
        CancelEdit();
    } else {
        EndEdit();
        MoveFocus(Key != Qt::Key_Up);
    }
    Key = 0;
}

void TVSTEditorLink::MoveFocus(bool Down)
{
    if (!m_tree || !m_tree->selectionModel())
        return;
    QItemSelectionModel* selection = m_tree->selectionModel();
    const QModelIndex current = m_tree->currentIndex();
    QModelIndex next;
    if (auto* view = qobject_cast<QTreeView*>(m_tree.data()))
        next = Down ? view->indexBelow(current) : view->indexAbove(current);
    else if (current.isValid())
        next = current.siblingAtRow(current.row() + (Down ? 1 : -1));
    if (!next.isValid()) {
        selection->clearCurrentIndex();
        return;
    }
    // The selection moves with the focus, as a plain arrow key moves it:
    // an edit that ended is no reason to select the rows it passed.
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (m_tree->selectionBehavior() == QAbstractItemView::SelectRows)
        flags |= QItemSelectionModel::Rows;
    selection->setCurrentIndex(next, flags);
}

bool TVSTEditorLink::EditWindowProc(QEvent* Message)
{
    if (!m_watching)
        return false;
    if (Message->type() == QEvent::KeyPress && m_control) {
        // The control's keys are its own: one it leaves unused must not go
        // on to the tree (which would move its current cell and end the
        // edit) as it would to any parent in Qt. The control handles it
        // here, past the other filters and without that propagation.
        static_cast<QObject*>(m_control.data())->event(Message);
        Message->accept();
        return true;
    }
    if (Message->type() != QEvent::FocusOut)
        return false;
    // A pop-up menu or the control's own pop-up keeps the edit open.
    if (static_cast<QFocusEvent*>(Message)->reason() == Qt::PopupFocusReason || ControlBusy())
        return false;
    EndEdit();
    // The control still learns that it lost the focus, so Qt's own state
    // of the control (caret, selection) stays right.
    return false;
}
