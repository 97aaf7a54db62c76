#include "engine/perif_smss.h"

VPerifSMSs::VPerifSMSs(VUniSET* owner) : VPerif(owner) {}

bool VPerifSMSs::isBusy() const { return false; }
bool VPerifSMSs::isInitialised() const { return true; }
