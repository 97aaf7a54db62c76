// VTixAppInfo: saving and restoring where every form of the application
// stands (visibility, window state, normal rectangle) and the order of the
// windows from top to bottom.
//
// Positions are those of the window frame (QWidget::pos()); widths and
// heights are the size inside the frame. Before a window is shown for the
// first time its frame is unknown, so an outer size restored then would
// let the window grow by its frame on every start.
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <functional>

#include "app/app_info.h"
#include "app/terminal.h"
#include "foundation/qt/form_utils.h"
#include "platform/ini_file.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/registry.h"

// The window stack as far as the application can know it: Qt reports no
// stacking order of top-level windows (and Wayland gives clients none), so
// the order is taken from activation and showing, most recent first.
class VTixWindowOrder : public QObject {
public:
    explicit VTixWindowOrder(QObject* parent) : QObject(parent) { install(); }

    // The application may be created after the component.
    void install()
    {
        if (installed_ || QCoreApplication::instance() == nullptr)
            return;
        QCoreApplication::instance()->installEventFilter(this);
        installed_ = true;
    }

    void toFront(QWidget* window)
    {
        prune();
        auto it = std::find(order_.begin(), order_.end(), window);
        if (it == order_.begin() && it != order_.end())
            return;
        if (it != order_.end())
            order_.erase(it);
        order_.insert(order_.begin(), QPointer<QWidget>(window));
    }

    std::vector<QWidget*> stack()
    {
        install();
        prune();
        std::vector<QWidget*> result;
        for (const QPointer<QWidget>& w : order_)
            if (w->isWindow())
                result.push_back(w.data());
        return result;
    }

protected:
    // Sees every event of the program, the 10 ms timer's too (hot: kept
    // with the tick's code).
    [[gnu::hot]] bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::WindowActivate || type == QEvent::Show) && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow())
                toFront(w);
        }
        return false;
    }

private:
    void prune()
    {
        order_.erase(std::remove_if(order_.begin(), order_.end(), [](const QPointer<QWidget>& w) { return w.isNull(); }),
                     order_.end());
    }

    std::vector<QPointer<QWidget>> order_;
    bool installed_ = false;
};

