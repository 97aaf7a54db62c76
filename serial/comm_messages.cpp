#include "serial/comm_messages.h"

#include <QCoreApplication>

#include <exception>

#include "platform/debug_sink.h"

namespace Serial {

QEvent::Type TCommMessage::DataType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type TCommMessage::OtherType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

TCommMessage::TCommMessage(Kind kind, uint32_t session, uint32_t wParam, uint32_t lParam,
                           std::unique_ptr<char[]> data)
    : QEvent(kind == ReceivedData ? DataType() : OtherType()),
      kind(kind),
      session(session),
      wParam(wParam),
      lParam(lParam),
      data(std::move(data))
{
}

TCommWindow::TCommWindow(std::function<void(TCommMessage&)> proc) : proc_(std::move(proc)) {}

bool TCommWindow::event(QEvent* e)
{
    if (e->type() != TCommMessage::DataType() && e->type() != TCommMessage::OtherType())
        return QObject::event(e);
    try {
        proc_(*static_cast<TCommMessage*>(e));
    } catch (const std::exception& ex) {
        Platform::EmitDebugText(std::string("Serial port event handler failed: ") + ex.what());
    } catch (...) {
        Platform::EmitDebugText("Serial port event handler failed");
    }
    return true;
}

void TCommPoster::Post(std::unique_ptr<TCommMessage> message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (target_)
        QCoreApplication::postEvent(target_, message.release());
}

void TCommPoster::Detach()
{
    std::lock_guard<std::mutex> lock(mutex_);
    target_ = nullptr;
}

}  // namespace Serial
