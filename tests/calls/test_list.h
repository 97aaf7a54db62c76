#pragma once
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "calls/list_item.h"
#include "calls/list_view_model.h"
#include "calls/list_view_user.h"

// A list of plain rows for the list-view tests: each item shows its
// caption and sub-items, counts how often it was drawn and which hooks ran,
// and takes edits into its cells.
namespace CallsTest {

class TTestItem : public VListItem {
public:
    explicit TTestItem(int number, std::string caption = {}) : VListItem(number), caption(std::move(caption)) {}

    void refreshTexts(MirrorItem& Mirror) override
    {
        ++refreshes;
        Mirror.caption = caption;
        for (size_t i = 0; i < subItems.size(); ++i)
            Mirror.setSubItem(int(i), subItems[i]);
    }
    std::string getNumberText() const override { return std::to_string(number); }
    void setText(int Column, const std::string& Text) override
    {
        edits.emplace_back(Column, Text);
        if (Column == 0)
            caption = Text;
        else if (Column > 0) {
            if (subItems.size() < size_t(Column))
                subItems.resize(size_t(Column));
            subItems[size_t(Column - 1)] = Text;
        }
        VListItem::setText(Column, Text);
    }
    bool isHidden() const override { return hidden; }
    void rowInserted() override { ++inserted; }
    void rowDeleted() override { ++deleted; }
    void neighbourAdded() override { ++added; }
    void neighbourRemoved() override { ++removed; }

    std::string caption;
    std::vector<std::string> subItems;
    std::vector<std::pair<int, std::string>> edits;
    bool hidden = false;
    int refreshes = 0, inserted = 0, deleted = 0, added = 0, removed = 0;
};

class TTestList : public VListViewUser {
public:
    explicit TTestList(int columns = 3) : VListViewUser(columns) {}

    std::unique_ptr<VListItem> createItem(int Number) override { return std::make_unique<TTestItem>(Number); }
    int canEditCell(int, VListItem*, int Column) override
    {
        const auto it = editors.find(Column);
        return it == editors.end() ? 0 : it->second;
    }
    std::string columnOptions(int Column) override
    {
        const auto it = options.find(Column);
        return it == options.end() ? std::string() : it->second;
    }
    void activated() override { ++activations; }

    // Adds an item with a caption; returns it.
    TTestItem* add(int number, const std::string& caption)
    {
        return static_cast<TTestItem*>(addItem(std::make_unique<TTestItem>(number, caption)));
    }
    TTestItem* at(int position) const { return static_cast<TTestItem*>(getItem(position)); }
    // Captions of the view's rows, joined by blanks.
    std::string rows() const
    {
        std::string all;
        VListViewModel& m = getModel();
        for (int r = 0; r < m.rowCount(); ++r)
            all += (r ? " " : "") + m.data(m.index(r, 0)).toString().toStdString();
        return all;
    }

    // Column -> editor kind (canEditCell) and choices (comma text).
    std::map<int, int> editors;
    std::map<int, std::string> options;
    int activations = 0;
};

}  // namespace CallsTest
