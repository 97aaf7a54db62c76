#pragma once
#include <map>
#include <string>
#include <vector>

#include "translation/language_files.h"

// Language files held in memory under the paths they are put at: a folder
// is the text of a path before its last "/". Writes change the text as a
// profile write changes a file on disk.
namespace Tixlanguage {

class TMemoryLanguageFiles : public TLanguageFiles {
public:
    void Put(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }
    void Clear() { files_.clear(); }

    std::vector<std::string> List(const std::string& dir) const override;
    bool Read(const std::string& path, std::string& bytes) const override;
    bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;

private:
    std::map<std::string, std::string> files_;
};

}  // namespace Tixlanguage
