#pragma once
#include <QIcon>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <vector>

#include "sms/sms_list_model.h"
#include "widgets/image_list.h"

// Cells of the SMS list: the first column shows the message state's
// picture (the model's state role as index into the image list).
class TSMSStateDelegate : public QStyledItemDelegate {
public:
    TSMSStateDelegate(const TImageList& images, QObject* parent) : QStyledItemDelegate(parent)
    {
        for (int i = 0; i < images.Count(); ++i)
            icons_.emplace_back(QPixmap::fromImage(images.Image(i)));
        size_ = QSize(images.Width(), images.Height());
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() != 0)
            return;
        const QVariant state = index.data(VTixSMSListModel::StateRole);
        const int picture = state.isValid() ? state.toInt() : -1;
        if (picture < 0 || picture >= int(icons_.size()))
            return;
        option->icon = icons_[size_t(picture)];
        option->decorationSize = size_;
        option->features |= QStyleOptionViewItem::HasDecoration;
    }

private:
    std::vector<QIcon> icons_;
    QSize size_;
};
