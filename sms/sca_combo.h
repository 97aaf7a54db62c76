#pragma once
#include <string>

// The combo box that shows the SMS-centre list, as the SMS list sees it:
// items and the typed text as byte strings in the system code page. The
// options dialog's combo box stands behind it in the program; tests use a
// plain one. Adding an item changes neither the selection nor the text.
class VTixSCACombo {
public:
    virtual ~VTixSCACombo() = default;
    virtual int count() const = 0;
    virtual std::string item(int index) const = 0;
    // Items, selection and text.
    virtual void clear() = 0;
    virtual void add(const std::string& text) = 0;
    // The selected item; -1 when none is (a typed text that is no item).
    virtual int itemIndex() const = 0;
    // Selecting an item shows its text; -1 selects none and empties the text.
    virtual void setItemIndex(int index) = 0;
    virtual std::string text() const = 0;
    // Shows a typed text (no item selected).
    virtual void setText(const std::string& text) = 0;
};
