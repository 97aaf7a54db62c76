#include "phonebook/ui/mf_num_edit_gauge.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "phonebook/ui/mf_custom_num_edit.h"
#include "platform/qt/qt_text.h"

TMFNumEditGauge::TMFNumEditGauge(TMFCustomNumEdit* Edit) : QWidget(Edit), m_edit(Edit)
{
    setCursor(Qt::PointingHandCursor);
}

void TMFNumEditGauge::paintEvent(QPaintEvent*)
{
    const double fraction = m_edit->GaugeFraction();
    if (fraction < 0 || width() <= 0)
        return;
    QPainter p(this);
    QLinearGradient run(0, 0, width(), 0);
    run.setColorAt(0, Platform::ToQColor(m_edit->GaugeBeginColor()));
    run.setColorAt(1, Platform::ToQColor(m_edit->GaugeEndColor()));
    int from = 0;
    int to = int(fraction * width() + 0.5);
    if (m_edit->GaugeAroundCenter()) {
        from = width() / 2;
        if (to < from)
            std::swap(from, to);
    }
    if (to > from)
        p.fillRect(QRect(from, 1, to - from, height() - 2), run);
}

void TMFNumEditGauge::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton)
        m_edit->GaugeClicked(int(Event->position().x()));
}

void TMFNumEditGauge::mouseMoveEvent(QMouseEvent* Event)
{
    if (Event->buttons() & Qt::LeftButton)
        m_edit->GaugeClicked(int(Event->position().x()));
}
