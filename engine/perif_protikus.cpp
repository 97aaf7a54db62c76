#include "engine/perif_protikus.h"

VPerifProtikus::VPerifProtikus(VUniSET* owner) : VPerif(owner) {}

bool VPerifProtikus::isBusy() const { return false; }
bool VPerifProtikus::isSettled() const { return true; }
