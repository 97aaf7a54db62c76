// Address sanitizer defaults of the libFuzzer programs (ASAN_OPTIONS still
// overrides them).
//
// The quarantine keeps freed memory unused so that a late use of it is
// caught. Its default of 256 MB is meant for whole programs: a fuzzer
// frees that much every few hundred inputs of a few kilobytes, so new
// blocks kept coming from memory fresh to the process (page faults, cold
// caches), which cost a quarter of the time of the targets that load
// files. 32 MB still holds what thousands of inputs freed: any use after
// free within an input, or from the inputs before it, is still caught.
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=32";
}
