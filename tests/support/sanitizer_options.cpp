// Linked into every test program of the sanitizer build: points
// LeakSanitizer at the suppressions file and makes every finding fatal.
#ifndef ZELVITOR_LSAN_SUPPRESSIONS
#error "ZELVITOR_LSAN_SUPPRESSIONS must name the suppressions file"
#endif

extern "C" const char* __asan_default_options() { return "detect_leaks=1:abort_on_error=1"; }

extern "C" const char* __lsan_default_options()
{
    return "suppressions=" ZELVITOR_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