namespace {

constexpr Qt::WindowStates kSizeStates = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

// The window placement's show states.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
constexpr int kShowMinNoActive = 6;

std::string nameOf(const QObject* o) { return Platform::FromQString(o->objectName()); }

// The terminals of the application (their windows dock or float).
std::vector<VTixTerminal*> allTerminals()
{
    std::vector<VTixTerminal*> result;
    auto add = [&result](QObject* root) {
        for (VTixTerminal* t : root->findChildren<VTixTerminal*>())
            if (std::find(result.begin(), result.end(), t) == result.end())
                result.push_back(t);
    };
    for (QWidget* top : QApplication::topLevelWidgets())
        add(top);
    if (QObject* app = QCoreApplication::instance())
        add(app);  // one owned by something that is no widget
    return result;
}

// The terminal whose window this is (docked or floating), if any.
VTixTerminal* terminalOf(QWidget* form)
{
    for (VTixTerminal* t : allTerminals())
        if (t->Form() == form)
            return t;
    return nullptr;
}

bool isDocked(const QWidget* form) { return !form->isWindow(); }

bool isFormVisible(QWidget* form)
{
    if (isDocked(form)) {
        if (VTixTerminal* t = terminalOf(form))
            return t->GetVisible();
        return !form->isHidden();
    }
    return form->isVisible();
}

int showStateOf(const QWidget* form)
{
    const Qt::WindowStates s = form->windowState();
    if (s & Qt::WindowMinimized)
        return kShowMinimized;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return kShowMaximized;
    return kShowNormal;
}

// The restored rectangle: frame position, size inside the frame.
// A form that was never shown nor sized has no size of its own yet: its
// layout's size is the one it will open with.
QSize currentSizeOf(const QWidget* form)
{
    if (!form->testAttribute(Qt::WA_Resized) && !form->testAttribute(Qt::WA_WState_ExplicitShowHide))
        return form->sizeHint().expandedTo(form->minimumSize()).boundedTo(form->maximumSize());
    return form->size();
}

QRect normalRectOf(const QWidget* form)
{
    if (!(form->windowState() & kSizeStates))
        return QRect(form->pos(), currentSizeOf(form));
    const QRect normal = form->normalGeometry();
    if (!normal.isValid())
        return QRect(form->pos(), form->size());
    const QPoint frameOffset = form->geometry().topLeft() - form->pos();
    return QRect(normal.topLeft() - frameOffset, normal.size());
}

bool hasBorder(const QWidget* form) { return !(form->windowFlags() & Qt::FramelessWindowHint); }

bool isSizeable(const QWidget* form)
{
    if (form->windowFlags() & Qt::MSWindowsFixedSizeDialogHint)
        return false;
    return form->minimumSize() != form->maximumSize();
}

// Inside the desktop work area: cut to its size, then moved left, up,
// right and down by exactly the excess over each edge. False without an
// area.
bool fitToWorkArea(QRect& r)
{
    Tixutils::TScreenAreas areas;
    if (!Tixutils::GetScreenAreas(areas) || !areas.WorkArea.isValid())
        return false;
    const QRect& a = areas.WorkArea;
    if (r.width() > a.width())
        r.setWidth(a.width());
    if (r.height() > a.height())
        r.setHeight(a.height());
    const int right = a.x() + a.width(), bottom = a.y() + a.height();
    if (r.x() + r.width() > right)
        r.moveLeft(right - r.width());
    if (r.y() + r.height() > bottom)
        r.moveTop(bottom - r.height());
    if (r.x() < a.x())
        r.moveLeft(a.x());
    if (r.y() < a.y())
        r.moveTop(a.y());
    return true;
}

// With several screens, a title bar that stands on any of them is
// reachable; the work-area rule knows the primary screen only and would
// pull every window of a second screen back onto the first.
bool titleOnSomeScreen(const QRect& r)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        return false;
    const QPoint grip(r.x() + std::min(std::max(r.width(), 0) / 2, 40), r.y() + 10);
    for (const QScreen* screen : screens)
        if (screen->availableGeometry().contains(grip))
            return true;
    return false;
}

bool isCandidateWindow(const QWidget* w)
{
    if (qobject_cast<const QMenu*>(w) || qobject_cast<const QFileDialog*>(w) || qobject_cast<const QMessageBox*>(w))
        return false;
    switch (w->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Drawer:
    case Qt::Tool:
        return true;
    default:
        return false;
    }
}

std::vector<std::string> splitNames(const std::string& text)
{
    std::vector<std::string> names;
    std::string cur;
    for (char c : text) {
        if (c == '|') {
            if (!cur.empty())
                names.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        names.push_back(cur);
    return names;
}

// Moves the forms met in the stack (top first) to the front of forms; the
// others keep their order behind them.
void orderByStack(std::vector<QWidget*>& forms, const std::vector<QWidget*>& stack, std::vector<QWidget*>& ordered)
{
    for (QWidget* w : stack) {
        auto it = std::find(forms.begin(), forms.end(), w);
        if (it != forms.end()) {
            ordered.push_back(*it);
            forms.erase(it);
        }
    }
    ordered.insert(ordered.end(), forms.begin(), forms.end());
    forms.clear();
}

}  // namespace

VTixWindowOrder* VTixAppInfo::NewWindowOrder(VTixAppInfo* owner) { return new VTixWindowOrder(owner); }

std::vector<QWidget*> VTixAppInfo::windowStack() const { return FWindowOrder->stack(); }

std::vector<QWidget*> VTixAppInfo::collectForms() const
{
    std::vector<QWidget*> tops;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->parentWidget() == nullptr)
            tops.push_back(w);
    // The owner's window first, then by name: Qt keeps no creation order.
    QWidget* ownerWindow = FOwner ? FOwner->window() : nullptr;
    std::stable_sort(tops.begin(), tops.end(), [ownerWindow](QWidget* a, QWidget* b) {
        if ((a == ownerWindow) != (b == ownerWindow))
            return a == ownerWindow;
        return a->objectName() < b->objectName();
    });

    std::vector<QWidget*> terminalForms;
    for (VTixTerminal* t : allTerminals())
        if (QWidget* f = t->Form())
            terminalForms.push_back(f);

    auto isForm = [this, &terminalForms](QWidget* w) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            return false;
        if (w->isWindow()) {
            if (!isCandidateWindow(w))
                return false;
        } else if (!w->property("tixForm").toBool() &&
                   std::find(terminalForms.begin(), terminalForms.end(), w) == terminalForms.end()) {
            return false;
        }
        const std::string n = nameOf(w);
        for (const std::string& ex : FExceptionList)
            if (Platform::SameTextIC(ex, n))
                return false;
        return true;
    };

    std::vector<QWidget*> forms;
    // A form's own forms come before the form.
    std::function<void(QWidget*)> visit = [&](QWidget* w) {
        for (QObject* child : w->children())
            if (child->isWidgetType())
                visit(static_cast<QWidget*>(child));
        if (isForm(w) && std::find(forms.begin(), forms.end(), w) == forms.end())
            forms.push_back(w);
    };
    for (QWidget* top : tops)
        visit(top);
    return forms;
}

