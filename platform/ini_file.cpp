#include "platform/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"

namespace Platform {

namespace {

std::string_view trimView(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

// "[name]" gives name; false when the line is no header. Views into line:
// the lookups walk every line and copy nothing.
bool headerName(std::string_view line, std::string_view& name)
{
    const std::string_view t = trimView(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const size_t close = t.find(']');
    if (close == std::string_view::npos)
        return false;
    name = trimView(t.substr(1, close - 1));
    return true;
}

bool keyOf(std::string_view line, std::string_view& key, std::string_view& value)
{
    const std::string_view t = trimView(line);
    if (t.empty() || t[0] == ';' || t[0] == '[')
        return false;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = trimView(t.substr(0, eq));
    value = trimView(t.substr(eq + 1));
    return !key.empty();
}

std::string unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool writeAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

// The whole file through a temporary beside it renamed over it; false,
// the old file untouched and no temporary left, on any failure. With
// `inPlace` a folder that refuses the temporary gets the file written in
// place instead.
bool replaceFile(const std::string& fileName, const std::string& data, unsigned createMode, bool inPlace)
{
    struct stat st {};
    const bool exists = ::stat(fileName.c_str(), &st) == 0;
    const mode_t mode = exists ? (st.st_mode & 07777) : mode_t(createMode);
    std::string tmp = fileName + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        if (!inPlace)
            return false;
        const int direct = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
        if (direct < 0)
            return false;
        const bool written = writeAll(direct, data);
        return (::close(direct) == 0) && written;
    }
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmp.c_str(), fileName.c_str()) == 0)
        return true;
    ::unlink(tmp.c_str());
    return false;
}

// What the file holds; false when it cannot be opened. A read that fails
// on the way sets readError (what was read is kept).
// Plain reads into the string: no stdio stream (and its buffer) per file.
bool readWhole(const std::string& fileName, std::string& data, bool* readError = nullptr)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        data.reserve(data.size() + size_t(st.st_size));
    bool failed = false;
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            data.append(buf, size_t(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            failed = n < 0;
            break;
        }
    }
    if (readError)
        *readError = failed;
    ::close(fd);
    return true;
}

}  // namespace

std::string TrimBlanks(const std::string& s) { return std::string(trimView(s)); }

bool SameTextIC(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && SameAsciiIC(a.data(), b.data(), a.size());
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) { Reload(); }

TIniFile TIniFile::InMemory(std::string text)
{
    TIniFile ini;
    ini.inMemory_ = true;
    ini.memory_ = std::move(text);
    ini.Reload();
    return ini;
}

void TIniFile::Reload()
{
    lines_.clear();
    loaded_ = false;
    if (inMemory_) {
        loaded_ = true;
        parse(memory_);
        return;
    }
    std::string data;
    if (!readWhole(fileName_, data))
        return;
    loaded_ = true;
    parse(data);
}

void TIniFile::parse(const std::string& data)
{
    lines_.reserve(lines_.size() + size_t(std::count(data.begin(), data.end(), '\n')) + 1);
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\n', start);
        if (end == std::string::npos)
            end = data.size();
        std::string line = data.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines_.push_back({std::move(line)});
        start = end + 1;
    }
}

int TIniFile::findSection(const std::string& section) const
{
    std::string_view name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (headerName(lines_[i].text, name) && SameTextIC(name, section))
            return int(i);
    return -1;
}

int TIniFile::sectionEnd(int headerIndex) const
{
    std::string_view name;
    size_t i = size_t(headerIndex) + 1;
    while (i < lines_.size() && !headerName(lines_[i].text, name))
        ++i;
    return int(i);
}

