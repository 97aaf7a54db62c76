#pragma once
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/modemsim/modem_sim.h"
#include "tests/modemsim/pty_client.h"

// A started simulator with a client port opened on its pty.
class SimFixture : public ::testing::Test {
protected:
    void TearDown() override;

    // Starts `options` and opens the client at `baud`. Fails the test on error.
    void Boot(ModemSim::TSimOptions options, int baud = 19200);
    void Boot(const ModemSim::TProfile& profile, int baud = 19200);

    // Sends a command and returns what came back up to its final result.
    std::string Ask(const std::string& line, int timeoutMs = 5000) { return client.Transact(line, timeoutMs); }

    std::unique_ptr<ModemSim::TModemSim> sim;
    ModemSim::TPtyClient client;
};
