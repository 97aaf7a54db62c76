#pragma once
#include <QGroupBox>
#include <QStringList>
#include <functional>
#include <vector>

class QButtonGroup;
class QRadioButton;
class QGridLayout;

// A framed group of radio items chosen by index: the caption is the
// group's title, the items are its radio buttons, one below the other or
// in several columns (filled row by row).
// The form translation finds the items through the properties "items" and
// "itemIndex". OnClick fires when the user picks another item; setting
// the index from code fires nothing.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ Items WRITE SetItems)
    Q_PROPERTY(int itemIndex READ ItemIndex WRITE SetItemIndex)
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    explicit TRadioGroup(const QString& caption, QWidget* parent = nullptr);

    QStringList Items() const;
    // Keeps the selected index when it still names an item.
    void SetItems(const QStringList& items);
    // -1 when nothing is selected.
    int ItemIndex() const;
    // An index outside the items clears the selection.
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const;
    // Items side by side in this many columns (1 at first).
    void SetColumns(int columns);

    void SetOnClick(TNotifyEvent handler) { FOnClick = std::move(handler); }

private:
    void buttonClicked(int index);

    QButtonGroup* FButtons;
    void placeItems();

    QGridLayout* FLayout;
    int FColumns = 1;
    std::vector<QRadioButton*> FItems;
    int FLastIndex = -1;
    // The checked item as QButtonGroup::checkedId() gives it, kept on every
    // change of a button: the engine reads the options on every tick.
    int FCheckedId = -1;
    TNotifyEvent FOnClick;
};
