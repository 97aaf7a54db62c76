#pragma once
#include <QComboBox>
#include <QPointer>
#include <QStyledItemDelegate>

// The in-place cell editor of the file lists: an editable combo box over a
// cell whose model says it is editable (VListViewModel::EditKindRole:
// 1 free text, 2 the column's choices, the entry equal to the cell text
// chosen). Every change of its text is committed at once, so the row
// follows the typing; Enter and leaving it commit and close; Escape writes
// back the text the cell had when it opened and closes. The view commits
// through the editor's index, so an edit never reaches an item that has
// lost its row. An open editor is not rewritten when its row changes.
class TListCellEditor : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TListCellEditor(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

    // The open editor; null when none.
    QComboBox* openEditor() const { return editor.data(); }
    // Commits the open editor's text and closes it.
    void commitAndClose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Commit (cancel: the opening text first) and close, once.
    void finish(QComboBox* combo, bool cancel);

    mutable QPointer<QComboBox> editor;
};
