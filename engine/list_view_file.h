#pragma once
#include <memory>
#include <vector>

#include "engine/list_item_file.h"
#include "foundation/stated_object.h"

// A file list (files to send, or files received) as a model: rows in
// ascending number order, removed by asking them to stop and then running
// the periodic step. The list view that shows it is bound by the window.
class VListViewFile : public VStatedObject {
public:
    // outgoing: true for the send list, false for the received list.
    explicit VListViewFile(bool outgoing);
    ~VListViewFile() override;

    bool isOutgoing() const { return outgoing; }
    int getCount() const { return int(items.size()); }
    // The highest row number; -1 for an empty list.
    int getMaxId() const;
    // Inserts the row after the last row whose number is not above its own.
    VListItemFile* addItem(std::unique_ptr<VListItemFile> item);
    // Row at a position; null out of range.
    VListItemFile* getItem(int position) const;
    // The row shown in a row of the list view (a position here); null for none.
    VListItemFile* getItemOwner(int row) const;
    // The periodic step: rows asked to stop go away; a list asked to stop
    // finishes once it is empty.
    virtual void tick();
    // Asks every row to stop, then the list; true once the list has finished.
    bool requestStop() override;

private:
    bool outgoing;
    std::vector<std::unique_ptr<VListItemFile>> items;
};
