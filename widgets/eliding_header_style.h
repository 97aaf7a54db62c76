#pragma once
#include <QProxyStyle>

class QHeaderView;

// A style for a list's header whose captions end in "…" when they are
// wider than their section. Qt's header leaves such a caption cut where it
// meets the section's edges, and a centred one loses its first letters
// ("osition" for "Position").
class TElidingHeaderStyle : public QProxyStyle {
public:
    void drawControl(ControlElement Element, const QStyleOption* Option, QPainter* Painter,
                     const QWidget* Widget = nullptr) const override;

    // Gives the header a style of this kind, owned by the header's parent
    // (which outlives the header's use of it).
    static void Install(QHeaderView* Header);
};
