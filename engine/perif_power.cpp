#include "engine/perif_power.h"

VPerifPower::VPerifPower(VUniSET* owner) : VPerif(owner) {}

bool VPerifPower::isBusy() const { return false; }
void VPerifPower::evaluateProbes() {}
bool VPerifPower::isFullPower() const { return true; }
bool VPerifPower::isSteady() const { return true; }
int VPerifPower::getMode() const { return 1; }
void VPerifPower::showMode() {}
void VPerifPower::setWantedMode(int) {}
