// The fault soak, run by hand: the main window (offscreen) against a
// misbehaving simulated device with a scripted user, for ten minutes of
// device time by default, once per seed given.
//
//   fault_soak [--seed N]... [--minutes M] [--wall-clock] [--quiet] [--transcript PREFIX]
//
// --wall-clock runs on the real clock instead of device time that runs
// ahead while nothing is on its way (the same minutes, taking as long).
// --transcript writes each seed's device transcripts to PREFIX<seed>.txt.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/app/fault_soak.h"

int main(int argc, char** argv)
{
    std::vector<uint32_t> seeds;
    double minutes = 10;
    bool wallClock = false, quiet = false;
    std::string transcript;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seed" && i + 1 < argc)
            seeds.push_back(uint32_t(std::strtoul(argv[++i], nullptr, 10)));
        else if (a == "--minutes" && i + 1 < argc)
            minutes = std::atof(argv[++i]);
        else if (a == "--wall-clock")
            wallClock = true;
        else if (a == "--quiet")
            quiet = true;
        else if (a == "--transcript" && i + 1 < argc)
            transcript = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--seed N]... [--minutes M] [--wall-clock] [--quiet] [--transcript PREFIX]\n",
                         argv[0]);
            return 2;
        }
    }
    if (seeds.empty())
        seeds.push_back(1);
    if (minutes <= 0) {
        std::fprintf(stderr, "--minutes must be above 0\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    int failures = 0;
    for (uint32_t seed : seeds) {
        Soak::TSoakOptions options;
        options.seed = seed;
        options.actingMs = int64_t(minutes * 60000);
        options.drainMs = 60000;
        options.deviceTime = !wallClock;
        if (!transcript.empty())
            options.transcriptFile = transcript + std::to_string(seed) + ".txt";
        if (!quiet)
            options.progress = [](const std::string& line) { std::fprintf(stderr, "  %s\n", line.c_str()); };
        const Soak::TSoakReport report = Soak::RunFaultSoak(options);
        std::printf("%s\n", report.ToText().c_str());
        std::fflush(stdout);
        failures += !report.started || report.Hanging() > 0;
    }
    return failures ? 1 : 0;
}
