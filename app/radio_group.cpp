#include "app/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QGridLayout>

TRadioGroup::TRadioGroup(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), FButtons(new QButtonGroup(this)), FLayout(new QGridLayout(this))
{
    FButtons->setExclusive(true);
    FLayout->setSpacing(4);
    connect(FButtons, &QButtonGroup::idClicked, this, &TRadioGroup::buttonClicked);
    // Every way a button gets checked or cleared (click, keys, code) toggles it.
    connect(FButtons, &QButtonGroup::idToggled, this, [this](int, bool) { FCheckedId = FButtons->checkedId(); });
}

QStringList TRadioGroup::Items() const
{
    QStringList items;
    for (QRadioButton* b : FItems)
        items << b->text();
    return items;
}

void TRadioGroup::SetItems(const QStringList& items)
{
    const int selected = ItemIndex();
    while (FItems.size() > size_t(items.size())) {
        QRadioButton* b = FItems.back();
        FItems.pop_back();
        FButtons->removeButton(b);
        delete b;
    }
    for (int i = 0; i < items.size(); ++i) {
        if (size_t(i) < FItems.size()) {
            if (FItems[i]->text() != items[i])
                FItems[i]->setText(items[i]);
            continue;
        }
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(objectName() + QLatin1String("_Item") + QString::number(i));
        FButtons->addButton(b, i);
        FItems.push_back(b);
    }
    placeItems();
    SetItemIndex(selected);
    // A removed button leaves the group without toggling.
    FCheckedId = FButtons->checkedId();
}

void TRadioGroup::SetColumns(int columns)
{
    FColumns = columns < 1 ? 1 : columns;
    placeItems();
}

void TRadioGroup::placeItems()
{
    for (size_t i = 0; i < FItems.size(); ++i) {
        FLayout->removeWidget(FItems[i]);
        FLayout->addWidget(FItems[i], int(i) / FColumns, int(i) % FColumns);
    }
}

int TRadioGroup::ItemIndex() const { return FCheckedId; }

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && size_t(index) < FItems.size()) {
        FItems[index]->setChecked(true);
        FLastIndex = index;
        return;
    }
    FLastIndex = -1;
    // An exclusive group keeps one button checked: lift the rule to clear.
    if (QAbstractButton* checked = FButtons->checkedButton()) {
        FButtons->setExclusive(false);
        checked->setChecked(false);
        FButtons->setExclusive(true);
    }
    FCheckedId = FButtons->checkedId();
}

QRadioButton* TRadioGroup::Button(int index) const
{
    return index >= 0 && size_t(index) < FItems.size() ? FItems[index] : nullptr;
}

void TRadioGroup::buttonClicked(int index)
{
    // A click on the item already selected changes nothing.
    if (index == FLastIndex)
        return;
    FLastIndex = index;
    if (FOnClick)
        FOnClick(this);
}
