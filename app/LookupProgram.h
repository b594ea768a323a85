// The program started from a command line that asks for no window.
#pragma once

#include "Arguments.h"

namespace LookupProgram {

constexpr int kAllFound = 0;
constexpr int kSomeNotFound = 1;
// Nothing was looked up: a usage error, as every other reason that keeps all
// numbers from being looked up (CannotRun::kExitStatus). The same when an
// answer could not be written: the numbers after it were not looked up.
constexpr int kUsageError = 2;
constexpr int kOutputFailed = 2;
// The reader closed the pipe (`| head`): the numbers after it were not
// looked up, and the status is a shell's for a program that SIGPIPE ended.
constexpr int kOutputClosed = 128 + 13;

// Prints the help, the version or a usage error, or looks the numbers up,
// and returns the exit status; every write to standard output is checked.
// Creates the application object itself (for lookups on the offscreen
// platform, so that no display is needed), so it runs before any exists.
// `programPath` is the program's argv[0].
int run(const Arguments::Request& request, char* programPath);

}  // namespace LookupProgram
