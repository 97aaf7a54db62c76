#pragma once
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>
#include <memory>
#include <string>

#include "foundation/tixutils_datetime.h"
#include "phonebook/ui/vst_editor_link.h"
#include "phonebook/ui/vst_editor_types.h"

class TMFButtonEdit;
class TMFComboEdit;
class TMFDateTimeEdit;
class TMFEdit;
class TMFNumEdit;

using TVSTEditorLinkPtr = std::shared_ptr<TVSTEditorLink>;

// The cell editors of a tree: a delegate that lends its five hidden edit
// controls to the view instead of making editors. When the view wants to
// edit a cell it asks OnCreateEditor; the view's owner picks the kind and
// the start value with LinkEditor, LinkNumEditor, ... (or gives no link:
// the cell is not edited). The control moves into the view for the edit
// and goes back to its own parent afterwards; it is never deleted here.
class TVSTEditor : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TVSTEditor(QObject* Parent = nullptr);
    ~TVSTEditor() override;

    // Setting a control remembers its parent (unless it is set again).
    TMFEdit* Editor() const;
    void SetEditor(TMFEdit* Value);
    TMFButtonEdit* ButtonEditor() const;
    void SetButtonEditor(TMFButtonEdit* Value);
    TMFComboEdit* ComboEditor() const;
    void SetComboEditor(TMFComboEdit* Value);
    TMFNumEdit* NumEditor() const;
    void SetNumEditor(TMFNumEdit* Value);
    TMFDateTimeEdit* DateTimeEditor() const;
    void SetDateTimeEditor(TMFDateTimeEdit* Value);
    // The control of a kind; none for a kind without one.
    QWidget* ControlOf(TVSTEditorType Kind) const;

    const TVSTEditorOptions& Options() const { return m_options; }
    void SetOptions(const TVSTEditorOptions& Value) { m_options = Value; }

    // Each makes a link of its kind the current one, gives it out, and
    // sets the start value of the control when there is one.
    void LinkEditor(TVSTEditorLinkPtr& Link, const std::string& Text);
    void LinkButtonEditor(TVSTEditorLinkPtr& Link, const std::string& Text);
    // A list-only combo selects the item of that text (none when absent).
    void LinkComboEditor(TVSTEditorLinkPtr& Link, const std::string& Text);
    void LinkNumEditor(TVSTEditorLinkPtr& Link, double Value);
    void LinkDateTimeEditor(TVSTEditorLinkPtr& Link, Tixutils::TDateTime Date, Tixutils::TDateTime Time);

    // With none (a link going away): the control of the current link goes
    // back to its parent and there is no current link. Setting a link over
    // another, or clearing when there is none, is reported and changes
    // nothing.
    void SetLink(TVSTEditorLink* Link);
    TVSTEditorLink* Link() const { return m_link; }
    // Ends the view's open edit as Enter would, without moving on: a
    // changed text is written back first. False when no edit was open.
    bool EndEditing();

    // The view's owner picks the editor of a cell here.
    std::function<void(TVSTEditor* Sender, const QModelIndex& Index, TVSTEditorLinkPtr& Link)> OnCreateEditor;
    // The look of a cell before it is painted (colours, a state picture).
    std::function<void(QStyleOptionViewItem& Option, const QModelIndex& Index)> OnInitStyleOption;
    // Where misuse is reported; a plain message box unless replaced.
    std::function<void(const std::string& Text)> Reporter;

    QWidget* createEditor(QWidget* Parent, const QStyleOptionViewItem& Option,
                          const QModelIndex& Index) const override;
    void destroyEditor(QWidget* Editor, const QModelIndex& Index) const override;
    void setEditorData(QWidget* Editor, const QModelIndex& Index) const override;
    void setModelData(QWidget* Editor, QAbstractItemModel* Model, const QModelIndex& Index) const override;
    void updateEditorGeometry(QWidget* Editor, const QStyleOptionViewItem& Option,
                              const QModelIndex& Index) const override;

    // From the links: an edit ended by the link itself (keys, focus) also
    // ends the view's edit.
    void NodeEditEnded(TVSTEditorLink* Link);
    // The controls' change and key-down events, handed to the current link
    // while it edits.
    void ControlChanged(QObject* Sender);
    void ControlKeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override;

private:
    struct TSlot {
        QPointer<QWidget> Control;
        QPointer<QWidget> Parent;
    };
    TSlot& SlotOf(TVSTEditorType Kind);
    void SetSlot(TVSTEditorType Kind, QWidget* Control);
    void NewLink(TVSTEditorLinkPtr& Link, TVSTEditorType Kind);
    void GiveBack(QWidget* Control) const;
    // The link that edits this control now, if any.
    TVSTEditorLinkPtr ActiveLinkOf(const QObject* Control) const;
    // The view is done with the editor: the link ends without writing.
    void ReleaseEditing();
    void Report(const std::string& Text);

    TSlot m_editor, m_buttonEditor, m_comboEditor, m_numEditor, m_dateTimeEditor;
    TVSTEditorOptions m_options;
    TVSTEditorLink* m_link = nullptr;
    // The link of the view's open editor (the view's reference to it).
    TVSTEditorLinkPtr m_editing;
    // Set while the view itself closes the editor, which then needs no
    // closing signal.
    bool m_viewClosing = false;
};
