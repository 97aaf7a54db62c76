// zelvitor-modemsim: a simulated GSM device on a pseudo-terminal, for trying
// the program or other AT clients by hand. Prints the pty path, then runs
// until interrupted or until its script makes the device disappear.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <unistd.h>

#include "tests/modemsim/modem_sim.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

void Usage()
{
    std::cerr << "usage: zelvitor-modemsim [options]\n"
                 "  -p, --profile NAME      built-in profile (default tc35)\n"
                 "  -f, --profile-file PATH profile text file\n"
                 "  -b, --pace BAUD         pace output at BAUD (\"line\": at the program's speed)\n"
                 "  -t, --transcript PATH   write the transcript there when done\n"
                 "  -l, --link PATH         make PATH a symbolic link to the pty\n"
                 "  -v, --verbose           print the transcript as it grows (stderr)\n"
                 "  -L, --list              list the built-in profiles\n";
}

}  // namespace

int main(int argc, char** argv)
{
    ModemSim::TSimOptions options;
    std::string transcriptPath, linkPath;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        try {
            if (arg == "-p" || arg == "--profile")
                options.profile = ModemSim::TProfile::Builtin(value());
            else if (arg == "-f" || arg == "--profile-file")
                options.profile = ModemSim::TProfile::Load(value());
            else if (arg == "-b" || arg == "--pace") {
                const std::string v = value();
                options.paceBaud = v == "line" ? -1 : std::atoi(v.c_str());
            } else if (arg == "-t" || arg == "--transcript")
                transcriptPath = value();
            else if (arg == "-l" || arg == "--link")
                linkPath = value();
            else if (arg == "-v" || arg == "--verbose")
                verbose = true;
            else if (arg == "-L" || arg == "--list") {
                for (const auto& name : ModemSim::TProfile::BuiltinNames()) {
                    const auto p = ModemSim::TProfile::Builtin(name);
                    std::cout << name << ": " << p.manufacturer << " " << p.model << "\n";
                }
                return 0;
            } else {
                Usage();
                return 2;
            }
        } catch (const std::exception& e) {
            std::cerr << "zelvitor-modemsim: " << e.what() << "\n";
            return 2;
        }
    }

    ModemSim::TModemSim sim(options);
    std::string error;
    if (!sim.Start(&error)) {
        std::cerr << "zelvitor-modemsim: " << error << "\n";
        return 1;
    }
    if (!linkPath.empty()) {
        ::unlink(linkPath.c_str());
        if (::symlink(sim.PtyPath().c_str(), linkPath.c_str()) != 0)
            std::cerr << "zelvitor-modemsim: cannot link " << linkPath << ": " << std::strerror(errno) << "\n";
    }
    std::cout << sim.PtyPath() << std::endl;

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);
    size_t shown = 0;
    while (!g_stop && !sim.Disappeared()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (verbose) {
            const auto entries = sim.Transcript().Entries();
            for (; shown < entries.size(); ++shown) {
                const auto& e = entries[shown];
                static const char* names[] = {"<-", "->", "CMD", "DROP", "EV"};
                std::fprintf(stderr, "%9.3f %-4s %s\n", e.ms / 1000.0, names[static_cast<int>(e.direction)],
                             ModemSim::TTranscript::Escape(e.data).c_str());
            }
        }
    }
    sim.Stop();
    if (!linkPath.empty())
        ::unlink(linkPath.c_str());
    if (!transcriptPath.empty()) {
        std::ofstream out(transcriptPath, std::ios::binary);
        out << sim.Transcript().ToText();
    }
    return 0;
}
