#include "app/list_cell_editor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

#include "calls/list_view_model.h"

namespace {

// Properties of an open editor.
const char* const OpeningText = "zelvitorOpeningText";
const char* const Filled = "zelvitorFilled";
const char* const Closing = "zelvitorClosing";

}  // namespace

TListCellEditor::TListCellEditor(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* TListCellEditor::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const int kind = index.data(VListViewModel::EditKindRole).toInt();
    if (kind != 1 && kind != 2)
        return nullptr;
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setFrame(false);
    if (kind == 2)
        combo->addItems(index.data(VListViewModel::OptionsRole).toStringList());
    editor = combo;
    return combo;
}

void TListCellEditor::setEditorData(QWidget* widget, const QModelIndex& index) const
{
    auto* combo = qobject_cast<QComboBox*>(widget);
    // Filled once, when it opens: the row changes under the typing.
    if (!combo || combo->property(Filled).toBool())
        return;
    const QString text = index.data(Qt::EditRole).toString();
    if (combo->count() > 0) {
        int entry = combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (entry < 0)
            entry = combo->findText(text, Qt::MatchFixedString);
        combo->setCurrentIndex(entry);
    }
    combo->setEditText(text);
    combo->setProperty(OpeningText, text);
    combo->setProperty(Filled, true);
    auto* self = const_cast<TListCellEditor*>(this);
    connect(combo, &QComboBox::editTextChanged, self, [self, combo] { emit self->commitData(combo); });
}

void TListCellEditor::setModelData(QWidget* widget, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        model->setData(index, combo->currentText(), Qt::EditRole);
}

void TListCellEditor::updateEditorGeometry(QWidget* widget, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const
{
    widget->setGeometry(option.rect);
}

void TListCellEditor::destroyEditor(QWidget* widget, const QModelIndex& index) const
{
    if (widget == editor)
        editor = nullptr;
    QStyledItemDelegate::destroyEditor(widget, index);
}

void TListCellEditor::commitAndClose()
{
    if (editor)
        finish(editor, false);
}

void TListCellEditor::finish(QComboBox* combo, bool cancel)
{
    if (combo->property(Closing).toBool())
        return;
    combo->setProperty(Closing, true);
    if (cancel)
        combo->setEditText(combo->property(OpeningText).toString());
    emit commitData(combo);
    emit closeEditor(combo, QAbstractItemDelegate::NoHint);
}

bool TListCellEditor::eventFilter(QObject* watched, QEvent* event)
{
    auto* combo = qobject_cast<QComboBox*>(watched);
    if (!combo || combo != editor)
        return QStyledItemDelegate::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The drop-down list takes its own Enter (it chooses an entry).
            if (combo->view() && combo->view()->isVisible())
                return false;
            finish(combo, false);
            return true;
        }
        if (key == Qt::Key_Escape) {
            if (combo->view() && combo->view()->isVisible())
                return false;
            finish(combo, true);
            return true;
        }
        break;
    }
    case QEvent::FocusOut: {
        // Focus within the combo (its list, its line) is no leaving.
        QWidget* focus = QApplication::focusWidget();
        const bool inside = focus && (focus == combo || combo->isAncestorOf(focus) ||
                                      (combo->view() && combo->view()->isVisible()));
        if (!inside)
            finish(combo, false);
        return false;
    }
    default:
        break;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}
