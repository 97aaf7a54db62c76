#include "widgets/eliding_header_style.h"

#include <QHeaderView>
#include <QStyleOptionHeader>

void TElidingHeaderStyle::drawControl(ControlElement Element, const QStyleOption* Option, QPainter* Painter,
                                      const QWidget* Widget) const
{
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(Option);
    if (Element != CE_HeaderLabel || !header || header->text.isEmpty()) {
        QProxyStyle::drawControl(Element, Option, Painter, Widget);
        return;
    }
    // The label's room: its rectangle without the icon beside the text.
    int room = header->rect.width();
    if (!header->icon.isNull())
        room -= pixelMetric(PM_SmallIconSize, header, Widget) + 2;
    QStyleOptionHeader elided(*header);
    elided.text = header->fontMetrics.elidedText(header->text, Qt::ElideRight, room);
    QProxyStyle::drawControl(Element, &elided, Painter, Widget);
}

void TElidingHeaderStyle::Install(QHeaderView* Header)
{
    auto* style = new TElidingHeaderStyle;
    style->setParent(Header->parent() ? Header->parent() : Header);
    Header->setStyle(style);
}
