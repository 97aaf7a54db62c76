#include "fuzz/support/qt_core_app.h"

#include <QCoreApplication>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <fcntl.h>
#include <unistd.h>

namespace Fuzz {

namespace {

struct TTempFolder {
    std::string path;
    TTempFolder()
    {
        // In memory where the system has a memory file system, so the
        // file work of a target costs no disk (writes, syncs, renames).
        std::error_code ec;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, ec) || ::access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path();
        std::string pattern = (base / "zelvitor-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
    }
    ~TTempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

}  // namespace

void EnsureCoreApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "zelvitor-fuzz";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends, as in the program.
    static auto* app = new QCoreApplication(argc, argv);
    (void)app;
    std::setlocale(LC_NUMERIC, "C");
}

void SettlePostedEvents() { QCoreApplication::sendPostedEvents(); }

const char* TempFolder()
{
    static TTempFolder folder;
    return folder.path.c_str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        std::abort();
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            std::abort();
        done += size_t(n);
    }
    ::close(fd);
}

}  // namespace Fuzz
