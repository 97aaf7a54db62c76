#pragma once
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QTabBar;

// A row of tabs over one client control that all tabs share (the tabs
// only choose what the client shows): the tabs stand above a framed area
// that holds the client. Tabs light up under the mouse.
class TTabControl : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    explicit TTabControl(QWidget* parent = nullptr);

    QTabBar* Tabs() const { return FTabs; }
    // The control shown in the framed area, laid over it whole.
    void SetClient(QWidget* client);
    QWidget* Client() const { return FClient; }

    // The tab texts in place of the old ones; the selected tab stays while
    // it exists, else the first one is selected. Fires no change.
    void SetTabTexts(const std::vector<std::string>& texts);
    std::vector<std::string> TabTexts() const;
    // -1 when there are no tabs.
    int TabIndex() const;
    void SetTabIndex(int index);
    std::string TabText(int index) const;

    // The user selected another tab.
    void SetOnChange(TNotifyEvent handler) { FOnChange = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTabBar* FTabs;
    QWidget* FClient = nullptr;
    QWidget* FArea;
    TNotifyEvent FOnChange;
};
