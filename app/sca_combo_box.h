#pragma once
#include <QPointer>
#include <string>

#include "sms/sca_combo.h"

class QComboBox;

// The options dialog's SMS-centre combo box (ComboSCA) as the SMS list's
// combo: texts in the system code page; adding an item keeps the
// selection and the typed text; a typed text that differs from the
// selected item's counts as no selection. A combo box that is gone reads
// as empty.
class TSCAComboBox : public VTixSCACombo {
public:
    explicit TSCAComboBox(QComboBox* combo);

    int count() const override;
    std::string item(int index) const override;
    void clear() override;
    void add(const std::string& text) override;
    int itemIndex() const override;
    void setItemIndex(int index) override;
    std::string text() const override;
    void setText(const std::string& text) override;

private:
    QPointer<QComboBox> combo_;
};
