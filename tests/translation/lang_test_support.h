#pragma once
#include <memory>
#include <string>
#include <vector>

#include "tests/support/code_pages.h"
#include "tests/support/files.h"

class VTixLanguage;

// Helpers of the translation tests: temporary folders, files, Czech texts.
namespace LangTest {

using TestSupport::Cz;
using TestSupport::ReadFile;
using TestSupport::TempDir;
using TestSupport::WriteFile;

bool FileExists(const std::string& path);

// UTF-8 source text in the Western (1252) code page.
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
