// A stand-alone driver for one fuzz target, for any compiler: runs every
// file of the given corpus folders (or single files), then a fixed number
// of pseudo-random mutations of them. The mutations depend only on the
// corpus and the target's name, so a failure found here is found again by
// the same command. The input that was running when the process dies is
// written to "replay-crash-<target>" in the current folder.
//
//   <name>_replay [--mutations N] [--seed S] [--timeout SECONDS] PATH...
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

#ifndef ZELVITOR_FUZZ_TARGET
#define ZELVITOR_FUZZ_TARGET "target"
#endif

namespace {

struct TInput {
    std::string name;
    std::string bytes;
};

// The input being run, kept where the death handlers can reach it.
std::string gCurrentName;
std::string gCurrent;

void SaveCurrent()
{
    static bool saved = false;
    if (saved)
        return;
    saved = true;
    const std::string path = "replay-crash-" ZELVITOR_FUZZ_TARGET;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(gCurrent.data(), 1, gCurrent.size(), f);
        std::fclose(f);
    }
    std::fprintf(stderr, "replay: failing input %s (%zu bytes) saved to %s\n", gCurrentName.c_str(),
                 gCurrent.size(), path.c_str());
}

extern "C" void OnSignal(int sig)
{
    if (sig == SIGALRM)
        std::fprintf(stderr, "replay: input %s runs too long\n", gCurrentName.c_str());
    SaveCurrent();
    std::signal(sig, SIG_DFL);
    std::raise(sig == SIGALRM ? SIGABRT : sig);
}

// xorshift64*: small, fast and the same everywhere.
struct TRandom {
    uint64_t state;
    uint64_t next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 2685821657736338717ull;
    }
    size_t below(size_t n) { return n == 0 ? 0 : size_t(next() % n); }
};

uint64_t HashText(const std::string& s)
{
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s)
        h = (h ^ c) * 1099511628211ull;
    return h ? h : 1;
}

// Bytes the parsers give meaning to; mutations splice them in.
const char* const Tokens[] = {"\r\n", "\r", "\n", "\"", ",", "(", ")", "-", "+", ":", "=", "#",
                              "[", "]", "*", "?", "0", "9", "99", "255", "65535", "4294967296",
                              "-2147483648", "2147483647", "0x", "$", "\\", ";", "/", ".", " ",
                              "\x1A", "\x1B", "\xEF\xBB\xBF", "\xFF", "\x80", "\xC3", "&#", ";",
                              "OK\r\n", "ERROR\r\n", "+CME ERROR: ", "> "};

void Mutate(std::string& s, const std::vector<TInput>& all, TRandom& rng, size_t maxSize)
{
    const int steps = 1 + int(rng.below(6));
    for (int i = 0; i < steps; ++i) {
        switch (rng.below(9)) {
        case 0:  // flip a bit
            if (!s.empty())
                s[rng.below(s.size())] ^= char(1u << rng.below(8));
            break;
        case 1:  // any byte
            if (!s.empty())
                s[rng.below(s.size())] = char(rng.next());
            break;
        case 2:  // insert random bytes
        {
            const size_t at = rng.below(s.size() + 1);
            std::string ins;
            for (size_t k = 1 + rng.below(4); k > 0; --k)
                ins += char(rng.next());
            s.insert(at, ins);
            break;
        }
        case 3:  // erase a run
            if (!s.empty()) {
                const size_t at = rng.below(s.size());
                s.erase(at, 1 + rng.below(std::min<size_t>(16, s.size() - at)));
            }
            break;
        case 4:  // repeat a run
            if (!s.empty()) {
                const size_t at = rng.below(s.size());
                const std::string run = s.substr(at, 1 + rng.below(32));
                for (size_t k = 1 + rng.below(8); k > 0; --k)
                    s.insert(at, run);
            }
            break;
        case 5:  // a known token
        case 6:
            s.insert(rng.below(s.size() + 1), Tokens[rng.below(std::size(Tokens))]);
            break;
        case 7:  // a piece of another input
        {
            const std::string& other = all[rng.below(all.size())].bytes;
            if (!other.empty()) {
                const size_t from = rng.below(other.size());
                s.insert(rng.below(s.size() + 1), other.substr(from, 1 + rng.below(64)));
            }
            break;
        }
        default:  // cut the end
            if (!s.empty())
                s.resize(rng.below(s.size()));
            break;
        }
    }
    if (s.size() > maxSize)
        s.resize(maxSize);
}

bool ReadFile(const std::filesystem::path& p, std::string& out)
{
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void Run(const std::string& name, const std::string& bytes, unsigned timeout)
{
    gCurrentName = name;
    gCurrent = bytes;
    if (timeout)
        ::alarm(timeout);
    // A copy of exactly the input's size, so reads past its end are caught.
    std::vector<uint8_t> copy(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
    if (timeout)
        ::alarm(0);
}

}  // namespace

int main(int argc, char** argv)
{
    long mutations = 400;
    uint64_t seed = HashText(ZELVITOR_FUZZ_TARGET);
    unsigned timeout = 25;
    std::vector<std::filesystem::path> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--mutations" && i + 1 < argc)
            mutations = std::strtol(argv[++i], nullptr, 10);
        else if (a == "--seed" && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10) | 1;
        else if (a == "--timeout" && i + 1 < argc)
            timeout = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else
            paths.emplace_back(a);
    }
    if (paths.empty()) {
        std::fprintf(stderr, "usage: %s [--mutations N] [--seed S] [--timeout SECONDS] PATH...\n",
                     argv[0]);
        return 2;
    }

    std::vector<TInput> inputs;
    for (const auto& p : paths) {
        std::error_code ec;
        if (std::filesystem::is_directory(p, ec)) {
            std::vector<std::filesystem::path> files;
            for (const auto& e : std::filesystem::recursive_directory_iterator(p, ec))
                if (e.is_regular_file())
                    files.push_back(e.path());
            std::sort(files.begin(), files.end());
            for (const auto& f : files) {
                TInput in{f.filename().string(), {}};
                if (ReadFile(f, in.bytes))
                    inputs.push_back(std::move(in));
            }
        } else {
            TInput in{p.filename().string(), {}};
            if (!ReadFile(p, in.bytes)) {
                std::fprintf(stderr, "replay: cannot read %s\n", p.string().c_str());
                return 2;
            }
            inputs.push_back(std::move(in));
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs\n");
        return 2;
    }

    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(SaveCurrent);
    std::signal(SIGSEGV, OnSignal);
    std::signal(SIGALRM, OnSignal);
    std::signal(SIGFPE, OnSignal);
    std::signal(SIGABRT, OnSignal);

    size_t maxSize = 64;
    for (const TInput& in : inputs) {
        Run(in.name, in.bytes, timeout);
        maxSize = std::max(maxSize, in.bytes.size() * 2);
    }
    maxSize = std::min<size_t>(maxSize, 16384);

    TRandom rng{seed};
    for (long m = 0; m < mutations; ++m) {
        const TInput& base = inputs[rng.below(inputs.size())];
        std::string bytes = base.bytes;
        Mutate(bytes, inputs, rng, maxSize);
        Run("mutation " + std::to_string(m) + " of " + base.name, bytes, timeout);
    }
    std::printf("replay %s: %zu corpus inputs and %ld mutations passed\n", ZELVITOR_FUZZ_TARGET,
                inputs.size(), mutations);
    return 0;
}
