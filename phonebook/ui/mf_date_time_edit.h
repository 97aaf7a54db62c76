#pragma once
#include <QDateTimeEdit>

#include "foundation/tixutils_datetime.h"
#include "phonebook/ui/mf_edit_rules.h"
#include "phonebook/ui/mf_edit_types.h"

enum TDateTimeKind { dtkDate, dtkTime };

// A date or time picker with the edits' colour, Required and Keys rules;
// without a frame it draws the underline of LineStyle. Enter is always
// consumed.
class TMFCustomDateTimeEdit : public QDateTimeEdit, public TMFEditRules {
    Q_OBJECT
public:
    explicit TMFCustomDateTimeEdit(QWidget* Parent = nullptr);

    TDateTimeKind Kind() const { return m_kind; }
    void SetKind(TDateTimeKind Value);
    // Days since 1899-12-30 (the whole part of Date, the fraction of Time).
    Tixutils::TDateTime Date() const;
    void SetDate(Tixutils::TDateTime Value);
    Tixutils::TDateTime Time() const;
    void SetTime(Tixutils::TDateTime Value);
    // True while the calendar is dropped down.
    bool DroppedDown() const;

    TLineStyle LineStyle() const { return m_lineStyle; }
    void SetLineStyle(TLineStyle Value);

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;

private:
    bool FieldEmpty() const override { return text().isEmpty(); }

    TDateTimeKind m_kind = dtkDate;
    TLineStyle m_lineStyle = lsRaised;
};

class TMFDateTimeEdit : public TMFCustomDateTimeEdit {
    Q_OBJECT
public:
    using TMFCustomDateTimeEdit::TMFCustomDateTimeEdit;
};
