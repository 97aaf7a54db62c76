#include "widgets/tray_icon.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QPixmap>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include "foundation/tixutils_timer.h"
#include "platform/qt/qt_text.h"
#include "platform/tick.h"
#include "widgets/application_events.h"
#include "widgets/image_list.h"

VTixTrayIcon::VTixTrayIcon(QObject* Owner) : QObject(Owner)
{
    m_icon = QApplication::windowIcon();
    m_animateTimer.setInterval(1000);
    connect(&m_animateTimer, &QTimer::timeout, this, &VTixTrayIcon::AnimateStep);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = std::make_unique<QSystemTrayIcon>();
        connect(m_tray.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason r) { OnActivated(int(r)); });
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, [this] { SessionEnding(); });
    }
    EnsureIdleHandler();
}

VTixTrayIcon::~VTixTrayIcon()
{
    if (VTixApplicationEvents* events = VTixApplicationEvents::Existing())
        events->Unregister(this);
    if (m_tray && m_visible)
        m_tray->hide();
    if (m_mainWindow)
        m_mainWindow->removeEventFilter(this);
}

void VTixTrayIcon::EnsureIdleHandler()
{
    VTixApplicationEvents::Instance()->RegisterIdle(
        this, [this](bool& done) { done = HandleIdle(QCursor::pos(), Platform::GetTickCount()); });
}

void VTixTrayIcon::SetMainWindow(QWidget* Window)
{
    if (Window == m_mainWindow)
        return;
    if (m_mainWindow)
        m_mainWindow->removeEventFilter(this);
    m_mainWindow = Window;
    if (Window)
        Window->installEventFilter(this);
}

// ---- properties -----------------------------------------------------------------

