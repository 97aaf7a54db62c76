#pragma once
#include <QAbstractItemModel>
#include <QString>
#include <array>

#include "phonebook/phonebook_observer.h"

class VTixPhoneBook;

// The phonebook tree's item model: the displayed memory of a phonebook
// model, row n = its entry n, in the columns position, number and name.
// Every cell asks the model (treeGetText, treeEditing, ...); new cell texts
// go to treeNewText. The model's row notices become row signals, so the
// selection, the current row and an open editor survive entries read in,
// written or removed; only another displayed memory, a cleared model or
// another model resets it.
class VTixPhoneBookItemModel : public QAbstractItemModel, public VTixPhoneBookObserver {
    Q_OBJECT
public:
    // The state image of column 0 (-1: none), VTixPhoneBook::treeGetImageIndex.
    static constexpr int StateImageRole = Qt::UserRole + 1;

    explicit VTixPhoneBookItemModel(QObject* parent = nullptr);
    ~VTixPhoneBookItemModel() override;

    // The model shown (none: no rows); the old one lets this view go.
    void setPhonebook(VTixPhoneBook* phonebook);
    VTixPhoneBook* phonebook() const { return m_phonebook; }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The column captions (the form translation sets them).
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    // VTixPhoneBookObserver
    void rowWillBeInserted(const VTixPhoneBookStorage& storage, int row) override;
    void rowWillBeRemoved(const VTixPhoneBookStorage& storage, int row) override;
    void rowChangeDone(const VTixPhoneBookStorage& storage) override;
    void rowChanged(const VTixPhoneBookStorage& storage, int row) override;
    void displayedStorageReplaced(const VTixPhoneBookStorage* storage) override;
    void phonebookDetached(const VTixPhoneBook& model) override;

signals:
    // A cell's new text was taken (after an edit).
    void newTextTaken(int row, int column);
    // A cell's new text was not taken (a number no dial string can be);
    // `text` is what was typed, `message` says why.
    void newTextRefused(int row, int column, const QString& text, const QString& message);

private:
    VTixPhoneBook* m_phonebook = nullptr;
    // The memory whose rows are shown.
    const VTixPhoneBookStorage* m_shown = nullptr;
    // The row change announced and not yet done: 0 none, +1 insert, -1 remove.
    int m_open = 0;
    std::array<QString, 3> m_captions;
};
