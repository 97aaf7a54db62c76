#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "serial/modem_lines.h"
#include "serial/port_io.h"

// A port for tests: the data go through a real pseudo-terminal (the path
// the component is given), but the modem lines, line errors and the RTS
// and DTR outputs come from and go to a TModemLines object, and every
// baud change is recorded. Closing the port drops DTR and RTS, as a real
// port does.
//
//   Serial::TModemLines lines;
//   Serial::TTestPortFactory ports(lines);
//   comm.SetPortFactory(ports.Factory());
//   comm.SetCommPort(ptsname(master));
//
// The TModemLines object must outlive every port the factory makes.
namespace Serial {

class TTestPortFactory {
public:
    explicit TTestPortFactory(TModemLines& lines);
    ~TTestPortFactory();
    TTestPortFactory(const TTestPortFactory&) = delete;
    TTestPortFactory& operator=(const TTestPortFactory&) = delete;

    // The factory to install with TVTSComm32::SetPortFactory.
    TPortFactory Factory() const;

    // ---- What the ports did ----
    // Each applied rate that differs from the one applied before.
    std::vector<uint32_t> BaudRates() const;
    // The last control block applied.
    TDCB LastDCB() const;
    int Configures() const;  // control blocks applied
    int Opens() const;   // successful openings
    int Closes() const;  // ports closed (descriptor released)
    uint64_t BytesRead() const;

    // ---- Faults ----
    // The next opening fails with err (one time).
    void FailNextOpen(int err);
    // Reading the modem lines fails with err (0: works again), as when the
    // device is unplugged.
    void FailModemStatus(int err);
    // While held, the port's read thread sees neither data nor line changes;
    // on release it sees everything at once. Lets a test change several
    // lines and inject errors that must arrive as one port event.
    void HoldEvents(bool hold);
    // True while the read thread waits in a held wait (nothing of it is
    // in flight).
    bool ReadThreadHeld() const;
    // While stalled, the read thread's wait ignores the close event, as a
    // driver that never returns would.
    void StallReads(bool stall);
    // True while the read thread sits in a stalled wait.
    bool ReadThreadStalled() const;
    // Writes fail with err (0: they work again), as on a port whose device
    // stopped taking data.
    void FailWrites(int err);
    // The device's lines become msBits right after the next reading of the
    // modem status (one time), as a change that lands while a thread reads
    // the lines.
    void ChangeLinesAfterNextStatusRead(uint32_t msBits);

private:
    struct State;
    class Port;
    std::shared_ptr<State> state_;
};

}  // namespace Serial
