#pragma once
#include "phonebook/ui/mf_custom_edit.h"

// The plain edit of the family: the text cell editor of the phonebook tree.
class TMFEdit : public TMFCustomEdit {
    Q_OBJECT
public:
    using TMFCustomEdit::TMFCustomEdit;
};
