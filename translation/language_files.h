#pragma once
#include <string>
#include <vector>

// The language files as the translation component reads and writes them.
// This one keeps them on disk; a folder held in memory
// (TMemoryLanguageFiles) serves tests and the fuzz target.
namespace Tixlanguage {

class TLanguageFiles {
public:
    virtual ~TLanguageFiles() = default;
    // The ".lng" files of a folder (any case of the extension, links
    // followed), as paths; none when the folder cannot be listed.
    virtual std::vector<std::string> List(const std::string& dir) const;
    // A whole file; false when it cannot be read.
    virtual bool Read(const std::string& path, std::string& bytes) const;
    // One key of a section written as a profile write does (the file, the
    // section or the key made where missing); false when it could not be
    // written.
    virtual bool WriteString(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& value);

    // The files on disk.
    static TLanguageFiles& Disk();
};

}  // namespace Tixlanguage
