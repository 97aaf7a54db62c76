#include "foundation/qt/form_utils.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMutex>
#include <QMutexLocker>
#include <QPalette>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QVariant>
#include <algorithm>

#include "platform/qt/qt_text.h"

namespace Tixutils {

namespace {

QMutex g_sourceMutex;
ScreenAreaSource g_source;

bool systemScreenAreas(TScreenAreas& areas)
{
    if (QGuiApplication::instance() == nullptr)
        return false;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr)
        return false;
    areas.WorkArea = primary->availableGeometry();
    areas.Monitors.clear();
    areas.Monitors.append(primary->geometry());
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            areas.Monitors.append(screen->geometry());
    areas.PrimarySize = primary->size();
    int title = 0;
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()); app && app->style())
        title = app->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    if (title <= 0)
        title = 18;
    areas.CaptionButton = QSize(title, title);
    areas.SmallCaptionButton = QSize(title * 3 / 4, title * 3 / 4);
    return areas.WorkArea.isValid();
}

// Edges as left/top/right/bottom with right and bottom exclusive.
int rightOf(const QRect& r) { return r.x() + r.width(); }
int bottomOf(const QRect& r) { return r.y() + r.height(); }

bool isToolWindow(const QWidget* form)
{
    return form->windowType() == Qt::Tool;
}

enum class Border { None, ThreeButtons, OneButton };

Border borderOf(const QWidget* form)
{
    if (form->windowFlags() & Qt::FramelessWindowHint)
        return Border::None;
    if (isToolWindow(form) || form->windowType() == Qt::Dialog || qobject_cast<const QDialog*>(form))
        return Border::OneButton;
    return Border::ThreeButtons;
}

QRect globalBounds(const QWidget* control)
{
    if (control->isWindow())
        return FormBounds(control);
    return QRect(control->mapToGlobal(QPoint(0, 0)), control->size());
}

}  // namespace

ScreenAreaSource SetScreenAreaSource(ScreenAreaSource source)
{
    QMutexLocker lock(&g_sourceMutex);
    ScreenAreaSource old = std::move(g_source);
    g_source = std::move(source);
    return old;
}

bool GetScreenAreas(TScreenAreas& areas)
{
    ScreenAreaSource source;
    {
        QMutexLocker lock(&g_sourceMutex);
        source = g_source;
    }
    areas = TScreenAreas();
    return source ? source(areas) : systemScreenAreas(areas);
}

bool SetComboText(QComboBox* combo, const std::string& text)
{
    if (combo == nullptr)
        return false;
    const QString q = Platform::ToQString(text);
    int index = -1;
    for (int i = combo->count() - 1; i >= 0 && index < 0; --i)
        if (combo->itemText(i) == q)
            index = i;
    for (int i = combo->count() - 1; i >= 0 && index < 0; --i)
        if (combo->itemText(i).compare(q, Qt::CaseInsensitive) == 0)
            index = i;
    if (index >= 0) {
        combo->setCurrentIndex(index);
        return true;
    }
    if (q.isEmpty()) {
        combo->setCurrentIndex(-1);
        return true;
    }
    if (combo->isEditable()) {
        combo->setCurrentIndex(-1);
        combo->setEditText(q);
        return true;
    }
    return false;
}

void SetComboString(QComboBox* combo, int index, const std::string& text)
{
    if (combo == nullptr || index < 0 || index >= combo->count())
        return;
    const QString q = Platform::ToQString(text);
    combo->setItemText(index, q);
    if (combo->currentIndex() == index) {
        combo->setCurrentIndex(index);
        if (combo->isEditable())
            combo->setEditText(q);
    }
}

bool GetFormArea(QRect& rect, bool firstScreenOnly)
{
    TScreenAreas areas;
    if (!GetScreenAreas(areas) || !areas.WorkArea.isValid())
        return false;
    int left = areas.WorkArea.x();
    int top = areas.WorkArea.y();
    int right = rightOf(areas.WorkArea);
    int bottom = bottomOf(areas.WorkArea);
    if (!areas.Monitors.isEmpty()) {
        const QRect& m = areas.Monitors.first();
        left = std::min(left, m.x());
        top = std::min(top, m.y());
        right = std::min(right, rightOf(m));
        bottom = std::min(bottom, bottomOf(m));
    }
    if (firstScreenOnly) {
        const long long w = areas.PrimarySize.width();
        const long long h = areas.PrimarySize.height();
        if (w * 9 > h * 16)
            right = std::min(right, int(w / 2));
        if (w * 18 < h * 16)
            bottom = std::min(bottom, int(h / 2));
    }
    rect = QRect(left, top, right - left, bottom - top);
    return true;
}

