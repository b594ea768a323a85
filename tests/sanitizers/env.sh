# Sourced by scripts/test --sanitize: every report stops the process that made
# it; the leaks of the libraries named in lsan.supp are not reported. The
# programs that load the browser engine also carry platform/EngineAsanOptions.cpp.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
