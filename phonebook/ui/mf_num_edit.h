#pragma once
#include "phonebook/ui/mf_custom_num_edit.h"

// The number edit of the family: the position cell editor of the
// phonebook tree.
class TMFNumEdit : public TMFCustomNumEdit {
    Q_OBJECT
public:
    using TMFCustomNumEdit::TMFCustomNumEdit;
};
