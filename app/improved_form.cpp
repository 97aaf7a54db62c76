#include "app/improved_form.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLayout>
#include <QSessionManager>
#include <QTimer>
#include <QWindow>

namespace {

const char* const AnchorsProperty = "tixAnchors";
// How often the close query is asked again while events are handled.
constexpr int CloseQueryIntervalMs = 10;

}  // namespace

VTixImprovedForm::VTixImprovedForm(QWidget* parent) : QWidget(parent)
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager& manager) { commitDataRequest(manager); }, Qt::DirectConnection);
}

void VTixImprovedForm::SetAnchors(QWidget* child, int anchors)
{
    if (child)
        child->setProperty(AnchorsProperty, anchors);
}

int VTixImprovedForm::Anchors(const QWidget* child)
{
    const QVariant v = child ? child->property(AnchorsProperty) : QVariant();
    return v.isValid() ? v.toInt() : akLeft | akTop;
}

bool VTixImprovedForm::CloseQuery()
{
    return OnCloseQuery ? OnCloseQuery() : true;
}

bool VTixImprovedForm::QueryEndSession()
{
    QCoreApplication::processEvents();
    if (CloseQuery())
        return true;
    QElapsedTimer waited;
    waited.start();
    QEventLoop loop;
    QTimer ask;
    ask.setInterval(CloseQueryIntervalMs);
    connect(&ask, &QTimer::timeout, &loop, [&] {
        if (CloseQuery())
            loop.exit(1);
        else if (waited.elapsed() > m_endSessionLimitMs)
            loop.exit(0);
    });
    ask.start();
    return loop.exec() == 1;
}

void VTixImprovedForm::commitDataRequest(QSessionManager& manager)
{
    if (!QueryEndSession())
        manager.cancel();
}

void VTixImprovedForm::WindowCreated(QSize Created)
{
    const int dw = width() - Created.width();
    const int dh = height() - Created.height();
    if (dw == 0 && dh == 0)
        return;
    for (QObject* o : children()) {
        auto* child = qobject_cast<QWidget*>(o);
        // A child in a layout is aligned: the layout places it.
        if (!child || child->isWindow() || (layout() && layout()->indexOf(child) >= 0))
            continue;
        const int a = Anchors(child);
        QRect g = child->geometry();
        if (a & akRight) {
            if (a & akLeft)
                g.setWidth(g.width() - dw);
            else
                g.moveLeft(g.left() - dw);
        }
        if (a & akBottom) {
            if (a & akTop)
                g.setHeight(g.height() - dh);
            else
                g.moveTop(g.top() - dh);
        }
        child->setGeometry(g);
    }
    resize(Created);
}

bool VTixImprovedForm::event(QEvent* Event)
{
    if (Event->type() == QEvent::Show && !m_windowSeen && isWindow()) {
        m_windowSeen = true;
        if (const QWindow* window = windowHandle())
            WindowCreated(window->size());
    }
    return QWidget::event(Event);
}
