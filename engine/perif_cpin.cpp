#include "engine/perif_cpin.h"

#include "engine/perif_modem.h"

VPerifCPIN::VPerifCPIN(VUniSET* owner) : VPerif(owner) {}

bool VPerifCPIN::isBusy() const { return false; }
bool VPerifCPIN::usesQuotes() const { return modem().isSiemensQuirk(); }
bool VPerifCPIN::isReady() const { return true; }
void VPerifCPIN::askPIN() {}
void VPerifCPIN::setPIN(const std::string& text) { pin = text; }
void VPerifCPIN::confirmPIN() {}
void VPerifCPIN::requery() {}
