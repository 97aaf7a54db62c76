#pragma once
#include <QComboBox>
#include <QStyledItemDelegate>
#include <QWidget>
#include <functional>

#include "platform/colors.h"

// Small controls of the main window that Qt has no class for.

// A filled round shape with a brush colour and a tool tip (ShapeProgress).
class TFormMainShape : public QWidget {
    Q_OBJECT
public:
    explicit TFormMainShape(QWidget* parent = nullptr);

    TColor BrushColor() const { return brushColor_; }
    // Repaints only when the colour changes.
    void SetBrushColor(TColor color);
    QSize sizeHint() const override { return {14, 14}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor brushColor_ = clWhite;
};

// A drop-down list whose items and edit part the owner draws.
class TOwnerDrawComboBox : public QComboBox {
    Q_OBJECT
public:
    // Painter, item index, item rectangle, whether the edit part (not the
    // list) is being drawn. The painter's pen is the item's text colour.
    using TDrawItem = std::function<void(QPainter& painter, int index, const QRect& rect, bool editPart)>;

    explicit TOwnerDrawComboBox(QWidget* parent = nullptr);

    TDrawItem OnDrawItem;
    // Height of one list item.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class Delegate;
    int itemHeight_ = 19;
};

class TOwnerDrawComboBox::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(TOwnerDrawComboBox* combo);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TOwnerDrawComboBox* combo_;
};
