#pragma once
#include <string>
#include <vector>

// The serial ports of this machine, as the port combo boxes list them.
namespace Serial {

struct TSerialPortEntry {
    // Matched by the wildcard patterns: the /dev/serial/by-id name when the
    // port has one (it names the maker and model of a USB modem), else the
    // kernel's name ("ttyS0").
    std::string deviceName;
    // What the program opens: "/dev/ttyS0", "/dev/ttyUSB0", ...
    std::string portName;
};

// Reads the ports from the tty class of sysfs: UARTs that really exist
// (a ttyS entry whose "type" is 0 has no UART behind it), USB serial
// adapters and ACM modems, any other tty with a device behind it; never
// a virtual terminal or the port the kernel uses as its console. Sorted
// by kernel name.
std::vector<TSerialPortEntry> ScanSerialPorts(const std::string& sysClassTty = "/sys/class/tty",
                                              const std::string& devDir = "/dev");

// The device a port name opens: "COMn" is /dev/ttyS(n-1), a bare name
// is taken from /dev, a path stays as it is.
std::string PortDevicePath(const std::string& name);

// Whether two port names open the same device ("COM1" and /dev/ttyS0, a
// by-id link and the port it points at).
bool SamePort(const std::string& a, const std::string& b);

}  // namespace Serial
