#include "engine/perif_cbc.h"

VPerifCBC::VPerifCBC(VUniSET* owner) : VPerif(owner) {}

bool VPerifCBC::isBusy() const { return false; }
void VPerifCBC::showValues() {}
