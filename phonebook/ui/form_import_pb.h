#pragma once
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QPushButton;
class QTreeView;
class TImportStoragesModel;

// The dialog in which the user picks the memories of a phonebook file to
// load, and whether to empty them first and to keep the file's positions.
// The caller fills StoragesInFile (the memory codes the file can fill),
// shows it and, after OK, reads SelectedStorages and the two check boxes.
// It reads no file and touches no phonebook.
class TFormImportPB : public QDialog {
    Q_OBJECT
public:
    // A language text: section, key, default.
    using TLangText =
        std::function<std::string(const std::string& section, const std::string& key, const std::string& def)>;

    // Without `language` the built-in Czech texts, no descriptions.
    explicit TFormImportPB(QWidget* owner, TLangText language = nullptr);
    ~TFormImportPB() override;

    QTreeView* VSTStorages = nullptr;
    QCheckBox* CheckDeleteOld = nullptr;
    QCheckBox* CheckPreservePositions = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancel = nullptr;

    // One row per memory code; "SM" starts checked.
    std::vector<std::string> StoragesInFile;
    // The codes of the rows checked when OK was pressed.
    std::vector<std::string> SelectedStorages;

    // The rows for StoragesInFile (run when the dialog is shown).
    void FormShow();
    // Collects the checked rows and closes with OK.
    void BtnOKClick();
    // A row's check box (the tree's own, also toggled by a double click).
    bool RowChecked(int row) const;
    void SetRowChecked(int row, bool checked);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::string langText(const std::string& section, const std::string& key, const std::string& def) const;

    TLangText m_language;
    TImportStoragesModel* m_model = nullptr;
};
