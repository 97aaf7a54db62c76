#pragma once
#include <cstdint>

// The kinds of cell editor; only etEditor, etButtonEditor, etComboEditor,
// etNumEditor and etDateTimeEditor have a control, a link of another kind
// edits nothing.
enum TVSTEditorType : uint8_t {
    etNone = 0,
    etEditor = 1,
    etButtonEditor = 2,
    etComboEditor = 3,
    etNumEditor = 4,
    etCurrencyEditor = 5,
    etDateTimeEditor = 6,
    etFilenameEditor = 7,
    etDirectoryEditor = 8,
    etColorEditor = 9,
    etFontEditor = 10
};

struct TVSTEditorOptions {
    // On: the links leave the controls' change and key-down events alone
    // (no key then ends an edit, and no change marks the cell modified).
    bool KeepControlEvents = false;
};
