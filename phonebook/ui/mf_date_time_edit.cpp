#include "phonebook/ui/mf_date_time_edit.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <cmath>

namespace {

const QDate Epoch(1899, 12, 30);
constexpr double MsPerDay = 86400000.0;

}  // namespace

TMFCustomDateTimeEdit::TMFCustomDateTimeEdit(QWidget* Parent)
    : QDateTimeEdit(Parent), TMFEditRules(this, {QPalette::Base})
{
    resize(186, 21);
    setCalendarPopup(true);
    SetKind(dtkDate);
    connect(this, &QDateTimeEdit::dateTimeChanged, this, [this] {
        ColorsChanged();
        if (Events.OnChange)
            Events.OnChange(this);
    });
}

void TMFCustomDateTimeEdit::SetKind(TDateTimeKind Value)
{
    m_kind = Value;
    const QLocale locale;
    setDisplayFormat(Value == dtkDate ? locale.dateFormat(QLocale::ShortFormat)
                                      : locale.timeFormat(QLocale::LongFormat));
    setCalendarPopup(Value == dtkDate);
}

Tixutils::TDateTime TMFCustomDateTimeEdit::Date() const
{
    return double(Epoch.daysTo(date()));
}

void TMFCustomDateTimeEdit::SetDate(Tixutils::TDateTime Value)
{
    setDate(Epoch.addDays(qint64(std::floor(Value))));
}

Tixutils::TDateTime TMFCustomDateTimeEdit::Time() const
{
    return QTime(0, 0).msecsTo(time()) / MsPerDay;
}

void TMFCustomDateTimeEdit::SetTime(Tixutils::TDateTime Value)
{
    const double fraction = Value - std::floor(Value);
    setTime(QTime(0, 0).addMSecs(int(std::lround(fraction * MsPerDay)) % int(MsPerDay)));
}

bool TMFCustomDateTimeEdit::DroppedDown() const
{
    return calendarPopup() && calendarWidget() && calendarWidget()->isVisible();
}

void TMFCustomDateTimeEdit::SetLineStyle(TLineStyle Value)
{
    m_lineStyle = Value;
    update();
}

void TMFCustomDateTimeEdit::keyPressEvent(QKeyEvent* Event)
{
    if (RulesKey(Event, true, [this](bool next) { focusNextPrevChild(next); }))
        return;
    QDateTimeEdit::keyPressEvent(Event);
}

void TMFCustomDateTimeEdit::focusInEvent(QFocusEvent* Event)
{
    QDateTimeEdit::focusInEvent(Event);
    if (Reported(Event))
        ColorsEntered();
}

void TMFCustomDateTimeEdit::focusOutEvent(QFocusEvent* Event)
{
    if (Reported(Event))
        ColorsLeft();
    QDateTimeEdit::focusOutEvent(Event);
}

void TMFCustomDateTimeEdit::paintEvent(QPaintEvent* Event)
{
    QDateTimeEdit::paintEvent(Event);
    if (hasFrame())
        return;
    QPainter p(this);
    PaintUnderline(p, rect(), m_lineStyle);
}
