#include "engine/main_window_link.h"

namespace {

const char* const ControlNames[VMainWindowLink::ControlCount] = {
    "LabelDevice",      "ShapeProgress",   "GaugeSigStr",       "GaugeSigQual",
    "LabelSigQual",     "CheckRegul",      "CheckTestSignal",   "ComboOperator",
    "BtnQueryOp",       "ListFilesOut",    "ListFilesIn",       "GroupPowerMode",
    "CheckPowerNormal", "CheckPowerSleep", "CheckPowerAlarmed", "CheckPowerDown",
    "GroupCCLK",        "EditCCLKtime",    "EditCCLKofs",       "BtnCCLKWrite",
    "BtnCCLKAsk",       "BtnCCLKCurrent",  "GroupCALA",         "EditCALAtime",
    "EditCALAofs",      "EditCALAtext",    "BtnCALAWrite",      "BtnCALACancel",
    "GroupCBC",         "ProgressBatt",    "ProgressConsumption", "LabelBattery",
    "LabelCBCCharger",  "ImageCBC",        "RGroupAutom",       "RGroupAdvanced",
    "EditOftenCSQ",     "EditPIN",         "BtnCPINAgain",
    // Phonebook page
    "CheckPhonebookActive", "RGroupPBStorage", "TabsPBStorages",
};

}  // namespace

const char* VMainWindowLink::ControlName(TControl Control)
{
    if (Control < 0 || Control >= ControlCount)
        return "";
    return ControlNames[Control];
}

VMainWindowLink::TControl VMainWindowLink::PowerItemOfTag(int Tag)
{
    if (Tag < 0 || Tag > 3)
        return ControlCount;
    return TControl(CheckPowerNormal + Tag);
}
