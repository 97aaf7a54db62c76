#pragma once
#include <string>

#include "serial/comm_component.h"

// A link that keeps the bytes written to it, for tests about the exact
// bytes the engine writes. Tests about the conversation with a device use
// the serial component and the simulated device instead.
class TByteSinkPort : public VTixCommunicationComponent {
public:
    std::string written;
    int writes = 0;
    bool open = true;

    std::string GetConfigAsString() override { return {}; }
    void SetConfigAsString(const std::string&) override {}
    bool StartComm() override { return open = true; }
    void StopComm() override { open = false; }
    bool WriteCommData(const char* Buffer, int32_t Length) override
    {
        if (!open || Length < 0)
            return false;
        written.append(Buffer, size_t(Length));
        ++writes;
        return true;
    }
    using VTixCommunicationComponent::WriteCommData;
    bool Connected() const override { return open; }
    TCommState ConnectionState() const override
    {
        return open ? CommStateConnected : CommStateDisconnected;
    }
};
