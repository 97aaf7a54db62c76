#pragma once
#include <string>

// The version fields of an executable. Linux executables carry no version
// resource: the running program's fields come from the constants of this
// build; any other file reads as one without version information.
class TFileVersionInfo {
public:
    TFileVersionInfo();  // reads the running program
    explicit TFileVersionInfo(const std::string& executableFile);

    const std::string& GetExecutableFile() const { return ExecutableFile; }
    // Reads the named file again.
    void SetExecutableFile(const std::string& path);

    void FindFileVersionInfo();
    void clearInfo();

    const std::string& GetCompanyName() const { return CompanyName; }
    const std::string& GetFileDescription() const { return FileDescription; }
    const std::string& GetFileVersion() const { return FileVersion; }
    const std::string& GetInternalName() const { return InternalName; }
    const std::string& GetLegalCopyright() const { return LegalCopyright; }
    const std::string& GetLegalTradeMarks() const { return LegalTradeMarks; }
    const std::string& GetOriginalFilename() const { return OriginalFilename; }
    const std::string& GetProductName() const { return ProductName; }
    const std::string& GetProductVersion() const { return ProductVersion; }
    const std::string& GetComments() const { return Comments; }
    // Language and code page of the fields, eight upper-case hex digits.
    const std::string& GetCountryCode() const { return CountryCode; }

    // Path of the running executable.
    static std::string RunningProgramPath();
    // Build time (UTC) as "yyyy-MM-ddTHH:mm:ss".
    static std::string BuildTimeUtc();

private:
    std::string ExecutableFile;
    std::string CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
        LegalTradeMarks, OriginalFilename, ProductName, ProductVersion, Comments, CountryCode;
};
