// Registration, operators and signal of the simulated device.
#include <chrono>

#include "tests/simulator/sim_fixture.h"

using ModemSim::TProfile;

class Network : public SimFixture {
protected:
    void Start(const TProfile& p)
    {
        Boot(p);
        ASSERT_EQ(Ask("ATE0"), "ATE0\r\r\nOK\r\n");
    }
};

TEST_F(Network, CregReadFormsFollowN)
{
    Start(TProfile::Builtin("tc35"));
    EXPECT_EQ(Ask("AT+CREG?"), "\r\n+CREG: 0,1\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CREG=?"), "\r\n+CREG: (0-2)\r\n\r\nOK\r\n");
    ASSERT_EQ(Ask("AT+CREG=2"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CREG?"), "\r\n+CREG: 2,1,\"1A2B\",\"3C4D\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CREG=3"), "\r\nERROR\r\n");
}

TEST_F(Network, UnsolicitedCregReports)
{
    Start(TProfile::Builtin("tc35"));
    ASSERT_EQ(Ask("AT+CREG=1"), "\r\nOK\r\n");
    sim->SetRegistration(2);
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 2\r\n", 5000));
    client.Take();
    // A new cell with the same state says nothing with n=1 ...
    sim->SetRegistration(1, 0x1111, 0x2222);
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 1\r\n", 5000));
    client.Take();
    sim->SetRegistration(1, 0x1111, 0x3333);
    client.ReadFor(300);
    EXPECT_EQ(client.Take(), "");
    // ... and reports it with n=2.
    ASSERT_EQ(Ask("AT+CREG=2"), "\r\nOK\r\n");
    sim->SetRegistration(1, 0x1111, 0x4444);
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 1,\"1111\",\"4444\"\r\n", 5000));
    // Not registered: no location.
    sim->SetRegistration(0);
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 0\r\n", 5000));
}

TEST_F(Network, EricssonSendsLocationAndCellByteSwapped)
{
    TProfile p = TProfile::Builtin("gm22");
    Start(p);
    ASSERT_EQ(Ask("AT+CREG=2"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CREG?"), "\r\n+CREG: 2,1,\"2B1A\",\"4D3C\"\r\n\r\nOK\r\n");
    sim->SetRegistration(5, 0x1234, 0xABCD);
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 5,\"3412\",\"CDAB\"\r\n", 5000));
}

