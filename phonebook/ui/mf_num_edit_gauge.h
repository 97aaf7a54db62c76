#pragma once
#include <QWidget>

class TMFCustomNumEdit;

// The number edit's thin bar along its bottom edge: the value as a bar in
// the edit's gauge colours; a click or a drag on it sets the value.
class TMFNumEditGauge : public QWidget {
    Q_OBJECT
public:
    explicit TMFNumEditGauge(TMFCustomNumEdit* Edit);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;

private:
    TMFCustomNumEdit* m_edit;
};
