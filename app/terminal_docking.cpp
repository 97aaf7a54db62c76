// VTixTerminal: its window docked as a tab page or floating, visibility,
// the window's geometry, closing and dragging the page out.
#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QWindow>

#include "app/terminal.h"
#include "app/terminal_form.h"
#include "app/terminal_pane.h"
#include "platform/qt/qt_text.h"

QWidget* VTixTerminal::floatingParent() const
{
    // A window of the owner has no taskbar button of its own.
    return FShowOnTaskbar ? nullptr : FOwnerWindow.data();
}

Qt::WindowFlags VTixTerminal::floatingFlags() const
{
    Qt::WindowFlags f = Qt::Window;
    if (FFormOnTop)
        f |= Qt::WindowStaysOnTopHint;
    return f;
}

bool VTixTerminal::isDockedNow() const
{
    return FForm && !FForm->isWindow() && FParentPageControl && FParentPageControl->indexOf(FForm) >= 0;
}

bool VTixTerminal::GetDocked() const
{
    if (!FForm)
        return FDocked;
    return !FForm->isWindow();
}

void VTixTerminal::SetDocked(bool value)
{
    FDocked = value;
    UpdateDocked();
}

void VTixTerminal::SetParentPageControl(QTabWidget* value)
{
    if (value == FParentPageControl)
        return;
    if (FParentPageControl) {
        FParentPageControl->tabBar()->removeEventFilter(this);
        if (isDockedNow())
            makeFloating();
    }
    FParentPageControl = value;
    if (value)
        value->tabBar()->installEventFilter(this);
    UpdateDocked();
}

void VTixTerminal::UpdateDocked()
{
    if (FLoading || !FForm)
        return;
    if (FDocked && FParentPageControl) {
        if (!isDockedNow())
            dockIntoPage();
    } else if (!FForm->isWindow()) {
        makeFloating();
    }
    FForm->BtnUndock->setEnabled(isDockedNow());
}

void VTixTerminal::dockIntoPage()
{
    VTixTerminalForm* f = FForm;
    if (f->isWindow()) {
        FFormLeft = f->x();
        FFormTop = f->y();
    }
    f->setWindowState(Qt::WindowNoState);
    const int i = FParentPageControl->addTab(f, f->windowTitle());
    FParentPageControl->setTabVisible(i, FVisible);
    // The tab widget shows its current page only; showing the form here
    // would put it over whatever page is current.
    if (FVisible && FParentPageControl->currentWidget() == f)
        f->show();
    if (FOnDockDrop)
        FOnDockDrop(f);
}

void VTixTerminal::makeFloating()
{
    VTixTerminalForm* f = FForm;
    if (FParentPageControl) {
        const int i = FParentPageControl->indexOf(f);
        if (i >= 0)
            FParentPageControl->removeTab(i);
    }
    f->setParent(floatingParent(), floatingFlags());
    f->setAttribute(Qt::WA_QuitOnClose, false);
    f->move(FFormLeft, FFormTop);
    f->resize(FFormWidth, FFormHeight);
    f->setVisible(FVisible);
}

void VTixTerminal::SetVisible(bool value)
{
    FVisible = value;
    if (FLoading || !FForm)
        return;
    if (isDockedNow()) {
        const int i = FParentPageControl->indexOf(FForm);
        FParentPageControl->setTabVisible(i, value);
        if (value && FParentPageControl->currentWidget() == FForm)
            FForm->show();
    } else {
        FForm->setVisible(value);
    }
}

void VTixTerminal::rememberFloatingGeometry()
{
    if (!FForm || !FForm->isWindow() || FLoading)
        return;
    FFormLeft = FForm->x();
    FFormTop = FForm->y();
    FFormWidth = FForm->width();
    FFormHeight = FForm->height();
}

void VTixTerminal::SetFormLeft(int value)
{
    FFormLeft = value;
    if (FForm && FForm->isWindow() && !FLoading)
        FForm->move(FFormLeft, FForm->y());
}

