// The DPI fix-up of forms, frames and single rectangles designed at the
// reference metrics.
#include <QApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "app/app_info.h"

TCachedSystemMetrics VTixAppInfo::GetSystemMetrics() const
{
    if (FSystemMetricsSet)
        return FSystemMetrics;
    TCachedSystemMetrics now;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        now.PixelsPerInch = int(screen->logicalDotsPerInchY() + 0.5);
    if (const QStyle* style = QApplication::style()) {
        now.CaptionButtonHeight = style->pixelMetric(QStyle::PM_TitleBarHeight);
        now.MenuHeight = QFontMetrics(QApplication::font("QMenuBar")).height() +
                         2 * (style->pixelMetric(QStyle::PM_MenuBarVMargin) +
                              style->pixelMetric(QStyle::PM_MenuBarPanelWidth) +
                              style->pixelMetric(QStyle::PM_MenuBarItemSpacing));
    }
    return now;
}

void VTixAppInfo::SetSystemMetrics(const TCachedSystemMetrics& metrics)
{
    FSystemMetrics = metrics;
    FSystemMetricsSet = true;
}

bool VTixAppInfo::IsPixelsPerInchFixed(const QWidget* form) const
{
    return std::any_of(FFixedForms.begin(), FFixedForms.end(),
                       [form](const QPointer<QWidget>& f) { return f && f.data() == form; });
}

bool VTixAppInfo::markFixed(QWidget* form)
{
    // Forms that are gone leave the list (their pointers are null now).
    FFixedForms.erase(std::remove_if(FFixedForms.begin(), FFixedForms.end(),
                                     [](const QPointer<QWidget>& f) { return f.isNull(); }),
                      FFixedForms.end());
    if (IsPixelsPerInchFixed(form))
        return false;
    FFixedForms.emplace_back(form);
    return true;
}

DpiFix::TTextScale VTixAppInfo::textScaleOf(const QWidget* control, int pixelsPerInch) const
{
    if (pixelsPerInch <= 0)
        pixelsPerInch = control->logicalDpiY();
    const QFont font = control->font();
    const int height = QFontMetrics(font, control).height();
    return DpiFix::TextScale(pixelsPerInch, height, font.family().toStdString(), FCachedSystemMetrics);
}

void VTixAppInfo::resizeClient(QWidget* form, QSize client)
{
    std::vector<QWidget*> filling;
    for (QObject* o : form->children())
        if (auto* child = qobject_cast<QWidget*>(o); child && !child->isWindow() && child->geometry() == form->rect())
            filling.push_back(child);
    if (form->minimumSize() == form->maximumSize())
        form->setFixedSize(client);
    else
        form->resize(client);
    for (QWidget* child : filling)
        child->setGeometry(form->rect());
}

void VTixAppInfo::FixPixelsPerInch(QWidget* form, int pixelsPerInch)
{
    if (!form || !markFixed(form))
        return;
    if (pixelsPerInch <= 0)
        pixelsPerInch = form->logicalDpiY();
    if (form->layout()) {
        // At the reference only the alignment is redone; otherwise the
        // layout has followed the fonts already.
        if (pixelsPerInch == FCachedSystemMetrics.PixelsPerInch)
            form->layout()->activate();
        return;
    }
    if (pixelsPerInch == FCachedSystemMetrics.PixelsPerInch)
        return;
    const bool sizeable = form->minimumSize() != form->maximumSize();
    const bool hasMenu = form->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
    resizeClient(form, DpiFix::FixedClientSize(form->size(), textScaleOf(form, pixelsPerInch), sizeable, hasMenu,
                                               FCachedSystemMetrics, GetSystemMetrics()));
}

void VTixAppInfo::FixPixelsPerInchFrame(QWidget* frame, int pixelsPerInch)
{
    if (!frame || !markFixed(frame))
        return;
    if (pixelsPerInch <= 0)
        pixelsPerInch = frame->logicalDpiY();
    if (frame->layout()) {
        if (pixelsPerInch == FCachedSystemMetrics.PixelsPerInch)
            frame->layout()->activate();
        return;
    }
    if (pixelsPerInch == FCachedSystemMetrics.PixelsPerInch)
        return;
    resizeClient(frame, DpiFix::ScaledRect(QRect(QPoint(), frame->size()), textScaleOf(frame, pixelsPerInch)).size());
}

QRect VTixAppInfo::FixPixelsPerInchRectR(QWidget* control, const QRect& rect, int pixelsPerInch)
{
    if (!control)
        return rect;
    return DpiFix::ScaledRect(rect, textScaleOf(control, pixelsPerInch));
}

void VTixAppInfo::FixPixelsPerInchRect(QWidget* control, QRect& rect, int pixelsPerInch)
{
    rect = FixPixelsPerInchRectR(control, rect, pixelsPerInch);
}

void VTixAppInfo::SetBounds2(QWidget* control, int left, int top, int width, int height, int mulX, int divX,
                             int mulY, int divY, QWidget* parent)
{
    if (!control)
        return;
    const auto scale = [](int v, int mul, int div) { return div == 0 ? v : DpiFix::MulDiv(v, mul, div); };
    if (parent && parent != control->parentWidget()) {
        const bool shown = !control->isHidden();
        control->setParent(parent);
        control->setVisible(shown);  // a new parent hides it
    }
    control->setGeometry(scale(left, mulX, divX), scale(top, mulY, divY), scale(width, mulX, divX),
                         scale(height, mulY, divY));
}
