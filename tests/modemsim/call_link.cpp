#include "tests/modemsim/call_link.h"

namespace ModemSim {

void TCallPeerBox::Push(TPeerEvent event)
{
    std::function<void()> wake;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(std::move(event));
        wake = wake_;
    }
    if (wake)
        wake();
}

std::vector<TPeerEvent> TCallPeerBox::Take()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TPeerEvent> out;
    out.swap(events_);
    return out;
}

void TCallPeerBox::SetWake(std::function<void()> wake)
{
    std::lock_guard<std::mutex> lock(mutex_);
    wake_ = std::move(wake);
}

void TCallLink::Add(const std::string& number, std::weak_ptr<TCallPeerBox> box)
{
    if (number.empty())
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    boxes_[number] = std::move(box);
}

std::weak_ptr<TCallPeerBox> TCallLink::Find(const std::string& number) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = boxes_.find(number);
    return it == boxes_.end() ? std::weak_ptr<TCallPeerBox>() : it->second;
}

}  // namespace ModemSim
