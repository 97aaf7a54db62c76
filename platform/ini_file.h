#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

// An ini-like text file with the Windows profile semantics: sections and
// keys compared ignoring ASCII case, blanks around keys and values trimmed,
// one pair of enclosing quotes dropped on reading, lines that are not
// "key=value" (comments, blank lines) kept where they are. Bytes are
// stored as they are (the program's ANSI code page).
//
// Writes go to the file at once, as the Windows profile calls do; with
// SetWriteThrough(false) they are kept until UpdateFile.
class TIniFile {
public:
    explicit TIniFile(std::string fileName);
    // An ini text held in memory instead of a file: UpdateFile keeps what
    // would be written (MemoryText), Reload reads that back. Everything
    // else is as with a file.
    static TIniFile InMemory(std::string text);
    const std::string& MemoryText() const { return memory_; }

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // "0" is false, any other number true; a text that is no number gives def.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // Each returns false when the file could not be written.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInteger(const std::string& section, const std::string& key, int value);
    bool WriteBool(const std::string& section, const std::string& key, bool value);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> ReadSections() const;
    // The keys of a section, in file order.
    std::vector<std::string> ReadSection(const std::string& section) const;
    // The raw lines of a section (comments and blank lines excluded).
    std::vector<std::string> ReadSectionValues(const std::string& section) const;

    bool EraseSection(const std::string& section);
    bool DeleteKey(const std::string& section, const std::string& key);

    void SetWriteThrough(bool on) { writeThrough_ = on; }
    // Permission bits for a file this object creates (default 0644).
    void SetCreateMode(unsigned mode) { createMode_ = mode; }
    // Writes the whole text through a temporary file renamed over the old one.
    bool UpdateFile();
    // Reads the file again, dropping unsaved changes.
    void Reload();
    bool Loaded() const { return loaded_; }

    // ---- Whole files of raw lines (the phonebook file) ----------------
    // Every line of the file without its line end (LF or CR LF); false,
    // lines empty, when it is no readable regular file.
    static bool ReadLines(const std::string& fileName, std::vector<std::string>& lines);
    // Replaces the file by the lines, each ended by CR LF, through a
    // temporary file beside it renamed over the old one: a failed write
    // leaves the old file whole and no temporary behind. Only where the
    // folder refuses a temporary is the file written in place. False when
    // it was not written.
    static bool WriteLines(const std::string& fileName, const std::vector<std::string>& lines,
                           unsigned createMode = 0644);

private:
    TIniFile() = default;
    struct Line {
        std::string text;  // the line as in the file, without its line end
    };
    int findSection(const std::string& section) const;          // index of the header line
    int sectionEnd(int headerIndex) const;                       // first line after the section
    int findKey(int headerIndex, const std::string& key) const;  // index of the key's line
    bool changed();
    void parse(const std::string& data);
    std::string text() const;

    std::string fileName_;
    std::vector<Line> lines_;
    bool writeThrough_ = true;
    bool loaded_ = false;
    unsigned createMode_ = 0644;
    bool inMemory_ = false;
    std::string memory_;
};

// Blanks (space, tab) trimmed from both ends.
std::string TrimBlanks(const std::string& s);
// Same letters, ignoring ASCII case.
bool SameTextIC(std::string_view a, std::string_view b);

}  // namespace Platform
