#include "engine/perif_creg.h"

#include "engine/uniset.h"

VPerifCREG::VPerifCREG(VUniSET* owner) : VPerif(owner) {}

bool VPerifCREG::isBusy() const { return false; }
bool VPerifCREG::isRegistered() const { return true; }

void VPerifCREG::setValues(int newMode, int newStat, int newLac, int newCell)
{
    if (newMode == mode && newStat == stat && newLac == lac && newCell == cellId)
        return;
    mode = newMode;
    stat = newStat;
    lac = newLac;
    cellId = newCell;
    owner->showRegistration();
}

int VPerifCREG::getStat() const { return stat; }
int VPerifCREG::getLac() const { return lac; }
int VPerifCREG::getCell() const { return cellId; }
