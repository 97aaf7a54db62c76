#pragma once
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "tests/support/files.h"

// Gammu, an independent AT client, as a test oracle on a simulated
// device's pseudo-terminal.
namespace TestSupport {

inline bool HaveGammu()
{
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && ::access((dir + "/gammu").c_str(), X_OK) == 0)
            return true;
    return false;
}

// Lower case, runs of white space as one blank: layout does not matter.
inline std::string Flat(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// What a shell command writes.
inline std::string CommandOutput(const std::string& cmd)
{
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return {};
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    ::pclose(p);
    return out;
}

// Runs gammu on the device at `pty` (its own gammurc in a temporary
// folder, the connection such as "at19200"); its output, flattened.
inline std::string RunGammu(const std::string& pty, const std::string& args,
                            const std::string& connection = "at19200")
{
    TempDir dir("gammu");
    std::ofstream(dir.File("gammurc")) << "[gammu]\ndevice = " << pty << "\nconnection = " << connection << "\n";
    return Flat(CommandOutput("timeout 120 gammu -c '" + dir.File("gammurc") + "' " + args + " 2>&1"));
}

}  // namespace TestSupport
