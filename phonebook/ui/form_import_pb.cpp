#include "phonebook/ui/form_import_pb.h"

#include <QAbstractItemModel>
#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <array>

#include "platform/codepage.h"
#include "platform/qt/qt_text.h"

namespace {

QString Cz(const char* text)
{
    return Platform::ToQString(text, Platform::CP_CZECH);
}

}  // namespace

// The memories of the file, one row each: a check box and the code, then
// the memory's description.
class TImportStoragesModel : public QAbstractItemModel {
public:
    TImportStoragesModel(TFormImportPB& form) : QAbstractItemModel(&form), m_form(form)
    {
        m_captions = {Cz("K\xF3" "d"), Cz("Popis")};
        m_hints = {Cz("K\xF3" "d pam\xECti"), Cz("Popis pam\xECti")};
    }

    // One row per code, checks as the rows start.
    void SetRows(int count)
    {
        beginResetModel();
        m_checked.assign(size_t(count), false);
        for (int i = 0; i < count; ++i)
            m_checked[size_t(i)] = m_form.StoragesInFile[size_t(i)] == "SM";
        endResetModel();
    }
    bool Checked(int row) const { return row >= 0 && row < int(m_checked.size()) && m_checked[size_t(row)]; }
    void SetChecked(int row, bool checked)
    {
        if (row < 0 || row >= int(m_checked.size()) || m_checked[size_t(row)] == checked)
            return;
        m_checked[size_t(row)] = checked;
        emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
    }
    void SetHint(int section, const QString& hint) { m_hints[size_t(section)] = hint; }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override
    {
        if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= 2)
            return {};
        return createIndex(row, column);
    }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_checked.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount() || size_t(index.row()) >= m_form.StoragesInFile.size())
            return {};
        const std::string& code = m_form.StoragesInFile[size_t(index.row())];
        if (role == Qt::DisplayRole) {
            if (index.column() == 0)
                return Platform::ToQString(code);
            return Platform::ToQString(m_describe(code));
        }
        if (role == Qt::CheckStateRole && index.column() == 0)
            return Checked(index.row()) ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
            return false;
        SetChecked(index.row(), Qt::CheckState(value.toInt()) == Qt::Checked);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        if (index.column() == 0)
            f |= Qt::ItemIsUserCheckable;
        return f;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= 2)
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_captions[size_t(section)];
        if (role == Qt::ToolTipRole)
            return m_hints[size_t(section)];
        return {};
    }
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= 2 ||
            (role != Qt::EditRole && role != Qt::DisplayRole))
            return false;
        m_captions[size_t(section)] = value.toString();
        emit headerDataChanged(orientation, section, section);
        return true;
    }

    std::function<std::string(const std::string& code)> m_describe;

private:
    TFormImportPB& m_form;
    std::vector<bool> m_checked;
    std::array<QString, 2> m_captions;
    std::array<QString, 2> m_hints;
};

TFormImportPB::TFormImportPB(QWidget* owner, TLangText language) : QDialog(owner), m_language(std::move(language))
{
    setObjectName(QStringLiteral("FormImportPB"));
    setWindowTitle(Cz("Import telefonn\xEDho seznamu"));
    setModal(true);

    m_model = new TImportStoragesModel(*this);
    m_model->m_describe = [this](const std::string& code) {
        return langText("Phonebook", "Storage_" + code, std::string());
    };
    m_model->SetHint(0, Platform::ToQString(langText("FormImportPB", "VSTStorages_Hint_0", "K\xF3" "d pam\xECti")));
    m_model->SetHint(1, Platform::ToQString(langText("FormImportPB", "VSTStorages_Hint_1", "Popis pam\xECti")));

    VSTStorages = new QTreeView(this);
    VSTStorages->setObjectName(QStringLiteral("VSTStorages"));
    VSTStorages->setRootIsDecorated(false);
    VSTStorages->setUniformRowHeights(true);
    VSTStorages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VSTStorages->setModel(m_model);
    VSTStorages->header()->setSectionsMovable(true);
    VSTStorages->header()->setStretchLastSection(false);
    VSTStorages->setColumnWidth(0, 50);
    VSTStorages->setColumnWidth(1, 243);
    connect(VSTStorages, &QTreeView::doubleClicked, this,
            [this](const QModelIndex& index) { SetRowChecked(index.row(), !RowChecked(index.row())); });

    CheckDeleteOld = new QCheckBox(Cz("P\xF8" "ed nahr\xE1t\xEDm smazat v\x9A" "echny z\xE1znamy"), this);
    CheckDeleteOld->setObjectName(QStringLiteral("CheckDeleteOld"));
    CheckPreservePositions = new QCheckBox(Cz("Zachovat pozice z\xE1znam\xF9 podle souboru"), this);
    CheckPreservePositions->setObjectName(QStringLiteral("CheckPreservePositions"));
    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton(Cz("Storno"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(VSTStorages, 1);
    column->addWidget(CheckDeleteOld);
    column->addWidget(CheckPreservePositions);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    column->addLayout(buttons);
    resize(330, 300);
}

TFormImportPB::~TFormImportPB() = default;

std::string TFormImportPB::langText(const std::string& section, const std::string& key, const std::string& def) const
{
    return m_language ? m_language(section, key, def) : def;
}

void TFormImportPB::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TFormImportPB::FormShow()
{
    m_model->SetRows(int(StoragesInFile.size()));
}

bool TFormImportPB::RowChecked(int row) const
{
    return m_model->Checked(row);
}

void TFormImportPB::SetRowChecked(int row, bool checked)
{
    m_model->SetChecked(row, checked);
}

void TFormImportPB::BtnOKClick()
{
    SelectedStorages.clear();
    for (int row = 0; row < m_model->rowCount() && size_t(row) < StoragesInFile.size(); ++row)
        if (m_model->Checked(row))
            SelectedStorages.push_back(StoragesInFile[size_t(row)]);
    accept();
}
