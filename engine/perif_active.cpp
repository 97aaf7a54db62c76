#include "engine/perif_active.h"

VPerifActive::VPerifActive(VUniSET* owner) : VPerif(owner) {}

bool VPerifActive::isBusy() const { return false; }
void VPerifActive::setState(int) {}
bool VPerifActive::isSettled() const { return true; }
bool VPerifActive::isAnswering() const { return true; }
bool VPerifActive::isChecking() const { return false; }
