#include "engine/perif_cclk.h"

VPerifCCLK::VPerifCCLK(VUniSET* owner) : VPerif(owner) {}

bool VPerifCCLK::isBusy() const { return false; }
int VPerifCCLK::getOffset() const { return offset; }
std::string VPerifCCLK::getZoneSuffix() const { return {}; }
void VPerifCCLK::setOffset(int seconds) { offset = seconds; }
void VPerifCCLK::refreshDisplay(uint32_t) {}
bool VPerifCCLK::isResolved() const { return true; }
