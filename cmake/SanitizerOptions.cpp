// Defaults the sanitizer runtimes ask every program for; the environment's *SAN_OPTIONS still
// override them.

extern "C" {

// An error ends the program with SIGABRT, as a crash would without sanitizers, so that whatever
// watches a child process for a crash sees one.
const char* __asan_default_options() {
    return "abort_on_error=1";
}

// Leaks that third-party libraries leave at exit; none of the program's own code is listed there.
const char* __lsan_default_options() {
    return "suppressions=" ORVANE_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1:abort_on_error=1";
}
}
