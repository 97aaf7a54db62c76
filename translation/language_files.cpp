#include "translation/language_files.h"

#include <filesystem>
#include <system_error>

#include "platform/ini_file.h"
#include "translation/language_file_reader.h"

namespace Tixlanguage {

std::vector<std::string> TLanguageFiles::List(const std::string& dir) const
{
    std::vector<std::string> files;
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::absolute(dir.empty() ? "." : dir, ec);
    if (ec)
        return files;
    std::filesystem::directory_iterator it(base, ec);
    if (ec)
        return files;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        std::error_code ec2;
        if (Platform::SameTextIC(it->path().extension().string(), ".lng") && it->is_regular_file(ec2))
            files.push_back(it->path().string());
    }
    return files;
}

bool TLanguageFiles::Read(const std::string& path, std::string& bytes) const
{
    return ReadWholeFile(path, bytes);
}

bool TLanguageFiles::WriteString(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& value)
{
    Platform::TIniFile file(path);
    return file.WriteString(section, key, value);
}

TLanguageFiles& TLanguageFiles::Disk()
{
    static TLanguageFiles disk;
    return disk;
}

}  // namespace Tixlanguage
