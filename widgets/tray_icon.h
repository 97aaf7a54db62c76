#pragma once
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMenu>
class QSystemTrayIcon;
class QWidget;
#include "widgets/image_list.h"

enum VTixTrayIcon_BubbleIcon { vbiNone, vbiInfo, vbiWarning, vbiError };

// A kind of mouse action on the icon.
enum VTixTrayIconMessage {
    vimClick,
    vimDoubleClick,
    vimMouseDown,
    vimMouseUp,
    vimLeftClickUp,
    vimLeftDoubleClick,
    vimRightClickUp,
    vimRightDoubleClick,
    vimNone
};

// The mouse messages of the icon, as a notification area reports them.
enum class VTixTrayMouseMessage {
    Move,
    LeftDown,
    LeftUp,
    LeftDouble,
    RightDown,
    RightUp,
    RightDouble,
    MiddleDown,
    MiddleUp,
    MiddleDouble,
    ContextMenu
};

// The application's icon in the notification area (QSystemTrayIcon), with
// a tip text, a balloon, an animation through the pictures of an image
// list, a popup menu, and minimising the main window to the icon and
// restoring it. A click acts only once it is known that no double click
// follows: the actions wait for the double-click time.
class VTixTrayIcon : public QObject {
    Q_OBJECT
public:
    explicit VTixTrayIcon(QObject* Owner = nullptr);
    ~VTixTrayIcon() override;

    // The window that minimises to the icon and is restored from it.
    QWidget* MainWindow() const { return m_mainWindow; }
    void SetMainWindow(QWidget* Window);

    bool Visible() const { return m_visible; }
    void SetVisible(bool Value);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool Value);
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& Value);
    // The tip as passed on: at most 127 characters, only with ShowHint.
    std::string TipText() const;
    const std::vector<std::string>& BubbleText() const { return m_bubbleText; }
    void SetBubbleText(const std::vector<std::string>& Lines);
    // The balloon text as passed on: the lines joined with CR, at most 255.
    std::string BubbleTextJoined() const;
    const std::string& BubbleTitle() const { return m_bubbleTitle; }
    // Keeps at most 63 characters.
    void SetBubbleTitle(const std::string& Value);
    VTixTrayIcon_BubbleIcon BubbleIcon() const { return m_bubbleIcon; }
    void SetBubbleIcon(VTixTrayIcon_BubbleIcon Value) { m_bubbleIcon = Value; }
    int BubbleTimeout() const { return m_bubbleTimeout; }
    void SetBubbleTimeout(int Value) { m_bubbleTimeout = Value; }
    bool IsShowBubble() const { return m_showBubble; }
    void SetShowBubble(bool Value);
    QMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu* Menu) { m_popupMenu = Menu; }
    bool Hide() const { return m_hide; }
    void SetHide(bool Value);
    VTixTrayIconMessage RestoreOn = vimDoubleClick;
    VTixTrayIconMessage PopupMenuOn = vimRightClickUp;
    VTixTrayIconMessage BubbleShowOn = vimLeftClickUp;
    const QIcon& Icon() const { return m_icon; }
    // Resets an IconIndex that lies in Icons to -1.
    void SetIcon(const QIcon& Value);
    TImageList* Icons() const { return m_icons; }
    void SetIcons(TImageList* Value);
    int IconIndex() const { return m_iconIndex; }
    void SetIconIndex(int Value);
    // The picture shown now: Icons[IconIndex] when there is one, else Icon.
    QIcon CurrentIcon() const;
    int AnimateInterval() const { return m_animateTimer.interval(); }
    void SetAnimateInterval(int Value) { m_animateTimer.setInterval(Value); }
    bool Animate() const { return m_animate; }
    void SetAnimate(bool Value);
    // At the end of the session the main window is closed the normal way
    // (its own close handling runs); the process is never halted.
    bool HaltOnEndSession = true;

    // Hands the icon to the notification area again (add or modify).
    void Update();
    virtual void ShowBubble();
    virtual void HideBubble();
    virtual void ShowMenu();
    virtual void Minimize();
    virtual void Restore();
    void EndSession();
    // The end of the desktop session: the icon goes and, with
    // HaltOnEndSession, the main window is closed the normal way.
    void SessionEnding();
    // One animation step: the next picture of Icons.
    void AnimateStep();

    // The mouse messages of the icon, in their order of steps.
    void HandleMouseMessage(VTixTrayMouseMessage Message, QPoint CursorPos, uint32_t Now);
    // Action dispatch with a new action at the tick Now.
    void CheckMouseClick(VTixTrayIconMessage Action, uint32_t Now);
    void CheckMouseClick(VTixTrayIconMessage Action);
    // The idle step: a pending click acts once the double-click time has
    // passed; the mouse leaving the icon is noticed. Returns whether done.
    bool HandleIdle(QPoint CursorPos, uint32_t Now);
    VTixTrayIconMessage LastAction() const { return m_lastAction; }
    bool MouseInside() const { return m_mouseInside; }

    // The double-click time (the platform's unless set).
    uint32_t DoubleClickTime() const;
    void SetDoubleClickTime(uint32_t Ms) { m_doubleClickTime = Ms; }

    std::function<void(VTixTrayIcon*)> OnMinimize;
    std::function<void(VTixTrayIcon*)> OnRestore;
    std::function<void(VTixTrayIcon*)> OnClick;
    std::function<void(VTixTrayIcon*)> OnDblClick;
    std::function<void(VTixTrayIcon*)> OnMouseEnter;
    std::function<void(VTixTrayIcon*)> OnMouseExit;
    std::function<void(VTixTrayIcon*, QPoint Pos)> OnMouseMove;
    std::function<void(VTixTrayIcon*, Qt::MouseButton Button, QPoint Pos)> OnMouseDown;
    std::function<void(VTixTrayIcon*, Qt::MouseButton Button, QPoint Pos)> OnMouseUp;
    std::function<void(VTixTrayIcon*)> OnAnimate;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void Dispatch(VTixTrayIconMessage Kind);
    void MinimizeHandling();
    void OnActivated(int Reason);
    void EnsureIdleHandler();

    std::unique_ptr<QSystemTrayIcon> m_tray;
    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_activeAtMinimize;
    bool m_visible = false;
    bool m_showHint = true;
    std::string m_hint;
    std::vector<std::string> m_bubbleText;
    std::string m_bubbleTitle;
    VTixTrayIcon_BubbleIcon m_bubbleIcon = vbiNone;
    int m_bubbleTimeout = 10000;
    bool m_showBubble = false;
    QPointer<QMenu> m_popupMenu;
    bool m_hide = true;
    QIcon m_icon;
    QPointer<TImageList> m_icons;
    int m_iconIndex = -1;
    bool m_animate = false;
    QTimer m_animateTimer;
    uint32_t m_doubleClickTime = 0;  // 0: the platform's

    VTixTrayIconMessage m_lastAction = vimNone;
    uint32_t m_lastActionTime = 0;
    QPoint m_lastCursor{32767, 32767};
    bool m_mouseInside = false;
    bool m_minimizing = false;
};