QRect FormBounds(const QWidget* form)
{
    if (form == nullptr)
        return QRect();
    if (!form->isWindow())
        return form->geometry();
    return QRect(form->pos(), form->frameGeometry().size());
}

void SetFormBounds(QWidget* form, const QRect& bounds)
{
    if (form == nullptr)
        return;
    if (!form->isWindow()) {
        form->setGeometry(bounds);
        return;
    }
    const QSize frame = form->frameGeometry().size() - form->size();
    form->move(bounds.topLeft());
    form->resize(std::max(0, bounds.width() - frame.width()), std::max(0, bounds.height() - frame.height()));
}

void MoveFormToScreen(QWidget* form, bool firstScreenOnly)
{
    QRect area;
    if (form == nullptr || !GetFormArea(area, firstScreenOnly))
        return;
    QRect b = FormBounds(form);
    int left = b.x(), top = b.y(), width = b.width(), height = b.height();
    if (width > area.width())
        width = area.width();
    if (height > area.height())
        height = area.height();
    if (left + width > rightOf(area))
        left = rightOf(area) - width;
    if (top + height > bottomOf(area))
        top = bottomOf(area) - height;
    if (left < area.x())
        left = area.x();
    if (top < area.y())
        top = area.y();
    const QRect moved(left, top, width, height);
    if (moved != b)
        SetFormBounds(form, moved);
}

void MoveFormToScreen2(QWidget* form, bool firstScreenOnly)
{
    QRect area;
    if (form == nullptr)
        return;
    if (GetFormArea(area, firstScreenOnly)) {
        QRect b = FormBounds(form);
        int left = b.x(), top = b.y();
        if (left + b.width() > rightOf(area))
            left -= b.width();
        if (top + b.height() > bottomOf(area))
            top -= b.height();
        if (left < area.x())
            left += b.width();
        if (top < area.y())
            top += b.height();
        if (left != b.x() || top != b.y())
            SetFormBounds(form, QRect(left, top, b.width(), b.height()));
    }
    MoveFormToScreen(form, firstScreenOnly);
}

void MoveFormToCenter(QWidget* form, QWidget* control, bool firstScreenOnly)
{
    if (form == nullptr)
        return;
    QPoint centre(320, 240);
    QRect area;
    if (control != nullptr) {
        const QRect c = globalBounds(control);
        centre = QPoint(c.x() + c.width() / 2, c.y() + c.height() / 2);
    } else if (GetFormArea(area, firstScreenOnly)) {
        centre = QPoint(area.x() + area.width() / 2, area.y() + area.height() / 2);
    }
    const QRect b = FormBounds(form);
    SetFormBounds(form, QRect(centre.x() - b.width() / 2, centre.y() - b.height() / 2, b.width(), b.height()));
    MoveFormToScreen(form, false);
}

void MoveFormTitleToScreenRect(QWidget* form, QRect& rect)
{
    QRect area;
    TScreenAreas areas;
    if (form == nullptr || !GetFormArea(area, false) || !GetScreenAreas(areas))
        return;
    const bool small = isToolWindow(form) && !form->isMinimized();
    const QSize button = small ? areas.SmallCaptionButton : areas.CaptionButton;
    const int b = button.width() - 4;
    if (rect.x() + b + 10 > rightOf(area))
        rect.translate(rightOf(area) - (rect.x() + b + 10), 0);
    if (rect.y() + 10 > bottomOf(area))
        rect.translate(0, bottomOf(area) - (rect.y() + 10));
    int c = 0;
    switch (borderOf(form)) {
    case Border::None: c = 0; break;
    case Border::ThreeButtons: c = 3 * b + 2; break;
    case Border::OneButton: c = b + 1; break;
    }
    if (rightOf(rect) - c - 10 < area.x())
        rect.translate(area.x() - (rightOf(rect) - c - 10), 0);
    const int h = button.height() - 4;
    if (rect.y() + h < area.y())
        rect.translate(0, area.y() - (rect.y() + h));
}

