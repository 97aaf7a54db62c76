#include "phonebook/ui/mf_num_edit_popup.h"

#include <QFrame>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int PanelBorder = 4;
// The class library's track bar is 45 pixels thick; the form is 10 less.
constexpr int Thickness = 45 - 10;
}  // namespace

TMFNumEditPopupForm::TMFNumEditPopupForm()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(PanelBorder, PanelBorder, PanelBorder, PanelBorder);
    m_trackBar = new QSlider(Qt::Horizontal, panel);
    m_trackBar->setRange(0, 1000);
    m_trackBar->setTickInterval(50);
    m_trackBar->setTickPosition(QSlider::TicksBelow);
    m_trackBar->setFocusPolicy(Qt::NoFocus);
    inner->addWidget(m_trackBar);
    SetOrientation(Qt::Horizontal, 125);
}

void TMFNumEditPopupForm::SetOrientation(Qt::Orientation Orientation, int Length)
{
    m_trackBar->setOrientation(Orientation);
    if (Orientation == Qt::Horizontal)
        setFixedSize(Length, Thickness);
    else
        setFixedSize(Thickness, Length);
}

int TMFNumEditPopupForm::PositionAt(QPoint GlobalPos) const
{
    const QPoint p = m_trackBar->mapFromGlobal(GlobalPos);
    // Qt's vertical bar runs upwards, as the value does.
    if (m_trackBar->orientation() == Qt::Horizontal)
        return QStyle::sliderValueFromPosition(0, 1000, std::max(0, p.x()), m_trackBar->width());
    return QStyle::sliderValueFromPosition(0, 1000, std::max(0, p.y()), m_trackBar->height(), true);
}
