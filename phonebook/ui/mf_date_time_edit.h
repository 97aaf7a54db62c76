#pragma once
#include <QDateTimeEdit>

#include "foundation/tixutils_datetime.h"
#include "phonebook/ui/mf_color_rules.h"
#include "phonebook/ui/mf_edit_types.h"

enum TDateTimeKind { dtkDate, dtkTime };

// A date or time picker with the edits' colour, Required and Keys rules;
// without a frame it draws the underline of LineStyle. Enter is always
// consumed.
class TMFCustomDateTimeEdit : public QDateTimeEdit {
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
    TColor FocusedColor() const { return m_colors.FocusedColor(); }
    void SetFocusedColor(TColor Value) { m_colors.SetFocusedColor(Value, hasFocus()); }
    bool Required() const { return m_colors.Required(); }
    void SetRequired(bool Value) { m_colors.SetRequired(Value, Empty(), hasFocus(), m_colors.NormalColor()); }
    TColor RequiredColor() const { return m_colors.RequiredColor(); }
    void SetRequiredColor(TColor Value) { m_colors.SetRequiredColor(Value, Empty()); }
    TKeySets Keys() const { return m_keys; }
    void SetKeys(TKeySets Value) { m_keys = Value; }
    TColor Color() const { return m_colors.Color(); }
    void SetColor(TColor Value) { m_colors.SetColor(Value); }

    TMFEditEvents Events;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;

private:
    bool Empty() const { return text().isEmpty(); }

    TMFColorRules m_colors;
    TDateTimeKind m_kind = dtkDate;
    TLineStyle m_lineStyle = lsRaised;
    TKeySets m_keys;
};

class TMFDateTimeEdit : public TMFCustomDateTimeEdit {
    Q_OBJECT
public:
    using TMFCustomDateTimeEdit::TMFCustomDateTimeEdit;
};
