#include "app/file_version_info.h"

#include <unistd.h>

#include <climits>

#include "app/version.h"

namespace {

std::string canonical(const std::string& path)
{
    if (path.empty())
        return {};
    char buf[PATH_MAX];
    if (realpath(path.c_str(), buf) == nullptr)
        return {};
    return buf;
}

}  // namespace

TFileVersionInfo::TFileVersionInfo() : TFileVersionInfo(RunningProgramPath()) {}

TFileVersionInfo::TFileVersionInfo(const std::string& executableFile) : ExecutableFile(executableFile)
{
    FindFileVersionInfo();
}

void TFileVersionInfo::SetExecutableFile(const std::string& path)
{
    ExecutableFile = path;
    FindFileVersionInfo();
}

std::string TFileVersionInfo::RunningProgramPath()
{
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    return std::string(buf, size_t(n));
}

std::string TFileVersionInfo::BuildTimeUtc() { return AppVersion::BuildTimeUtc; }

void TFileVersionInfo::clearInfo()
{
    CompanyName.clear();
    FileDescription.clear();
    FileVersion.clear();
    InternalName.clear();
    LegalCopyright.clear();
    LegalTradeMarks.clear();
    OriginalFilename.clear();
    ProductName.clear();
    ProductVersion.clear();
    Comments.clear();
    CountryCode.clear();
}

void TFileVersionInfo::FindFileVersionInfo()
{
    clearInfo();
    // Only the running program has version fields: they were built into it.
    const std::string file = canonical(ExecutableFile);
    if (file.empty() || file != canonical(RunningProgramPath()))
        return;
    CountryCode = AppVersion::CountryCode;
    CompanyName = AppVersion::CompanyName;
    FileDescription = AppVersion::FileDescription;
    FileVersion = AppVersion::FileVersion;
    InternalName = AppVersion::InternalName;
    LegalCopyright = AppVersion::LegalCopyright;
    LegalTradeMarks = AppVersion::LegalTradeMarks;
    OriginalFilename = AppVersion::OriginalFilename;
    ProductName = AppVersion::ProductName;
    ProductVersion = AppVersion::ProductVersion;
    Comments = AppVersion::Comments;
}
