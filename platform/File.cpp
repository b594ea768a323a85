#include "File.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace ModAPI {
namespace {

bool isRegularFile(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

InputFile::InputFile(const QString& path) {
  // O_NONBLOCK keeps the open itself from waiting on a pipe with no writer;
  // it has no effect on reading a regular file.
  const QByteArray name = QFile::encodeName(path);
  fd_ = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ >= 0 && !isRegularFile(fd_)) {
    ::close(fd_);
    fd_ = -1;
  }
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t InputFile::size() const {
  struct stat info {};
  if (fd_ < 0 || fstat(fd_, &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

int64_t InputFile::read(void* buffer, int64_t count) {
  if (fd_ < 0 || count < 0) return -1;
  auto* next = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(fd_, next + done, static_cast<size_t>(count - done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;  // end of file
    done += got;
  }
  return done;
}

bool InputFile::seek(int64_t offset) {
  return fd_ >= 0 && offset >= 0 && ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == offset;
}

}  // namespace ModAPI
