#include "engine/perif_phonebook.h"

VPerifPhonebook::VPerifPhonebook(VUniSET* owner) : VPerif(owner) {}

bool VPerifPhonebook::isBusy() const { return false; }
bool VPerifPhonebook::isReady() const { return true; }
