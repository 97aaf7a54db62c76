#include "engine/perif_calls.h"

VPerifCalls::VPerifCalls(VUniSET* owner) : VPerif(owner) {}

bool VPerifCalls::isBusy() const { return false; }
bool VPerifCalls::isSettled() const { return true; }
bool VPerifCalls::isReadyForCommand() const { return true; }
