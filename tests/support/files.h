#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

// Files of the tests: whole-file reads and writes, a temporary folder and
// a temporary file name, both gone when the test ends.
namespace TestSupport {

// The whole file; empty if it cannot be read.
inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Replaces the file's contents; false if it cannot be written.
inline bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return !out.fail();
}

// A folder that exists for the life of the object, with all it holds.
class TempDir {
public:
    explicit TempDir(const std::string& tag = "test")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / ("zelvitor-" + tag + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A file name nobody uses; the file does not exist until the test writes
// it, and is removed at the end.
class TempFile {
public:
    TempFile()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelvitor-file-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        ::close(fd);
        path_ = pattern;
        std::remove(path_.c_str());
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& Path() const { return path_; }
    void Write(const std::string& bytes) const { WriteFile(path_, bytes); }
    std::string Read() const { return ReadFile(path_); }

private:
    std::string path_;
};

}  // namespace TestSupport
