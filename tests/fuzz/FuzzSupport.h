// What the fuzz targets share: invariant checks that end the run, and a
// scratch file for the parsers that read files.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// Ends the process with a message when `condition` is false: a crash to
// libFuzzer, a failed test in the corpus replay.
#define FUZZ_CHECK(condition) \
  ((condition) ? void(0) : FuzzSupport::Fail(#condition, __FILE__, __LINE__))

namespace FuzzSupport {

[[noreturn]] void Fail(const char* condition, const char* file, int line);

// Writes the bytes to the file `name` in a folder of this process (made on
// first use, removed at exit), replacing what was there; returns its path.
QString WriteScratchFile(const QString& name, const uint8_t* data, size_t size);

}  // namespace FuzzSupport
