#include "serial/port_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/qt/paths.h"

namespace fs = std::filesystem;

namespace Serial {

namespace {

std::string ReadFirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    if (in)
        std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// Kernel name -> the by-id link naming it.
std::map<std::string, std::string> ByIdNames(const fs::path& byIdDir)
{
    std::map<std::string, std::string> names;
    std::error_code ec;
    std::vector<fs::path> links;
    for (fs::directory_iterator it(byIdDir, ec), end; !ec && it != end; it.increment(ec))
        links.push_back(it->path());
    std::sort(links.begin(), links.end());
    for (const fs::path& link : links) {
        std::error_code lec;
        const fs::path target = fs::read_symlink(link, lec);
        if (lec)
            continue;
        const std::string kernelName = target.filename().string();
        if (!kernelName.empty() && !names.count(kernelName))
            names[kernelName] = link.filename().string();
    }
    return names;
}

// The names the kernel writes its console to.
std::vector<std::string> ActiveConsoles(const fs::path& sysClassTty)
{
    std::vector<std::string> names;
    std::istringstream in(ReadFirstLine(sysClassTty / "console" / "active"));
    std::string name;
    while (in >> name)
        names.push_back(name);
    return names;
}

}  // namespace

std::vector<TSerialPortEntry> ScanSerialPorts(const std::string& sysClassTty, const std::string& devDir)
{
    std::vector<TSerialPortEntry> ports;
    const fs::path root(sysClassTty);
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    if (names.empty())
        return ports;

    const auto byId = ByIdNames(fs::path(devDir) / "serial" / "by-id");
    const auto consoles = ActiveConsoles(root);
    for (const std::string& name : names) {
        const fs::path entry = root / name;
        std::error_code dec;
        if (!fs::exists(entry / "device", dec))
            continue;  // virtual terminals, pseudo-terminals, /dev/console
        if (name.starts_with("ttyS")) {
            const std::string type = ReadFirstLine(entry / "type");
            if (type == "0")
                continue;  // a UART slot with no UART
        }
        if (ReadFirstLine(entry / "console") == "Y" ||
            std::find(consoles.begin(), consoles.end(), name) != consoles.end())
            continue;
        TSerialPortEntry port;
        const auto id = byId.find(name);
        port.deviceName = id != byId.end() ? id->second : name;
        port.portName = (fs::path(devDir) / name).string();
        ports.push_back(std::move(port));
    }
    return ports;
}

std::string PortDevicePath(const std::string& name)
{
    const std::string mapped = Platform::DevicePathOfPort(name);
    if (mapped != name || name.empty() || name.find('/') != std::string::npos)
        return mapped;
    return "/dev/" + name;
}

bool SamePort(const std::string& a, const std::string& b)
{
    const std::string pa = PortDevicePath(a), pb = PortDevicePath(b);
    if (pa == pb)
        return true;
    std::error_code ea, eb;
    const fs::path ca = fs::canonical(pa, ea), cb = fs::canonical(pb, eb);
    return !ea && !eb && ca == cb;
}

}  // namespace Serial
