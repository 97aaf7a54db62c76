#include "app/form_main_controls.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "platform/qt/qt_text.h"

// ---- TFormMainShape ---------------------------------------------------------

TFormMainShape::TFormMainShape(QWidget* parent) : QWidget(parent)
{
    setFixedSize(14, 14);
}

void TFormMainShape::SetBrushColor(TColor color)
{
    if (color == brushColor_)
        return;
    brushColor_ = color;
    update();
}

void TFormMainShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fill = Platform::ToQColor(brushColor_);
    p.setPen(QPen(fill.darker(160), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
}

// ---- TOwnerDrawComboBox -----------------------------------------------------

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new Delegate(this));
}

void TOwnerDrawComboBox::SetItemHeight(int height)
{
    if (height < 1 || height == itemHeight_)
        return;
    itemHeight_ = height;
    updateGeometry();
}

void TOwnerDrawComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect edit = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const int index = currentIndex();
    if (!OnDrawItem || index < 0 || index >= count())
        return;
    painter.save();
    painter.setClipRect(edit);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    OnDrawItem(painter, index, edit, true);
    painter.restore();
}

TOwnerDrawComboBox::Delegate::Delegate(TOwnerDrawComboBox* combo) : QStyledItemDelegate(combo), combo_(combo) {}

void TOwnerDrawComboBox::Delegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(option.rect);
    if (combo_->OnDrawItem)
        combo_->OnDrawItem(*painter, index.row(), option.rect, false);
    painter->restore();
}

QSize TOwnerDrawComboBox::Delegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setHeight(combo_->ItemHeight());
    return s;
}
