// VTixSMSList: the view that shows one row per record, the column
// captions and widths, and the texts of a row.
#include "sms/sms_list.h"

namespace {

// The state texts of the built-in language, in state order (code page 1250).
const char* const kStateDefaults[VTixSMS_stateCount] = {
    "Zji\x9A\x9Duji...", "Chyba \xE8ten\xED PDU", "P\xF8ijat\xE1", "P\xF8\x65\xE8ten\xE1",
    "Neodeslan\xE1",     "Pos\xEDl\xE1 se...",    "Ukl\xE1\x64\xE1 se...", "Chyba odesl\xE1n\xED",
    "Odesl\xE1na",       "Ma\x9E\x65 se...",
};

}  // namespace

void VTixSMSList::SetListView(VTixSMSListView* view)
{
    if (view == view_)
        return;
    if (VTixSMSListView* old = view_) {
        // The old view's rows lose their records.
        view_ = nullptr;
        for (const auto& sms : records_)
            sms->listItem_ = nullptr;
        old->smsRowsReset();
    }
    view_ = view;
    if (!view_)
        return;
    for (const auto& sms : records_)
        sms->listItem_ = view_;
    view_->smsRowsReset();
}

void VTixSMSList::SetShowSMSStateAsText(bool show)
{
    if (show == showStateAsText_)
        return;
    showStateAsText_ = show;
    if (view_)
        view_->smsColumnsChanged();
}

void VTixSMSList::SetLanguage(VSMSLangLookup lookup)
{
    language_ = std::move(lookup);
    changedLanguage();
}

void VTixSMSList::changedLanguage()
{
    if (!view_)
        return;
    view_->smsColumnsChanged();
    for (const auto& sms : records_)
        UpdateListItem(sms.get());
}

std::string VTixSMSList::langText(const std::string& key, const std::string& defaultText, int index) const
{
    return language_ ? language_(LangSection, key, defaultText, index) : defaultText;
}

std::string VTixSMSList::GetColumnCaption(int column) const
{
    switch (column) {
    case 0: return langText("Ident", "Id");
    case 1: return langText("State", "Stav");
    case 2: return langText("Text", "Text");
    default: return std::string();
    }
}

int VTixSMSList::GetColumnWidth(int column, int viewWidth) const
{
    const int state = showStateAsText_ ? StateWidth : 0;
    switch (column) {
    case 0: return IdentWidth;
    case 1: return state;
    case 2: return viewWidth - IdentWidth - state - 20;
    default: return 0;
    }
}

std::string VTixSMSList::GetRowCaption(const VTixSMSRecord* sms)
{
    if (!sms)
        return std::string();
    if (sms->GetIndex() > 0)
        return std::to_string(sms->GetIndex()) + ": " + sms->GetStorage();
    return sms->GetStorage() + ": ?";
}

std::string VTixSMSList::GetStateText(int state) const
{
    const std::string defaultText = state >= 0 && state < VTixSMS_stateCount ? kStateDefaults[state] : "";
    const std::string text = langText("SMSState", defaultText, state);
    return text.empty() ? std::string("???") : text;
}
