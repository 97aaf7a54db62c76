#include "translation/language_record.h"

#include <cstdio>

#include "translation/locale_table.h"

void LanguageRecord::SetLanguageId(int id)
{
    languageId_ = id;
    IsUserDefault = id == Tixlanguage::GetUserDefaultLangID();
    ImageIndex = -1;
}

void LanguageRecord::SetLangIcon(std::vector<std::string>& imageNames,
                                 std::vector<std::string>& images, const std::string& iconBytes)
{
    char name[16];
    std::snprintf(name, sizeof(name), "%04X", unsigned(languageId_) & 0xFFFFFFFFu);
    for (size_t i = 0; i < imageNames.size(); ++i)
        if (imageNames[i] == name) {
            ImageIndex = int(i);
            return;
        }
    if (iconBytes.empty())
        return;
    imageNames.push_back(name);
    images.push_back(iconBytes);
    ImageIndex = int(images.size()) - 1;
}
