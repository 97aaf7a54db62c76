#include "translation/memory_language_files.h"

#include "platform/ini_file.h"

namespace Tixlanguage {

std::vector<std::string> TMemoryLanguageFiles::List(const std::string& dir) const
{
    std::vector<std::string> files;
    for (const auto& [path, bytes] : files_) {
        const size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        const size_t dot = name.rfind('.');
        if (folder == (dir.empty() ? "." : dir) && dot != std::string::npos && dot > 0 &&
            Platform::SameTextIC(name.substr(dot), ".lng"))
            files.push_back(path);
    }
    return files;
}

bool TMemoryLanguageFiles::Read(const std::string& path, std::string& bytes) const
{
    const auto it = files_.find(path);
    if (it == files_.end())
        return false;
    bytes = it->second;
    return true;
}

bool TMemoryLanguageFiles::WriteString(const std::string& path, const std::string& section,
                                       const std::string& key, const std::string& value)
{
    std::string& bytes = files_[path];
    Platform::TIniFile file = Platform::TIniFile::InMemory(bytes);
    if (!file.WriteString(section, key, value))
        return false;
    bytes = file.MemoryText();
    return true;
}

}  // namespace Tixlanguage
