#include "engine/perif_csq.h"

#include <cstdio>

#include "engine/uniset.h"

VPerifCSQ::VPerifCSQ(VUniSET* owner) : VPerif(owner) {}

bool VPerifCSQ::isBusy() const { return false; }

void VPerifCSQ::onResponse(uint32_t)
{
    const std::string text = extractString("+CSQ: ", "\r\n");
    if (text.empty())
        return;
    int newRssi = -1;
    int newBer = -1;
    if (std::sscanf(text.c_str(), "%d ,%d", &newRssi, &newBer) != 2) {
        newRssi = -1;
        newBer = -1;
    }
    if (newRssi == rssi && newBer == ber)
        return;
    rssi = newRssi;
    ber = newBer;
    owner->showSignal();
}

bool VPerifCSQ::isKnown() const { return rssi != -1 && ber != -1; }

void VPerifCSQ::getValues(int& outRssi, int& outBer) const
{
    outRssi = rssi;
    outBer = ber;
}

void VPerifCSQ::requestRead() {}
