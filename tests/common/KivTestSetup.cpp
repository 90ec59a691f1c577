#include "common/KivTestSetup.h"

#include <cstdlib>

// Options for the sanitizer runtimes, compiled into the test programs so that ctest needs no
// environment of its own. LeakSanitizer reports one leak inside libdbus under a real X server.
// They sit beside KivPrepareTestRun so that every main() that calls it links them in.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}
extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

void KivPrepareTestRun() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}
