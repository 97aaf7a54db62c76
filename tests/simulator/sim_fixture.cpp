#include "tests/simulator/sim_fixture.h"

void SimFixture::Boot(ModemSim::TSimOptions options, int baud)
{
    sim = std::make_unique<ModemSim::TModemSim>(std::move(options));
    std::string error;
    ASSERT_TRUE(sim->Start(&error)) << error;
    ASSERT_TRUE(client.Open(sim->PtyPath(), baud)) << sim->PtyPath();
}

void SimFixture::Boot(const ModemSim::TProfile& profile, int baud)
{
    ModemSim::TSimOptions options;
    options.profile = profile;
    Boot(std::move(options), baud);
}

void SimFixture::TearDown()
{
    client.Close();
    if (sim) {
        sim->Stop();
        if (HasFailure())
            std::cerr << "transcript:\n" << sim->Transcript().ToText();
    }
}
