#include "engine/perif_cala.h"

VPerifCALA::VPerifCALA(VUniSET* owner) : VPerif(owner) {}

bool VPerifCALA::isBusy() const { return false; }
void VPerifCALA::setAbsolute(double, bool) {}
void VPerifCALA::setRelative(int, bool) {}
void VPerifCALA::refreshEdits(uint32_t) {}
void VPerifCALA::requestWrite() {}
bool VPerifCALA::isSameText(const std::string& text) const { return text == alarmText; }
bool VPerifCALA::isResolved() const { return true; }
