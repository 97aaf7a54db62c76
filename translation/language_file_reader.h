#pragma once
#include <string>

// Reading language files from disk.
namespace Tixlanguage {

// Reads one key of a section straight from a file without loading it (the
// file is read piece by piece; lines must end in CR LF). Buffer
// receives Default first; the result is the number of characters of the
// value stored in Buffer (at most BufferSize - 1; surrounding quotes of a
// quoted value dropped), 0 when the file, the section or the key is
// missing. The search ends at the header after the section.
int QuickReadKey(const std::string& Section, const std::string& Key, const std::string& Default,
                 const std::string& FileName, int BufferSize, std::string& Buffer);
// QuickReadKey over the bytes of a file already read.
int QuickReadKeyInText(const std::string& Section, const std::string& Key, const std::string& Default,
                       const std::string& Text, int BufferSize, std::string& Buffer);

// Whole file into bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& fileName, std::string& bytes);

}  // namespace Tixlanguage
