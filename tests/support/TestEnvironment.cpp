#include "support/TestEnvironment.h"

#include <cstdlib>

void InstallTestEnvironment() {
    setenv("VARN_BIN_DIR", VARN_BIN_DIR_DEFAULT, 0);
    setenv("VARN_SOURCE_DIR", VARN_SOURCE_DIR_DEFAULT, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

// The sanitizer runtimes ask the program itself for their defaults; this keeps
// them in force whatever environment the tests run in.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libdbus\n"
           "leak:libglib\n";
}

extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
