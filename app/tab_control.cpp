#include "app/tab_control.h"

#include <QBoxLayout>
#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include "platform/qt/qt_text.h"

TTabControl::TTabControl(QWidget* parent) : QWidget(parent), FTabs(new QTabBar(this)), FArea(new QWidget(this))
{
    FTabs->setAttribute(Qt::WA_Hover);
    FTabs->setDrawBase(false);
    FTabs->setExpanding(false);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(FTabs);
    column->addWidget(FArea, 1);
    auto* area = new QVBoxLayout(FArea);
    area->setContentsMargins(2, 2, 2, 2);
    connect(FTabs, &QTabBar::currentChanged, this, [this](int) {
        if (FOnChange)
            FOnChange(this);
    });
}

void TTabControl::SetClient(QWidget* client)
{
    FClient = client;
    client->setParent(FArea);
    FArea->layout()->addWidget(client);
}

void TTabControl::SetTabTexts(const std::vector<std::string>& texts)
{
    const QSignalBlocker quiet(FTabs);
    bool changed = false;
    while (FTabs->count() > int(texts.size())) {
        FTabs->removeTab(FTabs->count() - 1);
        changed = true;
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        const QString text = Platform::ToQString(texts[i]);
        if (int(i) < FTabs->count()) {
            if (FTabs->tabText(int(i)) != text) {
                FTabs->setTabText(int(i), text);
                changed = true;
            }
        } else {
            FTabs->addTab(text);
            changed = true;
        }
    }
    if (FTabs->count() > 0 && FTabs->currentIndex() < 0)
        FTabs->setCurrentIndex(0);
    // A tab bar that is not shown (its page is another) tells its layout
    // nothing of the tabs it got, and the layout would keep it 0 pixels
    // high: no tab could be seen or clicked.
    if (changed)
        FTabs->updateGeometry();
}

std::vector<std::string> TTabControl::TabTexts() const
{
    std::vector<std::string> texts;
    for (int i = 0; i < FTabs->count(); ++i)
        texts.push_back(TabText(i));
    return texts;
}

int TTabControl::TabIndex() const
{
    return FTabs->currentIndex();
}

void TTabControl::SetTabIndex(int index)
{
    FTabs->setCurrentIndex(index);
}

std::string TTabControl::TabText(int index) const
{
    return index >= 0 && index < FTabs->count() ? Platform::FromQString(FTabs->tabText(index)) : std::string();
}

void TTabControl::paintEvent(QPaintEvent*)
{
    // The frame of a tab page around the client area.
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = FArea->geometry();
    frame.tabBarSize = FTabs->sizeHint();
    frame.shape = FTabs->shape();
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}
