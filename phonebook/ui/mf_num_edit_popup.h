#pragma once
#include <QWidget>

class QSlider;

// The number edit's pop-up: a track bar (0..1000, ticks every 50) in a
// panel with a 4-pixel border, shown while the mouse holds the pop-up
// button down. It stays on top and never takes the focus.
class TMFNumEditPopupForm : public QWidget {
    Q_OBJECT
public:
    TMFNumEditPopupForm();

    QSlider* TrackBar() const { return m_trackBar; }
    // Lays the bar out along Length pixels.
    void SetOrientation(Qt::Orientation Orientation, int Length);
    // The position under a screen point.
    int PositionAt(QPoint GlobalPos) const;

private:
    QSlider* m_trackBar;
};
