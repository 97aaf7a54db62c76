#include "engine/perif_cmee.h"

VPerifCMEE::VPerifCMEE(VUniSET* owner) : VPerif(owner) {}

bool VPerifCMEE::isBusy() const { return false; }
bool VPerifCMEE::isKnown() const { return true; }