int TIniFile::findKey(int headerIndex, const std::string& key) const
{
    const int end = sectionEnd(headerIndex);
    std::string_view k, v;
    for (int i = headerIndex + 1; i < end; ++i)
        if (keyOf(lines_[size_t(i)].text, k, v) && SameTextIC(k, key))
            return i;
    return -1;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const
{
    const int h = findSection(section);
    if (h < 0)
        return def;
    const int i = findKey(h, key);
    if (i < 0)
        return def;
    std::string_view k, v;
    keyOf(lines_[size_t(i)].text, k, v);
    return unquote(v);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    const std::string v = ReadString(section, key, "");
    if (v.empty())
        return def;
    char* end = nullptr;
    errno = 0;
    const bool hex = v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X');
    const long long n = std::strtoll(v.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end == v.c_str() || *end != '\0' || n < INT32_MIN || n > INT32_MAX)
        return def;
    return int(n);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value)
{
    const std::string line = key + "=" + value;
    int h = findSection(section);
    if (h < 0) {
        if (!lines_.empty() && !trimView(lines_.back().text).empty())
            lines_.push_back({""});
        lines_.push_back({"[" + section + "]"});
        lines_.push_back({line});
        return changed();
    }
    const int i = findKey(h, key);
    if (i >= 0) {
        lines_[size_t(i)].text = line;
        return changed();
    }
    // After the last non-blank line of the section.
    int pos = sectionEnd(h);
    while (pos > h + 1 && trimView(lines_[size_t(pos - 1)].text).empty())
        --pos;
    lines_.insert(lines_.begin() + pos, {line});
    return changed();
}

bool TIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    return WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const { return findSection(section) >= 0; }

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    const int h = findSection(section);
    return h >= 0 && findKey(h, key) >= 0;
}

std::vector<std::string> TIniFile::ReadSections() const
{
    std::vector<std::string> out;
    std::string_view name;
    for (const Line& l : lines_)
        if (headerName(l.text, name))
            out.emplace_back(name);
    return out;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const
{
    std::vector<std::string> out;
    const int h = findSection(section);
    if (h < 0)
        return out;
    const int end = sectionEnd(h);
    std::string_view k, v;
    for (int i = h + 1; i < end; ++i)
        if (keyOf(lines_[size_t(i)].text, k, v))
            out.emplace_back(k);
    return out;
}

std::vector<std::string> TIniFile::ReadSectionValues(const std::string& section) const
{
    std::vector<std::string> out;
    const int h = findSection(section);
    if (h < 0)
        return out;
    const int end = sectionEnd(h);
    for (int i = h + 1; i < end; ++i) {
        const std::string_view t = trimView(lines_[size_t(i)].text);
        if (!t.empty() && t[0] != ';')
            out.emplace_back(t);
    }
    return out;
}

bool TIniFile::EraseSection(const std::string& section)
{
    const int h = findSection(section);
    if (h < 0)
        return true;
    const int end = sectionEnd(h);
    lines_.erase(lines_.begin() + h, lines_.begin() + end);
    return changed();
}

bool TIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    const int h = findSection(section);
    if (h < 0)
        return true;
    const int i = findKey(h, key);
    if (i < 0)
        return true;
    lines_.erase(lines_.begin() + i);
    return changed();
}

bool TIniFile::changed() { return writeThrough_ ? UpdateFile() : true; }

std::string TIniFile::text() const
{
    std::string data;
    for (const Line& l : lines_) {
        data += l.text;
        data += "\r\n";
    }
    return data;
}

bool TIniFile::UpdateFile()
{
    if (inMemory_) {
        memory_ = text();
        loaded_ = true;
        return true;
    }
    if (!replaceFile(fileName_, text(), createMode_, false))
        return false;
    loaded_ = true;
    return true;
}

bool TIniFile::ReadLines(const std::string& fileName, std::vector<std::string>& lines)
{
    lines.clear();
    struct stat st {};
    std::string data;
    bool readError = false;
    if (::stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !readWhole(fileName, data, &readError) ||
        readError)
        return false;
    TIniFile file;
    file.parse(data);
    lines.reserve(file.lines_.size());
    for (Line& l : file.lines_)
        lines.push_back(std::move(l.text));
    return true;
}

bool TIniFile::WriteLines(const std::string& fileName, const std::vector<std::string>& lines, unsigned createMode)
{
    TIniFile file;
    file.lines_.reserve(lines.size());
    for (const std::string& l : lines)
        file.lines_.push_back({l});
    return replaceFile(fileName, file.text(), createMode, true);
}

}  // namespace Platform
