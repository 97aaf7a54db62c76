#include "engine/perif_cgmi.h"

VPerifCGMI::VPerifCGMI(VUniSET* owner) : VPerif(owner) {}

bool VPerifCGMI::isBusy() const { return false; }
int VPerifCGMI::getCode() const { return 0xF000; }
std::string VPerifCGMI::getText() const { return {}; }
void VPerifCGMI::setValue(const std::string&, int) {}
bool VPerifCGMI::isIdentified() const { return true; }
