#pragma once
#include <QAbstractItemView>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>

#include "phonebook/ui/mf_edit_types.h"
#include "phonebook/ui/vst_editor_types.h"

class QAbstractItemView;
class QEvent;
class TVSTEditor;

// One in-place edit of a tree cell with one of the owner's controls. The
// view calls PrepareEdit, SetBounds, BeginEdit, then EndEdit or
// CancelEdit; a stopped link never starts again. The link is shared: it
// lives until the owner's caller and the view both let go of it, and its
// end gives the control back to the owner.
class TVSTEditorLink : public std::enable_shared_from_this<TVSTEditorLink> {
public:
    TVSTEditorLink(TVSTEditor* Owner, TVSTEditorType Kind);
    ~TVSTEditorLink();
    TVSTEditorLink(const TVSTEditorLink&) = delete;
    TVSTEditorLink& operator=(const TVSTEditorLink&) = delete;

    // Takes the owner's control of the link's kind into the tree's
    // viewport, hidden; false when stopped or there is no such control.
    bool PrepareEdit(QAbstractItemView* Tree, const QModelIndex& Node);
    // The cell's rectangle, its left edge 6 pixels further right.
    void SetBounds(QRect Rect);
    QRect GetBounds() const;
    // Shows the control with the focus and starts watching its focus.
    bool BeginEdit();
    // Writes the text back when it changed during this edit, hides the
    // control and ends the view's edit; false when already stopped.
    bool EndEdit();
    // The same without writing anything back.
    bool CancelEdit();
    // Hands an event to the control.
    void ProcessMessage(QEvent* Message);

    // The control's change and key-down events while editing.
    void EditChange(QObject* Sender);
    void EditKeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
    // The control's events while editing: losing the focus ends the edit
    // unless the control's own pop-up is busy. True when swallowed.
    bool EditWindowProc(QEvent* Message);

    bool Stopped() const { return m_stopped; }
    bool Modified() const { return m_modified; }
    // An edit whose start value is not the cell's own (an offered value)
    // counts as changed from the start: ending it writes that value back.
    void SetModified(bool Value) { m_modified = Value; }
    bool Prepared() const { return m_prepared; }
    // True between BeginEdit and the end (the focus is being watched).
    bool Watching() const { return m_watching; }
    TVSTEditorType Kind() const { return m_kind; }
    QWidget* Control() const { return m_control; }
    QAbstractItemView* Tree() const { return m_tree; }
    int Row() const { return m_node.row(); }
    int Column() const { return m_node.column(); }

    // Called after a change has set Modified; nothing in the program sets it.
    TMFNotifyEvent OnChange;

    // The owner goes away first.
    void DetachOwner() { m_owner = nullptr; }

private:
    // The control is busy with its own pop-up (a button click, a dropped
    // list, calendar or track bar).
    bool ControlBusy() const;
    QString ControlText() const;
    // Common end of EndEdit and CancelEdit.
    void Finish();
    void MoveFocus(bool Down);

    QPointer<TVSTEditor> m_owner;
    TVSTEditorType m_kind;
    QPointer<QWidget> m_control;
    QPointer<QAbstractItemView> m_tree;
    QPersistentModelIndex m_node;
    bool m_stopped = false;
    bool m_modified = false;
    bool m_prepared = false;
    bool m_watching = false;
    // The control's own minimum height, given back when the edit ends.
    int m_savedMinHeight = 0;
};
