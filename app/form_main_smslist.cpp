// The main window's SMS list (VSMSList1): the model of the SMS page, the
// list the SMS handler reads into, and the SMS-centre list bound to the
// options dialog's ComboSCA.
#include "app/form_main.h"

#include "app/form_options.h"
#include "app/sca_combo_box.h"
#include "engine/perif_smss.h"
#include "engine/uniset.h"
#include "platform/qt/paths.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"

void TFormMain::createSMSList()
{
    VSMSList1 = std::make_unique<VTixSMSList>();
    VSMSList1->UpdateOften = true;
    VTixSMS_BreakerDispatcher& breakers = VSMSList1->GetBreakers();
    for (int i = 0; i < VTixSMS_BreakerDispatcher::Count; ++i)
        breakers.SetBreaker(i, "");
    breakers.SetBreaker(VTixSMS_BreakerDispatcher::FmtBeginFirst, "%N/%T:");
    breakers.SetBreaker(VTixSMS_BreakerDispatcher::FmtEndNotLast, " >%M");
    breakers.SetBreaker(VTixSMS_BreakerDispatcher::FmtBeginNotFirst, "%N/%T:");
    VSMSList1->LangSection = "SMSList";
    VSMSList1->SetLanguage([this](const std::string& section, const std::string& key,
                                  const std::string& defaultText, int index) {
        return getLangText(section, key, defaultText, index);
    });
    SMSListModel = std::make_unique<VTixSMSListModel>(VSMSList1.get());
}

void TFormMain::bindSCACombo()
{
    if (!FormOptions || !VSMSList1 || SCAComboLink)
        return;
    SCAComboLink = std::make_unique<TSCAComboBox>(FormOptions->ComboSCA);
    VSMSList1->SetSCACombo(SCAComboLink.get());
}

VTixSMSList* TFormMain::smsList()
{
    return VSMSList1.get();
}

bool TFormMain::windowMinimized()
{
    return isMinimized();
}

void TFormMain::writeSCANumber()
{
    if (uniset && VSMSList1)
        uniset->getHandlers().smss().setWantedSCA(VSMSList1->GetSCANumber());
}

void TFormMain::setShowSMSStateAsText(bool value)
{
    if (VSMSList1)
        VSMSList1->SetShowSMSStateAsText(value);
}
