#pragma once
#include <string>

// The pseudo-terminal the simulated device sits behind. The program opens
// the slave by its path; the simulator reads and writes the master. The
// simulator keeps a slave descriptor of its own open, so the program may
// close and reopen the port without the master seeing a hang-up.
namespace ModemSim {

class TPtyDevice {
public:
    TPtyDevice() = default;
    ~TPtyDevice();
    TPtyDevice(const TPtyDevice&) = delete;
    TPtyDevice& operator=(const TPtyDevice&) = delete;

    bool Open(std::string* error);
    void Close();
    bool IsOpen() const { return master_ >= 0; }
    int MasterFd() const { return master_; }
    const std::string& Path() const { return path_; }

    // The line speed the program set on its side (tcgetattr on the master
    // reports the slave's settings); 0 when unknown.
    int ProgramBaud() const;

    // Bytes still on their way, either way: written by the program and
    // not yet read here, or written here and not yet read by the program.
    bool Readable() const;

    // Non-blocking read; returns bytes read, 0 when nothing is there, -1 on error.
    long Read(char* buffer, unsigned long size);
    // Writes what the line takes; returns the number of bytes written.
    unsigned long Write(const std::string& bytes);

    static int SpeedToBaud(unsigned speed);

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace ModemSim
