#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/event_loop.h"

// The far end of a pseudo-terminal for the serial tests: the component
// opens the slave path, the test talks through the master.
namespace SerialTest {

class TPtyPeer {
public:
    TPtyPeer();
    ~TPtyPeer();
    TPtyPeer(const TPtyPeer&) = delete;
    TPtyPeer& operator=(const TPtyPeer&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // Writes all bytes to the master (blocking).
    void Write(const std::string& bytes);
    // A thread that collects what the component sends; with echo it also
    // sends every byte straight back.
    void StartReader(bool echo);
    void StopReader();
    std::string Received() const;
    size_t ReceivedSize() const;
    // Closes the master: the component's end hangs up.
    void CloseMaster();

private:
    int master_ = -1;
    std::string slavePath_;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string received_;
};

using TestSupport::ProcessFor;
using TestSupport::ProcessUntil;

}  // namespace SerialTest
