#pragma once
#include <QString>
#include <map>
#include <string>

#include "foundation/tixutils_quote.h"
#include "translation/tixlanguage.h"

// The built-in language texts as the tests read them: section -> key ->
// text (UTF-8, quotes taken off).
namespace TestSupport {

using TLanguageSections = std::map<std::string, std::map<std::string, std::string>>;

inline TLanguageSections ParseLanguageText(const std::string& file)
{
    TLanguageSections out;
    std::string section;
    size_t at = file.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < file.size()) {
        size_t end = file.find('\n', at);
        end = end == std::string::npos ? file.size() : end;
        std::string line = file.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 1 && line[0] == '[' && line.back() == ']')
            section = line.substr(1, line.size() - 2);
        else if (const size_t eq = line.find('='); eq != std::string::npos && line[0] != ';')
            out[section][line.substr(0, eq)] = Tixutils::TixExtractQuotedStr(line.substr(eq + 1));
    }
    return out;
}

// The built-in language of this id ("0x0405" Czech, "0x0809" English).
inline TLanguageSections BuiltInLanguage(const std::string& id)
{
    for (const std::string& file : VTixLanguage::BuiltInLanguages()) {
        TLanguageSections parsed = ParseLanguageText(file);
        if (parsed["General"]["LanguageId"] == id)
            return parsed;
    }
    return {};
}

// A caption as a person reads it: no accelerator marks, no padding.
inline QString ShownText(QString text)
{
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

}  // namespace TestSupport
