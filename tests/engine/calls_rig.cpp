#include "tests/engine/calls_rig.h"

#include <cstdio>
#include <memory>

#include "engine/perif_receiving_file.h"
#include "engine/perif_sending_file.h"

namespace {

class TNotedProtikus : public VPerifProtikus {
public:
    TNotedProtikus(VUniSET* owner, std::vector<std::string>& log) : VPerifProtikus(owner), log(log) {}
    void abandon(uint32_t now, Protikus* party) override
    {
        log.push_back("protikus");
        VPerifProtikus::abandon(now, party);
    }
    std::vector<std::string>& log;
};

class TNotedSender : public VPerifSendingFile {
public:
    TNotedSender(VUniSET* owner, std::vector<std::string>& log) : VPerifSendingFile(owner), log(log) {}
    void abandon(uint32_t, Protikus*) override { log.push_back("sender"); }
    std::vector<std::string>& log;
};

class TNotedReceiver : public VPerifReceivingFile {
public:
    TNotedReceiver(VUniSET* owner, std::vector<std::string>& log) : VPerifReceivingFile(owner), log(log) {}
    void abandon(uint32_t, Protikus*) override { log.push_back("receiver"); }
    std::vector<std::string>& log;
};

}  // namespace

TCallsRig::TCallsRig(int maker, int model, uint32_t start)
    : THandlerRig(start)
{
    status.makerCode = maker;
    status.modelCode = model;
    InstallStatusStubs(engine, status, {VPerifModem::hCalls});
    modem.replaceHandler(VPerifModem::hProtikus, std::make_unique<TNotedProtikus>(&engine, abandoned));
    modem.replaceHandler(VPerifModem::hSendingFile, std::make_unique<TNotedSender>(&engine, abandoned));
    modem.replaceHandler(VPerifModem::hReceivingFile, std::make_unique<TNotedReceiver>(&engine, abandoned));
    modem.start(now);
    engine.restart(now);
    sent();
    window.clearCalls();
}

void TCallsRig::reply(const std::string& command, const std::string& final)
{
    line(command + "\r\r\n");
    line(final + "\r\n");
}

void TCallsRig::settle()
{
    if (status.makerCode == 0x2000) {
        run(10);
        reply("AT*ECAM=1");
    }
    run(10);
    reply("AT+CLIP=1");
    advance(700);
    run(10);
    line("AT+CPAS\r\r\n+CPAS: 0\r\n\r\nOK\r\n");
    sent();
}

std::string TCallsRig::runSent(uint32_t ms)
{
    run(ms);
    return sent();
}

std::string TCallsRig::states()
{
    std::string out;
    for (int i = 0; i < VPerifCalls::RowCount; ++i)
        out += (i ? " " : "") + std::to_string(modem.calls().row(i).state);
    return out;
}

std::string TCallsRig::Bytes(const std::string& hex)
{
    std::string out;
    unsigned value = 0;
    int used = 0;
    for (const char* p = hex.c_str(); std::sscanf(p, "%2x%n", &value, &used) == 1; p += used)
        out += char(value);
    return out;
}

std::string TCallsRig::Hex(const std::string& bytes)
{
    std::string out;
    char buf[4];
    for (const char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", unsigned(uint8_t(c)));
        out += (out.empty() ? "" : " ") + std::string(buf);
    }
    return out;
}

std::string TCallsRig::Frame(const std::string& hexWithoutSum)
{
    std::string frame = Bytes(hexWithoutSum);
    unsigned sum = 1;
    for (const char c : frame)
        sum += uint8_t(c);
    return frame + char(sum & 0xFF);
}
