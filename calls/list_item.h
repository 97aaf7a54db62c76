#pragma once
#include <string>
#include <vector>

#include "foundation/stated_object.h"

class VListViewUser;

// One row of a list view, as a model object. Its data never touch the
// view when they change: the object marks itself (activate) and the owning
// list writes the row on its next pass. Run states (VStatedObject):
//   0 row up to date, 1 row must be written, 2 row must be removed,
//   3 row removed, the object may be freed.
//
// Rows are not stored: an item only knows whether it has one; its row
// index is its place among the owner's items that have a row.
class VListItem : public VStatedObject {
public:
    // One row as it should look.
    struct MirrorItem {
        std::string caption;
        int image = -1;
        std::vector<std::string> subItems;

        // Empty caption, image -1, no sub-items.
        void clear();
        // Sub-item Index; an index beyond the end appends.
        void setSubItem(int Index, const std::string& Text);
        bool operator==(const MirrorItem&) const = default;
    };

    // A negative number becomes 0.
    explicit VListItem(int number);
    // Removes the row; the owner forgets the item as the one to mark.
    ~VListItem() override;

    // The row must be written; an owner is woken when the item was idle.
    void activate() override;
    // The row must be removed. True once the item has no row, its removal
    // has passed and nobody holds it: it may be freed then.
    bool requestStop() override;
    // One step of the owner's pass. Row is the index the item's row has, or
    // the one a new row of it gets. True when the view changed.
    virtual bool updateRow(int Row);
    virtual void setOwner(VListViewUser* Owner);
    // Hooks of a derived row: its row was inserted or deleted, the item
    // before or after it was removed or added. The base does nothing.
    virtual void rowInserted();
    virtual void rowDeleted();
    virtual void neighbourRemoved();
    virtual void neighbourAdded();
    // The row may be edited at all (the list decides the cells).
    virtual bool canEdit();
    virtual int getNumber() const;
    virtual bool hasRow() const;
    // A hidden item gets no row.
    virtual bool isHidden() const;
    // Fills the description of the row: caption, image, sub-items.
    virtual void refreshTexts(MirrorItem& Mirror) = 0;
    // The user edited a cell; the base only marks the row.
    virtual void setText(int Column, const std::string& Text);
    virtual std::string getNumberText() const = 0;
    // The row as one line of text: caption "=" image "," and the sub-items
    // as comma text ("=-1," for an item without owner). A caption holding
    // "=" cannot be read back by VListViewUser::loadRows.
    virtual std::string rowText();
    // Takes the number from a decimal text; a text that is no number keeps
    // the current number, and a negative one gives 0, as the constructor.
    virtual void setFromText(const std::string& Text);

    // Stores the image index; the row shows it from the next pass.
    void setImage(int Index);
    int getImage() const { return image; }
    // Takes the row out of the view now (the item is remembered as the one
    // to mark when its row carried the marks) and marks the item, so that
    // a later pass writes it again.
    void removeRow();

    // Holders (a queue of rows to send) keep a row alive: a row asked to
    // stop leaves the view at once, but is freed only once released by all.
    void hold() { ++holds; }
    void release();
    int holdCount() const { return holds; }

    VListViewUser* getOwner() const { return owner; }
    // The row as last written (empty while the item has no row).
    const MirrorItem& shownRow() const { return shown; }

protected:
    VListViewUser* owner = nullptr;
    int number;
    int image = -1;

private:
    friend class VListViewUser;
    bool rowShown = false;
    int holds = 0;
    MirrorItem shown;
};