void VTixAppInfo::savePositions() { savePositions(std::string()); }

void VTixAppInfo::savePositions(const std::string& exclude)
{
    std::string ex = exclude;
    if (!ex.empty()) {
        if (ex.front() != '|')
            ex.insert(ex.begin(), '|');
        if (ex.back() != '|')
            ex += '|';
    }
    std::vector<QWidget*> forms = collectForms();
    std::vector<QWidget*> ordered;
    orderByStack(forms, windowStack(), ordered);

    std::string key;
    auto reg = openStore(keyPathOf("Options\\Forms"), false, key);
    if (!reg)
        return;
    std::string zorder;
    for (QWidget* form : ordered) {
        const std::string name = nameOf(form);
        if (ex.find("|" + name + "|") == std::string::npos)
            saveForm(form, *reg, key);
        if (!zorder.empty())
            zorder += '|';
        zorder += name;
    }
    reg->WriteString(key, "ZOrder", zorder);
    reg->Sync();
}

void VTixAppInfo::saveForm(QWidget* form, Platform::TRegistry& ini, const std::string& formsKey)
{
    if (form == nullptr || form->objectName().isEmpty())
        return;
    const std::string key = formsKey + "\\" + nameOf(form);
    ini.WriteInteger(key, "Visible", isFormVisible(form) ? -1 : 0);
    const int state = isDocked(form) ? kShowNormal : showStateOf(form);
    ini.WriteInteger(key, "WindowState", state);
    // The window manager places minimised and maximised windows: the
    // values tell where a maximised one stands, -1 where nothing is known.
    QPoint maxPos(-1, -1);
    if (!isDocked(form) && state == kShowMaximized)
        maxPos = form->pos();
    ini.WriteInteger(key, "MinLeft", -1);
    ini.WriteInteger(key, "MinTop", -1);
    ini.WriteInteger(key, "MaxLeft", maxPos.x());
    ini.WriteInteger(key, "MaxTop", maxPos.y());
    if (isDocked(form)) {
        QSize undocked = form->size();
        if (VTixTerminal* t = terminalOf(form))
            undocked = QSize(t->GetFormWidth(), t->GetFormHeight());
        ini.WriteInteger(key, "Width", undocked.width());
        ini.WriteInteger(key, "Height", undocked.height());
        return;
    }
    const QRect r = normalRectOf(form);
    ini.WriteInteger(key, "Left", r.x());
    ini.WriteInteger(key, "Top", r.y());
    ini.WriteInteger(key, "Width", r.width());
    ini.WriteInteger(key, "Height", r.height());
}

void VTixAppInfo::loadPositions() { loadPositions(true, FResizeNonresizeable); }