TEST_F(Network, OldDevicesHaveNoLocationReports)
{
    TProfile p = TProfile::Builtin("m20");
    p.baud = 0;
    p.sim = ModemSim::TSimCard::Ready;
    Start(p);
    EXPECT_EQ(Ask("AT+CREG=2"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+CREG=1"), "\r\nOK\r\n");
}

TEST_F(Network, RegistrationWaitsForThePin)
{
    TProfile p = TProfile::Builtin("tc35");
    p.sim = ModemSim::TSimCard::Pin;
    p.registerMs = 300;
    Start(p);
    ASSERT_EQ(Ask("AT+CREG=1"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+COPS?"), "\r\n+COPS: 0\r\n\r\nOK\r\n");
    client.Command("AT+CPIN=1234");
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 2\r\n", 5000));
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 1\r\n", 5000));
    EXPECT_EQ(Ask("AT+COPS?"), "\r\n+COPS: 0,0,\"T-Mobile CZ\"\r\n\r\nOK\r\n");
}

TEST_F(Network, CopsReadInEveryFormat)
{
    Start(TProfile::Builtin("tc35"));
    EXPECT_EQ(Ask("AT+COPS?"), "\r\n+COPS: 0,0,\"T-Mobile CZ\"\r\n\r\nOK\r\n");
    ASSERT_EQ(Ask("AT+COPS=3,1"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+COPS?"), "\r\n+COPS: 0,1,\"TMO CZ\"\r\n\r\nOK\r\n");
    ASSERT_EQ(Ask("AT+COPS=3,2"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+COPS?"), "\r\n+COPS: 0,2,\"23001\"\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+COPS=3,3"), "\r\nERROR\r\n");
    EXPECT_EQ(Ask("AT+COPS=3"), "\r\nERROR\r\n");
}

TEST_F(Network, NetworkListTakesItsTime)
{
    TProfile p = TProfile::Builtin("tc35");
    p.searchMs = 2000;
    Start(p);
    const auto start = std::chrono::steady_clock::now();
    client.Command("AT+COPS=?");
    // Nothing for a good while: the search runs.
    client.ReadFor(800);
    EXPECT_EQ(client.Received(), "");
    ASSERT_TRUE(client.WaitFor("OK\r\n", 10000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
    EXPECT_EQ(client.Take(),
              "\r\n+COPS: (2,\"T-Mobile CZ\",\"TMO CZ\",\"23001\"),(1,\"Vodafone CZ\",\"VF CZ\",\"23003\"),"
              "(3,\"O2 - CZ\",\"O2 CZ\",\"23002\"),,(0,1,2,3,4),(0,1,2)\r\n\r\nOK\r\n");
}

TEST_F(Network, OldDevicesListNetworksWithoutShortNames)
{
    TProfile p = TProfile::Builtin("m20");
    p.baud = 0;
    p.sim = ModemSim::TSimCard::Ready;
    p.searchMs = 0;
    Start(p);
    EXPECT_EQ(Ask("AT+COPS=?"),
              "\r\n+COPS: (2,\"T-Mobile CZ\",\"23001\"),(1,\"Vodafone CZ\",\"23003\"),"
              "(3,\"O2 - CZ\",\"23002\"),,(0,1,2,3,4),(0,1,2)\r\n\r\nOK\r\n");
}

TEST_F(Network, ManualSelection)
{
    TProfile p = TProfile::Builtin("tc35");
    p.selectMs = 100;
    Start(p);
    ASSERT_EQ(Ask("AT+CREG=1"), "\r\nOK\r\n");
    client.Command("AT+COPS=1,2,\"23003\"");
    // The OK, then the reports of the new registration: a foreign network, roaming.
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 5\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\nOK\r\n\r\n+CREG: 2\r\n\r\n+CREG: 5\r\n");
    EXPECT_EQ(Ask("AT+COPS?"), "\r\n+COPS: 1,2,\"23003\"\r\n\r\nOK\r\n");
    // A forbidden network refuses; one the device does not see is not there.
    EXPECT_EQ(Ask("AT+CMEE=1"), "\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+COPS=1,0,\"O2 - CZ\""), "\r\n+CME ERROR: 32\r\n");
    EXPECT_EQ(Ask("AT+COPS=1,2,\"99999\""), "\r\n+CME ERROR: 30\r\n");
    // Back to automatic.
    client.Command("AT+COPS=0");
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 1\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\nOK\r\n\r\n+CREG: 2\r\n\r\n+CREG: 1\r\n");
    EXPECT_EQ(Ask("AT+COPS?"), "\r\n+COPS: 0,2,\"23001\"\r\n\r\nOK\r\n");  // the format stays
    // Deregistration.
    client.Command("AT+COPS=2");
    ASSERT_TRUE(client.WaitFor("\r\n+CREG: 0\r\n", 5000));
    EXPECT_EQ(client.Take(), "\r\nOK\r\n\r\n+CREG: 0\r\n");
    EXPECT_EQ(Ask("AT+COPS?"), "\r\n+COPS: 2\r\n\r\nOK\r\n");
}

TEST_F(Network, SignalQuality)
{
    Start(TProfile::Builtin("tc35"));
    EXPECT_EQ(Ask("AT+CSQ"), "\r\n+CSQ: 21,99\r\n\r\nOK\r\n");
    sim->SetSignal(7, 3);
    EXPECT_EQ(Ask("AT+CSQ"), "\r\n+CSQ: 7,3\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CSQ=?"), "\r\n+CSQ: (0-31,99),(0-7,99)\r\n\r\nOK\r\n");
    EXPECT_EQ(Ask("AT+CSQ?"), "\r\nERROR\r\n");
}
