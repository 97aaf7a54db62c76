#include "engine/perif_receiving_file.h"

VPerifReceivingFile::VPerifReceivingFile(VUniSET* owner) : VPerif(owner) {}

bool VPerifReceivingFile::isBusy() const { return false; }
bool VPerifReceivingFile::isIdle() const { return true; }
void VPerifReceivingFile::abandon(uint32_t, Protikus*) {}