void VTixAppInfo::loadPositions(bool restoreVisibility, bool resizeAll)
{
    std::string key;
    auto reg = openStore(keyPathOf("Options\\Forms"), false, key);
    if (!reg)
        return;
    std::vector<QWidget*> forms = collectForms();
    std::vector<QWidget*> ordered;
    for (const std::string& name : splitNames(reg->ReadString(key, "ZOrder", ""))) {
        auto it = std::find_if(forms.begin(), forms.end(), [&](QWidget* w) { return nameOf(w) == name; });
        if (it != forms.end()) {
            ordered.push_back(*it);
            forms.erase(it);
        }
    }
    orderByStack(forms, windowStack(), ordered);
    // The form that was on top is placed last.
    for (auto it = ordered.rbegin(); it != ordered.rend(); ++it)
        loadForm(*it, *reg, key, restoreVisibility, resizeAll);
}

void VTixAppInfo::loadFormPosition(QWidget* form, bool restoreVisibility, bool resizeAll)
{
    std::string key;
    auto reg = openStore(keyPathOf("Options\\Forms"), false, key);
    if (reg)
        loadForm(form, *reg, key, restoreVisibility, resizeAll);
}

void VTixAppInfo::loadForm(QWidget* form, Platform::TRegistry& ini, const std::string& formsKey,
                           bool restoreVisibility, bool resizeAll)
{
    if (form == nullptr || form->objectName().isEmpty())
        return;
    FixPixelsPerInch(form);
    const std::string key = formsKey + "\\" + nameOf(form);

    const bool visibleNow = isFormVisible(form);
    bool visible = visibleNow;
    if (restoreVisibility)
        visible = ini.ReadInteger(key, "Visible", visibleNow ? -1 : 0) != 0 && (GetApplRunning() || visibleNow);

    const bool saved = ini.ValueExists(key, "WindowState");
    const int state = saved ? ini.ReadInteger(key, "WindowState", showStateOf(form)) : showStateOf(form);

    QRect r = normalRectOf(form);
    const bool readPosition = resizeAll || hasBorder(form);
    const bool readSize = resizeAll || isSizeable(form);

    if (isDocked(form)) {
        if (readSize) {
            if (VTixTerminal* t = terminalOf(form)) {
                t->SetFormWidth(ini.ReadInteger(key, "Width", t->GetFormWidth()));
                t->SetFormHeight(ini.ReadInteger(key, "Height", t->GetFormHeight()));
            }
        }
        return;
    }

    if (readPosition) {
        r.moveLeft(ini.ReadInteger(key, "Left", r.x()));
        r.moveTop(ini.ReadInteger(key, "Top", r.y()));
    }
    if (readSize) {
        r.setWidth(std::max(0, ini.ReadInteger(key, "Width", r.width())));
        r.setHeight(std::max(0, ini.ReadInteger(key, "Height", r.height())));
    }
    if (saved) {
        if (!titleOnSomeScreen(r))
            Tixutils::MoveFormTitleToScreenRect(form, r);
    } else
        fitToWorkArea(r);

    Qt::WindowStates states = form->windowState();
    switch (state) {
    case kShowNormal: states &= ~kSizeStates; break;
    case kShowMinimized:
    case kShowMinNoActive: states = (states & ~kSizeStates) | Qt::WindowMinimized; break;
    case kShowMaximized: states = (states & ~kSizeStates) | Qt::WindowMaximized; break;
    default: break;
    }

    if (!visible && form->isVisible())
        form->hide();
    // The normal rectangle is set in the normal state, so that a maximised
    // or minimised window returns to it.
    if (form->windowState() & kSizeStates)
        form->setWindowState(form->windowState() & ~kSizeStates);
    if (form->pos() != r.topLeft())
        form->move(r.topLeft());
    if (form->size() != r.size())
        form->resize(r.size());
    if (states != form->windowState())
        form->setWindowState(states);
    if (visible) {
        form->show();
        form->raise();
        FWindowOrder->toFront(form);
    }
}