void MoveFormTitleToScreen(QWidget* form)
{
    if (form == nullptr)
        return;
    QRect b = FormBounds(form);
    const QRect before = b;
    MoveFormTitleToScreenRect(form, b);
    if (b != before)
        SetFormBounds(form, b);
}

QWidget* FindControlByHandle(QWidget* control, WId handle)
{
    if (control == nullptr || handle == 0)
        return nullptr;
    if (control->internalWinId() == handle)
        return control;
    for (QObject* child : control->children())
        if (auto* w = qobject_cast<QWidget*>(child))
            if (QWidget* found = FindControlByHandle(w, handle))
                return found;
    return nullptr;
}

QWidget* GetFirstParentForm(QObject* component)
{
    for (QObject* o = component; o != nullptr; o = o->parent())
        if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow())
            return w;
    return nullptr;
}

void SetEditColor(QWidget* edit, TColor color)
{
    if (edit == nullptr)
        return;
    const QColor c = Platform::ToQColor(color);
    QPalette p = edit->palette();
    if (p.color(QPalette::Text) == c)
        return;
    p.setColor(QPalette::Text, c);
    edit->setPalette(p);
}

void SetComboColor(QComboBox* combo, TColor color)
{
    if (combo == nullptr)
        return;
    const QColor c = Platform::ToQColor(color);
    QPalette p = combo->palette();
    if (p.color(QPalette::Text) == c && p.color(QPalette::ButtonText) == c)
        return;
    QLineEdit* edit = combo->isEditable() ? combo->lineEdit() : nullptr;
    QString text;
    int selStart = -1, selLength = 0;
    if (edit) {
        text = edit->text();
        selStart = edit->selectionStart();
        selLength = edit->selectedText().size();
    }
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::ButtonText, c);
    combo->setPalette(p);
    if (edit) {
        if (edit->text() != text)
            edit->setText(text);
        if (selStart >= 0)
            edit->setSelection(selStart, selLength);
    }
}

void AddComboTextToItems(QComboBox* combo, int maxCount)
{
    if (combo == nullptr)
        return;
    const QString text = combo->currentText();
    if (text.isEmpty())
        return;
    const bool firstEqual = combo->count() > 0 && combo->itemText(0) == text;
    for (int i = combo->count() - 1; i >= (firstEqual ? 1 : 0); --i)
        if (combo->itemText(i) == text)
            combo->removeItem(i);
    if (!firstEqual) {
        const int keep = std::max(0, maxCount - 1);
        while (combo->count() > keep)
            combo->removeItem(keep);
        combo->insertItem(0, text);
    }
    if (combo->isEditable())
        combo->setEditText(text);
    else
        combo->setCurrentIndex(0);
}

QTabWidget* TabWidgetOfPage(QObject* page, int* index)
{
    auto* widget = qobject_cast<QWidget*>(page);
    if (widget == nullptr)
        return nullptr;
    auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs == nullptr)
        return nullptr;
    const int i = tabs->indexOf(widget);
    if (i < 0)
        return nullptr;
    if (index)
        *index = i;
    return tabs;
}

bool GetControlVisible(QWidget* control)
{
    if (control == nullptr)
        return false;
    int index = -1;
    if (QTabWidget* tabs = TabWidgetOfPage(control, &index))
        return tabs->isTabVisible(index);
    return !control->isHidden();
}

bool SetControlVisible(QWidget* control, bool visible)
{
    if (control == nullptr)
        return false;
    int index = -1;
    if (QTabWidget* tabs = TabWidgetOfPage(control, &index)) {
        tabs->setTabVisible(index, visible);
        return true;
    }
    control->setVisible(visible);
    return true;
}

bool GetControlChecked(QObject* control)
{
    if (control == nullptr || control->metaObject()->indexOfProperty("checked") < 0)
        return false;
    return control->property("checked").toBool();
}

bool SetControlChecked(QObject* control, bool checked)
{
    if (control == nullptr || control->metaObject()->indexOfProperty("checked") < 0)
        return false;
    return control->setProperty("checked", checked);
}

}  // namespace Tixutils