namespace {

void ApplyTaskbarButton(QWidget* window, bool hide, bool visible)
{
    if (!window || !hide)
        return;
    if (visible && window->isMinimized()) {
        window->hide();
    } else if (!window->isVisible() && window->isMinimized()) {
        window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->showMinimized();
        window->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

}  // namespace

void VTixTrayIcon::SetVisible(bool Value)
{
    if (Value == m_visible)
        return;
    m_visible = Value;
    Update();
    ApplyTaskbarButton(m_mainWindow, m_hide, m_visible);
}

void VTixTrayIcon::SetHide(bool Value)
{
    if (Value == m_hide)
        return;
    m_hide = Value;
    ApplyTaskbarButton(m_mainWindow, m_hide, m_visible);
}

void VTixTrayIcon::SetShowHint(bool Value)
{
    m_showHint = Value;
    Update();
}

void VTixTrayIcon::SetHint(const std::string& Value)
{
    m_hint = Value;
    Update();
}

std::string VTixTrayIcon::TipText() const
{
    if (!m_showHint)
        return {};
    return m_hint.substr(0, 127);
}

void VTixTrayIcon::SetBubbleText(const std::vector<std::string>& Lines) { m_bubbleText = Lines; }

std::string VTixTrayIcon::BubbleTextJoined() const
{
    std::string s;
    for (size_t i = 0; i < m_bubbleText.size(); ++i) {
        if (i)
            s += '\r';
        s += m_bubbleText[i];
    }
    return s.substr(0, 255);
}

void VTixTrayIcon::SetBubbleTitle(const std::string& Value) { m_bubbleTitle = Value.substr(0, 63); }

void VTixTrayIcon::SetShowBubble(bool Value)
{
    if (Value == m_showBubble)
        return;
    m_showBubble = Value;
    if (Value)
        ShowBubble();
    else
        HideBubble();
}

void VTixTrayIcon::SetIcon(const QIcon& Value)
{
    m_icon = Value;
    if (m_icons && m_iconIndex >= 0 && m_iconIndex < m_icons->Count())
        m_iconIndex = -1;
    Update();
}

void VTixTrayIcon::SetIcons(TImageList* Value)
{
    if (Value == m_icons)
        return;
    m_icons = Value;
    if (m_animate && !m_icons)
        SetAnimate(false);
    Update();
}

void VTixTrayIcon::SetIconIndex(int Value)
{
    if (Value == m_iconIndex)
        return;
    m_iconIndex = Value;
    Update();
}

QIcon VTixTrayIcon::CurrentIcon() const
{
    if (m_icons && m_iconIndex >= 0 && m_iconIndex < m_icons->Count())
        return QIcon(QPixmap::fromImage(m_icons->Image(m_iconIndex)));
    if (!m_icon.isNull())
        return m_icon;
    return QApplication::windowIcon();
}

void VTixTrayIcon::SetAnimate(bool Value)
{
    m_animate = Value && m_icons;
    if (m_animate)
        m_animateTimer.start();
    else
        m_animateTimer.stop();
}

void VTixTrayIcon::AnimateStep()
{
    if (m_icons && m_icons->Count() > 0)
        m_iconIndex = (m_iconIndex < 0 || m_iconIndex + 1 >= m_icons->Count()) ? 0 : m_iconIndex + 1;
    else
        m_iconIndex = -1;
    Update();
    if (OnAnimate)
        OnAnimate(this);
}

uint32_t VTixTrayIcon::DoubleClickTime() const
{
    if (m_doubleClickTime)
        return m_doubleClickTime;
    return uint32_t(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

// ---- the notification area ----------------------------------------------------------

void VTixTrayIcon::Update()
{
    if (!m_tray)
        return;
    if (m_visible) {
        m_tray->setIcon(CurrentIcon());
        m_tray->setToolTip(Platform::ToQString(TipText()));
        m_tray->show();
    } else {
        m_tray->hide();
    }
}

void VTixTrayIcon::ShowBubble()
{
    const std::string text = BubbleTextJoined();
    if (!m_tray || !m_visible || text.empty())
        return;
    QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::NoIcon;
    switch (m_bubbleIcon) {
    case vbiNone: icon = QSystemTrayIcon::NoIcon; break;
    case vbiInfo: icon = QSystemTrayIcon::Information; break;
    case vbiWarning: icon = QSystemTrayIcon::Warning; break;
    case vbiError: icon = QSystemTrayIcon::Critical; break;
    }
    // An icon without a title would not show.
    QString title = Platform::ToQString(m_bubbleTitle);
    if (title.isEmpty() && m_bubbleIcon != vbiNone)
        title = QStringLiteral(" ");
    m_tray->showMessage(title, Platform::ToQString(text), icon, m_bubbleTimeout);
}

void VTixTrayIcon::HideBubble()
{
    // Qt offers no way to take a shown balloon away; it goes at its
    // time-out.
}

void VTixTrayIcon::ShowMenu()
{
    if (!m_popupMenu)
        return;
    if (m_mainWindow)
        m_mainWindow->activateWindow();
    m_popupMenu->popup(QCursor::pos());
}

void VTixTrayIcon::MinimizeHandling()
{
    m_activeAtMinimize = QApplication::activeWindow();
    if (m_hide && m_visible && m_mainWindow)
        m_mainWindow->hide();
    if (OnMinimize)
        OnMinimize(this);
}

void VTixTrayIcon::Minimize()
{
    if (m_mainWindow) {
        m_minimizing = true;
        m_mainWindow->showMinimized();
        m_minimizing = false;
    }
    MinimizeHandling();
}

void VTixTrayIcon::Restore()
{
    if (m_mainWindow) {
        m_minimizing = true;  // no second round through the state-change hook
        m_mainWindow->setAttribute(Qt::WA_ShowWithoutActivating, true);
        m_mainWindow->showNormal();
        m_mainWindow->setAttribute(Qt::WA_ShowWithoutActivating, false);
        m_minimizing = false;
        QWidget* again = m_activeAtMinimize ? m_activeAtMinimize.data() : m_mainWindow.data();
        again->raise();
        again->activateWindow();
    }
    if (OnRestore)
        OnRestore(this);
}

void VTixTrayIcon::EndSession()
{
    if (m_tray && m_visible)
        m_tray->hide();
    m_visible = false;
}

void VTixTrayIcon::SessionEnding()
{
    EndSession();
    // The window's own close handling saves the settings; the process
    // ends when it is done, not here.
    if (HaltOnEndSession && m_mainWindow)
        m_mainWindow->close();
}

bool VTixTrayIcon::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == m_mainWindow && Event->type() == QEvent::WindowStateChange && !m_minimizing) {
        const auto* e = static_cast<QWindowStateChangeEvent*>(Event);
        const bool was = e->oldState() & Qt::WindowMinimized;
        const bool now = m_mainWindow->windowState() & Qt::WindowMinimized;
        if (now && !was)
            MinimizeHandling();
        else if (was && !now)
            Restore();
    }
    return QObject::eventFilter(Watched, Event);
}

// ---- mouse ------------------------------------------------------------------------------

void VTixTrayIcon::OnActivated(int Reason)
{
    const QPoint pos = QCursor::pos();
    const uint32_t now = Platform::GetTickCount();
    // Qt reports whole clicks; they are replayed as the button messages.
    switch (QSystemTrayIcon::ActivationReason(Reason)) {
    case QSystemTrayIcon::Trigger:
        HandleMouseMessage(VTixTrayMouseMessage::LeftDown, pos, now);
        HandleMouseMessage(VTixTrayMouseMessage::LeftUp, pos, now);
        break;
    case QSystemTrayIcon::DoubleClick:
        HandleMouseMessage(VTixTrayMouseMessage::LeftDouble, pos, now);
        HandleMouseMessage(VTixTrayMouseMessage::LeftUp, pos, now);
        break;
    case QSystemTrayIcon::Context:
        HandleMouseMessage(VTixTrayMouseMessage::RightDown, pos, now);
        HandleMouseMessage(VTixTrayMouseMessage::RightUp, pos, now);
        HandleMouseMessage(VTixTrayMouseMessage::ContextMenu, pos, now);
        break;
    case QSystemTrayIcon::MiddleClick:
        HandleMouseMessage(VTixTrayMouseMessage::MiddleDown, pos, now);
        HandleMouseMessage(VTixTrayMouseMessage::MiddleUp, pos, now);
        break;
    default:
        break;
    }
}

void VTixTrayIcon::HandleMouseMessage(VTixTrayMouseMessage Message, QPoint CursorPos, uint32_t Now)
{
    m_lastCursor = CursorPos;
    if (!m_mouseInside) {
        m_mouseInside = true;
        if (OnMouseEnter)
            OnMouseEnter(this);
    }
    auto down = [&](Qt::MouseButton b) {
        if (OnMouseDown)
            OnMouseDown(this, b, CursorPos);
    };
    auto up = [&](Qt::MouseButton b) {
        if (OnMouseUp)
            OnMouseUp(this, b, CursorPos);
    };
    auto dbl = [&] {
        if (OnDblClick)
            OnDblClick(this);
    };
    switch (Message) {
    case VTixTrayMouseMessage::Move:
        if (OnMouseMove)
            OnMouseMove(this, CursorPos);
        break;
    case VTixTrayMouseMessage::LeftDown:
        CheckMouseClick(vimMouseDown, Now);
        down(Qt::LeftButton);
        break;
    case VTixTrayMouseMessage::LeftUp:
        CheckMouseClick(vimClick, Now);
        if (OnClick)
            OnClick(this);
        CheckMouseClick(vimMouseUp, Now);
        up(Qt::LeftButton);
        CheckMouseClick(vimLeftClickUp, Now);
        break;
    case VTixTrayMouseMessage::LeftDouble:
        CheckMouseClick(vimDoubleClick, Now);
        dbl();
        CheckMouseClick(vimLeftDoubleClick, Now);
        break;
    case VTixTrayMouseMessage::RightDown:
        CheckMouseClick(vimMouseDown, Now);
        down(Qt::RightButton);
        break;
    case VTixTrayMouseMessage::RightUp:
        CheckMouseClick(vimMouseUp, Now);
        up(Qt::RightButton);
        CheckMouseClick(vimClick, Now);
        CheckMouseClick(vimRightClickUp, Now);
        break;
    case VTixTrayMouseMessage::RightDouble:
        CheckMouseClick(vimDoubleClick, Now);
        dbl();
        CheckMouseClick(vimRightDoubleClick, Now);
        break;
    case VTixTrayMouseMessage::MiddleDown:
        down(Qt::MiddleButton);
        break;
    case VTixTrayMouseMessage::MiddleUp:
        CheckMouseClick(vimMouseUp, Now);
        up(Qt::MiddleButton);
        break;
    case VTixTrayMouseMessage::MiddleDouble:
        CheckMouseClick(vimDoubleClick, Now);
        dbl();
        break;
    case VTixTrayMouseMessage::ContextMenu:
        // The right button's release already brings the menu.
        if (m_lastAction != vimRightClickUp)
            ShowMenu();
        break;
    }
}

void VTixTrayIcon::CheckMouseClick(VTixTrayIconMessage Action) { CheckMouseClick(Action, Platform::GetTickCount()); }

void VTixTrayIcon::CheckMouseClick(VTixTrayIconMessage Action, uint32_t Now)
{
    if (Action == vimNone && m_lastAction == vimNone)
        return;
    auto in = [Action](std::initializer_list<VTixTrayIconMessage> set) {
        for (VTixTrayIconMessage m : set) {
            if (m == Action)
                return true;
        }
        return false;
    };
    bool swallowed = false;
    switch (m_lastAction) {
    case vimClick:
        if (in({vimDoubleClick, vimMouseDown}))
            m_lastAction = vimNone;
        break;
    case vimLeftClickUp:
        if (in({vimDoubleClick, vimMouseDown, vimLeftDoubleClick}))
            m_lastAction = vimNone;
        break;
    case vimRightClickUp:
        if (in({vimDoubleClick, vimMouseDown, vimRightDoubleClick}))
            m_lastAction = vimNone;
        break;
    case vimDoubleClick:
        swallowed = in({vimClick, vimMouseUp, vimLeftClickUp, vimRightClickUp});
        break;
    case vimLeftDoubleClick:
        swallowed = in({vimClick, vimMouseUp, vimLeftClickUp});
        break;
    case vimRightDoubleClick:
        swallowed = in({vimClick, vimMouseUp, vimRightClickUp});
        break;
    default:
        break;
    }
    if (Action == vimNone || swallowed) {
        // Nothing new: the pending action runs once no double click can
        // follow any more.
        if (m_lastAction != vimNone && Tixutils::IsTimerOver(m_lastActionTime, DoubleClickTime(), Now)) {
            const VTixTrayIconMessage pending = m_lastAction;
            m_lastAction = vimNone;
            m_lastActionTime = Now;
            Dispatch(pending);
        }
        return;
    }
    const VTixTrayIconMessage previous = m_lastAction;
    m_lastAction = Action;
    m_lastActionTime = Now;
    Dispatch(previous);
}

void VTixTrayIcon::Dispatch(VTixTrayIconMessage Kind)
{
    if (Kind == vimNone)
        return;
    if (Kind == RestoreOn) {
        HideBubble();
        Restore();
    }
    if (Kind == PopupMenuOn) {
        HideBubble();
        ShowMenu();
    }
    if (Kind == BubbleShowOn)
        ShowBubble();
}

bool VTixTrayIcon::HandleIdle(QPoint CursorPos, uint32_t Now)
{
    CheckMouseClick(vimNone, Now);
    if (CursorPos == m_lastCursor) {
        if (!m_mouseInside) {
            m_mouseInside = true;
            if (OnMouseEnter)
                OnMouseEnter(this);
        }
        return true;
    }
    if (m_mouseInside) {
        m_mouseInside = false;
        if (OnMouseExit)
            OnMouseExit(this);
        return false;
    }
    return true;
}
