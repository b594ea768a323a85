// Reading a file as a block of bytes, over POSIX. One InputFile owns one open
// descriptor and closes it when it goes out of scope, on every path.
#pragma once

#include <QString>

#include <cstdint>

namespace ModAPI {

class InputFile {
 public:
  // Opens an existing regular file for reading; others may read and write it
  // meanwhile. The path is converted to the local 8-bit encoding. Anything
  // that is not a regular file (a directory, a pipe, a device) fails to open:
  // reading it would block or make no sense. isOpen() tells the outcome.
  explicit InputFile(const QString& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool isOpen() const { return fd_ >= 0; }

  // The size in bytes, or -1 when the file is not open or cannot be examined.
  int64_t size() const;

  // Reads up to `count` bytes at the read position into `buffer`; fewer only
  // at the end of the file. Returns the bytes read, or -1 on failure.
  int64_t read(void* buffer, int64_t count);

  // Moves the read position to `offset` bytes from the start. False on failure.
  bool seek(int64_t offset);

 private:
  int fd_ = -1;
};

}  // namespace ModAPI