void VTixTerminal::SetFormTop(int value)
{
    FFormTop = value;
    if (FForm && FForm->isWindow() && !FLoading)
        FForm->move(FForm->x(), FFormTop);
}

void VTixTerminal::SetFormWidth(int value)
{
    // While docked this is the size the window gets when it floats again.
    FFormWidth = value;
    if (FForm && FForm->isWindow() && !FLoading)
        FForm->resize(FFormWidth, FForm->height());
}

void VTixTerminal::SetFormHeight(int value)
{
    FFormHeight = value;
    if (FForm && FForm->isWindow() && !FLoading)
        FForm->resize(FForm->width(), FFormHeight);
}

void VTixTerminal::SetShowOnTaskbar(bool value)
{
    FShowOnTaskbar = value;
    if (FLoading || !FForm || !FForm->isWindow())
        return;
    const QRect g = FForm->geometry();
    const bool shown = FForm->isVisible();
    FForm->setParent(floatingParent(), floatingFlags());
    FForm->setAttribute(Qt::WA_QuitOnClose, false);
    FForm->setGeometry(g);
    FForm->setVisible(shown);
}

void VTixTerminal::SetFormOnTop(bool value)
{
    FFormOnTop = value;
    if (FLoading || !FForm || !FForm->isWindow())
        return;
    const bool shown = FForm->isVisible();
    FForm->setWindowFlag(Qt::WindowStaysOnTopHint, value);
    FForm->setVisible(shown);
}

void VTixTerminal::BtnUndockClick()
{
    SetDocked(false);
    if (FForm && FForm->isWindow() && FVisible) {
        FForm->raise();
        FForm->activateWindow();
    }
}

void VTixTerminal::closeRequested(QCloseEvent* event)
{
    switch (FTermCloseAction) {
    case trmcaDock:
        event->ignore();
        if (FParentPageControl) {
            SetDocked(true);
        } else {
            // Nowhere to dock: the window would never close otherwise.
            FVisible = false;
            FForm->hide();
        }
        break;
    case trmcaHide:
        event->accept();
        FVisible = false;
        break;
    case trmcaFree:
        event->accept();
        FVisible = false;
        FForm->deleteLater();
        break;
    case trmcaMinimize:
        event->ignore();
        FForm->showMinimized();
        break;
    }
}

bool VTixTerminal::tabBarEvent(QEvent* event)
{
    // Dragging the terminal's tab away from the tab bar floats the window
    // under the mouse, and the window system carries on moving it.
    QTabBar* bar = FParentPageControl->tabBar();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* m = static_cast<QMouseEvent*>(event);
        const QPoint pos = m->position().toPoint();
        FTabPressed = m->button() == Qt::LeftButton && FForm &&
                      bar->tabAt(pos) == FParentPageControl->indexOf(FForm);
        FTabPressPos = pos;
        break;
    }
    case QEvent::MouseButtonRelease: FTabPressed = false; break;
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(event);
        if (!FTabPressed || !(m->buttons() & Qt::LeftButton) || !FForm)
            break;
        const QPoint pos = m->position().toPoint();
        const int d = QApplication::startDragDistance();
        if ((pos - FTabPressPos).manhattanLength() < d || bar->rect().adjusted(-d, -d, d, d).contains(pos))
            break;
        FTabPressed = false;
        const QPoint global = m->globalPosition().toPoint();
        FFormLeft = global.x() - FTabPressPos.x() + bar->tabRect(bar->tabAt(FTabPressPos)).x();
        FFormTop = global.y() - FTabPressPos.y();
        SetDocked(false);
        if (FForm && FForm->isWindow()) {
            if (QWindow* w = FForm->windowHandle())
                w->startSystemMove();
        }
        return true;
    }
    default: break;
    }
    return false;
}

bool VTixTerminal::saveContentsToFile(const std::string& fileName, bool rich)
{
    flushPane();
    return FPane && FPane->SaveToFile(fileName, rich);
}
