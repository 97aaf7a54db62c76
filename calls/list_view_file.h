#pragma once
#include <memory>
#include <string>

#include "calls/list_item_file.h"
#include "calls/list_view_user.h"

// A file list: files to send (editable in place: path and destination) or
// files received. Rows are VListItemFile objects numbered by the engine.
class VListViewFile : public VListViewUser {
public:
    // Columns: "Soubor", "Délka", "Stav", "Cíl" (or "Zdroj").
    static constexpr int Columns = 4;

    explicit VListViewFile(bool editable);

    bool isEditable() const { return editable; }
    std::unique_ptr<VListItem> createItem(int Number) override;
    // 1 (free text) for the path and the destination of an editable list,
    // except on a row being sent; else 0.
    int canEditCell(int Row, VListItem* Item, int Column) override;
    // The path column: names of the file system, UTF-8.
    bool isFileNameColumn(int Column) const override { return Column == 0; }
    VListItemFile* getItem(int Position) const override;
    VListItemFile* getItemOwner(int Row) const override;

    // The folder of the rows' temporary files.
    void setTempFolder(const std::string& folder) { tempFolder = folder; }
    const std::string& getTempFolder() const { return tempFolder; }

private:
    bool editable;
    std::string tempFolder;
};
