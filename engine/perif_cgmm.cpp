#include "engine/perif_cgmm.h"

VPerifCGMM::VPerifCGMM(VUniSET* owner) : VPerif(owner) {}

bool VPerifCGMM::isBusy() const { return false; }
int VPerifCGMM::getCode() const { return 0x00F; }
int VPerifCGMM::getModel() const { return 0x00F; }
std::string VPerifCGMM::getText() const { return {}; }
void VPerifCGMM::makerChanged() {}
void VPerifCGMM::setValue(const std::string&, int) {}
bool VPerifCGMM::isIdentified() const { return true; }
