#pragma once
#include <memory>
#include <string>
#include <vector>

class VTixLanguage;

// Helpers of the translation tests: temporary folders, files, Czech texts.
namespace LangTest {

// A folder that exists for the life of the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// UTF-8 source text in the Czech (1250) or Western (1252) code page.
std::string Cz(const std::string& utf8);
std::string We(const std::string& utf8);
// Lines joined with CR LF (one after the last line too).
std::string Crlf(const std::vector<std::string>& lines);

// A component built from the given texts, scanning cfgDir (a folder that
// does not exist when empty), set up and with its first language active.
std::unique_ptr<VTixLanguage> MakeLanguage(const std::vector<std::string>& languages,
                                           const std::vector<std::string>& anyLanguages,
                                           const std::string& cfgDir = std::string());
// The same with the built-in texts.
std::unique_ptr<VTixLanguage> MakeBuiltInLanguage(const std::string& cfgDir = std::string());

}  // namespace LangTest
