#include "tests/engine/handler_rig.h"

THandlerRig::THandlerRig(uint32_t start) : now(start)
{
    modem.start(now);
    engine.restart(now);
}

void THandlerRig::line(const std::string& text)
{
    for (char c : text)
        engine.receivedByte(now, uint8_t(c));
}

std::string THandlerRig::sent()
{
    std::string out;
    out.swap(port.written);
    return out;
}

void THandlerRig::reply(const std::string& info, const std::string& final)
{
    if (!info.empty())
        line(info + "\r\n");
    line(final + "\r\n");
}

void THandlerRig::answer(const std::string& command, const std::string& info, const std::string& final)
{
    line(command + "\r\r\n");
    reply(info, final);
}

void THandlerRig::run(uint32_t ms)
{
    for (uint32_t t = 0; t < ms; t += 10) {
        now += 10;
        engine.tick(now);
    }
}
